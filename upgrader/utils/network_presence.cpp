#include "upgrader/utils/network_presence.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace upgrader {

namespace {

bool IsConnectedAddress(const ifaddrs& entry) {
    if (entry.ifa_addr == nullptr)
        return false;
    const int family = entry.ifa_addr->sa_family;
    if (family != AF_INET && family != AF_INET6)
        return false;
    // Every IPv6 interface that is up gets a link-local address by itself;
    // it reaches no network beyond the cable.
    if (family == AF_INET6 &&
        IN6_IS_ADDR_LINKLOCAL(&reinterpret_cast<const sockaddr_in6*>(entry.ifa_addr)->sin6_addr))
        return false;
    const unsigned flags = entry.ifa_flags;
    return (flags & IFF_UP) && (flags & IFF_RUNNING) && !(flags & IFF_LOOPBACK);
}

}  // namespace

bool IsOnline() {
    return HasNetworkAddress();
}

bool HasNetworkAddress() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool found = false;
    for (const ifaddrs* entry = list; entry != nullptr && !found; entry = entry->ifa_next)
        found = IsConnectedAddress(*entry);
    freeifaddrs(list);
    return found;
}

}  // namespace upgrader

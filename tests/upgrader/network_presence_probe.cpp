// Prints what HasNetworkAddress() answers in the network namespace it runs in.
#include <cstdio>

#include "upgrader/utils/network_presence.h"

int main() {
    std::printf("%d\n", upgrader::IsOnline() ? 1 : 0);
    return 0;
}

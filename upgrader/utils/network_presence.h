#pragma once

namespace upgrader {

// Whether the machine is on-line. There is no separate dial-up state to ask
// here, so the answer is HasNetworkAddress().
bool IsOnline();

// True when a network interface other than loopback is up, running (has a
// carrier) and has an IPv4 address or an IPv6 address beyond the link-local
// one every interface gets.
bool HasNetworkAddress();

}  // namespace upgrader

#pragma once

#include <QByteArray>

namespace upgrader {

// The proxy bypass list (entries separated by ";", "," or blanks, as in
// "127.0.0.1;*.example.com;10.*;<local>") as a libcurl no-proxy list for a
// request to Host:
// - "*.example.com" becomes ".example.com" (every name below it);
// - "10.*" or "192.168.*.*" becomes the network "10.0.0.0/8", "192.168.0.0/16";
// - "<local>" bypasses host names without a dot (the request's own host is
//   added when it is such a name);
// - a port after a name is dropped (the name is bypassed on every port);
// - other patterns with "*" inside have no equivalent and are left out.
// An empty list gives an empty result: every host goes through the proxy.
QByteArray NoProxyList(const QByteArray& ProxyBypass, const QByteArray& Host);

}  // namespace upgrader

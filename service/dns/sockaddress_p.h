#pragma once

// Conversions between Endpoint and the system's socket addresses, shared by the socket
// classes of this folder. Not part of the proxy's interface; Linux only.

#include "endpoint.h"

#include <sys/socket.h>

namespace DNS {

// Fills *out and returns its length. An IPv6 scope id, given as an interface name
// ("eth0") or a number, becomes the interface index: a link-local address is useless
// without it.
socklen_t endpointToSockaddr(const Endpoint &endpoint, sockaddr_storage *out);
// The reverse; the scope id comes back as the interface name when the system knows the
// index, else as the number.
Endpoint endpointFromSockaddr(const sockaddr_storage &in);
// AF_INET or AF_INET6.
int addressFamily(const Endpoint &endpoint);

} // namespace DNS

#pragma once

#include <QByteArray>

// The kernel side of the interface watcher: a non-blocking NETLINK_ROUTE socket subscribed
// to link and IPv4/IPv6 address changes.
namespace RouteSocket {

// The descriptor, or -1 (errno set).
int open();
void close(int socket);

enum class Read { Datagram, Foreign, Overrun, Empty, Failed };
// One datagram into *datagram. Foreign: it did not come from the kernel. Overrun: the
// kernel dropped notifications because we read too slowly (ENOBUFS). Empty: nothing more
// to read now.
Read receive(int socket, QByteArray *datagram);

} // namespace RouteSocket

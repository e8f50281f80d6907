#include "routesocket.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace RouteSocket {

namespace {
// rtnetlink messages fit a page; the kernel's recommended buffer is 8 KiB or more.
constexpr int BufferSize = 32768;
} // namespace

int open()
{
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0)
        return -1;
    sockaddr_nl address;
    std::memset(&address, 0, sizeof(address));
    address.nl_family = AF_NETLINK;
    address.nl_groups = RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) < 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

void close(int socket)
{
    if (socket >= 0)
        ::close(socket);
}

Read receive(int socket, QByteArray *datagram)
{
    datagram->resize(BufferSize);
    sockaddr_nl sender;
    std::memset(&sender, 0, sizeof(sender));
    iovec vector { datagram->data(), size_t(BufferSize) };
    msghdr message;
    std::memset(&message, 0, sizeof(message));
    message.msg_name = &sender;
    message.msg_namelen = sizeof(sender);
    message.msg_iov = &vector;
    message.msg_iovlen = 1;
    const ssize_t received = ::recvmsg(socket, &message, MSG_DONTWAIT);
    if (received < 0) {
        datagram->clear();
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            return Read::Empty;
        return errno == ENOBUFS ? Read::Overrun : Read::Failed;
    }
    datagram->resize(int(received));
    // Only the kernel (port id 0) speaks for the interfaces; a truncated datagram is
    // parsed as far as it goes and reported malformed by the parser.
    if (sender.nl_pid != 0)
        return Read::Foreign;
    return Read::Datagram;
}

} // namespace RouteSocket

#include "datagramsocket.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace DNS {

namespace {

socklen_t toSockaddr(const Endpoint &endpoint, sockaddr_storage *out)
{
    std::memset(out, 0, sizeof(*out));
    if (endpoint.address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto *in6 = reinterpret_cast<sockaddr_in6 *>(out);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(endpoint.port);
        const Q_IPV6ADDR address = endpoint.address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, &address, sizeof(address));
        in6->sin6_scope_id = endpoint.address.scopeId().toUInt();
        return sizeof(sockaddr_in6);
    }
    auto *in4 = reinterpret_cast<sockaddr_in *>(out);
    in4->sin_family = AF_INET;
    in4->sin_port = htons(endpoint.port);
    in4->sin_addr.s_addr = htonl(endpoint.address.toIPv4Address());
    return sizeof(sockaddr_in);
}

Endpoint fromSockaddr(const sockaddr_storage &in)
{
    if (in.ss_family == AF_INET6) {
        const auto &in6 = reinterpret_cast<const sockaddr_in6 &>(in);
        return Endpoint(QHostAddress(reinterpret_cast<const quint8 *>(&in6.sin6_addr)), ntohs(in6.sin6_port));
    }
    const auto &in4 = reinterpret_cast<const sockaddr_in &>(in);
    return Endpoint(QHostAddress(ntohl(in4.sin_addr.s_addr)), ntohs(in4.sin_port));
}

int familyOf(const Endpoint &endpoint)
{
    return endpoint.address.protocol() == QAbstractSocket::IPv6Protocol ? AF_INET6 : AF_INET;
}

} // namespace

DatagramSocket::~DatagramSocket()
{
    close();
}

bool DatagramSocket::fail()
{
    m_error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

bool DatagramSocket::open(int family)
{
    close();
    m_fd = ::socket(family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    return m_fd >= 0 || fail();
}

bool DatagramSocket::bind(const Endpoint &local)
{
    if (!open(familyOf(local)))
        return false;
    sockaddr_storage address;
    const socklen_t length = toSockaddr(local, &address);
    if (::bind(m_fd, reinterpret_cast<sockaddr *>(&address), length) != 0) {
        fail();
        close();
        return false;
    }
    return true;
}

bool DatagramSocket::connectTo(const Endpoint &peer)
{
    if (!open(familyOf(peer)))
        return false;
    sockaddr_storage address;
    const socklen_t length = toSockaddr(peer, &address);
    if (::connect(m_fd, reinterpret_cast<sockaddr *>(&address), length) != 0) {
        fail();
        close();
        return false;
    }
    return true;
}

void DatagramSocket::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool DatagramSocket::setReceiveBufferSize(int bytes)
{
    return ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof(bytes)) == 0 || fail();
}

qint64 DatagramSocket::send(const QByteArray &datagram)
{
    const ssize_t sent = ::send(m_fd, datagram.constData(), size_t(datagram.size()), MSG_NOSIGNAL);
    if (sent < 0)
        fail();
    return sent;
}

qint64 DatagramSocket::sendTo(const QByteArray &datagram, const Endpoint &to)
{
    sockaddr_storage address;
    const socklen_t length = toSockaddr(to, &address);
    const ssize_t sent = ::sendto(m_fd, datagram.constData(), size_t(datagram.size()), MSG_NOSIGNAL,
                                  reinterpret_cast<sockaddr *>(&address), length);
    if (sent < 0)
        fail();
    return sent;
}

bool DatagramSocket::receive(QByteArray *datagram, Endpoint *from)
{
    char buffer[65536];
    sockaddr_storage address;
    socklen_t length = sizeof(address);
    const ssize_t received = ::recvfrom(m_fd, buffer, sizeof(buffer) - 1, 0,
                                        reinterpret_cast<sockaddr *>(&address), &length);
    if (received < 0)
        return fail();
    *datagram = QByteArray(buffer, int(received));
    if (from)
        *from = fromSockaddr(address);
    return true;
}

} // namespace DNS

#include "datagramsocket.h"

#include "sockaddress_p.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace DNS {

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
    if (!open(addressFamily(local)))
        return false;
    sockaddr_storage address;
    const socklen_t length = endpointToSockaddr(local, &address);
    if (::bind(m_fd, reinterpret_cast<sockaddr *>(&address), length) != 0) {
        fail();
        close();
        return false;
    }
    return true;
}

bool DatagramSocket::connectTo(const Endpoint &peer)
{
    if (!open(addressFamily(peer)))
        return false;
    sockaddr_storage address;
    const socklen_t length = endpointToSockaddr(peer, &address);
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
    const socklen_t length = endpointToSockaddr(to, &address);
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
        *from = endpointFromSockaddr(address);
    return true;
}

} // namespace DNS

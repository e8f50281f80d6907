#include "streamsocket.h"

#include "sockaddress_p.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace DNS {

StreamSocket::StreamSocket(int descriptor)
    : m_fd(descriptor)
{
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags < 0 || ::fcntl(m_fd, F_SETFL, flags | O_NONBLOCK) < 0)
        fail();
    ::fcntl(m_fd, F_SETFD, FD_CLOEXEC);
    sockaddr_storage address;
    socklen_t length = sizeof(address);
    if (::getpeername(m_fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        m_peer = endpointFromSockaddr(address);
}

StreamSocket::~StreamSocket()
{
    close();
}

qint64 StreamSocket::fail()
{
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
        return WouldBlock;
    m_error = QString::fromLocal8Bit(std::strerror(errno));
    return Failed;
}

qint64 StreamSocket::read(char *buffer, qint64 size)
{
    if (m_fd < 0)
        return Failed;
    const ssize_t received = ::recv(m_fd, buffer, size_t(size), 0);
    return received >= 0 ? received : fail();
}

qint64 StreamSocket::write(const char *data, qint64 size)
{
    if (m_fd < 0)
        return Failed;
    const ssize_t sent = ::send(m_fd, data, size_t(size), MSG_NOSIGNAL);
    return sent >= 0 ? sent : fail();
}

void StreamSocket::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace DNS

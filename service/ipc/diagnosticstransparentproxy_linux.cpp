#include "diagnosticstransparentproxy.h"

#include <cerrno>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

bool CheckTransparentProxy::outgoingAddress(const QHostAddress &target, QHostAddress *local, QString *error)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        const int code = errno;
        *error = QStringLiteral("socket function failed with error: %1\n").arg(code);
        return false;
    }
    // Connecting a datagram socket only picks the route and the source address.
    sockaddr_in remote = {};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(53);
    remote.sin_addr.s_addr = htonl(target.toIPv4Address());
    bool ok = ::connect(fd, reinterpret_cast<const sockaddr *>(&remote), sizeof remote) == 0;
    if (!ok) {
        const int code = errno;
        *error = QStringLiteral("error during connection: %1\n").arg(code);
    } else {
        sockaddr_in name = {};
        socklen_t length = sizeof name;
        ok = ::getsockname(fd, reinterpret_cast<sockaddr *>(&name), &length) == 0;
        const int code = errno;
        if (ok)
            *local = QHostAddress(ntohl(name.sin_addr.s_addr));
        else
            *error = QStringLiteral("error during getsockname: %1\n").arg(code);
    }
    ::close(fd);
    return ok;
}

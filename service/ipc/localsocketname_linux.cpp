#include "localsocketname.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace LocalSocketName {

namespace {

bool isSocket(const QByteArray &path)
{
    struct stat info;
    return ::lstat(path.constData(), &info) == 0 && S_ISSOCK(info.st_mode);
}

} // namespace

State probe(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (::lstat(native.constData(), &info) != 0)
        return errno == ENOENT ? State::Free : State::Live;
    if (!S_ISSOCK(info.st_mode))
        return State::NotASocket;

    sockaddr_un address;
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (size_t(native.size()) >= sizeof address.sun_path)
        return State::Live; // cannot be probed, so it must not be removed either
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return State::Live;
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    const int error = result == 0 ? 0 : errno;
    ::close(fd);
    // Only a refusal proves that nobody listens; EAGAIN (full backlog) or any other
    // failure (say, no permission to connect) leaves the name to whoever holds it.
    return error == ECONNREFUSED ? State::Stale : State::Live;
}

bool removeStale(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    return isSocket(native) && ::unlink(native.constData()) == 0;
}

bool setWorldAccess(const QString &path)
{
    return ::chmod(QFile::encodeName(path).constData(), 0666) == 0;
}

QString describe(State state)
{
    switch (state) {
    case State::Free:
        return QStringLiteral("free");
    case State::Stale:
        return QStringLiteral("stale socket");
    case State::Live:
        return QStringLiteral("in use by a running server");
    case State::NotASocket:
        return QStringLiteral("taken by a file that is not a socket");
    }
    return QString();
}

} // namespace LocalSocketName

#include "filereplace.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileReplace {

namespace {

QByteArray temporaryTemplate(const QString &path)
{
    const QFileInfo info(path);
    return QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()
            + QStringLiteral(".corvane-XXXXXX"));
}

bool fail(QString *error, const QString &what, const QByteArray &temporary = QByteArray())
{
    const int saved = errno;
    if (!temporary.isEmpty())
        ::unlink(temporary.constData());
    if (error)
        *error = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(saved));
    return false;
}

bool renameOver(const QByteArray &temporary, const QString &path, QString *error)
{
    if (::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0)
        return fail(error, QStringLiteral("cannot replace %1").arg(path), temporary);
    return true;
}

} // namespace

bool withContent(const QString &path, const QByteArray &content, QString *error, unsigned mode)
{
    QByteArray temporary = temporaryTemplate(path);
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return fail(error, QStringLiteral("cannot create a file beside %1").arg(path));
    qint64 written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + written, size_t(content.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            return fail(error, QStringLiteral("cannot write beside %1").arg(path), temporary);
        }
        written += n;
    }
    if (::fchmod(fd, mode_t(mode)) != 0 || ::fsync(fd) != 0) {
        ::close(fd);
        return fail(error, QStringLiteral("cannot finish the file beside %1").arg(path), temporary);
    }
    ::close(fd);
    return renameOver(temporary, path, error);
}

bool withSymlink(const QString &path, const QString &target, QString *error)
{
    // mkstemp only reserves a free name; the link takes its place.
    QByteArray temporary = temporaryTemplate(path);
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return fail(error, QStringLiteral("cannot create a link beside %1").arg(path));
    ::close(fd);
    ::unlink(temporary.constData());
    if (::symlink(QFile::encodeName(target).constData(), temporary.constData()) != 0)
        return fail(error, QStringLiteral("cannot create a link beside %1").arg(path));
    return renameOver(temporary, path, error);
}

} // namespace FileReplace

#include "passwordsource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

int PasswordTerminal::open()
{
    return ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
}

QByteArray PasswordTerminal::disableEcho(int fd)
{
    termios settings = {};
    if (tcgetattr(fd, &settings) != 0)
        return QByteArray();
    const QByteArray saved(reinterpret_cast<const char *>(&settings), sizeof settings);
    // The line discipline still collects the line (ICANON) and echoes its newline, so
    // the cursor moves on as the user expects.
    settings.c_lflag &= ~tcflag_t(ECHO | ECHOE | ECHOK);
    settings.c_lflag |= ECHONL;
    if (tcsetattr(fd, TCSAFLUSH, &settings) != 0)
        return QByteArray();
    return saved;
}

void PasswordTerminal::restore(int fd, const QByteArray &saved)
{
    if (saved.size() != int(sizeof(termios)))
        return;
    termios settings;
    memcpy(&settings, saved.constData(), sizeof settings);
    tcsetattr(fd, TCSANOW, &settings);
}

void PasswordTerminal::write(int fd, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        done += written;
    }
}

void PasswordTerminal::close(int fd)
{
    ::close(fd);
}

qint64 PasswordTerminal::read(int fd, char *buffer, qint64 size)
{
    ssize_t count;
    do {
        count = ::read(fd, buffer, size_t(size));
    } while (count < 0 && errno == EINTR);
    return count;
}

#include "interruptwatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The classic self-pipe: the handler may only make async-signal-safe calls, so it writes
// the signal number into a socket that the event loop watches.
int pipeEnds[2] = {-1, -1};
constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[3];

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    if (write(pipeEnds[1], &byte, 1) < 0) {
        // Full: an earlier signal is still unread, which ends the program just the same.
    }
    errno = saved;
}

} // namespace

InterruptWatcher::InterruptWatcher(QObject *parent)
    : QObject(parent)
{
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0) {
        qWarning("cannot watch for interrupts: %s", strerror(errno));
        return;
    }
    m_notifier = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InterruptWatcher::readSignal);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        sigaction(Signals[i], &action, &previous[i]);
}

InterruptWatcher::~InterruptWatcher()
{
    if (!m_notifier)
        return;
    for (int i = 0; i < 3; ++i)
        sigaction(Signals[i], &previous[i], nullptr);
    delete m_notifier;
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void InterruptWatcher::readSignal()
{
    unsigned char byte = 0;
    if (read(pipeEnds[0], &byte, 1) == 1)
        Q_EMIT interrupted(byte);
}

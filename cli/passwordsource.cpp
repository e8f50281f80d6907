#include "passwordsource.h"

#include <QSocketNotifier>

#include <unistd.h>

PasswordSource::PasswordSource(Mode mode, int timeoutSeconds, QObject *parent)
    : QObject(parent)
    , m_mode(mode)
    , m_timeoutSeconds(mode == Mode::Terminal ? TerminalTimeoutSeconds : timeoutSeconds)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { complete(Result::TimedOut); });
}

PasswordSource::~PasswordSource()
{
    restoreTerminal();
    if (m_mode == Mode::Terminal && m_fd >= 0)
        PasswordTerminal::close(m_fd);
}

void PasswordSource::read(const QString &prompt, Done done)
{
    m_done = std::move(done);
    if (m_fd < 0) {
        m_fd = m_mode == Mode::Terminal ? PasswordTerminal::open() : STDIN_FILENO;
        if (m_fd < 0) {
            QMetaObject::invokeMethod(this, [this] { complete(Result::NoTerminal); }, Qt::QueuedConnection);
            return;
        }
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &PasswordSource::readable);
    }
    // Echo goes off before the prompt shows, so that nothing typed after it is echoed.
    if (m_mode == Mode::Terminal) {
        m_savedTerminal = PasswordTerminal::disableEcho(m_fd);
        PasswordTerminal::write(m_fd, prompt.toUtf8());
    }
    m_timer.start(m_timeoutSeconds * 1000);
    m_notifier->setEnabled(true);
    // An earlier read may have brought this line already.
    QMetaObject::invokeMethod(this, [this] { takeLine(); }, Qt::QueuedConnection);
}

void PasswordSource::readable()
{
    char chunk[4096];
    const qint64 count = PasswordTerminal::read(m_fd, chunk, sizeof chunk);
    if (count <= 0) {
        m_ended = true;
        m_notifier->setEnabled(false);
    } else {
        m_buffer.append(chunk, int(count));
    }
    takeLine();
}

// True when the pending question got its answer.
bool PasswordSource::takeLine()
{
    if (!m_done)
        return false;
    const int end = m_buffer.indexOf('\n');
    if (end > MaximumLength || (end < 0 && m_buffer.size() > MaximumLength)) {
        complete(Result::TooLong);
        return true;
    }
    if (end < 0 && !m_ended)
        return false;
    if (end < 0 && m_buffer.isEmpty()) {
        complete(Result::Ended);
        return true;
    }
    QByteArray line = end < 0 ? m_buffer : m_buffer.left(end);
    m_buffer.remove(0, end < 0 ? m_buffer.size() : end + 1);
    if (line.endsWith('\r'))
        line.chop(1);
    complete(Result::Read, QString::fromUtf8(line));
    return true;
}

void PasswordSource::complete(Result result, const QString &password)
{
    if (!m_done)
        return;
    m_timer.stop();
    if (m_notifier)
        m_notifier->setEnabled(false);
    restoreTerminal();
    Done done = std::move(m_done);
    m_done = nullptr;
    done(result, password);
}

void PasswordSource::restoreTerminal()
{
    if (m_savedTerminal.isEmpty())
        return;
    PasswordTerminal::restore(m_fd, m_savedTerminal);
    m_savedTerminal.clear();
}

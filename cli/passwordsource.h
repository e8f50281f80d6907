#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>

class QSocketNotifier;

// Where passwords come from: the controlling terminal with its echo off, or standard
// input, one line per password. Never from the command line, which every local user can
// read in the process list.
//
// Reading never blocks the event loop: the descriptor is watched, and each read takes
// only what has arrived. A password is at most MaximumLength bytes; the terminal waits up
// to TerminalTimeoutSeconds for it, standard input as long as the invocation's time-out.
// The terminal's echo is back on after every answer and when the object is destroyed
// (an interrupted prompt included).
class PasswordSource : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(PasswordSource)

public:
    enum class Mode { Terminal, StandardInput };
    enum class Result {
        Read,
        NoTerminal, // there is no terminal to ask on
        Ended,      // standard input or the terminal ended before a password
        TimedOut,
        TooLong,
    };
    static constexpr int MaximumLength = 1024;
    static constexpr int TerminalTimeoutSeconds = 300;

    using Done = std::function<void(Result result, const QString &password)>;

    PasswordSource(Mode mode, int timeoutSeconds, QObject *parent = nullptr);
    ~PasswordSource() override;

    // Asks for one password (the prompt goes to the terminal only); done follows once,
    // from the event loop. One question at a time.
    void read(const QString &prompt, Done done);

private:
    void readable();
    bool takeLine();
    void complete(Result result, const QString &password = QString());
    void restoreTerminal();

    Mode m_mode;
    int m_timeoutSeconds;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_timer;
    QByteArray m_buffer;
    bool m_ended = false;
    QByteArray m_savedTerminal; // the terminal's settings while its echo is off
    Done m_done;
};

// The terminal, as the password prompt needs it (passwordsource_linux.cpp).
namespace PasswordTerminal {
// The controlling terminal opened for reading and writing, or -1.
int open();
// Switches echo off and returns the settings to put back; empty when that failed.
QByteArray disableEcho(int fd);
void restore(int fd, const QByteArray &saved);
void write(int fd, const QByteArray &bytes);
void close(int fd);
// Reads what is there (one call); 0 at the end, -1 on error.
qint64 read(int fd, char *buffer, qint64 size);
} // namespace PasswordTerminal

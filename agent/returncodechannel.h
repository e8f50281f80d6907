#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

#include <memory>

// The hand-over of the uninstall password check between two processes of one user: the
// process started with "-p" listens, the running instance writes the outcome.
//
// The channel is a socket "Corvane-Agent-<user id>.returncode" in the user's runtime
// directory (mode 0700, so only the user's own processes reach it), guarded by a lock file
// beside it so that two waiting processes never share one name. The code travels as one
// signed 32-bit integer, little-endian: 0 while nothing is decided, 100 when uninstalling is
// permitted, 101 when it is refused or cancelled.
namespace ReturnCode {
constexpr qint32 Undecided = 0;
constexpr qint32 Permitted = 100;
constexpr qint32 Refused = 101;

QString defaultName();
} // namespace ReturnCode

// The waiting side. There is no time-out: it waits until a non-zero code arrives, then
// emits codeReceived(code) once. When the channel cannot be created it emits failed().
// Every connection is read for 4 bytes at most and then closed.
class ReturnCodeListener : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ReturnCodeListener)

public:
    // directory: where the socket lives; empty for the user's runtime directory.
    explicit ReturnCodeListener(const QString &name = ReturnCode::defaultName(),
                                const QString &directory = QString(), QObject *parent = nullptr);
    ~ReturnCodeListener() override;

    // Creates the channel. False (and failed() on the next pass of the event loop) when
    // another process waits on it already or the socket cannot be made.
    bool listen();

Q_SIGNALS:
    void codeReceived(qint32 code);
    void failed();

private Q_SLOTS:
    void server_newConnection();

private:
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
    bool m_done = false;
};

// The writing side, in the running instance. Writing never blocks the event loop; a channel
// that nobody listens on is silently left alone (nothing waits for the code then).
namespace ReturnCodeWriter {
void write(qint32 code, const QString &name = ReturnCode::defaultName(),
           const QString &directory = QString());
// For the end of the program, after the event loop: waits up to timeoutMs.
bool writeNow(qint32 code, int timeoutMs, const QString &name = ReturnCode::defaultName(),
              const QString &directory = QString());
} // namespace ReturnCodeWriter

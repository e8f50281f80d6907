#include "singleinstance.h"

#include "singleinstancepeer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcSingleInstance, "corvane.agent.instance")

SingleInstance::SingleInstance(const QString &id, const QString &directory, QObject *parent)
    : QObject(parent)
    , m_directory(directory.isEmpty()
                      ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                      : directory)
    , m_id(id)
{
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::server_newConnection);
}

SingleInstance::~SingleInstance()
{
    m_server.close();
    if (m_lock)
        m_lock->unlock();
}

QString SingleInstance::lockFilePath() const
{
    return m_directory + QLatin1Char('/') + m_id + QStringLiteral(".lock");
}

QString SingleInstance::socketPath() const
{
    return m_directory + QLatin1Char('/') + m_id + QStringLiteral(".socket");
}

bool SingleInstance::isRunning()
{
    if (m_role != Role::Undecided)
        return m_role == Role::Secondary;
    QDir().mkpath(m_directory);
    m_lock = std::make_unique<QLockFile>(lockFilePath());
    // Never stale by age: the primary holds it for its whole life. A lock whose process is
    // gone is still taken over.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() != QLockFile::LockFailedError) {
            // No lock can be had at all (say, the directory is not writable): behave as the
            // only instance rather than refuse to start.
            qCWarning(lcSingleInstance, "cannot create %s; running without the one-instance check",
                      qPrintable(lockFilePath()));
            m_role = Role::Primary;
            return false;
        }
        m_role = Role::Secondary;
        return true;
    }
    m_role = Role::Primary;
    return false;
}

bool SingleInstance::listen()
{
    if (m_role != Role::Primary || !m_lock || !m_lock->isLocked())
        return false;
    // We hold the lock, so a socket file here was left by a primary that crashed.
    QLocalServer::removeServer(socketPath());
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(socketPath())) {
        qCWarning(lcSingleInstance, "cannot listen on %s: %s", qPrintable(socketPath()),
                  qPrintable(m_server.errorString()));
        return false;
    }
    return true;
}

bool SingleInstance::sendMessage(const QString &message, int timeoutMs)
{
    const QByteArray bytes = message.toUtf8() + '\n';
    if (bytes.size() > MaximumMessageBytes || message.contains(QLatin1Char('\n')))
        return false;
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(bytes);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.readLine(16) == "ok\n";
}

void SingleInstance::server_newConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        auto *peer = new SingleInstancePeer(socket, MaximumMessageBytes, PeerTimeoutMs, this);
        connect(peer, &SingleInstancePeer::messageReceived, this, &SingleInstance::messageReceived);
    }
}

#include "rpcconnection.h"

#include "paths.h"

#include <QTimerEvent>

RpcConnection::RpcConnection(QObject *parent)
    : IpcConnection(parent)
{
    qRegisterMetaType<IpcConnection::Error>();
    connect(socket(), &QLocalSocket::connected, this, &RpcConnection::socketConnected);
    connect(socket(), &QLocalSocket::disconnected, this, &RpcConnection::socketDisconnected);
    connect(socket(), &QLocalSocket::errorOccurred, this, &RpcConnection::socketError);
}

RpcConnection::~RpcConnection()
{
    // The socket goes with the base; its last signals must not reach a half-destroyed self.
    disconnect(socket(), nullptr, this, nullptr);
}

QString RpcConnection::socketPath() const
{
    return m_socketPath.isEmpty() ? Paths::ipcSocketPath() : m_socketPath;
}

void RpcConnection::setSocketPath(const QString &path)
{
    m_socketPath = path;
}

void RpcConnection::connectToService()
{
    if (isUnconnected() && m_reconnectTimerId == 0)
        socket()->connectToServer(socketPath(), QIODevice::ReadWrite);
}

void RpcConnection::reconnectToService()
{
    if (!isUnconnected())
        return;
    if (m_reconnectTimerId == 0)
        m_reconnectTimerId = startTimer(ReconnectIntervalMs, Qt::CoarseTimer);
    socket()->connectToServer(socketPath(), QIODevice::ReadWrite);
}

void RpcConnection::socketConnected()
{
    stopReconnectTimer();
    Q_EMIT connected();
}

void RpcConnection::socketDisconnected()
{
    if (m_reconnectTimerId != 0)
        return;
    Q_EMIT disconnected();
    Q_EMIT error(ConnectionLostError, QString());
}

void RpcConnection::socketError(QLocalSocket::LocalSocketError socketError)
{
    if (m_reconnectTimerId != 0)
        return;
    if (socketError == QLocalSocket::PeerClosedError) {
        // The disconnected() that comes with it reports the loss.
        if (socket()->state() != QLocalSocket::UnconnectedState)
            return;
        Q_EMIT error(ConnectionLostError, QString());
        return;
    }
    Q_EMIT error(ServiceUnreachableError, QString());
}

void RpcConnection::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_reconnectTimerId)
        reconnectToService();
    else
        IpcConnection::timerEvent(event);
}

void RpcConnection::stopReconnectTimer()
{
    if (m_reconnectTimerId != 0) {
        killTimer(m_reconnectTimerId);
        m_reconnectTimerId = 0;
    }
}

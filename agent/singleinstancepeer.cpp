#include "singleinstancepeer.h"

#include <QLocalSocket>

SingleInstancePeer::SingleInstancePeer(QLocalSocket *socket, int maximumBytes, int timeoutMs,
                                       QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_maximumBytes(maximumBytes)
{
    socket->setParent(this);
    socket->setReadBufferSize(maximumBytes + 1);
    m_timeout.setSingleShot(true);
    m_timeout.start(timeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, &SingleInstancePeer::finish);
    connect(socket, &QLocalSocket::readyRead, this, &SingleInstancePeer::socket_readyRead);
    connect(socket, &QLocalSocket::disconnected, this, &SingleInstancePeer::finish);
    // A peer that is gone before we get to it says nothing more.
    if (socket->state() == QLocalSocket::UnconnectedState)
        QMetaObject::invokeMethod(this, &SingleInstancePeer::finish, Qt::QueuedConnection);
    if (socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &SingleInstancePeer::socket_readyRead, Qt::QueuedConnection);
}

void SingleInstancePeer::socket_readyRead()
{
    if (m_done)
        return;
    if (!m_socket->canReadLine()) {
        if (m_socket->bytesAvailable() > m_maximumBytes)
            finish();
        return;
    }
    QByteArray line = m_socket->readLine(m_maximumBytes + 1);
    line.chop(1);
    m_done = true;
    // disconnectFromServer() sends the acknowledgement before it closes; disconnected()
    // then ends this peer.
    m_socket->write("ok\n");
    m_socket->disconnectFromServer();
    Q_EMIT messageReceived(QString::fromUtf8(line));
}

void SingleInstancePeer::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timeout.stop();
    disconnect(m_socket, nullptr, this, nullptr);
    m_socket->abort();
    deleteLater();
}

#include "tcptransport.h"

#include "ratelimitedwarning.h"
#include "serversmanager.h"

#include <QDebug>
#include <QTcpSocket>

namespace DNS {

namespace {

RateLimitedWarning &malformedWarning()
{
    static RateLimitedWarning warning(QStringLiteral("Closed a DNS TCP connection that sent a malformed message"));
    return warning;
}

RateLimitedWarning &backlogWarning()
{
    static RateLimitedWarning warning(QStringLiteral("Closed a DNS TCP connection that does not read its answers"));
    return warning;
}

} // namespace

TcpTransport::TcpTransport(QObject *parent)
    : Transport(parent)
{
    m_mark.start();
}

void TcpTransport::adopt(QTcpSocket *socket)
{
    m_socket = socket;
    socket->setParent(this);
    // Qt buffers no more than two of the largest messages; the rest waits in the kernel.
    socket->setReadBufferSize(2 * TcpFrameReader::MaxBuffered);
    connect(socket, &QTcpSocket::readyRead, this, &TcpTransport::socket_readyRead);
    connect(socket, &QTcpSocket::errorOccurred, this, &Transport::socket_error);
}

bool TcpTransport::send(Packet &packet)
{
    return framedWrite(packet);
}

bool TcpTransport::framedWrite(const Packet &packet)
{
    if (!m_socket)
        return false;
    const QByteArray frame = frameMessage(packet.bytes());
    if (frame.isEmpty() || m_socket->write(frame) < 0) {
        qWarning("failed to write to socket %s:%d error: %s", qPrintable(m_socket->peerAddress().toString()),
                 int(m_socket->peerPort()), qPrintable(m_socket->errorString()));
        return false;
    }
    if (m_writeBacklogLimit > 0 && m_socket->bytesToWrite() > m_writeBacklogLimit) {
        backlogWarning().warn();
        m_closing = true;
        m_socket->abort();
        return false;
    }
    return true;
}

void TcpTransport::shutDown()
{
    m_closing = true;
    m_shutDown = true;
    if (m_socket) {
        disconnect(m_socket, nullptr, this, nullptr);
        m_socket->abort();
    }
    deleteLater();
}

void TcpTransport::socket_readyRead()
{
    QPointer<TcpTransport> guard(this);
    while (!m_closing && m_socket && m_socket->bytesAvailable() > 0) {
        const QByteArray chunk = m_socket->read(m_reader.room());
        if (chunk.isEmpty())
            return;
        m_reader.append(chunk);
        QByteArray message;
        while (m_reader.next(&message)) {
            const Packet packet(message);
            if (!packet.isAcceptable()) {
                malformedWarning().warn();
                m_closing = true;
                m_reader.clear();
                m_socket->disconnectFromHost();
                return;
            }
            m_mark.restart();
            deliver(packet);
            if (!guard || m_closing)
                return;
        }
    }
}

TcpServerTransport::TcpServerTransport(QTcpSocket *socket, QObject *parent)
    : TcpTransport(parent)
{
    adopt(socket);
    connect(socket, &QTcpSocket::disconnected, this, &TcpTransport::disconnected);
}

TcpClientTransport::TcpClientTransport(const Endpoint &upstream, ServersManager *manager, QObject *parent)
    : TcpTransport(parent)
    , m_upstream(upstream)
    , m_manager(manager)
{
}

void TcpClientTransport::release()
{
    if (m_manager)
        m_manager->release(this);
}

bool TcpClientTransport::send(Packet &packet)
{
    const quint16 id = m_counter++;
    packet.setId(id);
    setLastId(id);
    if (m_failed)
        return false;
    if (m_socket && m_socket->state() == QAbstractSocket::ConnectedState)
        return framedWrite(packet);
    if (m_socket) {
        if (m_socket->state() != QAbstractSocket::ConnectingState
            && m_socket->state() != QAbstractSocket::HostLookupState)
            return false;
        m_waiting.append(packet);
        return true;
    }
    m_waiting.append(packet);
    auto *socket = new QTcpSocket(this);
    adopt(socket);
    connect(socket, &QTcpSocket::connected, this, &TcpClientTransport::socket_connected);
    connect(socket, &QTcpSocket::disconnected, this, &TcpClientTransport::socket_failed);
    connect(socket, &QTcpSocket::errorOccurred, this, &TcpClientTransport::socket_failed);
    socket->connectToHost(m_upstream.address, m_upstream.port, QIODevice::ReadWrite);
    return socket->state() == QAbstractSocket::ConnectingState
        || socket->state() == QAbstractSocket::HostLookupState;
}

void TcpClientTransport::socket_connected()
{
    while (!m_waiting.isEmpty()) {
        if (!framedWrite(m_waiting.first()))
            break;
        m_waiting.removeFirst();
    }
}

// A connection that could not be made or that the resolver closed will never carry the
// answers still awaited on it: they fail now rather than at their time-out, and the next
// query opens a fresh connection.
void TcpClientTransport::socket_failed()
{
    if (m_failed || m_shutDown)
        return;
    m_failed = true;
    m_waiting.clear();
    QPointer<TcpClientTransport> guard(this);
    setLastError(Error(1, m_socket ? m_socket->errorString() : QString()));
    emit disconnected();
    if (!guard)
        return;
    failWaiters();
    if (!guard)
        return;
    emit error();
    if (guard)
        deleteLater();
}

} // namespace DNS

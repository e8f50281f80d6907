#include "tcptransport.h"

#include "ratelimitedwarning.h"
#include "serversmanager.h"

#include <QDebug>
#include <QSocketNotifier>
#include <QTcpSocket>

namespace DNS {

namespace {

RateLimitedWarning &malformedWarning()
{
    static RateLimitedWarning warning(QStringLiteral("Closed a DNS TCP connection that sent a malformed message"));
    return warning;
}

// Reads per notification before other sockets get a turn; the notifier fires again while
// data waits.
constexpr int ReadsPerNotification = 16;

} // namespace

TcpTransport::TcpTransport(QObject *parent)
    : Transport(parent)
{
    m_mark.start();
}

void TcpTransport::warnBacklog()
{
    static RateLimitedWarning warning(QStringLiteral("Closed a DNS TCP connection that does not read its answers"));
    warning.warn();
}

void TcpTransport::dropUse()
{
    if (m_uses > 0 && --m_uses == 0)
        unused();
}

void TcpTransport::shutDown()
{
    m_closing = true;
    m_shutDown = true;
    abortConnection();
    deleteLater();
}

bool TcpTransport::consume(const char *data, int size)
{
    QPointer<TcpTransport> guard(this);
    while (size > 0) {
        const int taken = m_reader.append(data, size);
        data += taken;
        size -= taken;
        QByteArray message;
        while (m_reader.next(&message)) {
            const Packet packet(message);
            if (!packet.isAcceptable()) {
                malformedWarning().warn();
                m_reader.clear();
                close();
                return false;
            }
            m_mark.restart();
            deliver(packet);
            if (!guard || m_closing)
                return false;
        }
        if (taken == 0)
            break;
    }
    return true;
}

TcpServerTransport::TcpServerTransport(int descriptor, QObject *parent)
    : TcpTransport(parent)
    , m_socket(descriptor)
    , m_peer(m_socket.peer())
{
    m_readNotifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &TcpServerTransport::socket_readyRead);
    m_writeNotifier = new QSocketNotifier(descriptor, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &TcpServerTransport::socket_readyWrite);
}

TcpServerTransport::~TcpServerTransport()
{
    // The notifiers go before the descriptor they watch.
    delete m_readNotifier;
    delete m_writeNotifier;
}

void TcpServerTransport::socket_readyRead()
{
    char buffer[TcpFrameReader::MaxBuffered];
    for (int i = 0; i < ReadsPerNotification && !m_closing && !m_endOfInput; ++i) {
        const qint64 received = m_socket.read(buffer, readRoom());
        if (received == StreamSocket::WouldBlock)
            return;
        if (received == StreamSocket::Failed) {
            close();
            return;
        }
        if (received == 0) {
            // The client sends nothing more; what it asked for is still answered.
            m_endOfInput = true;
            m_readNotifier->setEnabled(false);
            finishIfDone();
            return;
        }
        if (!consume(buffer, int(received)))
            return;
    }
}

bool TcpServerTransport::send(Packet &packet)
{
    if (m_closing || !m_socket.isOpen())
        return false;
    const QByteArray frame = frameMessage(packet.bytes());
    if (frame.isEmpty())
        return false;
    // Answers that come in one turn of the event loop go out in one write once the socket
    // is found writable, rather than one system call each.
    m_output.append(frame);
    m_writeNotifier->setEnabled(true);
    if (exceedsBacklog(m_output.size() - m_outputStart)) {
        warnBacklog();
        close();
        return false;
    }
    return true;
}

bool TcpServerTransport::flush()
{
    while (m_outputStart < m_output.size()) {
        const qint64 written = m_socket.write(m_output.constData() + m_outputStart, m_output.size() - m_outputStart);
        if (written == StreamSocket::WouldBlock) {
            m_writeNotifier->setEnabled(true);
            return true;
        }
        if (written == StreamSocket::Failed) {
            close();
            return false;
        }
        m_outputStart += int(written);
    }
    m_output.clear();
    m_outputStart = 0;
    m_writeNotifier->setEnabled(false);
    finishIfDone();
    return true;
}

void TcpServerTransport::socket_readyWrite()
{
    flush();
}

void TcpServerTransport::unused()
{
    finishIfDone();
}

void TcpServerTransport::finishIfDone()
{
    if (m_endOfInput && useCount() == 0 && m_output.isEmpty())
        close();
}

void TcpServerTransport::abortConnection()
{
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    m_socket.close();
}

void TcpServerTransport::close()
{
    if (!m_socket.isOpen())
        return;
    m_closing = true;
    abortConnection();
    if (!m_shutDown)
        emit disconnected();
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
    m_socket = new QTcpSocket(this);
    // Qt buffers no more than two of the largest messages; the rest waits in the kernel.
    m_socket->setReadBufferSize(2 * TcpFrameReader::MaxBuffered);
    connect(m_socket, &QTcpSocket::readyRead, this, &TcpClientTransport::socket_readyRead);
    connect(m_socket, &QTcpSocket::connected, this, &TcpClientTransport::socket_connected);
    connect(m_socket, &QTcpSocket::disconnected, this, &TcpClientTransport::socket_failed);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TcpClientTransport::socket_failed);
    m_socket->connectToHost(m_upstream.address, m_upstream.port, QIODevice::ReadWrite);
    return m_socket->state() == QAbstractSocket::ConnectingState
        || m_socket->state() == QAbstractSocket::HostLookupState;
}

bool TcpClientTransport::framedWrite(const Packet &packet)
{
    const QByteArray frame = frameMessage(packet.bytes());
    if (frame.isEmpty() || m_socket->write(frame) < 0) {
        qWarning("failed to write to socket %s:%d error: %s", qPrintable(m_socket->peerAddress().toString()),
                 int(m_socket->peerPort()), qPrintable(m_socket->errorString()));
        return false;
    }
    if (exceedsBacklog(m_socket->bytesToWrite())) {
        warnBacklog();
        m_socket->abort();
        return false;
    }
    return true;
}

void TcpClientTransport::socket_connected()
{
    m_connected = true;
    while (!m_waiting.isEmpty()) {
        if (!framedWrite(m_waiting.first()))
            break;
        m_waiting.removeFirst();
    }
}

void TcpClientTransport::socket_readyRead()
{
    while (!m_closing && m_socket && m_socket->bytesAvailable() > 0) {
        const QByteArray chunk = m_socket->read(readRoom());
        if (chunk.isEmpty() || !consume(chunk.constData(), chunk.size()))
            return;
    }
}

void TcpClientTransport::close()
{
    m_closing = true;
    if (m_socket)
        m_socket->abort();
    socket_failed();
}

void TcpClientTransport::abortConnection()
{
    if (!m_socket)
        return;
    if (m_shutDown)
        disconnect(m_socket, nullptr, this, nullptr);
    m_socket->abort();
}

// A connection that could not be made, or that the resolver closed, will never carry the
// answers still awaited on it: the queries hear of it now rather than at their time-out,
// and the next query opens a fresh connection.
void TcpClientTransport::socket_failed()
{
    if (m_failed || m_shutDown)
        return;
    m_failed = true;
    m_waiting.clear();
    QPointer<TcpClientTransport> guard(this);
    setLastError(Error(1, m_socket ? m_socket->errorString() : QString()), m_connected);
    emit disconnected();
    if (!guard)
        return;
    failWaiters();
    if (guard)
        deleteLater();
}

} // namespace DNS

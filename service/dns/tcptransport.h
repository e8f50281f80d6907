#pragma once

#include "tcpframereader.h"
#include "transport.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>

class QTcpSocket;

namespace DNS {

class ServersManager;

// DNS over TCP (RFC 1035 4.2.2, RFC 7766): length-prefixed messages on one connection.
//
// Reading takes every complete message in the buffer at each notification. A message that
// fails the checks of Packet::isAcceptable() closes the connection. The activity mark
// restarts at each complete message, not at each byte, so a peer trickling a message
// byte by byte still counts as idle.
class TcpTransport : public Transport
{
    Q_OBJECT

public:
    QTcpSocket *socket() const { return m_socket; }
    // Milliseconds since the last complete message (or since the transport was made).
    qint64 idleTime() const { return m_mark.elapsed(); }

    // Bytes queued towards a peer that does not read, past which the connection is
    // closed; 0 for no limit.
    void setWriteBacklogLimit(int bytes) { m_writeBacklogLimit = bytes; }

    bool send(Packet &packet) override;

    // Closes the connection now and deletes the transport later, without telling anyone:
    // queries still waiting on it end at their time-out, their late answers dropped.
    void shutDown();

signals:
    void disconnected();

public slots:
    void socket_readyRead();

protected:
    explicit TcpTransport(QObject *parent);
    void adopt(QTcpSocket *socket);
    bool framedWrite(const Packet &packet);

    QTcpSocket *m_socket = nullptr;
    bool m_closing = false;  // no more reading: the connection is being closed
    bool m_shutDown = false; // closed by shutDown(): nobody is told

private:
    QElapsedTimer m_mark;
    TcpFrameReader m_reader;
    int m_writeBacklogLimit = 0;
};

// A client connection accepted by the proxy. It reads nothing until readPending() (or
// the next notification), so its owner can connect readyRead() first.
class TcpServerTransport : public TcpTransport
{
    Q_OBJECT

public:
    TcpServerTransport(QTcpSocket *socket, QObject *parent = nullptr);

    void readPending() { socket_readyRead(); }
};

// The shared connection to one upstream endpoint. Ids count up from 0 per connection;
// messages sent while it connects wait and go out in order once it is up. When the
// connection fails or closes, every query still waiting on it fails at once (code 1,
// the socket's text) and the transport deletes itself.
class TcpClientTransport : public TcpTransport
{
    Q_OBJECT

public:
    TcpClientTransport(const Endpoint &upstream, ServersManager *manager, QObject *parent = nullptr);

    const Endpoint &upstream() const { return m_upstream; }
    void release() override;
    bool send(Packet &packet) override;

public slots:
    void socket_connected();

private slots:
    void socket_failed();

private:
    Endpoint m_upstream;
    QPointer<ServersManager> m_manager;
    quint16 m_counter = 0;
    QList<Packet> m_waiting;
    bool m_failed = false;
};

} // namespace DNS

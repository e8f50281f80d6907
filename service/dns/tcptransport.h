#pragma once

#include "streamsocket.h"
#include "tcpframereader.h"
#include "transport.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>

class QSocketNotifier;
class QTcpSocket;

namespace DNS {

class ServersManager;

// DNS over TCP (RFC 1035 4.2.2, RFC 7766): length-prefixed messages on one connection.
//
// Reading takes every complete message in the buffer at each notification. A message that
// fails the checks of Packet::isAcceptable() closes the connection. The activity mark
// restarts at each complete message, not at each byte, so a peer trickling a message
// byte by byte still counts as idle.
//
// The idle manager counts the queries in flight on a connection (addUse(), dropUse());
// unused() follows the last one's end.
class TcpTransport : public Transport
{
    Q_OBJECT

public:
    // Milliseconds since the last complete message (or since the transport was made).
    qint64 idleTime() const { return m_mark.elapsed(); }

    // Bytes queued towards a peer that does not read, past which the connection is
    // closed; 0 for no limit.
    void setWriteBacklogLimit(int bytes) { m_writeBacklogLimit = bytes; }

    int useCount() const { return m_uses; }
    void addUse() { ++m_uses; }
    void dropUse();

    // Closes the connection now and deletes the transport later, without telling anyone:
    // queries still waiting on it end at their time-out, their late answers dropped.
    void shutDown();
    // Closes the connection now as if the peer had closed it: disconnected() follows.
    virtual void close() = 0;

signals:
    void disconnected();

protected:
    explicit TcpTransport(QObject *parent);

    // Feeds bytes read from the connection to the frame reader and delivers every complete
    // message. False when reading must stop: a malformed message closed the connection, or
    // the transport was deleted by a receiver.
    bool consume(const char *data, int size);
    // Closes the socket at once without telling anyone.
    virtual void abortConnection() = 0;
    // No query is in flight any more.
    virtual void unused() {}

    int readRoom() const { return m_reader.room(); }
    bool exceedsBacklog(qint64 queued) const { return m_writeBacklogLimit > 0 && queued > m_writeBacklogLimit; }
    static void warnBacklog();

    bool m_closing = false;  // no more reading: the connection is being closed
    bool m_shutDown = false; // closed by shutDown(): nobody is told

private:
    QElapsedTimer m_mark;
    TcpFrameReader m_reader;
    int m_writeBacklogLimit = 0;
    int m_uses = 0;
};

// A client connection accepted by the proxy, on its own descriptor. It reads nothing
// until readPending() (or the next notification), so its owner can connect readyRead()
// first.
//
// Answers are written when the socket is next found writable, so that those of one turn of
// the event loop share a system call. The connection lasts until the client closes it. A client that shuts down its sending
// side (after its last query) keeps getting answers: the connection closes once nothing
// is in flight and everything due is written. disconnected() follows the close, for
// whatever reason; the owner deletes the transport then.
class TcpServerTransport : public TcpTransport
{
    Q_OBJECT

public:
    TcpServerTransport(int descriptor, QObject *parent = nullptr);
    ~TcpServerTransport() override;

    void readPending() { socket_readyRead(); }
    bool isOpen() const { return m_socket.isOpen(); }
    const Endpoint &peer() const { return m_peer; }

    bool send(Packet &packet) override;
    void close() override;

private slots:
    void socket_readyRead();
    void socket_readyWrite();

private:
    void abortConnection() override;
    void unused() override;
    // Writes what the socket takes now; false when the connection broke.
    bool flush();
    void finishIfDone();

    StreamSocket m_socket;
    Endpoint m_peer;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_output;
    int m_outputStart = 0;
    bool m_endOfInput = false;
};

// The shared connection to one upstream endpoint. Ids count up from 0 per connection;
// messages sent while it connects wait and go out in order once it is up. When the
// connection fails or closes, every query still waiting on it is told (transport_error):
// the last error has code 1 and the socket's text, and is retryable when the connection
// had been working (a resolver closing an idle or overloaded connection is not a failure
// of the queries on it). The transport then deletes itself.
class TcpClientTransport : public TcpTransport
{
    Q_OBJECT

public:
    TcpClientTransport(const Endpoint &upstream, ServersManager *manager, QObject *parent = nullptr);

    const Endpoint &upstream() const { return m_upstream; }
    void release() override;
    bool send(Packet &packet) override;
    void close() override;

public slots:
    void socket_connected();

private slots:
    void socket_readyRead();
    void socket_failed();

private:
    void abortConnection() override;
    bool framedWrite(const Packet &packet);

    QTcpSocket *m_socket = nullptr;
    Endpoint m_upstream;
    QPointer<ServersManager> m_manager;
    quint16 m_counter = 0;
    QList<Packet> m_waiting;
    bool m_connected = false; // the connection was up at some point
    bool m_failed = false;
};

} // namespace DNS

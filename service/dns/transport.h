#pragma once

#include "datagramsocket.h"
#include "dnspacket.h"
#include "endpoint.h"

#include "error.h"

#include <QAbstractSocket>
#include <QList>
#include <QMultiHash>
#include <QObject>

class QSocketNotifier;

namespace DNS {

class IdGenerator;
class Query;

// Moves DNS messages over one connection or socket, towards a client of the proxy
// (server side) or towards the upstream resolver (client side).
//
// Every message received that passes the checks of Packet::isAcceptable() is appended to
// the received queue; the queries waiting on this transport (addWaiter) look at it first,
// the one it answers takes it, then readyRead() is emitted for whoever else reads the
// queue (the proxy on the server side). A message that nobody took by then is discarded
// and counted, so an answer that matches nothing can never hold up later ones.
class Transport : public QObject
{
    Q_OBJECT

public:
    ~Transport() override;

    quint16 lastId() const { return m_lastId; }
    const Error &lastError() const { return m_lastError; }
    // True when the last error ended a connection that had been working, so that a query
    // it failed may try once more on a fresh one.
    bool isLastErrorRetryable() const { return m_retryable; }

    bool hasReceived() const { return !m_received.isEmpty(); }
    // The oldest received message; only valid while hasReceived().
    const Packet &oldestReceived() const { return m_received.first(); }
    // Removes and returns the oldest received message (an empty Packet when none).
    Packet takeReceived();

    // A query that sent a message with id waits for its answer here; it is removed again
    // when it finishes or is destroyed.
    void addWaiter(quint16 id, Query *query);
    void removeWaiter(quint16 id, Query *query);
    int waiterCount() const { return m_waiters.size(); }

    // The query that used this transport is done with it.
    virtual void release();
    // Writes one message; a client-side transport first writes its own id into packet.
    virtual bool send(Packet &packet) = 0;

    // Messages discarded because no waiting query and no reader took them.
    static quint64 unclaimedDropCount();

signals:
    void readyRead();

public slots:
    // Socket errors end a query only through its time-out.
    void socket_error(QAbstractSocket::SocketError) {}

protected:
    explicit Transport(QObject *parent);

    void deliver(const Packet &packet);
    void setLastError(const Error &error, bool retryable = false)
    {
        m_lastError = error;
        m_retryable = retryable;
    }
    void setLastId(quint16 id) { m_lastId = id; }
    // Tells every waiting query of the last error (Query::transport_error()).
    void failWaiters();

private:
    quint16 m_lastId = 0;
    Error m_lastError;
    bool m_retryable = false;
    QList<Packet> m_received;
    QMultiHash<quint16, Query *> m_waiters;
};

// UDP: one datagram per message. Released transports delete themselves later.
class UdpTransport : public Transport
{
    Q_OBJECT

public:
    const Endpoint &peer() const { return m_peer; }
    void release() override;

protected:
    UdpTransport(const Endpoint &peer, QObject *parent);

    Endpoint m_peer;
};

// One upstream UDP query: a fresh socket connected to the resolver (a random source port
// per query), the next id of the generator written into the message.
class UdpClientTransport : public UdpTransport
{
    Q_OBJECT

public:
    UdpClientTransport(const Endpoint &upstream, IdGenerator *ids, QObject *parent = nullptr);

    bool send(Packet &packet) override;
    void release() override;

public slots:
    void socket_readyRead();

private:
    IdGenerator *m_ids;
    DatagramSocket m_socket;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace DNS

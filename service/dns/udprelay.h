#pragma once

#include "dnspacket.h"
#include "endpoint.h"

#include <QObject>
#include <QSharedPointer>
#include <QString>

#include <sys/socket.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;
class QTimer;

namespace DNS {

class IdGenerator;

// The UDP side of the proxy, built for the number of queries a whole machine makes.
//
// Each client query gets a fresh upstream socket connected to the resolver (the kernel
// picks a random source port, and the message a random id from the generator: both are
// what an off-path attacker would have to guess to forge an answer). The query's state is
// a plain slot in a table, not an object: the slot holds the socket, the client's address
// and id, and the query as sent, against which answers are matched (Packet::isResponseTo).
// All upstream sockets are watched through one epoll descriptor behind one notifier, so
// the cost of a turn of the event loop does not grow with the queries in flight; client
// datagrams are read and answers written in batches.
//
// What clients see is the proxy's contract: a query with QR set is answered REFUSED; one
// whose forwarding fails, SERVFAIL (with the token record when it was added); one that
// gets no answer in time, nothing. An answer goes back with nothing but the id changed.
// Malformed datagrams and answers that match no query are dropped and counted.
class UdpRelay : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(UdpRelay)

public:
    struct Counters
    {
        quint64 queries = 0;       // client queries taken in (forwarded or answered here)
        quint64 malformed = 0;     // client datagrams failing the message checks
        quint64 overLimit = 0;     // dropped: too many queries in flight
        quint64 unclaimed = 0;     // upstream datagrams that answered nothing
        quint64 timedOut = 0;      // queries that got no answer in time
    };

    // A query the proxy answers itself: true with *reply filled, false to forward it.
    using LocalAnswer = std::function<bool(const Packet &query, Packet *reply)>;

    explicit UdpRelay(QObject *parent = nullptr);
    ~UdpRelay() override;

    struct Setup
    {
        Endpoint upstream;
        unsigned short timeoutSeconds = 10;
        // Queries in flight at most, counted in inFlight (shared with the TCP side).
        int maxInFlight = 8192;
        QSharedPointer<int> inFlight;
        IdGenerator *ids = nullptr;
        std::function<quint32()> token;
        LocalAnswer localAnswer;
    };

    // Binds the client socket to local; false with *error set when it cannot.
    bool start(const Endpoint &local, const Setup &setup, QString *error);
    // Closes the client socket and every upstream socket; queries in flight are dropped.
    void stop();
    bool isRunning() const;
    // Bytes; false when the kernel refuses.
    bool setReceiveBufferSize(int bytes);

    int inFlight() const { return m_active; }
    const Counters &counters() const { return m_counters; }

private:
    // A client's socket address as the kernel gave it.
    struct Client
    {
        sockaddr_storage address;
        socklen_t length;
    };
    struct Slot;
    struct Deadline
    {
        qint64 at; // milliseconds of the steady clock
        quint32 slot;
        quint32 generation;
    };
    struct Batch;

    void readClients();
    void readUpstream();
    void expire();
    void takeQuery(const char *data, int size, const Client &client);
    void forward(Packet &query, const Client &client);
    void reply(const Client &client, const QByteArray &message);
    void replyWithCode(Packet query, quint16 clientId, quint8 rcode, const Client &client);
    void flushReplies();
    void answerSlot(quint32 index);
    void release(quint32 index);
    bool acquire(quint32 *index);
    void armExpiry();

    Setup m_setup;
    int m_clientFd = -1;
    int m_epollFd = -1;
    QSocketNotifier *m_clientNotifier = nullptr;
    QSocketNotifier *m_upstreamNotifier = nullptr;
    QTimer *m_expiry = nullptr;
    std::vector<Slot> m_slots;
    std::vector<quint32> m_free;
    std::deque<Deadline> m_deadlines;
    std::unique_ptr<Batch> m_batch;
    int m_active = 0;
    Counters m_counters;
};

} // namespace DNS

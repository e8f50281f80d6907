#include "transport.h"

#include "dnsquery.h"
#include "idgenerator.h"
#include "ratelimitedwarning.h"

#include <QPointer>
#include <QSocketNotifier>

namespace DNS {

namespace {

RateLimitedWarning &unclaimedWarning()
{
    static RateLimitedWarning warning(QStringLiteral("Dropped a DNS message that no waiting query took"));
    return warning;
}

// Datagrams read per notification before the event loop gets a turn.
constexpr int DatagramBatch = 16;

} // namespace

Transport::Transport(QObject *parent)
    : QObject(parent)
{
}

Transport::~Transport() = default;

Packet Transport::takeReceived()
{
    return m_received.isEmpty() ? Packet() : m_received.takeFirst();
}

void Transport::addWaiter(quint16 id, Query *query)
{
    m_waiters.insert(id, query);
}

void Transport::removeWaiter(quint16 id, Query *query)
{
    m_waiters.remove(id, query);
}

void Transport::release() {}

quint64 Transport::unclaimedDropCount()
{
    return unclaimedWarning().total();
}

void Transport::deliver(const Packet &packet)
{
    QPointer<Transport> guard(this);
    m_received.append(packet);
    const int before = m_received.size();
    // A query leaves m_waiters when it finishes or is destroyed, so each candidate is
    // looked up again before it is called: no guarded pointer needed per query.
    const QList<Query *> candidates = m_waiters.values(packet.id());
    for (Query *query : candidates) {
        if (!m_waiters.contains(packet.id(), query))
            continue;
        query->transport_readyRead();
        if (!guard)
            return;
        if (m_received.size() < before)
            return;
    }
    emit readyRead();
    if (!guard)
        return;
    if (m_received.size() >= before) {
        m_received.removeLast();
        unclaimedWarning().warn();
    }
}

void Transport::failWaiters()
{
    QPointer<Transport> guard(this);
    const QMultiHash<quint16, Query *> all = m_waiters;
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        if (!guard)
            return;
        if (m_waiters.contains(it.key(), it.value()))
            it.value()->transport_error();
    }
}

UdpTransport::UdpTransport(const Endpoint &peer, QObject *parent)
    : Transport(parent)
    , m_peer(peer)
{
}

void UdpTransport::release()
{
    deleteLater();
}

// The socket goes at once: under load its descriptor is wanted back before the event loop
// gets round to deleting the object.
void UdpClientTransport::release()
{
    delete m_notifier;
    m_notifier = nullptr;
    m_socket.close();
    UdpTransport::release();
}

UdpClientTransport::UdpClientTransport(const Endpoint &upstream, IdGenerator *ids, QObject *parent)
    : UdpTransport(upstream, parent)
    , m_ids(ids)
{
}

bool UdpClientTransport::send(Packet &packet)
{
    const quint16 id = m_ids ? m_ids->next() : 0;
    packet.setId(id);
    setLastId(id);
    delete m_notifier;
    m_notifier = nullptr;
    if (!m_socket.connectTo(m_peer)) {
        setLastError(Error(1, m_socket.errorString()));
        return false;
    }
    m_notifier = new QSocketNotifier(m_socket.descriptor(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UdpClientTransport::socket_readyRead);
    if (m_socket.send(packet.bytes()) < 0) {
        setLastError(Error(1, m_socket.errorString()));
        return false;
    }
    return true;
}

// Reading also clears a pending ICMP error (connection refused) without acting on it:
// an unreachable resolver ends the query through its time-out.
void UdpClientTransport::socket_readyRead()
{
    QPointer<UdpClientTransport> guard(this);
    QByteArray datagram;
    // Once its query has its answer nobody waits here: no read to find the socket empty,
    // and no more notifications for whatever still arrives.
    for (int i = 0; i < DatagramBatch && waiterCount() > 0 && m_socket.receive(&datagram, nullptr); ++i) {
        const Packet packet(datagram);
        if (!packet.isAcceptable())
            continue;
        deliver(packet);
        if (!guard)
            return;
    }
    if (waiterCount() == 0 && m_notifier)
        m_notifier->setEnabled(false);
}

} // namespace DNS

#include "dnsproxy.h"

#include "descriptorlimit.h"
#include "localanswers.h"
#include "ratelimitedwarning.h"
#include "serversmanager.h"
#include "tcptransport.h"
#include "tcptransportmanager.h"
#include "udprelay.h"

#include <QDebug>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>

#include <unistd.h>

using namespace DNS;

namespace {

// Room for the queries of a whole machine's burst while the loop answers others: 128 KiB
// (what was asked of this socket once) holds only about a hundred datagrams, which a burst
// of a few milliseconds overflows.
constexpr int ReceiveBufferSize = 4 * 1024 * 1024;
// Descriptors kept free for everything that is not an upstream UDP query.
constexpr int DescriptorReserve = 256;

RateLimitedWarning &pendingWarning()
{
    static RateLimitedWarning warning(QStringLiteral("DNS proxy: too many queries in flight, dropped a query"));
    return warning;
}

RateLimitedWarning &clientQueriesWarning()
{
    static RateLimitedWarning warning(
        QStringLiteral("DNS proxy: too many queries in flight on one TCP connection, dropped a query"));
    return warning;
}

RateLimitedWarning &connectionsWarning()
{
    static RateLimitedWarning warning(QStringLiteral("DNS proxy: too many TCP connections, closed one"));
    return warning;
}

// Hands over each accepted connection as a bare descriptor: client connections are served
// by TcpServerTransport on its own socket (QTcpSocket cannot keep answering a client that
// shut down its sending side).
class DescriptorListener : public QTcpServer
{
public:
    explicit DescriptorListener(DNSProxy *proxy)
        : QTcpServer(proxy)
        , m_proxy(proxy)
    {
    }

protected:
    void incomingConnection(qintptr descriptor) override { m_proxy->acceptTcpConnection(int(descriptor)); }

private:
    DNSProxy *m_proxy;
};

} // namespace

DNSProxy::DNSProxy(DnsContext *context, QObject *parent, ServersManager *servers)
    : QObject(parent)
    , m_context(context)
    , m_servers(servers ? servers : ServersManager::instance())
    , m_udp(new UdpRelay(this))
    , m_tcp(new DescriptorListener(this))
    , m_clientIdle(new TcpTransportManager(120000, this))
    , m_alive(QSharedPointer<int>::create(0))
{
}

DNSProxy::~DNSProxy()
{
    stop();
}

bool DNSProxy::isRunning() const
{
    return m_udp->isRunning();
}

int DNSProxy::tcpClientCount() const
{
    return m_clientIdle->size();
}

void DNSProxy::applyDescriptorLimit()
{
    const int wanted = m_limits.maxPendingQueries + m_limits.maxTcpClients + DescriptorReserve;
    const int available = raiseDescriptorLimit(wanted);
    if (available < wanted) {
        const int fitting = qMax(64, available - m_limits.maxTcpClients - DescriptorReserve);
        qWarning("DNS proxy: descriptor limit %d allows %d upstream queries in flight instead of %d",
                 available, fitting, m_limits.maxPendingQueries);
        m_limits.maxPendingQueries = fitting;
    }
}

bool DNSProxy::start()
{
    if (isRunning())
        return true;
    m_limits = m_context->limits();
    const Endpoint local = m_context->localEndpoint();

    applyDescriptorLimit();
    UdpRelay::Setup udp;
    udp.upstream = m_context->upstreamEndpoint();
    udp.timeoutSeconds = m_limits.udpTimeout;
    udp.maxInFlight = m_limits.maxPendingQueries;
    udp.inFlight = m_alive;
    udp.ids = m_servers ? m_servers->idGenerator() : nullptr;
    udp.token = [context = m_context] { return context->token(); };
    udp.localAnswer = [](const Packet &query, Packet *reply) { return LocalAnswers::instance()->answer(query, reply); };
    QString error;
    if (!m_udp->start(local, udp, &error)) {
        m_lastError = QStringLiteral("Failed to start DNS proxy on udp://%1:%2: %3")
                          .arg(local.address.toString())
                          .arg(local.port)
                          .arg(error);
        qWarning().noquote() << m_lastError;
        return false;
    }
    m_udp->setReceiveBufferSize(ReceiveBufferSize);
    if (!m_tcp->listen(local.address, local.port)) {
        m_lastError = QStringLiteral("Failed to start DNS proxy on tcp://%1:%2: %3")
                          .arg(local.address.toString())
                          .arg(local.port)
                          .arg(m_tcp->errorString());
        qWarning().noquote() << m_lastError;
        m_udp->stop();
        return false;
    }
    m_clientIdle->setIdleLimit(m_limits.tcpClientIdleMs);
    if (m_servers)
        m_servers->setTcpIdleLimit(m_limits.upstreamTcpIdleMs);
    m_lastError.clear();
    emit stateChanged();
    return true;
}

void DNSProxy::stop()
{
    if (!isRunning())
        return;
    // The client connections; requests still waiting upstream hold guarded pointers.
    const QList<TcpServerTransport *> clients = findChildren<TcpServerTransport *>();
    for (TcpServerTransport *client : clients)
        client->shutDown();
    m_udp->stop();
    m_tcp->close();
    if (m_servers)
        m_servers->closeAll();
    emit stateChanged();
}

DnsProxyRequest::Setup DNSProxy::setup(unsigned short timeout) const
{
    DnsProxyRequest::Setup s;
    s.upstream = m_context->upstreamEndpoint();
    s.token = m_context->token();
    s.timeout = timeout;
    s.servers = m_servers;
    s.alive = m_alive;
    s.clientIdle = m_clientIdle;
    return s;
}

bool DNSProxy::underPendingLimit()
{
    if (*m_alive < m_limits.maxPendingQueries)
        return true;
    ++m_counters.overPendingLimit;
    pendingWarning().warn();
    return false;
}

DNSProxy::Counters DNSProxy::counters() const
{
    Counters counters = m_counters;
    const UdpRelay::Counters &udp = m_udp->counters();
    counters.udpQueries = udp.queries;
    counters.malformed = udp.malformed;
    counters.overPendingLimit += udp.overLimit;
    return counters;
}

void DNSProxy::acceptTcpConnection(int descriptor)
{
    if (m_clientIdle->size() >= m_limits.maxTcpClients) {
        TcpTransport *idle = m_clientIdle->longestIdleUnused();
        connectionsWarning().warn();
        if (!idle) {
            ++m_counters.refusedConnections;
            ::close(descriptor);
            return;
        }
        // Out of the count at once: a burst of connections in one turn of the event loop
        // must not pick the same dying connection again and again.
        ++m_counters.evictedConnections;
        m_clientIdle->forget(idle);
        idle->shutDown();
    }
    auto *transport = new TcpServerTransport(descriptor, this);
    transport->setWriteBacklogLimit(m_limits.maxTcpWriteBacklog);
    m_clientIdle->watch(transport);
    connect(transport, &Transport::readyRead, this, &DNSProxy::tcpReadyRead);
    connect(transport, &TcpTransport::disconnected, this, [this, transport] {
        m_clientIdle->forget(transport);
        transport->deleteLater();
    });
    transport->readPending();
}

void DNSProxy::tcpReadyRead()
{
    auto *transport = qobject_cast<TcpServerTransport *>(sender());
    if (!transport || !transport->hasReceived())
        return;
    if (m_clientIdle->useCount(transport) >= m_limits.maxQueriesPerTcpClient) {
        ++m_counters.overClientLimit;
        clientQueriesWarning().warn();
        transport->takeReceived();
        return;
    }
    if (!underPendingLimit()) {
        transport->takeReceived();
        return;
    }
    ++m_counters.tcpQueries;
    new DnsProxyRequest(Query::Tcp, transport, setup(m_limits.tcpTimeout));
}

#pragma once

#include "dnscontext.h"
#include "dnsproxyrequest.h"

#include <QObject>
#include <QPointer>
#include <QSharedPointer>

class QSocketNotifier;
class QTcpServer;

namespace DNS {
class UdpRelay;
class ServersManager;
class TcpTransportManager;
} // namespace DNS

// The local DNS server of the service: accepts queries over UDP and TCP at the context's
// local endpoint, marks each with the identification token and relays it to the
// upstream resolver (DnsProxyRequest). It keeps no cache and never answers from local data.
//
// Bounded whatever clients do (ProxyLimits): upstream queries in flight, client TCP
// connections and the queries of each are capped, the excess dropped and counted with a
// rate-limited warning; idle or slow TCP clients are closed.
class DNSProxy : public QObject
{
    Q_OBJECT

public:
    // Counts since construction.
    struct Counters
    {
        quint64 udpQueries = 0;
        quint64 tcpQueries = 0;
        quint64 malformed = 0;        // UDP datagrams failing the message checks
        quint64 overPendingLimit = 0; // dropped: too many upstream queries in flight
        quint64 overClientLimit = 0;  // dropped: too many queries of one TCP client
        quint64 refusedConnections = 0;
        quint64 evictedConnections = 0;
    };

    // context must outlive the proxy. servers defaults to DNS::ServersManager::instance().
    explicit DNSProxy(DNS::DnsContext *context, QObject *parent = nullptr, DNS::ServersManager *servers = nullptr);
    ~DNSProxy() override;

    bool start();
    void stop();
    // True while the UDP socket is bound.
    bool isRunning() const;
    // Text of the last start failure; empty when none.
    QString lastError() const { return m_lastError; }

    Counters counters() const;
    // Requests alive (in flight upstream or answering).
    int pendingQueries() const { return *m_alive; }
    int tcpClientCount() const;
    // The limits in force since the last start().
    const DNS::ProxyLimits &limits() const { return m_limits; }

    // Takes over an accepted client connection (the listener calls it).
    void acceptTcpConnection(int descriptor);

signals:
    void stateChanged();

public slots:
    void tcpReadyRead();

private:
    DnsProxyRequest::Setup setup(unsigned short timeout) const;
    bool underPendingLimit();
    void applyDescriptorLimit();

    DNS::DnsContext *m_context;
    QPointer<DNS::ServersManager> m_servers;
    DNS::UdpRelay *m_udp;
    QTcpServer *m_tcp;
    DNS::TcpTransportManager *m_clientIdle;
    QString m_lastError;
    DNS::ProxyLimits m_limits;
    QSharedPointer<int> m_alive;
    Counters m_counters;
};

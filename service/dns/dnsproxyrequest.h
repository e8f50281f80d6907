#pragma once

#include "dnsquery.h"
#include "endpoint.h"

#include <QObject>
#include <QPointer>
#include <QSharedPointer>

namespace DNS {
class ServersManager;
class TcpTransportManager;
class Transport;
} // namespace DNS

// One client query relayed by the proxy: takes the oldest message of the client's
// transport, refuses it when it is itself a response, marks it with the token, forwards
// it upstream over the protocol it came on, and answers the client with the resolver's
// answer under the client's id, or with SERVFAIL when forwarding failed. A query that
// times out upstream is left unanswered: the client's own retry takes over.
//
// It has no parent and deletes itself (deleteLater) once it answered or its upstream query
// ended. The client transport is held through a guarded pointer: when the proxy stopped
// and deleted the connection meanwhile, the late answer is dropped.
class DnsProxyRequest : public QObject
{
    Q_OBJECT

public:
    // What the proxy hands every request.
    struct Setup
    {
        DNS::Endpoint upstream;
        quint32 token = 0;
        // Seconds; 0 for the query's defaults.
        unsigned short timeout = 0;
        DNS::ServersManager *servers = nullptr;
        // Requests alive, shared with the proxy that caps them.
        QSharedPointer<int> alive;
        // The proxy's idle manager of client TCP connections; a request counts as a use.
        QPointer<DNS::TcpTransportManager> clientIdle;
    };

    DnsProxyRequest(DNS::Query::Mode mode, DNS::Transport *transport, const Setup &setup);
    ~DnsProxyRequest() override;

    bool isReplied() const { return m_replied; }

private slots:
    void queryFinished();

private:
    void reply(quint8 rcode);
    void sendToClient(DNS::Packet &packet);

    bool m_replied = false;
    quint16 m_clientId = 0;
    DNS::Packet m_packet;
    // A child: lives as long as this request.
    DNS::Query *m_query = nullptr;
    // A UDP transport is this request's child; a TCP connection belongs to the proxy,
    // which may delete it any time (stop, idle), hence the guarded pointer.
    DNS::Transport *m_udpTransport = nullptr;
    QPointer<DNS::Transport> m_tcpTransport;
    Setup m_setup;
};

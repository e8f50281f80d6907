#include "dnsproxyrequest.h"

#include "localanswers.h"
#include "tcptransport.h"
#include "tcptransportmanager.h"
#include "transport.h"

using namespace DNS;

namespace {

// RFC 1035 4.1.1 RCODE values.
constexpr quint8 ServerFailure = 2;
constexpr quint8 Refused = 5;

} // namespace

DnsProxyRequest::DnsProxyRequest(Query::Mode mode, Transport *transport, const Setup &setup)
    : m_setup(setup)
{
    if (m_setup.alive)
        ++*m_setup.alive;
    if (mode == Query::Udp) {
        m_udpTransport = transport;
        transport->setParent(this);
    } else {
        m_tcpTransport = transport;
        if (m_setup.clientIdle)
            m_setup.clientIdle->touch(static_cast<TcpTransport *>(transport));
    }

    m_packet = transport->takeReceived();
    m_clientId = m_packet.id();
    if (m_packet.isResponse()) {
        reply(Refused);
        return;
    }
    Packet local;
    if (LocalAnswers::instance()->answer(m_packet, &local)) {
        m_replied = true;
        sendToClient(local);
        deleteLater();
        return;
    }
    m_query = new Query(this);
    connect(m_query, &Request::finished, this, &DnsProxyRequest::queryFinished);
    // Forwarding without the token would let the query bypass the account's filtering.
    if (m_setup.token != 0 && !m_packet.appendTokenRecord(m_setup.token)) {
        reply(ServerFailure);
        return;
    }
    if (!m_query->send(m_setup.upstream, m_packet, mode, m_setup.timeout, m_setup.servers))
        reply(ServerFailure);
}

DnsProxyRequest::~DnsProxyRequest()
{
    if (m_setup.alive)
        --*m_setup.alive;
    if (m_setup.clientIdle && m_tcpTransport)
        m_setup.clientIdle->release(static_cast<TcpTransport *>(m_tcpTransport.data()));
}

void DnsProxyRequest::queryFinished()
{
    if (m_replied)
        return;
    const Error &error = m_query->error();
    if (!error.isError()) {
        Packet answer = m_query->answer();
        answer.setId(m_clientId);
        sendToClient(answer);
        m_replied = true;
        deleteLater();
        return;
    }
    if (error.code() == 2) {
        deleteLater();
        return;
    }
    reply(ServerFailure);
}

// The working packet as it stands (with the token record when it was added), under the
// client's id, QR set and RCODE replaced; the rest of bytes 2 and 3 is kept.
void DnsProxyRequest::reply(quint8 rcode)
{
    if (m_replied)
        return;
    m_replied = true;
    Packet packet = m_packet;
    packet.setId(m_clientId);
    packet.setResponse(true);
    packet.setRcode(rcode);
    sendToClient(packet);
    deleteLater();
}

void DnsProxyRequest::sendToClient(Packet &packet)
{
    if (m_udpTransport)
        m_udpTransport->send(packet);
    else if (m_tcpTransport)
        m_tcpTransport->send(packet);
}

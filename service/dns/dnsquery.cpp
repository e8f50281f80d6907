#include "dnsquery.h"

#include "serversmanager.h"
#include "transport.h"

#include "requestmanager.h"

namespace DNS {

Query::Query(QObject *parent)
    : Request(parent)
{
    setAutoDelete(false);
}

Query::~Query()
{
    detachFromTransport();
    if (m_transport)
        m_transport->release();
}

bool Query::send(const Endpoint &upstream, const Packet &packet, Mode mode, unsigned short timeout,
                 ServersManager *manager)
{
    if (!manager)
        manager = ServersManager::instance();
    m_sent = packet;
    m_transport = manager->transportFor(upstream, mode == Udp);
    if (timeout == 0)
        timeout = mode == Udp ? 10 : 120;
    RequestManager::instance()->insert(this, timeout);
    const bool sent = m_transport->send(m_sent);
    if (!m_done && m_transport) {
        m_transport->addWaiter(m_sent.id(), this);
        m_waiting = true;
    }
    return sent;
}

void Query::transport_readyRead()
{
    if (m_done || !m_transport || !m_transport->hasReceived())
        return;
    if (!m_transport->oldestReceived().isResponseTo(m_sent))
        return;
    m_answer = m_transport->takeReceived();
    requestFinished(Error());
}

void Query::transport_error()
{
    if (m_done || !m_transport)
        return;
    requestFinished(m_transport->lastError());
}

void Query::requestFinished(const Error &error)
{
    if (m_done)
        return;
    m_done = true;
    detachFromTransport();
    Request::requestFinished(error);
}

void Query::detachFromTransport()
{
    if (m_waiting && m_transport)
        m_transport->removeWaiter(m_sent.id(), this);
    m_waiting = false;
}

} // namespace DNS

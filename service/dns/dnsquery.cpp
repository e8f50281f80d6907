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
    releaseTransport();
}

bool Query::send(const Endpoint &upstream, const Packet &packet, Mode mode, unsigned short timeout,
                 ServersManager *manager)
{
    if (!manager)
        manager = ServersManager::instance();
    m_sent = packet;
    m_upstream = upstream;
    m_manager = manager;
    m_mode = mode;
    if (timeout == 0)
        timeout = mode == Udp ? 10 : 120;
    RequestManager::instance()->insert(this, timeout);
    return sendOn(manager->transportFor(upstream, mode == Udp));
}

bool Query::sendOn(Transport *transport)
{
    m_transport = transport;
    const bool sent = transport->send(m_sent);
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
    const Error error = m_transport->lastError();
    if (m_transport->isLastErrorRetryable() && !m_retried && m_mode == Tcp && m_manager) {
        m_retried = true;
        releaseTransport();
        if (sendOn(m_manager->transportFor(m_upstream, false)) || m_done)
            return;
        const bool known = m_transport && m_transport->lastError().isError();
        requestFinished(known ? m_transport->lastError() : error);
        return;
    }
    requestFinished(error);
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

void Query::releaseTransport()
{
    detachFromTransport();
    if (m_transport)
        m_transport->release();
    m_transport = nullptr;
}

} // namespace DNS

#include "tcptransportmanager.h"

#include "tcptransport.h"

namespace DNS {

TcpTransportManager::TcpTransportManager(int idleLimit, QObject *parent)
    : QObject(parent)
    , m_idleLimit(idleLimit)
{
    m_timer.setInterval(idleLimit);
    connect(&m_timer, &QTimer::timeout, this, &TcpTransportManager::killInactiveTransport);
}

void TcpTransportManager::setIdleLimit(int milliseconds)
{
    m_idleLimit = milliseconds;
    m_timer.setInterval(milliseconds);
}

void TcpTransportManager::watch(TcpTransport *transport)
{
    if (m_transports.contains(transport))
        return;
    connect(transport, &QObject::destroyed, this, &TcpTransportManager::transportDestroyed);
    m_transports.insert(transport, transport);
    if (!m_timer.isActive())
        m_timer.start();
}

void TcpTransportManager::forget(TcpTransport *transport)
{
    if (m_transports.remove(transport) == 0)
        return;
    disconnect(transport, nullptr, this, nullptr);
    if (m_transports.isEmpty())
        m_timer.stop();
}

void TcpTransportManager::touch(TcpTransport *transport)
{
    watch(transport);
    transport->addUse();
}

void TcpTransportManager::release(TcpTransport *transport)
{
    if (m_transports.contains(transport))
        transport->dropUse();
}

int TcpTransportManager::useCount(TcpTransport *transport) const
{
    return m_transports.contains(transport) ? transport->useCount() : 0;
}

TcpTransport *TcpTransportManager::longestIdleUnused() const
{
    TcpTransport *found = nullptr;
    for (TcpTransport *transport : m_transports) {
        if (transport->useCount() == 0 && (!found || transport->idleTime() > found->idleTime()))
            found = transport;
    }
    return found;
}

void TcpTransportManager::killInactiveTransport()
{
    QList<TcpTransport *> inactive;
    for (TcpTransport *transport : qAsConst(m_transports)) {
        if (transport->useCount() == 0 && transport->idleTime() >= m_idleLimit)
            inactive.append(transport);
    }
    // Closing tells the transport's owner, who may forget or delete others meanwhile.
    for (TcpTransport *transport : qAsConst(inactive)) {
        if (!m_transports.contains(transport))
            continue;
        forget(transport);
        transport->close();
        transport->deleteLater();
    }
    if (m_transports.isEmpty())
        m_timer.stop();
}

void TcpTransportManager::transportDestroyed(QObject *object)
{
    m_transports.remove(object);
    if (m_transports.isEmpty())
        m_timer.stop();
}

} // namespace DNS

#include "tcptransportmanager.h"

#include "tcptransport.h"

#include <QTcpSocket>

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
    if (m_counts.contains(transport))
        return;
    connect(transport, &QObject::destroyed, this, &TcpTransportManager::transportDestroyed);
    m_counts.insert(transport, Entry{transport, 0});
    if (!m_timer.isActive())
        m_timer.start();
}

void TcpTransportManager::touch(TcpTransport *transport)
{
    watch(transport);
    ++m_counts[transport].count;
}

void TcpTransportManager::release(TcpTransport *transport)
{
    auto it = m_counts.find(transport);
    if (it != m_counts.end() && it->count > 0)
        --it->count;
}

int TcpTransportManager::useCount(TcpTransport *transport) const
{
    return m_counts.value(transport, Entry{nullptr, 0}).count;
}

TcpTransport *TcpTransportManager::longestIdleUnused() const
{
    TcpTransport *found = nullptr;
    for (const Entry &entry : m_counts) {
        if (entry.count == 0 && (!found || entry.transport->idleTime() > found->idleTime()))
            found = entry.transport;
    }
    return found;
}

void TcpTransportManager::killInactiveTransport()
{
    for (auto it = m_counts.begin(); it != m_counts.end();) {
        TcpTransport *transport = it->transport;
        if (it->count == 0 && transport->idleTime() >= m_idleLimit) {
            disconnect(transport, nullptr, this, nullptr);
            if (transport->socket())
                transport->socket()->abort();
            transport->deleteLater();
            it = m_counts.erase(it);
        } else {
            ++it;
        }
    }
    if (m_counts.isEmpty())
        m_timer.stop();
}

void TcpTransportManager::transportDestroyed(QObject *object)
{
    m_counts.remove(object);
    if (m_counts.isEmpty())
        m_timer.stop();
}

} // namespace DNS

#include "serversmanager.h"

#include "tcptransport.h"
#include "tcptransportmanager.h"

#include <QCoreApplication>

namespace DNS {

ServersManager *ServersManager::s_instance = nullptr;

ServersManager *ServersManager::instance()
{
    if (!s_instance)
        s_instance = new ServersManager(QCoreApplication::instance());
    return s_instance;
}

ServersManager::ServersManager(QObject *parent)
    : QObject(parent)
    , m_tcpManager(new TcpTransportManager(120000, this))
{
}

ServersManager::~ServersManager()
{
    if (s_instance == this)
        s_instance = nullptr;
}

Transport *ServersManager::transportFor(const Endpoint &endpoint, bool udp)
{
    if (udp)
        return new UdpClientTransport(endpoint, &m_ids, this);
    TcpClientTransport *transport = m_tcp.value(endpoint);
    if (!transport) {
        transport = new TcpClientTransport(endpoint, this, this);
        m_tcp.insert(endpoint, transport);
        connect(transport, &TcpTransport::disconnected, this, &ServersManager::tcpTransportDisconnected);
        connect(transport, &QObject::destroyed, this, &ServersManager::tcpTransportDestroyed);
    }
    m_tcpManager->touch(transport);
    return transport;
}

void ServersManager::release(TcpClientTransport *transport)
{
    m_tcpManager->release(transport);
}

void ServersManager::closeAll()
{
    const QList<TcpClientTransport *> transports = m_tcp.values();
    m_tcp.clear();
    // Deletion waits for the event loop: closeAll() may run inside a socket's own signal.
    for (TcpClientTransport *transport : transports)
        transport->shutDown();
}

void ServersManager::setTcpIdleLimit(int milliseconds)
{
    m_tcpManager->setIdleLimit(milliseconds);
}

void ServersManager::tcpTransportDisconnected()
{
    auto *transport = static_cast<TcpClientTransport *>(sender());
    for (auto it = m_tcp.begin(); it != m_tcp.end(); ++it) {
        if (it.value() == transport) {
            m_tcp.erase(it);
            return;
        }
    }
}

void ServersManager::tcpTransportDestroyed(QObject *object)
{
    for (auto it = m_tcp.begin(); it != m_tcp.end(); ++it) {
        if (it.value() == object) {
            m_tcp.erase(it);
            return;
        }
    }
}

} // namespace DNS

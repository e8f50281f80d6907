#pragma once

#include "endpoint.h"
#include "idgenerator.h"

#include <QHash>
#include <QObject>

namespace DNS {

class TcpClientTransport;
class TcpTransportManager;
class Transport;

// Owns the upstream side: a fresh UDP transport per query, one cached TCP connection per
// upstream endpoint (closed when idle), and the message id generator of UDP queries.
//
// One per process (instance(), a child of the application object); tests may make their
// own. Transports it hands out are its children.
class ServersManager : public QObject
{
    Q_OBJECT

public:
    static ServersManager *instance();

    explicit ServersManager(QObject *parent = nullptr);
    ~ServersManager() override;

    // UDP: always a new transport. TCP: the cached connection of the endpoint or a new
    // one. Either way it counts one use in the idle manager (TCP).
    Transport *transportFor(const Endpoint &endpoint, bool udp);
    // A query is done with a TCP transport.
    void release(TcpClientTransport *transport);
    // Deletes every cached TCP connection.
    void closeAll();

    quint16 nextId() { return m_ids.next(); }
    IdGenerator *idGenerator() { return &m_ids; }
    TcpTransportManager *tcpManager() const { return m_tcpManager; }
    // Milliseconds; 120000 by default.
    void setTcpIdleLimit(int milliseconds);
    int tcpConnectionCount() const { return m_tcp.size(); }

private slots:
    void tcpTransportDisconnected();
    void tcpTransportDestroyed(QObject *object);

private:
    static ServersManager *s_instance;

    QHash<Endpoint, TcpClientTransport *> m_tcp;
    TcpTransportManager *m_tcpManager;
    IdGenerator m_ids;
};

} // namespace DNS

#pragma once

#include <QObject>
#include <QString>

class QTcpServer;

namespace DNS {
class DnsContext;
}

class HttpServerRequest;

// Bounds of the block page server (see README: CORVANE_BLOCKPAGE_*).
struct BlockPageLimits
{
    // Connections open at once; further ones are closed at once, counted and warned about.
    int maxConnections = 64;
    // Milliseconds a connection may take from accept to its answer being written.
    int requestTimeoutMs = 10000;

    // The defaults with CORVANE_BLOCKPAGE_MAX_CONNECTIONS and CORVANE_BLOCKPAGE_TIMEOUT_MS
    // applied (positive numbers only).
    static BlockPageLimits fromEnvironment();
};

// The block page redirector on 127.0.0.1: turns a request that names the block page host
// and the blocked site into a 303 redirect carrying the computer's token, so that the
// block page shown belongs to the right account. It serves nothing else.
class HttpServer : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 13107;
    // DefaultPort, or CORVANE_BLOCKPAGE_PORT when that holds a port number.
    static quint16 defaultPort();

    // context (for the token) must outlive the server.
    explicit HttpServer(DNS::DnsContext *context, QObject *parent = nullptr, quint16 port = defaultPort());
    ~HttpServer() override;

    // Listens; true even when that fails (lastError() then says why): the rest of the
    // protection does not depend on the block page.
    bool start();
    void close();
    bool isListening() const;
    QString lastError() const { return m_lastError; }
    quint16 port() const { return m_port; }

    void setLimits(const BlockPageLimits &limits) { m_limits = limits; }
    const BlockPageLimits &limits() const { return m_limits; }
    int connectionCount() const { return m_connections; }
    quint64 refusedConnections() const { return m_refused; }

private slots:
    void socket_newConnection();
    void requestReady();
    void badRequest();

private:
    QTcpServer *m_server;
    DNS::DnsContext *m_context;
    quint16 m_port;
    QString m_lastError;
    BlockPageLimits m_limits;
    int m_connections = 0;
    quint64 m_refused = 0;
};

#include "httpserver.h"

#include "blockpageresponse.h"
#include "dnscontext.h"
#include "httpserverrequest.h"
#include "ratelimitedwarning.h"

#include <QDateTime>
#include <QDebug>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

RateLimitedWarning &connectionsWarning()
{
    static RateLimitedWarning warning(QStringLiteral("Block page server: too many connections, closed one"));
    return warning;
}

} // namespace

BlockPageLimits BlockPageLimits::fromEnvironment()
{
    BlockPageLimits limits;
    limits.maxConnections = DNS::environmentNumber("CORVANE_BLOCKPAGE_MAX_CONNECTIONS", limits.maxConnections);
    limits.requestTimeoutMs = DNS::environmentNumber("CORVANE_BLOCKPAGE_TIMEOUT_MS", limits.requestTimeoutMs);
    return limits;
}

quint16 HttpServer::defaultPort()
{
    const int port = DNS::environmentNumber("CORVANE_BLOCKPAGE_PORT", DefaultPort);
    return port <= 0xFFFF ? quint16(port) : DefaultPort;
}

HttpServer::HttpServer(DNS::DnsContext *context, QObject *parent, quint16 port)
    : QObject(parent)
    , m_server(new QTcpServer(this))
    , m_context(context)
    , m_port(port)
    , m_limits(BlockPageLimits::fromEnvironment())
{
    connect(m_server, &QTcpServer::newConnection, this, &HttpServer::socket_newConnection);
}

HttpServer::~HttpServer() = default;

bool HttpServer::start()
{
    if (m_server->isListening())
        return true;
    const QHostAddress address(QHostAddress::LocalHost);
    if (!m_server->listen(address, m_port)) {
        m_lastError = QStringLiteral("Failed to listen on %1:%2 : %3")
                          .arg(address.toString())
                          .arg(m_port)
                          .arg(m_server->errorString());
        qWarning().noquote() << m_lastError;
    }
    return true;
}

void HttpServer::close()
{
    m_server->close();
}

bool HttpServer::isListening() const
{
    return m_server->isListening();
}

void HttpServer::socket_newConnection()
{
    while (m_server->hasPendingConnections()) {
        QTcpSocket *socket = m_server->nextPendingConnection();
        if (m_connections >= m_limits.maxConnections) {
            ++m_refused;
            connectionsWarning().warn();
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *request = new HttpServerRequest(socket, m_limits.requestTimeoutMs, this);
        ++m_connections;
        connect(request, &HttpServerRequest::requestReady, this, &HttpServer::requestReady);
        connect(request, &HttpServerRequest::badRequest, this, &HttpServer::badRequest);
        connect(request, &HttpServerRequest::finished, this, [this] { --m_connections; });
        connect(request, &HttpServerRequest::finished, request, &QObject::deleteLater);
        request->start();
    }
}

void HttpServer::requestReady()
{
    auto *request = qobject_cast<HttpServerRequest *>(sender());
    if (!request)
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (!BlockPage::isValidVersion(request->version())) {
        request->respond(BlockPage::badRequest(request->version(), now));
        return;
    }
    request->respond(BlockPage::answer(request->target(), request->version(), m_context->token(), now,
                                       m_context->blockPageHosts()));
}

void HttpServer::badRequest()
{
    auto *request = qobject_cast<HttpServerRequest *>(sender());
    if (request)
        request->respond(BlockPage::badRequest(request->version(), QDateTime::currentDateTimeUtc()));
}

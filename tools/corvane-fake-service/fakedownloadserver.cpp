#include "fakedownloadserver.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr int MaximumRequestBytes = 16 * 1024;

} // namespace

FakeDownloadServer::FakeDownloadServer(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { socket_readyRead(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

FakeDownloadServer::~FakeDownloadServer() = default;

bool FakeDownloadServer::start()
{
    return m_server->listen(QHostAddress::LocalHost, 0);
}

QUrl FakeDownloadServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server->serverPort()).arg(path));
}

void FakeDownloadServer::socket_readyRead(QTcpSocket *socket)
{
    // The whole head first; the body of a GET is empty.
    const QByteArray head = socket->peek(MaximumRequestBytes);
    if (!head.contains("\r\n\r\n")) {
        if (head.size() >= MaximumRequestBytes)
            socket->abort();
        return;
    }
    socket->readAll();
    const QList<QByteArray> lines = head.left(head.indexOf("\r\n\r\n")).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request request;
    request.path = QString::fromLatin1(requestLine.value(1));
    for (const QByteArray &line : lines) {
        if (line.toLower().startsWith("user-agent:"))
            request.userAgent = line.mid(11).trimmed();
    }
    requests << request;
    Q_EMIT requested(request.path);

    const auto file = files.constFind(request.path);
    QByteArray answer;
    if (requestLine.value(0) != "GET" || file == files.constEnd()) {
        answer = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    } else {
        answer = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n";
        if (sendContentLength)
            answer += "Content-Length: " + QByteArray::number(file->size()) + "\r\n";
        answer += extraHeaders.value(request.path);
        answer += "\r\n" + *file;
    }
    socket->write(answer);
    socket->disconnectFromHost();
}

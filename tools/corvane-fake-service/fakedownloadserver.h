#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

// A stand-in for the update location on plain HTTP over loopback: answers GET <path> with
// the bytes given for it (404 for any other path) and closes the connection. It can leave
// out Content-Length, as a server that streams its answer does. Requests are recorded with
// their User-Agent.
class FakeDownloadServer : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(FakeDownloadServer)

public:
    explicit FakeDownloadServer(QObject *parent = nullptr);
    ~FakeDownloadServer() override;

    // On 127.0.0.1 and a free port.
    bool start();
    // "http://127.0.0.1:<port>" followed by the path.
    QUrl url(const QString &path = QString()) const;

    QHash<QString, QByteArray> files;
    QHash<QString, QByteArray> extraHeaders; // per path, e.g. "Content-Disposition: ...\r\n"
    bool sendContentLength = true;

    struct Request
    {
        QString path;
        QByteArray userAgent;
    };
    QList<Request> requests;

Q_SIGNALS:
    void requested(const QString &path);

private:
    void socket_readyRead(QTcpSocket *socket);

    QTcpServer *m_server;
};

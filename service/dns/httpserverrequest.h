#pragma once

#include "httprequestparser.h"

#include <QObject>
#include <QTimer>

class QTcpSocket;

// One connection to the block page server: reads the request head, lets the server answer
// it once, and finishes when the whole answer was written (counted across write
// notifications), when the client disconnects, or when the deadline passes (a client that
// sends its head too slowly or never reads the answer). finished() is emitted exactly once;
// the server then deletes the request, which closes the connection.
class HttpServerRequest : public QObject
{
    Q_OBJECT

public:
    // Adopts socket. deadline in milliseconds from now.
    HttpServerRequest(QTcpSocket *socket, int deadline, QObject *parent = nullptr);
    ~HttpServerRequest() override;

    const QString &target() const { return m_parser.target(); }
    const QString &version() const { return m_parser.version(); }
    const QString &host() const { return m_parser.host(); }

    // Writes the answer while the socket is connected (at most once); the request finishes
    // once all of it was written.
    void respond(const QByteArray &answer);
    bool isAnswered() const { return m_answered; }

    // Reads whatever the socket already holds (bytes that came with the connection).
    void start();

signals:
    void requestReady();
    void finished();
    void badRequest();

public slots:
    void socket_readyRead();
    void socket_bytesWritten(qint64 bytes);

private:
    void finish();

    qint64 m_expected = 0;
    qint64 m_written = 0;
    QTcpSocket *m_socket;
    HttpRequestParser m_parser;
    bool m_parsed = false;
    bool m_answered = false;
    bool m_finished = false;
    QTimer m_deadline;
};

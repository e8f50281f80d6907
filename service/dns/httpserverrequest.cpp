#include "httpserverrequest.h"

#include <QTcpSocket>

HttpServerRequest::HttpServerRequest(QTcpSocket *socket, int deadline, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
{
    socket->setParent(this);
    // Qt keeps no more than the parser can take; the rest stays in the kernel.
    socket->setReadBufferSize(HttpRequestParser::MaxHeaderBlock + 4);
    connect(socket, &QTcpSocket::readyRead, this, &HttpServerRequest::socket_readyRead);
    connect(socket, &QTcpSocket::bytesWritten, this, &HttpServerRequest::socket_bytesWritten);
    connect(socket, &QTcpSocket::disconnected, this, &HttpServerRequest::finish);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &HttpServerRequest::finish);
    m_deadline.start(deadline);
}

HttpServerRequest::~HttpServerRequest() = default;

void HttpServerRequest::start()
{
    if (m_socket->bytesAvailable() > 0)
        socket_readyRead();
}

void HttpServerRequest::socket_readyRead()
{
    while (!m_parsed && m_socket->bytesAvailable() > 0) {
        const QByteArray data = m_socket->read(qMax(1, m_parser.room()));
        if (data.isEmpty())
            return;
        switch (m_parser.feed(data)) {
        case HttpRequestParser::Reading:
            break;
        case HttpRequestParser::Ready:
            m_parsed = true;
            emit requestReady();
            return;
        case HttpRequestParser::Bad:
            m_parsed = true;
            emit badRequest();
            return;
        }
    }
    // Whatever follows the head is not ours to read.
    if (m_parsed)
        m_socket->readAll();
}

void HttpServerRequest::respond(const QByteArray &answer)
{
    if (m_answered || m_finished || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_answered = true;
    m_expected = answer.size();
    if (m_socket->write(answer) < 0)
        finish();
}

void HttpServerRequest::socket_bytesWritten(qint64 bytes)
{
    m_written += bytes;
    if (m_answered && m_written >= m_expected)
        finish();
}

void HttpServerRequest::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_deadline.stop();
    disconnect(m_socket, nullptr, this, nullptr);
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->disconnectFromHost();
    emit finished();
}

#include "ipcconnection.h"
#include "ipcconnection_p.h"

#include "error.h"

#include <QLocalSocket>
#include <QPointer>

Q_LOGGING_CATEGORY(lcIpcConnection, "corvane.ipc.connection")

namespace {
// Error code of a call that cannot be carried because the socket is not connected.
constexpr qint32 NotConnectedCode = 3;
} // namespace

IpcConnection::IpcConnection(QObject *parent)
    : QObject(parent)
    , d_ptr(new IpcConnectionPrivate)
{
    d_ptr->socket = new QLocalSocket(this);
    init();
}

IpcConnection::IpcConnection(QLocalSocket *socket, QObject *parent)
    : QObject(parent)
    , d_ptr(new IpcConnectionPrivate)
{
    d_ptr->socket = socket;
    socket->setParent(this);
    init();
}

// The socket, a child, outlives the private part by a moment and says it disconnected while
// it goes; nothing of this half-destroyed connection may react to that.
IpcConnection::~IpcConnection()
{
    disconnect(d_ptr->socket, nullptr, this, nullptr);
    // Nothing can answer the calls of a connection that is gone; without this they would
    // linger until their time-out.
    d_ptr->engine.dropAllOutgoing(::Error(NotConnectedCode));
}

void IpcConnection::init()
{
    Q_D(IpcConnection);
    d->engine.useGrouping(false);
    connect(d->socket, &QLocalSocket::readyRead, this, &IpcConnection::readJson);
    connect(d->socket, &QLocalSocket::disconnected, this, &IpcConnection::socket_disconnected);
    connect(&d->engine, &JsonRPC::outgoingResponseReady, this, &IpcConnection::sendResponse);
    connect(&d->engine, &JsonRPC::outgoingRequestReady, this, &IpcConnection::sendRequest);
}

JsonRPCCall *IpcConnection::call(const char *method, const QList<QVariant> &params)
{
    return d_func()->engine.call(method, params);
}

void IpcConnection::notify(const char *method, const QList<QVariant> &params)
{
    d_func()->engine.notify(method, params);
}

bool IpcConnection::setJsonRpcHandler(QObject *handler)
{
    if (!handler)
        return false;
    d_func()->engine.setRequestHandler(handler);
    return true;
}

void IpcConnection::setMaximumIncomingLength(qint32 bytes)
{
    d_func()->reader.setMaximumLength(bytes);
}

bool IpcConnection::isConnected() const
{
    return d_func()->socket->state() == QLocalSocket::ConnectedState;
}

bool IpcConnection::isUnconnected() const
{
    return d_func()->socket->state() == QLocalSocket::UnconnectedState;
}

QString IpcConnection::errorString() const
{
    return d_func()->socket->errorString();
}

QLocalSocket *IpcConnection::socket() const
{
    return d_func()->socket;
}

void IpcConnection::writeJson(const QString &text, bool response)
{
    const QByteArray frame = IpcFrame::encode(text.toUtf8(), response);
    if (frame.isEmpty()) {
        qCWarning(lcIpcConnection, "IPC message of %d characters exceeds the frame limit; not sent",
                  text.size());
        return;
    }
    // An answer that was deferred may be ready after the peer left; the socket's own
    // handling has already reported that.
    QLocalSocket *socket = d_func()->socket;
    if (!socket->isOpen())
        return;
    const qint64 backlog = socket->bytesToWrite();
    if (backlog > 0 && backlog + frame.size() > IpcFrame::MaximumWriteBacklog) {
        qCWarning(lcIpcConnection, "closing IPC connection: the peer left %lld bytes unread",
                  backlog);
        socket->abort();
        return;
    }
    socket->write(frame);
}

// Runs once per queued message (grouping is off), so a burst of calls may find the queue
// already drained by an earlier run.
void IpcConnection::sendRequest()
{
    Q_D(IpcConnection);
    if (!isConnected()) {
        // Calls already sent cannot be answered any more; queued ones wait for the next send
        // after the socket is connected again.
        d->engine.dropAllOutgoing(::Error(NotConnectedCode));
        return;
    }
    while (d->engine.hasPendingOutgoingRequest())
        writeJson(d->engine.serializeOutgoingRequest(nullptr), false);
}

void IpcConnection::sendResponse(const QString &response)
{
    writeJson(response, true);
}

void IpcConnection::readJson()
{
    // The engine calls the handler and finishes calls synchronously; their receivers may
    // delete this connection.
    QPointer<IpcConnection> self(this);
    while (self) {
        Q_D(IpcConnection);
        switch (d->reader.read(d->socket)) {
        case IpcFrameReader::NeedMore:
            return;
        case IpcFrameReader::Invalid:
            qCWarning(lcIpcConnection, "closing IPC connection: %s",
                      qPrintable(d->reader.errorString()));
            d->socket->abort();
            return;
        case IpcFrameReader::FrameReady: {
            const bool response = d->reader.isResponse();
            const QByteArray text = d->reader.takeText();
            if (response)
                d->engine.incomingResponse(text);
            else
                d->engine.incomingRequest(text);
            break;
        }
        }
    }
}

// Calls sent over a socket that went down will never be answered: fail them now rather
// than at their time-out or at the next send. A partial frame of the old stream must not
// be glued to the first bytes of the next connection of the same socket.
void IpcConnection::socket_disconnected()
{
    Q_D(IpcConnection);
    d->reader.reset();
    d->engine.dropAllOutgoing(::Error(NotConnectedCode));
}

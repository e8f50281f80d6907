#pragma once

#include "lodestar_export.h"

#include <QList>
#include <QObject>
#include <QVariant>

#include <memory>

class JsonRPCCall;
class QLocalSocket;
class IpcConnectionPrivate;

// JSON-RPC 2.0 over one local socket, in frames of IpcFrame (ipcframe.h). Both ends use it:
// the desktop client with a socket of its own that it connects to the service, the service
// with every socket its server accepts. Each end can call and notify the other and answer
// the other's calls.
//
// The connection owns its socket and deletes it with itself. It never emits connected(),
// disconnected() or error() on its own: the owner emits them from its handling of the
// socket's state. A frame the reader refuses (a length below 1 or above
// IpcFrame::MaximumLength) aborts the socket with a warning; that is all that happens, and
// the owner sees the socket disconnect.
//
// Calls that were sent and are still unanswered fail with code 3 as soon as the socket
// disconnects, at the next send while it is not connected, and when the connection is
// deleted (receivers of finished() then must not use the connection any more).
class LODESTAR_EXPORT IpcConnection : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(IpcConnection)

public:
    // Kinds of failure of the connection to the service, as the desktop client reports them.
    enum Error {
        NoError = 0,
        ServiceUnreachableError = 1, // the service cannot be reached
        ConnectionLostError = 2,     // the connection to the service was lost
    };
    Q_ENUM(Error)

    // Creates an unconnected socket of its own, to be connected by the owner.
    explicit IpcConnection(QObject *parent = nullptr);
    // Takes over an accepted socket and makes it a child of the connection.
    explicit IpcConnection(QLocalSocket *socket, QObject *parent = nullptr);
    ~IpcConnection() override;

    // Queues a call; it finishes with the answer, with code 2 after its time-out (30 s unless
    // set with Request::setTimeout), or with code 3 when the socket is found not connected
    // after it was sent. The call deletes itself after it finished.
    JsonRPCCall *call(const char *method, const QList<QVariant> &params = QList<QVariant>());
    // Queues a notification. While the socket is not connected it waits in the queue and goes
    // out with the next send after the socket is connected.
    void notify(const char *method, const QList<QVariant> &params = QList<QVariant>());

    // Installs the object whose own methods the peer may call (by name and parameter count).
    // False for a null handler.
    bool setJsonRpcHandler(QObject *handler);

    // Longest frame accepted from the peer (IpcFrame::MaximumLength unless set); a longer
    // one closes the connection.
    void setMaximumIncomingLength(qint32 bytes);

    bool isConnected() const;
    bool isUnconnected() const;
    QString errorString() const;

    QLocalSocket *socket() const;

    // Writes one frame with the text, kind 1 when it is a response, else 0. Write errors are
    // left to the socket's own error handling. A text too long for any reader
    // (IpcFrame::MaximumLength) is not written; a warning says so.
    void writeJson(const QString &text, bool response);

Q_SIGNALS:
    void connected();
    void disconnected();
    void error(IpcConnection::Error kind, const QString &description);

public Q_SLOTS:
    void readJson();
    void sendRequest();
    void sendResponse(const QString &response);

private Q_SLOTS:
    void socket_disconnected();

private:
    void init();

    Q_DECLARE_PRIVATE(IpcConnection)
    std::unique_ptr<IpcConnectionPrivate> d_ptr;
};

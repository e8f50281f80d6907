#pragma once

#include "ipcconnection.h"

#include <QLocalSocket>

// The desktop client's one connection to the service, on the socket Paths::ipcSocketPath().
//
// connectToService() makes the first attempt; after a failure reconnectToService() retries
// every ReconnectIntervalMs until the socket is connected. It reports connected() once per
// established connection; disconnected() followed by error(ConnectionLostError) when an
// established connection goes; error(ServiceUnreachableError) when an attempt fails. While
// the reconnect timer runs, failures of the attempts are silent. Error texts are always
// empty.
class RpcConnection : public IpcConnection
{
    Q_OBJECT
    Q_DISABLE_COPY(RpcConnection)

public:
    static constexpr int ReconnectIntervalMs = 5000;

    explicit RpcConnection(QObject *parent = nullptr);
    ~RpcConnection() override;

    // Where the connection goes; Paths::ipcSocketPath() unless set.
    QString socketPath() const;
    void setSocketPath(const QString &path);

    bool isReconnecting() const { return m_reconnectTimerId != 0; }

public Q_SLOTS:
    void connectToService();
    void reconnectToService();
    void socketConnected();
    void socketDisconnected();
    void socketError(QLocalSocket::LocalSocketError error);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void stopReconnectTimer();

    int m_reconnectTimerId = 0;
    QString m_socketPath;
};

#pragma once

#include "error.h"

#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QVariant>

class GuiConnector;

// The service's local socket server towards the desktop clients.
//
// Every accepted socket becomes a GuiConnector, a child of the server, kept in the list of
// live connections until its socket disconnects; it is then removed from the list and
// deleted through the event loop. newConnection() is emitted once per connector, after it
// joined the list. Closing the server stops accepting; existing connections stay.
//
// Every local user may connect, so connections are capped per user and in all (Limits);
// one more is closed at once and counted in a rate-limited warning. Root's connections are
// never refused.
class IpcServer : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(IpcServer)

public:
    // Code of the last error when the server cannot listen.
    static constexpr qint32 ListenErrorCode = 7;

    struct Limits
    {
        // A desktop session runs one tray application and now and then a command-line client.
        int connectionsPerUser = 8;
        int connections = 64;

        // The defaults with CORVANE_IPC_MAX_CONNECTIONS_PER_USER and
        // CORVANE_IPC_MAX_CONNECTIONS applied (positive numbers only).
        static Limits fromEnvironment();
    };

    explicit IpcServer(QObject *parent = nullptr);
    ~IpcServer() override;

    // Where start() listens; Paths::ipcSocketPath() unless set.
    QString socketPath() const;
    void setSocketPath(const QString &path);

    // Listens on the socket path with access for every local user. A socket file left by a
    // crashed run is replaced; a live server on the same name is left alone and makes
    // start fail. On failure the last error is code 7 with an empty message.
    bool start();
    bool close();
    bool isListening() const;
    ::Error lastError() const;

    QList<GuiConnector *> connections() const;
    // Connections closed at once for being over a limit, since construction.
    quint64 refusedConnections() const { return m_refused; }

    // Sends the notification to every live connection except those in the list.
    void broadcast(const char *method, const QList<QVariant> &params,
                   const QList<GuiConnector *> &except = QList<GuiConnector *>());

Q_SIGNALS:
    void newConnection(GuiConnector *connection);

private Q_SLOTS:
    void processIncomming();
    void connectionClosed();

private:
    bool fail(const QString &reason);
    bool admits(const GuiConnector *connection) const;

    QLocalServer m_server;
    QList<GuiConnector *> m_connections; // in the order they connected
    ::Error m_lastError;
    QString m_socketPath;
    Limits m_limits;
    quint64 m_refused = 0;
};

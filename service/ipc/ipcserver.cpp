#include "ipcserver.h"

#include "guiconnector.h"
#include "localsocketname.h"
#include "paths.h"

#include <QLocalSocket>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcIpcServer, "corvane.ipc.server")

IpcServer::IpcServer(QObject *parent)
    : QObject(parent)
{
    // Receivers of newConnection() may be queued (or spied on in tests).
    qRegisterMetaType<GuiConnector *>();
    m_server.setSocketOptions(QLocalServer::WorldAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &IpcServer::processIncomming);
}

IpcServer::~IpcServer()
{
    // Connectors are children and go with the QObject base; they must not report back to
    // a list that is already gone.
    for (GuiConnector *connection : qAsConst(m_connections))
        disconnect(connection, nullptr, this, nullptr);
}

QString IpcServer::socketPath() const
{
    return m_socketPath.isEmpty() ? Paths::ipcSocketPath() : m_socketPath;
}

void IpcServer::setSocketPath(const QString &path)
{
    m_socketPath = path;
}

bool IpcServer::start()
{
    if (m_server.isListening())
        return true;
    const QString path = socketPath();

    const LocalSocketName::State state = LocalSocketName::probe(path);
    if (state == LocalSocketName::State::Live || state == LocalSocketName::State::NotASocket)
        return fail(LocalSocketName::describe(state));
    if (state == LocalSocketName::State::Stale) {
        if (!LocalSocketName::removeStale(path))
            return fail(QStringLiteral("cannot remove the stale socket"));
        qCInfo(lcIpcServer, "removed stale IPC socket %s", qPrintable(path));
    }

    if (!m_server.listen(path))
        return fail(m_server.errorString());
    if (!LocalSocketName::setWorldAccess(path))
        qCWarning(lcIpcServer, "cannot open IPC socket %s to every user", qPrintable(path));
    m_lastError = ::Error();
    return true;
}

bool IpcServer::close()
{
    m_server.close();
    return true;
}

bool IpcServer::isListening() const
{
    return m_server.isListening();
}

::Error IpcServer::lastError() const
{
    return m_lastError;
}

QList<GuiConnector *> IpcServer::connections() const
{
    return m_connections;
}

void IpcServer::broadcast(const char *method, const QList<QVariant> &params,
                          const QList<GuiConnector *> &except)
{
    // A copy: a connection may leave the list while the notification goes round.
    const QList<GuiConnector *> targets = m_connections;
    for (GuiConnector *connection : targets) {
        if (except.contains(connection) || !m_connections.contains(connection))
            continue;
        // Gone but not yet reported: its disconnected() is on the way.
        if (!connection->isConnected())
            continue;
        connection->notify(method, params);
    }
}

void IpcServer::processIncomming()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        auto *connection = new GuiConnector(socket, this);
        m_connections.append(connection);
        connect(connection, &IpcConnection::disconnected, this, &IpcServer::connectionClosed);
        // A client that came and went before it was accepted never says disconnected().
        if (connection->isUnconnected())
            QMetaObject::invokeMethod(connection, &IpcConnection::disconnected, Qt::QueuedConnection);
        Q_EMIT newConnection(connection);
    }
}

void IpcServer::connectionClosed()
{
    auto *connection = static_cast<GuiConnector *>(sender());
    if (m_connections.removeAll(connection) == 0)
        return;
    connection->deleteLater();
}

bool IpcServer::fail(const QString &reason)
{
    qCWarning(lcIpcServer, "cannot listen on IPC socket %s: %s", qPrintable(socketPath()),
              qPrintable(reason));
    m_lastError = ::Error(ListenErrorCode);
    return false;
}

#include "ipcserver.h"

#include "guiconnector.h"
#include "localsocketname.h"
#include "paths.h"

#include "ratelimitedwarning.h"

#include <QLocalSocket>
#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcIpcServer, "corvane.ipc.server")

namespace {

int positiveEnvironmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

RateLimitedWarning &refusedWarning()
{
    static RateLimitedWarning warning(QStringLiteral("IPC: refused a connection over the connection limits"));
    return warning;
}

} // namespace

IpcServer::Limits IpcServer::Limits::fromEnvironment()
{
    Limits limits;
    limits.connectionsPerUser = positiveEnvironmentNumber("CORVANE_IPC_MAX_CONNECTIONS_PER_USER", limits.connectionsPerUser);
    limits.connections = positiveEnvironmentNumber("CORVANE_IPC_MAX_CONNECTIONS", limits.connections);
    return limits;
}

IpcServer::IpcServer(QObject *parent)
    : QObject(parent)
    , m_limits(Limits::fromEnvironment())
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
        if (!admits(connection)) {
            ++m_refused;
            refusedWarning().warn();
            socket->abort();
            connection->deleteLater();
            continue;
        }
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

bool IpcServer::admits(const GuiConnector *connection) const
{
    if (connection->peer().isRoot())
        return true;
    if (m_connections.size() >= m_limits.connections)
        return false;
    // A peer the kernel cannot name counts as one user of its own kind.
    const auto sameUser = [connection](const GuiConnector *other) {
        return other->peer().valid == connection->peer().valid && other->peer().uid == connection->peer().uid;
    };
    return std::count_if(m_connections.cbegin(), m_connections.cend(), sameUser) < m_limits.connectionsPerUser;
}

bool IpcServer::fail(const QString &reason)
{
    qCWarning(lcIpcServer, "cannot listen on IPC socket %s: %s", qPrintable(socketPath()),
              qPrintable(reason));
    m_lastError = ::Error(ListenErrorCode);
    return false;
}

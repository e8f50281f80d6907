#include "guiconnector.h"
#include "ipcframe.h"
#include "ipcserver.h"
#include "paths.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A desktop client's side: the notifications it received, in order.
class Client : public QObject
{
    Q_OBJECT

public:
    explicit Client(QObject *parent = nullptr)
        : QObject(parent)
        , connection(new IpcConnection(this))
    {
        connection->setJsonRpcHandler(this);
    }

    IpcConnection *connection;
    QStringList notes;

public Q_SLOTS:
    void setSettingsLocked(bool locked) { notes << (locked ? QStringLiteral("locked") : QStringLiteral("unlocked")); }
    void note(const QString &text) { notes << text; }
};

// A socket file nobody listens on, as a crashed service leaves it.
bool makeStaleSocket(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (size_t(native.size()) >= sizeof address.sun_path)
        return false;
    memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

int fileMode(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

bool isSocket(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISSOCK(info.st_mode);
}

} // namespace

class TestIpcServer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void startOnPath_data();
    void startOnPath();
    void secondServerFailsAndKeepsName();
    void defaultPathFollowsEnvironment();
    void newConnectionJoinsList();
    void disconnectedConnectionLeavesList();
    void broadcastLeavesOutExcluded_data();
    void broadcastLeavesOutExcluded();
    void clientDisconnectsDuringBroadcast();
    void badFrameClosesOnlyThatConnection();
    void closeKeepsConnections();
    void oversizedRequestFrameClosesConnection_data();
    void oversizedRequestFrameClosesConnection();
    void connectionsCappedPerUserAndInAll();

private:
    // Connects n clients to the server and waits until the server holds all of them.
    QList<Client *> connectClients(IpcServer &server, int n, QObject *owner);

    QString m_directory;
    QString m_path;
};

void TestIpcServer::init()
{
    m_directory = TestSupport::scratchDirectory(QStringLiteral("ipcserver"));
    m_path = m_directory + QStringLiteral("/en-genericipc");
}

QList<Client *> TestIpcServer::connectClients(IpcServer &server, int n, QObject *owner)
{
    QList<Client *> clients;
    for (int i = 0; i < n; ++i) {
        auto *client = new Client(owner);
        client->connection->socket()->connectToServer(server.socketPath());
        clients << client;
        if (!QTest::qWaitFor([&] { return server.connections().size() == i + 1; }))
            return {};
    }
    return clients;
}

void TestIpcServer::startOnPath_data()
{
    QTest::addColumn<QString>("occupant");
    QTest::addColumn<bool>("started");
    QTest::addColumn<qint32>("code");

    QTest::newRow("free name") << "nothing" << true << 0;
    QTest::newRow("stale socket of a crashed run") << "stale socket" << true << 0;
    QTest::newRow("live server") << "live server" << false << 7;
    QTest::newRow("regular file") << "file" << false << 7;
    QTest::newRow("missing folder") << "missing folder" << false << 7;
    QTest::newRow("name too long for a socket") << "long name" << false << 7;
}

void TestIpcServer::startOnPath()
{
    QFETCH(QString, occupant);
    QFETCH(bool, started);
    QFETCH(qint32, code);

    QString path = m_path;
    QLocalServer live;
    if (occupant == QLatin1String("stale socket")) {
        QVERIFY(makeStaleSocket(path));
    } else if (occupant == QLatin1String("live server")) {
        QVERIFY(live.listen(path));
    } else if (occupant == QLatin1String("file")) {
        QVERIFY(TestSupport::writeFile(path, "keep me"));
    } else if (occupant == QLatin1String("missing folder")) {
        path = m_directory + QStringLiteral("/absent/en-genericipc");
    } else if (occupant == QLatin1String("long name")) {
        path = m_directory + QLatin1Char('/') + QString(120, QLatin1Char('n'));
    }

    IpcServer server;
    server.setSocketPath(path);
    if (!started)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot listen on IPC socket "));
    QCOMPARE(server.start(), started);
    QCOMPARE(server.lastError().code(), code);
    QCOMPARE(server.lastError().message(), QString());
    QCOMPARE(server.isListening(), started);

    if (started) {
        QVERIFY(isSocket(path));
        QCOMPARE(fileMode(path), 0666);
        QLocalSocket client;
        client.connectToServer(path);
        QTRY_COMPARE(server.connections().size(), 1);
    } else if (occupant == QLatin1String("file")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep me"));
    }
}

void TestIpcServer::secondServerFailsAndKeepsName()
{
    IpcServer first;
    first.setSocketPath(m_path);
    QVERIFY(first.start());
    QSignalSpy firstAccepted(&first, &IpcServer::newConnection);

    IpcServer second;
    second.setSocketPath(m_path);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("in use by a running server$"));
    QCOMPARE(second.start(), false);
    QCOMPARE(second.lastError().code(), 7);

    // The probe of the second one came and went; the first still owns the name.
    QTRY_COMPARE(firstAccepted.count(), 1);
    QTRY_COMPARE(first.connections().size(), 0);
    QObject owner;
    const QList<Client *> clients = connectClients(first, 1, &owner);
    QCOMPARE(clients.size(), 1);
    QCOMPARE(second.connections().size(), 0);

    // Once the first is gone, its name is free again.
    first.close();
    QVERIFY(!QFile::exists(m_path));
    QVERIFY(second.start());
    QCOMPARE(second.lastError().code(), 0);
}

void TestIpcServer::defaultPathFollowsEnvironment()
{
    const QByteArray saved = qgetenv("CORVANE_IPC_SOCKET");
    qputenv("CORVANE_IPC_SOCKET", m_path.toUtf8());
    IpcServer server;
    QCOMPARE(server.socketPath(), m_path);
    QVERIFY(server.start());
    QVERIFY(isSocket(m_path));
    server.close();

    qunsetenv("CORVANE_IPC_SOCKET");
    QCOMPARE(server.socketPath(), qEnvironmentVariable("RUNTIME_DIRECTORY") + QStringLiteral("/en-genericipc"));
    if (!saved.isNull())
        qputenv("CORVANE_IPC_SOCKET", saved);
}

void TestIpcServer::newConnectionJoinsList()
{
    IpcServer server;
    server.setSocketPath(m_path);
    QVERIFY(server.start());

    QList<GuiConnector *> announced;
    QList<int> listSizeWhenAnnounced;
    connect(&server, &IpcServer::newConnection, this, [&](GuiConnector *connection) {
        announced << connection;
        listSizeWhenAnnounced << server.connections().size();
        QCOMPARE(connection->parent(), &server);
        QVERIFY(connection->isConnected());
    });

    QObject owner;
    QCOMPARE(connectClients(server, 3, &owner).size(), 3);
    QCOMPARE(announced.size(), 3);
    QCOMPARE(server.connections(), announced); // in the order they connected
    QCOMPARE(listSizeWhenAnnounced, (QList<int>{1, 2, 3}));
}

void TestIpcServer::disconnectedConnectionLeavesList()
{
    IpcServer server;
    server.setSocketPath(m_path);
    QVERIFY(server.start());
    QObject owner;
    const QList<Client *> clients = connectClients(server, 3, &owner);
    QCOMPARE(clients.size(), 3);

    const QList<GuiConnector *> before = server.connections();
    QPointer<GuiConnector> middle = before.at(1);
    delete clients.at(1);

    QTRY_COMPARE(server.connections(), (QList<GuiConnector *>{before.at(0), before.at(2)}));
    QTRY_VERIFY(middle.isNull()); // deleted through the event loop
}

void TestIpcServer::broadcastLeavesOutExcluded_data()
{
    QTest::addColumn<QList<int>>("excluded");
    QTest::addColumn<QList<bool>>("receives");

    QTest::newRow("nobody left out") << QList<int>{} << QList<bool>{true, true};
    QTest::newRow("first left out") << QList<int>{0} << QList<bool>{false, true};
    QTest::newRow("second left out") << QList<int>{1} << QList<bool>{true, false};
    QTest::newRow("both left out") << QList<int>{0, 1} << QList<bool>{false, false};
}

void TestIpcServer::broadcastLeavesOutExcluded()
{
    QFETCH(QList<int>, excluded);
    QFETCH(QList<bool>, receives);

    IpcServer server;
    server.setSocketPath(m_path);
    QVERIFY(server.start());
    QObject owner;
    const QList<Client *> clients = connectClients(server, 2, &owner);
    QCOMPARE(clients.size(), 2);

    QList<GuiConnector *> except;
    for (int index : excluded)
        except << server.connections().at(index);
    server.broadcast("setSettingsLocked", {true}, except);
    // A second broadcast to everybody marks the end: whoever got it has seen everything before.
    server.broadcast("note", {QStringLiteral("end")});

    for (int i = 0; i < clients.size(); ++i) {
        const QStringList expected = receives.at(i) ? QStringList{QStringLiteral("locked"), QStringLiteral("end")}
                                                    : QStringList{QStringLiteral("end")};
        QTRY_COMPARE(clients.at(i)->notes, expected);
    }
}

void TestIpcServer::clientDisconnectsDuringBroadcast()
{
    IpcServer server;
    server.setSocketPath(m_path);
    QVERIFY(server.start());
    QObject owner;
    const QList<Client *> clients = connectClients(server, 3, &owner);
    QCOMPARE(clients.size(), 3);
    QPointer<GuiConnector> leaving = server.connections().at(1);

    // The client goes while the server has not yet noticed: the connection is still listed
    // when the broadcast starts, and its disconnection arrives while the notification is
    // queued for it.
    clients.at(1)->connection->socket()->abort();
    server.broadcast("note", {QStringLiteral("first")});
    QTRY_COMPARE(server.connections().size(), 2);
    server.broadcast("note", {QStringLiteral("second")});

    const QStringList both{QStringLiteral("first"), QStringLiteral("second")};
    QTRY_COMPARE(clients.at(0)->notes, both);
    QTRY_COMPARE(clients.at(2)->notes, both);
    QCOMPARE(clients.at(1)->notes, QStringList());
    QTRY_VERIFY(leaving.isNull());
    QVERIFY(!server.connections().contains(leaving.data()));
}

void TestIpcServer::badFrameClosesOnlyThatConnection()
{
    IpcServer server;
    server.setSocketPath(m_path);
    QVERIFY(server.start());
    QObject owner;
    const QList<Client *> clients = connectClients(server, 2, &owner);
    QCOMPARE(clients.size(), 2);

    QLocalSocket rogue;
    rogue.connectToServer(m_path);
    QTRY_COMPARE(server.connections().size(), 3);
    QSignalSpy rogueGone(&rogue, &QLocalSocket::disconnected);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^closing IPC connection: invalid IPC frame length 2147483647"));
    rogue.write(QByteArray::fromHex("FFFFFF7F00") + QByteArray(1000, '{'));
    QVERIFY(rogueGone.wait());
    QTRY_COMPARE(server.connections().size(), 2);
    QVERIFY(server.isListening());

    server.broadcast("note", {QStringLiteral("still here")});
    QTRY_COMPARE(clients.at(0)->notes, QStringList{QStringLiteral("still here")});
    QTRY_COMPARE(clients.at(1)->notes, QStringList{QStringLiteral("still here")});

    // And new clients are still accepted.
    auto *late = new Client(&owner);
    late->connection->socket()->connectToServer(m_path);
    QTRY_COMPARE(server.connections().size(), 3);
}

void TestIpcServer::closeKeepsConnections()
{
    IpcServer server;
    server.setSocketPath(m_path);
    QVERIFY(server.start());
    QObject owner;
    const QList<Client *> clients = connectClients(server, 1, &owner);
    QCOMPARE(clients.size(), 1);

    QCOMPARE(server.close(), true);
    QVERIFY(!server.isListening());
    QVERIFY(!QFile::exists(m_path));
    QCOMPARE(server.connections().size(), 1);

    server.broadcast("note", {QStringLiteral("after close")});
    QTRY_COMPARE(clients.at(0)->notes, QStringList{QStringLiteral("after close")});

    QLocalSocket refused;
    refused.connectToServer(m_path);
    QTRY_COMPARE(refused.error(), QLocalSocket::ServerNotFoundError);
}

void TestIpcServer::oversizedRequestFrameClosesConnection_data()
{
    QTest::addColumn<int>("textLength");
    QTest::addColumn<bool>("kept");
    QTest::newRow("largest request") << IpcFrame::MaximumRequestLength - 1 << true;
    QTest::newRow("one byte more") << IpcFrame::MaximumRequestLength << false;
}

// A client may send the service no more than a request needs: any local user can connect,
// and a frame's parsing holds the event loop that also serves DNS.
void TestIpcServer::oversizedRequestFrameClosesConnection()
{
    QFETCH(int, textLength);
    QFETCH(bool, kept);
    IpcServer server;
    server.setSocketPath(m_path);
    QVERIFY(server.start());
    QLocalSocket client;
    client.connectToServer(m_path);
    QVERIFY(client.waitForConnected(3000));
    QTRY_COMPARE(server.connections().size(), 1);
    QByteArray text = R"({"jsonrpc":"2.0","method":"note","params":[")";
    text += QByteArray(textLength - text.size() - 3, 'x') + R"("]})";
    QCOMPARE(text.size(), textLength);
    if (!kept)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^closing IPC connection: invalid IPC frame length"));
    client.write(IpcFrame::encode(text, false));
    client.flush();
    if (kept) {
        QTest::qWait(200);
        QCOMPARE(client.state(), QLocalSocket::ConnectedState);
        QCOMPARE(server.connections().size(), 1);
    } else {
        QTRY_COMPARE(server.connections().size(), 0);
    }
}

// Every local user may connect, but one user can hold no more than a few connections, and
// all together no more than the overall limit; root is never refused. Needs a second user:
// the test runs a client as nobody through setpriv.
void TestIpcServer::connectionsCappedPerUserAndInAll()
{
    if (::geteuid() != 0)
        QSKIP("needs root to connect as a second user");
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        QSKIP("setpriv (util-linux) is missing");
    // The system's interpreter: one installed under root's home is out of nobody's reach.
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (python.isEmpty())
        QSKIP("/usr/bin/python3 is missing");
    // A folder every user can reach, outside the test's private scratch tree.
    QTemporaryDir shared(QDir::rootPath() + QStringLiteral("tmp/corvane-ipc-XXXXXX"));
    QVERIFY(shared.isValid());
    QVERIFY(QFile::setPermissions(shared.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                      | QFileDevice::ExeGroup | QFileDevice::ExeOther));
    const QString path = shared.path() + QStringLiteral("/en-genericipc");
    qputenv("CORVANE_IPC_MAX_CONNECTIONS_PER_USER", "3");
    qputenv("CORVANE_IPC_MAX_CONNECTIONS", "4");
    IpcServer server;
    qunsetenv("CORVANE_IPC_MAX_CONNECTIONS_PER_USER");
    qunsetenv("CORVANE_IPC_MAX_CONNECTIONS");
    server.setSocketPath(path);
    QVERIFY(server.start());

    const QString script = QStringLiteral(
        "import socket, sys, time\n"
        "held = []\n"
        "for i in range(int(sys.argv[2])):\n"
        "    s = socket.socket(socket.AF_UNIX)\n"
        "    s.connect(sys.argv[1])\n"
        "    held.append(s)\n"
        "print('connected', flush=True)\n"
        "sys.stdin.read()\n");
    QProcess nobody;
    nobody.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                           python, QStringLiteral("-c"), script, path, QStringLiteral("5")});
    QVERIFY(nobody.waitForReadyRead(5000));
    QTRY_COMPARE(server.connections().size() + int(server.refusedConnections()), 5);
    QCOMPARE(server.connections().size(), 3);
    QCOMPARE(server.refusedConnections(), quint64(2));
    for (GuiConnector *connection : server.connections())
        QCOMPARE(connection->peer().uid, 65534u);

    // Root's own connections always get in, past both limits.
    QList<Client *> roots = connectClients(server, 0, this);
    for (int i = 0; i < 3; ++i) {
        auto *client = new Client(this);
        client->connection->socket()->connectToServer(path);
        roots << client;
    }
    QTRY_COMPARE(server.connections().size(), 6);
    QVERIFY(server.connections().last()->peer().isRoot());
    nobody.closeWriteChannel();
    QVERIFY(nobody.waitForFinished(5000));
    qDeleteAll(roots);
}

QTEST_GUILESS_MAIN(TestIpcServer)
#include "tst_ipcserver.moc"

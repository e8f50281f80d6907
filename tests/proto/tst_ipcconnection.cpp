#include "deferred.h"
#include "ipcconnection.h"
#include "ipcframe.h"
#include "jsonrpc.h"
#include "testsupport.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QtTest>

using TestSupport::hex;

namespace {

// The peer's methods, as a JSON-RPC handler sees them.
class Handler : public QObject
{
    Q_OBJECT

public:
    QStringList notes;
    QList<Deferred> waiting;

public Q_SLOTS:
    void note(const QString &text) { notes << text; }
    Deferred later()
    {
        waiting << Deferred();
        return waiting.last();
    }
    QVariant echo(const QString &text) { return text; }
    QVariant add(int a, int b) { return a + b; }
};

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QByteArray notificationText(const QString &note)
{
    return QStringLiteral(R"({"jsonrpc":"2.0","method":"note","params":["%1"]})").arg(note).toUtf8();
}

// What a call finished with, read during finished(): a call deletes itself afterwards.
struct Outcome
{
    int finishedCount = 0;
    qint32 code = -1;
    QString message;
    QVariant result;
};

QStringList capturedWarnings;

void captureWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        capturedWarnings << message;
}

void watch(JsonRPCCall *call, Outcome *outcome)
{
    QObject::connect(call, &JsonRPCCall::finished, [call, outcome] {
        ++outcome->finishedCount;
        outcome->code = call->error().code();
        outcome->message = call->error().message();
        outcome->result = call->result();
    });
}

} // namespace

class TestIpcConnection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void frameOnTheWire_data();
    void frameOnTheWire();
    void frameInPieces_data();
    void frameInPieces();
    void twoFramesInOneRead();
    void notificationWaitsForConnection();
    void textRoundTrip_data();
    void textRoundTrip();
    void callAnsweredByHandler();
    void sentCallFailsWhenPeerVanishes();
    void deferredAnswerAfterPeerLeft();
    void queuedCallWaitsForReconnection();
    void badFrameClosesConnection_data();
    void badFrameClosesConnection();
    void peerThatNeverReadsIsCutOff();
    void nullHandlerRefused();
    void stateQueries();

private:
    // A raw socket connected to the test's server; the server end is returned accepted.
    QLocalSocket *acceptedFrom(QLocalSocket *client);
    // A client IpcConnection and its accepted peer wrapped in an IpcConnection with handler.
    bool connectPair(IpcConnection **client, IpcConnection **peer);

    QString m_path;
    QLocalServer *m_server = nullptr;
    Handler *m_handler = nullptr;
};

void TestIpcConnection::init()
{
    m_path = TestSupport::scratchDirectory(QStringLiteral("ipc")) + QStringLiteral("/sock");
    m_server = new QLocalServer(this);
    QVERIFY2(m_server->listen(m_path), qPrintable(m_server->errorString()));
    m_handler = new Handler;
}

void TestIpcConnection::cleanup()
{
    delete m_server;
    m_server = nullptr;
    delete m_handler;
    m_handler = nullptr;
}

QLocalSocket *TestIpcConnection::acceptedFrom(QLocalSocket *client)
{
    client->connectToServer(m_path);
    if (!QTest::qWaitFor([&] { return m_server->hasPendingConnections(); }))
        return nullptr;
    if (!QTest::qWaitFor([&] { return client->state() == QLocalSocket::ConnectedState; }))
        return nullptr;
    return m_server->nextPendingConnection();
}

bool TestIpcConnection::connectPair(IpcConnection **client, IpcConnection **peer)
{
    *client = new IpcConnection(this);
    QLocalSocket *accepted = acceptedFrom((*client)->socket());
    if (!accepted)
        return false;
    *peer = new IpcConnection(accepted, this);
    return (*peer)->setJsonRpcHandler(m_handler);
}

void TestIpcConnection::frameOnTheWire_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("response");
    QTest::addColumn<QByteArray>("header");

    QTest::newRow("300-byte request") << QString(300, QLatin1Char('r')) << false << hex("2D 01 00 00 00");
    QTest::newRow("300-byte response") << QString(300, QLatin1Char('r')) << true << hex("2D 01 00 00 01");
    // Eleven letters of two bytes each: the length counts bytes, not characters.
    QTest::newRow("cyrillic counts bytes") << text("Поддержка11") << false << hex("15 00 00 00 00");
    QTest::newRow("empty") << QString() << true << hex("01 00 00 00 01");
}

void TestIpcConnection::frameOnTheWire()
{
    QFETCH(QString, message);
    QFETCH(bool, response);
    QFETCH(QByteArray, header);

    IpcConnection connection;
    QLocalSocket *raw = acceptedFrom(connection.socket());
    QVERIFY(raw);
    connection.writeJson(message, response);

    const QByteArray expected = header + message.toUtf8();
    QTRY_COMPARE(raw->bytesAvailable(), qint64(expected.size()));
    QCOMPARE(raw->readAll().toHex(' '), expected.toHex(' '));
}

void TestIpcConnection::frameInPieces_data()
{
    QTest::addColumn<int>("cut");

    const int frameSize = IpcFrame::HeaderSize + notificationText(QStringLiteral("whole")).size();
    QTest::newRow("length alone first") << IpcFrame::LengthSize;
    QTest::newRow("header first, text next") << int(IpcFrame::HeaderSize);
    QTest::newRow("half the text first") << IpcFrame::HeaderSize + 20;
    QTest::newRow("all but the last byte") << frameSize - 1;
}

void TestIpcConnection::frameInPieces()
{
    QFETCH(int, cut);

    QLocalSocket raw;
    QLocalSocket *accepted = acceptedFrom(&raw);
    QVERIFY(accepted);
    IpcConnection peer(accepted);
    QVERIFY(peer.setJsonRpcHandler(m_handler));

    const QByteArray frame = IpcFrame::encode(notificationText(QStringLiteral("whole")), false);
    QSignalSpy readyRead(accepted, &QLocalSocket::readyRead);
    raw.write(frame.left(cut));
    QVERIFY(readyRead.wait());
    QCOMPARE(m_handler->notes, QStringList());

    raw.write(frame.mid(cut));
    QTRY_COMPARE(m_handler->notes, QStringList{QStringLiteral("whole")});
    QCOMPARE(readyRead.count(), 2);
}

void TestIpcConnection::twoFramesInOneRead()
{
    QLocalSocket raw;
    QLocalSocket *accepted = acceptedFrom(&raw);
    QVERIFY(accepted);
    IpcConnection peer(accepted);
    QVERIFY(peer.setJsonRpcHandler(m_handler));

    QSignalSpy readyRead(accepted, &QLocalSocket::readyRead);
    raw.write(IpcFrame::encode(notificationText(QStringLiteral("one")), false)
              + IpcFrame::encode(notificationText(QStringLiteral("two")), false));
    QTRY_COMPARE(m_handler->notes, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    QCOMPARE(readyRead.count(), 1);
}

void TestIpcConnection::notificationWaitsForConnection()
{
    IpcConnection client;
    QVERIFY(client.isUnconnected());
    client.notify("note", {QStringLiteral("first")});
    QTest::qWait(20); // the queued send runs and finds the socket unconnected

    QLocalSocket *accepted = acceptedFrom(client.socket());
    QVERIFY(accepted);
    IpcConnection peer(accepted);
    QVERIFY(peer.setJsonRpcHandler(m_handler));
    QTest::qWait(50);
    QCOMPARE(m_handler->notes, QStringList()); // connecting alone sends nothing

    client.notify("note", {QStringLiteral("second")});
    QTRY_COMPARE(m_handler->notes, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
}

void TestIpcConnection::textRoundTrip_data()
{
    QTest::addColumn<QString>("value");

    QTest::newRow("ascii") << QStringLiteral("Kids");
    QTest::newRow("cyrillic profile name") << text("Детский профиль");
    QTest::newRow("outside the BMP") << text("Профиль \xF0\x9F\x98\x80");
    QTest::newRow("quote and backslash") << QStringLiteral("a\"b\\c");
    QTest::newRow("long") << QString(100000, QChar(0x0416));
}

void TestIpcConnection::textRoundTrip()
{
    QFETCH(QString, value);

    IpcConnection *client = nullptr;
    IpcConnection *peer = nullptr;
    QVERIFY(connectPair(&client, &peer));

    Outcome echo;
    watch(client->call("echo", {value}), &echo);
    QTRY_COMPARE(echo.finishedCount, 1);
    QCOMPARE(echo.code, 0);
    QCOMPARE(echo.result.toString(), value);

    client->notify("note", {value});
    QTRY_COMPARE(m_handler->notes, QStringList{value});
}

void TestIpcConnection::callAnsweredByHandler()
{
    IpcConnection *client = nullptr;
    IpcConnection *peer = nullptr;
    QVERIFY(connectPair(&client, &peer));

    // Both ends call each other: the client's handler answers the peer.
    Handler clientHandler;
    QVERIFY(client->setJsonRpcHandler(&clientHandler));

    Outcome sum;
    Outcome back;
    watch(client->call("add", {2, 40}), &sum);
    watch(peer->call("echo", {QStringLiteral("from the service")}), &back);
    QTRY_COMPARE(sum.finishedCount, 1);
    QTRY_COMPARE(back.finishedCount, 1);
    QCOMPARE(sum.code, 0);
    QCOMPARE(sum.result.toInt(), 42);
    QCOMPARE(back.code, 0);
    QCOMPARE(back.result.toString(), QStringLiteral("from the service"));
}

void TestIpcConnection::sentCallFailsWhenPeerVanishes()
{
    IpcConnection client;
    QLocalSocket *accepted = acceptedFrom(client.socket());
    QVERIFY(accepted);

    Outcome outcome;
    watch(client.call("echo", {QStringLiteral("nobody answers")}), &outcome);
    QTRY_VERIFY(accepted->bytesAvailable() > 0); // it went out
    delete accepted;                             // the service goes away without answering

    QTRY_VERIFY(outcome.finishedCount > 0);
    QCOMPARE(outcome.code, 3);
    QCOMPARE(outcome.message, QString());
    QVERIFY(client.isUnconnected());
}

// The service answers a call late, when the desktop client has already gone and its
// connection was deleted: the client's call failed with code 3 at the deletion, not at its
// time-out, and the late answer on the service's side goes nowhere without a warning.
void TestIpcConnection::deferredAnswerAfterPeerLeft()
{
    registerDeferredMetaType();
    IpcConnection *client = nullptr;
    IpcConnection *peer = nullptr;
    QVERIFY(connectPair(&client, &peer));

    Outcome outcome;
    watch(client->call("later"), &outcome);
    QTRY_COMPARE(m_handler->waiting.size(), 1);
    delete client;
    QTRY_VERIFY(peer->isUnconnected());

    capturedWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureWarnings);
    m_handler->waiting.first().callback(QStringLiteral("too late"));
    QCoreApplication::processEvents();
    qInstallMessageHandler(previous);
    QCOMPARE(capturedWarnings, QStringList());
    QCOMPARE(outcome.finishedCount, 1); // failed with code 3 when the client went
    QCOMPARE(outcome.code, 3);
}

void TestIpcConnection::queuedCallWaitsForReconnection()
{
    IpcConnection client;
    Outcome outcome;
    watch(client.call("echo", {QStringLiteral("later")}), &outcome);
    QTest::qWait(20);
    QCOMPARE(outcome.finishedCount, 0); // never sent, so it has not failed

    QLocalSocket *accepted = acceptedFrom(client.socket());
    QVERIFY(accepted);
    IpcConnection peer(accepted);
    QVERIFY(peer.setJsonRpcHandler(m_handler));
    client.notify("note", {QStringLiteral("wake")});

    QTRY_COMPARE(outcome.finishedCount, 1);
    QCOMPARE(outcome.code, 0);
    QCOMPARE(outcome.result.toString(), QStringLiteral("later"));
    QCOMPARE(m_handler->notes, QStringList{QStringLiteral("wake")});
}

void TestIpcConnection::badFrameClosesConnection_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("delivered");

    QTest::newRow("length 0") << hex("00 00 00 00 00") << QStringList();
    QTest::newRow("negative length") << hex("FE FF FF FF 00 7B 7D") << QStringList();
    QTest::newRow("above the bound") << hex("01 00 40 00 00 7B") << QStringList();
    QTest::newRow("good frame, then length 0")
        << IpcFrame::encode(notificationText(QStringLiteral("before")), false) + hex("00 00 00 00")
        << QStringList{QStringLiteral("before")};
}

void TestIpcConnection::peerThatNeverReadsIsCutOff()
{
    QLocalSocket raw; // connected, never read
    QLocalSocket *accepted = acceptedFrom(&raw);
    QVERIFY(accepted);
    IpcConnection service(accepted);
    QSignalSpy disconnected(accepted, &QLocalSocket::disconnected);

    const QString chunk(1024 * 1024, QLatin1Char('x'));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^closing IPC connection: the peer left \\d+ bytes unread"));
    int sent = 0;
    while (service.isConnected() && sent < 40) {
        service.writeJson(chunk, false);
        ++sent;
    }
    QVERIFY(!service.isConnected());
    // Cut off once the queued frames would pass the bound, not before.
    QVERIFY2(sent * qint64(chunk.size()) > IpcFrame::MaximumWriteBacklog - qint64(chunk.size()) * 2,
             qPrintable(QString::number(sent)));
    QVERIFY(sent <= int(IpcFrame::MaximumWriteBacklog / chunk.size()) + 1);
}

void TestIpcConnection::badFrameClosesConnection()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, delivered);

    QLocalSocket raw;
    QLocalSocket *accepted = acceptedFrom(&raw);
    QVERIFY(accepted);
    IpcConnection peer(accepted);
    QVERIFY(peer.setJsonRpcHandler(m_handler));

    QSignalSpy rawDisconnected(&raw, &QLocalSocket::disconnected);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^closing IPC connection: invalid IPC frame length"));
    raw.write(bytes);
    QVERIFY(rawDisconnected.wait());
    QVERIFY(peer.isUnconnected());
    QCOMPARE(m_handler->notes, delivered);
}

void TestIpcConnection::nullHandlerRefused()
{
    IpcConnection connection;
    QCOMPARE(connection.setJsonRpcHandler(nullptr), false);
    QCOMPARE(connection.setJsonRpcHandler(m_handler), true);
}

void TestIpcConnection::stateQueries()
{
    IpcConnection client;
    QCOMPARE(client.isConnected(), false);
    QCOMPARE(client.isUnconnected(), true);
    QCOMPARE(client.socket()->parent(), &client);

    QLocalSocket *accepted = acceptedFrom(client.socket());
    QVERIFY(accepted);
    QCOMPARE(client.isConnected(), true);
    QCOMPARE(client.isUnconnected(), false);

    IpcConnection peer(accepted);
    QCOMPARE(accepted->parent(), &peer);
    QCOMPARE(peer.isConnected(), true);

    client.socket()->abort();
    QCOMPARE(client.isUnconnected(), true);
    client.socket()->connectToServer(m_path + QStringLiteral(".missing"));
    QTRY_COMPARE(client.socket()->error(), QLocalSocket::ServerNotFoundError);
    QCOMPARE(client.isUnconnected(), true);
    QCOMPARE(client.errorString(), client.socket()->errorString());
    QVERIFY(!client.errorString().isEmpty());
}

QTEST_GUILESS_MAIN(TestIpcConnection)
#include "tst_ipcconnection.moc"

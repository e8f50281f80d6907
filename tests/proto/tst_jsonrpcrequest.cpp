#include "jsonrpc.h"
#include "qxtjson.h"

#include <QtTest>

// A list type known only to the test, reached through a registered converter the way the
// account records make HostList reachable.
struct Points
{
    QList<int> values;
};
Q_DECLARE_METATYPE(Points)

Points pointsFromList(const QVariantList &list)
{
    Points points;
    for (const QVariant &v : list)
        points.values.append(v.toInt());
    return points;
}

class Handler : public QObject
{
    Q_OBJECT

public:
    QStringList log;
    Deferred later;
    JsonRPC *engineToDelete = nullptr;

public slots:
    int add(int a, int b) { return a + b; }
    QString echo(const QString &s) { return s; }
    void ping() { log << QStringLiteral("ping"); }
    QVariant variant(const QVariant &v) { return v.isValid() ? v : QVariant(QStringLiteral("was null")); }
    quint32 takeId(quint32 id) { return id; }
    quint16 takePort(quint16 port) { return port; }
    bool flag(bool b) { return !b; }
    int overload(int) { return 1; }
    int overload(int, int) { return 2; }
    double half(double d) { return d / 2; }
    int sumPoints(const Points &p)
    {
        int sum = 0;
        for (int v : p.values)
            sum += v;
        return sum;
    }
    QStringList strings(const QStringList &l) { return l; }
    Deferred wait() { return later; }
    Deferred failedNow()
    {
        Deferred d;
        d.errback(Error(7, QStringLiteral("seven")));
        return d;
    }
    Deferred succeededNow()
    {
        Deferred d;
        d.callback(QStringLiteral("now"));
        return d;
    }
    Error check(int code) { return Error(code, QStringLiteral("checked")); }
    void suicide()
    {
        log << QStringLiteral("suicide");
        delete engineToDelete;
    }

signals:
    void notified(int value);
};

// A handler of another class, whose method indexes differ from Handler's.
class OtherHandler : public QObject
{
    Q_OBJECT

public slots:
    QString greet(const QString &name) { return QStringLiteral("hello ") + name; }
};

namespace {
QString normalized(const QString &text)
{
    // Response keys come in any order: compare the parsed values.
    return QxtJSON::stringify(QxtJSON::parse(text));
}
} // namespace

class tst_JsonRPCRequest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void request_data();
    void request();
    void notifications();
    void deferredHoldsBatch();
    void deferredFiredTwice();
    void engineGoneBeforeDeferredFires();
    void handlerDeleted();
    void handlerOfAnotherClassGetsItsOwnTable_data();
    void handlerOfAnotherClassGetsItsOwnTable();
    void handlerDeletesEngine();
    void errorCodeOffset_data();
    void errorCodeOffset();
    void roundTrip();
};

void tst_JsonRPCRequest::initTestCase()
{
    qRegisterMetaType<Points>("Points");
    const bool registered = QMetaType::registerConverter<QVariantList, Points>(&pointsFromList);
    QVERIFY(registered);
}

void tst_JsonRPCRequest::request_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("response"); // empty: nothing is sent

    auto result = [](const char *id, const char *value) {
        return QStringLiteral("{\"id\":%1,\"jsonrpc\":\"2.0\",\"result\":%2}")
                .arg(QLatin1String(id), QLatin1String(value));
    };
    auto error = [](const char *id, int code, const char *message) {
        return QStringLiteral("{\"id\":%1,\"jsonrpc\":\"2.0\",\"error\":{\"code\":%2,\"message\":\"%3\"}}")
                .arg(QLatin1String(id)).arg(code).arg(QLatin1String(message));
    };
    const auto parseError = error("null", -32700, "Parse error");
    const auto invalid = error("null", -32600, "Invalid Request");

    QTest::newRow("call") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"add","params":[1,2]})")
                          << result("1", "3");
    QTest::newRow("batch of one gives array of one")
            << QByteArray(R"([{"jsonrpc":"2.0","id":1,"method":"add","params":[1,2]}])")
            << QLatin1Char('[') + result("1", "3") + QLatin1Char(']');
    QTest::newRow("string id is answered as received")
            << QByteArray(R"({"jsonrpc":"2.0","id":"7","method":"add","params":[1,2]})")
            << result("\"7\"", "3");
    QTest::newRow("null id is a call")
            << QByteArray(R"({"jsonrpc":"2.0","id":null,"method":"add","params":[1,2]})")
            << result("null", "3");
    QTest::newRow("does not parse") << QByteArray("{\"jsonrpc\"") << parseError;
    QTest::newRow("literal null") << QByteArray("null") << parseError;
    QTest::newRow("not an object") << QByteArray("5") << invalid;
    QTest::newRow("empty batch") << QByteArray("[]") << invalid;
    QTest::newRow("extra key") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"add","params":[1,2],"x":1})")
                               << invalid;
    QTest::newRow("no version") << QByteArray(R"({"id":1,"method":"add","params":[1,2]})") << invalid;
    QTest::newRow("element without a method calls no method")
            << QByteArray(R"({"jsonrpc":"2.0","id":1})") << error("1", -32601, "Method not found");
    QTest::newRow("empty method") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":""})") << invalid;
    QTest::newRow("params not a list")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"add","params":{"a":1}})") << invalid;
    QTest::newRow("unusable id") << QByteArray(R"({"jsonrpc":"2.0","id":{},"method":"ping"})") << invalid;
    QTest::newRow("invalid single notification") << QByteArray(R"({"jsonrpc":"1.0","method":"ping"})")
                                                 << QString();
    QTest::newRow("unknown method") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"nope"})")
                                    << error("1", -32601, "Method not found");
    QTest::newRow("inherited method is not offered")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"deleteLater"})")
            << error("1", -32601, "Method not found");
    QTest::newRow("wrong number of params")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"add","params":[1]})")
            << error("1", -32601, "Method not found");
    QTest::newRow("unknown call and notification in a batch")
            << QByteArray(R"([{"jsonrpc":"2.0","id":1,"method":"nope"},{"jsonrpc":"2.0","method":"nope"}])")
            << QLatin1Char('[') + error("1", -32601, "Method not found") + QLatin1Char(',')
                       + error("null", -32601, "Method not found") + QLatin1Char(']');
    QTest::newRow("mixed batch")
            << QByteArray(R"([{"jsonrpc":"2.0","id":1,"method":"echo","params":["a"]},5,{"jsonrpc":"2.0","method":"ping"}])")
            << QLatin1Char('[') + result("1", "\"a\"") + QLatin1Char(',') + invalid + QLatin1Char(']');
    QTest::newRow("batch of notifications sends nothing")
            << QByteArray(R"([{"jsonrpc":"2.0","method":"ping"},{"jsonrpc":"2.0","method":"notified","params":[1]}])")
            << QString();
    QTest::newRow("null argument") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"echo","params":[null]})")
                                   << error("1", -32602, "Invalid params");
    QTest::newRow("text to int") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"add","params":["x",1]})")
                                 << error("1", -32602, "Invalid params");
    QTest::newRow("void answers null") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"ping"})")
                                       << result("1", "null");
    QTest::newRow("QVariant param takes null")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"variant","params":[null]})")
            << result("1", "\"was null\"");
    QTest::newRow("QVariant return is unwrapped")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"variant","params":[{"a":[1]}]})")
            << result("1", "{\"a\":[1]}");
    QTest::newRow("uint max reaches quint32")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"takeId","params":[4294967295]})")
            << result("1", "4294967295");
    QTest::newRow("beyond quint32") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"takeId","params":[4294967296]})")
                                    << error("1", -32602, "Invalid params");
    QTest::newRow("negative to quint32") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"takeId","params":[-1]})")
                                         << error("1", -32602, "Invalid params");
    QTest::newRow("port") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"takePort","params":[53]})")
                          << result("1", "\"53\"");
    QTest::newRow("port as text") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"takePort","params":["65535"]})")
                                  << result("1", "\"65535\"");
    QTest::newRow("beyond quint16") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"takePort","params":[65536]})")
                                    << error("1", -32602, "Invalid params");
    QTest::newRow("integral double to int")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"add","params":[2.0,1]})") << result("1", "3");
    QTest::newRow("fraction to int") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"add","params":[2.5,1]})")
                                     << error("1", -32602, "Invalid params");
    QTest::newRow("int to double") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"half","params":[3]})")
                                   << result("1", "1.5");
    QTest::newRow("bool") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"flag","params":[false]})")
                          << result("1", "true");
    QTest::newRow("number to bool") << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"flag","params":[1]})")
                                    << error("1", -32602, "Invalid params");
    QTest::newRow("list through registered converter")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"sumPoints","params":[[1,2,3]]})")
            << result("1", "6");
    QTest::newRow("map refused by the converter's type")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"sumPoints","params":[{"a":1}]})")
            << error("1", -32602, "Invalid params");
    QTest::newRow("list to string list")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"strings","params":[["a","b"]]})")
            << result("1", "[\"a\",\"b\"]");
    QTest::newRow("overload with one param")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"overload","params":[0]})") << result("1", "1");
    QTest::newRow("overload with two params")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"overload","params":[0,0]})") << result("1", "2");
    QTest::newRow("deferred already failed")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"failedNow"})") << error("1", 7, "seven");
    QTest::newRow("deferred already succeeded")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"succeededNow"})") << result("1", "\"now\"");
    QTest::newRow("Error return with a code")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"check","params":[1]})") << error("1", 1, "checked");
    QTest::newRow("Error return without a code")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"check","params":[0]})") << result("1", "null");
    QByteArray longBatch = "[";
    for (int i = 0; i < JsonRPC::DefaultMaximumBatchSize + 3; ++i)
        longBatch += QByteArray(i ? "," : "") + R"({"jsonrpc":"2.0","id":1,"method":"add","params":[1,1]})";
    QString answers = QStringLiteral("[");
    for (int i = 0; i < JsonRPC::DefaultMaximumBatchSize; ++i)
        answers += result("1", "2") + QLatin1Char(',');
    answers += QStringLiteral(R"({"id":null,"jsonrpc":"2.0","error":{"code":-32600,"message":"Invalid Request",)"
                              R"("data":"batch of 67 elements; only the first 64 were handled"}}])");
    QTest::newRow("batch past the limit shares one error") << QByteArray(longBatch + "]") << answers;
    QTest::newRow("NUL ends the text")
            << QByteArray("{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":\"ping\"}\0{", 42) << result("1", "null");
}

void tst_JsonRPCRequest::request()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, response);

    JsonRPC rpc;
    Handler handler;
    rpc.setRequestHandler(&handler);
    QSignalSpy spy(&rpc, &JsonRPC::outgoingResponseReady);
    rpc.incomingRequest(data);
    if (response.isEmpty()) {
        QCOMPARE(spy.count(), 0);
        return;
    }
    QCOMPARE(spy.count(), 1);
    const QString sent = spy.first().first().toString();
    QCOMPARE(sent.startsWith(QLatin1Char('[')), response.startsWith(QLatin1Char('[')));
    QCOMPARE(normalized(sent), normalized(response));
}

void tst_JsonRPCRequest::notifications()
{
    JsonRPC rpc;
    Handler handler;
    rpc.setRequestHandler(&handler);
    QSignalSpy spy(&rpc, &JsonRPC::outgoingResponseReady);
    QSignalSpy notified(&handler, &Handler::notified);
    rpc.incomingRequest(R"({"jsonrpc":"2.0","method":"ping"})");
    rpc.incomingRequest(R"({"jsonrpc":"2.0","method":"notified","params":[4]})");
    QTest::ignoreMessage(QtWarningMsg, "failed to find slot nope");
    rpc.incomingRequest(R"({"jsonrpc":"2.0","method":"nope"})");
    rpc.incomingRequest(R"({"jsonrpc":"2.0","method":"echo","params":[null]})");
    QCOMPARE(spy.count(), 0);
    QCOMPARE(handler.log, QStringList{QStringLiteral("ping")});
    QCOMPARE(notified.count(), 1);
    QCOMPARE(notified.first().first(), QVariant(4));
}

// The answers of a message wait for every Deferred of that message, then leave together.
void tst_JsonRPCRequest::deferredHoldsBatch()
{
    JsonRPC rpc;
    Handler handler;
    rpc.setRequestHandler(&handler);
    QSignalSpy spy(&rpc, &JsonRPC::outgoingResponseReady);
    rpc.incomingRequest(R"([{"jsonrpc":"2.0","id":1,"method":"wait"},{"jsonrpc":"2.0","id":2,"method":"add","params":[1,1]}])");
    QCOMPARE(spy.count(), 0);
    rpc.incomingRequest(R"({"jsonrpc":"2.0","id":3,"method":"add","params":[2,2]})");
    QCOMPARE(spy.count(), 1); // other messages are not held
    handler.later.callback(QStringLiteral("late"));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(normalized(spy.at(1).first().toString()),
             normalized(QStringLiteral(R"([{"id":1,"jsonrpc":"2.0","result":"late"},{"id":2,"jsonrpc":"2.0","result":2}])")));
}

void tst_JsonRPCRequest::deferredFiredTwice()
{
    JsonRPC rpc;
    Handler handler;
    rpc.setRequestHandler(&handler);
    QSignalSpy spy(&rpc, &JsonRPC::outgoingResponseReady);
    rpc.incomingRequest(R"({"jsonrpc":"2.0","id":1,"method":"wait"})");
    handler.later.errback(Error(5, QStringLiteral("five")));
    handler.later.callback(1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    handler.later.callback(2);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(normalized(spy.first().first().toString()),
             normalized(QStringLiteral(R"({"id":1,"jsonrpc":"2.0","error":{"code":5,"message":"five"}})")));
}

void tst_JsonRPCRequest::engineGoneBeforeDeferredFires()
{
    auto *rpc = new JsonRPC;
    Handler handler;
    rpc->setRequestHandler(&handler);
    QSignalSpy spy(rpc, &JsonRPC::outgoingResponseReady);
    rpc->incomingRequest(R"({"jsonrpc":"2.0","id":1,"method":"wait"})");
    delete rpc;
    handler.later.callback(1);
    QCOMPARE(spy.count(), 0);
}

void tst_JsonRPCRequest::handlerDeleted()
{
    JsonRPC rpc;
    auto *handler = new Handler;
    rpc.setRequestHandler(handler);
    delete handler;
    QSignalSpy spy(&rpc, &JsonRPC::outgoingResponseReady);
    rpc.incomingRequest(R"({"jsonrpc":"2.0","id":1,"method":"ping"})");
    QCOMPARE(spy.count(), 1);
    QCOMPARE(normalized(spy.first().first().toString()),
             normalized(QStringLiteral(R"({"id":1,"jsonrpc":"2.0","error":{"code":-32601,"message":"Method not found"}})")));
}

void tst_JsonRPCRequest::handlerDeletesEngine()
{
    auto *rpc = new JsonRPC;
    Handler handler;
    handler.engineToDelete = rpc;
    rpc->setRequestHandler(&handler);
    QPointer<JsonRPC> watch(rpc);
    rpc->incomingRequest(R"([{"jsonrpc":"2.0","id":1,"method":"suicide"},{"jsonrpc":"2.0","id":2,"method":"ping"}])");
    QVERIFY(watch.isNull());
    QCOMPARE(handler.log, QStringList{QStringLiteral("suicide")});
}

void tst_JsonRPCRequest::handlerOfAnotherClassGetsItsOwnTable_data()
{
    QTest::addColumn<bool>("firstDestroyed");
    QTest::newRow("replaced while alive") << false;
    QTest::newRow("replaced after the first was destroyed") << true;
}

// The method table follows the class of the handler installed now: the previous class's
// indexes must never be invoked on the new object (that crashed under the sanitizer).
void tst_JsonRPCRequest::handlerOfAnotherClassGetsItsOwnTable()
{
    QFETCH(bool, firstDestroyed);
    JsonRPC rpc;
    auto *first = new Handler;
    rpc.setRequestHandler(first);
    if (firstDestroyed)
        delete first;
    OtherHandler other;
    rpc.setRequestHandler(&other);
    QSignalSpy spy(&rpc, &JsonRPC::outgoingResponseReady);
    rpc.incomingRequest(R"({"jsonrpc":"2.0","id":1,"method":"add","params":[1,2]})");
    rpc.incomingRequest(R"({"jsonrpc":"2.0","id":2,"method":"greet","params":["ann"]})");
    QCOMPARE(spy.count(), 2);
    QCOMPARE(normalized(spy.at(0).first().toString()),
             normalized(R"({"id":1,"jsonrpc":"2.0","error":{"code":-32601,"message":"Method not found"}})"));
    QCOMPARE(normalized(spy.at(1).first().toString()), normalized(R"({"id":2,"jsonrpc":"2.0","result":"hello ann"})"));
    if (!firstDestroyed)
        delete first;
}

void tst_JsonRPCRequest::errorCodeOffset_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("code");
    QTest::newRow("local error 7 sent as -993")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"failedNow"})") << -993;
    QTest::newRow("standard codes move too (16-bit)")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"method":"nope"})") << int(qint16(quint16(-32601) - 1000));
}

void tst_JsonRPCRequest::errorCodeOffset()
{
    QFETCH(QByteArray, data);
    QFETCH(int, code);
    JsonRPC rpc;
    Handler handler;
    rpc.setRequestHandler(&handler);
    rpc.setErrorCodeOffset(1000);
    QSignalSpy spy(&rpc, &JsonRPC::outgoingResponseReady);
    rpc.incomingRequest(data);
    QCOMPARE(spy.count(), 1);
    const QVariantMap response = QxtJSON::parse(spy.first().first().toString()).toMap();
    QCOMPARE(response.value(QStringLiteral("error")).toMap().value(QStringLiteral("code")), QVariant(code));
}

// call -> serialize -> incomingRequest on a second engine -> response -> incomingResponse
void tst_JsonRPCRequest::roundTrip()
{
    JsonRPC client, server;
    Handler handler;
    server.setRequestHandler(&handler);
    connect(&server, &JsonRPC::outgoingResponseReady, &client,
            [&client](const QString &text) { client.incomingResponse(text.toUtf8()); });
    JsonRPCCall *sum = client.call("add", {20, 22});
    JsonRPCCall *echo = client.call("echo", {QString::fromUtf8("é/\"x\"")});
    sum->setAutoDelete(false);
    echo->setAutoDelete(false);
    server.incomingRequest(client.serializeOutgoingRequest(nullptr).toUtf8());
    QVERIFY(sum->isSucceed());
    QCOMPARE(sum->result(), QVariant(42));
    QCOMPARE(echo->result(), QVariant(QString::fromUtf8("é/\"x\"")));
    delete sum;
    delete echo;
}

QTEST_GUILESS_MAIN(tst_JsonRPCRequest)
#include "tst_jsonrpcrequest.moc"

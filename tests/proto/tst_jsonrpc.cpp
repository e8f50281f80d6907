#include "jsonrpc.h"
#include "requestmanager.h"
#include "testhooks.h"

#include <QtTest>

#include <limits>

// Outgoing calls and incoming responses of JsonRPC.
class tst_JsonRPC : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void groupingOn();
    void groupingOff();
    void groupingDelay();
    void emptyQueue();
    void notificationIsDeletedAfterWriting();
    void idWrapsToOne();
    void callWithoutContextIsWatched();
    void timeOut();
    void response_data();
    void response();
    void responseWithContext_data();
    void responseWithContext();
    void resultReader_data();
    void resultReader();
    void nothingExpected();
    void answeredTwice();
    void errorCodeOffset();
    void contextFinished_data();
    void contextFinished();
    void callDestroyedWhilePending();
    void callDestroyedWhileQueued();
    void contextDestroyed();
    void dropAll();
    void engineDestroyedWithQueuedCalls();
    void engineDestroyedByReceiver();
};

void tst_JsonRPC::cleanup()
{
    // Calls without a context end in the request manager; leave it empty for the next test.
    const QList<Request *> left = RequestManager::instance()->requests();
    for (Request *r : left)
        RequestManager::instance()->drop(r);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_JsonRPC::groupingOn()
{
    JsonRPC rpc;
    QSignalSpy ready(&rpc, &JsonRPC::outgoingRequestReady);
    rpc.call("a", {1});
    rpc.call("b");
    QVERIFY(rpc.hasPendingOutgoingRequest());
    QCOMPARE(ready.count(), 0); // not before the event loop turns
    QVERIFY(ready.wait(1000));
    QCOMPARE(ready.count(), 1);
    QCOMPARE(rpc.serializeOutgoingRequest(nullptr),
             QStringLiteral("[{\"id\":1,\"jsonrpc\":\"2.0\",\"method\":\"a\",\"params\":[1]},"
                            "{\"id\":2,\"jsonrpc\":\"2.0\",\"method\":\"b\"}]"));
    QVERIFY(!rpc.hasPendingOutgoingRequest());
    QTest::qWait(10);
    QCOMPARE(ready.count(), 1);
}

void tst_JsonRPC::groupingOff()
{
    JsonRPC rpc;
    rpc.useGrouping(false);
    QSignalSpy ready(&rpc, &JsonRPC::outgoingRequestReady);
    rpc.call("a");
    rpc.notify("n", {QStringLiteral("x")});
    QTRY_COMPARE(ready.count(), 2);
    QCOMPARE(rpc.serializeOutgoingRequest(nullptr),
             QStringLiteral("{\"id\":1,\"jsonrpc\":\"2.0\",\"method\":\"a\"}"));
    QVERIFY(rpc.hasPendingOutgoingRequest());
    QCOMPARE(rpc.serializeOutgoingRequest(nullptr),
             QStringLiteral("{\"jsonrpc\":\"2.0\",\"method\":\"n\",\"params\":[\"x\"]}"));
    QVERIFY(!rpc.hasPendingOutgoingRequest());
}

void tst_JsonRPC::groupingDelay()
{
    JsonRPC rpc;
    rpc.setGrouppingDelay(50);
    QSignalSpy ready(&rpc, &JsonRPC::outgoingRequestReady);
    rpc.call("a");
    QTest::qWait(5);
    QCOMPARE(ready.count(), 0);
    rpc.call("b");
    QTRY_COMPARE(ready.count(), 1);
    QVERIFY(rpc.serializeOutgoingRequest(nullptr).startsWith(QLatin1Char('[')));
}

void tst_JsonRPC::emptyQueue()
{
    JsonRPC rpc;
    QCOMPARE(rpc.serializeOutgoingRequest(nullptr), QString());
}

void tst_JsonRPC::notificationIsDeletedAfterWriting()
{
    JsonRPC rpc;
    rpc.notify("n");
    QCOMPARE(rpc.serializeOutgoingRequest(nullptr),
             QStringLiteral("{\"jsonrpc\":\"2.0\",\"method\":\"n\"}"));
    QCOMPARE(RequestManager::instance()->requests().size(), 0);
    QCOMPARE(rpc.incomingResponse("{\"jsonrpc\":\"2.0\",\"id\":null,\"result\":1}"), false);
}

void tst_JsonRPC::idWrapsToOne()
{
    JsonRPC rpc;
    TestHooks::JsonRPCAccess::setLastId(rpc, std::numeric_limits<quint32>::max() - 1);
    QCOMPARE(rpc.call("a")->id(), std::numeric_limits<quint32>::max());
    QCOMPARE(rpc.call("b")->id(), 1u);
    rpc.notify("c");
    QCOMPARE(TestHooks::JsonRPCAccess::lastId(rpc), 1u);
}

void tst_JsonRPC::callWithoutContextIsWatched()
{
    JsonRPC rpc;
    JsonRPCCall *own = rpc.call("a");
    own->setTimeout(5);
    JsonRPCCall *plain = rpc.call("b");
    rpc.serializeOutgoingRequest(nullptr);
    const QList<Request *> watched = RequestManager::instance()->requests();
    QCOMPARE(watched, (QList<Request *>{own, plain}));
    QCOMPARE(RequestManager::instance()->findChild<QTimer *>()->interval(), 5000);
    QVERIFY(!plain->parentRequest());
}

void tst_JsonRPC::timeOut()
{
    JsonRPC rpc;
    QPointer<JsonRPCCall> call = rpc.call("slow");
    call->setTimeout(1);
    QList<int> codes;
    connect(call.data(), &Request::finished, this,
            [&codes, &call] { codes.append(call->error().code()); });
    rpc.serializeOutgoingRequest(nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(codes, QList<int>{2}, 5000);
    // The late answer finds the call finished (or already deleted) and changes nothing.
    rpc.incomingResponse(R"({"jsonrpc":"2.0","id":1,"result":1})");
    QCOMPARE(codes, QList<int>{2});
    QTRY_VERIFY(call.isNull());
    QCOMPARE(rpc.incomingResponse(R"({"jsonrpc":"2.0","id":1,"result":1})"), false);
}

void tst_JsonRPC::response_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("handled");
    QTest::addColumn<int>("finished"); // -1 still pending, else the error code
    QTest::addColumn<QString>("message");
    QTest::addColumn<QVariant>("result");

    QTest::newRow("result") << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":[5]})") << true << 0
                            << QString() << QVariant(QVariantList{5});
    QTest::newRow("string id matches") << QByteArray(R"({"jsonrpc":"2.0","id":"1","result":1})")
                                       << true << 0 << QString() << QVariant(1);
    QTest::newRow("double id matches") << QByteArray(R"({"jsonrpc":"2.0","id":1.0,"result":1})")
                                       << true << 0 << QString() << QVariant(1);
    QTest::newRow("null result") << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":null})")
                                 << true << 0 << QString() << QVariant();
    QTest::newRow("batch of one") << QByteArray(R"([{"jsonrpc":"2.0","id":1,"result":2}])") << true
                                  << 0 << QString() << QVariant(2);
    QTest::newRow("text after NUL ignored")
            << QByteArray("{\"jsonrpc\":\"2.0\",\"id\":1,\"result\":2}\0garbage", 40) << true << 0
            << QString() << QVariant(2);
    QTest::newRow("id with leading zero does not match")
            << QByteArray(R"({"jsonrpc":"2.0","id":"01","result":1})") << false << -1 << QString()
            << QVariant();
    QTest::newRow("unknown id") << QByteArray(R"({"jsonrpc":"2.0","id":2,"result":1})") << false
                                << -1 << QString() << QVariant();
    QTest::newRow("both result and error")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":1,"error":{"code":1}})") << false
            << -1 << QString() << QVariant();
    QTest::newRow("neither result nor error") << QByteArray(R"({"jsonrpc":"2.0","id":1})")
                                              << false << -1 << QString() << QVariant();
    QTest::newRow("extra key") << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":1,"x":0})")
                               << false << -1 << QString() << QVariant();
    QTest::newRow("no version") << QByteArray(R"({"id":1,"result":1})") << false << -1 << QString()
                                << QVariant();
    QTest::newRow("wrong version") << QByteArray(R"({"jsonrpc":"1.0","id":1,"result":1})") << false
                                   << -1 << QString() << QVariant();
    QTest::newRow("no id") << QByteArray(R"({"jsonrpc":"2.0","result":1})") << false << -1
                           << QString() << QVariant();
    QTest::newRow("id of unusable type") << QByteArray(R"({"jsonrpc":"2.0","id":[1],"result":1})")
                                         << false << -1 << QString() << QVariant();
    QTest::newRow("error code not integer")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"error":{"code":"1"}})") << false << -1
            << QString() << QVariant();
    QTest::newRow("standard error") << QByteArray(R"({"jsonrpc":"2.0","id":1,"error":{"code":-32601,"message":"x"}})")
                                    << true << 9
                                    << QStringLiteral("Server returned JSON-RPC error -32601: Method not found")
                                    << QVariant();
    QTest::newRow("own error") << QByteArray(R"({"jsonrpc":"2.0","id":1,"error":{"code":33,"message":"refused"}})")
                               << true << 33 << QStringLiteral("refused") << QVariant();
    QTest::newRow("not JSON") << QByteArray("{\"jsonrpc\"") << false << -1 << QString() << QVariant();
    QTest::newRow("scalar") << QByteArray("5") << false << -1 << QString() << QVariant();
    QTest::newRow("list of scalars") << QByteArray("[1,2]") << false << -1 << QString() << QVariant();
    QTest::newRow("empty data") << QByteArray() << true << -1 << QString() << QVariant();
}

void tst_JsonRPC::response()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, handled);
    QFETCH(int, finished);
    QFETCH(QString, message);
    QFETCH(QVariant, result);

    JsonRPC rpc;
    QPointer<JsonRPCCall> call = rpc.call("m");
    call->setAutoDelete(false);
    rpc.serializeOutgoingRequest(nullptr);
    QSignalSpy spy(call.data(), &Request::finished);
    QCOMPARE(rpc.incomingResponse(data), handled);
    QCOMPARE(spy.count(), finished < 0 ? 0 : 1);
    if (finished >= 0) {
        QCOMPARE(call->error().code(), finished);
        QCOMPARE(call->error().message(), message);
        QCOMPARE(call->result(), result);
        QCOMPARE(call->result().userType(), result.userType());
    }
    delete call;
}

void tst_JsonRPC::responseWithContext_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("handled");
    QTest::addColumn<QList<int>>("codes");

    QTest::newRow("both answered") << QByteArray(R"([{"jsonrpc":"2.0","id":2,"result":1},{"jsonrpc":"2.0","id":1,"result":1}])")
                                   << true << QList<int>{0, 0};
    QTest::newRow("one answered, other fails with 9")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":1})") << true << QList<int>{0, 9};
    QTest::newRow("invalid element: both fail with 9")
            << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":1,"error":{"code":1}})") << false
            << QList<int>{9, 9};
    QTest::newRow("unparsable: both fail with 9") << QByteArray("<html>") << false << QList<int>{9, 9};
    QTest::newRow("empty: both fail with 9") << QByteArray() << false << QList<int>{9, 9};
}

void tst_JsonRPC::responseWithContext()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, handled);
    QFETCH(QList<int>, codes);

    JsonRPC rpc;
    Request context;
    JsonRPCCall *first = rpc.call("a");
    JsonRPCCall *second = rpc.call("b");
    rpc.serializeOutgoingRequest(&context);
    QCOMPARE(first->parentRequest(), &context);
    QCOMPARE(RequestManager::instance()->requests().size(), 0);
    QSignalSpy firstSpy(first, &Request::finished);
    QSignalSpy secondSpy(second, &Request::finished);
    QCOMPARE(rpc.incomingContextedResponse(data, &context), handled);
    QCOMPARE(firstSpy.count(), 1);
    QCOMPARE(secondSpy.count(), 1);
    QCOMPARE((QList<int>{first->error().code(), second->error().code()}), codes);
    if (codes.at(1) == 9)
        QCOMPARE(second->error().message(), QStringLiteral("No valid JSON-RPC response received"));
    delete first;
    delete second;
}

// A call with a result reader is answered through it only for a plain object answering it
// alone; every other message takes the generic path with its checks.
void tst_JsonRPC::resultReader_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("calls");
    QTest::addColumn<int>("finished"); // -1 unanswered (then failed with 9 by the context)
    QTest::addColumn<QVariant>("result");

    const QVariant direct = QStringLiteral("read directly");
    const QVariant generic = QVariantList{5};
    QTest::newRow("plain answer") << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":[5]})") << 1 << 0 << direct;
    QTest::newRow("other order, white space")
            << QByteArray(" {\n \"result\" : [5] ,\"id\":1,\t\"jsonrpc\":\"2.0\"}\r\n") << 1 << 0 << direct;
    QTest::newRow("reader refuses") << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":[6]})") << 1 << 0
                                    << QVariant(QVariantList{6});
    QTest::newRow("string id") << QByteArray(R"({"jsonrpc":"2.0","id":"1","result":[5]})") << 1 << 0 << generic;
    QTest::newRow("text after the answer") << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":[5]}x)") << 1 << 0
                                           << generic;
    QTest::newRow("batch of one") << QByteArray(R"([{"jsonrpc":"2.0","id":1,"result":[5]}])") << 1 << 0 << generic;
    QTest::newRow("two calls pending") << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":[5]})") << 2 << 0
                                       << generic;
    QTest::newRow("extra key") << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":[5],"x":0})") << 1 << -1
                               << QVariant();
    QTest::newRow("result twice") << QByteArray(R"({"jsonrpc":"2.0","id":1,"result":[5],"result":[5]})") << 1
                                  << 0 << generic;
    QTest::newRow("other id") << QByteArray(R"({"jsonrpc":"2.0","id":2,"result":[5]})") << 1 << -1 << QVariant();
    QTest::newRow("wrong version") << QByteArray(R"({"jsonrpc":"1.0","id":1,"result":[5]})") << 1 << -1
                                   << QVariant();
    QTest::newRow("error") << QByteArray(R"({"jsonrpc":"2.0","id":1,"error":{"code":33,"message":"m"}})") << 1
                           << 33 << QVariant();
}

void tst_JsonRPC::resultReader()
{
    QFETCH(QByteArray, data);
    QFETCH(int, calls);
    QFETCH(int, finished);
    QFETCH(QVariant, result);

    JsonRPC rpc;
    Request context;
    JsonRPCCall *call = rpc.call("m");
    call->setResultReader([](const char *&pos, const char *end, QVariant *value) {
        const QByteArray plain("[5]");
        if (end - pos < plain.size() || QByteArray(pos, plain.size()) != plain)
            return false;
        pos += plain.size();
        *value = QStringLiteral("read directly");
        return true;
    });
    QList<JsonRPCCall *> others;
    for (int i = 1; i < calls; ++i)
        others << rpc.call("other");
    rpc.serializeOutgoingRequest(&context);
    QSignalSpy spy(call, &Request::finished);
    rpc.incomingContextedResponse(data, &context);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(call->error().code(), finished < 0 ? 9 : finished);
    QCOMPARE(call->result(), result);
    QCOMPARE(call->result().userType(), result.userType());
    delete call;
    qDeleteAll(others);
}

void tst_JsonRPC::nothingExpected()
{
    JsonRPC rpc;
    Request context;
    QCOMPARE(rpc.incomingResponse("{}"), false);
    QCOMPARE(rpc.incomingContextedResponse(QByteArray(), &context), true);
    QCOMPARE(rpc.incomingContextedResponse("{}", &context), false);
}

void tst_JsonRPC::answeredTwice()
{
    JsonRPC rpc;
    JsonRPCCall *call = rpc.call("a");
    call->setAutoDelete(false);
    rpc.serializeOutgoingRequest(nullptr);
    QSignalSpy spy(call, &Request::finished);
    const QByteArray answer = R"({"jsonrpc":"2.0","id":1,"result":1})";
    QVERIFY(rpc.incomingResponse(answer));
    QVERIFY(!rpc.incomingResponse(answer));
    QVERIFY(!rpc.incomingResponse(R"({"jsonrpc":"2.0","id":1,"error":{"code":3}})"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(call->result(), QVariant(1));
    delete call;
}

void tst_JsonRPC::errorCodeOffset()
{
    JsonRPC rpc;
    rpc.setErrorCodeOffset(1000);
    JsonRPCCall *call = rpc.call("a");
    call->setAutoDelete(false);
    rpc.serializeOutgoingRequest(nullptr);
    QVERIFY(rpc.incomingResponse(R"({"jsonrpc":"2.0","id":1,"error":{"code":-993,"message":"m"}})"));
    QCOMPARE(call->error().code(), 7);
    QCOMPARE(call->error().message(), QStringLiteral("m"));
    QCOMPARE(int(call->rpcError().code()), 7);
    delete call;
}

void tst_JsonRPC::contextFinished_data()
{
    QTest::addColumn<int>("times");
    QTest::newRow("once") << 1;
    QTest::newRow("twice") << 2;
}

void tst_JsonRPC::contextFinished()
{
    QFETCH(int, times);
    JsonRPC rpc;
    Request context;
    JsonRPCCall *call = rpc.call("a");
    rpc.serializeOutgoingRequest(&context);
    QSignalSpy spy(call, &Request::finished);
    for (int i = 0; i < times; ++i)
        context.requestFinished(Error(31, QStringLiteral("transport")));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(call->error().code(), 31);
    QCOMPARE(call->error().message(), QStringLiteral("transport"));
    // Still pending until destroyed: dropping again does not finish it again.
    rpc.dropOutgoing(&context, Error(3));
    QCOMPARE(spy.count(), 1);
    delete call;
    QCOMPARE(rpc.incomingContextedResponse("{}", &context), false);
}

void tst_JsonRPC::callDestroyedWhilePending()
{
    JsonRPC rpc;
    Request context;
    JsonRPCCall *call = rpc.call("a");
    rpc.serializeOutgoingRequest(&context);
    delete call;
    QCOMPARE(rpc.incomingContextedResponse(R"({"jsonrpc":"2.0","id":1,"result":1})", &context), false);
    JsonRPCCall *watched = rpc.call("b");
    rpc.serializeOutgoingRequest(nullptr);
    RequestManager::instance()->drop(watched);
    QCOMPARE(rpc.incomingResponse(R"({"jsonrpc":"2.0","id":2,"result":1})"), false);
}

void tst_JsonRPC::callDestroyedWhileQueued()
{
    JsonRPC rpc;
    JsonRPCCall *gone = rpc.call("a");
    rpc.call("b");
    delete gone;
    QCOMPARE(rpc.serializeOutgoingRequest(nullptr),
             QStringLiteral("{\"id\":2,\"jsonrpc\":\"2.0\",\"method\":\"b\"}"));
}

void tst_JsonRPC::contextDestroyed()
{
    JsonRPC rpc;
    auto *context = new Request;
    JsonRPCCall *call = rpc.call("a");
    rpc.serializeOutgoingRequest(context);
    delete context;
    QVERIFY(!call->parentRequest());
    delete call;
    auto *next = new Request;
    JsonRPCCall *second = rpc.call("b");
    rpc.serializeOutgoingRequest(next);
    QVERIFY(rpc.incomingContextedResponse(R"({"jsonrpc":"2.0","id":2,"result":1})", next));
    QCOMPARE(second->result(), QVariant(1));
    delete next;
    delete second;
}

void tst_JsonRPC::dropAll()
{
    JsonRPC rpc;
    Request context;
    JsonRPCCall *a = rpc.call("a");
    rpc.serializeOutgoingRequest(&context);
    JsonRPCCall *b = rpc.call("b");
    b->setAutoDelete(false);
    rpc.serializeOutgoingRequest(nullptr);
    JsonRPCCall *queued = rpc.call("c");
    rpc.dropAllOutgoing(Error(3));
    QCOMPARE(a->error().code(), 3);
    QCOMPARE(b->error().code(), 3);
    QCOMPARE(queued->error().code(), 0); // queued calls are not touched
    delete a;
    delete b;
}

void tst_JsonRPC::engineDestroyedWithQueuedCalls()
{
    auto *rpc = new JsonRPC;
    QPointer<JsonRPCCall> call = rpc->call("a");
    QList<int> codes;
    connect(call.data(), &Request::finished, this,
            [&codes, &call] { codes.append(call->error().code()); });
    delete rpc;
    QVERIFY(codes.isEmpty());
    QTRY_COMPARE(codes, QList<int>{9});
    QTRY_VERIFY(call.isNull());
}

void tst_JsonRPC::engineDestroyedByReceiver()
{
    auto *rpc = new JsonRPC;
    Request context;
    JsonRPCCall *a = rpc->call("a");
    JsonRPCCall *b = rpc->call("b");
    rpc->serializeOutgoingRequest(&context);
    connect(a, &Request::finished, this, [rpc] { delete rpc; });
    QPointer<JsonRPC> watch(rpc);
    rpc->incomingContextedResponse(R"([{"jsonrpc":"2.0","id":1,"result":1},{"jsonrpc":"2.0","id":2,"result":2}])",
                                   &context);
    QVERIFY(watch.isNull());
    QVERIFY(a->isSucceed());
    QCOMPARE(b->error().code(), 0);
    QVERIFY(!b->result().isValid()); // never reached
    delete a;
    delete b;
}

QTEST_GUILESS_MAIN(tst_JsonRPC)
#include "tst_jsonrpc.moc"

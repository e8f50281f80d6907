#include "jsonrpccall.h"

#include <QtTest>

class tst_JsonRPCCall : public QObject
{
    Q_OBJECT

private slots:
    void stringify_data();
    void stringify();
    void setRpcError_data();
    void setRpcError();
    void finishesOnce_data();
    void finishesOnce();
    void responseStringify_data();
    void responseStringify();
    void responseFromError();
    void deferredResponse_data();
    void deferredResponse();
    void deferredResponseCountsOnce();
};

void tst_JsonRPCCall::stringify_data()
{
    QTest::addColumn<quint32>("id");
    QTest::addColumn<QVariantList>("params");
    QTest::addColumn<QString>("text");

    QTest::newRow("call") << 7u << QVariantList{12, true}
                          << QStringLiteral("{\"id\":7,\"jsonrpc\":\"2.0\",\"method\":\"setFilterCat\",\"params\":[12,true]}");
    QTest::newRow("notification") << 0u << QVariantList{QStringLiteral("a/b")}
                                  << QStringLiteral("{\"jsonrpc\":\"2.0\",\"method\":\"setFilterCat\",\"params\":[\"a\\/b\"]}");
    QTest::newRow("no params") << 4294967295u << QVariantList()
                               << QStringLiteral("{\"id\":4294967295,\"jsonrpc\":\"2.0\",\"method\":\"setFilterCat\"}");
}

void tst_JsonRPCCall::stringify()
{
    QFETCH(quint32, id);
    QFETCH(QVariantList, params);
    QFETCH(QString, text);
    JsonRPCCall call(id, "setFilterCat", params);
    QCOMPARE(call.isNotification(), id == 0);
    QCOMPARE(call.method(), QStringLiteral("setFilterCat"));
    QCOMPARE(call.stringify(), text);
}

void tst_JsonRPCCall::setRpcError_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("errorCode");
    QTest::addColumn<QString>("errorMessage");

    QTest::newRow("standard negative") << -32601 << QStringLiteral("peer text") << 9
                                       << QStringLiteral("Server returned JSON-RPC error -32601: Method not found");
    QTest::newRow("other negative") << -5 << QStringLiteral("peer text") << 9
                                    << QStringLiteral("Server returned JSON-RPC error -5: ");
    QTest::newRow("positive keeps peer's") << 33 << QStringLiteral("Registration refused") << 33
                                           << QStringLiteral("Registration refused");
    QTest::newRow("zero") << 0 << QStringLiteral("odd") << 0 << QStringLiteral("odd");
}

void tst_JsonRPCCall::setRpcError()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(int, errorCode);
    QFETCH(QString, errorMessage);

    JsonRPCCall call(1, "m", {});
    QSignalSpy spy(&call, &Request::finished);
    call.setRpcError(JsonRPCError(qint16(code), message));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(call.error().code(), errorCode);
    QCOMPARE(call.error().message(), errorMessage);
    QCOMPARE(int(call.rpcError().code()), code);
    QCOMPARE(call.rpcError().message(), message);
}

void tst_JsonRPCCall::finishesOnce_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    // 0 result, 1 rpc error, 2 abort, 3 time-out through requestFinished
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b)
            QTest::addRow("%d-then-%d", a, b) << a << b;
}

void tst_JsonRPCCall::finishesOnce()
{
    QFETCH(int, first);
    QFETCH(int, second);
    JsonRPCCall call(1, "m", {});
    QSignalSpy spy(&call, &Request::finished);
    auto finish = [&call](int how) {
        switch (how) {
        case 0: call.setResult(how + 100); break;
        case 1: call.setRpcError(JsonRPCError(5, QStringLiteral("e"))); break;
        case 2: call.abort(Error(31, QStringLiteral("transport"))); break;
        default: call.requestFinished(Error(2)); break;
        }
    };
    finish(first);
    const int code = call.error().code();
    finish(second);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(call.error().code(), code);
    const int expected[] = {0, 5, 31, 2};
    QCOMPARE(code, expected[first]);
    QCOMPARE(call.result(), first == 0 ? QVariant(100) : QVariant());
}

void tst_JsonRPCCall::responseStringify_data()
{
    QTest::addColumn<QVariant>("id");
    QTest::addColumn<bool>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("result") << QVariant(3) << false
                            << QStringLiteral("{\"id\":3,\"jsonrpc\":\"2.0\",\"result\":[1]}");
    QTest::newRow("error with null id")
            << QVariant() << true
            << QStringLiteral("{\"id\":null,\"jsonrpc\":\"2.0\",\"error\":{\"code\":-32601,\"message\":\"Method not found\"}}");
    QTest::newRow("string id") << QVariant(QStringLiteral("7")) << false
                               << QStringLiteral("{\"id\":\"7\",\"jsonrpc\":\"2.0\",\"result\":[1]}");
}

void tst_JsonRPCCall::responseStringify()
{
    QFETCH(QVariant, id);
    QFETCH(bool, error);
    QFETCH(QString, text);
    JsonRPCCallResponse *response = error
            ? new JsonRPCCallResponse(JsonRPCError(JsonRPCError::MethodNotFound, QString()))
            : new JsonRPCCallResponse(QVariant(QVariantList{1}));
    response->setId(id);
    response->setVersion(QStringLiteral("1.0")); // kept, not written
    QCOMPARE(response->stringify(), text);
    delete response;
}

void tst_JsonRPCCall::responseFromError()
{
    const JsonRPCCallResponse success{Error()};
    QVERIFY(!success.isError());
    QVERIFY(!success.result().isValid());
    const JsonRPCCallResponse failure{Error(7, QStringLiteral("seven"))};
    QVERIFY(failure.isError());
    QCOMPARE(int(failure.error().code()), 7);
    QCOMPARE(failure.error().message(), QStringLiteral("seven"));
}

void tst_JsonRPCCall::deferredResponse_data()
{
    QTest::addColumn<bool>("firedBefore");
    QTest::addColumn<bool>("fail");
    QTest::newRow("pending then result") << false << false;
    QTest::newRow("pending then error") << false << true;
    QTest::newRow("already succeeded") << true << false;
    QTest::newRow("already failed") << true << true;
}

void tst_JsonRPCCall::deferredResponse()
{
    QFETCH(bool, firedBefore);
    QFETCH(bool, fail);
    Deferred deferred;
    auto fire = [&] {
        if (fail)
            deferred.errback(Error(4, QStringLiteral("four")));
        else
            deferred.callback(QStringLiteral("done"));
    };
    if (firedBefore)
        fire();
    JsonRPCCallResponse response(deferred);
    QSignalSpy spy(&response, &JsonRPCCallResponse::ready);
    QCOMPARE(response.isDeferred(), !firedBefore);
    if (!firedBefore) {
        fire();
        QCOMPARE(spy.count(), 1);
    }
    QVERIFY(!response.isDeferred());
    QCOMPARE(response.isError(), fail);
    if (fail)
        QCOMPARE(int(response.error().code()), 4);
    else
        QCOMPARE(response.result(), QVariant(QStringLiteral("done")));
    fire(); // a second firing changes nothing
    QCOMPARE(spy.count(), firedBefore ? 0 : 1);
}

void tst_JsonRPCCall::deferredResponseCountsOnce()
{
    Deferred a, b;
    auto *ra = new JsonRPCCallResponse(a);
    auto *rb = new JsonRPCCallResponse(b);
    auto *rc = new JsonRPCCallResponse(QVariant(1));
    DeferredResponse waiting({ra, rb, rc}, true);
    QSignalSpy spy(&waiting, &DeferredResponse::ready);
    QCOMPARE(waiting.waiting(), 2);
    QCOMPARE(ra->parent(), &waiting);
    a.callback(1);
    a.callback(2);
    QCOMPARE(waiting.waiting(), 1);
    QCOMPARE(spy.count(), 0);
    b.errback(Error(1));
    QCOMPARE(spy.count(), 1);
    b.errback(Error(1));
    QCOMPARE(spy.count(), 1);
}

QTEST_GUILESS_MAIN(tst_JsonRPCCall)
#include "tst_jsonrpccall.moc"

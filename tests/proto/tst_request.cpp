#include "request.h"

#include <QtTest>

class Receiver : public QObject
{
    Q_OBJECT

public:
    QVariantList results;
    QList<Error> errors;

public slots:
    void resultReady(const QVariant &result) { results.append(result); }
    void errorReady(const Error &error) { errors.append(error); }
};

class tst_Request : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void requestFinished_data();
    void requestFinished();
    void deferred_data();
    void deferred();
    void deferredEachCallNew();
};

void tst_Request::defaults()
{
    Request request;
    QCOMPARE(request.state(), Request::Pending);
    QVERIFY(!request.isFinished());
    QVERIFY(request.autoDelete());
    QCOMPARE(request.timeout(), quint16(0));
    QCOMPARE(request.error().code(), 0);
    QVERIFY(request.error().message().isEmpty());
    QVERIFY(request.isSucceed());

    request.setAutoDelete(false);
    request.setTimeout(10);
    request.setState(Request::Finished);
    QVERIFY(!request.autoDelete());
    QCOMPARE(request.timeout(), quint16(10));
    QVERIFY(request.isFinished());
}

void tst_Request::requestFinished_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("success") << 0 << QString();
    QTest::newRow("failure") << 31 << QStringLiteral("transport");
}

void tst_Request::requestFinished()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    Request request;
    QSignalSpy spy(&request, &Request::finished);
    request.requestFinished(Error(code, message));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(request.error().code(), code);
    QCOMPARE(request.error().message(), message);
    QCOMPARE(request.isSucceed(), code == 0);
    // Only the request manager moves the state.
    QCOMPARE(request.state(), Request::Pending);
}

void tst_Request::deferred_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("success fires the callback with null") << 0;
    QTest::newRow("failure fires the errback") << 3;
}

void tst_Request::deferred()
{
    QFETCH(int, code);
    Request request;
    Deferred deferred = request.deferred();
    Receiver receiver;
    deferred.addCallback(&receiver, SLOT(resultReady(QVariant)));
    deferred.addErrback(&receiver, SLOT(errorReady(Error)));
    QVERIFY(!deferred.isFired());

    request.requestFinished(Error(code, QStringLiteral("m")));
    QVERIFY(deferred.isFired());
    if (code == 0) {
        QCOMPARE(receiver.results.size(), 1);
        QVERIFY(!receiver.results.first().isValid());
        QCOMPARE(receiver.errors.size(), 0);
    } else {
        QCOMPARE(receiver.results.size(), 0);
        QCOMPARE(receiver.errors.size(), 1);
        QCOMPARE(receiver.errors.first().code(), code);
        QCOMPARE(receiver.errors.first().message(), QStringLiteral("m"));
    }
}

void tst_Request::deferredEachCallNew()
{
    Request request;
    const Deferred a = request.deferred();
    const Deferred b = request.deferred();
    QVERIFY(a != b);
    QCOMPARE(request.findChildren<DeferredRequestError *>().size(), 2);
    request.requestFinished(Error());
    QVERIFY(a.isFired());
    QVERIFY(b.isFired());
}

QTEST_GUILESS_MAIN(tst_Request)
#include "tst_request.moc"

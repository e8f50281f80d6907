#include "deferred.h"

#include <QtTest>

// Records every call of its slots.
class Receiver : public QObject
{
    Q_OBJECT

public:
    QVariantList results;
    QList<Error> errors;
    int plainCalls = 0;
    Deferred *dropOnCallback = nullptr;

public slots:
    void resultReady(const QVariant &result)
    {
        results.append(result);
        if (dropOnCallback) {
            delete dropOnCallback;
            dropOnCallback = nullptr;
        }
    }
    void errorReady(const Error &error) { errors.append(error); }
    void done() { ++plainCalls; }
    void wrongType(int) { ++plainCalls; }
};

class tst_Deferred : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerDeferredMetaType(); }
    void beforeFiring_data();
    void beforeFiring();
    void afterFiring_data();
    void afterFiring();
    void unknownSlotAfterFiring_data();
    void unknownSlotAfterFiring();
    void copiesShareState();
    void firingTwiceEmitsTwice();
    void lastHandleDroppedInSlot();
    void metaType();
};

void tst_Deferred::beforeFiring_data()
{
    QTest::addColumn<bool>("fail");
    QTest::newRow("callback") << false;
    QTest::newRow("errback") << true;
}

void tst_Deferred::beforeFiring()
{
    QFETCH(bool, fail);
    Deferred deferred;
    Receiver receiver;
    deferred.addCallback(&receiver, SLOT(resultReady(QVariant)));
    deferred.addErrback(&receiver, SLOT(errorReady(Error)));
    deferred.addCallback(&receiver, SLOT(done()));
    QVERIFY(!deferred.isFired());
    QCOMPARE(receiver.results.size(), 0);

    if (fail)
        deferred.errback(Error(7, QStringLiteral("bad")));
    else
        deferred.callback(QStringLiteral("ok"));

    QVERIFY(deferred.isFired());
    QCOMPARE(deferred.isFailed(), fail);
    QCOMPARE(receiver.results, fail ? QVariantList() : QVariantList{QStringLiteral("ok")});
    QCOMPARE(receiver.errors.size(), fail ? 1 : 0);
    QCOMPARE(receiver.plainCalls, fail ? 0 : 1);
    if (fail) {
        QCOMPARE(receiver.errors.first().code(), 7);
        QCOMPARE(receiver.errors.first().message(), QStringLiteral("bad"));
        QCOMPARE(deferred.error().code(), 7);
    } else {
        QCOMPARE(deferred.result(), QVariant(QStringLiteral("ok")));
    }
}

void tst_Deferred::afterFiring_data()
{
    QTest::addColumn<bool>("fail");
    QTest::addColumn<bool>("addErrback");
    QTest::addColumn<int>("results");
    QTest::addColumn<int>("errors");

    QTest::newRow("succeeded, callback runs at once") << false << false << 1 << 0;
    QTest::newRow("succeeded, errback does nothing") << false << true << 0 << 0;
    QTest::newRow("failed, callback does nothing") << true << false << 0 << 0;
    QTest::newRow("failed, errback runs at once") << true << true << 0 << 1;
}

void tst_Deferred::afterFiring()
{
    QFETCH(bool, fail);
    QFETCH(bool, addErrback);
    QFETCH(int, results);
    QFETCH(int, errors);

    Deferred deferred;
    if (fail)
        deferred.errback(Error(4, QStringLiteral("stored")));
    else
        deferred.callback(42);

    Receiver receiver;
    if (addErrback)
        deferred.addErrback(&receiver, SLOT(errorReady(Error)));
    else
        deferred.addCallback(&receiver, SLOT(resultReady(QVariant)));

    QCOMPARE(receiver.results.size(), results);
    QCOMPARE(receiver.errors.size(), errors);
    if (results)
        QCOMPARE(receiver.results.first(), QVariant(42));
    if (errors) {
        QCOMPARE(receiver.errors.first().code(), 4);
        QCOMPARE(receiver.errors.first().message(), QStringLiteral("stored"));
    }
}

void tst_Deferred::unknownSlotAfterFiring_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::newRow("missing") << QByteArray(SLOT(nothingLikeThis(QVariant)));
    QTest::newRow("argument of another type") << QByteArray(SLOT(wrongType(int)));
}

void tst_Deferred::unknownSlotAfterFiring()
{
    QFETCH(QByteArray, slot);
    Deferred deferred;
    deferred.callback(1);
    Receiver receiver;
    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable(QStringLiteral("failed to find slot ") + QString::fromLatin1(slot)));
    deferred.addCallback(&receiver, slot.constData());
    QCOMPARE(receiver.plainCalls, 0);
    QCOMPARE(receiver.results.size(), 0);
}

void tst_Deferred::copiesShareState()
{
    Deferred a;
    Deferred b(a);
    Deferred c;
    QVERIFY(a == b);
    QVERIFY(a != c);
    c = b;
    c = c;
    QVERIFY(c == a);

    Receiver receiver;
    a.addCallback(&receiver, SLOT(resultReady(QVariant)));
    c.callback(QStringLiteral("shared"));
    QVERIFY(a.isFired());
    QCOMPARE(b.result(), QVariant(QStringLiteral("shared")));
    QCOMPARE(receiver.results, QVariantList{QStringLiteral("shared")});
}

void tst_Deferred::firingTwiceEmitsTwice()
{
    Deferred deferred;
    Receiver receiver;
    deferred.addCallback(&receiver, SLOT(resultReady(QVariant)));
    deferred.callback(1);
    deferred.callback(2);
    QCOMPARE(receiver.results, (QVariantList{1, 2}));
    QCOMPARE(deferred.result(), QVariant(2));
}

// The receiver drops the only other handle while the signal runs.
void tst_Deferred::lastHandleDroppedInSlot()
{
    auto *owned = new Deferred;
    Receiver receiver;
    owned->addCallback(&receiver, SLOT(resultReady(QVariant)));
    Deferred firing(*owned);
    receiver.dropOnCallback = owned;
    firing.callback(5);
    QCOMPARE(receiver.results, QVariantList{5});
    QVERIFY(firing.isFired());
}

void tst_Deferred::metaType()
{
    const int id = registerDeferredMetaType();
    QCOMPARE(registerDeferredMetaType(), id);
    QCOMPARE(QMetaType::type("Deferred"), id);
    Deferred d;
    const QVariant v = QVariant::fromValue(d);
    QCOMPARE(v.userType(), id);
    QVERIFY(v.value<Deferred>() == d);
}

QTEST_GUILESS_MAIN(tst_Deferred)
#include "tst_deferred.moc"

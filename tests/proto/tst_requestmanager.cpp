#include "request.h"
#include "requestmanager.h"
#include "testhooks.h"

#include <QtTest>

namespace {

qint64 fakeNow = 0;
qint64 fakeClock()
{
    return fakeNow;
}

// A request that records every finish and may translate the time-out, as subclasses do.
class Probe : public Request
{
    Q_OBJECT

public:
    explicit Probe(const QString &name, QStringList *log)
        : m_name(name)
        , m_log(log)
    {
    }
    void requestFinished(const Error &error) override
    {
        m_log->append(QStringLiteral("%1:%2@%3").arg(m_name).arg(error.code()).arg(fakeNow));
        Request::requestFinished(error);
    }

private:
    QString m_name;
    QStringList *m_log;
};

} // namespace

class tst_RequestManager : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void ownTimeoutWins_data();
    void ownTimeoutWins();
    void timerNotShortenedOnInsert();
    void removalOfEarliest_data();
    void removalOfEarliest();
    void removalWhileTimerStandsLate();
    void normalFinish_data();
    void normalFinish();
    void destroyedWhileWatched();
    void insertedTwiceThenDeleted();
    void requestsInDeadlineOrder();
    void drop();
    void clockJump_data();
    void clockJump();
    void expiryMayDeleteOthers();
    void realTimer();

private:
    QTimer *timer() const { return RequestManager::instance()->findChild<QTimer *>(); }
    void fireTimer();
    Probe *probe(const QString &name, unsigned short ownTimeout = 0);

    QStringList m_log;
    QList<QPointer<Request>> m_created;
};

void tst_RequestManager::initTestCase()
{
    QVERIFY(timer());
}

void tst_RequestManager::init()
{
    fakeNow = 1000000;
    TestHooks::setMonotonicTimeSource(&fakeClock);
    m_log.clear();
}

void tst_RequestManager::cleanup()
{
    for (const QPointer<Request> &r : qAsConst(m_created))
        delete r.data();
    m_created.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(RequestManager::instance()->requests().size(), 0);
    QVERIFY(!timer()->isActive());
    TestHooks::setMonotonicTimeSource(nullptr);
}

// Runs the expiry as the timer would when it fires (the test clock, not real time, decides
// what is due).
void tst_RequestManager::fireTimer()
{
    timer()->stop();
    QVERIFY(QMetaObject::invokeMethod(timer(), "timeout"));
}

Probe *tst_RequestManager::probe(const QString &name, unsigned short ownTimeout)
{
    auto *p = new Probe(name, &m_log);
    p->setTimeout(ownTimeout);
    m_created.append(p);
    return p;
}

void tst_RequestManager::ownTimeoutWins_data()
{
    QTest::addColumn<int>("own");
    QTest::addColumn<int>("given");
    QTest::addColumn<int>("expiresAt");
    QTest::newRow("own 10 over given 30") << 10 << 30 << 10;
    QTest::newRow("own 0 takes given 30") << 0 << 30 << 30;
    QTest::newRow("both 0 expires at once") << 0 << 0 << 0;
}

void tst_RequestManager::ownTimeoutWins()
{
    QFETCH(int, own);
    QFETCH(int, given);
    QFETCH(int, expiresAt);

    Probe *r = probe(QStringLiteral("r"), quint16(own));
    RequestManager::instance()->insert(r, quint16(given));
    QVERIFY(timer()->isActive());
    QCOMPARE(timer()->interval(), expiresAt * 1000);

    if (expiresAt > 0) {
        fakeNow += expiresAt * 1000 - 1;
        fireTimer();
        QVERIFY(m_log.isEmpty());
        QVERIFY(timer()->isActive());
        QCOMPARE(timer()->interval(), 1); // re-armed for the rest
        fakeNow += 1;
    }
    fireTimer();
    QCOMPARE(m_log, QStringList{QStringLiteral("r:2@%1").arg(fakeNow)});
    QCOMPARE(r->error().code(), 2);
    QVERIFY(r->error().message().isEmpty());
    QCOMPARE(r->state(), Request::Finished);
    QVERIFY(!timer()->isActive());
}

void tst_RequestManager::timerNotShortenedOnInsert()
{
    Probe *slow = probe(QStringLiteral("slow"));
    Probe *quick = probe(QStringLiteral("quick"));
    RequestManager::instance()->insert(slow, 30);
    RequestManager::instance()->insert(quick, 5);
    QCOMPARE(timer()->interval(), 30000);

    fakeNow += 30000;
    fireTimer();
    // Both due when the timer fires at 30 s; the earlier deadline goes first.
    QCOMPARE(m_log, (QStringList{QStringLiteral("quick:2@1030000"),
                                 QStringLiteral("slow:2@1030000")}));
}

void tst_RequestManager::removalOfEarliest_data()
{
    QTest::addColumn<int>("finishAt");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<int>("rearmedFor");
    QTest::newRow("re-arms for the next deadline")
            << 2000 << QStringList{QStringLiteral("first:0@1002000")} << 4000;
    QTest::newRow("expires the next at once when due")
            << 7000
            << QStringList{QStringLiteral("first:0@1007000"), QStringLiteral("second:2@1007000")}
            << -1;
}

void tst_RequestManager::removalOfEarliest()
{
    QFETCH(int, finishAt);
    QFETCH(QStringList, log);
    QFETCH(int, rearmedFor);

    Probe *first = probe(QStringLiteral("first"));
    Probe *second = probe(QStringLiteral("second"));
    RequestManager::instance()->insert(first, 5);
    RequestManager::instance()->insert(second, 6);
    QCOMPARE(timer()->interval(), 5000);

    fakeNow += finishAt;
    first->requestFinished(Error());
    QCOMPARE(m_log, log);
    QCOMPARE(timer()->isActive(), rearmedFor >= 0);
    if (rearmedFor >= 0)
        QCOMPARE(timer()->interval(), rearmedFor);
}

// The 30 s request was inserted first, so the timer stands at 30 s although a 5 s request
// waits; when the 30 s one finishes on its own the timer moves to the 5 s deadline.
void tst_RequestManager::removalWhileTimerStandsLate()
{
    Probe *slow = probe(QStringLiteral("slow"));
    Probe *quick = probe(QStringLiteral("quick"));
    Probe *late = probe(QStringLiteral("late"));
    RequestManager::instance()->insert(slow, 30);
    RequestManager::instance()->insert(quick, 5);
    RequestManager::instance()->insert(late, 60);

    fakeNow += 3000;
    slow->requestFinished(Error());
    QVERIFY(timer()->isActive());
    QCOMPARE(timer()->interval(), 2000);

    fakeNow += 4000;
    late->requestFinished(Error(1, QStringLiteral("x")));
    // The earliest (quick) stays and the timer already stands for it: nothing expires.
    QCOMPARE(m_log, (QStringList{QStringLiteral("slow:0@1003000"), QStringLiteral("late:1@1007000")}));
    fireTimer();
    QCOMPARE(m_log.last(), QStringLiteral("quick:2@1007000"));
}

void tst_RequestManager::normalFinish_data()
{
    QTest::addColumn<bool>("autoDelete");
    QTest::newRow("auto-delete on") << true;
    QTest::newRow("auto-delete off") << false;
}

void tst_RequestManager::normalFinish()
{
    QFETCH(bool, autoDelete);
    Probe *r = probe(QStringLiteral("r"));
    r->setAutoDelete(autoDelete);
    QPointer<Request> watch(r);
    RequestManager::instance()->insert(r, 30);

    r->requestFinished(Error());
    QCOMPARE(RequestManager::instance()->requests().size(), 0);
    QVERIFY(!timer()->isActive());
    QCOMPARE(r->state(), Request::Finished);
    QVERIFY(watch); // deletion goes through the event loop
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(watch.isNull(), autoDelete);

    // A second finish no longer reaches the manager.
    if (watch) {
        watch->requestFinished(Error(5));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(watch);
    }
}

void tst_RequestManager::destroyedWhileWatched()
{
    Probe *r = probe(QStringLiteral("r"));
    RequestManager::instance()->insert(r, 10);
    delete r;
    QCOMPARE(RequestManager::instance()->requests().size(), 0);
    QVERIFY(!timer()->isActive());
    QVERIFY(m_log.isEmpty());
}

// A request inserted twice stands in the queue twice; after it finished and is gone the
// old entry must not be expired through a dangling pointer.
void tst_RequestManager::insertedTwiceThenDeleted()
{
    Probe *r = probe(QStringLiteral("r"));
    Probe *other = probe(QStringLiteral("other"));
    RequestManager::instance()->insert(r, 10);
    RequestManager::instance()->insert(other, 20);
    RequestManager::instance()->insert(r, 30);
    QCOMPARE(RequestManager::instance()->requests(), (QList<Request *>{r, other}));
    r->setAutoDelete(false);
    r->requestFinished(Error());
    delete r;
    fakeNow += 20000;
    fireTimer();
    QCOMPARE(m_log, (QStringList{QStringLiteral("r:0@1000000"), QStringLiteral("other:2@1020000")}));
}

void tst_RequestManager::requestsInDeadlineOrder()
{
    Probe *a = probe(QStringLiteral("a"));
    Probe *b = probe(QStringLiteral("b"));
    Probe *c = probe(QStringLiteral("c"), 1);
    RequestManager::instance()->insert(a, 20);
    RequestManager::instance()->insert(b, 10);
    RequestManager::instance()->insert(c, 30);
    QCOMPARE(RequestManager::instance()->requests(), (QList<Request *>{c, b, a}));
}

void tst_RequestManager::drop()
{
    RequestManager::instance()->drop(nullptr);
    Probe *r = probe(QStringLiteral("r"));
    QPointer<Request> watch(r);
    RequestManager::instance()->insert(r, 10);
    RequestManager::instance()->drop(r);
    QVERIFY(watch.isNull());
    QCOMPARE(RequestManager::instance()->requests().size(), 0);
    QVERIFY(m_log.isEmpty());
}

void tst_RequestManager::clockJump_data()
{
    QTest::addColumn<qint64>("jump");
    QTest::addColumn<bool>("expired");
    QTest::newRow("forward: expires early") << qint64(3600 * 1000) << true;
    QTest::newRow("backward: later") << qint64(-3600 * 1000) << false;
}

void tst_RequestManager::clockJump()
{
    QFETCH(qint64, jump);
    QFETCH(bool, expired);
    Probe *r = probe(QStringLiteral("r"));
    RequestManager::instance()->insert(r, 10);
    fakeNow += 1000 + jump; // one second of real time, and a clock change
    fireTimer();
    QCOMPARE(m_log.size(), expired ? 1 : 0);
    if (!expired)
        QCOMPARE(timer()->interval(), int(9000 - jump));
}

void tst_RequestManager::expiryMayDeleteOthers()
{
    Probe *a = probe(QStringLiteral("a"));
    Probe *b = probe(QStringLiteral("b"));
    Probe *c = probe(QStringLiteral("c"));
    connect(a, &Request::finished, this, [b] { delete b; });
    RequestManager::instance()->insert(a, 1);
    RequestManager::instance()->insert(b, 1);
    RequestManager::instance()->insert(c, 2);
    fakeNow += 1000;
    fireTimer();
    QCOMPARE(m_log, QStringList{QStringLiteral("a:2@1001000")});
    QCOMPARE(RequestManager::instance()->requests(), QList<Request *>{c});
    QCOMPARE(timer()->interval(), 1000);
}

void tst_RequestManager::realTimer()
{
    TestHooks::setMonotonicTimeSource(nullptr);
    Probe *r = probe(QStringLiteral("r"));
    QSignalSpy spy(r, &Request::finished);
    RequestManager::instance()->insert(r, 1);
    QVERIFY(spy.wait(5000));
    QCOMPARE(r->error().code(), 2);
}

QTEST_GUILESS_MAIN(tst_RequestManager)
#include "tst_requestmanager.moc"

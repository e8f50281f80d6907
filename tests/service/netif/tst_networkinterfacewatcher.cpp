// The watcher against the real kernel, in a private network namespace of the test's own
// (needs root; this kernel has no dummy driver, so the links are veth pairs).
#include "networkinterfacewatcher.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <sched.h>
#include <unistd.h>

namespace {

bool ip(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("ip"), arguments) == 0;
}

} // namespace

class tst_NetworkInterfaceWatcher : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void oneSignalPerArming_data();
    void oneSignalPerArming();
    void armingTwiceArmsOnce();
    void stopDisarms();

private:
    int m_link = 0;
};

void tst_NetworkInterfaceWatcher::initTestCase()
{
    if (::geteuid() != 0)
        QSKIP("needs root for a private network namespace");
    QVERIFY2(::unshare(CLONE_NEWNET) == 0, "unshare(CLONE_NEWNET) failed");
    QVERIFY(ip({ QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"), QStringLiteral("up") }));
}

// A fresh veth pair for every case, both ends down.
void tst_NetworkInterfaceWatcher::init()
{
    ++m_link;
    const QString name = QStringLiteral("w%1").arg(m_link);
    QVERIFY(ip({ QStringLiteral("link"), QStringLiteral("add"), name, QStringLiteral("type"), QStringLiteral("veth"),
                 QStringLiteral("peer"), QStringLiteral("name"), name + QLatin1Char('p') }));
}

void tst_NetworkInterfaceWatcher::oneSignalPerArming_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("a link goes up") << QStringLiteral("up");
    QTest::newRow("an address is added") << QStringLiteral("address");
}

void tst_NetworkInterfaceWatcher::oneSignalPerArming()
{
    QFETCH(QString, change);
    const QString name = QStringLiteral("w%1").arg(m_link);
    NetworkInterfaceWatcher watcher;
    QSignalSpy changed(&watcher, &NetworkInterfaceWatcher::interfacesChanged);
    QVERIFY(watcher.start());
    if (change == QLatin1String("up"))
        QVERIFY(ip({ QStringLiteral("link"), QStringLiteral("set"), name, QStringLiteral("up") }));
    else
        QVERIFY(ip({ QStringLiteral("address"), QStringLiteral("add"), QStringLiteral("10.77.%1.1/24").arg(m_link),
                     QStringLiteral("dev"), name }));
    QVERIFY(changed.wait(5000));
    QVERIFY(!watcher.isArmed());

    // Disarmed: a further change is held back, however long the receiver takes...
    QVERIFY(ip({ QStringLiteral("link"), QStringLiteral("set"), name + QLatin1Char('p'), QStringLiteral("up") }));
    QTest::qWait(300);
    QCOMPARE(changed.count(), 1);
    // ...and reported once it re-arms, not lost.
    QVERIFY(watcher.start());
    QVERIFY(changed.wait(5000));
    QCOMPARE(changed.count(), 2);
}

void tst_NetworkInterfaceWatcher::armingTwiceArmsOnce()
{
    NetworkInterfaceWatcher watcher;
    QSignalSpy changed(&watcher, &NetworkInterfaceWatcher::interfacesChanged);
    QVERIFY(watcher.start());
    QVERIFY(watcher.start());
    QVERIFY(ip({ QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("w%1").arg(m_link), QStringLiteral("up") }));
    QVERIFY(changed.wait(5000));
    QTest::qWait(300);
    QCOMPARE(changed.count(), 1);
}

void tst_NetworkInterfaceWatcher::stopDisarms()
{
    NetworkInterfaceWatcher watcher;
    QSignalSpy changed(&watcher, &NetworkInterfaceWatcher::interfacesChanged);
    watcher.stop();
    QVERIFY(!watcher.isArmed());
    QVERIFY(watcher.start());
    watcher.stop();
    QVERIFY(!watcher.isArmed());
    QVERIFY(ip({ QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("w%1").arg(m_link), QStringLiteral("up") }));
    QTest::qWait(300);
    QCOMPARE(changed.count(), 0);
}

QTEST_GUILESS_MAIN(tst_NetworkInterfaceWatcher)
#include "tst_networkinterfacewatcher.moc"

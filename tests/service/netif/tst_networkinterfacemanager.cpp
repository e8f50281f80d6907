// The adapter DNS control's rules, on the ini backend (the adapters and their DNS values in a
// scratch file), through the constructor the service uses: CORVANE_DNS_BACKEND selects it.
#include "adapterdnsbackend.h"
#include "inidnsbackend.h"
#include "logcapture.h"
#include "networkinterfacemanager.h"
#include "networkinterfacewatcher.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString Proxy = QStringLiteral("127.0.0.1");
const char AlreadySet[] = "There's an attempt to set a dns address on interfaces when the same is already set.";

struct Adapter
{
    QString name;
    QString friendlyName;
    bool up;
    QString ip4;
    QString ip6;
};

} // namespace

Q_DECLARE_METATYPE(Adapter)

class tst_NetworkInterfaceManager : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void serversTextComesBack_data();
    void serversTextComesBack();
    void switchingOnTwiceChangesNothing();
    void noProtectedAdapterUpWritesNothing_data();
    void noProtectedAdapterUpWritesNothing();
    void backupOfEarlierRunIsPutBack_data();
    void backupOfEarlierRunIsPutBack();
    void protectNetwork_data();
    void protectNetwork();
    void vanishedAdapterGetsItsServersBack();
    void ipv6OfEveryUpAdapter();
    void failedEnumerationKeepsWatching();
    void currentDnsServers_data();
    void currentDnsServers();

private:
    void writeAdapters(const QList<Adapter> &adapters);
    QString nameServer(const QString &adapter, AdapterDnsBackend::Family family) const;
    QByteArray iniBytes() const;

    QString m_ini;
};

void tst_NetworkInterfaceManager::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    qputenv("CORVANE_DNS_BACKEND", "ini");
}

void tst_NetworkInterfaceManager::init()
{
    m_ini = TestSupport::scratchDirectory(QStringLiteral("ini")) + QStringLiteral("/adapters.ini");
    qputenv("CORVANE_DNS_BACKEND_INI", QFile::encodeName(m_ini));
    QSettings().clear();
}

void tst_NetworkInterfaceManager::writeAdapters(const QList<Adapter> &adapters)
{
    QSettings file(m_ini, QSettings::IniFormat);
    file.remove(QStringLiteral("Adapters"));
    for (const Adapter &adapter : adapters) {
        file.setValue(QStringLiteral("Adapters/%1/FriendlyName").arg(adapter.name), adapter.friendlyName);
        file.setValue(QStringLiteral("Adapters/%1/Up").arg(adapter.name), adapter.up);
        if (!adapter.ip4.isNull())
            file.setValue(IniDnsBackend::group(adapter.name, AdapterDnsBackend::IPv4) + QStringLiteral("/NameServer"), adapter.ip4);
        if (!adapter.ip6.isNull())
            file.setValue(IniDnsBackend::group(adapter.name, AdapterDnsBackend::IPv6) + QStringLiteral("/NameServer"), adapter.ip6);
    }
}

QString tst_NetworkInterfaceManager::nameServer(const QString &adapter, AdapterDnsBackend::Family family) const
{
    return IniDnsBackend(m_ini).value(adapter, family, AdapterDnsBackend::NameServer);
}

QByteArray tst_NetworkInterfaceManager::iniBytes() const
{
    QFile file(m_ini);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void tst_NetworkInterfaceManager::serversTextComesBack_data()
{
    QTest::addColumn<QString>("own");
    QTest::newRow("two, space") << QStringLiteral("192.0.2.1 192.0.2.2");
    QTest::newRow("two, comma") << QStringLiteral("192.0.2.1,192.0.2.2");
    QTest::newRow("one") << QStringLiteral("192.0.2.1");
    QTest::newRow("none") << QString();
}

void tst_NetworkInterfaceManager::serversTextComesBack()
{
    QFETCH(QString, own);
    writeAdapters({ { QStringLiteral("eth0"), QStringLiteral("LAN"), true, own, QStringLiteral("2001:db8::1") } });
    NetworkInterfaceManager manager { QHostAddress(Proxy) };
    QCOMPARE(manager.backendName(), QStringLiteral("ini file"));
    QCOMPARE(manager.initialise().code(), 0u);

    manager.setDnsOnInterfaces(true);
    QCOMPARE(nameServer(QStringLiteral("eth0"), AdapterDnsBackend::IPv4), Proxy);
    QCOMPARE(nameServer(QStringLiteral("eth0"), AdapterDnsBackend::IPv6), QStringLiteral("::"));
    // The backup that a crash would leave, in the same form.
    QCOMPARE(QSettings().value(QStringLiteral("interfaces/eth0/Ip4NameServer")).toString(), own);

    manager.setDnsOnInterfaces(false);
    QCOMPARE(nameServer(QStringLiteral("eth0"), AdapterDnsBackend::IPv4), own);
    QCOMPARE(nameServer(QStringLiteral("eth0"), AdapterDnsBackend::IPv6), QStringLiteral("2001:db8::1"));
    QVERIFY(!QSettings().contains(QStringLiteral("interfaces/eth0/Ip4NameServer")));
}

void tst_NetworkInterfaceManager::switchingOnTwiceChangesNothing()
{
    writeAdapters({ { QStringLiteral("eth0"), QStringLiteral("LAN"), true, QStringLiteral("192.0.2.1"), QString() } });
    NetworkInterfaceManager manager { QHostAddress(Proxy) };
    manager.initialise();
    manager.setDnsOnInterfaces(true);
    const QByteArray before = iniBytes();
    const QString backup = QSettings().value(QStringLiteral("interfaces/eth0/Ip4NameServer")).toString();
    LogCapture log;
    manager.setDnsOnInterfaces(true);
    QCOMPARE(log.warnings(), QStringList { QString::fromLatin1(AlreadySet) });
    QCOMPARE(iniBytes(), before);
    QCOMPARE(QSettings().value(QStringLiteral("interfaces/eth0/Ip4NameServer")).toString(), backup);
}

void tst_NetworkInterfaceManager::noProtectedAdapterUpWritesNothing_data()
{
    QTest::addColumn<QList<Adapter>>("adapters");
    QTest::newRow("protected one down") << QList<Adapter> { { QStringLiteral("eth0"), QStringLiteral("LAN"), false, QStringLiteral("192.0.2.1"), QString() },
                                                            { QStringLiteral("wlan0"), QStringLiteral("Cafe"), true, QStringLiteral("192.0.2.2"), QString() } };
    QTest::newRow("no adapters") << QList<Adapter>();
}

void tst_NetworkInterfaceManager::noProtectedAdapterUpWritesNothing()
{
    QFETCH(QList<Adapter>, adapters);
    writeAdapters(adapters);
    QSettings().setValue(QStringLiteral("unprotected-networks"), QStringList { QStringLiteral("wlan0") });
    NetworkInterfaceManager manager { QHostAddress(Proxy) };
    manager.initialise();
    const QByteArray before = iniBytes();
    manager.setDnsOnInterfaces(true);
    QVERIFY(manager.isProtectionOn());
    QCOMPARE(iniBytes(), before);
    QSettings store;
    store.beginGroup(NetworkInterfaceManager::InterfacesGroup);
    QCOMPARE(store.allKeys(), QStringList());
}

void tst_NetworkInterfaceManager::backupOfEarlierRunIsPutBack_data()
{
    QTest::addColumn<bool>("cleanupCommand");
    QTest::newRow("at the next start") << false;
    QTest::newRow("by the cleanup command") << true;
}

void tst_NetworkInterfaceManager::backupOfEarlierRunIsPutBack()
{
    QFETCH(bool, cleanupCommand);
    // What a run that was killed while protection was on leaves behind.
    writeAdapters({ { QStringLiteral("eth0"), QStringLiteral("LAN"), true, Proxy, QStringLiteral("::") } });
    {
        QSettings store;
        store.setValue(QStringLiteral("interfaces/eth0/Ip4NameServer"), QStringLiteral("192.0.2.1 192.0.2.2"));
        store.setValue(QStringLiteral("interfaces/eth0/Ip6NameServer"), QStringLiteral("2001:db8::1"));
    }
    if (cleanupCommand) {
        QCOMPARE(NetworkInterfaceManager::cleanup(), 2);
    } else {
        NetworkInterfaceManager manager { QHostAddress(Proxy) };
        manager.initialise();
    }
    QCOMPARE(nameServer(QStringLiteral("eth0"), AdapterDnsBackend::IPv4), QStringLiteral("192.0.2.1 192.0.2.2"));
    QCOMPARE(nameServer(QStringLiteral("eth0"), AdapterDnsBackend::IPv6), QStringLiteral("2001:db8::1"));
    QVERIFY(!QSettings().childGroups().contains(NetworkInterfaceManager::InterfacesGroup));
}

void tst_NetworkInterfaceManager::protectNetwork_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<bool>("lanProtected");
    QTest::addColumn<bool>("cafeProtected");
    QTest::addColumn<QStringList>("warnings");
    QTest::newRow("empty: all") << QString() << true << true << QStringList();
    QTest::newRow("one by its name") << QStringLiteral("Office LAN") << true << false << QStringList();
    QTest::newRow("no such name: all") << QStringLiteral("Nowhere") << true << true
                                       << QStringList { QStringLiteral("Network connection named Nowhere hasn't been found. "
                                                                       "All available network connections are protected instead.") };
}

void tst_NetworkInterfaceManager::protectNetwork()
{
    QFETCH(QString, wanted);
    QFETCH(bool, lanProtected);
    QFETCH(bool, cafeProtected);
    QFETCH(QStringList, warnings);
    writeAdapters({ { QStringLiteral("eth0"), QStringLiteral("Office LAN"), true, QString(), QString() },
                    { QStringLiteral("wlan0"), QStringLiteral("Cafe"), false, QString(), QString() } });
    QSettings().setValue(QStringLiteral("protect-network"), wanted);
    LogCapture log;
    NetworkInterfaceManager manager { QHostAddress(Proxy) };
    manager.initialise();
    QCOMPARE(log.warnings(), warnings);
    const QList<Network> expected { Network(QStringLiteral("eth0"), QStringLiteral("Office LAN"), lanProtected),
                                    Network(QStringLiteral("wlan0"), QStringLiteral("Cafe"), cafeProtected) };
    QCOMPARE(manager.networksInfo().networks(), expected);
    QCOMPARE(manager.networksInfo().defaultRouteId(), QStringLiteral("eth0"));
    QSettings store;
    QVERIFY(!store.contains(QStringLiteral("protect-network")));
    QCOMPARE(store.value(QStringLiteral("unprotected-networks")).toStringList().contains(QStringLiteral("wlan0")), !cafeProtected);
}

void tst_NetworkInterfaceManager::vanishedAdapterGetsItsServersBack()
{
    writeAdapters({ { QStringLiteral("eth0"), QStringLiteral("LAN"), true, QStringLiteral("192.0.2.1"), QString() },
                    { QStringLiteral("usb0"), QStringLiteral("Phone"), true, QStringLiteral("192.0.2.9"), QString() } });
    NetworkInterfaceManager manager { QHostAddress(Proxy) };
    manager.initialise();
    manager.setDnsOnInterfaces(true);
    QCOMPARE(nameServer(QStringLiteral("usb0"), AdapterDnsBackend::IPv4), Proxy);
    QSignalSpy changed(&manager, &NetworkInterfaceManager::configurationChanged);
    // The phone is unplugged: the ini file's watch reports it like the kernel would.
    writeAdapters({ { QStringLiteral("eth0"), QStringLiteral("LAN"), true, QString(), QString() } });
    QTRY_VERIFY(changed.count() > 0);
    QCOMPARE(nameServer(QStringLiteral("usb0"), AdapterDnsBackend::IPv4), QStringLiteral("192.0.2.9"));
    QCOMPARE(nameServer(QStringLiteral("eth0"), AdapterDnsBackend::IPv4), Proxy);
    QVERIFY(!QSettings().contains(QStringLiteral("interfaces/usb0/Ip4NameServer")));
}

void tst_NetworkInterfaceManager::ipv6OfEveryUpAdapter()
{
    writeAdapters({ { QStringLiteral("eth0"), QStringLiteral("LAN"), true, QStringLiteral("192.0.2.1"), QStringLiteral("2001:db8::1") },
                    { QStringLiteral("wlan0"), QStringLiteral("Cafe"), true, QStringLiteral("192.0.2.2"), QStringLiteral("2001:db8::2") },
                    { QStringLiteral("ppp0"), QStringLiteral("Dial-up"), false, QStringLiteral("192.0.2.3"), QStringLiteral("2001:db8::3") } });
    QSettings().setValue(QStringLiteral("unprotected-networks"), QStringList { QStringLiteral("wlan0") });
    NetworkInterfaceManager manager { QHostAddress(Proxy) };
    manager.initialise();
    manager.setDnsOnInterfaces(true);
    QCOMPARE(nameServer(QStringLiteral("eth0"), AdapterDnsBackend::IPv4), Proxy);
    QCOMPARE(nameServer(QStringLiteral("wlan0"), AdapterDnsBackend::IPv4), QStringLiteral("192.0.2.2"));
    QCOMPARE(nameServer(QStringLiteral("ppp0"), AdapterDnsBackend::IPv4), QStringLiteral("192.0.2.3"));
    QCOMPARE(nameServer(QStringLiteral("eth0"), AdapterDnsBackend::IPv6), QStringLiteral("::"));
    QCOMPARE(nameServer(QStringLiteral("wlan0"), AdapterDnsBackend::IPv6), QStringLiteral("::"));
    QCOMPARE(nameServer(QStringLiteral("ppp0"), AdapterDnsBackend::IPv6), QStringLiteral("2001:db8::3"));
}

// A failed enumeration keeps the adapters as they were and must not end the following of
// changes.
void tst_NetworkInterfaceManager::failedEnumerationKeepsWatching()
{
    writeAdapters({ { QStringLiteral("eth0"), QStringLiteral("LAN"), true, QString(), QString() } });
    NetworkInterfaceManager manager { QHostAddress(Proxy) };
    manager.initialise();
    const NetworksInfo before = manager.networksInfo();
    // As after the watcher reported a change: disarmed until the change is handled.
    manager.watcher()->stop();
    QVERIFY(QFile::remove(m_ini));
    manager.interfacesChanged();
    QCOMPARE(manager.networksInfo(), before);
    QVERIFY(manager.watcher()->isArmed());
}

void tst_NetworkInterfaceManager::currentDnsServers_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("dhcp");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("own servers") << false << QStringLiteral("192.0.2.1 192.0.2.2") << QString()
                                 << QStringList { QStringLiteral("192.0.2.1"), QStringLiteral("192.0.2.2") };
    QTest::newRow("protected: the saved ones") << true << QStringLiteral("192.0.2.1") << QString()
                                               << QStringList { QStringLiteral("192.0.2.1") };
    QTest::newRow("none: those of DHCP") << false << QString() << QStringLiteral("192.0.2.7")
                                         << QStringList { QStringLiteral("192.0.2.7") };
}

void tst_NetworkInterfaceManager::currentDnsServers()
{
    QFETCH(bool, on);
    QFETCH(QString, own);
    QFETCH(QString, dhcp);
    QFETCH(QStringList, expected);
    writeAdapters({ { QStringLiteral("eth1"), QStringLiteral("Down"), false, QStringLiteral("192.0.2.99"), QString() },
                    { QStringLiteral("eth0"), QStringLiteral("LAN"), true, own, QString() } });
    {
        QSettings file(m_ini, QSettings::IniFormat);
        file.setValue(IniDnsBackend::group(QStringLiteral("eth0"), AdapterDnsBackend::IPv4) + QStringLiteral("/DhcpNameServer"), dhcp);
        file.setValue(IniDnsBackend::group(QStringLiteral("eth0"), AdapterDnsBackend::IPv4) + QStringLiteral("/EnableDHCP"), true);
    }
    NetworkInterfaceManager manager { QHostAddress(Proxy) };
    manager.initialise();
    if (on)
        manager.setDnsOnInterfaces(true);
    QCOMPARE(manager.currentDnsServers().toStringList(), expected);
}

QTEST_GUILESS_MAIN(tst_NetworkInterfaceManager)
#include "tst_networkinterfacemanager.moc"

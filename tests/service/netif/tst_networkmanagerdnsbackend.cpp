// The NetworkManager backend against a stand-in NetworkManager (corvane-fake-networkmanager)
// on a private bus, since NetworkManager itself cannot run in a sandbox here. The adapters
// are real: a veth pair in a private network namespace (needs root), named after the
// stand-in's connections.
#include "logcapture.h"
#include "networkinterfacemanager.h"
#include "systembus.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <sched.h>
#include <unistd.h>

namespace {

const QString Proxy = QStringLiteral("127.0.0.1");
const QString Untouched = QStringLiteral("ipv4.dns= ipv4.ignore-auto-dns=no ipv6.dns=2001:db8::1 ipv6.ignore-auto-dns=no addresses=kept");
const QString Ours = QStringLiteral("ipv4.dns=127.0.0.1 ipv4.ignore-auto-dns=yes ipv6.dns= ipv6.ignore-auto-dns=yes addresses=kept");

bool ip(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("ip"), arguments) == 0;
}

QString fake(const QString &method, const QString &device)
{
    const QDBusMessage reply = SystemBus::call(SystemBus::NetworkManagerService, QStringLiteral("/org/freedesktop/NetworkManager/Control"),
            QStringLiteral("org.corvane.FakeNetworkManager"), method, { device });
    return reply.arguments().isEmpty() ? QString() : reply.arguments().constFirst().toString();
}

} // namespace

class tst_NetworkManagerDnsBackend : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void protectAndRestore();
    void reactivatedConnectionGetsItAgain();

private:
    QProcess m_bus;
    QProcess m_networkManager;
};

void tst_NetworkManagerDnsBackend::initTestCase()
{
    if (::geteuid() != 0)
        QSKIP("needs root for a private network namespace");
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        QSKIP("dbus-daemon is missing (Debian package dbus)");
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    QVERIFY(::unshare(CLONE_NEWNET) == 0);
    QVERIFY(ip({ QStringLiteral("link"), QStringLiteral("add"), QStringLiteral("n0"), QStringLiteral("type"), QStringLiteral("veth"),
                 QStringLiteral("peer"), QStringLiteral("name"), QStringLiteral("n1") }));
    QVERIFY(ip({ QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("n0"), QStringLiteral("up") }));
    QVERIFY(ip({ QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("n1"), QStringLiteral("up") }));

    const QString socket = TestSupport::scratchDirectory(QStringLiteral("bus")) + QStringLiteral("/system_bus_socket");
    m_bus.start(QStringLiteral("dbus-daemon"), { QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                                                QStringLiteral("--print-address=1"), QStringLiteral("--address=unix:path=") + socket });
    QVERIFY(m_bus.waitForReadyRead(10000));
    // Before the first use of the system bus, which reads the variable once.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_bus.readLine().trimmed());
    qputenv("CORVANE_DNS_BACKEND", "networkmanager");
}

void tst_NetworkManagerDnsBackend::cleanupTestCase()
{
    m_bus.kill();
    m_bus.waitForFinished();
}

void tst_NetworkManagerDnsBackend::init()
{
    QSettings().clear();
    m_networkManager.setProcessChannelMode(QProcess::ForwardedChannels);
    m_networkManager.start(QStringLiteral(CORVANE_BINARY_DIR "/tests/service/netif/fakenetworkmanager/corvane-fake-networkmanager"),
            { QStringLiteral("n0"), QStringLiteral("n1") });
    QTRY_VERIFY(SystemBus::hasOwner(SystemBus::NetworkManagerService));
}

void tst_NetworkManagerDnsBackend::cleanup()
{
    m_networkManager.kill();
    m_networkManager.waitForFinished();
    QTRY_VERIFY(!SystemBus::hasOwner(SystemBus::NetworkManagerService));
}

void tst_NetworkManagerDnsBackend::protectAndRestore()
{
    NetworkInterfaceManager manager { QHostAddress(Proxy) };
    QCOMPARE(manager.backendName(), QStringLiteral("NetworkManager"));
    manager.initialise();
    const QList<Network> networks { Network(QStringLiteral("n0"), QStringLiteral("Wired 1"), true),
                                    Network(QStringLiteral("n1"), QStringLiteral("Wired 2"), true) };
    QList<Network> listed = manager.networksInfo().networks();
    std::sort(listed.begin(), listed.end(), [](const Network &a, const Network &b) { return a.id() < b.id(); });
    QVERIFY2(listed == networks, qPrintable(manager.networksInfo().toString()));
    // No static servers, DHCP on: the servers NetworkManager learnt.
    QCOMPARE(manager.currentDnsServers().toStringList(), QStringList { QStringLiteral("192.0.2.53") });

    manager.setDnsOnInterfaces(true);
    QCOMPARE(fake(QStringLiteral("Summary"), QStringLiteral("n0")), Ours);
    QCOMPARE(fake(QStringLiteral("Summary"), QStringLiteral("n1")), Ours);
    manager.setDnsOnInterfaces(false);
    QCOMPARE(fake(QStringLiteral("Summary"), QStringLiteral("n0")), Untouched);
    QCOMPARE(fake(QStringLiteral("Summary"), QStringLiteral("n1")), Untouched);
}

void tst_NetworkManagerDnsBackend::reactivatedConnectionGetsItAgain()
{
    NetworkInterfaceManager manager { QHostAddress(Proxy) };
    manager.initialise();
    manager.setDnsOnInterfaces(true);
    LogCapture log;
    fake(QStringLiteral("Reactivate"), QStringLiteral("n0"));
    QTRY_COMPARE(fake(QStringLiteral("Summary"), QStringLiteral("n0")), Ours);
    QVERIFY2(log.warnings().size() == 1 && log.warnings().first().startsWith(QStringLiteral("NetworkManager: the DNS settings of n0")),
            qPrintable(log.dump()));
    manager.setDnsOnInterfaces(false);
    QCOMPARE(fake(QStringLiteral("Summary"), QStringLiteral("n0")), Untouched);
}

QTEST_GUILESS_MAIN(tst_NetworkManagerDnsBackend)
#include "tst_networkmanagerdnsbackend.moc"

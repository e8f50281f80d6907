// The systemd-resolved backend against a real resolved in a sandbox (resolved-sandbox.sh:
// private namespaces and system bus, links d0 and d1, DNS responders that log what they
// see). The program starts itself again inside the sandbox. Lookups go the system's way:
// getaddrinfo, /etc/resolv.conf, resolved's stub, the links' servers. The service's DNS
// proxy listens on 127.0.0.10 and forwards to the responder on 127.0.0.13.
#include "dnsproxy.h"
#include "localanswers.h"
#include "logcapture.h"
#include "networkinterfacemanager.h"
#include "networkinterfacewatcher.h"
#include "resolveddnsbackend.h"
#include "serversmanager.h"
#include "transport.h"

#include "../dns/fakecontext.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>
#include <QtConcurrent>
#include <QtTest>

#include <net/if.h>
#include <unistd.h>

namespace {

const QString Proxy = QStringLiteral("127.0.0.10");

QByteArray log(int responder)
{
    QFile file(qEnvironmentVariable("SANDBOX_LOGS") + QStringLiteral("/responder-%1.log").arg(responder));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool busctl(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("busctl"),
                   QStringList { QStringLiteral("--system"), QStringLiteral("call"), QStringLiteral("org.freedesktop.resolve1"),
                                 QStringLiteral("/org/freedesktop/resolve1"), QStringLiteral("org.freedesktop.resolve1.Manager") }
                           + arguments)
            == 0;
}

QString index(const char *link)
{
    return QString::number(::if_nametoindex(link));
}

// Another program's settings on a link: one server, no domains, as NetworkManager sets them.
bool setLinkServer(const char *link, int last)
{
    return busctl({ QStringLiteral("SetLinkDNS"), QStringLiteral("ia(iay)"), index(link), QStringLiteral("1"), QStringLiteral("2"),
                    QStringLiteral("4"), QStringLiteral("127"), QStringLiteral("0"), QStringLiteral("0"), QString::number(last) })
            && busctl({ QStringLiteral("SetLinkDomains"), QStringLiteral("ia(sb)"), index(link), QStringLiteral("0") });
}

} // namespace

class tst_ResolvedDnsBackend : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyLookupGoesToTheProxy();
    void offPutsEachLinkBackExactly();
    void overwrittenLinkIsWrittenAgain();
    void backupFromBeforeRebootIsDropped();

private:
    // Looks up count fresh names the system's way (on pool threads, so that the proxy on
    // this thread can answer); returns them.
    QStringList lookUp(int count);
    ResolvedDnsBackend *backend() const { return qobject_cast<ResolvedDnsBackend *>(m_manager->backend()); }

    FakeContext m_context;
    DNS::ServersManager *m_servers = nullptr;
    DNSProxy *m_proxy = nullptr;
    NetworkInterfaceManager *m_manager = nullptr;
};

void tst_ResolvedDnsBackend::initTestCase()
{
    const QString unavailable = qEnvironmentVariable("CORVANE_RESOLVED_SANDBOX_UNAVAILABLE");
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no systemd-resolved sandbox: ") + unavailable));
    QVERIFY(qEnvironmentVariableIsSet("CORVANE_IN_RESOLVED_SANDBOX"));
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    m_context.local = DNS::Endpoint(QHostAddress(Proxy), 53);
    m_context.upstream = DNS::Endpoint(QHostAddress(QStringLiteral("127.0.0.13")), 53);
}

void tst_ResolvedDnsBackend::init()
{
    QVERIFY(setLinkServer("d0", 11));
    QVERIFY(setLinkServer("d1", 12));
    QSettings store;
    store.clear();
    // d1 stays the machine's own; the service's "~." on d0 must still draw every lookup.
    store.setValue(QStringLiteral("unprotected-networks"), QStringList { QStringLiteral("d1") });
    store.sync();
    m_servers = new DNS::ServersManager;
    m_proxy = new DNSProxy(&m_context, nullptr, m_servers);
    QVERIFY(m_proxy->start());
    m_manager = new NetworkInterfaceManager(QHostAddress(Proxy));
    QCOMPARE(m_manager->backendName(), QStringLiteral("systemd-resolved"));
    connect(DNS::LocalAnswers::instance(), &DNS::LocalAnswers::probeAnswered, m_manager, &NetworkInterfaceManager::probeSeen);
    QCOMPARE(m_manager->initialise().code(), 0u);
}

void tst_ResolvedDnsBackend::cleanup()
{
    delete m_manager;
    m_manager = nullptr;
    delete m_proxy;
    m_proxy = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT(m_servers->findChildren<DNS::Transport *>().isEmpty(), 15000);
    delete m_servers;
    m_servers = nullptr;
}

QStringList tst_ResolvedDnsBackend::lookUp(int count)
{
    QStringList names;
    QList<QFuture<QString>> lookups;
    for (int i = 0; i < count; ++i) {
        names.append(QStringLiteral("r%1-%2.example.com").arg(QCoreApplication::applicationPid()).arg(QRandomGenerator::global()->generate()));
        lookups.append(QtConcurrent::run(&ProtectionVerifier::systemLookup, names.last()));
    }
    for (const QFuture<QString> &lookup : lookups)
        [&] { QTRY_VERIFY_WITH_TIMEOUT(lookup.isFinished(), 20000); }();
    return names;
}

void tst_ResolvedDnsBackend::everyLookupGoesToTheProxy()
{
    QSignalSpy verified(m_manager, &NetworkInterfaceManager::verificationFinished);
    m_manager->setDnsOnInterfaces(true);
    const QStringList names = lookUp(10);
    for (const QString &name : names) {
        const QByteArray needle = ' ' + name.toLatin1() + ". ";
        QVERIFY2(log(13).contains(needle), qPrintable(name + QStringLiteral(" did not reach the proxy's resolver")));
        QVERIFY2(!log(11).contains(needle) && !log(12).contains(needle), qPrintable(name + QStringLiteral(" went around the proxy")));
    }
    QVERIFY(verified.count() > 0 || verified.wait(10000));
    QVERIFY2(m_manager->lastVerification().passed, qPrintable(m_manager->lastVerification().result));
}

void tst_ResolvedDnsBackend::offPutsEachLinkBackExactly()
{
    // Settings no plain server list can hold: an explicit port and a search domain.
    QVERIFY(busctl({ QStringLiteral("SetLinkDNSEx"), QStringLiteral("ia(iayqs)"), index("d0"), QStringLiteral("1"),
                     QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("127"), QStringLiteral("0"), QStringLiteral("0"),
                     QStringLiteral("11"), QStringLiteral("53"), QString() }));
    QVERIFY(busctl({ QStringLiteral("SetLinkDomains"), QStringLiteral("ia(sb)"), index("d0"), QStringLiteral("1"),
                     QStringLiteral("corp.example"), QStringLiteral("false") }));
    ResolvedDnsBackend::LinkSettings before[2];
    ResolvedDnsBackend::LinkSettings after[2];
    QVERIFY(backend()->readLink(index("d0").toInt(), &before[0]));
    QVERIFY(backend()->readLink(index("d1").toInt(), &before[1]));

    m_manager->setDnsOnInterfaces(true);
    ResolvedDnsBackend::LinkSettings ours;
    QVERIFY(backend()->readLink(index("d0").toInt(), &ours));
    QCOMPARE(ours.servers.size(), 1);
    QCOMPARE(ours.servers.first().hostAddress(), QHostAddress(Proxy));
    QVERIFY(ours.domains.contains({ QStringLiteral("."), true }));
    QVERIFY(ours.defaultRoute);

    m_manager->setDnsOnInterfaces(false);
    QVERIFY(backend()->readLink(index("d0").toInt(), &after[0]));
    QVERIFY(backend()->readLink(index("d1").toInt(), &after[1]));
    for (int i = 0; i < 2; ++i) {
        QVERIFY(after[i].servers == before[i].servers);
        QVERIFY(after[i].domains == before[i].domains);
        QCOMPARE(after[i].defaultRoute, before[i].defaultRoute);
    }
}

void tst_ResolvedDnsBackend::overwrittenLinkIsWrittenAgain()
{
    m_manager->setDnsOnInterfaces(true);
    LogCapture capture;
    // NetworkManager reconfiguring d0: its own server back, our domain gone, and an address
    // change that the watcher reports.
    QVERIFY(setLinkServer("d0", 11));
    QVERIFY(QProcess::execute(QStringLiteral("ip"), { QStringLiteral("address"), QStringLiteral("add"),
                                                      QStringLiteral("10.200.0.3/24"), QStringLiteral("dev"), QStringLiteral("d0") })
            == 0);
    QTRY_VERIFY([&] {
        ResolvedDnsBackend::LinkSettings settings;
        return backend()->readLink(index("d0").toInt(), &settings) && settings.servers.size() == 1
                && settings.servers.first().hostAddress() == QHostAddress(Proxy)
                && settings.domains.contains({ QStringLiteral("."), true });
    }());
    const QStringList names = lookUp(5);
    for (const QString &name : names)
        QVERIFY2(!log(11).contains(' ' + name.toLatin1() + ". "), qPrintable(name + QStringLiteral(" went around the proxy")));
    const QString warning = QStringLiteral("systemd-resolved: the DNS settings of link d0 were replaced by another program; "
                                           "the service's are written again");
    QVERIFY2(capture.warnings().count(warning) == 1, qPrintable(capture.dump()));
}

// A run killed while protecting, then a reboot (resolved forgets link settings) after which
// NetworkManager set d0 up anew: the next start must leave d0 as it is now.
void tst_ResolvedDnsBackend::backupFromBeforeRebootIsDropped()
{
    const QString backups = qEnvironmentVariable("STATE_DIRECTORY") + QStringLiteral("/dns-backup.ini");
    m_manager->setDnsOnInterfaces(true);
    QFile file(backups);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray leftBackup = file.readAll();
    file.close();
    const QString leftStore = QSettings().value(QStringLiteral("interfaces/d0/Ip4NameServer")).toString();
    QCOMPARE(leftStore, QStringLiteral("127.0.0.11"));
    cleanup();

    QVERIFY(setLinkServer("d0", 12));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(leftBackup);
    file.close();
    QSettings().setValue(QStringLiteral("interfaces/d0/Ip4NameServer"), leftStore);
    QSettings().sync();
    m_servers = new DNS::ServersManager;
    m_proxy = new DNSProxy(&m_context, nullptr, m_servers);
    QVERIFY(m_proxy->start());
    m_manager = new NetworkInterfaceManager(QHostAddress(Proxy));
    m_manager->initialise();
    ResolvedDnsBackend::LinkSettings d0;
    QVERIFY(backend()->readLink(index("d0").toInt(), &d0));
    QCOMPARE(d0.servers.size(), 1);
    QCOMPARE(d0.servers.first().hostAddress(), QHostAddress(QStringLiteral("127.0.0.12")));
}

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("CORVANE_IN_RESOLVED_SANDBOX") && !qEnvironmentVariableIsSet("CORVANE_RESOLVED_SANDBOX_UNAVAILABLE")) {
        QByteArray script = CORVANE_TEST_DATA_DIR "/../service/netif/resolved-sandbox.sh";
        // Fetched once per build directory, not once per run of the scratch folder.
        if (!qEnvironmentVariableIsSet("CORVANE_RESOLVED_ROOT"))
            qputenv("CORVANE_RESOLVED_ROOT", CORVANE_BINARY_DIR "/resolved-sandbox");
        QVector<char *> arguments { script.data() };
        for (int i = 0; i < argc; ++i)
            arguments.append(argv[i]);
        arguments.append(nullptr);
        ::execv(script.constData(), arguments.data());
        return 1;
    }
    QCoreApplication app(argc, argv);
    tst_ResolvedDnsBackend test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_resolveddnsbackend.moc"

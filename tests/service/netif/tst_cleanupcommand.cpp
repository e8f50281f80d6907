// A service killed with SIGKILL while protection is on, then "corvane-service -cleanup" (as
// the unit's ExecStopPost= runs it): every adapter setting must come back. The killed
// "service" is this program started again with --protect, on a scratch root.
#include "filednsbackend.h"
#include "inidnsbackend.h"
#include "netifpaths.h"
#include "networkinterfacemanager.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <cstdio>

namespace {

const QByteArray OwnFile = "nameserver 192.0.2.1\n";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void useServiceStore()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
}

// The killed run: protection on with the backend of the environment, the adapters of the
// ini file, then wait to be killed.
int protectAndWait(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    useServiceStore();
    const QString ini = qEnvironmentVariable("CORVANE_DNS_BACKEND_INI");
    AdapterDnsBackend *backend = qEnvironmentVariable("CORVANE_DNS_BACKEND") == QLatin1String("file")
            ? static_cast<AdapterDnsBackend *>(new FileDnsBackend(NetifPaths::resolvConf(), NetifPaths::backupFile()))
            : new IniDnsBackend(ini);
    auto *manager = new NetworkInterfaceManager(QHostAddress(QStringLiteral("127.0.0.1")), backend,
            new IniAdapterEnumerator(ini), QStringLiteral("test"), &app);
    manager->initialise();
    manager->setDnsOnInterfaces(true);
    std::printf("protected\n");
    std::fflush(stdout);
    return app.exec();
}

} // namespace

class tst_CleanupCommand : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void killedThenCleanedUp_data();
    void killedThenCleanedUp();
};

void tst_CleanupCommand::initTestCase()
{
    useServiceStore();
}

void tst_CleanupCommand::killedThenCleanedUp_data()
{
    QTest::addColumn<QString>("backend");
    QTest::newRow("ini file") << QStringLiteral("ini");
    QTest::newRow("resolv.conf") << QStringLiteral("file");
}

void tst_CleanupCommand::killedThenCleanedUp()
{
    QFETCH(QString, backend);
    const QString root = TestSupport::scratchDirectory(QStringLiteral("root-") + backend);
    const QString ini = root + QStringLiteral("/adapters.ini");
    const QString resolvConf = root + QStringLiteral("/resolv.conf");
    QVERIFY(TestSupport::writeFile(ini, "[Adapters]\neth0\\Up=true\nwlan0\\Up=true\n"
                                        "[Tcpip]\nParameters\\Interfaces\\eth0\\NameServer=192.0.2.1\n"
                                        "[Tcpip6]\nParameters\\Interfaces\\eth0\\NameServer=2001:db8::1\n"));
    QVERIFY(TestSupport::writeFile(resolvConf, OwnFile));
    const QByteArray iniBefore = readAll(ini);
    QSettings().clear();
    QSettings().sync();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVANE_DNS_BACKEND"), backend);
    environment.insert(QStringLiteral("CORVANE_DNS_BACKEND_INI"), ini);
    environment.insert(QStringLiteral("CORVANE_RESOLV_CONF"), resolvConf);
    environment.insert(QStringLiteral("CORVANE_LOG_STDERR"), QStringLiteral("1"));
    QProcess service;
    service.setProcessEnvironment(environment);
    service.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--protect") });
    QVERIFY(service.waitForReadyRead(10000));
    QCOMPARE(service.readLine(), QByteArray("protected\n"));
    service.kill();
    QVERIFY(service.waitForFinished(5000));
    if (backend == QLatin1String("file"))
        QVERIFY(readAll(resolvConf).contains("nameserver 127.0.0.1"));
    else
        QVERIFY(readAll(ini) != iniBefore);

    QProcess cleanup;
    cleanup.setProcessEnvironment(environment);
    cleanup.start(QStringLiteral(CORVANE_BINARY_DIR "/service/core/corvane-service"), { QStringLiteral("-cleanup") });
    QVERIFY(cleanup.waitForFinished(30000));
    QCOMPARE(cleanup.exitCode(), 0);
    QCOMPARE(readAll(resolvConf), OwnFile);
    const IniDnsBackend values(ini);
    QCOMPARE(values.value(QStringLiteral("eth0"), AdapterDnsBackend::IPv4, AdapterDnsBackend::NameServer),
            QStringLiteral("192.0.2.1"));
    QCOMPARE(values.value(QStringLiteral("eth0"), AdapterDnsBackend::IPv6, AdapterDnsBackend::NameServer),
            QStringLiteral("2001:db8::1"));
    QCOMPARE(values.value(QStringLiteral("wlan0"), AdapterDnsBackend::IPv4, AdapterDnsBackend::NameServer), QString());
    QSettings store;
    store.beginGroup(NetworkInterfaceManager::InterfacesGroup);
    QCOMPARE(store.allKeys(), QStringList());
}

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--protect") == 0)
        return protectAndWait(argc, argv);
    QCoreApplication app(argc, argv);
    tst_CleanupCommand test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cleanupcommand.moc"

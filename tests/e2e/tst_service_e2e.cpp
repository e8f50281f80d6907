// The whole service as it runs: the corvane-service program against the reference account
// service and the reference filtering resolver, desktop clients on its real IPC socket, and
// dig through its proxy. Only the adapters are the ini backend's (nothing of the machine's
// DNS is touched). The test functions run in order and share the running programs.
#include "../service/account/referencecabinet.h"

#include "ipcconnection.h"
#include "qxtjson.h"
#include "serviceclient.h"
#include "testsupport.h"

#include <QDir>
#include <QJsonArray>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

// A new account, so that its password is a text found nowhere else in any frame.
const QString User = QStringLiteral("e2e@corvane.test");
const QString Password = QStringLiteral("Pw-7f3e9c-e2e");
const QString BlockAddress = QStringLiteral("198.51.100.1");
const QString UnfilteredAddress = QStringLiteral("192.0.2.1");
const QString OwnServer = QStringLiteral("192.0.2.1 192.0.2.2");

QString sourcePath(const QString &relative)
{
    return QStringLiteral(CORVANE_TEST_DATA_DIR "/../../") + relative;
}

QString run(const QString &program, const QStringList &arguments, int milliseconds = 15000)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(milliseconds))
        process.kill();
    process.waitForFinished(1000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

class tst_ServiceE2E : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void signInOverIpc();
    void proxyFiltersByTheAccount();
    void browserCanaryAnswered_data();
    void browserCanaryAnswered();
    void blockPageRedirectsOnlyToItsHosts_data();
    void blockPageRedirectsOnlyToItsHosts();
    void lockHoldsPerConnection();
    void supportReportOverIpc();
    void stopPutsTheAdaptersBack();

private:
    QString dig(const QStringList &query);
    bool digUntil(const QString &name, const QString &type, const QString &expected);
    QJsonObject rawClient(const QJsonArray &calls, bool asNobody);

    QString m_scratch;
    QTemporaryDir *m_shared = nullptr;
    QString m_socket;
    QString m_adapters;
    ReferenceCabinet m_cabinet;
    QProcess m_resolver;
    QProcess m_service;
    quint16 m_proxyPort = 0;
    quint16 m_blockPagePort = 0;
    ServiceClient *m_client = nullptr;
    quint32 m_profileId = 0;
};

void tst_ServiceE2E::initTestCase()
{
    for (const char *program : { "dig", "curl", "python3", "openssl" }) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(program))));
    }
    m_scratch = TestSupport::scratchDirectory(QStringLiteral("e2e"));
    // The socket's folder must be reachable by the client run as another user.
    m_shared = new QTemporaryDir(QDir::rootPath() + QStringLiteral("tmp/corvane-e2e-XXXXXX"));
    QVERIFY(m_shared->isValid());
    QVERIFY(QFile::setPermissions(m_shared->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                        | QFileDevice::ExeGroup | QFileDevice::ExeOther));
    m_socket = m_shared->path() + QStringLiteral("/en-genericipc");

    QVERIFY(m_cabinet.start(m_scratch + QStringLiteral("/cabinet")));
    m_resolver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_resolver.start(QStringLiteral("python3"),
                     { sourcePath("tools/corvane-reference-resolver/corvane-reference-resolver"), "--listen", "127.0.0.1:0",
                       "--data", m_scratch + "/cabinet/cabinet.json", "--state", m_scratch + "/resolver",
                       "--log", m_scratch + "/resolver/queries.log" });
    quint16 resolverPort = 0;
    QTRY_VERIFY_WITH_TIMEOUT([&] {
        QFile status(m_scratch + "/resolver/status.json");
        if (!status.open(QIODevice::ReadOnly))
            return false;
        resolverPort = QJsonDocument::fromJson(status.readAll()).object().value("udp").toString().section(':', -1).toUShort();
        return resolverPort != 0;
    }(), 20000);

    m_proxyPort = TestSupport::freeLoopbackPort();
    m_blockPagePort = TestSupport::freeLoopbackPort();
    m_adapters = m_scratch + QStringLiteral("/adapters.ini");
    QVERIFY(TestSupport::writeFile(m_adapters, "[Adapters]\neth0\\FriendlyName=Office LAN\neth0\\Type=ethernet\neth0\\Up=true\n"
                                               "[Tcpip]\nParameters\\Interfaces\\eth0\\NameServer=192.0.2.1 192.0.2.2\n"));
    const QString ini = m_scratch + QStringLiteral("/service.ini");
    QVERIFY(TestSupport::writeFile(ini, QStringLiteral("[global]\nwww=%1\nwww-ca-file=%2\ntarnwickproxy-addr=127.0.0.1\n"
                                                       "tarnwickproxy-port=%3\nlocalproxy-addr=127.0.0.1\nlocalproxy-port=%4\ndiag-myip-https=%1\n")
                                                .arg(m_cabinet.https, m_cabinet.caFile).arg(resolverPort).arg(m_proxyPort)
                                                .toUtf8()));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", m_scratch + "/service-config");
    environment.insert("STATE_DIRECTORY", m_scratch + "/service-state");
    environment.insert("CORVANE_SERVICE_INI", ini);
    environment.insert("CORVANE_DNS_BACKEND", "ini");
    environment.insert("CORVANE_DNS_BACKEND_INI", m_adapters);
    environment.insert("CORVANE_IPC_SOCKET", m_socket);
    environment.insert("CORVANE_BLOCKPAGE_PORT", QString::number(m_blockPagePort));
    environment.insert("CORVANE_LOG_STDERR", "1");
    environment.insert("CORVANE_DIAG_TIMEOUT_MS", "20000");
    m_service.setProcessEnvironment(environment);
    m_service.setStandardErrorFile(m_scratch + "/service.log");
    m_service.start(QStringLiteral(CORVANE_BINARY_DIR "/service/core/corvane-service"), { "-e" });
    QTRY_VERIFY_WITH_TIMEOUT([&] {
        QFile log(m_scratch + "/service.log");
        return log.open(QIODevice::ReadOnly) && log.readAll().contains("Corvane Agent started");
    }(), 30000);
}

void tst_ServiceE2E::cleanupTestCase()
{
    delete m_client;
    if (m_service.state() != QProcess::NotRunning) {
        m_service.terminate();
        m_service.waitForFinished(10000);
    }
    m_resolver.terminate();
    m_resolver.waitForFinished(10000);
    m_cabinet.stop();
    delete m_shared;
}

QString tst_ServiceE2E::dig(const QStringList &query)
{
    return run(QStringLiteral("dig"), QStringList { "@127.0.0.1", "-p", QString::number(m_proxyPort), "+tries=1", "+timeout=2" } + query);
}

// The account service's changes reach the resolver through its data file: a few seconds.
bool tst_ServiceE2E::digUntil(const QString &name, const QString &type, const QString &expected)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 15000) {
        if (dig({ name, type, "+short" }).contains(expected))
            return true;
        QTest::qWait(250);
    }
    return false;
}

QJsonObject tst_ServiceE2E::rawClient(const QJsonArray &calls, bool asNobody)
{
    const QString script = m_shared->path() + QStringLiteral("/rawclient.py");
    QFile::remove(script);
    QFile::copy(sourcePath("tests/e2e/rawclient.py"), script);
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::ReadOther | QFileDevice::ReadGroup);
    const QStringList arguments { script, m_socket, Password, QString::fromUtf8(QJsonDocument(calls).toJson(QJsonDocument::Compact)) };
    // The system's interpreter: one installed under root's home is out of nobody's reach.
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), { QStringLiteral("/usr/bin") });
    const QString output = asNobody
            ? run(QStandardPaths::findExecutable(QStringLiteral("setpriv")),
                  QStringList { "--reuid=65534", "--regid=65534", "--clear-groups", python } + arguments, 30000)
            : run(python, arguments, 30000);
    return QJsonDocument::fromJson(output.toUtf8()).object();
}

void tst_ServiceE2E::signInOverIpc()
{
    m_client = new ServiceClient;
    QVERIFY(m_client->connectTo(m_socket));
    QVERIFY(m_client->waitFor("setProfiles"));
    const ServiceClient::Answer registered = m_client->call("registerUser", { User, Password }, 20000);
    QVERIFY2(!registered.error.isError(), qPrintable(registered.error.toString()));
    QCOMPARE(registered.result, QVariant(true));
    QVERIFY2(m_client->waitFor("setIdentification", 30000), qPrintable(m_client->methods().join(' ')));
    m_profileId = m_client->last("setIdentification").value(1).toUInt();
    QVERIFY(m_profileId != 0);
    // A test run as an ordinary user is no root peer: it unlocks like the tray application.
    QCOMPARE(m_client->call("unlockSettings", { User, Password }).error.code(), 0);
    QCOMPARE(QSettings(m_adapters, QSettings::IniFormat).value("Tcpip/Parameters/Interfaces/eth0/NameServer").toString(),
             QStringLiteral("127.0.0.1"));
}

void tst_ServiceE2E::proxyFiltersByTheAccount()
{
    QVERIFY(m_profileId);
    // The token of this computer stands for the profile once the account service gave it.
    QVERIFY2(digUntil("probe.corvane.test", "TXT", QStringLiteral("\"profile=%1\"").arg(m_profileId)),
             qPrintable(dig({ "probe.corvane.test", "TXT", "+short" })));
    QCOMPARE(dig({ "later-blocked.example", "A", "+short" }), UnfilteredAddress);

    const ServiceClient::Answer added = m_client->call("addDomain", { m_profileId, "black", "later-blocked.example" }, 20000);
    QVERIFY2(!added.error.isError(), qPrintable(added.error.toString()));
    QVERIFY(added.result.toUInt() != 0);
    QVERIFY(digUntil("later-blocked.example", "A", BlockAddress));
    QCOMPARE(dig({ "news.example", "A", "+short" }), UnfilteredAddress);
}

void tst_ServiceE2E::browserCanaryAnswered_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("status");
    QTest::newRow("A") << "A" << "NXDOMAIN";
    QTest::newRow("AAAA") << "AAAA" << "NXDOMAIN";
    QTest::newRow("TXT goes to the resolver") << "TXT" << "NOERROR";
}

void tst_ServiceE2E::browserCanaryAnswered()
{
    QFETCH(QString, type);
    QFETCH(QString, status);
    const QString output = dig({ "use-application-dns.net", type });
    QVERIFY2(output.contains("status: " + status), qPrintable(output));
}

void tst_ServiceE2E::blockPageRedirectsOnlyToItsHosts_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("answer");
    QTest::newRow("the reference block page") << "blockpage.corvane.test" << "303 http://blockpage.corvane.test/blocked?hostname=later-blocked.example&token=";
    QTest::newRow("a host of the page's choosing") << "collector.example" << "403 ";
}

void tst_ServiceE2E::blockPageRedirectsOnlyToItsHosts()
{
    QFETCH(QString, host);
    QFETCH(QString, answer);
    const QString url = QStringLiteral("http://127.0.0.1:%1/?blockpage=%2&hostname=later-blocked.example&url=later-blocked.example/")
                                .arg(m_blockPagePort).arg(host);
    const QString output = run("curl", { "-s", "-o", "/dev/null", "-w", "%{http_code} %{redirect_url}", url });
    QVERIFY2(output.startsWith(answer.trimmed()), qPrintable(output));
}

// Switching filtering off is refused on a connection that has not unlocked, and goes to
// every client once unlocked; no frame ever carries the account password.
void tst_ServiceE2E::lockHoldsPerConnection()
{
    ServiceClient second;
    QVERIFY(second.connectTo(m_socket));
    QVERIFY(second.waitFor("setProfiles"));
    const bool asNobody = ::geteuid() == 0 && !QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty();
    const QJsonArray calls { QJsonArray { "setGlobalFiltering", QJsonArray { false, 0 } },
                             QJsonArray { "unlockSettings", QJsonArray { User, "guess" } },
                             QJsonArray { "unlockSettings", QJsonArray { User, Password } },
                             QJsonArray { "setGlobalFiltering", QJsonArray { false, 0 } } };
    const QJsonObject outcome = rawClient(calls, asNobody);
    const QJsonArray answers = outcome.value("answers").toArray();
    QVERIFY2(answers.size() == 4, QJsonDocument(outcome).toJson().constData());
    if (asNobody || ::geteuid() != 0) {
        QCOMPARE(answers.at(0).toObject().value("error").toObject().value("code").toInt(), 1);
        QCOMPARE(answers.at(1).toObject().value("error").toObject().value("code").toInt(), 30);
    }
    QVERIFY(!answers.at(2).toObject().contains("error"));
    QVERIFY(!answers.at(3).toObject().contains("error"));
    QVERIFY(outcome.value("notes").toArray().contains("setCredentials"));
    QCOMPARE(outcome.value("secret_seen").toBool(), false);
    QVERIFY(second.waitFor("setGlobalFiltering", 10000, 1));
    QCOMPARE(second.last("setGlobalFiltering"), QVariantList { false });
    QCOMPARE(second.count("setGlobalFiltering"), 2);
    if (!asNobody && ::geteuid() == 0)
        qWarning("the lock itself is not checked: setpriv is missing");

    // Switching on is open to all; the clients' own notifications never held the password.
    QCOMPARE(second.call("setGlobalFiltering", { true, 0 }).error.code(), 0);
    QVERIFY(m_client->waitFor("setGlobalFiltering", 10000, 2));
    for (const ServiceClient *client : { static_cast<const ServiceClient *>(m_client), static_cast<const ServiceClient *>(&second) }) {
        for (const ServiceClient::Note &note : client->notes)
            QVERIFY2(!QxtJSON::stringify(note.params).contains(Password), qPrintable(note.method));
    }
}

// The report is collected by the running service from its own view: the proxy it listens
// on, the probe through that proxy (which must carry the signed-in computer's token), the
// backend's adapters, and the tools' output; the account password never appears.
void tst_ServiceE2E::supportReportOverIpc()
{
    QVERIFY(m_client);
    const ServiceClient::Answer report = m_client->call("systemInfo", {}, 60000);
    QVERIFY2(!report.error.isError(), qPrintable(report.error.toString()));
    const QString text = report.result.toString();
    const QStringList expected = {
        QStringLiteral("Local DNS: 127.0.0.1:%1\n").arg(m_proxyPort),
        QStringLiteral("Identification type is Token\n"),
        QStringLiteral(" = agent.token:"),
        QStringLiteral(".ProfileId:%1\n").arg(m_profileId),
        QStringLiteral("Adapter DNS control: backend ini"),
        QStringLiteral("\n> ip address show\n"),
    };
    for (const QString &part : expected)
        QVERIFY2(text.contains(part), qPrintable(part + QStringLiteral(" missing from:\n") + text.left(3000)));
    QVERIFY(!text.contains(Password));
}

void tst_ServiceE2E::stopPutsTheAdaptersBack()
{
    QCOMPARE(QSettings(m_adapters, QSettings::IniFormat).value("Tcpip/Parameters/Interfaces/eth0/NameServer").toString(),
             QStringLiteral("127.0.0.1"));
    m_service.terminate();
    QVERIFY(m_service.waitForFinished(15000));
    QFile log(m_scratch + "/service.log");
    log.open(QIODevice::ReadOnly);
    QVERIFY2(m_service.exitStatus() == QProcess::NormalExit && m_service.exitCode() == 0, log.readAll().right(4000).constData());
    QCOMPARE(QSettings(m_adapters, QSettings::IniFormat).value("Tcpip/Parameters/Interfaces/eth0/NameServer").toString(),
             OwnServer);
    // Nothing answers on the proxy's port any more.
    QVERIFY(!dig({ "news.example", "A" }).contains("status:"));
}

QTEST_GUILESS_MAIN(tst_ServiceE2E)
#include "tst_service_e2e.moc"

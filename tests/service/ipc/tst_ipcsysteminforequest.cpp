// The support report: its tools through fake programs first on PATH, the probe against the
// reference resolver (through corvane-proxy-runner where the token must be appended), the
// my-IP pages against the reference account service, the adapters from the ini backend.

#include "diagnosticsprobe.h"
#include "diagnosticstransparentproxy.h"
#include "ipcsysteminforequest.h"
#include "networkinterfacemanager.h"
#include "protection.h"
#include "testsupport.h"

#include "../account/referencecabinet.h"

#include <QUdpSocket>
#include <QtTest>

namespace {

const QString Password = QStringLiteral("s3cret-Pa55");
const QString ProbeHost = QStringLiteral("probe.corvane.test");
constexpr quint32 DemoAgentToken = 305419896; // the demo data's agent, on profile 102

struct FakeSource : DiagnosticsSource
{
    QHostAddress address{ QHostAddress::LocalHost };
    quint16 port = 0;
    int type = TokenIdentification;
    quint32 token = 0;
    int state = 0;
    CabinetProfiles profileSet;
    quint32 current = 0;
    quint32 selected = 0;
    QHostAddress publicIp;
    bool adaptersKnown = true;
    QList<AdapterDnsView> adapterList;
    QUrl http{ QStringLiteral("http://127.0.0.1:1/nic/myip") };
    QUrl https{ QStringLiteral("https://127.0.0.1:1/nic/myip") };
    QString ca;

    QHostAddress localProxyAddress() const override { return address; }
    quint16 localProxyPort() const override { return port; }
    int identificationType() const override { return type; }
    quint32 agentToken() const override { return token; }
    int accountState() const override { return state; }
    CabinetProfiles profiles() const override { return profileSet; }
    quint32 currentProfileId() const override { return current; }
    quint32 selectedProfileId() const override { return selected; }
    QHostAddress publicAddress() const override { return publicIp; }
    QString accountUser() const override { return QStringLiteral("demo@corvane.test"); }
    QString accountPassword() const override { return Password; }
    bool adapters(QList<AdapterDnsView> *list) const override { *list = adapterList; return adaptersKnown; }
    QString dnsBackendName() const override { return QStringLiteral("ini file"); }
    QString dnsBackendReason() const override { return QStringLiteral("CORVANE_DNS_BACKEND names it"); }
    VerificationVerdict lastVerification() const override { return {}; }
    QUrl myIpUrl(bool secure) const override { return secure ? https : http; }
    QString trustedCaFile() const override { return ca; }
};

QString report(const FakeSource &source)
{
    Deferred answer;
    new IPCSystemInfoRequest(source, answer);
    if (!QTest::qWaitFor([&] { return answer.isFired(); }, 60000))
        return QStringLiteral("<no answer>");
    // Gone once its tools are: nothing is left behind.
    if (!QTest::qWaitFor([] { return IPCSystemInfoRequest::running() == 0; }, 10000))
        return QStringLiteral("<request still alive>");
    return answer.result().toString();
}

AdapterDnsView adapter(const QString &name, bool up, bool gateway, const QStringList &servers)
{
    AdapterDnsView view{ name, name, QStringLiteral("Ethernet"), up, gateway, {} };
    for (const QString &server : servers)
        view.servers.append(QHostAddress(server));
    return view;
}

bool startProcess(QProcess *process, const QString &program, const QStringList &arguments)
{
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program, arguments);
    return process->waitForStarted(10000);
}

} // namespace

Q_DECLARE_METATYPE(AdapterDnsView)

class tst_IPCSystemInfoRequest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void tools_data();
    void tools();
    void identification_data();
    void identification();
    void wholeReportInOrder();
    void probeAnswer_data();
    void probeAnswer();
    void transparentProxy_data();
    void transparentProxy();
    void adapterChecks_data();
    void adapterChecks();
    void userProxy_data();
    void userProxy();
    void adapterViewOfTheIniBackend();
    void thirdReportAtOnceIsRefused();

private:
    void writeTool(const QString &name, const QByteArray &body, bool executable = true);

    QString m_tools;
    QByteArray m_path;
    QProcess m_resolver;
    quint16 m_resolverPort = 0;
    QProcess m_runner;
    quint16 m_runnerPort = 0;
    ReferenceCabinet m_cabinet;
};

void tst_IPCSystemInfoRequest::initTestCase()
{
    m_path = qgetenv("PATH");
    qputenv("CORVANE_DIAG_ROUTE_TARGET", "127.0.0.1");
    const QString source = QStringLiteral(CORVANE_TEST_DATA_DIR "/../../tools/corvane-reference-resolver");
    QVERIFY(startProcess(&m_resolver, QStringLiteral("python3"),
                         { source + "/corvane-reference-resolver", "--listen", "127.0.0.1:0", "--data",
                           source + "/tests/demo-data.json" }));
    QString banner;
    while (!banner.contains(QLatin1Char('\n')) && m_resolver.waitForReadyRead(20000))
        banner += QString::fromUtf8(m_resolver.readAllStandardOutput());
    const QRegularExpressionMatch port = QRegularExpression(QStringLiteral("udp://127\\.0\\.0\\.1:(\\d+)")).match(banner);
    QVERIFY2(port.hasMatch(), qPrintable(banner));
    m_resolverPort = quint16(port.captured(1).toUInt());

    m_runnerPort = TestSupport::freeLoopbackPort();
    QVERIFY(startProcess(&m_runner, QStringLiteral(CORVANE_BINARY_DIR "/tools/corvane-proxy-runner/corvane-proxy-runner"),
                         { "--listen", QStringLiteral("127.0.0.1:%1").arg(m_runnerPort), "--upstream",
                           QStringLiteral("127.0.0.1:%1").arg(m_resolverPort), "--token",
                           QString::number(DemoAgentToken), "--http-port",
                           QString::number(TestSupport::freeLoopbackPort()) }));
    QVERIFY(m_cabinet.start(TestSupport::scratchDirectory(QStringLiteral("cabinet"))));
}

void tst_IPCSystemInfoRequest::cleanupTestCase()
{
    m_runner.terminate();
    m_runner.waitForFinished(10000);
    m_resolver.terminate();
    m_resolver.waitForFinished(10000);
    m_cabinet.stop();
}

void tst_IPCSystemInfoRequest::init()
{
    m_tools = TestSupport::scratchDirectory(QStringLiteral("tools"));
    writeTool(QStringLiteral("ip"), "echo \"ip $*\"");
    writeTool(QStringLiteral("hostnamectl"), "echo 'Static hostname: box'");
    writeTool(QStringLiteral("uname"), "echo 'Linux box'");
    qputenv("PATH", QFile::encodeName(m_tools) + ':' + m_path);
    qunsetenv("CORVANE_DIAG_TIMEOUT_MS");
    qunsetenv("CORVANE_DIAG_PROBE_PORTS");
}

void tst_IPCSystemInfoRequest::writeTool(const QString &name, const QByteArray &body, bool executable)
{
    const QString path = m_tools + QLatin1Char('/') + name;
    QVERIFY(TestSupport::writeFile(path, "#!/bin/sh\n" + body + "\n"));
    QFile::setPermissions(path, executable ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner);
}

void tst_IPCSystemInfoRequest::tools_data()
{
    const QByteArray key(32, '\x5a');
    QTest::addColumn<QByteArray>("tool");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("onlyFakes"); // PATH holds the fake tools alone
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("every tool answers")
        << QByteArray() << QByteArray() << false
        << QStringList{ "\n> ip address show\nip address show\n", "\n> hostnamectl\nStatic hostname: box\n",
                        "\n> ip route show\nip route show\n" }
        << QStringList{ "uname", "Aborted" };
    QTest::newRow("slower than the time-out")
        << QByteArray("hostnamectl") << QByteArray("exec /bin/sleep 60") << false
        << QStringList{ "\n> hostnamectl\n<Aborted by timeout>\n", "\n> ip route show\nip route show\n" }
        << QStringList{ "uname" };
    QTest::newRow("cannot start") << QByteArray("ip") << QByteArray("!executable") << true
                                  << QStringList{ "\n> ip address show\nFailed to get output",
                                                  "\n> ip route show\nFailed to get output" }
                                  << QStringList{ "ip address show\nip" };
    QTest::newRow("hostnamectl missing") << QByteArray("hostnamectl") << QByteArray("!missing") << true
                                         << QStringList{ "\n> uname -a\nLinux box\n" } << QStringList{ "> hostnamectl" };
    QTest::newRow("hostnamectl fails")
        << QByteArray("hostnamectl") << QByteArray("echo 'Failed to connect to bus'; exit 1") << false
        << QStringList{ "\n> hostnamectl\nFailed to connect to bus\n", "\n> uname -a\nLinux box\n" } << QStringList();
    QTest::newRow("credentials in the output and the environment")
        << QByteArray("ip")
        << "/usr/bin/env; echo \"setCredentials demo " + Password.toUtf8() + "\"; echo 'pw=" + Password.toUtf8()
               + " key=" + key.toHex() + "'"
        << false << QStringList{ "pw=<credentials cutted out> key=<credentials cutted out>\n", "<credentials cutted out>\n" }
        << QStringList{ Password, QString::fromLatin1(key.toHex()), "CORVANE_SECRET" };
}

void tst_IPCSystemInfoRequest::tools()
{
    QFETCH(QByteArray, tool);
    QFETCH(QByteArray, script);
    QFETCH(bool, onlyFakes);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, absent);
    if (script == "!executable")
        writeTool(QString::fromLatin1(tool), "echo never", false);
    else if (script == "!missing")
        QFile::remove(m_tools + QLatin1Char('/') + QString::fromLatin1(tool));
    else if (!tool.isEmpty())
        writeTool(QString::fromLatin1(tool), script);
    if (onlyFakes)
        qputenv("PATH", QFile::encodeName(m_tools));
    qputenv("CORVANE_DIAG_TIMEOUT_MS", "1500");
    qputenv("CORVANE_SECRET", Password.toUtf8());
    QVERIFY(TestSupport::writeFile(Protection::machineKeyPath(), QByteArray(32, '\x5a')));

    FakeSource source;
    source.port = m_resolverPort;
    const QString text = report(source);
    qunsetenv("CORVANE_SECRET");
    for (const QString &part : expected)
        QVERIFY2(text.contains(part), qPrintable(text));
    for (const QString &part : absent)
        QVERIFY2(!text.contains(part), qPrintable(text));
}

void tst_IPCSystemInfoRequest::identification_data()
{
    QTest::addColumn<bool>("throughProxy");
    QTest::addColumn<int>("type");
    QTest::addColumn<quint32>("agentToken");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("portsTaken");
    QTest::addColumn<QString>("expected"); // from the probe's own line to the profiles
    const QString seen = ProbeHost + QStringLiteral("p:102 ip:127.0.0.1 t:305419896\n");
    QTest::newRow("equal token, account connected")
        << true << 1 << DemoAgentToken << 2 << false
        << seen + "Identification type is Token\nprobe.corvane.test.token:305419896 = agent.token:305419896\n"
                  "agent.currentProfileId:102 agent.selectedProfileId:103\nprobe.corvane.test.ProfileId:102\nProfiles: ";
    QTest::newRow("unequal token") << true << 1 << 7u << 1 << false
                                   << seen + "Identification type is Token\n"
                                             "probe.corvane.test.token:305419896 != agent.token:7\nProfiles: ";
    QTest::newRow("no token reached the resolver")
        << false << 1 << 7u << 0 << false
        << ProbeHost + "p:None ip:127.0.0.1 t:None\nIdentification type is Token\nProfiles: ";
    QTest::newRow("ip identification")
        << false << 0 << 0u << 0 << false
        << ProbeHost + "p:None ip:127.0.0.1 t:None\nIdentification type is Ipident\n"
                       "probe.corvane.test.ip:127.0.0.1 nic.ip:203.0.113.5\nProfiles: ";
    QTest::newRow("both probe ports taken")
        << false << 1 << 0u << 2 << true
        << QStringLiteral("Can't bind udp socket: 8 The bound address is already in use\n"
                          "An error occurred during the test, \"Black Address\":Can't bind udp socket: 8 "
                          "The bound address is already in use\n\nProfiles: ");
}

void tst_IPCSystemInfoRequest::identification()
{
    QFETCH(bool, throughProxy);
    QFETCH(int, type);
    QFETCH(quint32, agentToken);
    QFETCH(int, state);
    QFETCH(bool, portsTaken);
    QFETCH(QString, expected);
    QUdpSocket first;
    QUdpSocket second;
    if (portsTaken) {
        QVERIFY(first.bind(QHostAddress::AnyIPv4, 0, QUdpSocket::DontShareAddress));
        QVERIFY(second.bind(QHostAddress::AnyIPv4, 0, QUdpSocket::DontShareAddress));
        qputenv("CORVANE_DIAG_PROBE_PORTS", QStringLiteral("%1,%2").arg(first.localPort()).arg(second.localPort()).toLatin1());
    }
    FakeSource source;
    source.port = throughProxy ? m_runnerPort : m_resolverPort;
    source.type = type;
    source.token = agentToken;
    source.state = state;
    source.current = 102;
    source.selected = 103;
    source.publicIp = QHostAddress(QStringLiteral("203.0.113.5"));
    const QString text = report(source);
    QVERIFY2(text.contains(expected), qPrintable(text));
}

void tst_IPCSystemInfoRequest::wholeReportInOrder()
{
    FakeSource source;
    source.port = m_resolverPort;
    source.http = QUrl(m_cabinet.http + "/nic/myip");
    source.https = QUrl(m_cabinet.https + "/nic/myip");
    source.ca = m_cabinet.caFile;
    source.adapterList = { adapter("eth0", true, true, { "127.0.0.1" }), adapter("wlan0", true, false, { "192.0.2.1" }) };
    for (quint32 id : { 2u, 1u }) {
        auto profile = QSharedPointer<CabinetProfile>::create();
        profile->setId(id);
        profile->setName(QStringLiteral("P%1").arg(id));
        source.profileSet.insert(id, profile);
    }
    const QString text = report(source);
    const QString head = QStringLiteral(
            "Local DNS: 127.0.0.1:%1\n"
            "There are incorect dns addresees:\nType:Ethernet Adress:wlan0\nDNS: 192.0.2.1\n"
            "Gateway interfase:eth0 dns address:127.0.0.1\n"
            "There are no proxy in system setings\n"
            "probe.corvane.testp:None ip:127.0.0.1 t:None\n"
            "Identification type is Token\n"
            "Profiles: name: P1 id: 1 token: 0 default: no schedule: no whiteonly: no blockunknown: no safesearch: no "
            "safeyoutube: no\n name: P2 id: 2 token: 0 default: no schedule: no whiteonly: no blockunknown: no "
            "safesearch: no safeyoutube: no\n\n> ").arg(m_resolverPort);
    QVERIFY2(text.startsWith(head), qPrintable(text));
    QVERIFY2(text.endsWith("\nAdapter DNS control: backend ini file, because CORVANE_DNS_BACKEND names it\n"
                           "Last verification: none yet\n"), qPrintable(text));
}

void tst_IPCSystemInfoRequest::probeAnswer_data()
{
    using TestSupport::hex;
    // The query: id 0x1234, probe.corvane.test TXT.
    const QByteArray question = hex("05 70726f6265 07 636f7276616e65 04 74657374 00 0010 0001");
    const QByteArray txt = hex("c00c 0010 0001 00000000 0018") + hex("0b") + "profile=102" + hex("05") + "ip=1\n"
            + hex("05") + "token";
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("error");
    QTest::newRow("a query, not a response") << hex("1234 0100 0001 0000 0000 0000") + question
                                             << "Answer is't correct dns response\n";
    QTest::newRow("other id") << hex("4321 8180 0001 0000 0000 0000") + question
                              << "response id and request id are different\n";
    QTest::newRow("other name") << hex("1234 8180 0001 0000 0000 0000 01 78 00 0010 0001")
                                << "incorrect query name or type in answer name:x type:16\n";
    QTest::newRow("two answers") << hex("1234 8180 0001 0002 0000 0000") + question + txt + txt << "multiple answers:2\n";
    QTest::newRow("no answer") << hex("1234 8183 0001 0000 0000 0000") + question << "no TXT answer, rcode:3\n";
    QTest::newRow("hostile values are made printable") << hex("1234 8180 0001 0001 0000 0000") + question + txt
                                                      << "p:102 ip:1? t:";
}

void tst_IPCSystemInfoRequest::probeAnswer()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, error);
    DNS::Packet query;
    QVERIFY(query.makeQuery("probe.corvane.test", DNS::TypeTxt));
    query.setId(0x1234);
    ProbeView view;
    QString text;
    if (ProbeView::read(answer, query, &view, &text))
        text = QStringLiteral("p:%1 ip:%2 t:%3").arg(view.profile, view.ip, view.token);
    QCOMPARE(text, error);
}

void tst_IPCSystemInfoRequest::transparentProxy_data()
{
    QTest::addColumn<QString>("http");
    QTest::addColumn<bool>("trusted");
    QTest::addColumn<bool>("passed");
    QTest::addColumn<QString>("text");
    QTest::newRow("both pages agree") << m_cabinet.http << true << true << QString();
    QTest::newRow("untrusted certificate") << m_cabinet.http << false << false << m_cabinet.https + "/nic/myip:";
    QTest::newRow("plain side refused") << "http://127.0.0.1:1" << true << false
                                        << "http://127.0.0.1:1/nic/myip:Connection refused\n";
}

void tst_IPCSystemInfoRequest::transparentProxy()
{
    QFETCH(QString, http);
    QFETCH(bool, trusted);
    QFETCH(bool, passed);
    QFETCH(QString, text);
    CheckResult result;
    CheckTransparentProxy check(&result, { QUrl(http + "/nic/myip"), QUrl(m_cabinet.https + "/nic/myip"),
                                           trusted ? m_cabinet.caFile : QString(), QHostAddress::LocalHost });
    check.setAutoDelete(false);
    check.run();
    QCOMPARE(result.passed, passed);
    QVERIFY2(text.isEmpty() ? result.text.isEmpty() : result.text.startsWith(text), qPrintable(result.text));
}

void tst_IPCSystemInfoRequest::adapterChecks_data()
{
    QTest::addColumn<bool>("known");
    QTest::addColumn<QList<AdapterDnsView>>("adapters");
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<QString>("all");
    QTest::newRow("not readable") << false << QList<AdapterDnsView>() << "can't check gateway dns\n"
                                  << "can't read the adapters list\n";
    QTest::newRow("no gateway") << true << QList<AdapterDnsView>{ adapter("eth0", true, false, {}) }
                                << "can't find gateway in adapters list\n" << QString();
    QTest::newRow("gateway without servers") << true << QList<AdapterDnsView>{ adapter("eth0", true, true, {}) }
                                             << "there are no dns address on gateway interface\n" << QString();
    QTest::newRow("down adapters do not count")
        << true << QList<AdapterDnsView>{ adapter("eth0", true, true, { "127.0.0.1" }), adapter("eth1", false, false, { "192.0.2.9" }) }
        << "Gateway interfase:eth0 dns address:127.0.0.1\n" << QString();
    QTest::newRow("proxy and another server")
        << true << QList<AdapterDnsView>{ adapter("eth0", true, true, { "127.0.0.1", "2001:db8::1" }) }
        << "Wrong dns address on gateway interfase:eth0 DNS:127.0.0.1, 2001:db8::1\n"
        << "There are incorect dns addresees:\nType:Ethernet Adress:eth0\nDNS: 2001:db8::1\n";
}

void tst_IPCSystemInfoRequest::adapterChecks()
{
    QFETCH(bool, known);
    QFETCH(QList<AdapterDnsView>, adapters);
    QFETCH(QString, gateway);
    QFETCH(QString, all);
    CheckResult gatewayResult;
    CheckResult allResult;
    CheckDNSOnGatway(&gatewayResult, known, adapters, QHostAddress::LocalHost).run();
    CheckDNSOnAllEnabledAdapters(&allResult, known, adapters, QHostAddress::LocalHost).run();
    QCOMPARE(gatewayResult.text, gateway);
    QCOMPARE(gatewayResult.passed, gateway.startsWith("Gateway"));
    QCOMPARE(allResult.text, all);
    QCOMPARE(allResult.passed, all.isEmpty());
}

void tst_IPCSystemInfoRequest::userProxy_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QString>("text");
    QTest::newRow("no proxy") << QByteArray() << "There are no proxy in system setings\n";
    QTest::newRow("http proxy") << QByteArray("http_proxy") << "Proxy in user setings Type:3 Name:proxy.example\n";
    QTest::newRow("https proxy only") << QByteArray("https_proxy") << "Proxy in user setings Type:3 Name:proxy.example\n";
}

void tst_IPCSystemInfoRequest::userProxy()
{
    QFETCH(QByteArray, variable);
    QFETCH(QString, text);
    for (const char *name : { "http_proxy", "https_proxy", "all_proxy", "no_proxy" })
        qunsetenv(name);
    if (!variable.isEmpty())
        qputenv(variable, "http://user:pw@proxy.example:3128");
    CheckResult result;
    CheckNoUserProxy(&result, { QUrl("http://192.0.2.1/nic/myip"), QUrl("https://192.0.2.1/nic/myip") }).run();
    qunsetenv(variable);
    QCOMPARE(result.text, text);
    QCOMPARE(result.passed, variable.isEmpty());
}

void tst_IPCSystemInfoRequest::adapterViewOfTheIniBackend()
{
    const QString ini = TestSupport::scratchDirectory(QStringLiteral("ini")) + QStringLiteral("/adapters.ini");
    QVERIFY(TestSupport::writeFile(ini, "[Adapters]\neth0\\Up=true\neth1\\Up=false\n"
                                        "[Tcpip]\nParameters\\Interfaces\\eth0\\NameServer=192.0.2.1\n"
                                        "Parameters\\Interfaces\\eth1\\NameServer=192.0.2.9\n"
                                        "[Tcpip6]\nParameters\\Interfaces\\eth0\\NameServer=2001:db8::1\n"));
    qputenv("CORVANE_DNS_BACKEND", "ini");
    qputenv("CORVANE_DNS_BACKEND_INI", QFile::encodeName(ini));
    NetworkInterfaceManager manager{ QHostAddress::LocalHost };
    QVERIFY(!manager.hasEnumerated());
    QCOMPARE(manager.initialise().code(), 0);
    manager.setDnsOnInterfaces(true);
    const QList<AdapterDnsView> view = manager.dnsView();
    QCOMPARE(view.size(), 2);
    QCOMPARE(view.at(0).name, QStringLiteral("eth0"));
    QVERIFY(view.at(0).up && view.at(0).defaultRoute);
    // The proxy in force; the "::" that stands for no IPv6 server is no server.
    QCOMPARE(view.at(0).servers, QList<QHostAddress>{ QHostAddress::LocalHost });
    QVERIFY(!view.at(1).up && !view.at(1).defaultRoute);
    QCOMPARE(view.at(1).servers, QList<QHostAddress>{ QHostAddress(QStringLiteral("192.0.2.9")) });
    manager.setDnsOnInterfaces(false);
    QCOMPARE(manager.dnsView().at(0).servers,
             (QList<QHostAddress>{ QHostAddress(QStringLiteral("192.0.2.1")), QHostAddress(QStringLiteral("2001:db8::1")) }));
}

void tst_IPCSystemInfoRequest::thirdReportAtOnceIsRefused()
{
    writeTool(QStringLiteral("hostnamectl"), "exec /bin/sleep 60");
    qputenv("CORVANE_DIAG_TIMEOUT_MS", "1000");
    FakeSource source;
    source.port = m_resolverPort;
    Deferred first, second, third;
    new IPCSystemInfoRequest(source, first);
    new IPCSystemInfoRequest(source, second);
    new IPCSystemInfoRequest(source, third);
    QVERIFY(third.isFailed());
    QCOMPARE(third.error().code(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(first.isFired() && second.isFired() && IPCSystemInfoRequest::running() == 0, 30000);
    QVERIFY(!first.isFailed() && !second.isFailed());
}

QTEST_GUILESS_MAIN(tst_IPCSystemInfoRequest)
#include "tst_ipcsysteminforequest.moc"

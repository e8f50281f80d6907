#include "dnsproxy.h"
#include "fakecontext.h"
#include "fakeresolver.h"
#include "localanswers.h"
#include "serversmanager.h"
#include "testsupport.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

Q_DECLARE_METATYPE(DNS::LocalAnswers::Rule)

class tst_LocalAnswers : public QObject
{
    Q_OBJECT
private slots:
    void ruleFor_data();
    void ruleFor();
    void proxyAnswersProbes_data();
    void proxyAnswersProbes();
};

void tst_LocalAnswers::ruleFor_data()
{
    using Rule = DNS::LocalAnswers::Rule;
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<Rule>("rule");
    QTest::newRow("probe") << QByteArray("p0123456789abcdef.corvane-probe.test") << Rule::Probe;
    QTest::newRow("probe, other case, final dot") << QByteArray("P1.Corvane-Probe.TEST.") << Rule::Probe;
    QTest::newRow("the suffix alone") << QByteArray("corvane-probe.test") << Rule::None;
    QTest::newRow("suffix inside a label") << QByteArray("xcorvane-probe.test") << Rule::None;
    QTest::newRow("suffix followed by more") << QByteArray("p1.corvane-probe.test.example") << Rule::None;
    QTest::newRow("ordinary") << QByteArray("www.example.com") << Rule::None;
    QTest::newRow("root") << QByteArray() << Rule::None;
    QTest::newRow("browser canary") << QByteArray("use-application-dns.net") << Rule::Canary;
    QTest::newRow("browser canary, other case, final dot") << QByteArray("Use-Application-DNS.NET.") << Rule::Canary;
    QTest::newRow("below the canary") << QByteArray("x.use-application-dns.net") << Rule::None;
}

void tst_LocalAnswers::ruleFor()
{
    QFETCH(QByteArray, name);
    QFETCH(DNS::LocalAnswers::Rule, rule);
    QCOMPARE(DNS::LocalAnswers::ruleFor(name), rule);
}

void tst_LocalAnswers::proxyAnswersProbes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<bool>("probe");
    QTest::addColumn<bool>("local");
    QTest::addColumn<bool>("canaryAnswered");
    QTest::newRow("probe, udp") << QStringLiteral("p1.corvane-probe.test") << "A" << false << true << true << true;
    QTest::newRow("probe, tcp") << QStringLiteral("p2.corvane-probe.test") << "A" << true << true << true << true;
    QTest::newRow("ordinary name, udp") << QStringLiteral("www.example.com") << "A" << false << false << false << true;
    QTest::newRow("canary A, udp") << QStringLiteral("use-application-dns.net") << "A" << false << false << true << true;
    QTest::newRow("canary AAAA, tcp") << QStringLiteral("use-application-dns.net") << "AAAA" << true << false << true << true;
    QTest::newRow("canary TXT: forwarded") << QStringLiteral("use-application-dns.net") << "TXT" << false << false << false << true;
    QTest::newRow("canary answers off: forwarded") << QStringLiteral("use-application-dns.net") << "A" << false << false << false << false;
}

// With dig as the client: the probe is answered NXDOMAIN by the proxy itself and reported,
// the browsers' canary (A and AAAA, while on) answered NXDOMAIN, everything else still goes
// to the resolver.
void tst_LocalAnswers::proxyAnswersProbes()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(bool, tcp);
    QFETCH(bool, probe);
    QFETCH(bool, local);
    QFETCH(bool, canaryAnswered);
    DNS::LocalAnswers::instance()->setCanaryAnswered(canaryAnswered);
    if (QStandardPaths::findExecutable(QStringLiteral("dig")).isEmpty())
        QSKIP("dig is not installed (Debian package dnsutils)");
    FakeResolver resolver;
    QVERIFY(resolver.start());
    FakeContext context;
    context.local = DNS::Endpoint(QHostAddress::LocalHost, TestSupport::freeLoopbackPort());
    context.upstream = DNS::Endpoint(QHostAddress::LocalHost, resolver.port());
    DNS::ServersManager servers;
    DNSProxy proxy(&context, nullptr, &servers);
    QVERIFY(proxy.start());
    QSignalSpy seen(DNS::LocalAnswers::instance(), &DNS::LocalAnswers::probeAnswered);

    QProcess dig;
    QStringList arguments { QStringLiteral("@127.0.0.1"), QStringLiteral("-p"), QString::number(context.local.port),
                            QStringLiteral("+tries=1"), QStringLiteral("+timeout=3"), name, type };
    if (tcp)
        arguments << QStringLiteral("+tcp");
    dig.start(QStringLiteral("dig"), arguments);
    QVERIFY(dig.waitForStarted(5000));
    QTRY_COMPARE_WITH_TIMEOUT(dig.state(), QProcess::NotRunning, 15000);
    const QString output = QString::fromUtf8(dig.readAllStandardOutput());
    DNS::LocalAnswers::instance()->setCanaryAnswered(true);
    QVERIFY2(output.contains(local ? QStringLiteral("status: NXDOMAIN") : QStringLiteral("status: NOERROR")), qPrintable(output));
    QCOMPARE(resolver.received.size(), local ? 0 : 1);
    QCOMPARE(seen.count(), probe ? 1 : 0);
    if (probe)
        QCOMPARE(seen.first().first().toString(), name);
}

QTEST_GUILESS_MAIN(tst_LocalAnswers)
#include "tst_localanswers.moc"

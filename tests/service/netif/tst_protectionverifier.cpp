// The check that this machine's lookups reach the proxy, end to end except for the
// system's resolver: a real DNS proxy with its local answers, the adapter control on a
// scratch resolv.conf, and a stand-in for getaddrinfo that either sends the probe to the
// proxy or, like a machine whose DNS bypasses the filter, sends it nowhere.
#include "dnsproxy.h"
#include "filednsbackend.h"
#include "inidnsbackend.h"
#include "localanswers.h"
#include "logcapture.h"
#include "networkinterfacemanager.h"
#include "serversmanager.h"
#include "testsupport.h"

#include "../dns/fakecontext.h"

#include <QCoreApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A UDP query for name to the proxy; the answer's RCODE in words.
QString askProxy(quint16 port, const QString &name)
{
    DNS::Packet query;
    query.makeQuery(name.toLatin1(), DNS::TypeA);
    const QByteArray bytes = query.bytes();
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    timeval wait { 2, 0 };
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::sendto(fd, bytes.constData(), size_t(bytes.size()), 0, reinterpret_cast<sockaddr *>(&to), sizeof(to));
    char answer[512];
    const ssize_t received = ::recv(fd, answer, sizeof(answer), 0);
    ::close(fd);
    return received > 3 && (answer[3] & 0x0F) == 3 ? QStringLiteral("no such name") : QStringLiteral("error: no answer");
}

} // namespace

class tst_ProtectionVerifier : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void verdict_data();
    void verdict();
};

void tst_ProtectionVerifier::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
}

void tst_ProtectionVerifier::verdict_data()
{
    QTest::addColumn<bool>("reaches");
    QTest::newRow("lookups reach the proxy") << true;
    QTest::newRow("lookups go elsewhere") << false;
}

void tst_ProtectionVerifier::verdict()
{
    QFETCH(bool, reaches);
    const QString root = TestSupport::scratchDirectory(QStringLiteral("root"));
    QVERIFY(TestSupport::writeFile(root + QStringLiteral("/resolv.conf"), "nameserver 192.0.2.1\n"));
    QVERIFY(TestSupport::writeFile(root + QStringLiteral("/adapters.ini"), "[Adapters]\neth0\\Up=true\n"));
    QSettings().clear();

    FakeContext context;
    context.local = DNS::Endpoint(QHostAddress::LocalHost, TestSupport::freeLoopbackPort());
    context.upstream = DNS::Endpoint(QHostAddress::LocalHost, TestSupport::freeLoopbackPort());
    DNS::ServersManager servers;
    DNSProxy proxy(&context, nullptr, &servers);
    QVERIFY(proxy.start());

    NetworkInterfaceManager manager(QHostAddress(QStringLiteral("127.0.0.1")),
            new FileDnsBackend(root + QStringLiteral("/resolv.conf"), root + QStringLiteral("/backup.ini")),
            new IniAdapterEnumerator(root + QStringLiteral("/adapters.ini")), QStringLiteral("test"));
    connect(DNS::LocalAnswers::instance(), &DNS::LocalAnswers::probeAnswered, &manager, &NetworkInterfaceManager::probeSeen);
    auto lookups = std::make_shared<std::atomic<int>>(0);
    const quint16 port = context.local.port;
    manager.verifier()->setLookup([lookups, port, reaches](const QString &name) {
        ++*lookups;
        return reaches ? askProxy(port, name) : QStringLiteral("no such name");
    });
    manager.verifier()->setWaitMs(500);
    manager.initialise();

    LogCapture log;
    QSignalSpy finished(&manager, &NetworkInterfaceManager::verificationFinished);
    manager.setDnsOnInterfaces(true);
    QVERIFY(finished.wait(5000));
    QTest::qWait(100);
    QCOMPARE(finished.count(), 1);
    const VerificationVerdict verdict = manager.lastVerification();
    QCOMPARE(verdict.passed, reaches);
    QCOMPARE(verdict.backend, QStringLiteral("resolv.conf"));
    // A failed check writes the settings again and checks once more, with one warning.
    QCOMPARE(lookups->load(), reaches ? 1 : 2);
    if (reaches) {
        QVERIFY2(verdict.result.startsWith(QStringLiteral("the filter saw the lookup of p")), qPrintable(verdict.result));
        QVERIFY2(log.warnings().isEmpty(), qPrintable(log.dump()));
    } else {
        QVERIFY2(verdict.result.endsWith(QStringLiteral("(also after the DNS settings were written again)")), qPrintable(verdict.result));
        QCOMPARE(log.warnings().size(), 1);
        QVERIFY2(log.warnings().first().startsWith(QStringLiteral(
                         "queries of this machine do not reach the filter: backend resolv.conf: the lookup of p")),
                qPrintable(log.dump()));
        QVERIFY(log.warnings().first().contains(QStringLiteral("gave no such name")));
    }
}

QTEST_GUILESS_MAIN(tst_ProtectionVerifier)
#include "tst_protectionverifier.moc"

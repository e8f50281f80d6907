// The outside interface of corvane-proxy-runner: its command line, its exit codes and that
// it relays queries. Outside checks drive it exactly like this, so these rows pin it.

#include "fakeresolver.h"
#include "testsupport.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

using TestSupport::hex;

namespace {

QString runnerPath()
{
    return QStringLiteral(CORVANE_BINARY_DIR "/tools/corvane-proxy-runner/corvane-proxy-runner");
}

bool waitForExit(QProcess *process, int ms)
{
    qRegisterMetaType<QProcess::ExitStatus>();
    QSignalSpy done(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    return process->state() == QProcess::NotRunning || done.wait(ms);
}

} // namespace

class tst_ProxyRunner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void badArguments_data();
    void badArguments();
    void relaysAndStopsOnSigterm();
    void busyPortExitsWithTheStartError();
};

void tst_ProxyRunner::initTestCase()
{
    QVERIFY2(QFileInfo(runnerPath()).isExecutable(), qPrintable(runnerPath() + " is not built"));
}

void tst_ProxyRunner::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("no listen") << QStringList{"--upstream", "127.0.0.1:53"} << "--listen needs address:port";
    QTest::newRow("no upstream") << QStringList{"--listen", "127.0.0.1:5353"} << "--upstream needs address:port";
    QTest::newRow("port too big") << QStringList{"--listen", "127.0.0.1:70000", "--upstream", "127.0.0.1:53"}
                                  << "--listen needs address:port";
    QTest::newRow("token not a number")
        << QStringList{"--listen", "127.0.0.1:5353", "--upstream", "127.0.0.1:53", "--token", "x"}
        << "--token needs an unsigned 32-bit number";
    QTest::newRow("http port 0")
        << QStringList{"--listen", "127.0.0.1:5353", "--upstream", "127.0.0.1:53", "--http-port", "0"}
        << "--http-port needs a port number";
}

void tst_ProxyRunner::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QProcess runner;
    runner.start(runnerPath(), arguments);
    QVERIFY(waitForExit(&runner, 10000));
    QCOMPARE(runner.exitCode(), 2);
    QCOMPARE(QString::fromUtf8(runner.readAllStandardError()).trimmed(), message);
}

void tst_ProxyRunner::relaysAndStopsOnSigterm()
{
    FakeResolver resolver;
    QVERIFY(resolver.start());
    const quint16 port = TestSupport::freeLoopbackPort();
    QProcess runner;
    runner.start(runnerPath(), {"--listen", QStringLiteral("127.0.0.1:%1").arg(port), "--upstream",
                                QStringLiteral("127.0.0.1:%1").arg(resolver.port()), "--token", "305419896",
                                "--http-port", QString::number(TestSupport::freeLoopbackPort())});
    QVERIFY(runner.waitForStarted(5000));

    const QByteArray query = hex("beef 0100 0001 0000 0000 0000 01 61 00 0001 0001");
    QUdpSocket client;
    QByteArray answer;
    // The runner needs a moment to bind; ask until it answers.
    for (int attempt = 0; attempt < 50 && answer.isEmpty(); ++attempt) {
        client.writeDatagram(query, QHostAddress::LocalHost, port);
        QSignalSpy ready(&client, &QUdpSocket::readyRead);
        if (client.hasPendingDatagrams() || ready.wait(200)) {
            answer.resize(int(client.pendingDatagramSize()));
            client.readDatagram(answer.data(), answer.size());
        }
    }
    QVERIFY(!answer.isEmpty());
    QCOMPARE(answer.left(2), hex("beef"));
    QVERIFY(!resolver.received.isEmpty());
    QCOMPARE(resolver.received.last().bytes.right(15), hex("00 FF ED 00 01 00 00 00 00 00 04 12 34 56 78"));

    runner.terminate(); // SIGTERM
    QVERIFY(waitForExit(&runner, 10000));
    QCOMPARE(runner.exitStatus(), QProcess::NormalExit);
    QCOMPARE(runner.exitCode(), 0);
}

void tst_ProxyRunner::busyPortExitsWithTheStartError()
{
    const quint16 port = TestSupport::freeLoopbackPort();
    QUdpSocket taken;
    QVERIFY(taken.bind(QHostAddress(QHostAddress::LocalHost), port));
    QProcess runner;
    runner.start(runnerPath(), {"--listen", QStringLiteral("127.0.0.1:%1").arg(port), "--upstream", "127.0.0.1:53"});
    QVERIFY(waitForExit(&runner, 10000));
    QCOMPARE(runner.exitCode(), 1);
    QVERIFY(QString::fromUtf8(runner.readAllStandardError())
                .contains(QStringLiteral("Failed to start DNS proxy on udp://127.0.0.1:%1: Address already in use").arg(port)));
}

QTEST_GUILESS_MAIN(tst_ProxyRunner)
#include "tst_proxyrunner.moc"

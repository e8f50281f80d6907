#include "autorun.h"
#include "returncodechannel.h"
#include "singleinstance.h"
#include "testsupport.h"

#include <QLocalSocket>
#include <QLockFile>
#include <QSignalSpy>
#include <QtTest>

// The one-instance facility and the return-code channel with peers that misbehave, and the
// autorun entry's Exec line.
class TestSingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void peers_data();
    void peers();
    void staleLockIsTakenOver();
    void secondWaiterFails();
    void execLine_data();
    void execLine();
};

// What the primary makes of what a peer sends.
void TestSingleInstance::peers_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QStringList>("received");

    QTest::newRow("one message") << QByteArray("activate\n") << QStringList{"activate"};
    QTest::newRow("UTF-8 text") << QByteArray("caf\xc3\xa9\n") << QStringList{QString::fromUtf8("caf\xc3\xa9")};
    QTest::newRow("no line end: dropped at the time-out") << QByteArray("close") << QStringList();
    QTest::newRow("longer than the limit") << QByteArray(SingleInstance::MaximumMessageBytes + 10, 'x') + '\n'
                                           << QStringList();
}

void TestSingleInstance::peers()
{
    QFETCH(QByteArray, sent);
    QFETCH(QStringList, received);

    const QString directory = TestSupport::scratchDirectory(QStringLiteral("instance"));
    SingleInstance primary(QStringLiteral("Test-1"), directory);
    QVERIFY(!primary.isRunning());
    QVERIFY(primary.listen());
    QSignalSpy messages(&primary, &SingleInstance::messageReceived);

    QLocalSocket peer;
    peer.connectToServer(primary.socketPath());
    QVERIFY(peer.waitForConnected(1000));
    peer.write(sent);
    QSignalSpy gone(&peer, &QLocalSocket::disconnected);
    QVERIFY(gone.wait(SingleInstance::PeerTimeoutMs + 2000));
    QCOMPARE(messages.count(), received.size());
    if (!received.isEmpty())
        QCOMPARE(messages.first().first().toString(), received.first());
}

// A primary that crashed leaves its lock and socket; the next start becomes the primary.
void TestSingleInstance::staleLockIsTakenOver()
{
    const QString directory = TestSupport::scratchDirectory(QStringLiteral("stale"));
    SingleInstance probe(QStringLiteral("Test-2"), directory);
    // A lock file naming a process that does not exist.
    QVERIFY(TestSupport::writeFile(probe.lockFilePath(),
                                   "999999999\nTest\n" + QSysInfo::machineHostName().toUtf8() + '\n'));
    QVERIFY(TestSupport::writeFile(probe.socketPath(), ""));
    SingleInstance instance(QStringLiteral("Test-2"), directory);
    QVERIFY(!instance.isRunning());
    QVERIFY(instance.listen());
    SingleInstance second(QStringLiteral("Test-2"), directory);
    QVERIFY(second.isRunning());
    QLocalSocket peer; // the socket left behind was replaced by a live one
    peer.connectToServer(instance.socketPath());
    QVERIFY(peer.waitForConnected(1000));
    QVERIFY(!second.sendMessage(QStringLiteral("two\nlines"), 5000));
}

void TestSingleInstance::secondWaiterFails()
{
    const QString directory = TestSupport::scratchDirectory(QStringLiteral("returncode"));
    ReturnCodeListener first(QStringLiteral("rc"), directory);
    QVERIFY(first.listen());
    ReturnCodeListener second(QStringLiteral("rc"), directory);
    QSignalSpy failed(&second, &ReturnCodeListener::failed);
    QVERIFY(!second.listen());
    QVERIFY(failed.wait(1000));

    QSignalSpy code(&first, &ReturnCodeListener::codeReceived);
    ReturnCodeWriter::write(ReturnCode::Undecided, QStringLiteral("rc"), directory); // not an answer
    ReturnCodeWriter::write(ReturnCode::Refused, QStringLiteral("rc"), directory);
    QVERIFY(code.wait(2000));
    QCOMPARE(code.first().first().toInt(), ReturnCode::Refused);
    QTest::qWait(50);
    QCOMPARE(code.count(), 1);
}

void TestSingleInstance::execLine_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("exec");

    QTest::newRow("plain path") << "/usr/bin/corvane-agent" << "\"/usr/bin/corvane-agent\" -h";
    QTest::newRow("blank in a folder") << "/opt/My Apps/corvane-agent" << "\"/opt/My Apps/corvane-agent\" -h";
    QTest::newRow("reserved characters") << "/opt/a\"b$c`d/agent" << "\"/opt/a\\\\\"b\\\\$c\\\\`d/agent\" -h";
    QTest::newRow("backslash") << "/opt/a\\b/agent" << "\"/opt/a\\\\\\\\b/agent\" -h";
    QTest::newRow("percent is no field code") << "/opt/100%/agent" << "\"/opt/100%%/agent\" -h";
}

void TestSingleInstance::execLine()
{
    QFETCH(QString, program);
    QFETCH(QString, exec);
    QCOMPARE(Autorun::execLine(program), exec);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"

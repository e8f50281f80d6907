#include "agenttestrig.h"

#include "returncodechannel.h"
#include "singleinstance.h"

#include <QElapsedTimer>
#include <QProcess>

// A second start of corvane-agent (the real program) against a first instance that runs in
// this test, with its real single-instance facility and return-code channel.
class TestAgentProcess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void closeWithNoneRunning();
    void secondStart_data();
    void secondStart();
    void uninstallCheck_data();
    void uninstallCheck();

private:
    void startPrimary(bool locked, FakeService::Identification identification);
    // Starts the program; the exit code comes with finished().
    QProcess *startSecond(const QString &option);
    static int exitCodeOf(QProcess *process, int timeoutMs);

    std::unique_ptr<AgentTestRig> rig;
    std::unique_ptr<SingleInstance> instance;
};

void TestAgentProcess::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Agent"));
    initAgentResources();
}

void TestAgentProcess::init()
{
    AgentTestRig::resetSettings(true);
    rig = std::make_unique<AgentTestRig>();
    rig->service.useSampleAccount();
}

void TestAgentProcess::cleanup()
{
    rig.reset();
    instance.reset();
}

void TestAgentProcess::startPrimary(bool locked, FakeService::Identification identification)
{
    instance = std::make_unique<SingleInstance>(SingleInstance::userInstanceId());
    QVERIFY(!instance->isRunning());
    QVERIFY(instance->listen());
    rig->service.settingsLocked = locked;
    rig->service.identification = identification;
    QVERIFY(rig->service.start(rig->socketPath));
    rig->startAgent(AgentOptions::fromArguments({QStringLiteral("-h")}));
    connect(instance.get(), &SingleInstance::messageReceived, rig->agent.get(), &Agent::handleMessage);
    QVERIFY(rig->waitFor(identification == FakeService::Identification::Identified ? Agent::State::Identified
                                                                                    : Agent::State::Unidentified));
}

QProcess *TestAgentProcess::startSecond(const QString &option)
{
    auto *process = new QProcess(this);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QStringLiteral(CORVANE_BINARY_DIR "/agent/corvane-agent"),
                   option.isEmpty() ? QStringList() : QStringList{option});
    return process;
}

int TestAgentProcess::exitCodeOf(QProcess *process, int timeoutMs)
{
    QSignalSpy finished(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished));
    if (process->state() != QProcess::NotRunning && !finished.wait(timeoutMs))
        return -1;
    return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -2;
}

void TestAgentProcess::closeWithNoneRunning()
{
    QElapsedTimer timer;
    timer.start();
    QProcess *process = startSecond(QStringLiteral("-c"));
    QCOMPARE(exitCodeOf(process, 20000), 0);
    // It asks nobody: no time-out was waited for.
    QVERIFY2(timer.elapsed() < 4000, qPrintable(QString::number(timer.elapsed())));
}

void TestAgentProcess::secondStart_data()
{
    QTest::addColumn<QString>("option");

    QTest::newRow("no option activates the first") << "";
    QTest::newRow("-c closes the first") << "-c";
}

void TestAgentProcess::secondStart()
{
    QFETCH(QString, option);

    startPrimary(false, FakeService::Identification::Identified);
    QSignalSpy finished(rig->agent.get(), &Agent::finished);
    rig->service.calls.clear();
    QProcess *process = startSecond(option);
    QCOMPARE(exitCodeOf(process, 20000), 0);
    if (option.isEmpty()) {
        QTRY_VERIFY(rig->agent->window()->isVisible());
        QTRY_COMPARE(rig->service.count(QStringLiteral("updateProfiles")), 1);
        QCOMPARE(finished.count(), 0);
    } else {
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(), 0);
    }
}

void TestAgentProcess::uninstallCheck_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("identified");
    QTest::addColumn<QString>("answer"); // what the user does at the prompt
    QTest::addColumn<int>("code");

    QTest::newRow("no settings password") << false << true << "" << 100;
    QTest::newRow("unidentified") << true << false << "" << 100;
    QTest::newRow("correct password") << true << true << "secret" << 100;
    QTest::newRow("cancelled") << true << true << "cancel" << 101;
    QTest::newRow("navigated away") << true << true << "leave" << 101;
    QTest::newRow("first instance quits") << true << true << "quit" << 101;
}

void TestAgentProcess::uninstallCheck()
{
    QFETCH(bool, locked);
    QFETCH(bool, identified);
    QFETCH(QString, answer);
    QFETCH(int, code);

    startPrimary(locked, identified ? FakeService::Identification::Identified : FakeService::Identification::Failed);
    QProcess *process = startSecond(QStringLiteral("-p"));
    if (!answer.isEmpty()) {
        QTRY_COMPARE_WITH_TIMEOUT(rig->pageName(), QStringLiteral("authRequestPage_"), 20000);
        QCOMPARE(rig->promptText(), QStringLiteral("Enter your password to uninstall Corvane Agent"));
        // No time-out: the second process waits for as long as the user takes.
        QTest::qWait(200);
        QCOMPARE(process->state(), QProcess::Running);
        if (answer == QLatin1String("cancel"))
            QTest::mouseClick(rig->find<QAbstractButton>("authRequestCancelButton_"), Qt::LeftButton);
        else if (answer == QLatin1String("leave"))
            QTest::mouseClick(rig->find<QAbstractButton>("helpButton_"), Qt::LeftButton);
        else if (answer == QLatin1String("quit"))
            rig->agent.reset();
        else
            rig->typePassword(answer);
    }
    QCOMPARE(exitCodeOf(process, 20000), code);
}

QTEST_MAIN(TestAgentProcess)
#include "tst_agentprocess.moc"

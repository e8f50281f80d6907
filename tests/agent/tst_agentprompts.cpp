#include "agenttestrig.h"

#include "profilelistmodel.h"

// The settings password: when the prompts ask, what each outcome does, and the retry of a
// call that the service refuses as locked.
class TestAgentPrompts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void blanksSendNothing();
    void wrongPasswordMarkClearedByFirstKey();
    void unlockedUntilHidden_data();
    void unlockedUntilHidden();
    void promptOutcomes_data();
    void promptOutcomes();
    void lockedCallAsksAndRetriesOnce_data();
    void lockedCallAsksAndRetriesOnce();
    void requestErrorBalloon_data();
    void requestErrorBalloon();

private:
    void startLocked();
    void switchOff();

    std::unique_ptr<AgentTestRig> rig;
};

void TestAgentPrompts::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Agent"));
    initAgentResources();
}

void TestAgentPrompts::init()
{
    AgentTestRig::resetSettings(true);
    rig = std::make_unique<AgentTestRig>();
    rig->service.useSampleAccount();
}

void TestAgentPrompts::cleanup()
{
    rig.reset();
}

void TestAgentPrompts::startLocked()
{
    rig->service.settingsLocked = true;
    QVERIFY(rig->service.start(rig->socketPath));
    rig->startAgent();
    QVERIFY(rig->waitFor(Agent::State::Identified));
    QTRY_VERIFY(rig->agent->settingsLocked());
    QTRY_COMPARE(rig->agent->trayIcon()->statusLevel(), 3);
}

void TestAgentPrompts::switchOff()
{
    QTest::mouseClick(rig->find<QAbstractButton>("protectionStateButton_"), Qt::LeftButton);
}

void TestAgentPrompts::blanksSendNothing()
{
    startLocked();
    switchOff();
    QCOMPARE(rig->pageName(), QStringLiteral("authRequestPage_"));
    QCOMPARE(rig->promptText(), QStringLiteral("Enter your password to stop filtering"));
    rig->typePassword(QStringLiteral("   "));
    QTest::mouseClick(rig->find<QAbstractButton>("authRequestUnlockButton_"), Qt::LeftButton);
    QTest::qWait(100);
    QCOMPARE(rig->service.count(QStringLiteral("unlockSettings")), 0);
    QCOMPARE(rig->pageName(), QStringLiteral("authRequestPage_"));
}

void TestAgentPrompts::wrongPasswordMarkClearedByFirstKey()
{
    startLocked();
    switchOff();
    rig->typePassword(QStringLiteral("wrong"));
    QTRY_COMPARE(rig->promptText(), QStringLiteral("Your password is incorrect"));
    QCOMPARE(rig->service.lastParams(QStringLiteral("unlockSettings")),
             QVariantList({QStringLiteral("parent@example.com"), QStringLiteral("wrong")}));
    QTest::keyClick(rig->find<QLineEdit>("authRequestPasswordForm_"), Qt::Key_A);
    QCOMPARE(rig->promptText(), QStringLiteral("Enter your password to stop filtering"));
    QCOMPARE(rig->service.count(QStringLiteral("setGlobalFiltering")), 0);
}

// After a correct password, switching off again does not ask until the window is hidden
// or minimised.
void TestAgentPrompts::unlockedUntilHidden_data()
{
    QTest::addColumn<QString>("between");
    QTest::addColumn<bool>("asksAgain");

    QTest::newRow("nothing in between") << "" << false;
    QTest::newRow("window hidden") << "hide" << true;
    QTest::newRow("window minimised") << "minimise" << true;
}

void TestAgentPrompts::unlockedUntilHidden()
{
    QFETCH(QString, between);
    QFETCH(bool, asksAgain);

    startLocked();
    switchOff();
    rig->typePassword(QStringLiteral("secret"));
    QTRY_COMPARE(rig->service.count(QStringLiteral("setGlobalFiltering")), 1);
    QCOMPARE(rig->service.lastParams(QStringLiteral("setGlobalFiltering")), QVariantList({false, 0}));
    QTRY_COMPARE(rig->pageName(), QStringLiteral("homePage_"));
    QTRY_COMPARE(rig->agent->trayIcon()->statusLevel(), 2);

    QTest::mouseClick(rig->find<QAbstractButton>("protectionStateButton_"), Qt::LeftButton); // on again
    QTRY_COMPARE(rig->agent->trayIcon()->statusLevel(), 3);
    if (between == QLatin1String("hide")) {
        QTest::mouseClick(rig->find<QAbstractButton>("closeButton_"), Qt::LeftButton);
        rig->agent->window()->show();
    } else if (between == QLatin1String("minimise")) {
        QTest::mouseClick(rig->find<QAbstractButton>("minimizeButton_"), Qt::LeftButton);
        rig->agent->window()->showNormal();
    }
    switchOff();
    QCOMPARE(rig->pageName() == QLatin1String("authRequestPage_"), asksAgain);
    QTRY_COMPARE(rig->service.count(QStringLiteral("setGlobalFiltering")), asksAgain ? 2 : 3);
}

// Each prompt, left or cancelled: what is sent, where the window goes.
void TestAgentPrompts::promptOutcomes_data()
{
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("level");

    QTest::newRow("settings, cancelled") << "settings" << "cancel" << "homePage_" << 3;
    QTest::newRow("settings, confirmed") << "settings" << "confirm" << "settingsPage_" << 3;
    QTest::newRow("stop filtering, cancelled") << "stop" << "cancel" << "homePage_" << 3;
    QTest::newRow("stop filtering, left for help") << "stop" << "leave" << "helpPage_" << 3;
    QTest::newRow("profile from the tray, confirmed") << "profile" << "confirm" << "homePage_" << 3;
}

void TestAgentPrompts::promptOutcomes()
{
    QFETCH(QString, prompt);
    QFETCH(QString, outcome);
    QFETCH(QString, page);
    QFETCH(int, level);

    startLocked();
    rig->agent->window()->show();
    if (prompt == QLatin1String("settings"))
        QTest::mouseClick(rig->find<QAbstractButton>("settingsButton_"), Qt::LeftButton);
    else if (prompt == QLatin1String("stop"))
        switchOff();
    else
        rig->agent->trayIcon()->profileSelected(rig->agent->profileListModel()->index(1, 0));
    QCOMPARE(rig->pageName(), QStringLiteral("authRequestPage_"));

    if (outcome == QLatin1String("cancel"))
        QTest::mouseClick(rig->find<QAbstractButton>("authRequestCancelButton_"), Qt::LeftButton);
    else if (outcome == QLatin1String("leave"))
        QTest::mouseClick(rig->find<QAbstractButton>("helpButton_"), Qt::LeftButton);
    else
        rig->typePassword(QStringLiteral("secret"));

    QTRY_COMPARE(rig->pageName(), page);
    QTRY_COMPARE(rig->agent->trayIcon()->statusLevel(), level);
    QTRY_COMPARE(rig->find<QAbstractButton>("protectionStateButton_")->isChecked(), true);
    const bool confirmed = outcome == QLatin1String("confirm");
    QCOMPARE(rig->agent->settingsUnlocked(), confirmed);
    QCOMPARE(rig->service.count(QStringLiteral("setGlobalFiltering")), 0);
    if (prompt == QLatin1String("settings"))
        QCOMPARE(rig->service.count(QStringLiteral("updateProfiles")), confirmed ? 1 : 0);
    if (prompt == QLatin1String("profile")) {
        QTRY_COMPARE(rig->service.lastParams(QStringLiteral("setProfile")), QVariantList({12u}));
        QTRY_COMPARE(rig->agent->profileListModel()->activeRow(), 1);
    }
}

// A service that forgot our unlock refuses a protected call with code 1: the client asks
// for the password and sends the call once more.
void TestAgentPrompts::lockedCallAsksAndRetriesOnce_data()
{
    QTest::addColumn<int>("refusals");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("sent");
    QTest::addColumn<int>("level"); // what the status shows in the end
    QTest::addColumn<int>("balloons");

    QTest::newRow("password given, then accepted") << 1 << false << 2 << 2 << 0;
    QTest::newRow("prompt cancelled") << 1 << true << 1 << 3 << 0;
    QTest::newRow("refused again: no third try") << 2 << false << 2 << 3 << 1;
}

void TestAgentPrompts::lockedCallAsksAndRetriesOnce()
{
    QFETCH(int, refusals);
    QFETCH(bool, cancel);
    QFETCH(int, sent);
    QFETCH(int, level);
    QFETCH(int, balloons);

    // The client is told the settings are open, but the service refuses all the same.
    rig->service.lockedRefusals = refusals;
    QVERIFY(rig->service.start(rig->socketPath));
    rig->startAgent();
    QVERIFY(rig->waitFor(Agent::State::Identified));
    QTRY_COMPARE(rig->agent->trayIcon()->statusLevel(), 3);
    QSignalSpy balloonSpy(rig->agent->trayIcon(), &TrayIcon::balloonShown);

    switchOff();
    QTRY_COMPARE(rig->pageName(), QStringLiteral("authRequestPage_"));
    QCOMPARE(rig->promptText(), QStringLiteral("Enter your password to stop filtering"));
    // What the client showed in advance is undone while it asks.
    QTRY_COMPARE(rig->agent->trayIcon()->statusLevel(), 3);
    if (cancel)
        QTest::mouseClick(rig->find<QAbstractButton>("authRequestCancelButton_"), Qt::LeftButton);
    else
        rig->typePassword(QStringLiteral("secret"));
    QTRY_COMPARE(rig->service.count(QStringLiteral("setGlobalFiltering")), sent);
    QTRY_COMPARE(rig->agent->trayIcon()->statusLevel(), level);
    QTRY_COMPARE(balloonSpy.count(), balloons);
    QTest::qWait(50);
    QCOMPARE(rig->service.count(QStringLiteral("setGlobalFiltering")), sent);
}

void TestAgentPrompts::requestErrorBalloon_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("shown");

    QTest::newRow("time-out") << 2 << true;
    QTest::newRow("not connected") << 3 << true;
    QTest::newRow("answer malformed") << 9 << true;
    QTest::newRow("transport failure") << 31 << true;
    QTest::newRow("other code") << 33 << false;
}

void TestAgentPrompts::requestErrorBalloon()
{
    QFETCH(int, code);
    QFETCH(bool, shown);

    rig->service.failures.insert(QStringLiteral("setProfile"), ::Error(code, QStringLiteral("scripted")));
    QVERIFY(rig->service.start(rig->socketPath));
    rig->startAgent();
    QVERIFY(rig->waitFor(Agent::State::Identified));
    QSignalSpy balloons(rig->agent->trayIcon(), &TrayIcon::balloonShown);
    rig->agent->trayIcon()->profileSelected(rig->agent->profileListModel()->index(1, 0));
    QTRY_COMPARE(rig->service.count(QStringLiteral("setProfile")), 1);
    QTest::qWait(50);
    QCOMPARE(balloons.count(), shown ? 1 : 0);
    if (shown)
        QCOMPARE(balloons.first().at(2).toString(), QStringLiteral("Can't reach Corvane"));
}

QTEST_MAIN(TestAgentPrompts)
#include "tst_agentprompts.moc"

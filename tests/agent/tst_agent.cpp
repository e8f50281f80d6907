#include "agenttestrig.h"

#include "networks.h"

// The state machine against a fake service: what each state shows, how the states follow
// each other, and how the program first presents itself.
class TestAgent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void statusPerState_data();
    void statusPerState();
    void credentialsRefused_data();
    void credentialsRefused();
    void identifiedAgainAfterFailure();
    void serviceLostAndBack();
    void serviceStartsLater();
    void networksChangeTheStatus();
    void firstPresentation_data();
    void firstPresentation();
    void firstStartTurnsAutorunOn_data();
    void firstStartTurnsAutorunOn();

private:
    std::unique_ptr<AgentTestRig> rig;
};

void TestAgent::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Agent"));
    initAgentResources();
}

void TestAgent::init()
{
    AgentTestRig::resetSettings(true);
    rig = std::make_unique<AgentTestRig>();
    rig->service.useSampleAccount();
}

void TestAgent::cleanup()
{
    rig.reset();
}

void TestAgent::statusPerState_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("switchShown");
    QTest::addColumn<bool>("menuItemsShown");
    QTest::addColumn<bool>("navigation");

    const QString lost = QStringLiteral(
        "The service part of Corvane Agent doesn't work. Probably the service is still starting. If it "
        "doesn't start in a minute try to start it manually. Notice, Corvane Agent doesn't work without "
        "this service.");
    QTest::newRow("no service") << "none" << int(Agent::State::Unconnected) << 0
                                << "A Corvane system service error" << lost << false << false << false;
    QTest::newRow("no identification yet")
        << "waiting" << int(Agent::State::Waiting) << 1 << "Connecting to the Corvane system service..."
        << "The Corvane system service is successfully connected and now waiting for the end of initialization steps"
        << false << false << false;
    // Unidentified sets only the tray: the window keeps what waiting showed.
    QTest::newRow("identification failed")
        << "failed" << int(Agent::State::Unidentified) << 1 << "Identification failed"
        << "The Corvane system service is successfully connected and now waiting for the end of initialization steps"
        << false << false << true;
    QTest::newRow("no network connection known")
        << "no networks" << int(Agent::State::Identified) << 1 << "Filtering is disabled"
        << "Corvane Agent can't retrieve the information about internet connections on this computer. Probably "
           "the computer is disconnected from the internet or the type of your connection isn't supported by "
           "the Agent yet."
        << false << false << true;
    QTest::newRow("no connection protected")
        << "unprotected" << int(Agent::State::Identified) << 1 << "Filtering is disabled"
        << "Filtering isn't activated on any of network connections. To activate it, click on the Settings button."
        << false << false << true;
    QTest::newRow("filtering off") << "off" << int(Agent::State::Identified) << 2 << "Filtering is turned off"
                                   << "To turn on filtering, click the button in the bottom left corner" << true
                                   << true << true;
    QTest::newRow("filtering on")
        << "on" << int(Agent::State::Identified) << 3 << "The internet is under control"
        << "This computer is successfully connected to the service and is filtered according to your account settings"
        << true << true << true;
}

void TestAgent::statusPerState()
{
    QFETCH(QString, script);
    QFETCH(int, state);
    QFETCH(int, level);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, switchShown);
    QFETCH(bool, menuItemsShown);
    QFETCH(bool, navigation);

    FakeService &service = rig->service;
    if (script == QLatin1String("waiting"))
        service.identification = FakeService::Identification::None;
    else if (script == QLatin1String("failed"))
        service.identification = FakeService::Identification::Failed;
    else if (script == QLatin1String("no networks"))
        service.networks.clear();
    else if (script == QLatin1String("unprotected"))
        service.networks = {Network(QStringLiteral("eth0"), QStringLiteral("Wired"), false).toVariant()};
    else if (script == QLatin1String("off"))
        service.globalFiltering = false;
    if (script != QLatin1String("none"))
        QVERIFY(service.start(rig->socketPath));

    rig->startAgent();
    QVERIFY(rig->waitFor(Agent::State(state)));
    TrayIcon *tray = rig->agent->trayIcon();
    QTRY_COMPARE(tray->toolTip(), title);
    QCOMPARE(tray->statusLevel(), level);
    if (state != int(Agent::State::Unidentified))
        QVERIFY2(rig->statusText().contains(title), qPrintable(rig->statusText()));
    QVERIFY2(rig->statusText().contains(text), qPrintable(rig->statusText()));

    const bool filteringOn = script == QLatin1String("on");
    QCOMPARE(rig->find<QAbstractButton>("protectionStateButton_")->isVisibleTo(rig->agent->window()), switchShown);
    if (switchShown)
        QCOMPARE(rig->find<QAbstractButton>("protectionStateButton_")->isChecked(), filteringOn);
    QCOMPARE(rig->trayAction("startFilteringAction_")->isVisible(), menuItemsShown && !filteringOn);
    QCOMPARE(rig->trayMenu("stopFilteringMenu_")->menuAction()->isVisible(), menuItemsShown && filteringOn);
    QCOMPARE(rig->trayMenu("profilesMenu_")->menuAction()->isVisible(), menuItemsShown);
    QCOMPARE(rig->find<QAbstractButton>("homeButton_")->isEnabled(), navigation);
    QCOMPARE(rig->find<QAbstractButton>("settingsButton_")->isEnabled(), navigation);
    QVERIFY(rig->find<QAbstractButton>("helpButton_")->isEnabled());
    QCOMPARE(rig->find<QWidget>("profileBar_")->isVisibleTo(rig->agent->window()),
             state == int(Agent::State::Identified));
}

// Code 30 from the service: the sign-in form comes up, marked as failed unless no
// credentials were ever stored.
void TestAgent::credentialsRefused_data()
{
    QTest::addColumn<bool>("identifiedFirst");
    QTest::addColumn<QString>("login");
    QTest::addColumn<bool>("marked");

    QTest::newRow("while waiting, no login stored") << false << QString() << false;
    QTest::newRow("while waiting, a login stored") << false << QStringLiteral("parent@example.com") << true;
    QTest::newRow("while identified") << true << QStringLiteral("parent@example.com") << true;
}

void TestAgent::credentialsRefused()
{
    QFETCH(bool, identifiedFirst);
    QFETCH(QString, login);
    QFETCH(bool, marked);

    rig->service.login = login;
    if (!identifiedFirst)
        rig->service.identification = FakeService::Identification::CredentialsRefused;
    QVERIFY(rig->service.start(rig->socketPath));
    rig->startAgent();
    if (identifiedFirst) {
        QVERIFY(rig->waitFor(Agent::State::Identified));
        rig->service.identification = FakeService::Identification::CredentialsRefused;
        rig->service.sendIdentification();
    }
    QVERIFY(rig->waitFor(Agent::State::Unidentified));
    QTRY_COMPARE(rig->pageName(), QStringLiteral("authSettingsPage_"));
    QCOMPARE(rig->agent->window()->isLoginFailed(), marked);
    QCOMPARE(rig->find<QLineEdit>("authSettingsLoginForm_")->text(), login);
    // The service never sends the password, so the field stays empty.
    QCOMPARE(rig->find<QLineEdit>("authSettingsPasswordForm_")->text(), QString());
}

void TestAgent::identifiedAgainAfterFailure()
{
    rig->service.identification = FakeService::Identification::CredentialsRefused;
    QVERIFY(rig->service.start(rig->socketPath));
    rig->startAgent();
    QVERIFY(rig->waitFor(Agent::State::Unidentified));
    QTRY_VERIFY(rig->agent->window()->isLoginFailed());

    // Home and Settings lead to the sign-in form while unidentified.
    QTest::mouseClick(rig->find<QAbstractButton>("homeButton_"), Qt::LeftButton);
    QCOMPARE(rig->pageName(), QStringLiteral("authSettingsPage_"));

    QLineEdit *password = rig->find<QLineEdit>("authSettingsPasswordForm_");
    QTest::keyClicks(password, QStringLiteral("secret"));
    QVERIFY(!rig->agent->window()->isLoginFailed()); // the first edit clears the mark
    QTest::keyClick(password, Qt::Key_Return);
    QVERIFY(rig->waitFor(Agent::State::Identified));
    QCOMPARE(rig->service.lastParams(QStringLiteral("setCredentials")),
             QVariantList({QStringLiteral("parent@example.com"), QStringLiteral("secret")}));
    QTRY_COMPARE(rig->pageName(), QStringLiteral("homePage_"));
    QCOMPARE(rig->agent->window()->activePassword(), QStringLiteral("secret"));
}

// Losing the service says so once, shows the error status, and the client is back as
// soon as the service accepts it again.
void TestAgent::serviceLostAndBack()
{
    QVERIFY(rig->service.start(rig->socketPath));
    rig->startAgent();
    QVERIFY(rig->waitFor(Agent::State::Identified));
    QSignalSpy balloons(rig->agent->trayIcon(), &TrayIcon::balloonShown);
    rig->agent->window()->showHelpPage();

    rig->service.stop();
    QVERIFY(rig->waitFor(Agent::State::Unconnected));
    QCOMPARE(rig->pageName(), QStringLiteral("homePage_"));
    QCOMPARE(rig->agent->trayIcon()->statusLevel(), 0);
    QVERIFY(rig->service.start(rig->socketPath));
    QVERIFY(rig->waitFor(Agent::State::Identified, 15000));
    QCOMPARE(balloons.count(), 1);
    QCOMPARE(balloons.first().at(2).toString(), QStringLiteral("The connection to the Corvane system service was lost"));
}

// Regression: the first failed attempt reported its error while the socket was still
// connecting, and the retries never started.
void TestAgent::serviceStartsLater()
{
    rig->startAgent();
    QVERIFY(rig->waitFor(Agent::State::Unconnected));
    QVERIFY(rig->service.start(rig->socketPath));
    QVERIFY(rig->waitFor(Agent::State::Identified, 15000));
}

// The status follows the connections the service reports later, not only at the greeting.
void TestAgent::networksChangeTheStatus()
{
    QVERIFY(rig->service.start(rig->socketPath));
    rig->startAgent();
    QVERIFY(rig->waitFor(Agent::State::Identified));
    QTRY_COMPARE(rig->agent->trayIcon()->statusLevel(), 3);
    rig->service.networks.clear();
    rig->service.sendNetworks();
    QTRY_COMPARE(rig->agent->trayIcon()->toolTip(), QStringLiteral("Filtering is disabled"));
    QCOMPARE(rig->agent->trayIcon()->statusLevel(), 1);
}

void TestAgent::firstPresentation_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("autorun");
    QTest::addColumn<bool>("windowShown");
    QTest::addColumn<bool>("trayShown");
    QTest::addColumn<QString>("balloon");
    QTest::addColumn<int>("closeGives"); // -1: closing hides the window

    QTest::newRow("hidden, no service") << "-h" << "none" << true << false << true
                                        << "Can't connect to the Corvane system service" << -1;
    QTest::newRow("hidden, unidentified") << "-h" << "failed" << true << false << true
                                          << "Can't set up identification of this computer on service" << -1;
    QTest::newRow("hidden, identified") << "-h" << "identified" << false << false << true << QString() << -1;
    QTest::newRow("hidden without a tray") << "-h" << "identified" << true << true << false << QString() << 0;
    QTest::newRow("autorun on") << "" << "identified" << true << true << true << QString() << -1;
    QTest::newRow("autorun off") << "" << "identified" << false << true << false << QString() << 0;
    QTest::newRow("uninstall check, no service") << "-p" << "none" << false << false << false << QString() << 100;
    QTest::newRow("uninstall check, unidentified") << "-p" << "failed" << false << false << false << QString() << 100;
    QTest::newRow("uninstall check, identified, unprotected") << "-p" << "identified" << false << false << false
                                                              << QString() << 100;
    QTest::newRow("uninstall check, protected, window closed") << "-p" << "locked" << false << true << false
                                                               << QString() << 101;
}

void TestAgent::firstPresentation()
{
    QFETCH(QString, options);
    QFETCH(QString, script);
    QFETCH(bool, autorun);
    QFETCH(bool, windowShown);
    QFETCH(bool, trayShown);
    QFETCH(QString, balloon);
    QFETCH(int, closeGives);

    AgentTestRig::resetSettings(autorun);
    rig->service.identification = script == QLatin1String("failed") ? FakeService::Identification::Failed
                                                                     : FakeService::Identification::Identified;
    rig->service.settingsLocked = script == QLatin1String("locked");
    if (script != QLatin1String("none"))
        QVERIFY(rig->service.start(rig->socketPath));
    const bool trayAvailable = QTest::currentDataTag() != QByteArray("hidden without a tray");
    rig->startAgent(AgentOptions::fromArguments(options.split(QLatin1Char(' '))), trayAvailable);
    QSignalSpy finished(rig->agent.get(), &Agent::finished);
    QSignalSpy balloons(rig->agent->trayIcon(), &TrayIcon::balloonShown);

    const bool immediate = closeGives == 100;
    if (immediate) {
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().first().toInt(), 100);
        return;
    }
    QVERIFY(QTest::qWaitFor([&] { return rig->agent->state() != Agent::State::Initial
                                         && rig->agent->state() != Agent::State::Waiting; }));
    QCOMPARE(rig->agent->window()->isVisible(), windowShown);
    QCOMPARE(rig->agent->trayIcon()->isVisible(), trayShown);
    if (!balloon.isEmpty())
        QTRY_COMPARE(balloons.count(), 1);
    else
        QCOMPARE(balloons.count(), 0);
    if (!balloon.isEmpty())
        QCOMPARE(balloons.first().at(2).toString(), balloon);
    if (options == QLatin1String("-p"))
        QCOMPARE(rig->promptText(), QStringLiteral("Enter your password to uninstall Corvane Agent"));

    rig->agent->window()->show();
    QTest::mouseClick(rig->find<QAbstractButton>("closeButton_"), Qt::LeftButton);
    if (closeGives < 0) {
        QVERIFY(!rig->agent->window()->isVisible());
        QCOMPARE(finished.count(), 0);
    } else {
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().first().toInt(), closeGives);
    }
}

void TestAgent::firstStartTurnsAutorunOn_data()
{
    QTest::addColumn<bool>("firstStart");
    QTest::addColumn<bool>("entryThere");
    QTest::addColumn<bool>("reported");

    QTest::newRow("very first start") << true << false << true;
    QTest::newRow("later start, entry removed") << false << false << false;
    QTest::newRow("later start, entry kept") << false << true << true;
}

void TestAgent::firstStartTurnsAutorunOn()
{
    QFETCH(bool, firstStart);
    QFETCH(bool, entryThere);
    QFETCH(bool, reported);

    AgentTestRig::resetSettings(entryThere);
    if (firstStart)
        QSettings(QStringLiteral("Corvane"), QStringLiteral("Agent")).remove(QStringLiteral("firststart"));
    rig->startAgent();
    QVERIFY(rig->waitFor(Agent::State::Unconnected));
    QCOMPARE(rig->find<QAbstractButton>("trayIconFlag_")->isChecked(), reported);
    QCOMPARE(Autorun().isEnabled(), reported);
    QCOMPARE(QSettings(QStringLiteral("Corvane"), QStringLiteral("Agent")).value(QStringLiteral("firststart")).toBool(),
             false);
}

QTEST_MAIN(TestAgent)
#include "tst_agent.moc"

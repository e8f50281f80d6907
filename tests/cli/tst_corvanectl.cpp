#include "ctltestrig.h"

#include <QJsonArray>
#include <QLocalServer>
#include <QLocalSocket>

#include <csignal>
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

// Every command of corvanectl, run as the real program against the fake service.
class TestCorvanectl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void commands_data();
    void commands();
    void json_data();
    void json();
    void unreachable_data();
    void unreachable();
    void hostileService_data();
    void hostileService();
    void watch_data();
    void watch();
    void terminalPrompt_data();
    void terminalPrompt();

private:
    // The script variations the rows name.
    void applyScript(const QString &script);

    std::unique_ptr<CtlTestRig> rig;
};

void TestCorvanectl::init()
{
    rig = std::make_unique<CtlTestRig>();
}

void TestCorvanectl::cleanup()
{
    rig.reset();
}

void TestCorvanectl::applyScript(const QString &script)
{
    FakeService &service = *rig->service;
    if (script.contains(QLatin1String("locked")))
        service.settingsLocked = true;
    if (script.contains(QLatin1String("off")))
        service.globalFiltering = false;
    if (script.contains(QLatin1String("unidentified")))
        service.identification = FakeService::Identification::Failed;
    if (script.contains(QLatin1String("unprotected")))
        service.networks = {Network(QStringLiteral("eth0"), QStringLiteral("Wired"), false).toVariant()};
    if (script.contains(QLatin1String("slow report")))
        service.reportDelayMs = 1500;
}

void TestCorvanectl::commands_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input"); // standard input (passwords)
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("method"); // the change that reaches the service
    QTest::addColumn<QString>("params"); // its params as JSON, "" for none at all
    QTest::addColumn<QString>("out");    // in standard output
    QTest::addColumn<QString>("err");    // in standard error

    const QByteArray none;
    const QByteArray password = "secret\n";
    const QStringList stdinUnlock = {QStringLiteral("--password-stdin"), QStringLiteral("unlock")};
    QTest::newRow("status filtering") << "" << QStringList{"status"} << none << 0 << "" << "" << "The internet is under control" << "";
    QTest::newRow("no command is status") << "" << QStringList() << none << 0 << "" << "" << "Wired connection 1 (eth0): protected" << "";
    QTest::newRow("status off") << "off" << QStringList{"status"} << none << 3 << "" << "" << "Filtering is turned off" << "";
    QTest::newRow("status unidentified") << "unidentified" << QStringList{"status"} << none << 3 << "" << "" << "failed, error 1" << "";
    QTest::newRow("status unprotected") << "unprotected" << QStringList{"status"} << none << 3 << "" << "" << "no network connection is protected" << "";
    QTest::newRow("pause") << "" << QStringList{"pause", "15"} << none << 0 << "setGlobalFiltering" << "[false,15]" << "off for 15 minutes" << "";
    QTest::newRow("pause locked is refused with the way out")
            << "locked" << QStringList{"pause", "15"} << none << 4 << "setGlobalFiltering" << "[false,15]" << ""
            << "error 1: The settings are protected: unlock them first\nThe settings are protected by the account password: unlock them first, e.g. 'corvanectl unlock pause 15'";
    QTest::newRow("unlock then pause") << "locked" << stdinUnlock + QStringList{"pause", "15", "status"} << password << 3
                                       << "setGlobalFiltering" << "[false,15]" << "unlocked for this invocation" << "";
    QTest::newRow("unlock sends the signed-in login") << "locked" << stdinUnlock << password << 0 << "unlockSettings"
                                                      << "[\"parent@example.com\",\"secret\"]" << "unlocked" << "";
    QTest::newRow("passwords from a file, one line each")
            << "locked" << QStringList{"--password-stdin", "login", "parent@example.com", "unlock", "login", "other@example.com"}
            << QByteArray("secret\r\nother\n") << 4 << "setCredentials" << "[\"other@example.com\",\"other\"]" << "" << "";
    QTest::newRow("unlock with a wrong password") << "locked" << stdinUnlock + QStringList{"pause"} << QByteArray("wrong\n") << 4
                                                  << "setGlobalFiltering" << "" << "" << "error 30: Invalid credentials";
    QTest::newRow("unlock without any input") << "locked" << stdinUnlock << QByteArray("") << 4 << "unlockSettings" << "" << "" << "ended before a password";
    QTest::newRow("pause while off") << "off" << QStringList{"pause", "5"} << none << 4 << "setGlobalFiltering" << "" << "" << "resume pause MINUTES";
    QTest::newRow("resume then pause") << "off" << QStringList{"resume", "pause", "5"} << none << 0 << "setGlobalFiltering" << "[false,5]" << "Filtering is on." << "";
    QTest::newRow("login") << "" << QStringList{"--password-stdin", "login", "parent@example.com"} << password << 0
                           << "setCredentials" << "[\"parent@example.com\",\"secret\"]" << "Signed in as parent@example.com" << "";
    QTest::newRow("login refused") << "" << QStringList{"--password-stdin", "login", "parent@example.com"} << QByteArray("bad\n") << 4
                                   << "setCredentials" << "[\"parent@example.com\",\"bad\"]" << "" << "error 30";
    QTest::newRow("use by name") << "" << QStringList{"use", "Homework"} << none << 0 << "setProfile" << "[12]" << "Homework (12) is selected" << "";
    QTest::newRow("use by id") << "" << QStringList{"use", "12"} << none << 0 << "setProfile" << "[12]" << "" << "";
    QTest::newRow("use unknown") << "" << QStringList{"use", "Nope"} << none << 4 << "setProfile" << "" << "" << "no profile named or numbered 'Nope'";
    QTest::newRow("use locked") << "locked" << QStringList{"use", "12"} << none << 4 << "setProfile" << "[12]" << "" << "corvanectl unlock use 12";
    QTest::newRow("profiles") << "" << QStringList{"profiles"} << none << 0 << "" << "" << "* 11  Kids (default)\n  12  Homework" << "";
    QTest::newRow("lists") << "" << QStringList{"lists", "Kids"} << none << 0 << "" << "" << "white list:\n  example.org\nblack list:\n  (empty)" << "";
    QTest::newRow("block add") << "" << QStringList{"block", "add", "Kids", "games.example"} << none << 0 << "addDomain"
                               << "[11,\"black\",\"games.example\"]" << "games.example is on the black list of Kids (11)" << "";
    QTest::newRow("alias add") << "" << QStringList{"alias", "add", "Kids", "school.example", "192.0.2.10"} << none << 0
                               << "addDomain" << "[11,\"alias\",\"school.example\",\"192.0.2.10\"]" << "" << "";
    QTest::newRow("allow remove ignores case") << "" << QStringList{"allow", "remove", "11", "Example.ORG"} << none << 0
                                               << "removeDomain" << "[11,\"white\",7]" << "no longer on the white list" << "";
    QTest::newRow("remove an absent domain") << "" << QStringList{"block", "remove", "Kids", "absent.example"} << none << 4
                                             << "removeDomain" << "" << "" << "absent.example is not on the black list of Kids (11)";
    QTest::newRow("block clear locked, then unlocked")
            << "locked" << stdinUnlock + QStringList{"block", "clear", "Kids"} << password << 0 << "clearDomains" << "[11,\"black\"]" << "" << "";
    QTest::newRow("protect by interface") << "" << QStringList{"protect", "eth0", "off"} << none << 0 << "setNetworkProtection"
                                          << "[\"eth0\",false,[]]" << "Wired connection 1 (eth0) is not protected any more" << "";
    QTest::newRow("protect by display name") << "" << QStringList{"protect", "Home Wi-Fi", "on"} << none << 0
                                             << "setNetworkProtection" << "[\"wlan0\",true,[]]" << "" << "";
    QTest::newRow("protect unknown") << "" << QStringList{"protect", "ppp9", "on"} << none << 4 << "setNetworkProtection" << "" << "" << "no network connection named 'ppp9'";
    QTest::newRow("report with progress") << "slow report" << QStringList{"report"} << none << 0 << "" << "" << "Local DNS: 127.0.0.1:53" << "Collecting the diagnostics report";
    QTest::newRow("a failure stops the rest") << "" << QStringList{"use", "Nope", "pause"} << none << 4 << "setGlobalFiltering" << "" << "" << "";
    QTest::newRow("usage error runs nothing") << "" << QStringList{"pause", "15", "frobnicate"} << none << 2 << "setGlobalFiltering" << "" << "" << "unknown command 'frobnicate'";
    QTest::newRow("password option refused") << "" << QStringList{"--password=secret", "unlock"} << none << 2 << "unlockSettings" << "" << "" << "never taken from the command line";
    QTest::newRow("help of a command") << "" << QStringList{"help", "alias"} << none << 0 << "" << ""
                                       << "Usage: corvanectl alias add PROFILE DOMAIN ADDRESS" << "";
    QTest::newRow("no terminal for the password") << "locked" << QStringList{"unlock"} << none << 2 << "unlockSettings" << "" << "" << "--password-stdin";
}

void TestCorvanectl::commands()
{
    QFETCH(QString, script);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QString, method);
    QFETCH(QString, params);
    QFETCH(QString, out);
    QFETCH(QString, err);

    applyScript(script);
    QVERIFY(rig->start());
    // QProcess children keep the test's controlling terminal, if it has one.
    if (QTest::currentDataTag() == QLatin1String("no terminal for the password") && QFile(QStringLiteral("/dev/tty")).open(QIODevice::ReadOnly))
        QSKIP("the test runs with a controlling terminal");
    const CtlTestRig::Run run = rig->run(arguments, input, QTest::currentDataTag() == QLatin1String("passwords from a file, one line each"));
    QVERIFY2(run.exitCode == exitCode, describe(run));
    if (!method.isEmpty())
        QCOMPARE(rig->paramsOf(method), params);
    QVERIFY2(run.out.contains(out.toUtf8()), describe(run));
    QVERIFY2(run.err.contains(err.toUtf8()), describe(run));
    // The password never comes back in anything the program prints.
    QVERIFY2(input.isEmpty() || !(run.out + run.err).contains(input.trimmed()), describe(run));
}

void TestCorvanectl::json_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("path");     // members and indexes, separated by '/'
    QTest::addColumn<QString>("expected"); // JSON text of the value found there

    QTest::newRow("state") << "" << QStringList{"status"} << 0 << "state" << "\"filtering\"";
    QTest::newRow("state off") << "off" << QStringList{"status"} << 3 << "state" << "\"off\"";
    QTest::newRow("identification") << "" << QStringList{"status"} << 0 << "identification" << "{\"address\":null,\"error\":null,\"profile_id\":11,\"state\":\"identified\",\"type\":\"token\"}";
    QTest::newRow("failed identification") << "unidentified" << QStringList{"status"} << 3 << "identification/error/code" << "1";
    QTest::newRow("network") << "" << QStringList{"status"} << 0 << "networks/1" << "{\"default_route\":false,\"id\":\"wlan0\",\"name\":\"Home Wi-Fi\",\"protected\":false}";
    QTest::newRow("current profile") << "" << QStringList{"status"} << 0 << "current_profile" << "{\"id\":11,\"name\":\"Kids\"}";
    QTest::newRow("login, never the password") << "" << QStringList{"status"} << 0 << "login" << "\"parent@example.com\"";
    QTest::newRow("lock") << "locked" << QStringList{"status"} << 0 << "settings_locked" << "true";
    QTest::newRow("paused until") << "" << QStringList{"pause", "15", "status"} << 3 << "actions/0/minutes" << "15";
    QTest::newRow("profiles") << "" << QStringList{"profiles"} << 0 << "profiles/1/name" << "\"Homework\"";
    QTest::newRow("lists") << "" << QStringList{"lists", "Kids", "white"} << 0 << "lists/0/white/0" << "{\"domain\":\"example.org\",\"id\":7}";
    QTest::newRow("added entry") << "" << QStringList{"block", "add", "Kids", "x.example"} << 0 << "actions/0/id" << "101";
    QTest::newRow("report") << "" << QStringList{"report"} << 0 << "report" << "\"Local DNS: 127.0.0.1:53\\n\"";
    QTest::newRow("refusal") << "locked" << QStringList{"use", "12"} << 4 << "error" << "{\"code\":1,\"command\":\"use 12\",\"exit_status\":4,\"message\":\"The settings are protected: unlock them first\"}";
}

void TestCorvanectl::json()
{
    QFETCH(QString, script);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, path);
    QFETCH(QString, expected);

    applyScript(script);
    QVERIFY(rig->start());
    const CtlTestRig::Run run = rig->run(QStringList{"--json"} + arguments);
    QVERIFY2(run.exitCode == exitCode, describe(run));
    // One object on one line, nothing else.
    QCOMPARE(run.out.count('\n'), 1);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError && document.isObject(), describe(run));
    QCOMPARE(TestSupport::jsonAt(document.object(), path), expected);
}

void TestCorvanectl::unreachable_data()
{
    QTest::addColumn<QString>("peer"); // what stands at the socket path
    QTest::addColumn<QString>("err");

    QTest::newRow("no socket") << "none" << "cannot reach the Corvane service at %1: there is no such socket";
    QTest::newRow("a server that never answers") << "silent" << "error 2: the Corvane service at %1 accepted the connection but did not answer within 2 s";
    QTest::newRow("a server that hangs up") << "hangs up" << "error 3: the connection to the Corvane service at %1 was lost";
}

void TestCorvanectl::unreachable()
{
    QFETCH(QString, peer);
    QFETCH(QString, err);

    QLocalServer server;
    if (peer != QLatin1String("none")) {
        QVERIFY(server.listen(rig->socketPath));
        connect(&server, &QLocalServer::newConnection, &server, [&server, peer] {
            QLocalSocket *socket = server.nextPendingConnection();
            if (peer == QLatin1String("hangs up"))
                socket->disconnectFromServer();
        });
    }
    for (const bool json : {false, true}) {
        const CtlTestRig::Run run = rig->run(QStringList{"--timeout", "2"} + (json ? QStringList{"--json"} : QStringList()));
        QVERIFY2(run.exitCode == 1, describe(run));
        QVERIFY2(run.err.contains(err.arg(rig->socketPath).toUtf8()), describe(run));
        if (json)
            QCOMPARE(run.json().value(QStringLiteral("error")).toObject().value(QStringLiteral("exit_status")).toInt(), 1);
    }
}

void TestCorvanectl::hostileService_data()
{
    QTest::addColumn<QString>("method");    // a notification sent after the greeting, or an answer
    QTest::addColumn<QString>("params");    // its params (an answer: the result) as JSON
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");

    QTest::newRow("profiles of the wrong shape") << "setProfiles" << "[\"garbage\",-1]" << QStringList{"status"} << 0
                                                  << "ignored a malformed \"setProfiles\" notification from the service: the profile list does not read";
    QTest::newRow("filtering not a boolean keeps the state") << "setGlobalFiltering" << "[\"no\"]" << QStringList{"status"} << 0
                                                            << "the filtering state is not a boolean";
    QTest::newRow("identification of an unknown type") << "setIdentification" << "[7,\"x\"]" << QStringList{"status"} << 0 << "neither 0 nor 1";
    QTest::newRow("a terminal escape in a name") << "setProfiles" << "[[{\"name\":\"K\\u001b[2Jids\",\"id\":11,\"token\":1}],11]"
                                                 << QStringList{"profiles"} << 0 << "";
    QTest::newRow("domains not a list") << "answer domains" << "\"not a list\"" << QStringList{"lists", "Kids"} << 4
                                        << "error 9: unexpected answer to \"domains\"";
    QTest::newRow("entry id not a number") << "answer addDomain" << "\"abc\"" << QStringList{"block", "add", "Kids", "a.example"} << 4
                                           << "error 9: unexpected answer to \"addDomain\"";
    QTest::newRow("report not a text") << "answer systemInfo" << "{}" << QStringList{"report"} << 4 << "error 9";
    QTest::newRow("a refusal written as a result") << "answer setProfile" << "{\"code\":1,\"message\":\"No such profile\"}"
                                                   << QStringList{"use", "12"} << 4 << "error 1: No such profile";
}

void TestCorvanectl::hostileService()
{
    QFETCH(QString, method);
    QFETCH(QString, params);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, err);

    const QVariant value = QxtJSON::parse(params);
    if (method.startsWith(QLatin1String("answer "))) {
        rig->service->answers.insert(method.mid(7), value);
    } else {
        const QByteArray name = method.toLatin1();
        connect(rig->service.get(), &FakeService::clientConnected, rig->service.get(),
                [this, name, value] { rig->service->broadcast(name.constData(), value.toList()); });
    }
    QVERIFY(rig->start());
    const CtlTestRig::Run run = rig->run(arguments);
    QVERIFY2(run.exitCode == exitCode, describe(run));
    QVERIFY2(run.err.contains(err.toUtf8()), describe(run));
    QVERIFY2(!run.out.contains('\x1b'), describe(run));
}

void TestCorvanectl::watch_data()
{
    QTest::addColumn<bool>("json");

    QTest::newRow("human") << false;
    QTest::newRow("json lines") << true;
}

// A service of the design's kind sends the account password in clear; watch shows every
// notification but never that.
void TestCorvanectl::watch()
{
    QFETCH(bool, json);

    rig->service->sendsPassword = true;
    QVERIFY(rig->start());
    std::unique_ptr<QProcess> process = rig->launch(json ? QStringList{"--json", "watch"} : QStringList{"watch"});
    QTRY_VERIFY(process->canReadLine() && rig->service->connectionCount() == 1);
    rig->service->broadcast("setGlobalFiltering", {false});
    QByteArray out;
    QTRY_VERIFY((out += process->readAllStandardOutput()).count('\n') >= 10);
    process->terminate(); // SIGTERM: the normal end of watch
    CtlTestRig::Run run = CtlTestRig::finish(process.get());
    run.out.prepend(out);
    QVERIFY2(run.exitCode == 0, describe(run));
    QVERIFY2(!run.out.contains("secret") && !run.err.contains("secret"), describe(run));
    const QList<QByteArray> lines = run.out.split('\n');
    if (!json) {
        QVERIFY2(lines.at(0).endsWith("settings: local proxy 127.0.0.1, local users bound to profiles: off"), describe(run));
        QVERIFY2(lines.at(2).endsWith("account: parent@example.com"), describe(run));
        QVERIFY2(lines.at(9).endsWith("filtering off"), describe(run));
        return;
    }
    const QStringList expected = {"setSettings", "setNetworks", "setCredentials", "setSettingsLocked", "setGlobalFiltering",
                                  "setUserInfo", "setProfiles", "setProfileScheduleActivity", "setIdentification",
                                  "setGlobalFiltering"};
    for (int i = 0; i < expected.size(); ++i) {
        const QJsonObject object = QJsonDocument::fromJson(lines.at(i)).object();
        QCOMPARE(object.value(QStringLiteral("method")).toString(), expected.at(i));
    }
    QCOMPARE(QJsonDocument::fromJson(lines.at(2)).object().value(QStringLiteral("params")).toArray().at(1), QJsonValue());
}

void TestCorvanectl::terminalPrompt_data()
{
    QTest::addColumn<QByteArray>("typed"); // what the user types at the prompt
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("shown"); // on the terminal afterwards

    QTest::newRow("the password") << QByteArray("secret\n") << 0 << QByteArray("Filtering is off for 15 minutes");
    QTest::newRow("Ctrl-C") << QByteArray("sec\x03") << 130 << QByteArray("interrupted");
}

// The real terminal: a pseudo-terminal whose other end is the program's controlling
// terminal, as in an SSH session.
void TestCorvanectl::terminalPrompt()
{
    QFETCH(QByteArray, typed);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, shown);

    rig->service->settingsLocked = true;
    QVERIFY(rig->start());
    const QByteArray program = CtlTestRig::program().toLocal8Bit();
    const QByteArray socket = rig->socketPath.toLocal8Bit();
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    QVERIFY(pid >= 0);
    if (pid == 0) {
        setenv("CORVANE_IPC_SOCKET", socket.constData(), 1);
        execl(program.constData(), "corvanectl", "unlock", "pause", "15", static_cast<char *>(nullptr));
        _exit(127);
    }
    fcntl(master, F_SETFL, O_NONBLOCK);
    QByteArray screen;
    const auto readScreen = [&] {
        char buffer[512];
        ssize_t count;
        while ((count = read(master, buffer, sizeof buffer)) > 0)
            screen.append(buffer, int(count));
        return screen;
    };
    QTRY_VERIFY_WITH_TIMEOUT(readScreen().contains("Password of parent@example.com (to unlock the settings): "), 20000);
    QCOMPARE(write(master, typed.constData(), size_t(typed.size())), ssize_t(typed.size()));
    QTRY_VERIFY2_WITH_TIMEOUT(readScreen().contains(shown), screen.constData(), 20000);
    int status = 0;
    // Reaped once only: QTRY_VERIFY evaluates its condition again after the wait.
    bool reaped = false;
    QTRY_VERIFY_WITH_TIMEOUT((readScreen(), reaped = reaped || waitpid(pid, &status, WNOHANG) == pid), 20000);
    readScreen();
    QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == exitCode, screen.constData());
    QVERIFY2(!screen.contains(typed.left(3)), screen.constData());
    // The echo is back, whichever way the prompt ended.
    termios settings = {};
    QCOMPARE(tcgetattr(master, &settings), 0);
    QVERIFY(settings.c_lflag & ECHO);
    close(master);
}

QTEST_GUILESS_MAIN(TestCorvanectl)
#include "tst_corvanectl.moc"

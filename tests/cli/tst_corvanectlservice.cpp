// corvanectl against the real corvane-service program, signed in to the reference account
// service and forwarding to the reference filtering resolver. corvanectl runs as an
// ordinary user (nobody, when the test runs as root), as in an SSH session, so the
// settings lock holds for it. The test functions and their rows run in order and share
// the running programs: each row is one step of one session.
#include "../service/account/referencecabinet.h"

#include "servicerig.h"
#include "testsupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <unistd.h>

namespace {

// The demo account with a password of its own, a text found nowhere else.
const QString User = QStringLiteral("demo@corvane.test");
const QByteArray Password = "Pw-3c9d71-cli";

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray describe(const Run &run)
{
    return "exit " + QByteArray::number(run.exitCode) + "\nstdout:\n" + run.out + "stderr:\n" + run.err;
}

// Gives the reference service's demo account Password.
bool setPassword(const QString &dataFile)
{
    QFile file(dataFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QJsonObject data = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    QJsonObject accounts = data.value(QStringLiteral("accounts")).toObject();
    if (!accounts.contains(User))
        return false;
    QJsonObject account = accounts.value(User).toObject();
    account.insert(QStringLiteral("password"), QString::fromLatin1(Password));
    accounts.insert(User, account);
    data.insert(QStringLiteral("accounts"), accounts);
    return TestSupport::writeFile(dataFile, QJsonDocument(data).toJson());
}

} // namespace

class TestCorvanectlService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void session_data();
    void session();
    void status_data();
    void status();
    void watch();
    void unreachableOnceStopped();

private:
    std::unique_ptr<QProcess> launch(const QStringList &arguments, const QByteArray &input = QByteArray()) const;
    static Run finish(QProcess *process, int milliseconds = 60000);
    Run run(const QStringList &arguments, const QByteArray &input = QByteArray()) const
    {
        return finish(launch(arguments, input).get());
    }
    QString nameServer() const
    {
        return QSettings(m_adapters, QSettings::IniFormat).value(QStringLiteral("Tcpip/Parameters/Interfaces/eth0/NameServer")).toString();
    }

    ReferenceCabinet m_cabinet;
    std::unique_ptr<ServiceRig> m_rig;
    QString m_socket;
    QString m_adapters;
    bool m_asNobody = false;
};

void TestCorvanectlService::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty() || QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty())
        QSKIP("python3 and openssl are needed for the reference peers");
    m_asNobody = ::geteuid() == 0;
    if (m_asNobody && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        QSKIP("setpriv is needed to run corvanectl as an ordinary user");
    const QString scratch = TestSupport::scratchDirectory(QStringLiteral("cli-service"));

    // The first start writes the demo data, which then gets the test's password.
    const QString cabinetState = scratch + QStringLiteral("/cabinet");
    QVERIFY(m_cabinet.start(cabinetState));
    m_cabinet.stop();
    QVERIFY(setPassword(cabinetState + QStringLiteral("/cabinet.json")));
    QVERIFY(m_cabinet.start(cabinetState));

    m_rig = std::make_unique<ServiceRig>(scratch);
    QVERIFY(m_rig->start(m_cabinet.https, m_cabinet.caFile, cabinetState + QStringLiteral("/cabinet.json")));
    m_socket = m_rig->socket();
    m_adapters = m_rig->adapterFile();
}

void TestCorvanectlService::cleanupTestCase()
{
    m_rig.reset();
    m_cabinet.stop();
}

std::unique_ptr<QProcess> TestCorvanectlService::launch(const QStringList &arguments, const QByteArray &input) const
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVANE_IPC_SOCKET"), m_socket);
    process->setProcessEnvironment(environment);
    const QString program = QStringLiteral(CORVANE_BINARY_DIR "/cli/corvanectl");
    if (m_asNobody)
        process->start(QStringLiteral("setpriv"), QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + arguments);
    else
        process->start(program, arguments);
    if (!input.isNull())
        process->write(input);
    process->closeWriteChannel();
    return process;
}

Run TestCorvanectlService::finish(QProcess *process, int milliseconds)
{
    Run run;
    if (!process->waitForFinished(milliseconds)) {
        process->kill();
        process->waitForFinished(5000);
    } else if (process->exitStatus() == QProcess::NormalExit) {
        run.exitCode = process->exitCode();
    }
    run.out = process->readAllStandardOutput();
    run.err = process->readAllStandardError();
    return run;
}

void TestCorvanectlService::session_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("password"); // the account password on standard input
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");        // in standard output
    QTest::addColumn<QString>("err");        // in standard error
    QTest::addColumn<QString>("nameServer"); // of the adapter afterwards, "" when not checked

    const QStringList login = {"--password-stdin", "login", User};
    const QStringList unlock = {"--password-stdin", "unlock"};
    QTest::newRow("status before signing in") << QStringList{"status"} << false << 3 << "not signed in" << "" << "";
    QTest::newRow("login with a wrong password") << login << false << 4 << "" << "error 30: " << "";
    QTest::newRow("login") << login << true << 0 << "Signed in as demo@corvane.test." << "" << "";
    QTest::newRow("pause refused while locked")
            << QStringList{"pause", "15"} << false << 4 << ""
            << "error 1: The settings are protected: unlock them first\nThe settings are protected by the account password: unlock them first, e.g. 'corvanectl unlock pause 15'"
            << "";
    QTest::newRow("unlock with a wrong password") << unlock + QStringList{"pause", "15"} << false << 4 << "" << "error 30: " << "";
    QTest::newRow("unlock, pause and status") << unlock + QStringList{"pause", "15", "status"} << true << 3 << "Filtering is off for 15 minutes" << "" << "";
    QTest::newRow("resume is open to all") << QStringList{"resume"} << false << 0 << "Filtering is on." << "" << "";
    QTest::newRow("profiles") << QStringList{"profiles"} << false << 0 << "Default (default)" << "" << "";
    QTest::newRow("use refused while locked") << QStringList{"use", "Kids"} << false << 4 << "" << "corvanectl unlock use Kids" << "";
    QTest::newRow("use after unlock") << unlock + QStringList{"use", "Kids"} << true << 0 << "Profile Kids (102) is selected." << "" << "";
    QTest::newRow("lists") << QStringList{"lists", "Default"} << false << 0 << "black list:\n  blocked.example" << "" << "";
    QTest::newRow("block add") << unlock + QStringList{"block", "add", "Default", "games.example"} << true << 0
                               << "games.example is on the black list of Default (101)" << "" << "";
    QTest::newRow("the entry is listed") << QStringList{"lists", "Default", "black"} << false << 0 << "games.example" << "" << "";
    QTest::newRow("block remove") << unlock + QStringList{"block", "remove", "Default", "games.example"} << true << 0
                                  << "no longer on the black list" << "" << "";
    QTest::newRow("alias add") << unlock + QStringList{"alias", "add", "Default", "nas.example", "192.0.2.81"} << true << 0 << "nas.example" << "" << "";
    QTest::newRow("protect off refused while locked") << QStringList{"protect", "eth0", "off"} << false << 4 << "" << "corvanectl unlock protect eth0 off"
                                                      << "127.0.0.1";
    QTest::newRow("protect off after unlock") << unlock + QStringList{"protect", "eth0", "off"} << true << 0 << "is not protected any more" << ""
                                              << ServiceRig::OwnServers;
    QTest::newRow("protect on by display name, open to all") << QStringList{"protect", "Office LAN", "on"} << false << 0 << "protected now" << ""
                                                             << "127.0.0.1";
    QTest::newRow("use by id after unlock") << unlock + QStringList{"use", "101"} << true << 0 << "Profile Default (101) is selected." << "" << "";
    QTest::newRow("report") << QStringList{"report"} << false << 0 << "" << "Collecting the diagnostics report" << "";
}

void TestCorvanectlService::session()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, password);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QString, nameServer);

    const Run run = this->run(arguments, password ? Password + '\n' : QByteArray("wrong-password\n"));
    QVERIFY2(run.exitCode == exitCode, describe(run));
    QVERIFY2(run.out.contains(out.toUtf8()), describe(run));
    QVERIFY2(run.err.contains(err.toUtf8()), describe(run));
    QVERIFY2(!(run.out + run.err).contains(Password), describe(run));
    if (!nameServer.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(this->nameServer(), nameServer, 10000);
}

void TestCorvanectlService::status_data()
{
    QTest::addColumn<QString>("path");     // members and indexes, separated by '/'
    QTest::addColumn<QString>("expected"); // JSON text of the value found there

    QTest::newRow("state") << "state" << "\"filtering\"";
    QTest::newRow("identification") << "identification/type" << "\"token\"";
    QTest::newRow("identified profile") << "identification/profile_id" << "101";
    QTest::newRow("login") << "login" << "\"demo@corvane.test\"";
    QTest::newRow("selected profile") << "selected_profile" << "{\"id\":101,\"name\":\"Default\"}";
    QTest::newRow("network") << "networks/0" << "{\"default_route\":true,\"id\":\"eth0\",\"name\":\"Office LAN\",\"protected\":true}";
    QTest::newRow("lock") << "settings_locked" << "true";
    QTest::newRow("not unlocked") << "settings_unlocked" << "false";
}

// The session left the account signed in with its default profile and filtering on.
void TestCorvanectlService::status()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);

    const Run run = this->run({"--json", "status"});
    QVERIFY2(run.exitCode == 0, describe(run));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError && document.isObject(), describe(run));
    QCOMPARE(TestSupport::jsonAt(document.object(), path), expected);
}

// Every notification as a JSON line while another corvanectl pauses and resumes; the
// account password is in none of them.
void TestCorvanectlService::watch()
{
    std::unique_ptr<QProcess> watcher = launch({"--json", "watch"});
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += watcher->readAllStandardOutput()).contains("\"setIdentification\""), 20000);
    const Run paused = run({"--password-stdin", "unlock", "pause", "5", "resume"}, Password + '\n');
    QVERIFY2(paused.exitCode == 0, describe(paused));
    QTRY_VERIFY_WITH_TIMEOUT((out += watcher->readAllStandardOutput()).contains("\"params\":[true]"), 20000);
    // SIGTERM is the normal end of watch; setpriv hands it on.
    watcher->terminate();
    Run run = finish(watcher.get(), 20000);
    run.out.prepend(out);
    QVERIFY2(run.exitCode == 0, describe(run));
    QVERIFY2(!(run.out + run.err).contains(Password), describe(run));
    QStringList filtering;
    for (const QByteArray &line : run.out.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        QVERIFY2(object.contains(QStringLiteral("time")) && object.contains(QStringLiteral("params")), line.constData());
        if (object.value(QStringLiteral("method")).toString() == QLatin1String("setGlobalFiltering"))
            filtering << QString::fromUtf8(QJsonDocument(object.value(QStringLiteral("params")).toArray()).toJson(QJsonDocument::Compact));
    }
    QCOMPARE(filtering, (QStringList{"[true]", "[false]", "[true]"}));
}

void TestCorvanectlService::unreachableOnceStopped()
{
    m_rig->service().terminate();
    QVERIFY(m_rig->service().waitForFinished(15000));
    const Run run = this->run({"status"});
    QVERIFY2(run.exitCode == 1, describe(run));
    QVERIFY2(run.err.contains(QStringLiteral("cannot reach the Corvane service at %1").arg(m_socket).toUtf8()), describe(run));
}

QTEST_GUILESS_MAIN(TestCorvanectlService)
#include "tst_corvanectlservice.moc"

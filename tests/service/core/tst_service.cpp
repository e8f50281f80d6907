#include "logcapture.h"
#include "logrouting.h"
#include "paths.h"
#include "server.h"
#include "service.h"
#include "testsupport.h"

#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace {

// A Server whose start() fails or succeeds as the test says, and counts what was asked.
class ScriptedServer : public Server
{
public:
    ScriptedServer(QObject *parent, const Error &failure)
        : Server(parent)
        , m_failure(failure)
    {
    }
    bool start() override
    {
        ++starts;
        setLastError(m_failure);
        return !m_failure.isError();
    }
    void stop() override { ++stops; }

    int starts = 0;
    int stops = 0;

private:
    Error m_failure;
};

class RecordingSink : public LogRouting::Sink
{
public:
    void write(LogRouting::Priority priority, const QString &text) override
    {
        lines.append({ priority, text });
    }
    QList<QPair<LogRouting::Priority, QString>> lines;
};

// The child half of fatalStopEndsTheProcess: the real log routing and the real fatal path.
int runFailingServiceChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    qputenv("CORVANE_LOG_STDERR", "1");
    qputenv("CORVANE_DNS_BACKEND", "ini");
    LogRouting::install(LogRouting::createSystemSink());
    Service service;
    service.setServerFactory([](QObject *parent) { return new ScriptedServer(parent, Error(1, "refused by test")); });
    service.start(app.arguments());
    return 0; // never reached: the failed start ends the process
}

} // namespace

class tst_Service : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();

    void failedServerStart_data();
    void failedServerStart();
    void fatalStopEndsTheProcess();
    void startAndStop();
    void startMergesIniBeforeDefaultsAndProvisions();
    void realServerValidatesEndpoints();
};

void tst_Service::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    Paths::applySettingsOverrides();
    // The real Server controls adapters: never the machine's own.
    qputenv("CORVANE_DNS_BACKEND", "ini");
}

void tst_Service::init()
{
    QSettings().clear();
    qputenv("CORVANE_SERVICE_INI", QFile::encodeName(QDir::tempPath() + "/absent.ini"));
}

void tst_Service::failedServerStart_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");
    QTest::newRow("with message") << 1 << "Identification failed" << "1: Identification failed";
    QTest::newRow("without message") << 7 << "" << "7: <no message>";
}

void tst_Service::failedServerStart()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(QString, text);

    auto *sink = new RecordingSink;
    LogRouting::install(sink);
    QStringList fatal;
    Service service;
    service.setServerFactory([&](QObject *parent) { return new ScriptedServer(parent, Error(code, message)); });
    service.setFatalHandler([&](const QString &t) { fatal << t; });

    QVERIFY(!service.start({ "corvane-service" }));
    const auto lines = sink->lines;
    qInstallMessageHandler(nullptr);
    QCOMPARE(fatal, QStringList { text });
    QVERIFY(std::any_of(lines.cbegin(), lines.cend(), [&](const auto &line) {
        return line.first == LogRouting::Priority::Notice && line.second == text;
    }));
}

void tst_Service::fatalStopEndsTheProcess()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), { "--failing-service-child" });
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    const QString err = QString::fromUtf8(child.readAllStandardError());
    // The "Success" entry, then the fatal message, both with the error's text form.
    QVERIFY2(err.count("1: refused by test") == 2, qPrintable(err));
}

void tst_Service::startAndStop()
{
    ScriptedServer *server = nullptr;
    Service service;
    service.setServerFactory([&](QObject *parent) { return server = new ScriptedServer(parent, Error()); });
    service.setFatalHandler([](const QString &t) { QFAIL(qPrintable("unexpected fatal stop: " + t)); });
    QVERIFY(service.start({ "corvane-service" }));
    QVERIFY(server);
    QCOMPARE(service.server(), server);
    QCOMPARE(server->starts, 1);
    service.stop();
    QCOMPARE(server->stops, 1);
}

void tst_Service::startMergesIniBeforeDefaultsAndProvisions()
{
    const QString ini = TestSupport::scratchDirectory("service") + "/service.ini";
    QVERIFY(TestSupport::writeFile(ini, "[global]\nlocalproxy-port=5353\n"));
    qputenv("CORVANE_SERVICE_INI", QFile::encodeName(ini));

    Service service;
    // The account client takes the pending profile out of the store when the server is
    // built, so it must be there by then.
    QString pendingProfile;
    service.setServerFactory([&](QObject *parent) {
        pendingProfile = QSettings().value("profile").toString();
        return new ScriptedServer(parent, Error());
    });
    LogCapture log;
    QVERIFY(service.start({ "corvane-service", "-prof", "Kids", "-conn", "Wi-Fi", "-unknown" }));
    QSettings store;
    QCOMPARE(store.value("localproxy-port").toString(), QString("5353"));
    QCOMPARE(store.value("localproxy-addr").toString(), QString("127.0.0.1"));
    QCOMPARE(pendingProfile, QString("Kids"));
    QCOMPARE(store.value("protect-network").toString(), QString("Wi-Fi"));
    QVERIFY(log.contains("reading service.ini and override settings"));
}

void tst_Service::realServerValidatesEndpoints()
{
    QSettings().setValue("tarnwickproxy-port", "65536");
    Service service;
    LogCapture log;
    QVERIFY(service.start({ "corvane-service" }));
    QCOMPARE(QSettings().value("tarnwickproxy-port").toInt(), 1253);
    QVERIFY(log.contains("Configuration contains wrong remote dns port. Default one is used instead."));
    QCOMPARE(service.server()->lastError().code(), 0);
    service.stop();
}

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--failing-service-child") == 0)
        return runFailingServiceChild(argc, argv);
    QCoreApplication app(argc, argv);
    tst_Service test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_service.moc"

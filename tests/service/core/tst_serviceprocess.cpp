#include "testsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <csignal>

namespace {

QString servicePath()
{
    return QStringLiteral(CORVANE_BINARY_DIR "/service/core/corvane-service");
}

// Reads the child's standard error until the text appears or the time is over.
bool waitForOutput(QProcess &process, QString *collected, const QString &text, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!collected->contains(text) && timer.elapsed() < milliseconds) {
        process.waitForReadyRead(100);
        *collected += QString::fromUtf8(process.readAllStandardError());
        if (process.state() == QProcess::NotRunning)
            break;
    }
    return collected->contains(text);
}

} // namespace

class tst_ServiceProcess : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void stopsOnSignal_data();
    void stopsOnSignal();
    void unwritableSettingsDoNotStopStartUp();
    void passwordNotInCommandLine_data();
    void passwordNotInCommandLine();
};

void tst_ServiceProcess::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    QVERIFY2(QFile::exists(servicePath()), qPrintable(servicePath()));
}

void tst_ServiceProcess::stopsOnSignal_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("SIGTERM, plain") << int(SIGTERM) << QStringList();
    QTest::newRow("SIGINT, unknown options") << int(SIGINT) << QStringList { "-bogus", "--x", "y" };
}

void tst_ServiceProcess::stopsOnSignal()
{
    QFETCH(int, signalNumber);
    QFETCH(QStringList, options);
    QSettings().clear();
    QSettings().sync();

    QProcess service;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("CORVANE_LOG_STDERR", "1");
    // The service now controls adapters: never the machine's own.
    environment.insert("CORVANE_DNS_BACKEND", "ini");
    environment.insert("CORVANE_SERVICE_INI", QDir::tempPath() + "/none.ini");
    service.setProcessEnvironment(environment);
    service.start(servicePath(), QStringList { "-e" } + options);
    QString log;
    QVERIFY2(waitForOutput(service, &log, "Corvane Agent started", 20000), qPrintable(log));

    QElapsedTimer timer;
    timer.start();
    ::kill(pid_t(service.processId()), signalNumber);
    QVERIFY(service.waitForFinished(5000));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(service.exitStatus(), QProcess::NormalExit);
    QCOMPARE(service.exitCode(), 0);
    log += QString::fromUtf8(service.readAllStandardError());
    QVERIFY2(log.contains("Corvane Agent stopped"), qPrintable(log));

    QSettings store;
    QCOMPARE(store.value("tarnwickproxy-port").toString(), QString("1253"));
    QCOMPARE(store.value("localproxy-addr").toString(), QString("127.0.0.1"));
    QCOMPARE(store.value("www").toString(), QString("https://127.0.0.1:8443"));
}

void tst_ServiceProcess::unwritableSettingsDoNotStopStartUp()
{
    // The settings file's place is taken by a directory: nothing can be saved.
    const QString config = TestSupport::scratchDirectory("blocked-config");
    QVERIFY(QDir().mkpath(config + "/Corvane/Service.conf"));

    QProcess service;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("CORVANE_LOG_STDERR", "1");
    // The service now controls adapters: never the machine's own.
    environment.insert("CORVANE_DNS_BACKEND", "ini");
    environment.insert("XDG_CONFIG_HOME", config);
    environment.insert("CORVANE_SERVICE_INI", QDir::tempPath() + "/none.ini");
    service.setProcessEnvironment(environment);
    service.start(servicePath(), { "-e", "-prof", "Kids" });
    QString log;
    QVERIFY2(waitForOutput(service, &log, "Corvane Agent started", 20000), qPrintable(log));
    QVERIFY2(log.contains("settings cannot be saved to " + config + "/Corvane/Service.conf"), qPrintable(log));
    ::kill(pid_t(service.processId()), SIGTERM);
    QVERIFY(service.waitForFinished(5000));
    QCOMPARE(service.exitCode(), 0);
}

void tst_ServiceProcess::passwordNotInCommandLine_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("value apart") << QStringList { "-login", "ann", "-pass", "Sup3rSecret" };
    QTest::newRow("value after =") << QStringList { "-login", "ann", "-pass=Sup3rSecret" };
    QTest::newRow("double dash") << QStringList { "-login", "ann", "--pass", "Sup3rSecret" };
}

// Every local user can read a process's command line; the provisioning password must not
// stay there while the service runs (it is still stored, sealed).
void tst_ServiceProcess::passwordNotInCommandLine()
{
    QFETCH(QStringList, options);
    QSettings().clear();
    QSettings().sync();
    QProcess service;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("CORVANE_LOG_STDERR", "1");
    // The service now controls adapters: never the machine's own.
    environment.insert("CORVANE_DNS_BACKEND", "ini");
    environment.insert("CORVANE_SERVICE_INI", QDir::tempPath() + "/none.ini");
    service.setProcessEnvironment(environment);
    service.start(servicePath(), QStringList { "-e", "-f" } + options);
    QString log;
    QVERIFY2(waitForOutput(service, &log, "Corvane Agent started", 20000), qPrintable(log));
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(service.processId()));
    QVERIFY(cmdline.open(QIODevice::ReadOnly));
    const QByteArray shown = cmdline.readAll();
    QVERIFY2(!shown.contains("Sup3rSecret"), shown.constData());
    QVERIFY(shown.contains("ann"));
    ::kill(pid_t(service.processId()), SIGTERM);
    QVERIFY(service.waitForFinished(5000));
    QSettings store;
    QVERIFY(store.contains("password"));
}

QTEST_GUILESS_MAIN(tst_ServiceProcess)
#include "tst_serviceprocess.moc"

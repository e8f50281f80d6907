#include "servicecontrol.h"
#include "serviceshell.h"

#include <QTextStream>
#include <QtTest>

namespace {

class FakeControl : public ServiceControl
{
public:
    Result install() override { ++calls; return result; }
    Result uninstall() override { ++calls; return result; }
    bool terminate() override { ++calls; return result == Result::Done; }
    bool isInstalled() override { return installed; }
    bool isRunning() override { return running; }
    QString account() const override { return QStringLiteral("root"); }
    void notifyReady() override { }
    void notifyStopping() override { }

    Result result = Result::Done;
    bool installed = false;
    bool running = false;
    int calls = 0;
};

} // namespace

Q_DECLARE_METATYPE(ServiceShell::Command)
Q_DECLARE_METATYPE(ServiceControl::Result)

class tst_ServiceShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void commandOf_data();
    void commandOf();
    void control_data();
    void control();
    void version_data();
    void version();
};

void tst_ServiceShell::commandOf_data()
{
    using C = ServiceShell::Command;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<C>("command");
    QTest::newRow("no argument runs") << QStringList {} << C::Run;
    QTest::newRow("provisioning options run") << QStringList { "-login", "a", "-pass", "b" } << C::Run;
    QTest::newRow("-i") << QStringList { "-i" } << C::Install;
    QTest::newRow("-install") << QStringList { "-install", "account" } << C::Install;
    QTest::newRow("-u") << QStringList { "-u" } << C::Uninstall;
    QTest::newRow("-uninstall") << QStringList { "-uninstall" } << C::Uninstall;
    QTest::newRow("-e") << QStringList { "-e" } << C::Exec;
    QTest::newRow("-exec with options") << QStringList { "-exec", "-prof", "Kids" } << C::Exec;
    QTest::newRow("-t") << QStringList { "-t" } << C::Terminate;
    QTest::newRow("-terminate") << QStringList { "-terminate" } << C::Terminate;
    QTest::newRow("-v") << QStringList { "-v" } << C::Version;
    QTest::newRow("-version") << QStringList { "-version" } << C::Version;
    QTest::newRow("-h") << QStringList { "-h" } << C::Help;
    QTest::newRow("-help") << QStringList { "-help" } << C::Help;
    QTest::newRow("-p") << QStringList { "-p" } << C::Unsupported;
    QTest::newRow("-resume") << QStringList { "-resume" } << C::Unsupported;
    QTest::newRow("-command 128") << QStringList { "-command", "128" } << C::Unsupported;
    QTest::newRow("-cleanup") << QStringList { "-cleanup" } << C::Cleanup;
    QTest::newRow("only the first argument counts") << QStringList { "-prof", "-i" } << C::Run;
}

void tst_ServiceShell::commandOf()
{
    QFETCH(QStringList, arguments);
    QFETCH(ServiceShell::Command, command);
    QCOMPARE(ServiceShell::commandOf(QStringList { "/usr/sbin/corvane-service" } + arguments), command);
}

void tst_ServiceShell::control_data()
{
    using C = ServiceShell::Command;
    using R = ServiceControl::Result;
    QTest::addColumn<C>("command");
    QTest::addColumn<R>("result");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("installed") << C::Install << R::Done << "The service Corvane Agent has been installed under: root\n" << 0;
    QTest::newRow("already installed") << C::Install << R::AlreadyDone << "The service Corvane Agent is already installed\n" << 0;
    QTest::newRow("install failed") << C::Install << R::Failed << "The service Corvane Agent could not be installed\n" << 1;
    QTest::newRow("uninstalled") << C::Uninstall << R::Done << "The service Corvane Agent has been uninstalled.\n" << 0;
    QTest::newRow("not installed") << C::Uninstall << R::AlreadyDone << "The service Corvane Agent is not installed\n" << 0;
    QTest::newRow("uninstall failed") << C::Uninstall << R::Failed << "The service Corvane Agent could not be uninstalled\n" << 1;
    QTest::newRow("terminated") << C::Terminate << R::Done << "" << 0;
    QTest::newRow("terminate failed") << C::Terminate << R::Failed << "The service could not be stopped.\n" << 1;
    QTest::newRow("pause refused") << C::Unsupported << R::Done
                                   << "The service Corvane Agent cannot be paused, resumed or sent commands\n" << 1;
}

void tst_ServiceShell::control()
{
    QFETCH(ServiceShell::Command, command);
    QFETCH(ServiceControl::Result, result);
    QFETCH(QString, output);
    QFETCH(int, exitCode);

    FakeControl fake;
    fake.result = result;
    QString text;
    QTextStream out(&text);
    QCOMPARE(ServiceShell(&fake).control(command, { "/usr/sbin/corvane-service" }, out), exitCode);
    out.flush();
    QCOMPARE(text, output);
}

void tst_ServiceShell::version_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("state");
    QTest::newRow("absent") << false << false << "is not installed and not running\n\n";
    QTest::newRow("stopped") << true << false << "is installed and not running\n\n";
    QTest::newRow("running") << true << true << "is installed and running\n\n";
}

void tst_ServiceShell::version()
{
    QFETCH(bool, installed);
    QFETCH(bool, running);
    QFETCH(QString, state);
    FakeControl fake;
    fake.installed = installed;
    fake.running = running;
    QString text;
    QTextStream out(&text);
    QCOMPARE(ServiceShell(&fake).control(ServiceShell::Command::Version, { "/usr/sbin/corvane-service" }, out), 0);
    out.flush();
    QCOMPARE(text, "The service\n\tCorvane Agent\n\t/usr/sbin/corvane-service\n\n" + state);

    text.clear();
    ServiceShell(&fake).control(ServiceShell::Command::Help, { "/usr/sbin/corvane-service" }, out);
    out.flush();
    QVERIFY2(text.startsWith("\ncorvane-service -[i|u|e|s|v|h]\n"), qPrintable(text));
}

QTEST_GUILESS_MAIN(tst_ServiceShell)
#include "tst_serviceshell.moc"

#include "sysinfo.h"
#include "testhooks.h"

#include "testsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

// A fake journal tool: a shell script with the given body.
QString fakeTool(const QString &name, const QByteArray &body)
{
    const QString path = TestSupport::scratchDirectory(QStringLiteral("tools-") + name)
            + QLatin1Char('/') + name;
    TestSupport::writeFile(path, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace

class tst_SysInfo : public QObject
{
    Q_OBJECT

private slots:
    void userAgentIsBuiltOnce();
    void userAgentForm_data();
    void userAgentForm();
    void cutCredentials_data();
    void cutCredentials();
    void systemLogThroughFakeJournal();
    void logTool_data();
    void logTool();
    void missingTool();
    void logToolOverTime();
    void logToolOutputIsBounded();
};

void tst_SysInfo::userAgentIsBuiltOnce()
{
    QCOMPARE(TestHooks::operatingSystemQueries(), 0);
    const QByteArray first = SysInfo::userAgent();
    const QByteArray &second = SysInfo::userAgent();
    QCOMPARE(second, first);
    QCOMPARE(&second, &SysInfo::userAgent());
    QCOMPARE(TestHooks::operatingSystemQueries(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral(R"(^Tarnwick-Agent/3\.2\.1\.3 en-generic \(Linux/[0-9.]+\)$)"))
                     .match(QString::fromLatin1(first)).hasMatch(),
             first.constData());
}

void tst_SysInfo::userAgentForm_data()
{
    QTest::addColumn<QString>("os");
    QTest::addColumn<QByteArray>("agent");
    QTest::newRow("windows 10") << "Windows/192" << QByteArray("Tarnwick-Agent/3.2.1.3 en-generic (Windows/192)");
    QTest::newRow("linux") << "Linux/6.1.0" << QByteArray("Tarnwick-Agent/3.2.1.3 en-generic (Linux/6.1.0)");
}

void tst_SysInfo::userAgentForm()
{
    QFETCH(QString, os);
    QFETCH(QByteArray, agent);
    QCOMPARE(SysInfo::formatUserAgent(os), agent);
}

void tst_SysInfo::cutCredentials_data()
{
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two lines")
            << "a\nx setCredentials user pw\nb\nsetCredentials(q, r)\nc\n"
            << "a\nx <credentials cutted out>\nb\n<credentials cutted out>\nc\n";
    QTest::newRow("at the end without newline")
            << "a\nx setCredentials user pw" << "a\nx setCredentials user pw";
    QTest::newRow("two on one line")
            << "setCredentials a setCredentials b\nrest" << "<credentials cutted out>\nrest";
    QTest::newRow("case matters") << "setcredentials a\n" << "setcredentials a\n";
    QTest::newRow("nothing to cut") << "plain\n" << "plain\n";
    QTest::newRow("unimplemented stays") << "<unimplemented>" << "<unimplemented>";
}

void tst_SysInfo::cutCredentials()
{
    QFETCH(QString, log);
    QFETCH(QString, expected);
    QCOMPARE(SysInfo::cutCredentials(log), expected);
}

void tst_SysInfo::systemLogThroughFakeJournal()
{
    const QString tool = fakeTool("journalctl",
                                  "echo \"args: $*\"\n"
                                  "printf 'Dez 07 corvane-service[1]: setCredentials alice secret\\n'\n"
                                  "printf 'Dez 07 corvane-service[1]: gr\\303\\274n\\n'\n");
    qputenv("CORVANE_JOURNALCTL", tool.toLocal8Bit());
    const QString log = SysInfo::systemLog();
    qunsetenv("CORVANE_JOURNALCTL");
    QCOMPARE(log, QStringLiteral("args: --identifier=corvane-service --since=-24h --output=short --no-pager\n"
                                 "Dez 07 corvane-service[1]: <credentials cutted out>\n"
                                 "Dez 07 corvane-service[1]: gr\u00fcn\n"));
}

void tst_SysInfo::logTool_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");
    QTest::newRow("non-zero exit keeps the text") << QByteArray("echo entries\nexit 3\n") << "entries\n";
    QTest::newRow("crash") << QByteArray("echo partial\nkill -SEGV $$\n") << "<unimplemented>";
    QTest::newRow("no output") << QByteArray("exit 0\n") << "<unimplemented>";
    QTest::newRow("error text only on stderr") << QByteArray("echo oops >&2\nexit 1\n") << "<unimplemented>";
}

void tst_SysInfo::logTool()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QCOMPARE(TestHooks::runLogTool(fakeTool("tool", body), 10000), expected);
}

void tst_SysInfo::missingTool()
{
    qputenv("CORVANE_JOURNALCTL", QByteArray(CORVANE_BINARY_DIR "/no-such-journal-tool"));
    const QString log = SysInfo::systemLog();
    qunsetenv("CORVANE_JOURNALCTL");
    QCOMPARE(log, QStringLiteral("<unimplemented>"));
}

void tst_SysInfo::logToolOverTime()
{
    const QString tool = fakeTool("slow", "echo early\nexec sleep 30\n");
    QCOMPARE(TestHooks::runLogTool(tool, 300), QStringLiteral("<unimplemented>"));
}

void tst_SysInfo::logToolOutputIsBounded()
{
    // Each line is 10 bytes; the tool writes a little more than the bound.
    const qint64 lines = SysInfo::MaximumLogBytes / 10 + 1000;
    const QString tool = fakeTool("flood", QByteArray("yes 012345678 | head -n ") + QByteArray::number(lines) + "\n");
    const QString log = TestHooks::runLogTool(tool, 20000);
    QVERIFY(log.size() <= SysInfo::MaximumLogBytes);
    QVERIFY(log.size() > SysInfo::MaximumLogBytes - 20);
    QVERIFY(log.startsWith(QStringLiteral("012345678\n")));
    QVERIFY(log.endsWith(QStringLiteral("012345678\n")));
}

QTEST_GUILESS_MAIN(tst_SysInfo)
#include "tst_sysinfo.moc"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

// The bash completion script, run by bash itself on the command lines of the rows.
class TestCompletion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void complete_data();
    void complete();
};

void TestCompletion::complete_data()
{
    QTest::addColumn<QString>("line"); // the words before the cursor; the last one is being typed
    QTest::addColumn<QString>("expected");

    const QString commands = QStringLiteral("status login unlock pause resume profiles use lists allow block alias protect report watch help");
    QTest::newRow("first word") << "st" << "status";
    QTest::newRow("option") << "--pass" << "--password-stdin";
    QTest::newRow("list verb") << "block ''" << "add remove clear";
    QTest::newRow("alias takes an address before the next command") << "alias add Kids a.example ''" << "";
    QTest::newRow("after a full block add") << "unlock block add Kids a.example re" << "resume report";
    QTest::newRow("protect state") << "protect 'Home Wi-Fi' o" << "on off";
    QTest::newRow("pause with minutes") << "pause 15 ''" << commands;
    QTest::newRow("pause without minutes") << "pause re" << "resume report";
    QTest::newRow("optional list type") << "lists Kids b" << "black block";
    QTest::newRow("timeout value") << "--timeout ''" << "";
    QTest::newRow("profile name is free") << "use ''" << "";
}

void TestCompletion::complete()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);

    if (QStandardPaths::findExecutable(QStringLiteral("bash")).isEmpty())
        QSKIP("bash is not installed");
    const QString script = QStringLiteral(
            "source '" CORVANE_SOURCE_DIR "/packaging/corvanectl.bash-completion'\n"
            "COMP_WORDS=(corvanectl %1); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _corvanectl\n"
            "echo \"${COMPREPLY[*]}\"\n").arg(line);
    QProcess bash;
    bash.start(QStringLiteral("bash"), {QStringLiteral("--norc"), QStringLiteral("-c"), script});
    QVERIFY(bash.waitForFinished(10000));
    QCOMPARE(bash.readAllStandardError(), QByteArray());
    QCOMPARE(QString::fromUtf8(bash.readAllStandardOutput()).trimmed(), expected);
}

QTEST_GUILESS_MAIN(TestCompletion)
#include "tst_completion.moc"

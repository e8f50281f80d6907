#include "commandline.h"

#include <QtTest>

// How corvanectl splits a command line into its commands, and what it refuses before it
// connects to anything.
class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("commands"); // the commands' texts joined by " | ", or the error

    QTest::newRow("nothing is status") << QStringList() << "status";
    QTest::newRow("a chain") << QStringList{"unlock", "pause", "15", "status"} << "unlock | pause 15 | status";
    QTest::newRow("pause without minutes") << QStringList{"pause", "resume"} << "pause | resume";
    QTest::newRow("pause 0") << QStringList{"pause", "0"} << "MINUTES must be a whole number from 1 to 35791";
    QTest::newRow("pause beyond the service's timer") << QStringList{"pause", "35792"} << "MINUTES must be a whole number from 1 to 35791";
    QTest::newRow("longest pause") << QStringList{"pause", "35791"} << "pause 35791";
    QTest::newRow("options anywhere") << QStringList{"profiles", "--json", "--timeout=5", "status"} << "profiles | status";
    QTest::newRow("timeout out of range") << QStringList{"--timeout", "0"} << "--timeout needs a number of seconds from 1 to 3600";
    QTest::newRow("timeout without a value") << QStringList{"--timeout"} << "--timeout needs a number of seconds from 1 to 3600";
    QTest::newRow("a profile that starts with a dash") << QStringList{"--", "use", "-x-"} << "use -x-";
    QTest::newRow("unknown option") << QStringList{"--jsn"} << "unknown option '--jsn' (see 'corvanectl --help')";
    QTest::newRow("lists with a type, then a command") << QStringList{"lists", "Kids", "black", "lists", "Kids", "block"}
                                                     << "'block' needs add, remove or clear (see 'corvanectl help block')";
    QTest::newRow("list edits") << QStringList{"allow", "add", "Kids", "a.example", "block", "clear", "12", "alias", "remove", "Kids", "b.example"}
                                << "allow add Kids a.example | block clear 12 | alias remove Kids b.example";
    QTest::newRow("alias needs an address") << QStringList{"alias", "add", "Kids", "a.example", "nowhere"} << "'nowhere' is not an IP address";
    QTest::newRow("a domain with a blank") << QStringList{"block", "add", "Kids", "a b"} << "'a b' is not a domain name";
    QTest::newRow("missing argument") << QStringList{"use"} << "'use' needs PROFILE (see 'corvanectl help use')";
    QTest::newRow("protect needs on or off") << QStringList{"protect", "eth0", "maybe"} << "'protect' needs NETWORK on|off (see 'corvanectl help protect')";
    QTest::newRow("watch is last") << QStringList{"watch", "status"} << "'watch' runs until interrupted: it must be the last command";
    QTest::newRow("a password after login is not echoed") << QStringList{"login", "a@example.com", "hunter2"}
                                                          << "'login' takes no password on the command line: corvanectl asks for it, or reads it from standard input with --password-stdin";
    QTest::newRow("a command after unlock") << QStringList{"unlock", "resume"} << "unlock | resume";
    QTest::newRow("help of no command") << QStringList{"help", "frob"} << "no help for 'frob': it is not a command";
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, commands);

    const Invocation invocation = Invocation::parse(arguments);
    QStringList texts;
    for (const Command &command : invocation.commands)
        texts << command.text;
    QCOMPARE(invocation.isValid() ? texts.join(QStringLiteral(" | ")) : invocation.error, commands);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"

#include "logcapture.h"
#include "paths.h"
#include "protection.h"
#include "provisioning.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QtTest>

namespace {

const char AlreadyProvided[] = "Authentication data has already been provided. Pass -f/--force "
                               "option on the command line to overwrite it.";
const char OneOmitted[] = "Either -login or -pass option has been omitted. Both options with its "
                          "values should be passed on the command line.";
const char UpdatesSet[] = "Automatic updating state has already been set. Pass -f/--force option "
                          "on the command line to overwrite it.";
const char AutorunSet[] = "Automatic run state has already been set. Pass -f/--force option on "
                          "the command line to overwrite it.";

QSettings *agentStore()
{
    return new QSettings(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("Corvane"),
            QStringLiteral("Agent"));
}

QString unprotectText(const QVariant &value, QString *description)
{
    return QString::fromUtf8(Protection::unprotect(value.toByteArray(), description));
}

} // namespace

class tst_Provisioning : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();

    void parse_data();
    void parse();

    void forceAloneWritesNothing();
    void credentialsAreStoredProtected();
    void credentialsAreKeptWithoutForce();
    void credentialsAreReplacedWithForce();
    void sealingFailureStoresNothing();
    void oneCredentialOmitted_data();
    void oneCredentialOmitted();
    void protectedConnections_data();
    void protectedConnections();
    void agentSwitches_data();
    void agentSwitches();

private:
    void provision(const QStringList &arguments);
    QScopedPointer<QSettings> m_service;
    QScopedPointer<QSettings> m_agent;
};

void tst_Provisioning::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    Paths::applySettingsOverrides();
    // The desktop client's machine-wide store must follow the override, never /etc.
    const QScopedPointer<QSettings> agent(agentStore());
    QVERIFY2(agent->fileName().startsWith(qEnvironmentVariable("CORVANE_SYSTEM_CONFIG_DIR")),
            qPrintable(agent->fileName()));
}

void tst_Provisioning::init()
{
    m_service.reset(new QSettings);
    m_agent.reset(agentStore());
    m_service->clear();
    m_agent->clear();
}

void tst_Provisioning::provision(const QStringList &arguments)
{
    Provisioning::apply(CommandLineOptions::parse(QStringList { QStringLiteral("corvane-service") } + arguments),
            *m_service, *m_agent);
}

void tst_Provisioning::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("texts"); // login, password, profile, connection
    QTest::addColumn<QList<bool>>("flags"); // force, pall, dupd, darun, any option given

    QTest::newRow("nothing") << QStringList() << QStringList { "", "", "", "" }
                             << QList<bool> { false, false, false, false, false };
    QTest::newRow("force alone, short") << QStringList { "-f" } << QStringList { "", "", "", "" }
                                        << QList<bool> { true, false, false, false, false };
    QTest::newRow("force alone, long") << QStringList { "-force" } << QStringList { "", "", "", "" }
                                       << QList<bool> { true, false, false, false, false };
    QTest::newRow("single-dash words are whole options")
            << QStringList { "-login", "bob", "-pass", "s3cret" } << QStringList { "bob", "s3cret", "", "" }
            << QList<bool> { false, false, false, false, true };
    QTest::newRow("profile and connection")
            << QStringList { "-prof", "Kids", "-conn", "Wired connection 1" }
            << QStringList { "", "", "Kids", "Wired connection 1" }
            << QList<bool> { false, false, false, false, true };
    QTest::newRow("flags") << QStringList { "-pall", "-dupd", "-darun", "-f" } << QStringList { "", "", "", "" }
                           << QList<bool> { true, true, true, true, true };
    QTest::newRow("unknown options are ignored")
            << QStringList { "-bogus", "-e", "-prof", "Home", "--weird=1" } << QStringList { "", "", "Home", "" }
            << QList<bool> { false, false, false, false, true };
    QTest::newRow("exec switch alone is no option") << QStringList { "-e" } << QStringList { "", "", "", "" }
                                                    << QList<bool> { false, false, false, false, false };
    QTest::newRow("Cyrillic values") << QStringList { "-login", "Пётр", "-pass", "пароль" }
                                     << QStringList { "Пётр", "пароль", "", "" }
                                     << QList<bool> { false, false, false, false, true };
}

void tst_Provisioning::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, texts);
    QFETCH(QList<bool>, flags);

    const CommandLineOptions options = CommandLineOptions::parse(QStringList { "corvane-service" } + arguments);
    QCOMPARE(options.login, texts.at(0));
    QCOMPARE(options.password, texts.at(1));
    QCOMPARE(options.profile, texts.at(2));
    QCOMPARE(options.connection, texts.at(3));
    QCOMPARE(options.force, flags.at(0));
    QCOMPARE(options.protectAllConnections, flags.at(1));
    QCOMPARE(options.disableUpdateChecks, flags.at(2));
    QCOMPARE(options.disableAutomaticRun, flags.at(3));
    QCOMPARE(options.anyOptionGiven, flags.at(4));
}

void tst_Provisioning::forceAloneWritesNothing()
{
    m_agent->setValue("firststart", true);
    LogCapture log;
    provision({ "-f" });
    QCOMPARE(m_service->allKeys(), QStringList());
    QCOMPARE(m_agent->allKeys(), QStringList { "firststart" });
    QVERIFY2(log.warnings().isEmpty(), qPrintable(log.dump()));
}

void tst_Provisioning::credentialsAreStoredProtected()
{
    m_service->setValue("profile", "Old choice");
    provision({ "-login", "Пётр", "-pass", "s3cret" });

    QString description;
    QCOMPARE(m_service->value("user").type(), QVariant::ByteArray);
    QCOMPARE(unprotectText(m_service->value("user"), &description), QString("Пётр"));
    QCOMPARE(description, QString("Tarnwick user"));
    QCOMPARE(unprotectText(m_service->value("password"), &description), QString("s3cret"));
    QCOMPARE(description, QString("Tarnwick password"));
    // Any provisioning run without a profile clears the stored choice.
    QVERIFY(m_service->contains("profile"));
    QCOMPARE(m_service->value("profile").toString(), QString());
}

void tst_Provisioning::credentialsAreKeptWithoutForce()
{
    provision({ "-login", "first", "-pass", "one" });
    const QVariant user = m_service->value("user");
    const QVariant password = m_service->value("password");

    LogCapture log;
    provision({ "-login", "second", "-pass", "two", "-prof", "Kids" });
    QCOMPARE(log.warnings(), QStringList { AlreadyProvided });
    QCOMPARE(m_service->value("user"), user);
    QCOMPARE(m_service->value("password"), password);
    QCOMPARE(m_service->value("profile").toString(), QString("Kids"));
}

void tst_Provisioning::credentialsAreReplacedWithForce()
{
    provision({ "-login", "first", "-pass", "one", "-prof", "Kids" });
    LogCapture log;
    provision({ "-login", "second", "-pass", "two", "-f" });
    QVERIFY2(log.warnings().isEmpty(), qPrintable(log.dump()));
    QCOMPARE(unprotectText(m_service->value("user"), nullptr), QString("second"));
    QCOMPARE(unprotectText(m_service->value("password"), nullptr), QString("two"));
    QCOMPARE(m_service->value("profile").toString(), QString());
}

// Credentials that cannot be sealed are not stored as empty values, which the next run
// would take for credentials already given.
void tst_Provisioning::sealingFailureStoresNothing()
{
    const QString key = Protection::machineKeyPath();
    QFile::remove(key);
    QVERIFY(QDir().mkpath(key)); // a folder where the key belongs: sealing fails
    {
        LogCapture log;
        provision({ "-login", "first", "-pass", "one" });
        QVERIFY2(log.warnings().contains(QStringLiteral("The account credentials could not be sealed with the machine "
                                                        "key (see the error above); nothing was stored.")),
                 qPrintable(log.dump()));
    }
    QVERIFY(!m_service->contains("user"));
    QVERIFY(!m_service->contains("password"));

    QVERIFY(QDir(key).removeRecursively());
    LogCapture log;
    provision({ "-login", "first", "-pass", "one" });
    QVERIFY2(!log.warnings().contains(QString::fromLatin1(AlreadyProvided)), qPrintable(log.dump()));
    QCOMPARE(unprotectText(m_service->value("user"), nullptr), QString("first"));
}

void tst_Provisioning::oneCredentialOmitted_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("login only") << QStringList { "-login", "bob" };
    QTest::newRow("password only") << QStringList { "-pass", "pw" };
    QTest::newRow("login only, forced") << QStringList { "-login", "bob", "-f" };
}

void tst_Provisioning::oneCredentialOmitted()
{
    QFETCH(QStringList, arguments);
    LogCapture log;
    provision(arguments);
    QCOMPARE(log.warnings(), QStringList { OneOmitted });
    QVERIFY(!m_service->contains("user"));
    QVERIFY(!m_service->contains("password"));
}

void tst_Provisioning::protectedConnections_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QVariant>("expected"); // invalid: the key keeps its earlier value

    QTest::newRow("all connections win over a name")
            << QStringList { "-pall", "-conn", "Wi-Fi" } << QVariant(QString(""));
    QTest::newRow("all connections") << QStringList { "-pall" } << QVariant(QString(""));
    QTest::newRow("one connection") << QStringList { "-conn", "Wi-Fi" } << QVariant(QString("Wi-Fi"));
    QTest::newRow("neither leaves the key alone") << QStringList { "-prof", "Kids" } << QVariant();
}

void tst_Provisioning::protectedConnections()
{
    QFETCH(QStringList, arguments);
    QFETCH(QVariant, expected);
    m_service->setValue("protect-network", "Earlier choice");
    provision(arguments);
    QVERIFY(m_service->contains("protect-network"));
    const QString stored = m_service->value("protect-network").toString();
    QCOMPARE(stored, expected.isValid() ? expected.toString() : QString("Earlier choice"));
}

void tst_Provisioning::agentSwitches_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<bool>("preset");
    QTest::addColumn<bool>("force");
    QTest::addColumn<QVariant>("expected"); // invalid: key absent

    const struct {
        const char *option;
        const char *key;
        const char *warning;
    } switches[] = { { "-dupd", "new-version-checks", UpdatesSet }, { "-darun", "firststart", AutorunSet } };
    for (const auto &s : switches) {
        const QByteArray o = s.option;
        QTest::newRow(o + " on a fresh store") << s.option << s.key << "" << false << false << QVariant(false);
        QTest::newRow(o + " over a value warns") << s.option << s.key << s.warning << true << false << QVariant(true);
        QTest::newRow(o + " forced over a value") << s.option << s.key << "" << true << true << QVariant(false);
        QTest::newRow(o + " absent, other option") << "-prof" << s.key << "" << false << false << QVariant();
        QTest::newRow(o + " absent over a value warns") << "-prof" << s.key << s.warning << true << false << QVariant(true);
        QTest::newRow(o + " absent, forced, keeps value") << "-prof" << s.key << "" << true << true << QVariant(true);
    }
}

void tst_Provisioning::agentSwitches()
{
    QFETCH(QString, option);
    QFETCH(QString, key);
    QFETCH(QString, warning);
    QFETCH(bool, preset);
    QFETCH(bool, force);
    QFETCH(QVariant, expected);

    if (preset)
        m_agent->setValue(key, true);
    QStringList arguments { option };
    if (option == "-prof")
        arguments << "Kids";
    if (force)
        arguments << "-f";
    LogCapture log;
    provision(arguments);

    QVERIFY2(log.warnings() == (warning.isEmpty() ? QStringList() : QStringList { warning }), qPrintable(log.dump()));
    QCOMPARE(m_agent->contains(key), expected.isValid());
    if (expected.isValid())
        QCOMPARE(m_agent->value(key).toBool(), expected.toBool());
}

QTEST_GUILESS_MAIN(tst_Provisioning)
#include "tst_provisioning.moc"

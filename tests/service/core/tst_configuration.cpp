#include "configuration.h"
#include "endpointvalidation.h"
#include "logcapture.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QSettings>
#include <QtTest>

class tst_Configuration : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();

    void defaultsFillOnlyMissingKeys();
    void iniOverridesAndPersists();
    void iniValuesWinOverDefaults();
    void unusableIni_data();
    void unusableIni();
    void unwritableStoreWarns();

    void validation_data();
    void validation();

private:
    QString m_scratch;
};

void tst_Configuration::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
}

void tst_Configuration::init()
{
    QSettings().clear();
    QSettings().sync();
    m_scratch = TestSupport::scratchDirectory(QStringLiteral("configuration"));
}

void tst_Configuration::defaultsFillOnlyMissingKeys()
{
    QSettings store;
    store.setValue("localproxy-port", "5353");
    store.setValue("www", "https://account.example");
    Configuration::writeDefaults(store);

    const QMap<QString, QVariant> expected {
        { "tarnwickproxy-addr", "127.0.0.1" },
        { "tarnwickproxy-port", "1253" },
        { "www", "https://account.example" },
        { "www-ignore-ssl-errors", false },
        { "www-ca-file", "" },
        { "settings-protected", true },
        { "localproxy-addr", "127.0.0.1" },
        { "localproxy-port", "5353" },
    };
    QSettings reread;
    QCOMPARE(reread.allKeys().size(), expected.size());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(reread.value(it.key()).toString(), it.value().toString());
}

void tst_Configuration::iniOverridesAndPersists()
{
    const QString ini = m_scratch + "/service.ini";
    QVERIFY(TestSupport::writeFile(ini,
            "[global]\nlocalproxy-port=5353\nwww=https://provider.example\n"
            "[global/nested]\ninner=42\n[other]\nignored=1\n"));
    {
        QSettings store;
        store.setValue("www", "https://old.example");
        LogCapture log;
        QVERIFY(Configuration::mergeIni(ini, store));
        QCOMPARE(log.warnings(), QStringList { "reading service.ini and override settings" });
        store.sync();
    }
    QVERIFY(QFile::remove(ini));
    LogCapture log;
    QSettings store;
    QVERIFY(!Configuration::mergeIni(ini, store)); // gone: skipped without a word
    QVERIFY2(log.messages().isEmpty(), qPrintable(log.dump()));
    QCOMPARE(store.value("localproxy-port").toString(), QString("5353"));
    QCOMPARE(store.value("www").toString(), QString("https://provider.example"));
    QCOMPARE(store.value("nested/inner").toString(), QString("42"));
    QVERIFY(!store.contains("ignored"));
    QVERIFY(!store.contains("other/ignored"));
}

void tst_Configuration::iniValuesWinOverDefaults()
{
    const QString ini = m_scratch + "/service.ini";
    QVERIFY(TestSupport::writeFile(ini, "[global]\ntarnwickproxy-addr=192.0.2.7\n"));
    QSettings store;
    LogCapture log;
    Configuration::mergeIni(ini, store);
    Configuration::writeDefaults(store);
    QCOMPARE(store.value("tarnwickproxy-addr").toString(), QString("192.0.2.7"));
    QCOMPARE(store.value("tarnwickproxy-port").toString(), QString("1253"));
}

void tst_Configuration::unusableIni_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("warning");
    QTest::newRow("a directory instead of a file") << "directory" << "cannot be read";
    QTest::newRow("an unterminated group header") << "malformed" << "format error";
}

void tst_Configuration::unusableIni()
{
    QFETCH(QString, kind);
    QFETCH(QString, warning);
    const QString ini = m_scratch + "/service.ini";
    if (kind == "directory")
        QVERIFY(QDir().mkpath(ini));
    else
        QVERIFY(TestSupport::writeFile(ini, "[global\nlocalproxy-port=5353\n"));

    QSettings store;
    LogCapture log;
    QVERIFY(!Configuration::mergeIni(ini, store));
    QVERIFY2(log.warnings().size() == 2 && log.warnings().at(1).contains(warning), qPrintable(log.dump()));
    QVERIFY(!store.contains("localproxy-port"));
}

void tst_Configuration::unwritableStoreWarns()
{
    // A directory where the settings file should be: nothing can be written there.
    const QString path = m_scratch + "/blocked.conf";
    QVERIFY(QDir().mkpath(path));
    QSettings store(path, QSettings::NativeFormat);
    LogCapture log;
    Configuration::writeDefaults(store);
    QVERIFY2(log.contains("settings cannot be saved to " + path), qPrintable(log.dump()));
    // The values stay usable for this run.
    QCOMPARE(store.value("localproxy-port").toString(), QString("53"));
}

void tst_Configuration::validation_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored"); // invalid: key absent
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("warning");

    const QString badRemoteAddress = "Configuration contains wrong remote dns address. Default one is used instead.";
    const QString badRemotePort = "Configuration contains wrong remote dns port. Default one is used instead.";
    const QString badLocalAddress = "Configuration contains wrong local proxy address. Default one is used instead.";
    const QString badLocalPort = "Configuration contains wrong local proxy port. Default one is used instead.";

    QTest::newRow("remote address kept") << "tarnwickproxy-addr" << QVariant("203.0.113.5") << "203.0.113.5" << "";
    QTest::newRow("remote address IPv6") << "tarnwickproxy-addr" << QVariant("::1") << "127.0.0.1" << badRemoteAddress;
    QTest::newRow("remote address name") << "tarnwickproxy-addr" << QVariant("dns.example") << "127.0.0.1" << badRemoteAddress;
    QTest::newRow("remote address missing") << "tarnwickproxy-addr" << QVariant() << "127.0.0.1" << badRemoteAddress;
    QTest::newRow("remote port kept") << "tarnwickproxy-port" << QVariant("1253") << "1253" << "";
    QTest::newRow("remote port not a number") << "tarnwickproxy-port" << QVariant("dns") << "1253" << badRemotePort;
    QTest::newRow("remote port 65536") << "tarnwickproxy-port" << QVariant("65536") << "1253" << badRemotePort;
    QTest::newRow("remote port negative") << "tarnwickproxy-port" << QVariant("-1") << "1253" << badRemotePort;
    QTest::newRow("remote port 0 kept") << "tarnwickproxy-port" << QVariant("0") << "0" << "";
    QTest::newRow("local address kept") << "localproxy-addr" << QVariant("127.0.0.2") << "127.0.0.2" << "";
    QTest::newRow("local address garbage") << "localproxy-addr" << QVariant("300.1.2.3") << "127.0.0.1" << badLocalAddress;
    QTest::newRow("local port 65535 kept") << "localproxy-port" << QVariant("65535") << "65535" << "";
    QTest::newRow("local port hex") << "localproxy-port" << QVariant("0x35") << "53" << badLocalPort;
    QTest::newRow("local port empty") << "localproxy-port" << QVariant("") << "53" << badLocalPort;
}

void tst_Configuration::validation()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QString, expected);
    QFETCH(QString, warning);

    QSettings store;
    Configuration::writeDefaults(store);
    if (stored.isValid())
        store.setValue(key, stored);
    else
        store.remove(key);

    LogCapture log;
    const ProxyEndpoints endpoints = validateEndpoints(store);
    QCOMPARE(log.warnings(), warning.isEmpty() ? QStringList() : QStringList { warning });

    const QMap<QString, QString> read {
        { "tarnwickproxy-addr", endpoints.upstream.address.toString() },
        { "tarnwickproxy-port", QString::number(endpoints.upstream.port) },
        { "localproxy-addr", endpoints.local.address.toString() },
        { "localproxy-port", QString::number(endpoints.local.port) },
    };
    QCOMPARE(read.value(key), expected);
    // The corrected value is written back; a valid one is left as it was.
    QCOMPARE(store.value(key).toString(), expected);
}

QTEST_GUILESS_MAIN(tst_Configuration)
#include "tst_configuration.moc"

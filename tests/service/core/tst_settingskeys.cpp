#include "settingskeys.h"

#include <QtTest>

using StringMap = QMap<QString, QString>;
Q_DECLARE_METATYPE(StringMap)

class tst_SettingsKeys : public QObject
{
    Q_OBJECT

private slots:
    void readAgentUids_data();
    void readAgentUids();
    void writeAgentUids_data();
    void writeAgentUids();
    void keyNames();
};

void tst_SettingsKeys::readAgentUids_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<StringMap>("map");
    QTest::addColumn<bool>("writesBackIdentically");
    QTest::newRow("two entries") << "alice@example.com:7f3a-01, bob:9c2e-02"
                                 << StringMap{{"alice@example.com", "7f3a-01"}, {"bob", "9c2e-02"}} << true;
    QTest::newRow("empty text") << "" << StringMap() << true;
    QTest::newRow("part without uid is skipped") << "alice, bob:u2" << StringMap{{"bob", "u2"}} << false;
    QTest::newRow("part with empty uid is skipped") << "alice:, bob:u2" << StringMap{{"bob", "u2"}} << false;
    QTest::newRow("later entry replaces") << "a:1, a:2" << StringMap{{"a", "2"}} << false;
    QTest::newRow("empty parts dropped") << ", , a:1, " << StringMap{{"a", "1"}} << false;
    QTest::newRow("third piece ignored") << "a:1:2" << StringMap{{"a", "1"}} << false;
    QTest::newRow("doubled colon") << "a::1" << StringMap{{"a", "1"}} << false;
    QTest::newRow("comma without blank stays in the part") << "a:1,b:2" << StringMap{{"a", "1,b"}} << false;
}

void tst_SettingsKeys::readAgentUids()
{
    QFETCH(QString, text);
    QFETCH(StringMap, map);
    QFETCH(bool, writesBackIdentically);
    QCOMPARE(SettingsKeys::agentUidsFromText(text), map);
    if (writesBackIdentically)
        QCOMPARE(SettingsKeys::agentUidsToText(map), text);
}

void tst_SettingsKeys::writeAgentUids_data()
{
    QTest::addColumn<StringMap>("map");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty map") << StringMap() << "";
    QTest::newRow("one entry") << StringMap{{"u", "1"}} << "u:1";
    QTest::newRow("ascending key order") << StringMap{{"zed", "3"}, {"Anna", "1"}, {"bob", "2"}}
                                         << "Anna:1, bob:2, zed:3";
}

void tst_SettingsKeys::writeAgentUids()
{
    QFETCH(StringMap, map);
    QFETCH(QString, text);
    QCOMPARE(SettingsKeys::agentUidsToText(map), text);
    QCOMPARE(SettingsKeys::agentUidsFromText(text), map);
}

void tst_SettingsKeys::keyNames()
{
    const QStringList keys{SettingsKeys::User, SettingsKeys::Password, SettingsKeys::Token,
                           SettingsKeys::Profile, SettingsKeys::AgentUids, SettingsKeys::DdHostname,
                           SettingsKeys::ProtectNetwork, SettingsKeys::ProtectedNetworks,
                           SettingsKeys::UnprotectedNetworks};
    QCOMPARE(keys, (QStringList{"user", "password", "token", "profile", "agent-uids", "dd-hostname",
                                "protect-network", "protected-networks", "unprotected-networks"}));
    QCOMPARE(SettingsKeys::DefaultDdHostname, QStringLiteral("CorvaneAgent"));
    QCOMPARE(SettingsKeys::UserDescription, QStringLiteral("Tarnwick user"));
    QCOMPARE(SettingsKeys::PasswordDescription, QStringLiteral("Tarnwick password"));
}

QTEST_GUILESS_MAIN(tst_SettingsKeys)
#include "tst_settingskeys.moc"

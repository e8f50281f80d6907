#include "qxtjson.h"
#include "servicestate.h"
#include "statusview.h"

#include <QtTest>

// The checks of the service's notifications: each malformed one is refused whole, with
// its reason, and leaves the state as it was.
class TestServiceState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void apply_data();
    void apply();
};

namespace {

// A state as a greeting leaves it.
ServiceState greeted()
{
    ServiceState state;
    const char *const greeting[][2] = {
        {"setSettings", "[{\"localproxy-addr\":\"127.0.0.1\",\"local_user_to_profile_mapping_status\":false}]"},
        {"setNetworks", "[{\"networks\":[{\"id\":\"eth0\",\"name\":\"Wired\",\"protected\":true}],\"defaultRouteId\":\"eth0\"}]"},
        {"setCredentials", "[\"parent@example.com\",\"secret\"]"},
        {"setSettingsLocked", "[true]"},
        {"setGlobalFiltering", "[true]"},
        {"setProfiles", "[[{\"name\":\"Kids\",\"id\":11,\"token\":5,\"default\":true}],11]"},
        {"setIdentification", "[1,11]"},
    };
    for (const auto &message : greeting)
        state.apply(QString::fromLatin1(message[0]), QxtJSON::parse(QString::fromLatin1(message[1])).toList());
    return state;
}

QByteArray snapshot(const ServiceState &state)
{
    QVariantMap all = StatusView::statusJson(state, StatusView::Facts());
    all.insert(QStringLiteral("profiles"), StatusView::profilesJson(state));
    const CabinetDomains *domains = state.domains(11, 1);
    all.insert(QStringLiteral("domains"), domains ? StatusView::domainsJson(*domains) : QVariantList());
    return QxtJSON::stringify(all).toUtf8();
}

} // namespace

void TestServiceState::apply_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("params");
    QTest::addColumn<QString>("error"); // "" when accepted

    QTest::newRow("unknown method") << "setEverything" << "[1]" << "not a notification of the service";
    QTest::newRow("wrong count") << "setGlobalFiltering" << "[true,1]" << "2 parameters instead of 1";
    QTest::newRow("filtering as a number") << "setGlobalFiltering" << "[1]" << "the filtering state is not a boolean";
    QTest::newRow("lock as text") << "setSettingsLocked" << "[\"false\"]" << "the lock state is not a boolean";
    QTest::newRow("settings not a map") << "setSettings" << "[[]]" << "the settings are not a map";
    QTest::newRow("proxy address as a number") << "setSettings" << "[{\"localproxy-addr\":5}]" << "a setting has the wrong type";
    QTest::newRow("network without a name") << "setNetworks" << "[{\"networks\":[{\"id\":\"x\",\"protected\":true}]}]" << "network 1 does not read";
    QTest::newRow("protected as text") << "setNetworks" << "[{\"networks\":[{\"id\":\"x\",\"name\":\"X\",\"protected\":\"yes\"}]}]" << "network 1 does not read";
    QTest::newRow("networks not a list") << "setNetworks" << "[{\"networks\":{}}]" << "the networks are not a map with a list";
    QTest::newRow("default route of no network is kept") << "setNetworks" << "[{\"networks\":[],\"defaultRouteId\":\"gone\"}]" << "";
    QTest::newRow("login as a map") << "setCredentials" << "[{},\"x\"]" << "the login is not a text";
    QTest::newRow("no account") << "setCredentials" << "[null,null]" << "";
    QTest::newRow("profile without a name") << "setProfiles" << "[[{\"id\":3,\"token\":1}],3]" << "the profile list does not read";
    QTest::newRow("negative current id") << "setProfiles" << "[[],-1]" << "the current profile id is not an unsigned number";
    QTest::newRow("id above 32 bits") << "setSelectedProfile" << "[4294967296]" << "the profile id is not an unsigned number";
    QTest::newRow("id with a fraction") << "setSelectedProfile" << "[1.5]" << "the profile id is not an unsigned number";
    QTest::newRow("id as text") << "setSelectedProfile" << "[\"12\"]" << "the profile id is not an unsigned number";
    QTest::newRow("largest id") << "setSelectedProfile" << "[4294967295]" << "";
    QTest::newRow("list type 3") << "setDomains" << "[11,3,[]]" << "expected a profile id and a list type from 0 to 2";
    QTest::newRow("alias without an address") << "setDomains" << "[11,2,[{\"id\":1,\"domain\":\"a.example\"}]]" << "the domain list does not read";
    QTest::newRow("black list entry") << "setDomains" << "[11,1,[{\"id\":1,\"domain\":\"a.example\"}]]" << "";
    QTest::newRow("category 0") << "setUserFilter" << "[11,[5,0]]" << "expected a profile id and a list of category ids";
    QTest::newRow("identification type 2") << "setIdentification" << "[2,11]" << "the identification type is neither 0 nor 1";
    QTest::newRow("address identification by number") << "setIdentification" << "[0,5]" << "the address is not a text";
    QTest::newRow("error not a map") << "setIdentificationError" << "[1,\"bad\"]" << "expected a type and an error map";
    QTest::newRow("user info without a plan") << "setUserInfo" << "[{\"tz\":1}]" << "the user information does not read";
    QTest::newRow("protection of a network") << "setNetworkProtection" << "[\"Wired\",false]" << "";
}

void TestServiceState::apply()
{
    QFETCH(QString, method);
    QFETCH(QString, params);
    QFETCH(QString, error);

    ServiceState state = greeted();
    const QByteArray before = snapshot(state);
    const ::Error result = state.apply(method, QxtJSON::parse(params).toList());
    QCOMPARE(result.message(), error);
    QCOMPARE(result.code(), error.isEmpty() ? 0 : ServiceState::MalformedCode);
    if (error.isEmpty())
        QVERIFY(snapshot(state) != before);
    else
        QCOMPARE(snapshot(state), before);
}

QTEST_GUILESS_MAIN(TestServiceState)
#include "tst_servicestate.moc"

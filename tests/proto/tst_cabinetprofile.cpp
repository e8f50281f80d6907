#include "cabinetprofile.h"
#include "qxtjson.h"

#include <QtTest>

#include <algorithm>

namespace {

QVariant json(const QString &text)
{
    return QxtJSON::parse(text);
}

const QString Complete = QStringLiteral(
        R"({"name":"Kids","id":7,"token":123456,"default":true,"is_schedule_enabled":true,)"
        R"("white_list_only":false,"block_unknown_enabled":true,"safe_search_enabled":false,)"
        R"("safe_youtube_enabled":true})");

CabinetProfile profile(const QString &name, quint32 id, bool isDefault)
{
    CabinetProfile p;
    p.setName(name);
    p.setId(id);
    p.setToken(id * 10);
    p.setDefault(isDefault);
    return p;
}

} // namespace

class tst_CabinetProfile : public QObject
{
    Q_OBJECT

private slots:
    void fromVariant_data();
    void fromVariant();
    void failureLeavesProfileUnchanged();
    void toVariantRoundTrip();
    void toStringForm();
    void equality_data();
    void equality();
    void order();
    void swapExchangesAllFields();
    void profileList_data();
    void profileList();
    void profilesLaterIdReplaces();
    void profilesLookups();
    void tokenAgentUid_data();
    void tokenAgentUid();
    void metaTypeRegistration();
};

void tst_CabinetProfile::fromVariant_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("id");
    QTest::addColumn<quint32>("token");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<bool>("safeYoutube");

    QTest::newRow("complete profile") << Complete << true << "Kids" << 7u << 123456u << true << true;
    QTest::newRow("without name") << R"({"id":7,"token":1})" << false << "" << 0u << 0u << false << false;
    QTest::newRow("empty name") << R"({"name":"","id":7,"token":1})" << false << "" << 0u << 0u << false << false;
    QTest::newRow("null name") << R"({"name":null,"id":7,"token":1})" << false << "" << 0u << 0u << false << false;
    QTest::newRow("without default reads not default") << R"({"name":"a","id":7,"token":1})" << true << "a" << 7u << 1u << false << false;
    QTest::newRow("without id") << R"({"name":"a","token":1})" << false << "" << 0u << 0u << false << false;
    QTest::newRow("without token") << R"({"name":"a","id":1})" << false << "" << 0u << 0u << false << false;
    QTest::newRow("id as decimal text") << R"({"name":"a","id":"42","token":1})" << true << "a" << 42u << 1u << false << false;
    QTest::newRow("id text not a number counts as present with 0") << R"({"name":"a","id":"x","token":1})" << true << "a" << 0u << 1u << false << false;
    QTest::newRow("negative id is a failed conversion, not a wrap") << R"({"name":"a","id":-1,"token":1})" << true << "a" << 0u << 1u << false << false;
    QTest::newRow("token above 32 bits is a failed conversion") << R"({"name":"a","id":1,"token":4294967296})" << true << "a" << 1u << 0u << false << false;
    QTest::newRow("largest token") << R"({"name":"a","id":1,"token":4294967295})" << true << "a" << 1u << 4294967295u << false << false;
    QTest::newRow("id as map is not convertible") << R"({"name":"a","id":{},"token":1})" << false << "" << 0u << 0u << false << false;
    QTest::newRow("id as list is not convertible") << R"({"name":"a","id":[1],"token":1})" << false << "" << 0u << 0u << false << false;
    QTest::newRow("default as map reads false") << R"({"name":"a","id":1,"token":1,"default":{}})" << true << "a" << 1u << 1u << false << false;
    QTest::newRow("not a map") << R"([{"name":"a","id":1,"token":1}])" << false << "" << 0u << 0u << false << false;
    QTest::newRow("null") << "null" << false << "" << 0u << 0u << false << false;
}

void tst_CabinetProfile::fromVariant()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    CabinetProfile p;
    QCOMPARE(p.fromVariant(json(text)), ok);
    QFETCH(QString, name);
    QFETCH(quint32, id);
    QFETCH(quint32, token);
    QFETCH(bool, isDefault);
    QFETCH(bool, safeYoutube);
    QCOMPARE(p.name(), name);
    QCOMPARE(p.id(), id);
    QCOMPARE(p.token(), token);
    QCOMPARE(p.isDefault(), isDefault);
    QCOMPARE(p.isSafeYoutubeEnabled(), safeYoutube);
}

void tst_CabinetProfile::failureLeavesProfileUnchanged()
{
    CabinetProfile p;
    QVERIFY(p.fromVariant(json(Complete)));
    const QString before = p.toString();
    QVERIFY(!p.fromVariant(json(R"({"name":"","id":9,"token":9,"default":false})")));
    QCOMPARE(p.toString(), before);
}

void tst_CabinetProfile::toVariantRoundTrip()
{
    CabinetProfile p;
    QVERIFY(p.fromVariant(json(Complete)));
    QCOMPARE(QxtJSON::stringify(p.toVariant()),
             QStringLiteral(R"({"block_unknown_enabled":true,"default":true,"id":7,)"
                            R"("is_schedule_enabled":true,"name":"Kids","safe_search_enabled":false,)"
                            R"("safe_youtube_enabled":true,"token":123456,"white_list_only":false})"));
    CabinetProfile back;
    QVERIFY(back.fromVariant(json(QxtJSON::stringify(p.toVariant()))));
    QCOMPARE(back.toString(), p.toString());
}

void tst_CabinetProfile::toStringForm()
{
    CabinetProfile p;
    QVERIFY(p.fromVariant(json(Complete)));
    QCOMPARE(p.toString(),
             QStringLiteral("name: Kids id: 7 token: 123456 default: yes schedule: yes whiteonly: no "
                            "blockunknown: yes safesearch: no safeyoutube: yes"));
}

void tst_CabinetProfile::equality_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("equal");
    QTest::newRow("name only") << "name" << true;
    QTest::newRow("id") << "id" << false;
    QTest::newRow("token") << "token" << false;
    QTest::newRow("default") << "default" << false;
    QTest::newRow("schedule") << "schedule" << false;
    QTest::newRow("white only") << "whiteonly" << false;
    QTest::newRow("block unknown") << "blockunknown" << false;
    QTest::newRow("safe search") << "safesearch" << false;
    QTest::newRow("safe youtube") << "safeyoutube" << false;
}

void tst_CabinetProfile::equality()
{
    QFETCH(QString, change);
    QFETCH(bool, equal);
    CabinetProfile a;
    QVERIFY(a.fromVariant(json(Complete)));
    CabinetProfile b = a;
    if (change == "name") b.setName("Other");
    if (change == "id") b.setId(8);
    if (change == "token") b.setToken(1);
    if (change == "default") b.setDefault(!b.isDefault());
    if (change == "schedule") b.setScheduleEnabled(!b.isScheduleEnabled());
    if (change == "whiteonly") b.setWhiteListOnlyEnabled(!b.isWhiteListOnlyEnabled());
    if (change == "blockunknown") b.setBlockUnknownEnabled(!b.isBlockUnknownEnabled());
    if (change == "safesearch") b.setSafeSearchEnabled(!b.isSafeSearchEnabled());
    if (change == "safeyoutube") b.setSafeYoutubeEnabled(!b.isSafeYoutubeEnabled());
    QCOMPARE(a == b, equal);
    QCOMPARE(a != b, !equal);
}

void tst_CabinetProfile::order()
{
    QList<CabinetProfile> list{profile("gamma", 1, false), profile("alpha", 2, false),
                               profile("zulu", 3, true), profile("beta", 4, false)};
    std::sort(list.begin(), list.end());
    QStringList names;
    for (const CabinetProfile &p : list)
        names << p.name();
    QCOMPARE(names, (QStringList{"zulu", "alpha", "beta", "gamma"}));
    QVERIFY(profile("zulu", 1, true) < profile("alpha", 2, false));
    QVERIFY(profile("alpha", 2, false) > profile("zulu", 1, true));
    QVERIFY(!(profile("alpha", 1, false) < profile("alpha", 2, false)));
}

void tst_CabinetProfile::swapExchangesAllFields()
{
    CabinetProfile a;
    QVERIFY(a.fromVariant(json(Complete)));
    CabinetProfile b = profile("other", 3, false);
    const QString aText = a.toString();
    const QString bText = b.toString();
    a.swap(b);
    QCOMPARE(a.toString(), bText);
    QCOMPARE(b.toString(), aText);
}

void tst_CabinetProfile::profileList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("two profiles in order") << R"([{"name":"b","id":2,"token":2},{"name":"a","id":1,"token":1}])"
                                           << true << QStringList{"b", "a"};
    QTest::newRow("one invalid profile empties the list")
            << R"([{"name":"b","id":2,"token":2},{"id":1,"token":1}])" << false << QStringList();
    QTest::newRow("an element that is no map") << R"([{"name":"b","id":2,"token":2},5])" << false << QStringList();
    QTest::newRow("empty list") << "[]" << true << QStringList();
    QTest::newRow("a map instead of a list") << R"({"name":"b","id":2,"token":2})" << false << QStringList();
}

void tst_CabinetProfile::profileList()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QStringList, names);
    CabinetProfileList list;
    list.append(profile("stale", 99, false));
    QCOMPARE(list.fromVariant(json(text)), ok);
    QStringList read;
    for (const CabinetProfile &p : qAsConst(list))
        read << p.name();
    QCOMPARE(read, names);

    CabinetProfiles profiles;
    profiles.insert(99, QSharedPointer<CabinetProfile>::create(profile("stale", 99, false)));
    QCOMPARE(profiles.fromVariant(json(text)), ok);
    QCOMPARE(profiles.size(), names.size());
}

void tst_CabinetProfile::profilesLaterIdReplaces()
{
    CabinetProfiles profiles;
    QVERIFY(profiles.fromVariant(json(R"([{"name":"first","id":5,"token":1},{"name":"second","id":5,"token":2}])")));
    QCOMPARE(profiles.size(), 1);
    QCOMPARE(profiles.value(5)->name(), QStringLiteral("second"));
    QCOMPARE(profiles.value(5)->token(), 2u);

    // A null entry is left out of the written list instead of spoiling it.
    profiles.insert(6, QSharedPointer<CabinetProfile>());
    CabinetProfiles back;
    QVERIFY(back.fromVariant(json(QxtJSON::stringify(profiles.toVariant()))));
    QCOMPARE(back.size(), 1);
    QCOMPARE(*back.value(5), *profiles.value(5));
}

void tst_CabinetProfile::profilesLookups()
{
    CabinetProfiles profiles;
    QVERIFY(profiles.fromVariant(json(R"([{"name":"Home","id":1,"token":1},{"name":"Kids","id":2,"token":2,"default":true}])")));
    QCOMPARE(profiles.defaultProfile()->id(), 2u);
    const CabinetProfiles &constProfiles = profiles;
    QCOMPARE(constProfiles.defaultProfile()->id(), 2u);
    QCOMPARE(profiles.hasName("Home")->id(), 1u);
    QVERIFY(profiles.hasName("home").isNull());
    profiles.value(2)->setDefault(false);
    QVERIFY(profiles.defaultProfile().isNull());
}

void tst_CabinetProfile::tokenAgentUid_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("uid");
    QTest::addColumn<quint32>("token");
    QTest::addColumn<quint32>("profileId");
    QTest::newRow("three values") << R"(["abc-1",3000000000,12])" << true << "abc-1" << 3000000000u << 12u;
    QTest::newRow("token as text") << R"(["abc-1","3",12])" << false << "" << 0u << 0u;
    QTest::newRow("uid as number") << R"([1,3,12])" << false << "" << 0u << 0u;
    QTest::newRow("profile id as double") << R"(["abc",3,1.0])" << false << "" << 0u << 0u;
    QTest::newRow("two values") << R"(["abc",3])" << false << "" << 0u << 0u;
    QTest::newRow("four values") << R"(["abc",3,4,5])" << false << "" << 0u << 0u;
    QTest::newRow("negative token") << R"(["abc",-3,4])" << false << "" << 0u << 0u;
    QTest::newRow("a map") << R"({"uid":"abc"})" << false << "" << 0u << 0u;
}

void tst_CabinetProfile::tokenAgentUid()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, uid);
    QFETCH(quint32, token);
    QFETCH(quint32, profileId);
    CabinetTokenAgentUidProfileId binding;
    QCOMPARE(binding.fromVariant(json(text)), ok);
    QCOMPARE(binding.agentUid(), uid);
    QCOMPARE(binding.token(), token);
    QCOMPARE(binding.profileId(), profileId);
    if (ok) {
        CabinetTokenAgentUidProfileId back;
        QVERIFY(back.fromVariant(json(QxtJSON::stringify(binding.toVariant()))));
        QCOMPARE(back, binding);
    }
}

void tst_CabinetProfile::metaTypeRegistration()
{
    const int id = registerCabinetProfilesMetaType();
    QCOMPARE(id, registerCabinetProfilesMetaType());
    QCOMPARE(QMetaType::typeName(id), "CabinetProfiles");
    QCOMPARE(QMetaType::type("CabinetProfile"), qMetaTypeId<CabinetProfile>());
}

QTEST_GUILESS_MAIN(tst_CabinetProfile)
#include "tst_cabinetprofile.moc"

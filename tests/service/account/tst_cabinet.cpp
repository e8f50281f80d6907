// The account state's rules, driven through a scripted fake of its remote operations.
#include "fakecabinet.h"

#include "jsoncache.h"
#include "logcapture.h"
#include "profiledata.h"
#include "settingskeys.h"

#include <QDir>
#include <QSettings>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

CabinetProfile makeProfile(quint32 id, const QString &name, bool isDefault = false,
                           bool scheduled = false)
{
    CabinetProfile profile;
    profile.setId(id);
    profile.setName(name);
    profile.setToken(1000 + id);
    profile.setDefault(isDefault);
    profile.setScheduleEnabled(scheduled);
    return profile;
}

CabinetProfiles listOf(const QList<CabinetProfile> &profiles)
{
    CabinetProfiles list;
    for (const CabinetProfile &profile : profiles)
        list.insert(profile.id(), QSharedPointer<CabinetProfile>::create(profile));
    return list;
}

const CabinetProfiles DemoList = listOf({ makeProfile(101, "Default", true),
                                          makeProfile(102, "Kids", false, true) });

CabinetDomains domainList(std::initializer_list<const char *> names)
{
    CabinetDomains list;
    quint32 id = 1;
    for (const char *name : names)
        list.append(CabinetDomain(id++, QString::fromLatin1(name)));
    return list;
}

QTimer *timerOf(const Cabinet &cabinet, const char *name)
{
    return cabinet.findChild<QTimer *>(QString::fromLatin1(name));
}

} // namespace

class tst_Cabinet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void noCredentials();
    void backoffDoublesOncePerRound();
    void backoffSequence();
    void profileListArrival_data();
    void profileListArrival();
    void pendingProfileNameMatchingNothing();
    void removingSelectedProfile();
    void getProfileAnswers_data();
    void getProfileAnswers();
    void repeatedAnswers();
    void scheduleActivity();
    void notificationsChangeLocalCopy();
    void staleAnswersAfterNewCredentials();
    void cacheRestoresAfterRestart();

private:
    // A cabinet signed in as "user"/"secret" whose profile list (DemoList) and profile
    // data have arrived, with Default selected.
    std::unique_ptr<FakeCabinet> signedIn();
};

void tst_Cabinet::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
}

void tst_Cabinet::init()
{
    QSettings().clear();
    QSettings().sync();
    QDir(JsonCache::directoryFor(CacheEntry::CacheName)).removeRecursively();
}

std::unique_ptr<FakeCabinet> tst_Cabinet::signedIn()
{
    auto cabinet = std::make_unique<FakeCabinet>();
    QCoreApplication::processEvents(); // init()
    cabinet->setCredentials(QStringLiteral("user"), QStringLiteral("secret"));
    cabinet->answer(QStringLiteral("profiles"), DemoList);
    cabinet->answerProfileData();
    return cabinet;
}

void tst_Cabinet::noCredentials()
{
    FakeCabinet cabinet;
    QSignalSpy errors(&cabinet, &Cabinet::error);
    QCoreApplication::processEvents();
    QCOMPARE(errors.count(), 1);
    QCOMPARE(cabinet.lastError().code(), 30);
    QCOMPARE(cabinet.methods(), QStringList { "systemInfo" });
}

void tst_Cabinet::backoffDoublesOncePerRound()
{
    FakeCabinet cabinet;
    QCoreApplication::processEvents();
    cabinet.setCredentials(QStringLiteral("user"), QStringLiteral("secret"));
    QTimer *reconnect = timerOf(cabinet, "reconnectTimer");
    QList<int> delays;
    for (int round = 0; round < 5; ++round) {
        // One round: system information, profiles and user information fail together.
        // (the transport records each failed exchange).
        for (int exchange = 0; exchange < 3; ++exchange)
            cabinet.transportError(Error(31, QStringLiteral("down")));
        QCOMPARE(cabinet.lastError().message(), QStringLiteral("down"));
        QCOMPARE(cabinet.state(), int(Cabinet::Disconnected));
        QVERIFY(reconnect->isActive());
        delays.append(reconnect->interval() / 1000);
        reconnect->stop();
        cabinet.connectToServer();
    }
    QCOMPARE(delays, (QList<int> { 30, 60, 120, 240, 480 }));

    cabinet.setConnectionState(Cabinet::Connected);
    QVERIFY(!reconnect->isActive());
    cabinet.transportError(Error(31));
    QCOMPARE(reconnect->interval(), 30000);
}

void tst_Cabinet::backoffSequence()
{
    ReconnectBackoff backoff;
    QList<int> delays;
    for (int i = 0; i < 9; ++i)
        delays.append(backoff.take());
    QCOMPARE(delays, (QList<int> { 30, 60, 120, 240, 480, 960, 1920, 3600, 3600 }));
    backoff.reset();
    QCOMPARE(int(backoff.take()), 30);
}

void tst_Cabinet::profileListArrival_data()
{
    QTest::addColumn<QVariant>("second");
    QTest::addColumn<int>("changes");
    QTest::newRow("identical list: no signal, still refreshed") << QVariant::fromValue(DemoList) << 0;
    QTest::newRow("renamed profile is a change")
            << QVariant::fromValue(listOf({ makeProfile(101, "Everyone", true),
                                            makeProfile(102, "Kids", false, true) }))
            << 1;
    QTest::newRow("one profile more")
            << QVariant::fromValue(listOf({ makeProfile(101, "Default", true),
                                            makeProfile(102, "Kids", false, true),
                                            makeProfile(103, "Guests") }))
            << 1;
}

void tst_Cabinet::profileListArrival()
{
    QFETCH(QVariant, second);
    QFETCH(int, changes);
    const CabinetProfiles list = second.value<CabinetProfiles>();
    auto cabinet = signedIn();
    QSignalSpy changed(cabinet.get(), &Cabinet::profilesChanged);
    cabinet->clearSent();

    cabinet->invalidateSettings();
    QVERIFY(cabinet->answer(QStringLiteral("profiles"), list));
    QCOMPARE(changed.count(), changes);
    QCOMPARE(cabinet->profileList().size(), list.size());
    QCOMPARE(cabinet->profileList().value(101)->name(), list.value(101)->name());
    // Every profile's filter, three lists and schedule are asked for again.
    for (quint32 id : list.keys()) {
        QVERIFY(cabinet->waiting(QStringLiteral("userFilter"), { id }));
        QVERIFY(cabinet->waiting(QStringLiteral("schedule"), { id }));
        for (int type = 0; type < 3; ++type)
            QVERIFY(cabinet->waiting(QStringLiteral("domains"), { id, type }));
    }
    QCOMPARE(cabinet->count(QStringLiteral("domains")), 3 * list.size());
}

void tst_Cabinet::pendingProfileNameMatchingNothing()
{
    QSettings().setValue(SettingsKeys::Profile, QStringLiteral("Nobody"));
    FakeCabinet cabinet;
    QCOMPARE(QSettings().value(SettingsKeys::Profile).toString(), QString());
    QCoreApplication::processEvents();
    cabinet.setCredentials(QStringLiteral("user"), QStringLiteral("secret"));
    LogCapture log;
    QVERIFY(cabinet.answer(QStringLiteral("profiles"), DemoList));
    QVERIFY(log.contains(QStringLiteral("No pofile whith this id:0")));
    QCOMPARE(cabinet.selectedProfile()->id(), 101u);

    // The name is used once: a later list with a profile of that name changes nothing.
    cabinet.invalidateSettings();
    QVERIFY(cabinet.answer(QStringLiteral("profiles"),
                           listOf({ makeProfile(101, "Default", true), makeProfile(104, "Nobody") })));
    QCOMPARE(cabinet.selectedProfile()->id(), 101u);
}

void tst_Cabinet::removingSelectedProfile()
{
    auto cabinet = signedIn();
    QVERIFY(cabinet->selectProfile(102, true));
    QSignalSpy changed(cabinet.get(), &Cabinet::profilesChanged);
    cabinet->clearSent();

    cabinet->removeProfile(102);
    QCOMPARE(changed.count(), 1);
    QVERIFY(!cabinet->profileList().contains(102));
    QVERIFY(!cabinet->profileData(102));
    QCOMPARE(cabinet->selectedProfile()->id(), 101u);
    QCOMPARE(cabinet->methods().first(), QStringLiteral("removeProfile"));
    QVERIFY(cabinet->methods().contains(QStringLiteral("setProfile")));
    QCOMPARE(cabinet->sent.last().params.at(1).toUInt(), 101u);
}

void tst_Cabinet::getProfileAnswers_data()
{
    QTest::addColumn<QString>("storedUids");
    QTest::addColumn<QStringList>("outcomes");
    QTest::addColumn<QStringList>("uidsSent");
    QTest::addColumn<QString>("uidsAfter");
    QTest::addColumn<uint>("selected");
    // "bad": code 9; "ok": ["fresh", 77, 102].
    QTest::newRow("wrong answer clears the uid and asks again without one")
            << "other:x, user:abc" << QStringList { "bad", "ok" } << QStringList { "abc", "" }
            << "other:x, user:fresh" << 101u; // a new uid: our own choice is told
    QTest::newRow("wrong answer without a uid waits for the next round")
            << "" << QStringList { "bad" } << QStringList { "" } << "" << 101u;
    QTest::newRow("known uid keeps it") << "user:abc" << QStringList { "ok" }
                                        << QStringList { "abc" } << "user:abc" << 102u;
}

void tst_Cabinet::getProfileAnswers()
{
    QFETCH(QString, storedUids);
    QFETCH(QStringList, outcomes);
    QFETCH(QStringList, uidsSent);
    QFETCH(QString, uidsAfter);
    QFETCH(uint, selected);
    QSettings().setValue(SettingsKeys::AgentUids, storedUids);
    auto cabinet = signedIn();
    for (const QString &outcome : outcomes) {
        if (outcome == QLatin1String("bad"))
            QVERIFY(cabinet->fail(QStringLiteral("getProfile"), Error(9, QStringLiteral("Invalid format"))));
        else
            QVERIFY(cabinet->answer(QStringLiteral("getProfile"),
                                    CabinetTokenAgentUidProfileId(QStringLiteral("fresh"), 77, 102)));
    }
    QStringList sentUids;
    for (const FakeCabinet::Sent &sent : qAsConst(cabinet->sent)) {
        if (sent.method == QLatin1String("getProfile"))
            sentUids.append(sent.params.first().toString());
    }
    QCOMPARE(sentUids, uidsSent);
    QCOMPARE(QSettings().value(SettingsKeys::AgentUids).toString(), uidsAfter);
    QVERIFY(timerOf(*cabinet, "identificationTimer")->isActive());
    if (outcomes.last() == QLatin1String("ok")) {
        QCOMPARE(cabinet->token(), 77u);
        QCOMPARE(QSettings().value(SettingsKeys::Token).toUInt(), 77u);
    }
    QCOMPARE(cabinet->selectedProfile()->id(), selected);
}

void tst_Cabinet::repeatedAnswers()
{
    auto cabinet = signedIn();
    QCOMPARE(cabinet->domainsOf(101, CabinetDomain::BlackList).size(), 0);
    QSignalSpy domains(cabinet.get(), &Cabinet::domainsChanged);
    QSignalSpy filters(cabinet.get(), &Cabinet::userFilterChanged);
    CabinetUserFilter filter;
    filter.insert(30);
    for (int round = 0; round < 2; ++round) {
        cabinet->invalidateSettings();
        QVERIFY(cabinet->answer(QStringLiteral("profiles"), DemoList));
        QVERIFY(cabinet->answer(QStringLiteral("domains"), domainList({ "a.example", "b.example" }),
                                { 101u, 1 }));
        QVERIFY(cabinet->answer(QStringLiteral("userFilter"), filter, { 101u }));
    }
    // A list equal to the stored one is not announced again; a filter always is.
    QCOMPARE(domains.count(), 1);
    QCOMPARE(filters.count(), 2);
    QCOMPARE(cabinet->domainsOf(101, CabinetDomain::BlackList).size(), 2);
    QCOMPARE(cabinet->userFilterOf(101), filter);
    // An invalid answer (a failed request) leaves the data as it was.
    cabinet->invalidateSettings();
    QVERIFY(cabinet->answer(QStringLiteral("profiles"), DemoList));
    QVERIFY(cabinet->fail(QStringLiteral("domains"), Error(9), { 101u, 1 }));
    QCOMPARE(cabinet->domainsOf(101, CabinetDomain::BlackList).size(), 2);
}

void tst_Cabinet::scheduleActivity()
{
    auto cabinet = signedIn();
    QSignalSpy current(cabinet.get(), &Cabinet::currentProfileChanged);
    QVERIFY(cabinet->selectProfile(102, true));
    QCOMPARE(current.count(), 1);
    QVERIFY(cabinet->answer(QStringLiteral("schedule"), CabinetSchedule(), { 102u }));
    QVERIFY(cabinet->answer(QStringLiteral("profileScheduleActivity"), CabinetProfileActivity(false, 15)));
    // Outside its schedule the Kids profile gives way to the default one.
    QCOMPARE(cabinet->selectedProfile()->id(), 102u);
    QCOMPARE(cabinet->currentProfile()->id(), 101u);
    QCOMPARE(current.count(), 2);
    QTimer *activity = timerOf(*cabinet, "activityTimer");
    QVERIFY(activity->isActive());
    QCOMPARE(activity->interval(), 15 * 60000);
    // When the time given has passed, the activity is asked for again.
    activity->stop();
    QVERIFY(QMetaObject::invokeMethod(activity, "timeout"));
    QVERIFY(cabinet->answer(QStringLiteral("profileScheduleActivity"), CabinetProfileActivity(true, 600)));
    QCOMPARE(cabinet->currentProfile()->id(), 102u);
}

void tst_Cabinet::notificationsChangeLocalCopy()
{
    auto cabinet = signedIn();
    cabinet->invalidateSettings();
    QVERIFY(cabinet->answer(QStringLiteral("profiles"), DemoList));
    QVERIFY(cabinet->answer(QStringLiteral("domains"), domainList({ "a.example", "b.example" }),
                            { 101u, 0 }));
    QSignalSpy domains(cabinet.get(), &Cabinet::domainsChanged);

    cabinet->setFilterCat(101, 7, true);
    cabinet->removeDomain(101, CabinetDomain::WhiteList, 1);
    cabinet->clearDomains(101, CabinetDomain::AliasList);
    cabinet->setSafeSearchEnabled(101, true);
    QVERIFY(cabinet->userFilterOf(101).contains(7));
    QCOMPARE(cabinet->domainsOf(101, CabinetDomain::WhiteList).size(), 1);
    QCOMPARE(cabinet->domainsOf(101, CabinetDomain::WhiteList).first().id(), 2u);
    QCOMPARE(domains.count(), 2);
    QVERIFY(cabinet->profileList().value(101)->isSafeSearchEnabled());

    // The changes are in the cache: a new cabinet finds them.
    cabinet.reset();
    FakeCabinet again;
    QVERIFY(again.userFilterOf(101).contains(7));
    QCOMPARE(again.domainsOf(101, CabinetDomain::WhiteList).size(), 1);
    QVERIFY(again.profileData(101)->isLoaded(ProfileData::AliasList));
}

void tst_Cabinet::staleAnswersAfterNewCredentials()
{
    FakeCabinet cabinet;
    QCoreApplication::processEvents();
    cabinet.setCredentials(QStringLiteral("first"), QStringLiteral("one"));
    QPointer<CabinetRequest> oldProfiles = cabinet.waiting(QStringLiteral("profiles"));
    QPointer<CabinetRequest> oldNic = cabinet.updateIP();
    QVERIFY(oldProfiles && oldNic);
    cabinet.setCredentials(QStringLiteral("second"), QStringLiteral("two"));
    QSignalSpy errors(&cabinet, &Cabinet::error);
    QSignalSpy changed(&cabinet, &Cabinet::profilesChanged);

    // The first sign-in's answers arrive after the second began.
    dynamic_cast<CabinetFunction<CabinetProfiles> *>(oldProfiles.data())->setResult(DemoList);
    oldProfiles->requestFinished(Error());
    oldNic->requestFinished(Error(31, QStringLiteral("gone")));
    QCOMPARE(errors.count(), 0);
    QCOMPARE(changed.count(), 0);
    QVERIFY(cabinet.profileList().isEmpty());
    QCOMPARE(cabinet.lastError().code(), 0);

    QVERIFY(cabinet.answer(QStringLiteral("profiles"), listOf({ makeProfile(201, "Mine", true) })));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(cabinet.profileList().keys(), QList<quint32> { 201 });
}

void tst_Cabinet::cacheRestoresAfterRestart()
{
    {
        auto cabinet = signedIn();
        CabinetUserInfo info = Cabinet::defaultUserInfo();
        info.setPlanCode(QStringLiteral("PREMIUM"));
        QVERIFY(cabinet->answer(QStringLiteral("userInfo"), info));
        QVERIFY(cabinet->selectProfile(102, true));
        cabinet->invalidateSettings();
        QVERIFY(cabinet->answer(QStringLiteral("profiles"), DemoList));
        CabinetSchedule week;
        for (int day = 0; day < 7; ++day)
            week.append(CabinetScheduleDay(true, QStringLiteral("07:00"), QStringLiteral("20:00")));
        QVERIFY(cabinet->answer(QStringLiteral("schedule"), week, { 102u }));
        QVERIFY(cabinet->answer(QStringLiteral("domains"), domainList({ "blocked.example" }), { 102u, 1 }));
    }
    FakeCabinet cabinet; // nothing is answered: everything comes from the cache
    QCOMPARE(cabinet.profileList().size(), 2);
    QCOMPARE(cabinet.userInformation().planCode(), QStringLiteral("PREMIUM"));
    QCOMPARE(cabinet.scheduleOf(102).size(), 7);
    QCOMPARE(cabinet.domainsOf(102, CabinetDomain::BlackList).first().domain(), QStringLiteral("blocked.example"));
    QVERIFY(cabinet.profileData(101)->isLoaded(ProfileData::Filter));
    QCOMPARE(cabinet.userName(), QStringLiteral("user"));
    QCoreApplication::processEvents(); // init() selects the cached choice
    QCOMPARE(cabinet.selectedProfile()->id(), 102u);
}

QTEST_GUILESS_MAIN(tst_Cabinet)
#include "tst_cabinet.moc"

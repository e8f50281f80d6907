#include "agenttestrig.h"

#include "categorytreemodel.h"
#include "domainlistmodel.h"
#include "localusers.h"
#include "profilelistmodel.h"
#include "schedule.h"
#include "userprofilemappingmodel.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QTabWidget>

// The filtering settings views against a fake service: each edit of the pages reaches the
// service as the call or notification it stands for, with the JSON types the service's
// handler declares; the lists are fetched when shown, once.
class TestSettingsViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void editReachesTheService_data();
    void editReachesTheService();
    void listsFetchedOnceUntilCleared();
    void whiteListOnlyLocksCategories();
    void defaultProfileCannotBeRemoved();
    void activeProfileWaitsForTheService();
    void mappingRoundTrip();
    void categoriesUnavailable();
    void localUsers_data();
    void localUsers();
    void scheduleHours_data();
    void scheduleHours();

private:
    void perform(const QString &action);
    std::unique_ptr<AgentTestRig> rig;
};

void TestSettingsViews::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Agent"));
    initAgentResources();
    const QString passwd = TestSupport::scratchDirectory(QStringLiteral("users")) + QStringLiteral("/passwd");
    QVERIFY(TestSupport::writeFile(passwd, "anna:x:1000:1000::/home/anna:/bin/bash\nben:x:1001:1001::/home/ben:/bin/zsh\n"));
    qputenv("CORVANE_PASSWD", QFile::encodeName(passwd));
}

void TestSettingsViews::init()
{
    AgentTestRig::resetSettings(false);
    rig = std::make_unique<AgentTestRig>();
    rig->service.useSampleAccount();
    rig->service.useSampleLists();
    QVERIFY(rig->service.start(rig->socketPath));
    rig->startAgent();
    QVERIFY(rig->waitFor(Agent::State::Identified));
    QTest::mouseClick(rig->find<QAbstractButton>("settingsButton_"), Qt::LeftButton);
    QTRY_COMPARE(rig->pageName(), QStringLiteral("settingsPage_"));
    QTRY_COMPARE(rig->agent->profileListModel()->rowCount(), 2);
}

void TestSettingsViews::cleanup()
{
    rig.reset();
}

// The fake service's sample account: the second category group holds Games, the second
// profile row is Kids, the second connection is the one to protect.
void TestSettingsViews::perform(const QString &action)
{
    AgentTestRig::EditTargets targets;
    targets.categoryGroup = 1;
    targets.whiteEntry = QStringLiteral(" ok.example ");
    targets.networkRow = 1;
    rig->performEdit(action, targets);
}

void TestSettingsViews::editReachesTheService_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("types"); // as the service received them
    QTest::addColumn<QVariantList>("params");

    const QVariantList noHosts;
    QTest::newRow("use the schedule") << "setScheduleEnabled" << "uint,bool" << QVariantList{11, true};
    QTest::newRow("white list only") << "setWhiteListOnly" << "uint,bool" << QVariantList{11, true};
    QTest::newRow("block unknown sites") << "setBlockUnknownEnabled" << "uint,bool" << QVariantList{11, true};
    QTest::newRow("safe search") << "setSafeSearchEnabled" << "uint,bool" << QVariantList{11, true};
    QTest::newRow("safe YouTube") << "setSafeYoutubeEnabled" << "uint,bool" << QVariantList{11, true};
    QTest::newRow("block a category") << "setFilterCat" << "uint,uint,bool" << QVariantList{11, 31, true};
    QTest::newRow("white list entry") << "addDomain" << "uint,string,string,string"
                                      << QVariantList{11, "white", "ok.example", ""};
    QTest::newRow("black list entry") << "addDomain" << "uint,string,string,string"
                                      << QVariantList{11, "black", "bad.example", ""};
    QTest::newRow("remove a black list entry") << "removeDomain" << "uint,string,uint" << QVariantList{11, "black", 102};
    QTest::newRow("alias") << "addDomain" << "uint,string,string,string"
                           << QVariantList{11, "alias", "nas.example", "192.0.2.9"};
    QTest::newRow("remove an alias") << "removeDomain" << "uint,string,uint" << QVariantList{11, "alias", 104};
    QTest::newRow("new profile") << "addProfile" << "string" << QVariantList{"Teens"};
    QTest::newRow("remove a profile") << "removeProfile" << "uint" << QVariantList{12};
    QTest::newRow("choose the active profile") << "setProfile" << "uint" << QVariantList{12};
    QTest::newRow("bind local users") << "setLocalUserToProfileMappingStatus" << "bool" << QVariantList{true};
    QTest::newRow("bind a user") << "UserToProfileMapFileWasUpdated" << "map"
                                 << QVariantList{QVariantMap{{"ben", "Homework"}}};
    QTest::newRow("protect a connection") << "setNetworkProtection" << "string,bool,list"
                                          << QVariantList{"wlan0", true, noHosts};
}

void TestSettingsViews::editReachesTheService()
{
    QFETCH(QString, method);
    QFETCH(QString, types);
    QFETCH(QVariantList, params);
    perform(QString::fromLatin1(QTest::currentDataTag()));
    QTRY_COMPARE(rig->service.count(method), 1);
    const QVariantList received = rig->service.lastParams(method);
    QCOMPARE(FakeService::typeSignature(received), types);
    QCOMPARE(received.size(), params.size());
    for (int i = 0; i < params.size(); ++i)
        QCOMPARE(received.at(i).toString(), params.at(i).toString());
    if (params.last().type() == QVariant::Map)
        QCOMPARE(received.last().toMap(), params.last().toMap());
}

// A list is asked for when first shown and then kept; opening the settings again clears
// it, and it is asked for once more.
void TestSettingsViews::listsFetchedOnceUntilCleared()
{
    auto blackListCalls = [this] {
        int n = 0;
        for (const FakeService::Call &call : qAsConst(rig->service.calls))
            n += call.method == QLatin1String("domains") && call.params.value(1) == QLatin1String("black") ? 1 : 0;
        return n;
    };
    rig->openFilterTab(1);
    QTRY_COMPARE(rig->agent->blackListModel()->rowCount(), 2);
    rig->openFilterTab(0);
    rig->openFilterTab(1);
    QTest::qWait(50);
    QCOMPARE(blackListCalls(), 1);

    QTest::mouseClick(rig->find<QAbstractButton>("homeButton_"), Qt::LeftButton);
    QTest::mouseClick(rig->find<QAbstractButton>("settingsButton_"), Qt::LeftButton);
    QVERIFY(!rig->agent->blackListModel()->hasList(11));
    rig->openFilterTab(1);
    QTRY_COMPARE(blackListCalls(), 2);
    QTRY_COMPARE(rig->agent->blackListModel()->rowCount(), 2);
}

void TestSettingsViews::whiteListOnlyLocksCategories()
{
    perform(QStringLiteral("white list only"));
    QVERIFY(!rig->find<QCheckBox>("blockUnknownFlag_")->isEnabled());
    rig->openFilterTab(0);
    QVERIFY(rig->find<QWidget>("categoriesLockedText_")->isVisible());
    CategoryTreeModel *categories = rig->agent->categoryTreeModel();
    QTRY_VERIFY(categories->rowCount() == 2 && categories->hasBlockedCategories(11));
    const QModelIndex games = categories->index(0, 1, categories->index(1, 0));
    QVERIFY(!(categories->flags(games) & Qt::ItemIsEnabled));
    perform(QStringLiteral("block a category"));
    QTest::qWait(50);
    QCOMPARE(rig->service.count(QStringLiteral("setFilterCat")), 0);
}

void TestSettingsViews::defaultProfileCannotBeRemoved()
{
    ProfileListModel *profiles = rig->agent->profileListModel();
    QVERIFY(!(profiles->flags(profiles->index(0, ProfileListModel::RemoveColumn)) & Qt::ItemIsEnabled));
    QVERIFY(!profiles->removeRow(0));
    rig->openProfilesTab(0);
    rig->clickCell("profileListView_", 0, ProfileListModel::RemoveColumn);
    QTest::qWait(50);
    QVERIFY(!rig->agent->window()->findChild<QDialog *>(QStringLiteral("profileRemoveDialog_")));
    QCOMPARE(profiles->rowCount(), 2);
}

// The check moves with the service's answer only.
void TestSettingsViews::activeProfileWaitsForTheService()
{
    rig->service.failures.insert(QStringLiteral("setProfile"), ::Error(31, QStringLiteral("account site unreachable")));
    perform(QStringLiteral("choose the active profile"));
    QTRY_COMPARE(rig->service.count(QStringLiteral("setProfile")), 1);
    ProfileListModel *profiles = rig->agent->profileListModel();
    QCOMPARE(profiles->activeRow(), 0);
    QCOMPARE(profiles->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
}

void TestSettingsViews::mappingRoundTrip()
{
    UserProfileMappingModel *mapping = rig->agent->userProfileMappingModel();
    perform(QStringLiteral("bind a user"));
    QTRY_COMPARE(rig->service.userToProfileMap, (QVariantMap{{"ben", "Homework"}}));
    // The same user twice changes nothing.
    QTest::mouseClick(rig->find<QAbstractButton>("userProfileMappingAddButton_"), Qt::LeftButton);
    rig->find<QComboBox>("localUserSelector_")->setCurrentText(QStringLiteral("anna"));
    rig->find<QComboBox>("mappingProfileSelector_")->setCurrentText(QStringLiteral("Kids"));
    QTest::mouseClick(rig->find<QAbstractButton>("userProfileMappingAddButton_"), Qt::LeftButton);
    const QVariantMap both{{"anna", "Kids"}, {"ben", "Homework"}};
    QTRY_COMPARE(rig->service.userToProfileMap, both);
    QCOMPARE(rig->service.count(QStringLiteral("UserToProfileMapFileWasUpdated")), 2);
    QCOMPARE(mapping->mapping(), both);

    rig->clickCell("userProfileMappingView_", 0, UserProfileMappingModel::RemoveColumn);
    QTRY_COMPARE(rig->service.userToProfileMap, (QVariantMap{{"ben", "Homework"}}));
    QTRY_COMPARE(mapping->mapping(), (QVariantMap{{"ben", "Homework"}}));
}

void TestSettingsViews::categoriesUnavailable()
{
    rig->service.failures.insert(QStringLiteral("categories"), ::Error(31, QStringLiteral("account site unreachable")));
    QSignalSpy balloons(rig->agent->trayIcon(), &TrayIcon::balloonShown);
    rig->agent->trayIcon()->show();
    rig->openFilterTab(0);
    QTRY_COMPARE(balloons.count(), 1);
    QCOMPARE(balloons.first().at(2).toString(), QStringLiteral("Filtering settings aren't available right now"));
    QCOMPARE(rig->agent->categoryTreeModel()->rowCount(), 0);
    // The view's own layouts do not ask again (each failure would show another balloon);
    // choosing the tab again does.
    QTest::qWait(200);
    QCOMPARE(rig->service.count(QStringLiteral("categories")), 1);
    rig->openFilterTab(4);
    rig->openFilterTab(0);
    QTRY_COMPARE(rig->service.count(QStringLiteral("categories")), 2);
}

void TestSettingsViews::localUsers_data()
{
    QTest::addColumn<QByteArray>("loginDefs");
    QTest::addColumn<QByteArray>("passwd");
    QTest::addColumn<QStringList>("users");

    const QByteArray passwd = "root:x:0:0:root:/root:/bin/bash\n"
                              "daemon:x:1:1::/usr/sbin:/usr/sbin/nologin\n"
                              "zoe:x:1002:1002::/home/zoe:/bin/bash\n"
                              "anna:x:1000:1000:Anna,,,:/home/anna:/bin/zsh\n"
                              "guest:x:1003:1003::/home/guest:/usr/sbin/nologin\n"
                              "kiosk:x:1004:1004::/home/kiosk:/bin/false\n"
                              "nobody:x:65534:65534::/nonexistent:/bin/sh\n"
                              "tom:x:500:500::/home/tom:/bin/bash\n"
                              "+nisuser::::::\n"
                              "broken:x:1005\n";
    QTest::newRow("default UID_MIN") << QByteArray() << passwd << QStringList{"anna", "zoe"};
    QTest::newRow("UID_MIN 500 from login.defs")
        << QByteArray("# comment UID_MIN 1\nUID_MIN\t\t 500\nUID_MAX 60000\n") << passwd
        << QStringList{"anna", "tom", "zoe"};
    QTest::newRow("nothing readable") << QByteArray() << QByteArray() << QStringList();
}

void TestSettingsViews::localUsers()
{
    QFETCH(QByteArray, loginDefs);
    QFETCH(QByteArray, passwd);
    QFETCH(QStringList, users);
    QCOMPARE(LocalUsers::fromPasswd(passwd, LocalUsers::uidMinimum(loginDefs)), users);
}

void TestSettingsViews::scheduleHours_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<quint32>("hours");

    QTest::newRow("whole hours") << true << "07:00" << "09:00" << quint32(0x180);
    QTest::newRow("a part of an hour counts") << true << "07:30" << "08:10" << quint32(0x180);
    QTest::newRow("to the end of the day") << true << "22:00" << "24:00" << quint32(0xC00000);
    QTest::newRow("the profile off") << false << "00:00" << "24:00" << quint32(0);
    QTest::newRow("an empty range") << true << "10:00" << "10:00" << quint32(0);
}

void TestSettingsViews::scheduleHours()
{
    QFETCH(bool, on);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(quint32, hours);
    QCOMPARE(Schedule::hoursOf(CabinetScheduleDay(on, from, to)), hours);
}

QTEST_MAIN(TestSettingsViews)
#include "tst_settingsviews.moc"

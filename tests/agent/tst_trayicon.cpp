#include "agentmain.h"
#include "cabinetprofile.h"
#include "profilelistmodel.h"
#include "trayicon.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

// The tray menu: its items in order, what each reports, and the Profiles submenu's check.
class TestTrayIcon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void menuOrder();
    void protectionItems_data();
    void protectionItems();
    void profilesCheckFollowsModel();

private:
    static CabinetProfileList sampleProfiles();
};

void TestTrayIcon::initTestCase()
{
    initAgentResources();
}

CabinetProfileList TestTrayIcon::sampleProfiles()
{
    CabinetProfileList profiles;
    for (quint32 id : {1u, 2u, 3u}) {
        CabinetProfile profile;
        profile.setName(QStringLiteral("Profile %1").arg(id));
        profile.setId(id);
        profile.setToken(100 + id);
        profiles << profile;
    }
    return profiles;
}

void TestTrayIcon::menuOrder()
{
    TrayIcon tray;
    QStringList texts;
    const QList<QAction *> actions = tray.menu()->actions();
    for (QAction *action : actions)
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(texts, QStringList({"Start filtering", "Stop filtering", "Profiles", "-", "Exit"}));
    QStringList pauses;
    const QList<QAction *> pauseActions = tray.menu()->findChild<QMenu *>(QStringLiteral("stopFilteringMenu_"))->actions();
    for (QAction *action : pauseActions)
        pauses << action->text();
    QCOMPARE(pauses, QStringList({"Until start or reboot", "10 minutes", "30 minutes", "1 hour"}));
}

void TestTrayIcon::protectionItems_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("state");
    QTest::addColumn<int>("minutes");

    QTest::newRow("start filtering") << "startFilteringAction_" << true << 0;
    QTest::newRow("until start or reboot") << "pauseUntilStartAction_" << false << 0;
    QTest::newRow("10 minutes") << "pause10Action_" << false << 10;
    QTest::newRow("30 minutes") << "pause30Action_" << false << 30;
    QTest::newRow("1 hour") << "pause60Action_" << false << 60;
}

void TestTrayIcon::protectionItems()
{
    QFETCH(QString, action);
    QFETCH(bool, state);
    QFETCH(int, minutes);

    TrayIcon tray;
    QSignalSpy changed(&tray, qOverload<bool, int>(&TrayIcon::protectionStateChanged));
    QSignalSpy quit(&tray, &TrayIcon::quit);
    tray.menu()->findChild<QAction *>(action)->trigger();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first(), QVariantList({state, minutes}));
    QCOMPARE(quit.count(), 0);
}

// The check sits at the active profile each time the submenu opens, even after the user
// clicked another one (the service decides) or the model changed in between.
void TestTrayIcon::profilesCheckFollowsModel()
{
    ProfileListModel model;
    model.setProfiles(sampleProfiles(), 2);
    TrayIcon tray;
    tray.fillProfilesMenu(&model);
    QMenu *profiles = tray.menu()->findChild<QMenu *>(QStringLiteral("profilesMenu_"));
    auto checkedText = [profiles] {
        QStringList checked;
        const QList<QAction *> actions = profiles->actions();
        for (QAction *action : actions) {
            if (action->isChecked())
                checked << action->text();
        }
        return checked;
    };
    QCOMPARE(checkedText(), QStringList({"Profile 2"}));

    QSignalSpy selected(&tray, &TrayIcon::profileSelected);
    profiles->actions().at(2)->trigger();
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.first().first().toModelIndex().data(ProfileListModel::IdRole).toUInt(), 3u);
    QMetaObject::invokeMethod(profiles, "aboutToShow");
    QCOMPARE(checkedText(), QStringList({"Profile 2"}));

    model.setActiveProfile(1);
    QMetaObject::invokeMethod(profiles, "aboutToShow");
    QCOMPARE(checkedText(), QStringList({"Profile 1"}));
}

QTEST_MAIN(TestTrayIcon)
#include "tst_trayicon.moc"

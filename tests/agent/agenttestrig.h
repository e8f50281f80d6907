#pragma once

#include "agent.h"
#include "agentmain.h"
#include "categorytreemodel.h"
#include "fakeservice.h"
#include "profilelistmodel.h"
#include "testsupport.h"
#include "trayicon.h"
#include "window.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QtTest>

#include <memory>

// An Agent in this process and a fake service on a socket of the test's own.
struct AgentTestRig
{
    FakeService service;
    std::unique_ptr<Agent> agent;
    QString socketPath = TestSupport::scratchDirectory(QStringLiteral("agent-ipc")) + QStringLiteral("/en-genericipc");

    // Autorun stays as the test sets it: the first start has happened.
    static void resetSettings(bool autorun)
    {
        QSettings settings(QStringLiteral("Corvane"), QStringLiteral("Agent"));
        settings.clear();
        settings.setValue(QStringLiteral("firststart"), false);
        Autorun(QStringLiteral("/usr/bin/corvane-agent")).setEnabled(autorun);
    }

    void startAgent(const AgentOptions &options = AgentOptions(), bool trayAvailable = true)
    {
        agent = std::make_unique<Agent>(options);
        agent->setSystemTrayAvailable(trayAvailable);
        agent->connection()->setSocketPath(socketPath);
        agent->start();
    }

    bool waitFor(Agent::State state, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return agent && agent->state() == state; }, timeoutMs);
    }

    template<typename T>
    T *find(const char *name) const
    {
        return agent->window()->findChild<T *>(QLatin1String(name));
    }
    QAction *trayAction(const char *name) const
    {
        return agent->trayIcon()->menu()->findChild<QAction *>(QLatin1String(name));
    }
    QMenu *trayMenu(const char *name) const
    {
        return agent->trayIcon()->menu()->findChild<QMenu *>(QLatin1String(name));
    }
    QString statusText() const { return find<QLabel>("protectionStateText_")->text(); }
    QString promptText() const { return find<QLabel>("authRequestText_")->text(); }
    QWidget *page() const { return agent->window()->currentPage(); }
    QString pageName() const { return page()->objectName(); }

    void openFilterTab(int tab) { openTab("filterSettingsButton_", "filterSettingsPage_", "filterSettingsTabs_", tab); }
    void openProfilesTab(int tab)
    {
        openTab("profilesSettingsButton_", "profilesSettingsPage_", "profilesSettingsTabs_", tab);
    }
    void openTab(const char *button, const char *page, const char *tabs, int tab)
    {
        if (pageName() != QLatin1String(page))
            QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
        find<QTabWidget>(tabs)->setCurrentIndex(tab);
        QCoreApplication::processEvents();
    }
    // On a cell of a view, or on its check box.
    void clickCell(const char *name, int row, int column, bool checkIndicator = false)
    {
        auto *view = find<QAbstractItemView>(name);
        QTRY_VERIFY(view->model()->rowCount() > row);
        const QModelIndex index = view->model()->index(row, column);
        QPoint at = view->visualRect(index).center();
        if (checkIndicator) {
            QStyleOptionViewItem option;
            option.initFrom(view);
            option.rect = view->visualRect(index);
            option.features |= QStyleOptionViewItem::HasCheckIndicator;
            at = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view).center();
        }
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    }
    // On its box (on the right in a right-to-left layout): a check box takes clicks on its
    // box and text only.
    void clickCheckBox(const char *name)
    {
        auto *box = find<QCheckBox>(name);
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
    }

    // Where performEdit() acts, for the account at hand.
    struct EditTargets
    {
        int categoryGroup = 0;        // the group whose first category is clicked
        QString whiteEntry = QStringLiteral("ok.example");
        int removedProfileRow = 1;
        int activeProfileRow = 1;
        int networkRow = 0;
    };
    // One kind of settings edit, made through the window as a user makes it.
    void performEdit(const QString &action, const EditTargets &targets)
    {
        const struct
        {
            const char *name;
            int tab;
            const char *flag;
        } switches[] = {{"use the schedule", 3, "scheduleFlag_"},  {"block unknown sites", 4, "blockUnknownFlag_"},
                        {"safe search", 4, "safeSearchFlag_"},     {"safe YouTube", 4, "safeYoutubeFlag_"},
                        {"white list only", 4, "whiteListOnlyFlag_"}};
        for (const auto &entry : switches) {
            if (action == QLatin1String(entry.name)) {
                openFilterTab(entry.tab);
                clickCheckBox(entry.flag);
                return;
            }
        }
        if (action == QLatin1String("block a category")) {
            openFilterTab(0);
            auto *view = find<QAbstractItemView>("categoryTreeView_");
            CategoryTreeModel *categories = agent->categoryTreeModel();
            QTRY_VERIFY(view->model()->rowCount() > targets.categoryGroup
                        && categories->hasBlockedCategories(categories->chosenProfile()));
            const QModelIndex first = view->model()->index(0, 1, view->model()->index(targets.categoryGroup, 0));
            QVERIFY(first.isValid());
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(first).center());
        } else if (action == QLatin1String("white list entry") || action == QLatin1String("black list entry")) {
            openFilterTab(1);
            const bool white = action.startsWith(QLatin1String("white"));
            QLineEdit *form = find<QLineEdit>(white ? "whiteListForm_" : "blackListForm_");
            QTest::keyClicks(form, white ? targets.whiteEntry : QStringLiteral("bad.example"));
            QTest::keyClick(form, Qt::Key_Return);
        } else if (action == QLatin1String("remove a black list entry")) {
            openFilterTab(1);
            clickCell("blackListView_", 0, 1);
        } else if (action == QLatin1String("alias")) {
            openFilterTab(2);
            QTest::keyClicks(find<QLineEdit>("aliasDomainForm_"), QStringLiteral("nas.example"));
            QTest::keyClicks(find<QLineEdit>("aliasAddressForm_"), QStringLiteral("192.0.2.9"));
            QTest::mouseClick(find<QAbstractButton>("aliasAddButton_"), Qt::LeftButton);
        } else if (action == QLatin1String("remove an alias")) {
            openFilterTab(2);
            clickCell("aliasListView_", 0, 2);
        } else if (action == QLatin1String("new profile")) {
            openProfilesTab(0);
            QTest::keyClicks(find<QLineEdit>("profileNameForm_"), QStringLiteral("Teens"));
            QTest::mouseClick(find<QAbstractButton>("profileAddButton_"), Qt::LeftButton);
        } else if (action == QLatin1String("remove a profile")) {
            openProfilesTab(0);
            clickCell("profileListView_", targets.removedProfileRow, ProfileListModel::RemoveColumn);
            QDialog *dialog = nullptr;
            QTRY_VERIFY((dialog = agent->window()->findChild<QDialog *>(QStringLiteral("profileRemoveDialog_"))));
            QTest::mouseClick(dialog->findChild<QAbstractButton *>(QStringLiteral("profileRemoveYesButton_")),
                              Qt::LeftButton);
        } else if (action == QLatin1String("choose the active profile")) {
            openProfilesTab(0);
            clickCell("profileListView_", targets.activeProfileRow, ProfileListModel::NameColumn, true);
        } else if (action == QLatin1String("bind local users")) {
            openProfilesTab(1);
            clickCheckBox("userProfileMappingFlag_");
        } else if (action == QLatin1String("bind a user")) {
            openProfilesTab(1);
            find<QComboBox>("localUserSelector_")->setCurrentText(QStringLiteral("ben"));
            find<QComboBox>("mappingProfileSelector_")->setCurrentText(QStringLiteral("Homework"));
            QTest::mouseClick(find<QAbstractButton>("userProfileMappingAddButton_"), Qt::LeftButton);
        } else if (action == QLatin1String("protect a connection")) {
            QTest::mouseClick(find<QAbstractButton>("commonSettingsButton_"), Qt::LeftButton);
            find<QTabWidget>("commonSettingsTabs_")->setCurrentIndex(1);
            QCoreApplication::processEvents();
            clickCell("networkListView_", targets.networkRow, 0, true);
        } else {
            QFAIL(qPrintable(QStringLiteral("no such action: ") + action));
        }
    }

    void typePassword(const QString &password)
    {
        QLineEdit *field = find<QLineEdit>("authRequestPasswordForm_");
        QTest::keyClicks(field, password);
        QTest::keyClick(field, Qt::Key_Return);
    }
};

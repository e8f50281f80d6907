#pragma once

#include "agent.h"
#include "agentmain.h"
#include "fakeservice.h"
#include "testsupport.h"
#include "trayicon.h"
#include "window.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
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

    void typePassword(const QString &password)
    {
        QLineEdit *field = find<QLineEdit>("authRequestPasswordForm_");
        QTest::keyClicks(field, password);
        QTest::keyClick(field, Qt::Key_Return);
    }
};

#include "trayicon.h"

#include "profilelistmodel.h"
#include "statusicons.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QSignalBlocker>

TrayIcon::TrayIcon(QObject *parent)
    : QSystemTrayIcon(parent)
    , m_menu(new QMenu)
{
    m_menu->setObjectName(QStringLiteral("trayMenu_"));
    m_startFiltering = m_menu->addAction(StatusIcons::svgIcon(QStringLiteral(":/tray/protection/on")),
                                         QCoreApplication::translate("Agent", "Start filtering"));
    m_startFiltering->setObjectName(QStringLiteral("startFilteringAction_"));
    connect(m_startFiltering, &QAction::triggered, this, [this] { emitProtection(true, 0); });

    m_stopFiltering = m_menu->addMenu(StatusIcons::svgIcon(QStringLiteral(":/tray/protection/off")),
                                      tr("Stop filtering"));
    m_stopFiltering->setObjectName(QStringLiteral("stopFilteringMenu_"));
    addPause(m_stopFiltering, tr("Until start or reboot"), 0, "pauseUntilStartAction_");
    addPause(m_stopFiltering, tr("10 minutes"), 10, "pause10Action_");
    addPause(m_stopFiltering, tr("30 minutes"), 30, "pause30Action_");
    addPause(m_stopFiltering, tr("1 hour"), 60, "pause60Action_");

    m_profiles = m_menu->addMenu(StatusIcons::svgIcon(QStringLiteral(":/profileIndicator/icon")),
                                 QCoreApplication::translate("Window", "Profiles"));
    m_profiles->setObjectName(QStringLiteral("profilesMenu_"));
    connect(m_profiles, &QMenu::aboutToShow, this, &TrayIcon::checkSelectedProfile);

    m_menu->addSeparator();
    QAction *exit = m_menu->addAction(StatusIcons::svgIcon(QStringLiteral(":/tray/exit")), tr("Exit"));
    exit->setObjectName(QStringLiteral("exitAction_"));
    connect(exit, &QAction::triggered, this, &TrayIcon::quit);

    setContextMenu(m_menu.get());
    connect(this, &QSystemTrayIcon::activated, this, &TrayIcon::icon_activated);
    setStatusLevel(StatusIcons::Warning);
    hideFilteringItems();
    setProfilesMenuVisible(false);
}

// The platform's icon (on D-Bus, a StatusNotifierItem exporting the menu) goes before the
// menu it shows.
//
// Then every action leaves its menu one by one: only a removal deletes the platform menu
// item that mirrors an action (QMenu::actionEvent). Destroying the menu with its actions
// still in it leaves those items behind (the D-Bus platform menu does not delete them), and
// with them each action's icon, in a cycle nothing points to.
TrayIcon::~TrayIcon()
{
    hide();
    setContextMenu(nullptr);
    for (QMenu *menu : {m_profiles, m_stopFiltering, m_menu.get()}) {
        const QList<QAction *> actions = menu->actions();
        for (QAction *action : actions)
            menu->removeAction(action);
    }
}

QAction *TrayIcon::addPause(QMenu *menu, const QString &text, int minutes, const char *name)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, [this, minutes] { emitProtection(false, minutes); });
    return action;
}

void TrayIcon::emitProtection(bool state, int minutes)
{
    Q_EMIT protectionStateChanged(state, minutes);
    Q_EMIT protectionStateChanged(state);
}

void TrayIcon::setStatusLevel(int level)
{
    if (level == m_level)
        return;
    m_level = level;
    setIcon(StatusIcons::trayIcon(level));
}

void TrayIcon::setProfilesMenuVisible(bool visible)
{
    m_profiles->menuAction()->setVisible(visible);
}

void TrayIcon::hideFilteringItems()
{
    m_startFiltering->setVisible(false);
    m_stopFiltering->menuAction()->setVisible(false);
}

void TrayIcon::showFilteringItems(bool filteringOn)
{
    m_startFiltering->setVisible(!filteringOn);
    m_stopFiltering->menuAction()->setVisible(filteringOn);
}

void TrayIcon::showInformation(const QString &title, const QString &message)
{
    showBalloon(QSystemTrayIcon::Information, title, message);
}

void TrayIcon::showWarning(const QString &title, const QString &message)
{
    showBalloon(QSystemTrayIcon::Warning, title, message);
}

void TrayIcon::showError(const QString &title, const QString &message)
{
    showBalloon(QSystemTrayIcon::Critical, title, message);
}

void TrayIcon::showBalloon(QSystemTrayIcon::MessageIcon icon, const QString &title, const QString &message)
{
    // A hidden icon shows nothing; the message would be lost on the desktop anyway.
    if (!isVisible())
        return;
    showMessage(title, message, icon, BalloonMs);
    Q_EMIT balloonShown(icon, title, message);
}

void TrayIcon::fillProfilesMenu(const ProfileListModel *model)
{
    m_model = model;
    if (!m_profileGroup) {
        m_profileGroup = new QActionGroup(this);
        m_profileGroup->setExclusive(true);
        connect(m_profileGroup, &QActionGroup::triggered, this, &TrayIcon::profileGroup_triggered);
    }
    const QSignalBlocker blocker(m_profileGroup);
    m_profiles->clear();
    const QList<QAction *> old = m_profileGroup->actions();
    for (QAction *action : old) {
        m_profileGroup->removeAction(action);
        delete action;
    }
    if (!model)
        return;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, ProfileListModel::NameColumn);
        QAction *action = m_profiles->addAction(index.data(Qt::DisplayRole).toString());
        action->setCheckable(true);
        action->setData(QVariant::fromValue(QPersistentModelIndex(index)));
        action->setChecked(row == model->activeRow());
        m_profileGroup->addAction(action);
    }
}

void TrayIcon::selectProfile(const QModelIndex &index)
{
    if (!m_profileGroup)
        return;
    const QSignalBlocker blocker(m_profileGroup);
    const QList<QAction *> actions = m_profileGroup->actions();
    for (QAction *action : actions) {
        if (QModelIndex(action->data().value<QPersistentModelIndex>()) == index)
            action->setChecked(true);
    }
}

void TrayIcon::checkSelectedProfile()
{
    if (!m_profileGroup)
        return;
    const QSignalBlocker blocker(m_profileGroup);
    const QList<QAction *> actions = m_profileGroup->actions();
    for (QAction *action : actions) {
        const QPersistentModelIndex index = action->data().value<QPersistentModelIndex>();
        action->setChecked(index.isValid() && index.data(ProfileListModel::ActiveRole).toBool());
    }
}

void TrayIcon::icon_activated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        Q_EMIT clicked();
}

void TrayIcon::profileGroup_triggered(QAction *action)
{
    const QPersistentModelIndex index = action->data().value<QPersistentModelIndex>();
    if (index.isValid())
        Q_EMIT profileSelected(index);
}

#pragma once

#include <QModelIndex>
#include <QSystemTrayIcon>

#include <memory>

class ProfileListModel;
class QAction;
class QActionGroup;
class QMenu;

// The notification-area icon: its picture follows the status level, its menu offers
// filtering on, the pauses, the active profile and exit, and it shows balloon messages.
// Passive: it reports what the user chose and leaves the decision to Agent.
//
// The menu is built once, in this order: "Start filtering", the submenu "Stop filtering"
// (until start or reboot, 10, 30 and 60 minutes), the submenu "Profiles", a separator,
// "Exit". Its actions and submenus carry object names (startFilteringAction_,
// stopFilteringMenu_, profilesMenu_, exitAction_, ...).
class TrayIcon : public QSystemTrayIcon
{
    Q_OBJECT
    Q_DISABLE_COPY(TrayIcon)

public:
    static constexpr int BalloonMs = 10000;

    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    QMenu *menu() const { return m_menu.get(); }

    int statusLevel() const { return m_level; }
    void setStatusLevel(int level);
    void setProfilesMenuVisible(bool visible);
    void hideFilteringItems();
    // Filtering on: "Stop filtering" shown, "Start filtering" hidden; off: the reverse.
    void showFilteringItems(bool filteringOn);

Q_SIGNALS:
    void protectionStateChanged(bool state, int timeout);
    void protectionStateChanged(bool state);
    void profileSelected(const QModelIndex &index);
    void clicked();
    void quit();
    // Every balloon shown by the visible icon (also where the desktop cannot draw it).
    void balloonShown(QSystemTrayIcon::MessageIcon icon, const QString &title, const QString &message);

public Q_SLOTS:
    void showInformation(const QString &title, const QString &message);
    void showWarning(const QString &title, const QString &message);
    void showError(const QString &title, const QString &message);
    void fillProfilesMenu(const ProfileListModel *model);
    void selectProfile(const QModelIndex &index);
    void checkSelectedProfile();

private Q_SLOTS:
    void icon_activated(QSystemTrayIcon::ActivationReason reason);
    void profileGroup_triggered(QAction *action);

private:
    QAction *addPause(QMenu *menu, const QString &text, int minutes, const char *name);
    void emitProtection(bool state, int minutes);
    void showBalloon(QSystemTrayIcon::MessageIcon icon, const QString &title, const QString &message);

    std::unique_ptr<QMenu> m_menu;
    QAction *m_startFiltering = nullptr;
    QMenu *m_stopFiltering = nullptr;
    QMenu *m_profiles = nullptr;
    QActionGroup *m_profileGroup = nullptr;
    const ProfileListModel *m_model = nullptr;
    int m_level = -1;
};

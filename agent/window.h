#pragma once

#include "ui_window.h"

#include "cabinetschedule.h"

#include <QWidget>

class AliasListModel;
class CategoryTreeModel;
class DomainListModel;
class ProfileListModel;
class QAbstractButton;
class QAbstractItemModel;
class QButtonGroup;
class UserProfileMappingModel;

// The main window: one frameless window that shows one page at a time (home with the
// filtering status and switch, password prompt, settings menu, sign-in, common settings,
// help, and the filtering settings and profiles pages of FilterSettingsPage and
// ProfilesSettingsPage). It is passive: it shows what Agent tells it and reports the user's actions as
// signals; it never talks to the service.
//
// Invalid input is marked in place through the dynamic property "warningStyle" (and
// "invalidInput" on the sign-in fields), which the window's style sheet turns into a red
// frame or text; the first edit after a mark clears it.
class Window : public QWidget, private Ui::Window
{
    Q_OBJECT
    Q_DISABLE_COPY(Window)

public:
    // "^...$": a dotted IPv4 address, each part 0 to 255 without leading zeros.
    static const char *const DnsServerPattern;

    explicit Window(QWidget *parent = nullptr);
    ~Window() override;

    // Level 0 error, 1 warning, 2 information, 3 ok.
    void setStatus(int level, const QString &title, const QString &text);
    void setNavigationEnabled(bool enabled);
    void setProtectionSwitch(bool visible, bool checked);
    void setProfileBarVisible(bool visible);
    void setActiveProfileName(const QString &name);

    void showHomePage();
    void showSettingsPage();
    void showLoginPage();
    void showHelpPage();
    void showCommonSettingsPage();
    void showAuthSettingsPage();
    // The filtering settings of the active profile (the first one when none is active).
    void showFilterSettingsPage();
    void showProfilesSettingsPage();
    // Shows a page that was current before, with its navigation button.
    void showPageAgain(QWidget *page);
    bool isLoginPageCurrent() const;
    bool isAuthRequestCurrent() const;
    QWidget *currentPage() const;

    void showAuthRequest(const QString &text);
    void setPasswordRejected(bool rejected);
    void setLoginFailed(bool failed);
    bool isLoginFailed() const;

    // The login and password the service (or the last sign-in) holds.
    void setCredentials(const QString &login, const QString &password);
    QString activeLogin() const;
    QString activePassword() const;

    // Set from the service and the stored settings; never emit the matching signals.
    void setSettingsProtected(bool on);
    void setAutoRunEnabled(bool on);
    void setAutoUpdateEnabled(bool on);
    void setDnsServer(const QString &address);
    QString dnsServer() const;
    void setNetworkModel(QAbstractItemModel *model);
    void setSettingsModels(ProfileListModel *profiles, CategoryTreeModel *categories, DomainListModel *whiteList,
                           DomainListModel *blackList, AliasListModel *aliases, UserProfileMappingModel *mapping);
    void setLocalUsers(const QStringList &users);
    // The "Bind local users to profiles" box, set from the service without emitting.
    void setUserProfileMappingEnabled(bool on);
    void setSchedule(quint32 profileId, const CabinetSchedule &schedule);
    // The profile the filtering settings page shows (column 0 of the profile list model).
    QModelIndex chosenProfile() const;

Q_SIGNALS:
    void minimizeClicked();
    void closeClicked();
    void settingsPageRequested();
    void homePageRequested();
    void protectionStateChanged(bool state);
    void authProvided(const QString &login, const QString &password);
    void authRequestCanceled();
    void authRequestLeft();
    void credentialsProvided(const QString &login, const QString &password);
    void settingsProtected(bool on);
    void autoRunStateChanged(bool on);
    void autoUpdateStateChanged(bool on);
    void dnsServerChanged(const QString &address);
    void appUpdateRequested();
    void systemInformationRequested();
    void whiteListDomainAdded(uint profileId, const QString &domain);
    void blackListDomainAdded(uint profileId, const QString &domain);
    void aliasAdded(uint profileId, const QString &domain, const QString &address);
    void profileAdded(const QString &profileName);
    void userProfileMappingStateChanged(bool on);
    void needToUpdateTokenProfileId();
    // The schedule tab shows a profile: its hours are wanted (setSchedule()).
    void scheduleRequested(uint profileId);

public Q_SLOTS:
    void getAuthRequestInput();
    void getAuthSettingsInput();
    void getDnsServer();
    // Opens the filtering settings page for that profile.
    void configureProfile(const QModelIndex &index);
    void configureCategoriesTab(const QModelIndex &index);
    void configureBwListsTab(const QModelIndex &index);
    void configureAliasesTab(const QModelIndex &index);
    void configureScheduleTab(const QModelIndex &index);
    void configureAdvancedSettingsTab(const QModelIndex &index);
    void getWhiteListDomain();
    void getBlackListDomain();
    void getAlias();
    void getProfileName();
    void getUserProfileMapping();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setupTexts();
    void setupSignals();
    void showPage(QWidget *page, QAbstractButton *navigation);
    void setCurrentPage(QWidget *page);
    void navigationClicked(QAbstractButton *button);
    static void setWarning(QWidget *widget, const char *property, bool on);
    void clearLoginFailure();
    void showFilterPage(const QModelIndex &profile);
    void fillProfileSelector();
    void profileSelector_activated(int row);

    QButtonGroup *m_menuButtonsGroup;
    ProfileListModel *m_profiles = nullptr;
    bool m_promptOpen = false;
};

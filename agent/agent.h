#pragma once

#include "agentoptions.h"
#include "appupdater.h"
#include "error.h"
#include "autorun.h"
#include "installedsoftware.h"
#include "rpcconnection.h"
#include "translations.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class AliasListModel;
class InstalledSoftware;
class MessageDialog;
class CategoryTreeModel;
class DomainListModel;
class JsonRPCCall;
class NetworkConnectionListModel;
class ProfileListModel;
class QDialog;
class QState;
class QStateMachine;
class ServiceNotifications;
class TrayIcon;
class UserProfileMappingModel;
class Window;

// The desktop client's centre: it owns the connection to the service, the models, the
// main window and the tray icon, follows the service's state in a state machine, and turns
// every user action into a call to the service. Built before the event loop and destroyed
// after it.
//
// States: initial, unconnected, connected and inside it waiting, unidentified, identified.
// The service's notifications reach the Agent through ServiceNotifications, which offers
// the service exactly the notification methods and nothing else of the client.
//
// The settings password: while the settings are protected, opening the settings, switching
// filtering off, choosing the active profile from the tray and the uninstall check ask for
// it first ("unlockSettings" on our connection), once until the window is hidden or
// minimised. When the service still refuses a protected call as locked (code 1, say after
// it restarted and forgot our unlock), the Agent asks again and retries the call once.
//
// finished(code) asks the program to end with that exit code.
class Agent : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(Agent)

public:
    enum class State { Initial, Unconnected, Waiting, Unidentified, Identified };
    Q_ENUM(State)

    // Error code of a protected call refused by the service while our connection is locked.
    static constexpr qint32 LockedCode = 1;
    static constexpr qint32 CredentialsRefusedCode = 30;
    static constexpr int UpdateCheckDelayMs = 120000;
    // How long the service may take for its part of the support report, in seconds.
    static constexpr unsigned short SystemInfoTimeout = 120;

    explicit Agent(const AgentOptions &options, QObject *parent = nullptr);
    ~Agent() override;

    // Starts the state machine, which connects to the service.
    void start();
    // Whether the desktop has a system tray is asked at the first presentation unless this
    // says it beforehand (the offscreen platform of the tests has none).
    void setSystemTrayAvailable(bool available);

    State state() const { return m_state; }
    QString language() const { return m_translations.tag(); }
    bool globalFiltering() const { return m_globalFiltering; }
    bool settingsLocked() const { return m_settingsLocked; }
    bool settingsUnlocked() const { return m_settingsUnlocked; }
    bool closeHidesWindow() const { return m_closeHides; }

    Window *window() const { return m_window; }
    TrayIcon *trayIcon() const { return m_tray; }
    RpcConnection *connection() { return &m_connection; }
    ProfileListModel *profileListModel() const { return m_profiles; }
    NetworkConnectionListModel *networkConnectionListModel() const { return m_networks; }
    DomainListModel *whiteListModel() const { return m_whiteList; }
    DomainListModel *blackListModel() const { return m_blackList; }
    AliasListModel *aliasListModel() const { return m_aliasList; }
    AppUpdater *updater() { return &m_updater; }
    bool isCollectingSystemInformation() const { return !m_systemInfoCall.isNull(); }
    CategoryTreeModel *categoryTreeModel() const { return m_categories; }
    UserProfileMappingModel *userProfileMappingModel() const { return m_userMapping; }
    bool userProfileMappingEnabled() const { return m_userMappingEnabled; }

    // What the service's notifications do (see ServiceNotifications).
    void setIdentification(uint type, const QVariant &value);
    void setIdentificationError(uint type, const QVariant &error);
    void setCredentials(const QString &login, const QString &password);
    void setGlobalFiltering(bool on);
    void setSettingsLocked(bool locked);
    void setNetworks(const QVariantMap &networks);
    void setNetworkProtection(const QString &name, bool on);
    void setProfiles(const QVariant &profiles, uint selectedId);
    void setSelectedProfile(uint id);
    void setUserFilter(uint profileId, const QVariant &filter);
    void setDomains(uint profileId, int type, const QVariant &list);
    void setUserToProfMap(const QVariantMap &map);
    void setSettings(const QVariantMap &settings);
    void setUserInfo(const QVariant &info);

    // A message from another instance: "activate", "close" or "authenticate".
    void handleMessage(const QString &message);

Q_SIGNALS:
    void authConfirmed();
    void finished(int exitCode);
    // The support report is shown in this dialog (it deletes itself when closed).
    void systemInformationShown(QDialog *dialog);
    void stateEntered(Agent::State state);

private:
    // One open password prompt and what follows each of its outcomes.
    struct Prompt
    {
        std::function<void()> confirmed;
        std::function<void()> left;
        std::function<void()> canceled;
    };
    enum class PromptKind { Settings, StopFiltering, SelectProfile, Uninstall };

    void createWindow();
    void createTrayIcon();
    void createModels();
    void buildStateMachine();
    void run();

    // States and first presentation (agentstates.cpp).
    void enterUnconnected();
    void enterWaiting();
    void enterUnidentified();
    void enterIdentified();
    void enteredSettledState();
    void presentFirst();
    void bringUpLoginPage();
    void markLoginFailedAndShow();
    void postEvent(QEvent *event);
    bool isIdentified() const { return m_state == State::Identified; }

    // Password prompts and protected calls (agentprompts.cpp).
    void requirePassword(PromptKind kind, const std::function<void()> &action);
    void openPrompt(PromptKind kind, const std::function<void()> &action);
    static QString promptText(PromptKind kind);
    void closePrompt();
    void promptConfirmed();
    void promptLeft();
    void promptCanceled();
    void afterPrompt(bool wasHidden);
    void checkAuth(const QString &login, const QString &password);
    // What happens around a protected call: refused() when the service first refuses it as
    // locked (before the password is asked; it undoes what the client showed in advance),
    // apply() before the call is sent again (it shows it once more), done() with the final
    // outcome and the call's result. Without done(), a failure goes to the request-error
    // display.
    struct Guard
    {
        std::function<void()> refused;
        std::function<void()> apply;
        std::function<void(const ::Error &, const QVariant &)> done;
    };
    void guardedCall(const char *method, const QList<QVariant> &params, PromptKind kind,
                     const Guard &guard = Guard(), bool retried = false);
    void showRequestError(qint32 code);
    void writeReturnCode(qint32 code);
    void handleAuthRequestMessage();

    // User actions.
    void decideSettingsPageRequest();
    void decideHomePageRequest();
    void decideProtectionStateChange(bool state, int minutes);
    void decideProfileSelection(const QModelIndex &index);
    void changeProtectionState(bool state, int minutes);
    void protectSettings(bool state);
    void selectProfile(uint profileId);
    void updateCredentials(const QString &login, const QString &password);
    void changeDnsServer(const QString &address);
    void changeConnectionProtectionState(const QString &name, bool on);
    void updateTokenProfileId();
    void updateProfiles(bool clearModels);

    // The settings views' edits and what they fetch (agentsettingsviews.cpp).
    void wireSettingsModels();
    void removeProfile(quint32 profileId);
    void enableSchedule(quint32 profileId, bool on);
    void setWhiteListOnlyEnabled(quint32 profileId, bool on);
    void setBlockUnknownEnabled(quint32 profileId, bool on);
    void setSafeSearchEnabled(quint32 profileId, bool on);
    void setSafeYoutubeEnabled(quint32 profileId, bool on);
    void addProfile(const QString &name);
    void updateCategories();
    void updateBlockedCategories(quint32 profileId);
    void blockCategory(quint32 profileId, quint32 categoryId, bool on);
    void updateWhiteList(quint32 profileId);
    void addWhiteListDomain(uint profileId, const QString &domain);
    void removeWhiteListDomain(quint32 profileId, quint32 entryId);
    void updateBlackList(quint32 profileId);
    void addBlackListDomain(uint profileId, const QString &domain);
    void removeBlackListDomain(quint32 profileId, quint32 entryId);
    void updateAliasList(quint32 profileId);
    void addAlias(uint profileId, const QString &domain, const QString &address);
    void removeAlias(quint32 profileId, quint32 entryId);
    void enableUserProfileMapping(bool on);
    void changeUserProfileMapping(const QVariantMap &map);
    void updateSchedule(quint32 profileId);
    void updateDomains(DomainListModel *model, quint32 profileId);
    void addDomain(DomainListModel *model, uint profileId, const QString &domain, const QString &address);
    void removeDomain(int type, quint32 profileId, quint32 entryId);
    void refreshLocalUsers();
    void serviceConnectionError(IpcConnection::Error kind);
    void minimizeWindow();
    void hideWindow();
    void closeWindow();
    void showWindow();

    // The support report (agentsysteminfo.cpp).
    void requestSystemInformation();
    void querySoftware();
    void software_ready(const QList<InstalledSoftware::Package> &packages);
    void systemInfo_finished();
    void showSystemInformationIfReady();
    QStringList systemInformationLines() const;

    // Autorun and update checks.
    bool readAutoRun();
    void setAutoRun(bool on);
    void setAutoUpdate(bool on);
    void checkForUpdates();
    void updater_checkFinished();

    QString displayName() const;
    static QString organisation() { return QStringLiteral("Corvane"); }
    void timerEvent(QTimerEvent *event) override;

    AgentOptions m_options;
    QString m_login;
    QString m_password;
    bool m_globalFiltering = false;
    bool m_settingsLocked = false;
    bool m_settingsUnlocked = false;
    bool m_userMappingEnabled = false;
    int m_updateTimerId = 0;
    bool m_manualUpdateCheck = false;

    RpcConnection m_connection;
    AppUpdater m_updater;
    Translations m_translations;
    Autorun m_autorun;
    ServiceNotifications *m_notifications = nullptr;

    QStateMachine *m_machine = nullptr;
    QState *m_initial = nullptr;
    QState *m_unconnected = nullptr;
    QState *m_connected = nullptr;
    QState *m_waiting = nullptr;
    QState *m_unidentified = nullptr;
    QState *m_identified = nullptr;
    State m_state = State::Initial;
    bool m_firstPresentationDone = false;
    bool m_closeHides = false;
    bool m_trayAvailable = true;
    int m_trayAvailableOverride = -1; // -1: ask the desktop
    bool m_authenticatePending = false;

    ProfileListModel *m_profiles = nullptr;
    NetworkConnectionListModel *m_networks = nullptr;
    DomainListModel *m_whiteList = nullptr;
    DomainListModel *m_blackList = nullptr;
    AliasListModel *m_aliasList = nullptr;
    CategoryTreeModel *m_categories = nullptr;
    UserProfileMappingModel *m_userMapping = nullptr;

    Window *m_window = nullptr;
    TrayIcon *m_tray = nullptr;

    InstalledSoftware *m_software = nullptr;
    QList<InstalledSoftware::Package> m_softwareList;
    bool m_softwareKnown = false;
    bool m_softwareQueryRunning = false;
    QPointer<JsonRPCCall> m_systemInfoCall;
    bool m_localReportWanted = false;
    bool m_serviceReportWanted = false;
    QString m_serviceReport;
    QList<QPointer<MessageDialog>> m_waitDialogs;

    Prompt m_prompt;
    bool m_promptOpen = false;
    PromptKind m_promptKind = PromptKind::Settings;
    bool m_uninstallCheckSelf = false; // started with "-p": the prompt's outcome is our exit code
};

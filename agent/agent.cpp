#include "agent.h"

#include "agentevents.h"
#include "returncodechannel.h"
#include "cabinetdomain.h"
#include "cabinetprofile.h"
#include "cabinetuserfilter.h"
#include "cabinetuserinfo.h"
#include "categorytreemodel.h"
#include "domainlistmodel.h"
#include "error.h"
#include "hostlist.h"
#include "jsonrpccall.h"
#include "networkconnectionlistmodel.h"
#include "networks.h"
#include "profilelistmodel.h"
#include "servicenotifications.h"
#include "agentsettings.h"
#include "trayicon.h"
#include "userprofilemappingmodel.h"
#include "window.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QSettings>
#include <QStateMachine>
#include <QTimerEvent>

Q_LOGGING_CATEGORY(lcAgent, "corvane.agent")

Agent::Agent(const AgentOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
{
    qApp->setQuitOnLastWindowClosed(false);
    QCoreApplication::setOrganizationName(organisation());
    QCoreApplication::setApplicationVersion(QStringLiteral("3.2.1.3"));
    QCoreApplication::setApplicationName(QStringLiteral("Agent"));

    const QString uiLanguage = QSettings().value(AgentSettings::UiLanguageKey).toString();
    m_translations.install(Translations::chooseTag(uiLanguage, QLocale::system().uiLanguages()));
    // Translated, so it is made once the translations are in place.
    QGuiApplication::setApplicationDisplayName(displayName());

    m_notifications = new ServiceNotifications(this);
    m_connection.setJsonRpcHandler(m_notifications);
    connect(&m_connection, &IpcConnection::error, this, &Agent::serviceConnectionError);

    createWindow();
    createTrayIcon();
    createModels();
    buildStateMachine();
}

Agent::~Agent()
{
    // Whoever waits for the uninstall check must not wait for an instance that is gone.
    if (m_promptOpen && m_promptKind == PromptKind::Uninstall && !m_uninstallCheckSelf)
        ReturnCodeWriter::writeNow(ReturnCode::Refused, 1000);
    delete m_window;
    delete m_tray;
    // The connection goes after this body and fails the calls still waiting; what their
    // receivers show has nowhere to go then.
    m_window = nullptr;
    m_tray = nullptr;
}

QString Agent::displayName() const
{
    return tr("%1 Agent").arg(organisation());
}

void Agent::createWindow()
{
    m_window = new Window;
    connect(m_window, &Window::minimizeClicked, this, &Agent::minimizeWindow);
    connect(m_window, &Window::closeClicked, this, &Agent::closeWindow);
    connect(m_window, &Window::authProvided, this, &Agent::checkAuth);
    connect(m_window, &Window::credentialsProvided, this, &Agent::updateCredentials);
    connect(m_window, &Window::settingsProtected, this, &Agent::protectSettings);
    connect(m_window, &Window::autoRunStateChanged, this, &Agent::setAutoRun);
    connect(m_window, &Window::autoUpdateStateChanged, this, &Agent::setAutoUpdate);
    connect(m_window, &Window::appUpdateRequested, this, &Agent::checkForUpdates);
    connect(m_window, &Window::dnsServerChanged, this, &Agent::changeDnsServer);
    connect(m_window, &Window::protectionStateChanged, this,
            [this](bool state) { decideProtectionStateChange(state, 0); });
    connect(m_window, &Window::needToUpdateTokenProfileId, this, &Agent::updateTokenProfileId);
    connect(m_window, &Window::systemInformationRequested, this, &Agent::requestSystemInformation);
    connect(m_window, &Window::homePageRequested, this, &Agent::decideHomePageRequest);
    connect(m_window, &Window::settingsPageRequested, this, &Agent::decideSettingsPageRequest);
    connect(m_window, &Window::authRequestLeft, this, &Agent::promptLeft);
    connect(m_window, &Window::authRequestCanceled, this, &Agent::promptCanceled);
    connect(this, &Agent::authConfirmed, this, &Agent::promptConfirmed);
}

void Agent::createTrayIcon()
{
    m_tray = new TrayIcon;
    m_tray->setToolTip(displayName());
    connect(m_tray, &TrayIcon::quit, this, [this] { Q_EMIT finished(0); });
    connect(m_tray, qOverload<bool, int>(&TrayIcon::protectionStateChanged), this,
            &Agent::decideProtectionStateChange);
    connect(m_tray, &TrayIcon::profileSelected, this, &Agent::decideProfileSelection);
    connect(m_tray, &TrayIcon::clicked, this, [this] {
        if (isIdentified())
            updateProfiles(false);
        showWindow();
    });
}

void Agent::createModels()
{
    m_profiles = new ProfileListModel(this);
    m_networks = new NetworkConnectionListModel(this);
    m_whiteList = new DomainListModel(CabinetDomain::WhiteList, this);
    m_blackList = new DomainListModel(CabinetDomain::BlackList, this);
    m_aliasList = new AliasListModel(this);
    m_categories = new CategoryTreeModel(this);
    m_userMapping = new UserProfileMappingModel(this);

    auto refillProfiles = [this] {
        m_tray->fillProfilesMenu(m_profiles);
        m_window->setActiveProfileName(m_profiles->activeProfileName());
    };
    connect(m_profiles, &QAbstractItemModel::modelReset, this, refillProfiles);
    connect(m_profiles, &ProfileListModel::activeProfileChanged, this, refillProfiles);
    connect(m_profiles, &QAbstractItemModel::rowsRemoved, this, refillProfiles);
    connect(m_profiles, &ProfileListModel::profileSelected, this, &Agent::selectProfile);
    connect(m_networks, &NetworkConnectionListModel::protectionStateChanged, this,
            &Agent::changeConnectionProtectionState);
    connect(&m_updater, &AppUpdater::checkEnabled, this, &Agent::setAutoUpdate);
    connect(&m_updater, &AppUpdater::checkFinished, this, &Agent::updater_checkFinished);
    m_window->setNetworkModel(m_networks);
    wireSettingsModels();
    m_software = InstalledSoftware::create(this);
    connect(m_software, &InstalledSoftware::ready, this, &Agent::software_ready);
}

void Agent::start()
{
    m_machine->start();
}

void Agent::setSystemTrayAvailable(bool available)
{
    m_trayAvailableOverride = available ? 1 : 0;
}

void Agent::run()
{
    m_connection.connectToService();
    m_window->showHomePage();
    m_window->setAutoRunEnabled(readAutoRun());
    const bool checks = QSettings().value(AgentSettings::NewVersionChecksKey, true).toBool();
    m_window->setAutoUpdateEnabled(checks);
    m_updater.setChecksEnabled(checks);
    if (checks)
        m_updateTimerId = startTimer(UpdateCheckDelayMs, Qt::CoarseTimer);
}

// Notifications of the service --------------------------------------------------------

void Agent::setIdentification(uint, const QVariant &value)
{
    m_profiles->setActiveProfile(value.toUInt());
    postEvent(new IdentificationEvent(true));
}

void Agent::setIdentificationError(uint, const QVariant &map)
{
    ::Error error;
    if (!error.fromVariant(map))
        error.setCode(1);
    if (error.code() == CredentialsRefusedCode)
        postEvent(new AuthenticationEvent(false));
    else
        postEvent(new IdentificationEvent(false));
}

void Agent::setCredentials(const QString &login, const QString &password)
{
    m_login = login;
    m_password = password;
    m_window->setCredentials(login, password);
}

void Agent::setGlobalFiltering(bool on)
{
    m_globalFiltering = on;
    postEvent(new UpdateStateEvent);
}

void Agent::setSettingsLocked(bool locked)
{
    m_settingsLocked = locked;
    m_window->setSettingsProtected(locked);
    postEvent(new UpdateStateEvent);
}

// The status depends on the connections, so it is looked at again after each change.
void Agent::setNetworks(const QVariantMap &networks)
{
    m_networks->setNetworks(networks.value(NetworksInfo::NetworksKey).toList());
    postEvent(new UpdateStateEvent);
}

void Agent::setNetworkProtection(const QString &name, bool on)
{
    m_networks->setNetworkProtection(name, on);
    postEvent(new UpdateStateEvent);
}

void Agent::setProfiles(const QVariant &profiles, uint selectedId)
{
    CabinetProfileList list;
    if (!list.fromVariant(profiles)) {
        qCWarning(lcAgent, "ignoring a profile list that does not read");
        return;
    }
    m_profiles->setProfiles(list, selectedId);
}

void Agent::setSelectedProfile(uint id)
{
    m_profiles->setActiveProfile(id);
}

void Agent::setUserFilter(uint profileId, const QVariant &filter)
{
    CabinetUserFilter blocked;
    if (!blocked.fromVariant(filter)) {
        qCWarning(lcAgent, "ignoring a category filter that does not read");
        return;
    }
    m_categories->setBlockedCategories(profileId, blocked);
}

void Agent::setDomains(uint profileId, int type, const QVariant &list)
{
    DomainListModel *model = type == CabinetDomain::WhiteList ? m_whiteList
        : type == CabinetDomain::BlackList                    ? m_blackList
        : type == CabinetDomain::AliasList                    ? m_aliasList
                                                              : nullptr;
    CabinetDomains domains;
    if (!model || !domains.fromVariant(list, CabinetDomain::Type(type))) {
        qCWarning(lcAgent, "ignoring a domain list that does not read");
        return;
    }
    model->setList(profileId, domains);
}

void Agent::setUserToProfMap(const QVariantMap &map)
{
    m_userMapping->setMapping(map);
}

void Agent::setSettings(const QVariantMap &settings)
{
    if (settings.contains(AgentSettings::CategoryServerKey))
        m_window->setDnsServer(settings.value(AgentSettings::CategoryServerKey).toString());
    if (settings.contains(AgentSettings::UserMappingStatusKey)) {
        m_userMappingEnabled = settings.value(AgentSettings::UserMappingStatusKey).toBool();
        m_window->setUserProfileMappingEnabled(m_userMappingEnabled);
    }
    if (settings.contains(AgentSettings::UserToProfileMapKey))
        m_userMapping->setMapping(settings.value(AgentSettings::UserToProfileMapKey).toMap());
}

void Agent::setUserInfo(const QVariant &info)
{
    CabinetUserInfo userInfo;
    userInfo.fromVariant(info);
}

// Instance messages -------------------------------------------------------------------

void Agent::handleMessage(const QString &message)
{
    if (message == QLatin1String("activate")) {
        if (isIdentified())
            updateProfiles(false);
        showWindow();
    } else if (message == QLatin1String("close")) {
        Q_EMIT finished(0);
    } else if (message == QLatin1String("authenticate")) {
        handleAuthRequestMessage();
    }
}

// User actions ------------------------------------------------------------------------

void Agent::decideHomePageRequest()
{
    if (m_state == State::Identified)
        m_window->showHomePage();
    else if (m_state == State::Unidentified)
        m_window->showLoginPage();
}

void Agent::decideSettingsPageRequest()
{
    if (m_state == State::Unidentified) {
        m_window->showLoginPage();
        return;
    }
    if (m_state != State::Identified)
        return;
    requirePassword(PromptKind::Settings, [this] {
        updateProfiles(true);
        refreshLocalUsers();
        m_window->showSettingsPage();
    });
}

void Agent::decideProtectionStateChange(bool state, int minutes)
{
    if (state) {
        changeProtectionState(true, 0);
        return;
    }
    requirePassword(PromptKind::StopFiltering, [this, minutes] { changeProtectionState(false, minutes); });
}

void Agent::decideProfileSelection(const QModelIndex &index)
{
    const uint id = index.data(ProfileListModel::IdRole).toUInt();
    requirePassword(PromptKind::SelectProfile, [this, id] { selectProfile(id); });
}

void Agent::changeProtectionState(bool state, int minutes)
{
    const bool previous = m_globalFiltering;
    m_globalFiltering = state;
    postEvent(new UpdateStateEvent);
    Guard guard;
    guard.refused = [this, previous] {
        m_globalFiltering = previous;
        postEvent(new UpdateStateEvent);
    };
    guard.apply = [this, state] {
        m_globalFiltering = state;
        postEvent(new UpdateStateEvent);
    };
    guardedCall("setGlobalFiltering", {state, minutes}, PromptKind::StopFiltering, guard);
}

void Agent::protectSettings(bool state)
{
    m_settingsLocked = state;
    Guard guard;
    guard.refused = [this, state] {
        m_settingsLocked = !state;
        m_window->setSettingsProtected(!state);
    };
    guard.apply = [this, state] {
        m_settingsLocked = state;
        m_window->setSettingsProtected(state);
    };
    guardedCall("setSettingsProtection", {state}, PromptKind::Settings, guard);
    postEvent(new UpdateStateEvent);
}

void Agent::selectProfile(uint profileId)
{
    guardedCall("setProfile", {profileId}, PromptKind::SelectProfile);
}

void Agent::updateCredentials(const QString &login, const QString &password)
{
    Guard guard;
    guard.done = [this, login, password](const ::Error &error, const QVariant &) {
        // A sign-in refused by the settings lock changed nothing in the service.
        if (error.code() != LockedCode && m_window) {
            m_login = login;
            m_password = password;
            m_window->setCredentials(login, password);
        }
        if (error.isError() && error.code() != CredentialsRefusedCode)
            showRequestError(error.code());
    };
    guardedCall("setCredentials", {login, password}, PromptKind::Settings, guard);
}

void Agent::changeDnsServer(const QString &address)
{
    guardedCall("setSetting", {AgentSettings::CategoryServerKey, address}, PromptKind::Settings);
}

void Agent::changeConnectionProtectionState(const QString &name, bool on)
{
    guardedCall("setNetworkProtection", {name, on, HostList().toVariant()}, PromptKind::Settings);
}

void Agent::updateTokenProfileId()
{
    if (isIdentified())
        m_connection.notify("updateTokenProfileId");
}

void Agent::updateProfiles(bool clearModels)
{
    m_connection.notify("updateProfiles");
    if (!clearModels)
        return;
    // The profile list stays: the service pushes it only when it differs from what it has,
    // so an emptied list would stay empty. The lists of each profile are asked for again
    // when next shown.
    m_whiteList->clear();
    m_blackList->clear();
    m_aliasList->clear();
}

void Agent::serviceConnectionError(IpcConnection::Error kind)
{
    if (kind == IpcConnection::ServiceUnreachableError)
        m_tray->showError(displayName(), tr("Can't connect to the %1 system service").arg(organisation()));
    else if (kind == IpcConnection::ConnectionLostError)
        m_tray->showError(displayName(), tr("The connection to the %1 system service was lost").arg(organisation()));
    // A failed attempt reports its error while the socket still says it is connecting; the
    // retry must start once the socket has settled, or it would never start at all.
    QMetaObject::invokeMethod(&m_connection, &RpcConnection::reconnectToService, Qt::QueuedConnection);
}

// Window ------------------------------------------------------------------------------

void Agent::minimizeWindow()
{
    m_settingsUnlocked = false;
    m_window->showMinimized();
}

void Agent::hideWindow()
{
    m_settingsUnlocked = false;
    m_window->hide();
    m_window->showHomePage();
}

void Agent::closeWindow()
{
    if (m_uninstallCheckSelf)
        Q_EMIT finished(ReturnCode::Refused);
    else if (m_closeHides)
        hideWindow();
    else
        Q_EMIT finished(0);
}

void Agent::showWindow()
{
    m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

// Autorun and update checks -----------------------------------------------------------

bool Agent::readAutoRun()
{
    QSettings settings;
    if (settings.value(AgentSettings::FirstStartKey, true).toBool()) {
        setAutoRun(true);
        settings.setValue(AgentSettings::FirstStartKey, false);
        return true;
    }
    return m_autorun.isEnabled();
}

void Agent::setAutoRun(bool on)
{
    if (!m_autorun.setEnabled(on))
        qCWarning(lcAgent, "cannot %s the autostart entry %s", on ? "write" : "remove",
                  qPrintable(m_autorun.entryPath()));
    m_closeHides = on && m_trayAvailable;
    m_tray->setVisible(on && m_trayAvailable && !m_uninstallCheckSelf);
    m_window->setAutoRunEnabled(on);
}

void Agent::setAutoUpdate(bool on)
{
    if (!on && m_updateTimerId != 0) {
        killTimer(m_updateTimerId);
        m_updateTimerId = 0;
    }
    QSettings().setValue(AgentSettings::NewVersionChecksKey, on);
    m_window->setAutoUpdateEnabled(on);
    m_updater.setChecksEnabled(on);
}

void Agent::checkForUpdates()
{
    if (m_updateTimerId != 0) {
        killTimer(m_updateTimerId);
        m_updateTimerId = 0;
    }
    m_manualUpdateCheck = true;
    m_updater.check();
}

void Agent::updater_checkFinished()
{
    const bool manual = m_manualUpdateCheck;
    m_manualUpdateCheck = false;
    if (!manual || m_updater.hasNewVersion())
        return;
    // A check the user asked for says how it ended, also when it could not find out.
    if (m_updater.errorText().isEmpty())
        m_tray->showInformation(displayName(), QCoreApplication::translate("AppUpdater", "Latest version is installed"));
    else
        m_tray->showWarning(displayName(), m_updater.errorText());
}

void Agent::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_updateTimerId) {
        QObject::timerEvent(event);
        return;
    }
    killTimer(m_updateTimerId);
    m_updateTimerId = 0;
    m_updater.check();
}

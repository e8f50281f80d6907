// Agent's state machine: the states, their transitions, the status each shows and how the
// program first presents itself.

#include "agent.h"

#include "agentevents.h"
#include "returncodechannel.h"
#include "networkconnectionlistmodel.h"
#include "statusicons.h"
#include "trayicon.h"
#include "window.h"

#include <QLoggingCategory>
#include <QSignalTransition>
#include <QStateMachine>

Q_DECLARE_LOGGING_CATEGORY(lcAgent)

namespace {

template<typename Transition, typename... Args>
Transition *addTransition(QState *source, QAbstractState *target, Args... args)
{
    auto *transition = new Transition(args..., source);
    if (target)
        transition->setTargetState(target);
    return transition;
}

} // namespace

void Agent::buildStateMachine()
{
    m_machine = new QStateMachine(this);
    m_initial = new QState(m_machine);
    m_unconnected = new QState(m_machine);
    m_connected = new QState(m_machine);
    m_waiting = new QState(m_connected);
    m_unidentified = new QState(m_connected);
    m_identified = new QState(m_connected);
    m_machine->setInitialState(m_initial);
    m_connected->setInitialState(m_waiting);

    m_initial->addTransition(&m_connection, &IpcConnection::error, m_unconnected);
    m_initial->addTransition(&m_connection, &IpcConnection::connected, m_connected);
    m_unconnected->addTransition(&m_connection, &IpcConnection::connected, m_connected);
    QSignalTransition *lost = m_connected->addTransition(&m_connection, &IpcConnection::disconnected, m_unconnected);
    connect(lost, &QAbstractTransition::triggered, m_window, &Window::showHomePage);

    addTransition<IdentificationTransition>(m_waiting, m_unidentified, false);
    addTransition<IdentificationTransition>(m_waiting, m_identified, true);
    connect(addTransition<AuthenticationTransition>(m_waiting, m_unidentified, false),
            &QAbstractTransition::triggered, this, &Agent::bringUpLoginPage);

    addTransition<IdentificationTransition>(m_unidentified, nullptr, false);
    connect(addTransition<AuthenticationTransition>(m_unidentified, nullptr, false),
            &QAbstractTransition::triggered, this, [this] { m_window->setLoginFailed(true); });
    connect(addTransition<IdentificationTransition>(m_unidentified, m_identified, true),
            &QAbstractTransition::triggered, this, [this] {
                m_window->setLoginFailed(false);
                m_window->showHomePage();
            });

    connect(addTransition<IdentificationTransition>(m_identified, m_unidentified, false),
            &QAbstractTransition::triggered, m_window, &Window::showHomePage);
    connect(addTransition<AuthenticationTransition>(m_identified, m_unidentified, false),
            &QAbstractTransition::triggered, this, &Agent::markLoginFailedAndShow);
    connect(addTransition<IdentificationTransition>(m_identified, nullptr, true),
            &QAbstractTransition::triggered, this, [this] {
                m_window->setLoginFailed(false);
                // A repeated identification (a refresh, another profile) must not take away
                // an open password prompt: leaving it would count as a refusal.
                if (!m_window->isAuthRequestCurrent())
                    m_window->showHomePage();
            });
    addTransition<UpdateStateTransition>(m_identified, m_identified);

    connect(m_machine, &QStateMachine::started, this, &Agent::run);
    connect(m_unconnected, &QState::entered, this, &Agent::enterUnconnected);
    // A new connection starts locked in the service, whatever an earlier one unlocked.
    connect(m_connected, &QState::entered, this, [this] { m_settingsUnlocked = false; });
    connect(m_waiting, &QState::entered, this, &Agent::enterWaiting);
    connect(m_unidentified, &QState::entered, this, &Agent::enterUnidentified);
    connect(m_identified, &QState::entered, this, &Agent::enterIdentified);
}

void Agent::postEvent(QEvent *event)
{
    m_machine->postEvent(event);
}

void Agent::enterUnconnected()
{
    m_state = State::Unconnected;
    const QString title = tr("A %1 system service error").arg(organisation());
    m_window->setStatus(StatusIcons::Error, title,
                        tr("The service part of %1 Agent doesn't work. Probably the service is still starting. "
                           "If it doesn't start in a minute try to start it manually. "
                           "Notice, %1 Agent doesn't work without this service.")
                            .arg(organisation()));
    m_tray->setStatusLevel(StatusIcons::Error);
    m_tray->setToolTip(title);
    m_tray->hideFilteringItems();
    m_tray->setProfilesMenuVisible(false);
    m_window->setNavigationEnabled(false);
    m_window->setProtectionSwitch(false, m_globalFiltering);
    m_window->setProfileBarVisible(false);
    enteredSettledState();
}

void Agent::enterWaiting()
{
    m_state = State::Waiting;
    const QString title = tr("Connecting to the %1 system service...").arg(organisation());
    m_window->setStatus(StatusIcons::Warning, title,
                        tr("The %1 system service is successfully connected and now waiting for the end of "
                           "initialization steps")
                            .arg(organisation()));
    m_tray->setStatusLevel(StatusIcons::Warning);
    m_tray->setToolTip(title);
    m_tray->hideFilteringItems();
    m_tray->setProfilesMenuVisible(false);
    m_window->setNavigationEnabled(false);
    m_window->setProtectionSwitch(false, m_globalFiltering);
    m_window->setProfileBarVisible(false);
    Q_EMIT stateEntered(m_state);
}

void Agent::enterUnidentified()
{
    m_state = State::Unidentified;
    // The window keeps the status it had; only the tray says what happened.
    m_tray->setStatusLevel(StatusIcons::Warning);
    m_tray->setToolTip(tr("Identification failed"));
    m_tray->hideFilteringItems();
    m_tray->setProfilesMenuVisible(false);
    m_window->setNavigationEnabled(true);
    m_window->setProtectionSwitch(false, m_globalFiltering);
    m_window->setProfileBarVisible(false);
    enteredSettledState();
}

void Agent::enterIdentified()
{
    m_state = State::Identified;
    int level = StatusIcons::Warning;
    QString title = tr("Filtering is disabled");
    QString text;
    const bool filteringRow = m_networks->rowCount() > 0 && m_networks->hasProtectedConnection();
    if (m_networks->rowCount() == 0) {
        text = tr("%1 Agent can't retrieve the information about internet connections on this computer. "
                  "Probably the computer is disconnected from the internet or the type of your connection "
                  "isn't supported by the Agent yet.")
                   .arg(organisation());
    } else if (!filteringRow) {
        text = tr("Filtering isn't activated on any of network connections. To activate it, click on the "
                  "Settings button.");
    } else if (!m_globalFiltering) {
        level = StatusIcons::Information;
        title = tr("Filtering is turned off");
        text = tr("To turn on filtering, click the button in the bottom left corner");
    } else {
        level = StatusIcons::Ok;
        title = tr("The internet is under control");
        text = tr("This computer is successfully connected to the service and is filtered according to "
                  "your account settings");
    }
    m_window->setStatus(level, title, text);
    m_tray->setStatusLevel(level);
    m_tray->setToolTip(title);
    if (filteringRow)
        m_tray->showFilteringItems(m_globalFiltering);
    else
        m_tray->hideFilteringItems();
    m_tray->setProfilesMenuVisible(filteringRow);
    m_window->setNavigationEnabled(true);
    m_window->setProtectionSwitch(filteringRow, m_globalFiltering);
    m_window->setProfileBarVisible(true);
    enteredSettledState();
}

// Unconnected, unidentified and identified are where the client settles; waiting passes.
void Agent::enteredSettledState()
{
    Q_EMIT stateEntered(m_state);
    if (!m_firstPresentationDone) {
        m_firstPresentationDone = true;
        presentFirst();
    }
    if (m_authenticatePending) {
        m_authenticatePending = false;
        handleAuthRequestMessage();
    }
}

void Agent::presentFirst()
{
    if (m_options.passwordCheck) {
        // The only instance, started for the uninstall check: our exit code is the answer.
        m_uninstallCheckSelf = true;
        m_tray->hide();
        if (m_state != State::Identified) {
            Q_EMIT finished(ReturnCode::Permitted);
            return;
        }
        requirePassword(PromptKind::Uninstall, [this] { Q_EMIT finished(ReturnCode::Permitted); });
        return;
    }
    m_trayAvailable = m_trayAvailableOverride >= 0 ? m_trayAvailableOverride == 1
                                                   : QSystemTrayIcon::isSystemTrayAvailable();
    if (!m_trayAvailable)
        qCWarning(lcAgent, "no system tray on this desktop: the window stays open, and closing it quits");
    if (m_options.hidden && m_trayAvailable) {
        m_closeHides = true;
        m_tray->show();
        if (m_state == State::Unconnected)
            m_tray->showError(displayName(), tr("Can't connect to the %1 system service").arg(organisation()));
        else if (m_state == State::Unidentified)
            m_tray->showError(displayName(), tr("Can't set up identification of this computer on service"));
        return;
    }
    const bool autorun = m_autorun.isEnabled() && m_trayAvailable;
    m_closeHides = autorun;
    m_tray->setVisible(autorun);
    m_window->show();
    if (m_options.activate) {
        m_window->raise();
        m_window->activateWindow();
    }
}

void Agent::bringUpLoginPage()
{
    if (m_login.isEmpty() && m_password.isEmpty())
        m_window->showLoginPage();
    else
        markLoginFailedAndShow();
}

void Agent::markLoginFailedAndShow()
{
    m_window->setLoginFailed(true);
    if (!m_window->isLoginPageCurrent())
        m_window->showLoginPage();
}

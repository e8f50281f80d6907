// Agent's password prompts, protected calls and the uninstall check.

#include "agent.h"

#include "agentevents.h"
#include "jsonrpccall.h"
#include "returncodechannel.h"
#include "trayicon.h"
#include "window.h"

#include <QGuiApplication>
#include <QPointer>

QString Agent::promptText(PromptKind kind)
{
    switch (kind) {
    case PromptKind::Settings:
        return tr("Enter your password to access Agent settings");
    case PromptKind::StopFiltering:
        return tr("Enter your password to stop filtering");
    case PromptKind::SelectProfile:
        return tr("Enter your password to set the active profile");
    case PromptKind::Uninstall:
        return tr("Enter your password to uninstall %1").arg(QGuiApplication::applicationDisplayName());
    }
    return QString();
}

void Agent::requirePassword(PromptKind kind, const std::function<void()> &action)
{
    if (!m_settingsLocked || m_settingsUnlocked) {
        action();
        return;
    }
    openPrompt(kind, action);
}

void Agent::openPrompt(PromptKind kind, const std::function<void()> &action)
{
    const bool wasHidden = !m_window->isVisible() || m_window->isMinimized();
    closePrompt();
    const bool self = m_uninstallCheckSelf;
    Prompt prompt;
    prompt.confirmed = [this, kind, action, wasHidden] {
        action();
        if (kind == PromptKind::StopFiltering || kind == PromptKind::SelectProfile
            || (kind == PromptKind::Uninstall && !m_uninstallCheckSelf))
            afterPrompt(wasHidden);
    };
    switch (kind) {
    case PromptKind::Settings:
        prompt.canceled = [this] { m_window->showHomePage(); };
        break;
    case PromptKind::StopFiltering:
        // The switch shows the real state again.
        prompt.left = [this] { postEvent(new UpdateStateEvent); };
        prompt.canceled = [this, wasHidden] {
            postEvent(new UpdateStateEvent);
            afterPrompt(wasHidden);
        };
        break;
    case PromptKind::SelectProfile:
        prompt.canceled = [this, wasHidden] { afterPrompt(wasHidden); };
        break;
    case PromptKind::Uninstall:
        if (self) {
            // Navigating away only drops the prompt; closing the window still answers 101.
            prompt.canceled = [this] { Q_EMIT finished(ReturnCode::Refused); };
        } else {
            prompt.left = [this] { writeReturnCode(ReturnCode::Refused); };
            prompt.canceled = [this, wasHidden] {
                writeReturnCode(ReturnCode::Refused);
                afterPrompt(wasHidden);
            };
        }
        break;
    }
    m_prompt = prompt;
    m_promptKind = kind;
    m_promptOpen = true;
    m_window->showAuthRequest(promptText(kind));
    showWindow();
}

// Each outcome first forgets the prompt, so that only one of them ever runs.
void Agent::closePrompt()
{
    m_promptOpen = false;
    m_prompt = Prompt();
}

void Agent::promptConfirmed()
{
    if (!m_promptOpen)
        return;
    const Prompt prompt = m_prompt;
    closePrompt();
    if (prompt.confirmed)
        prompt.confirmed();
}

void Agent::promptLeft()
{
    if (!m_promptOpen)
        return;
    const Prompt prompt = m_prompt;
    closePrompt();
    if (prompt.left)
        prompt.left();
}

void Agent::promptCanceled()
{
    if (!m_promptOpen)
        return;
    const Prompt prompt = m_prompt;
    closePrompt();
    if (prompt.canceled)
        prompt.canceled();
}

void Agent::afterPrompt(bool wasHidden)
{
    if (wasHidden && m_closeHides)
        hideWindow();
    else
        m_window->showHomePage();
}

void Agent::checkAuth(const QString &login, const QString &password)
{
    JsonRPCCall *call = m_connection.call("unlockSettings", {login, password});
    connect(call, &Request::finished, this, [this, call] {
        const qint32 code = call->error().code();
        if (code == 0) {
            m_window->setPasswordRejected(false);
            m_settingsUnlocked = true;
            Q_EMIT authConfirmed();
        } else if (code == CredentialsRefusedCode) {
            m_window->setPasswordRejected(true);
        } else {
            showRequestError(code);
        }
    });
}

void Agent::guardedCall(const char *method, const QList<QVariant> &params, PromptKind kind,
                        const Guard &guard, bool retried)
{
    const QByteArray name(method);
    JsonRPCCall *call = m_connection.call(name.constData(), params);
    connect(call, &Request::finished, this, [this, call, name, params, kind, guard, retried] {
        const ::Error error = call->error();
        if (error.code() == LockedCode && !retried) {
            // The service holds our connection locked: ask for the password, unlock, and
            // send the same call once more.
            m_settingsUnlocked = false;
            if (guard.refused)
                guard.refused();
            QPointer<QWidget> page = m_window->currentPage();
            openPrompt(kind, [this, name, params, kind, guard, page] {
                if (kind == PromptKind::Settings && page)
                    m_window->showPageAgain(page);
                if (guard.apply)
                    guard.apply();
                guardedCall(name.constData(), params, kind, guard, true);
            });
            return;
        }
        // Refused once more after the password: what the client showed is undone for good.
        if (error.code() == LockedCode && guard.refused)
            guard.refused();
        if (guard.done)
            guard.done(error, call->result());
        else if (error.isError())
            showRequestError(error.code());
    });
}

void Agent::showRequestError(qint32 code)
{
    if (!m_tray)
        return;
    switch (code) {
    case 1:
    case 2:
    case 3:
    case 9:
    case 31:
        m_tray->showError(displayName(), tr("Can't reach %1").arg(organisation()));
        break;
    default:
        break;
    }
}

void Agent::writeReturnCode(qint32 code)
{
    ReturnCodeWriter::write(code);
}

void Agent::handleAuthRequestMessage()
{
    switch (m_state) {
    case State::Unconnected:
        // Without the service nothing is filtered that the check could protect; waiting
        // would leave the uninstaller hanging until the service came back.
    case State::Unidentified:
        writeReturnCode(ReturnCode::Permitted);
        break;
    case State::Identified:
        requirePassword(PromptKind::Uninstall, [this] { writeReturnCode(ReturnCode::Permitted); });
        break;
    case State::Initial:
    case State::Waiting:
        // Answered as soon as the state is known.
        m_authenticatePending = true;
        break;
    }
}

#include "ctlsession.h"

#include "exitcodes.h"

namespace {

::Error unexpectedAnswer(const char *method)
{
    return ::Error(::Error::InvalidAnswerCode, QStringLiteral("unexpected answer to \"%1\"").arg(QLatin1String(method)));
}

} // namespace

void CtlSession::runStatus()
{
    waitFor([this] { return m_state.identification.state != ServiceState::Identification::Waiting; },
            IdentificationGraceMs, [this](bool) {
                if (m_output.isJson()) {
                    const QVariantMap status = StatusView::statusJson(m_state, m_facts);
                    for (auto it = status.constBegin(); it != status.constEnd(); ++it)
                        m_output.json().insert(it.key(), it.value());
                } else {
                    m_output.table(StatusView::statusRows(m_state, m_facts));
                }
                // The last 'status' of the invocation decides.
                m_exitCode = m_state.summary() == ServiceState::Summary::Filtering ? ExitCode::Done : ExitCode::NotFiltering;
                commandDone();
            });
}

void CtlSession::runLogin()
{
    const QString user = m_command.args.at(0);
    askPassword(user, QStringLiteral("Password of %1: ").arg(user), [this, user](const QString &password) {
        call("setCredentials", {user, password}, [this, user](const QVariant &result) {
            if (result.userType() != QMetaType::Bool || !result.toBool())
                return fail(ExitCode::Failed, unexpectedAnswer("setCredentials"), QString());
            m_state.login = user;
            QVariantMap action;
            action.insert(QStringLiteral("login"), user);
            addAction(action, QStringLiteral("Signed in as %1.").arg(user));
            commandDone();
        });
    });
}

void CtlSession::runUnlock()
{
    if (!m_state.settingsLocked.value_or(false)) {
        QVariantMap action;
        action.insert(QStringLiteral("locked"), false);
        addAction(action, QStringLiteral("The settings are not protected: nothing to unlock."));
        commandDone();
        return;
    }
    const QString login = m_state.login.value_or(QString());
    if (login.isEmpty()) {
        fail(ExitCode::Failed, ::Error(0, QStringLiteral("no account is signed in, so there is no password to unlock with")),
             QString());
        return;
    }
    const QString prompt = QStringLiteral("Password of %1 (to unlock the settings): ").arg(login);
    askPassword(login, prompt, [this, login](const QString &password) {
        call("unlockSettings", {login, password}, [this](const QVariant &) {
            m_facts.unlocked = true;
            QVariantMap action;
            action.insert(QStringLiteral("locked"), true);
            addAction(action, QStringLiteral("The settings are unlocked for the commands that follow."));
            commandDone();
        });
    });
}

void CtlSession::runPause()
{
    // The service ignores a switch to the state it has, so a second pause would not be
    // timed at all: say so instead of pretending.
    if (m_state.filtering == false) {
        fail(ExitCode::Failed,
             ::Error(0, QStringLiteral("filtering is already off; 'corvanectl resume pause MINUTES' starts a new pause")),
             QString());
        return;
    }
    switchFiltering(false, m_command.minutes);
}

void CtlSession::runResume()
{
    switchFiltering(true, 0);
}

// The service answers first and broadcasts the new state; the broadcast is the proof that
// the switch happened (a refused switch may be answered without an error).
void CtlSession::switchFiltering(bool on, int minutes)
{
    call("setGlobalFiltering", {on, minutes}, [this, on, minutes](const QVariant &) {
        waitFor([this, on] { return m_state.filtering == on; }, ConfirmationMs, [this, on, minutes](bool confirmed) {
            if (!confirmed) {
                const bool locked = m_state.settingsLocked.value_or(false) && !m_facts.unlocked;
                fail(ExitCode::Failed,
                     ::Error(0, QStringLiteral("the service did not switch filtering %1").arg(QLatin1String(on ? "on" : "off"))),
                     locked ? QStringLiteral("The settings are protected: try 'corvanectl unlock %1'.").arg(m_command.text)
                            : QString());
                return;
            }
            m_facts.pausedUntil = !on && minutes > 0 ? QDateTime::currentDateTime().addSecs(qint64(minutes) * 60) : QDateTime();
            QVariantMap action;
            QString sentence = QStringLiteral("Filtering is on.");
            if (!on) {
                action.insert(QStringLiteral("minutes"), minutes > 0 ? QVariant(minutes) : QVariant());
                action.insert(QStringLiteral("until"), StatusView::timeJson(m_facts.pausedUntil));
                sentence = minutes > 0 ? QStringLiteral("Filtering is off for %1 minutes, until %2.")
                                                 .arg(minutes)
                                                 .arg(m_facts.pausedUntil.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                                       : QStringLiteral("Filtering is off until 'corvanectl resume'.");
            }
            addAction(action, sentence);
            commandDone();
        });
    });
}

void CtlSession::runProfiles()
{
    if (m_output.isJson()) {
        m_output.json().insert(QStringLiteral("profiles"), StatusView::profilesJson(m_state));
    } else if (m_state.profiles.isEmpty()) {
        m_output.line(QStringLiteral("The account has no profiles (is it signed in?)."));
    } else {
        for (const QString &line : StatusView::profileLines(m_state))
            m_output.line(line);
    }
    commandDone();
}

void CtlSession::runUse()
{
    const CabinetProfile *profile = requireProfile(m_command.args.at(0));
    if (!profile)
        return;
    const quint32 id = profile->id();
    call("setProfile", {id}, [this, id](const QVariant &result) {
        ::Error refused;
        if (WireValue::isErrorResult(result, &refused))
            return fail(ExitCode::Failed, refused, QString());
        QVariantMap action;
        action.insert(QStringLiteral("profile"), StatusView::profileJson(m_state, id));
        addAction(action, QStringLiteral("Profile %1 is selected.").arg(m_state.profileLabel(id)));
        commandDone();
    });
}

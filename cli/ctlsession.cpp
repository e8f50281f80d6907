#include "ctlsession.h"

#include "exitcodes.h"
#include "ipcconnection.h"
#include "jsonrpccall.h"
#include "notificationhandler.h"
#include "passwordsource.h"
#include "paths.h"

#include <QLocalSocket>

namespace {

// The system's codes for a call that timed out and for a socket that is not connected.
constexpr qint32 TimeoutCode = 2;
constexpr qint32 NotConnectedCode = 3;
// What the service answers for a change while the settings are locked on this connection.
constexpr qint32 LockedCode = 1;
// No method of the service has this name (see socketConnected()).
constexpr const char *GreetingBarrier = "corvanectl.endOfGreeting";

} // namespace

CtlSession::CtlSession(const Invocation &invocation, QObject *parent)
    : QObject(parent)
    , m_invocation(invocation)
    , m_socketPath(Paths::ipcSocketPath())
    , m_output(invocation.json)
    , m_connection(new IpcConnection(this))
{
    auto *handler = new NotificationHandler(
            [this](const QString &method, const QVariantList &params) { notificationReceived(method, params); },
            m_connection);
    m_connection->setJsonRpcHandler(handler);
    QLocalSocket *socket = m_connection->socket();
    connect(socket, &QLocalSocket::connected, this, &CtlSession::socketConnected);
    connect(socket, &QLocalSocket::errorOccurred, this, &CtlSession::socketFailed);
    connect(socket, &QLocalSocket::disconnected, this, &CtlSession::socketFailed);
    m_connectTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        fail(ExitCode::Unreachable,
             ::Error(TimeoutCode, QStringLiteral("the Corvane service at %1 did not accept the connection within %2 s")
                                          .arg(m_socketPath).arg(m_invocation.timeoutSeconds)),
             QString());
    });
}

// Calls still open fail when the connection goes; nothing of this session may react.
CtlSession::~CtlSession()
{
    m_finished = true;
    delete m_connection;
}

void CtlSession::start()
{
    m_connectTimer.start(m_invocation.timeoutSeconds * 1000);
    m_connection->socket()->connectToServer(m_socketPath, QIODevice::ReadWrite);
}

void CtlSession::interrupt()
{
    if (m_finished)
        return;
    if (m_watching) {
        finish(m_exitCode);
        return;
    }
    m_output.error(QStringLiteral("corvanectl: interrupted"));
    finish(ExitCode::Interrupted);
}

void CtlSession::socketConnected()
{
    m_connectTimer.stop();
    m_connected = true;
    // Every message of the greeting was written before the service read this call, so its
    // answer comes after all of them. A method the service does not have is the one call
    // that changes nothing and sends nothing on to the account site (a read would, once
    // per run of a script that polls 'status'): its answer is JSON-RPC's "Method not
    // found", and any answer at all marks the end of the greeting.
    JsonRPCCall *barrier = m_connection->call(GreetingBarrier, {});
    barrier->setTimeout(static_cast<unsigned short>(m_invocation.timeoutSeconds));
    connect(barrier, &Request::finished, this, [this, barrier] {
        if (m_finished)
            return;
        const qint32 code = barrier->isSucceed() ? 0 : barrier->error().code();
        if (code == TimeoutCode || code == NotConnectedCode)
            failCall(QString::fromLatin1(GreetingBarrier), barrier->error(), barrier->timeout());
        else
            greetingDone();
    });
}

void CtlSession::socketFailed()
{
    if (m_finished)
        return;
    if (m_connected) {
        fail(ExitCode::Unreachable, ::Error(NotConnectedCode, connectionLostText()), QString());
        return;
    }
    // Only a real failure of the attempt; a socket that is still trying says nothing yet.
    if (m_connection->socket()->state() == QLocalSocket::ConnectedState)
        return;
    QString reason = m_connection->socket()->errorString();
    switch (m_connection->socket()->error()) {
    case QLocalSocket::ServerNotFoundError:
        reason = QStringLiteral("there is no such socket");
        break;
    case QLocalSocket::ConnectionRefusedError:
        reason = QStringLiteral("nobody listens on it");
        break;
    case QLocalSocket::SocketAccessError:
        reason = QStringLiteral("permission denied");
        break;
    default:
        break;
    }
    fail(ExitCode::Unreachable,
         ::Error(NotConnectedCode, QStringLiteral("cannot reach the Corvane service at %1: %2 (is corvane-service running?)")
                                           .arg(m_socketPath, reason)),
         QString());
}

QString CtlSession::connectionLostText() const
{
    return QStringLiteral("the connection to the Corvane service at %1 was lost").arg(m_socketPath);
}

void CtlSession::greetingDone()
{
    m_greeted = true;
    runNext();
}

void CtlSession::runNext()
{
    if (m_finished)
        return;
    if (m_next >= m_invocation.commands.size()) {
        finish(m_exitCode);
        return;
    }
    m_command = m_invocation.commands.at(m_next++);
    switch (m_command.kind) {
    case Command::Status: return runStatus();
    case Command::Login: return runLogin();
    case Command::Unlock: return runUnlock();
    case Command::Pause: return runPause();
    case Command::Resume: return runResume();
    case Command::Profiles: return runProfiles();
    case Command::Use: return runUse();
    case Command::Lists: return runLists();
    case Command::ListAdd: return runListAdd();
    case Command::ListRemove: return runListRemove();
    case Command::ListClear: return runListClear();
    case Command::Protect: return runProtect();
    case Command::Report: return runReport();
    case Command::Watch: return runWatch();
    }
}

// Every command ends here or in fail(); the next one starts from the event loop, so that a
// long chain never deepens the stack.
void CtlSession::commandDone()
{
    QMetaObject::invokeMethod(this, &CtlSession::runNext, Qt::QueuedConnection);
}

void CtlSession::notificationReceived(const QString &method, const QVariantList &params)
{
    if (m_finished)
        return;
    const ::Error error = m_state.apply(method, params);
    // 'watch' shows it in its own output.
    if (error.isError() && m_invocation.commands.constLast().kind != Command::Watch)
        m_output.error(QStringLiteral("corvanectl: ignored a malformed \"%1\" notification from the service: %2")
                               .arg(method, error.message()));
    if (m_watching)
        printNotification(received(method, params, error));
    else if (m_invocation.commands.constLast().kind == Command::Watch)
        m_backlog.append(received(method, params, error));
}

void CtlSession::call(const char *method, const QVariantList &params, Result done, int timeoutSeconds)
{
    JsonRPCCall *call = m_connection->call(method, params);
    call->setTimeout(static_cast<unsigned short>(timeoutSeconds ? timeoutSeconds : m_invocation.timeoutSeconds));
    const QString name = QString::fromLatin1(method);
    const int seconds = call->timeout();
    connect(call, &Request::finished, this, [this, call, name, done, seconds] {
        if (m_finished)
            return;
        if (call->isSucceed())
            done(call->result());
        else
            failCall(name, call->error(), seconds);
    });
}

void CtlSession::waitFor(std::function<bool()> condition, int milliseconds, std::function<void(bool)> done)
{
    if (condition()) {
        done(true);
        return;
    }
    // Notifications arrive through the event loop; look after each pass until the bound.
    auto *timer = new QTimer(this);
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + milliseconds;
    connect(timer, &QTimer::timeout, this, [timer, condition, done, deadline] {
        const bool met = condition();
        if (!met && QDateTime::currentMSecsSinceEpoch() < deadline)
            return;
        timer->deleteLater();
        timer->stop();
        done(met);
    });
    timer->start(10);
}

void CtlSession::askPassword(const QString &login, const QString &prompt, std::function<void(const QString &)> done)
{
    const auto known = m_passwordsByLogin.constFind(login);
    if (known != m_passwordsByLogin.constEnd()) {
        done(known.value());
        return;
    }
    if (!m_passwords) {
        m_passwords = new PasswordSource(m_invocation.passwordStdin ? PasswordSource::Mode::StandardInput
                                                                    : PasswordSource::Mode::Terminal,
                                         m_invocation.timeoutSeconds, this);
    }
    // The login in the prompt comes from the service.
    m_passwords->read(Output::clean(prompt), [this, login, done](PasswordSource::Result result, const QString &password) {
        if (m_finished)
            return;
        switch (result) {
        case PasswordSource::Result::Read:
            if (password.isEmpty())
                return fail(ExitCode::Failed, ::Error(0, QStringLiteral("no password given")), QString());
            m_passwordsByLogin.insert(login, password);
            return done(password);
        case PasswordSource::Result::NoTerminal:
            return fail(ExitCode::Usage, ::Error(0, QStringLiteral("there is no terminal to ask for the password on: "
                                                                   "give it on standard input with --password-stdin")),
                        QString());
        case PasswordSource::Result::Ended:
            return fail(ExitCode::Failed, ::Error(0, QStringLiteral("the input ended before a password")), QString());
        case PasswordSource::Result::TimedOut:
            return fail(ExitCode::Failed, ::Error(0, QStringLiteral("no password was given in time")), QString());
        case PasswordSource::Result::TooLong:
            return fail(ExitCode::Failed,
                        ::Error(0, QStringLiteral("the password is longer than %1 bytes").arg(PasswordSource::MaximumLength)),
                        QString());
        }
    });
}

void CtlSession::failCall(const QString &method, const ::Error &error, int timeoutSeconds)
{
    if (error.code() == TimeoutCode && !m_greeted) {
        fail(ExitCode::Unreachable,
             ::Error(TimeoutCode, QStringLiteral("the Corvane service at %1 accepted the connection but did not answer within %2 s")
                                          .arg(m_socketPath).arg(timeoutSeconds)),
             QString());
        return;
    }
    if (error.code() == TimeoutCode) {
        fail(ExitCode::Unreachable,
             ::Error(TimeoutCode, QStringLiteral("the service did not answer \"%1\" within %2 s")
                                          .arg(method).arg(timeoutSeconds)),
             QString());
        return;
    }
    if (error.code() == NotConnectedCode) {
        fail(ExitCode::Unreachable, ::Error(NotConnectedCode, connectionLostText()), QString());
        return;
    }
    QString hint;
    if (error.code() == LockedCode && m_state.settingsLocked.value_or(false) && !m_facts.unlocked)
        hint = QStringLiteral("The settings are protected by the account password: unlock them first, "
                              "e.g. 'corvanectl unlock %1'.")
                       .arg(m_command.text);
    fail(ExitCode::Failed, error, hint);
}

// Errors that carry a code (the service's, a time-out, a lost connection) read
// "error CODE: message"; the program's own (code 0) are named after it.
void CtlSession::fail(int exitCode, const ::Error &error, const QString &hint)
{
    if (m_finished)
        return;
    const QString message = error.message().isEmpty() ? QStringLiteral("<no message>") : error.message();
    if (error.isError())
        m_output.error(QStringLiteral("error %1: %2").arg(error.code()).arg(message));
    else
        m_output.error(QStringLiteral("corvanectl: %1").arg(message));
    if (!hint.isEmpty())
        m_output.error(hint);
    QVariantMap object;
    object.insert(QStringLiteral("code"), error.isError() ? QVariant(error.code()) : QVariant());
    object.insert(QStringLiteral("message"), message);
    object.insert(QStringLiteral("command"), m_command.text.isEmpty() ? QVariant() : QVariant(m_command.text));
    object.insert(QStringLiteral("exit_status"), exitCode);
    m_output.json().insert(QStringLiteral("error"), object);
    finish(exitCode);
}

void CtlSession::finish(int exitCode)
{
    if (m_finished)
        return;
    m_finished = true;
    m_output.progressDone();
    if (!m_watching)
        m_output.printJson();
    Q_EMIT finished(exitCode);
}

void CtlSession::addAction(QVariantMap action, const QString &sentence)
{
    action.insert(QStringLiteral("command"), m_command.text.section(QLatin1Char(' '), 0,
                                                                     m_command.kind >= Command::ListAdd && m_command.kind <= Command::ListClear ? 1 : 0));
    QVariantList actions = m_output.json().value(QStringLiteral("actions")).toList();
    actions.append(action);
    m_output.json().insert(QStringLiteral("actions"), actions);
    m_output.line(sentence);
}

const CabinetProfile *CtlSession::requireProfile(const QString &nameOrId)
{
    const CabinetProfile *profile = m_state.findProfile(nameOrId);
    if (!profile)
        fail(ExitCode::Failed,
             ::Error(0, QStringLiteral("the account has no profile named or numbered '%1' (see 'corvanectl profiles')")
                                .arg(nameOrId)),
             QString());
    return profile;
}

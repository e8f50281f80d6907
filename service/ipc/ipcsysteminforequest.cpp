#include "ipcsysteminforequest.h"

#include "diagnosticstransparentproxy.h"
#include "sysinfo.h"

#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace {

const char StartedProgramProperty[] = "startedProgram";
const char OutputCodecProperty[] = "outputCodecName";
// The checks, one per result holder.
constexpr int CheckCount = 5;

// The tools see only what they need: a secret in the service's environment (a password
// given on a command line, a token) must not reach a program that may print it.
QProcessEnvironment toolEnvironment()
{
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), system.value(QStringLiteral("PATH"),
                                                            QStringLiteral("/usr/sbin:/usr/bin:/sbin:/bin")));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    const QString bus = QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS");
    if (system.contains(bus))
        environment.insert(bus, system.value(bus));
    return environment;
}

} // namespace

int IPCSystemInfoRequest::s_running = 0;

QString IPCSystemInfoRequest::Tool::commandLine() const
{
    return (QStringList{ program } + arguments).join(QLatin1Char(' '));
}

QList<IPCSystemInfoRequest::Tool> IPCSystemInfoRequest::tools()
{
    const Tool uname{ QStringLiteral("uname"), { QStringLiteral("-a") }, QByteArray(), {} };
    const Tool system = QStandardPaths::findExecutable(QStringLiteral("hostnamectl")).isEmpty()
            ? uname
            : Tool{ QStringLiteral("hostnamectl"), {}, QByteArray(), { uname } };
    return {
        { QStringLiteral("ip"), { QStringLiteral("address"), QStringLiteral("show") }, QByteArray(), {} },
        system,
        { QStringLiteral("ip"), { QStringLiteral("route"), QStringLiteral("show") }, QByteArray(), {} },
    };
}

int IPCSystemInfoRequest::timeoutMs()
{
    bool ok = false;
    const int configured = qEnvironmentVariableIntValue("CORVANE_DIAG_TIMEOUT_MS", &ok);
    return ok && configured > 0 ? configured : TimeoutMs;
}

IPCSystemInfoRequest::IPCSystemInfoRequest(const DiagnosticsSource &source, const Deferred &deferred,
                                           QObject *parent)
    : QObject(parent)
    , m_deferred(deferred)
    , m_timer(new QTimer(this))
{
    if (s_running >= MaximumRunning) {
        m_answered = true;
        m_deferred.errback(Error(1, QStringLiteral("a system information report is already being collected")));
        deleteLater();
        return;
    }
    ++s_running;
    m_counted = true;
    m_snapshot = DiagnosticsSnapshot::take(source);
    for (const Tool &tool : tools())
        startTool(tool);
    startChecks();
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &IPCSystemInfoRequest::timer_timeout);
    m_timer->start(timeoutMs());
    m_starting = false;
    tryFinish();
}

IPCSystemInfoRequest::~IPCSystemInfoRequest()
{
    m_cancelled = true;
    m_pool.waitForDone();
    if (m_counted)
        --s_running;
}

void IPCSystemInfoRequest::startTool(const Tool &tool)
{
    auto *process = new QProcess(this);
    process->setProperty(StartedProgramProperty, tool.commandLine());
    process->setProperty(OutputCodecProperty, tool.codec);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setProcessEnvironment(toolEnvironment());
    connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &IPCSystemInfoRequest::process_finished);
    connect(process, &QProcess::errorOccurred, this, &IPCSystemInfoRequest::process_errorOccurred);
    connect(process, &QProcess::readyReadStandardOutput, this, &IPCSystemInfoRequest::process_readyRead);
    m_processes.insert(process, Run{ tool, QByteArray(), false });
    process->start(tool.program, tool.arguments, QIODevice::ReadOnly);
}

void IPCSystemInfoRequest::process_readyRead()
{
    auto *process = qobject_cast<QProcess *>(sender());
    auto run = m_processes.find(process);
    if (run == m_processes.end())
        return;
    const QByteArray chunk = process->readAllStandardOutput();
    const int room = MaximumToolOutputBytes - run->output.size();
    run->output.append(chunk.left(qMax(0, room)));
    run->truncated = run->truncated || chunk.size() > room;
}

void IPCSystemInfoRequest::process_errorOccurred(QProcess::ProcessError error)
{
    // A tool that cannot start never finishes; every other error is followed by finished().
    if (error == QProcess::FailedToStart)
        toolEnded(qobject_cast<QProcess *>(sender()));
}

void IPCSystemInfoRequest::process_finished()
{
    toolEnded(qobject_cast<QProcess *>(sender()));
}

void IPCSystemInfoRequest::toolEnded(QProcess *process)
{
    auto found = m_processes.find(process);
    if (found == m_processes.end())
        return;
    process_readyRead();
    const Run run = found.value();
    m_processes.erase(found);
    disconnect(process, nullptr, this, nullptr);
    process->deleteLater();

    QString output;
    const bool clean = process->error() == QProcess::UnknownError;
    if (clean) {
        output = DiagnosticsReport::decodeOutput(DiagnosticsReport::cutSecrets(run.output, m_snapshot.secrets),
                                                 process->property(OutputCodecProperty).toByteArray());
        output = SysInfo::cutCredentials(output);
        if (run.truncated)
            output += QStringLiteral("\n<output cut at %1 bytes>\n").arg(MaximumToolOutputBytes);
    } else {
        output = QStringLiteral("Failed to get output");
    }
    m_toolOutput += DiagnosticsReport::toolSection(process->property(StartedProgramProperty).toString(), output);
    if (!run.tool.fallback.isEmpty() && (!clean || process->exitCode() != 0))
        startTool(run.tool.fallback.constFirst());
    tryFinish();
}

void IPCSystemInfoRequest::timer_timeout()
{
    for (auto it = m_processes.cbegin(); it != m_processes.cend(); ++it) {
        QProcess *process = it.key();
        m_toolOutput += DiagnosticsReport::toolSection(process->property(StartedProgramProperty).toString(),
                                                       QStringLiteral("<Aborted by timeout>\n"));
        disconnect(process, nullptr, this, nullptr);
        m_terminated.append(process);
        connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, [this, process] {
            m_terminated.removeOne(process);
            process->deleteLater();
            deleteWhenIdle();
        });
        process->terminate();
        QTimer::singleShot(KillGraceMs, process, &QProcess::kill);
    }
    m_processes.clear();
    tryFinish();
}

void IPCSystemInfoRequest::startChecks()
{
    m_pool.setMaxThreadCount(CheckCount);
    const DiagnosticsSnapshot &s = m_snapshot;
    const QByteArray probeHost = QUrl::toAce(s.probeHost);
    QList<base_test *> checks{
        new CheckBlackTarnwick(&m_checks.probe, &m_checks.view,
                               { s.localProxyAddress, s.localProxyPort, probeHost, CheckBlackTarnwick::bindPorts(),
                                 CheckBlackTarnwick::DefaultWaitMs }),
        new CheckTransparentProxy(&m_checks.transparentProxy,
                                  { s.myIpHttp, s.myIpHttps, s.caFile, CheckTransparentProxy::defaultRouteTarget() }),
        new CheckDNSOnAllEnabledAdapters(&m_checks.adapters, s.adaptersKnown, s.adapters, s.localProxyAddress),
        new CheckDNSOnGatway(&m_checks.gateway, s.adaptersKnown, s.adapters, s.localProxyAddress),
        new CheckNoUserProxy(&m_checks.userProxy, { s.myIpHttp, s.myIpHttps }),
    };
    m_checksRunning = checks.size();
    for (base_test *check : qAsConst(checks)) {
        check->setCancelFlag(&m_cancelled);
        // Runs on the pool thread; the rest of the report is the main thread's business.
        check->setFinishedHandler([this] { QMetaObject::invokeMethod(this, [this] { checkFinished(); }, Qt::QueuedConnection); });
        m_pool.start(check);
    }
}

void IPCSystemInfoRequest::checkFinished()
{
    --m_checksRunning;
    tryFinish();
}

void IPCSystemInfoRequest::tryFinish()
{
    if (m_starting || m_answered || !m_processes.isEmpty() || m_checksRunning > 0)
        return;
    m_timer->stop();
    QString report = DiagnosticsReport::head(m_snapshot, m_checks) + m_toolOutput
            + DiagnosticsReport::backendSection(m_snapshot);
    report = DiagnosticsReport::cutSecrets(report, m_snapshot.secrets);
    m_answered = true;
    m_deferred.callback(report);
    deleteWhenIdle();
}

void IPCSystemInfoRequest::deleteWhenIdle()
{
    if (m_answered && m_terminated.isEmpty())
        deleteLater();
}

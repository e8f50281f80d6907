#include "sysinfo.h"

#include "testhooks.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>

namespace {

const QString Unimplemented = QStringLiteral("<unimplemented>");
const char ProductToken[] = "Tarnwick-Agent/3.2.1.3 en-generic (%1)";
const char JournalIdentifier[] = "corvane-service";

int &operatingSystemQueryCount()
{
    static int count = 0;
    return count;
}

QByteArray buildUserAgent()
{
    ++operatingSystemQueryCount();
    return SysInfo::formatUserAgent(SysInfo::operatingSystemText());
}

// Keeps the newest MaximumLogBytes of the output, cut at a line start, so that a flood of
// journal lines cannot grow the report without bound.
void appendBounded(QByteArray &output, const QByteArray &chunk)
{
    output.append(chunk);
    const qint64 excess = output.size() - SysInfo::MaximumLogBytes;
    if (excess <= 0)
        return;
    const int newline = output.indexOf('\n', static_cast<int>(excess));
    output.remove(0, newline < 0 ? static_cast<int>(excess) : newline + 1);
}

} // namespace

const QByteArray &SysInfo::userAgent()
{
    static const QByteArray value = buildUserAgent();
    return value;
}

int TestHooks::operatingSystemQueries()
{
    return operatingSystemQueryCount();
}

QByteArray SysInfo::formatUserAgent(const QString &operatingSystem)
{
    return QString::fromLatin1(ProductToken).arg(operatingSystem).toLatin1();
}

QStringList SysInfo::logToolArguments()
{
    return {QStringLiteral("--identifier=") + QLatin1String(JournalIdentifier),
            QStringLiteral("--since=-24h"), QStringLiteral("--output=short"),
            QStringLiteral("--no-pager")};
}

namespace {

// Runs program with the journal arguments, waiting at most timeoutMs milliseconds.
QString runLogTool(const QString &program, int timeoutMs)
{
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, SysInfo::logToolArguments(), QIODevice::ReadOnly);
    const QDeadlineTimer deadline(timeoutMs);
    if (!process.waitForStarted(timeoutMs))
        return Unimplemented;
    QByteArray output;
    while (process.state() != QProcess::NotRunning) {
        if (deadline.hasExpired())
            return Unimplemented; // ~QProcess kills the tool
        process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        appendBounded(output, process.readAllStandardOutput());
    }
    appendBounded(output, process.readAllStandardOutput());
    // Only a clean run counts; its exit code is not looked at, since the journal tool
    // exits non-zero for harmless reasons (no entries, no access to some journal files).
    if (process.exitStatus() != QProcess::NormalExit || process.error() != QProcess::UnknownError)
        return Unimplemented;
    // The report promises a non-empty text; journalctl itself writes "-- No entries --"
    // when it found nothing, so empty output means it could not read the journal at all.
    if (output.isEmpty())
        return Unimplemented;
    return QString::fromUtf8(output);
}

} // namespace

QString TestHooks::runLogTool(const QString &program, int timeoutMs)
{
    return ::runLogTool(program, timeoutMs);
}

QString SysInfo::cutCredentials(const QString &log)
{
    static const QRegularExpression credentials(QStringLiteral("setCredentials[^\n]*\n"));
    QString result = log;
    result.replace(credentials, QStringLiteral("<credentials cutted out>\n"));
    return result;
}

QString SysInfo::systemLog()
{
    QString program = qEnvironmentVariable("CORVANE_JOURNALCTL");
    if (program.isEmpty())
        program = QStringLiteral("journalctl");
    return cutCredentials(runLogTool(program, LogToolTimeoutMs));
}

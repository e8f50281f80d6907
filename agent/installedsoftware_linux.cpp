#include "installedsoftware_linux.h"

#include <QMap>

namespace {

QList<InstalledSoftware::Package> sortedReported(const QList<QList<QByteArray>> &rows)
{
    QMap<QString, InstalledSoftware::Package> byName;
    for (const QList<QByteArray> &row : rows) {
        InstalledSoftware::Package package{QString::fromUtf8(row.at(0)).trimmed(), QString::fromUtf8(row.at(1)).trimmed()};
        if (InstalledSoftware::isReported(package.name))
            byName.insert(package.name + QLatin1Char('\n') + package.version, package);
    }
    return byName.values();
}

} // namespace

InstalledSoftware *InstalledSoftware::create(QObject *parent)
{
    return new LinuxInstalledSoftware(parent);
}

bool InstalledSoftware::isReported(const QString &name)
{
    // dnsmasq-base is the dnsmasq that NetworkManager runs; systemd carries resolved where
    // it is not a package of its own; NetworkManager is the name on rpm systems.
    static const QStringList system = {QStringLiteral("systemd-resolved"), QStringLiteral("systemd"),
                                       QStringLiteral("network-manager"), QStringLiteral("NetworkManager"),
                                       QStringLiteral("resolvconf"), QStringLiteral("dnsmasq"),
                                       QStringLiteral("dnsmasq-base")};
    return name.startsWith(QLatin1String("corvane")) || system.contains(name);
}

LinuxInstalledSoftware::LinuxInstalledSoftware(QObject *parent)
    : InstalledSoftware(parent)
{
}

LinuxInstalledSoftware::~LinuxInstalledSoftware()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

QList<InstalledSoftware::Package> LinuxInstalledSoftware::fromDpkgQuery(const QByteArray &output)
{
    QList<QList<QByteArray>> rows;
    const QList<QByteArray> lines = output.left(int(MaximumOutputBytes)).split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split('\t');
        // "ii": wanted installed, installed; "hi": held, installed.
        if (fields.size() == 3 && (fields.at(0).startsWith("ii") || fields.at(0).startsWith("hi")))
            rows.append({fields.at(1), fields.at(2)});
    }
    return sortedReported(rows);
}

QList<InstalledSoftware::Package> LinuxInstalledSoftware::fromRpm(const QByteArray &output)
{
    QList<QList<QByteArray>> rows;
    const QList<QByteArray> lines = output.left(int(MaximumOutputBytes)).split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 2)
            rows.append(fields);
    }
    return sortedReported(rows);
}

void LinuxInstalledSoftware::query()
{
    if (!m_process)
        start(false);
}

void LinuxInstalledSoftware::start(bool rpm)
{
    m_process = new QProcess(this);
    const char *variable = rpm ? "CORVANE_RPM" : "CORVANE_DPKG_QUERY";
    const QString program = qEnvironmentVariableIsSet(variable) ? qEnvironmentVariable(variable)
                                                                : QString::fromLatin1(rpm ? "rpm" : "dpkg-query");
    const QStringList arguments = rpm
        ? QStringList{QStringLiteral("-qa"), QStringLiteral("--qf"), QStringLiteral("%{NAME}\\t%{VERSION}-%{RELEASE}\\n")}
        : QStringList{QStringLiteral("-W"), QStringLiteral("-f"),
                      QStringLiteral("${db:Status-Abbrev}\\t${Package}\\t${Version}\\n")};
    connect(m_process, &QProcess::errorOccurred, this, [this, rpm](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            processEnded(rpm, false);
    });
    connect(m_process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            [this, rpm] { processEnded(rpm, m_process->exitStatus() == QProcess::NormalExit); });
    // The output of a whole package database stays far below the bound; past it, it is cut.
    connect(m_process, &QProcess::readyReadStandardOutput, this, [this] {
        if (m_process->bytesAvailable() > MaximumOutputBytes)
            m_process->kill();
    });
    m_process->setReadChannel(QProcess::StandardOutput);
    m_process->start(program, arguments, QIODevice::ReadOnly);
}

void LinuxInstalledSoftware::processEnded(bool rpm, bool ok)
{
    const bool started = ok || m_process->error() != QProcess::FailedToStart;
    const QByteArray output = ok ? m_process->read(MaximumOutputBytes) : QByteArray();
    m_process->deleteLater();
    m_process = nullptr;
    // Without dpkg, rpm may know.
    if (!rpm && !started) {
        start(true);
        return;
    }
    Q_EMIT ready(rpm ? fromRpm(output) : fromDpkgQuery(output));
}

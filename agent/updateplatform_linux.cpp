#include "updateplatform_linux.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcAppUpdater)

const char *const UpdatePlatform::PackageName = "corvane-agent";

UpdatePlatform *UpdatePlatform::create(QObject *parent)
{
    return new LinuxUpdatePlatform(parent);
}

LinuxUpdatePlatform::LinuxUpdatePlatform(QObject *parent)
    : UpdatePlatform(parent)
{
}

// A running child is ended with the object; its signals then reach nobody.
LinuxUpdatePlatform::~LinuxUpdatePlatform()
{
    for (QProcess *process : {m_policy, m_installer}) {
        if (process) {
            process->disconnect(this);
            process->kill();
            process->waitForFinished(1000);
        }
    }
}

QProcess *LinuxUpdatePlatform::startProcess(const char *variable, const char *program, const QStringList &arguments)
{
    auto *process = new QProcess(this);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process->setProcessEnvironment(environment);
    const QString path = qEnvironmentVariableIsSet(variable) ? qEnvironmentVariable(variable) : QString::fromLatin1(program);
    process->start(path, arguments, QIODevice::ReadOnly);
    return process;
}

void LinuxUpdatePlatform::queryInstallOrigin()
{
    if (m_policy)
        return; // the running query answers for both
    m_policy = startProcess("CORVANE_APT_CACHE", "apt-cache",
                            {QStringLiteral("policy"), QString::fromLatin1(PackageName)});
    connect(m_policy, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return; // finished() follows the others
        m_policy->deleteLater();
        m_policy = nullptr;
        Q_EMIT installOriginKnown(false);
    });
    connect(m_policy, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this, [this] {
        const QByteArray text = m_policy->read(MaximumPolicyBytes);
        const bool ok = m_policy->exitStatus() == QProcess::NormalExit && m_policy->exitCode() == 0;
        m_policy->deleteLater();
        m_policy = nullptr;
        Q_EMIT installOriginKnown(ok && isFromRepository(text));
    });
}

bool LinuxUpdatePlatform::isFromRepository(const QByteArray &policy)
{
    // corvane-agent:
    //   Installed: 3.2.1.3
    //   Candidate: 3.2.1.3
    //   Version table:
    //  *** 3.2.1.3 500
    //         500 http://deb.example.org/debian bookworm/main amd64 Packages
    //         100 /var/lib/dpkg/status
    bool installed = false;
    bool inTable = false;
    const QList<QByteArray> lines = policy.left(int(MaximumPolicyBytes)).split('\n');
    for (const QByteArray &raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith("Installed:")) {
            const QByteArray version = line.mid(10).trimmed();
            installed = !version.isEmpty() && version != "(none)";
        } else if (line.startsWith("Version table:")) {
            inTable = true;
        } else if (inTable && !line.isEmpty() && !line.startsWith("***")) {
            // "<priority> <source> ..." lines; a version line has a version in place of
            // the source and at least one source line follows it.
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() >= 2 && words.at(1).contains('/') && words.at(1) != "/var/lib/dpkg/status")
                return installed;
        }
    }
    return false;
}

QStringList LinuxUpdatePlatform::elevatedInstallArguments(const QString &path)
{
    return {QStringLiteral("apt-get"), QStringLiteral("install"), QStringLiteral("--yes"),
            QStringLiteral("--no-remove"), path};
}

void LinuxUpdatePlatform::openInstaller(const QString &path)
{
    if (m_installer)
        return;
    m_installerPath = path;
    startInstaller(false);
}

void LinuxUpdatePlatform::startInstaller(bool elevated)
{
    m_installer = elevated ? startProcess("CORVANE_PKEXEC", "pkexec", elevatedInstallArguments(m_installerPath))
                           : startProcess("CORVANE_XDG_OPEN", "xdg-open", {m_installerPath});
    // A program that cannot start never finishes: its failure is the end.
    connect(m_installer, &QProcess::errorOccurred, this, [this, elevated](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            installerEnded(elevated, XdgOpenNoToolCode);
    });
    connect(m_installer, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this, [this, elevated] {
        installerEnded(elevated, m_installer->exitStatus() == QProcess::NormalExit ? m_installer->exitCode() : -1);
    });
}

void LinuxUpdatePlatform::installerEnded(bool elevated, int code)
{
    m_installer->deleteLater();
    m_installer = nullptr;
    if (code == 0) {
        Q_EMIT installerOpened(true);
        return;
    }
    // Opening it was refused (no opener, or one without the rights to install): install it
    // with an administrator's rights.
    if (!elevated && (code == XdgOpenNoToolCode || code == XdgOpenFailedCode)) {
        startInstaller(true);
        return;
    }
    qCWarning(lcAppUpdater, "Failed to start installer: %s errorCode: %d", qPrintable(m_installerPath), code);
    Q_EMIT installerOpened(false);
}

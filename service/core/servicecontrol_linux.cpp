#include "servicecontrol.h"

#include "unittemplate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>

#include <systemd/sd-daemon.h>

namespace {

const QString UnitName = QStringLiteral("corvane-service.service");
// Units that an administrator installs live here; a package puts its own under /lib.
const QStringList UnitDirectories = { QStringLiteral("/etc/systemd/system"),
    QStringLiteral("/lib/systemd/system"), QStringLiteral("/usr/lib/systemd/system") };

// A command line tool run to its end: the shell's control commands are one-shot
// invocations from a terminal or an installer, outside any event loop.
bool runSystemctl(const QStringList &arguments, bool quiet = false)
{
    QProcess process;
    if (quiet)
        process.setStandardErrorFile(QProcess::nullDevice());
    else
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral("systemctl"), arguments);
    if (!process.waitForFinished(60000))
        return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString installedUnitPath()
{
    return UnitDirectories.first() + QLatin1Char('/') + UnitName;
}

class SystemdControl : public ServiceControl
{
public:
    Result install() override
    {
        if (isInstalled())
            return Result::AlreadyDone;
        QString unit = QString::fromUtf8(CorvaneUnitTemplate);
        unit.replace(QStringLiteral("@CORVANE_SERVICE_PATH@"), QCoreApplication::applicationFilePath());
        QSaveFile file(installedUnitPath());
        if (!file.open(QIODevice::WriteOnly) || file.write(unit.toUtf8()) < 0 || !file.commit())
            return Result::Failed;
        const bool enabled = runSystemctl({ QStringLiteral("daemon-reload") })
                && runSystemctl({ QStringLiteral("enable"), UnitName });
        return enabled ? Result::Done : Result::Failed;
    }

    Result uninstall() override
    {
        if (!isInstalled())
            return Result::AlreadyDone;
        runSystemctl({ QStringLiteral("disable"), QStringLiteral("--now"), UnitName });
        if (QFile::exists(installedUnitPath()) && !QFile::remove(installedUnitPath()))
            return Result::Failed;
        runSystemctl({ QStringLiteral("daemon-reload") });
        return isInstalled() ? Result::Failed : Result::Done;
    }

    bool terminate() override { return runSystemctl({ QStringLiteral("stop"), UnitName }); }

    bool isInstalled() override
    {
        for (const QString &directory : UnitDirectories) {
            if (QFile::exists(directory + QLatin1Char('/') + UnitName))
                return true;
        }
        return false;
    }

    bool isRunning() override
    {
        return runSystemctl({ QStringLiteral("is-active"), QStringLiteral("--quiet"), UnitName }, true);
    }

    QString account() const override { return QStringLiteral("root"); }

    void notifyReady() override { sd_notify(0, "READY=1"); }
    void notifyStopping() override { sd_notify(0, "STOPPING=1"); }
};

} // namespace

ServiceControl *createSystemServiceControl()
{
    return new SystemdControl;
}

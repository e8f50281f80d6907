#include "paths.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

// systemd joins several directories of one kind with ':'; the first is ours.
QString firstEntryOf(const char *variable)
{
    const QString value = qEnvironmentVariable(variable);
    return value.section(QLatin1Char(':'), 0, 0);
}

QString genericDataLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

} // namespace

namespace Paths {

QString stateDirectory()
{
    const QString state = firstEntryOf("STATE_DIRECTORY");
    if (!state.isEmpty())
        return state;
    return genericDataLocation() + QStringLiteral("/Corvane/corvane-service");
}

QString localAppDataDirectory()
{
    const QString state = firstEntryOf("STATE_DIRECTORY");
    return state.isEmpty() ? genericDataLocation() : state;
}

QString runtimeDirectory()
{
    const QString runtime = firstEntryOf("RUNTIME_DIRECTORY");
    return runtime.isEmpty() ? QStringLiteral("/run/corvane-service") : runtime;
}

QString ipcSocketPath()
{
    const QString socket = qEnvironmentVariable("CORVANE_IPC_SOCKET");
    if (!socket.isEmpty())
        return socket;
    return runtimeDirectory() + QStringLiteral("/en-genericipc");
}

void applySettingsOverrides()
{
    const QString systemConfig = qEnvironmentVariable("CORVANE_SYSTEM_CONFIG_DIR");
    if (systemConfig.isEmpty())
        return;
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, systemConfig);
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, systemConfig);
}

} // namespace Paths

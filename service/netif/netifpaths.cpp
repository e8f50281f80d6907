#include "netifpaths.h"

#include "paths.h"

namespace NetifPaths {

namespace {
QString fromEnvironment(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? fallback : value;
}
} // namespace

QString resolvConf()
{
    return fromEnvironment("CORVANE_RESOLV_CONF", QStringLiteral("/etc/resolv.conf"));
}

QString resolvconfProgram()
{
    return fromEnvironment("CORVANE_RESOLVCONF", QStringLiteral("/sbin/resolvconf"));
}

QString resolvconfDirectory()
{
    return fromEnvironment("CORVANE_RESOLVCONF_DIR", QStringLiteral("/run/resolvconf"));
}

QString backupFile()
{
    return Paths::stateDirectory() + QStringLiteral("/dns-backup.ini");
}

QString iniBackendFile()
{
    return fromEnvironment("CORVANE_DNS_BACKEND_INI", Paths::stateDirectory() + QStringLiteral("/adapters.ini"));
}

} // namespace NetifPaths

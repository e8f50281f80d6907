#include "configuration.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString IniGroup = QStringLiteral("global");

// Copies every key of the group, nested groups included, to the same relative place in
// the store, writing only what differs. The keys are taken from the whole file's key list:
// group-relative listings (childGroups(), allKeys() inside beginGroup()) of a freshly
// opened ini file miss the nested groups.
void copyGroup(QSettings &ini, const QString &group, QSettings &store)
{
    const QString prefix = group + QLatin1Char('/');
    const QStringList keys = ini.allKeys();
    for (const QString &key : keys) {
        if (!key.startsWith(prefix))
            continue;
        const QVariant value = ini.value(key);
        const QString storeKey = key.mid(prefix.size());
        if (store.value(storeKey) != value)
            store.setValue(storeKey, value);
    }
}

QString statusText(QSettings::Status status)
{
    return status == QSettings::FormatError ? QStringLiteral("format error")
                                            : QStringLiteral("access denied");
}

} // namespace

namespace Configuration {

QMap<QString, QVariant> defaults()
{
    return {
        { Key::UpstreamAddress, DefaultUpstreamAddress },
        { Key::UpstreamPort, QString::number(DefaultUpstreamPort) },
        { Key::AccountSite, DefaultAccountSite },
        // Ignoring certificate errors would hand the account password (sent in the Basic
        // authorization header) to any machine on the path; a site with its own CA is
        // trusted through "www-ca-file" instead.
        { Key::AccountSiteIgnoreSslErrors, false },
        { Key::AccountSiteCaFile, QString() },
        { Key::SettingsProtected, true },
        { Key::LocalProxyAddress, DefaultLocalProxyAddress },
        { Key::LocalProxyPort, QString::number(DefaultLocalProxyPort) },
    };
}

QString serviceIniPath()
{
    const QString override = qEnvironmentVariable("CORVANE_SERVICE_INI");
    if (!override.isEmpty())
        return override;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/service.ini");
}

bool mergeIni(const QString &iniPath, QSettings &store)
{
    const QFileInfo info(iniPath);
    if (!info.exists())
        return false;
    qWarning("reading service.ini and override settings");
    if (!info.isFile() || !info.isReadable()) {
        qWarning("%s cannot be read; its settings are ignored", qPrintable(iniPath));
        return false;
    }
    QSettings ini(iniPath, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        qWarning("%s cannot be read (%s); its settings are ignored", qPrintable(iniPath),
                qPrintable(statusText(ini.status())));
        return false;
    }
    copyGroup(ini, IniGroup, store);
    return true;
}

void writeDefaults(QSettings &store)
{
    const QMap<QString, QVariant> table = defaults();
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        if (!store.contains(it.key()))
            store.setValue(it.key(), it.value());
    }
    syncAndReport(store);
}

bool syncAndReport(QSettings &store)
{
    store.sync();
    if (store.status() == QSettings::NoError)
        return true;
    qWarning("settings cannot be saved to %s (%s); changes last until the service stops",
            qPrintable(store.fileName()), qPrintable(statusText(store.status())));
    return false;
}

} // namespace Configuration

#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

class QSettings;

// The service's own configuration: the keys that start-up defaults and validates, the
// merge of "service.ini" into the settings store, and the defaults table.
namespace Configuration {

// Keys of the service's settings store.
namespace Key {
inline const QString UpstreamAddress = QStringLiteral("tarnwickproxy-addr");
inline const QString UpstreamPort = QStringLiteral("tarnwickproxy-port");
inline const QString AccountSite = QStringLiteral("www");
inline const QString AccountSiteIgnoreSslErrors = QStringLiteral("www-ignore-ssl-errors");
// A PEM file whose certificates are trusted for the account site besides the system's.
inline const QString AccountSiteCaFile = QStringLiteral("www-ca-file");
inline const QString SettingsProtected = QStringLiteral("settings-protected");
inline const QString LocalProxyAddress = QStringLiteral("localproxy-addr");
inline const QString LocalProxyPort = QStringLiteral("localproxy-port");
// The support report's probe: the name whose TXT answer tells how the filtering resolver
// sees this computer, and the sites ("scheme://host[:port]") whose "/nic/myip" page tells
// the address the account side sees, over plain HTTP and over HTTPS. Read at every report,
// with the defaults below; not written by the service.
inline const QString DiagnosticsProbeHost = QStringLiteral("diag-probe-host");
inline const QString DiagnosticsMyIpHttpSite = QStringLiteral("diag-myip-http");
inline const QString DiagnosticsMyIpHttpsSite = QStringLiteral("diag-myip-https");
} // namespace Key

// The reference stand-ins of the provider that the project bundles listen here; a real
// provider is configured through "service.ini" (see README).
inline const QString DefaultUpstreamAddress = QStringLiteral("127.0.0.1");
constexpr quint16 DefaultUpstreamPort = 1253;
inline const QString DefaultAccountSite = QStringLiteral("https://127.0.0.1:8443");
inline const QString DefaultLocalProxyAddress = QStringLiteral("127.0.0.1");
constexpr quint16 DefaultLocalProxyPort = 53;
// The reference resolver's probe name and the reference account service (its plain HTTP
// side listens where "--listen-http 127.0.0.1:8080" puts it).
inline const QString DefaultDiagnosticsProbeHost = QStringLiteral("probe.corvane.test");
inline const QString DefaultDiagnosticsMyIpHttpSite = QStringLiteral("http://127.0.0.1:8080");
inline const QString DefaultDiagnosticsMyIpHttpsSite = QStringLiteral("https://127.0.0.1:8443");

// The defaults written for missing keys, in key order.
QMap<QString, QVariant> defaults();

// "service.ini" beside the executable, or $CORVANE_SERVICE_INI when set.
QString serviceIniPath();

// Copies the group "global" of the ini file into the store, recursively, writing only
// the values that differ. A missing file is skipped silently; an unreadable or malformed
// one is skipped with a warning. Returns true when the file was merged.
bool mergeIni(const QString &iniPath, QSettings &store);

// Writes every default the store lacks, then syncs; existing values are never touched.
// Warns when the store cannot be written.
void writeDefaults(QSettings &store);

// Syncs the store and warns, naming the file, when it could not be written.
bool syncAndReport(QSettings &store);

} // namespace Configuration

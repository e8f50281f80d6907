#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Keys of the service's settings store used by the account client, the identification and
// the network control, with the formats of their values. The store itself is opened anew
// (a local QSettings) at every use. The start-up keys ("www", proxy endpoints, ...) live in
// configuration.h.
namespace SettingsKeys {

// Account user name: its UTF-8 bytes protected with the description below.
inline const QString User = QStringLiteral("user");
// Account password: its UTF-8 bytes protected with the description below.
inline const QString Password = QStringLiteral("password");
inline const QString UserDescription = QStringLiteral("Tarnwick user");
inline const QString PasswordDescription = QStringLiteral("Tarnwick password");

// This computer's identification token as last received (unsigned, 0 when absent).
inline const QString Token = QStringLiteral("token");
// Name of the profile to select after the next profile list arrives; read once at start-up
// and then overwritten with an empty text.
inline const QString Profile = QStringLiteral("profile");
// Map from account user name to agent uid, in the text form of agentUidsToText().
inline const QString AgentUids = QStringLiteral("agent-uids");
// Dynamic-DNS host name sent with "updateNic"; never written by the service.
inline const QString DdHostname = QStringLiteral("dd-hostname");
inline const QString DefaultDdHostname = QStringLiteral("CorvaneAgent");

// Adapter protection choice and the adapters chosen either way.
inline const QString ProtectNetwork = QStringLiteral("protect-network");
inline const QString ProtectedNetworks = QStringLiteral("protected-networks");
inline const QString UnprotectedNetworks = QStringLiteral("unprotected-networks");

// The DNS server the desktop client shows for its category server (text); the one key a
// desktop client may write with "setSetting".
inline const QString CategoryServer = QStringLiteral("catserv-dns");
// The block page hosts the redirector may send a browser to, with the computer's token:
// host names or ".suffix" entries, as a list (or one text of entries separated by commas).
inline const QString BlockPageHosts = QStringLiteral("blockpage-hosts");
// The hosts of the reference stand-ins' block page.
inline const QStringList DefaultBlockPageHosts = { QStringLiteral("blockpage.corvane.test"),
                                                   QStringLiteral("blockpage-tls.corvane.test") };
// Whether the proxy answers the browsers' encrypted-DNS canary name itself with NXDOMAIN
// (bool, default true), so that browsers keep using the system's DNS and its filter.
inline const QString BrowserCanary = QStringLiteral("browser-doh-canary");

// "user:uid, user2:uid2": entries in ascending key order joined by ", "; empty map, empty
// text.
QString agentUidsToText(const QMap<QString, QString> &agentUids);

// The reverse: parts split at ", " and each part at ':' (empty pieces dropped); the first
// piece is the user name and the second the uid; a later entry for the same user replaces
// an earlier one. A part without a uid is skipped rather than stored with an empty uid,
// since an empty uid would be sent to the account service as this agent's identity.
QMap<QString, QString> agentUidsFromText(const QString &text);

// Keys of the desktop client's machine-wide store that provisioning writes.
// Automatic update checks on (bool).
inline const QString NewVersionChecks = QStringLiteral("new-version-checks");
// True until the desktop client's first start has created its autorun entry (bool).
inline const QString FirstStart = QStringLiteral("firststart");

} // namespace SettingsKeys

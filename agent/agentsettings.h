#pragma once

#include <QString>

// Keys of the desktop client's settings (the user's store, organisation "Corvane",
// application "Agent", with the machine-wide store of the same names as fallback) and the
// keys it reads from or writes to the service.
namespace AgentSettings {

// The user interface's language tag; overrides the system language when present.
inline const QString UiLanguageKey = QStringLiteral("ui-lang");
// True until the first start has created the autorun entry.
inline const QString FirstStartKey = QStringLiteral("firststart");
// Automatic update checks on.
inline const QString NewVersionChecksKey = QStringLiteral("new-version-checks");

// Where the update checker finds "en-generic-agent.version" and "en-generic-agent.deb";
// the default is the reference account service's download folder.
inline const QString UpdateLocationKey = QStringLiteral("update-location");
inline const QString DefaultUpdateLocation = QStringLiteral("https://127.0.0.1:8443/download");
// A PEM file of extra CAs trusted for the update location (the reference stand-ins' CA).
inline const QString UpdateCaFileKey = QStringLiteral("update-ca-file");

// In the service's "setSettings" map and its "setSetting" method.
inline const QString CategoryServerKey = QStringLiteral("catserv-dns");
inline const QString UserMappingStatusKey = QStringLiteral("local_user_to_profile_mapping_status");
inline const QString UserToProfileMapKey = QStringLiteral("user_to_prof_map");

} // namespace AgentSettings

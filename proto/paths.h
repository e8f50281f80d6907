#pragma once

#include "lodestar_export.h"

#include <QString>

// Where the programs keep their files. Every location can be moved with an environment
// variable, so that tests and development runs never touch the machine's real state.
namespace Paths {

// The service's state directory: $STATE_DIRECTORY (set by systemd's StateDirectory=, first
// entry when it lists several), else the user's generic data location followed by
// "/Corvane/corvane-service". Holds the machine key of the data protection.
LODESTAR_EXPORT QString stateDirectory();

// The base under which the account cache lives: $STATE_DIRECTORY, else the user's generic
// data location. The cache itself is "<base>/Corvane/corvane-service/<name>".
LODESTAR_EXPORT QString localAppDataDirectory();

// The service's runtime directory: $RUNTIME_DIRECTORY (systemd's RuntimeDirectory=), else
// "/run/corvane-service".
LODESTAR_EXPORT QString runtimeDirectory();

// Full path of the local socket "en-genericipc": $CORVANE_IPC_SOCKET, else
// runtimeDirectory() + "/en-genericipc". Both programs use this.
LODESTAR_EXPORT QString ipcSocketPath();

// Qt's system-scope settings (the desktop client's machine-wide store, /etc/xdg) ignore
// XDG_CONFIG_DIRS; $CORVANE_SYSTEM_CONFIG_DIR moves them. Call once, before the first
// QSettings is made.
LODESTAR_EXPORT void applySettingsOverrides();

} // namespace Paths

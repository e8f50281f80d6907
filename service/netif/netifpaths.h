#pragma once

#include <QString>

// The files and programs the DNS backends use. Each can be moved with an environment
// variable so that tests and the demonstration never touch the machine (see README).
namespace NetifPaths {

// $CORVANE_RESOLV_CONF, else "/etc/resolv.conf".
QString resolvConf();
// $CORVANE_RESOLVCONF, else "/sbin/resolvconf".
QString resolvconfProgram();
// $CORVANE_RESOLVCONF_DIR, else "/run/resolvconf": resolvconf's run directory, whose
// "interface" folder holds one record per interface.
QString resolvconfDirectory();
// The backends' own backups (the replaced resolv.conf, link settings, records):
// "dns-backup.ini" in the service's state directory ($STATE_DIRECTORY).
QString backupFile();
// $CORVANE_DNS_BACKEND_INI, else "adapters.ini" in the state directory.
QString iniBackendFile();

} // namespace NetifPaths

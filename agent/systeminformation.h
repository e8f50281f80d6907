#pragma once

#include "installedsoftware.h"

#include <QString>
#include <QStringList>

class NetworkConnectionListModel;
class ProfileListModel;

// The lines of the support report that the desktop client knows itself, in this order:
// "Agent: %1", "Version: %1", "Service connection: %1", "Installed software: %1", then,
// while connected, "User is identified: %1", "Protection is turned on: %1",
// "Profiles: %1", "Network connections: %1". A table's line says "no" when the table would
// be empty, else a newline and the table: one row per line, columns separated by " | ",
// a header row first, every column but the last padded to a common width.
namespace SystemInformation {

struct ClientState
{
    QString displayName;
    QString version;
    bool connected = false;
    bool identified = false;
    bool filtering = false;
    QList<InstalledSoftware::Package> software;
    const ProfileListModel *profiles = nullptr;
    const NetworkConnectionListModel *networks = nullptr;
};

QString table(const QStringList &header, const QList<QStringList> &rows);
QString installedSoftwareTable(const QList<InstalledSoftware::Package> &software);
QString profilesTable(const ProfileListModel &profiles);
QString networksTable(const NetworkConnectionListModel &networks);
// Without the service only the first four lines.
QStringList clientLines(const ClientState &state);

} // namespace SystemInformation

#include "systeminformation.h"

#include "networkconnectionlistmodel.h"
#include "profilelistmodel.h"

namespace SystemInformation {

namespace {

QString yesNo(bool on)
{
    return on ? QStringLiteral("yes") : QStringLiteral("no");
}

QString tableValue(const QString &table)
{
    return table.isEmpty() ? QStringLiteral("no") : QLatin1Char('\n') + table;
}

} // namespace

QString table(const QStringList &header, const QList<QStringList> &rows)
{
    if (rows.isEmpty())
        return QString();
    QVector<int> widths(header.size());
    for (int column = 0; column < header.size(); ++column)
        widths[column] = header.at(column).size();
    for (const QStringList &row : rows) {
        for (int column = 0; column < row.size() && column < widths.size(); ++column)
            widths[column] = qMax(widths.at(column), row.at(column).size());
    }
    QList<QStringList> all = {header};
    all += rows;
    QStringList lines;
    for (const QStringList &row : qAsConst(all)) {
        QStringList cells;
        for (int column = 0; column < widths.size(); ++column) {
            const QString cell = column < row.size() ? row.at(column) : QString();
            cells << (column + 1 < widths.size() ? cell.leftJustified(widths.at(column)) : cell);
        }
        lines << cells.join(QStringLiteral(" | "));
    }
    return lines.join(QLatin1Char('\n'));
}

QString installedSoftwareTable(const QList<InstalledSoftware::Package> &software)
{
    QList<QStringList> rows;
    for (const InstalledSoftware::Package &package : software)
        rows << QStringList{package.name, package.version};
    return table({QStringLiteral("Name"), QStringLiteral("Version")}, rows);
}

QString profilesTable(const ProfileListModel &profiles)
{
    QList<QStringList> rows;
    for (int row = 0; row < profiles.rowCount(); ++row) {
        const QModelIndex index = profiles.index(row, ProfileListModel::NameColumn);
        rows << QStringList{yesNo(index.data(ProfileListModel::ActiveRole).toBool()),
                            QString::number(index.data(ProfileListModel::IdRole).toUInt()),
                            yesNo(index.data(ProfileListModel::DefaultRole).toBool()),
                            yesNo(index.data(ProfileListModel::ScheduleEnabledRole).toBool()),
                            yesNo(index.data(ProfileListModel::WhiteListOnlyRole).toBool()),
                            yesNo(index.data(ProfileListModel::BlockUnknownRole).toBool()),
                            yesNo(index.data(ProfileListModel::SafeSearchRole).toBool()),
                            yesNo(index.data(ProfileListModel::SafeYoutubeRole).toBool()),
                            index.data(ProfileListModel::NameRole).toString()};
    }
    return table({QStringLiteral("Active"), QStringLiteral("Id"), QStringLiteral("Default"), QStringLiteral("Schedule"),
                  QStringLiteral("WhiteListOnly"), QStringLiteral("BlockUnknown"), QStringLiteral("SafeSearch"),
                  QStringLiteral("SafeYoutube"), QStringLiteral("Name")},
                 rows);
}

QString networksTable(const NetworkConnectionListModel &networks)
{
    QList<QStringList> rows;
    for (int row = 0; row < networks.rowCount(); ++row) {
        const QModelIndex index = networks.index(row);
        rows << QStringList{index.data(NetworkConnectionListModel::IdRole).toString(),
                            index.data(NetworkConnectionListModel::NameRole).toString(),
                            yesNo(index.data(NetworkConnectionListModel::ProtectedRole).toBool())};
    }
    return table({QStringLiteral("Name"), QStringLiteral("FriendlyName"), QStringLiteral("Protected")}, rows);
}

QStringList clientLines(const ClientState &state)
{
    QStringList lines;
    lines << QStringLiteral("Agent: %1").arg(state.displayName);
    lines << QStringLiteral("Version: %1").arg(state.version);
    lines << QStringLiteral("Service connection: %1").arg(yesNo(state.connected));
    lines << QStringLiteral("Installed software: %1").arg(tableValue(installedSoftwareTable(state.software)));
    if (!state.connected)
        return lines;
    lines << QStringLiteral("User is identified: %1").arg(yesNo(state.identified));
    lines << QStringLiteral("Protection is turned on: %1").arg(yesNo(state.filtering));
    lines << QStringLiteral("Profiles: %1").arg(tableValue(state.profiles ? profilesTable(*state.profiles) : QString()));
    lines << QStringLiteral("Network connections: %1")
                 .arg(tableValue(state.networks ? networksTable(*state.networks) : QString()));
    return lines;
}

} // namespace SystemInformation

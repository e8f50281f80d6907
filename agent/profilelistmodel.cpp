#include "profilelistmodel.h"

#include "statusicons.h"

#include <QColor>
#include <QCoreApplication>

ProfileListModel::ProfileListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int ProfileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_profiles.size();
}

int ProfileListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProfileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_profiles.size())
        return role == IdRole ? QVariant(0u) : QVariant();
    const CabinetProfile &profile = m_profiles.at(index.row());
    const bool active = index.row() == m_activeRow;
    if (index.column() == ActiveColumn) {
        if (role == Qt::DisplayRole)
            return active ? QCoreApplication::translate("Window", "Active") : QString();
        if (role == Qt::ForegroundRole)
            return QColor(89, 178, 89);
        return QVariant();
    }
    if (role == Qt::DecorationRole && index.column() == ConfigureColumn)
        return StatusIcons::controlIcon(StatusIcons::Control::Configure, StatusIcons::ControlState::Idle);
    if (role == Qt::DecorationRole && index.column() == RemoveColumn && !profile.isDefault())
        return StatusIcons::controlIcon(StatusIcons::Control::Remove, StatusIcons::ControlState::Idle);
    if (index.column() != NameColumn)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return profile.name();
    case Qt::CheckStateRole:
        return active ? Qt::Checked : Qt::Unchecked;
    case ActiveRole:
        return active;
    case IdRole:
        return profile.id();
    case DefaultRole:
        return profile.isDefault();
    case ScheduleEnabledRole:
        return profile.isScheduleEnabled();
    case WhiteListOnlyRole:
        return profile.isWhiteListOnlyEnabled();
    case BlockUnknownRole:
        return profile.isBlockUnknownEnabled();
    case SafeSearchRole:
        return profile.isSafeSearchEnabled();
    case SafeYoutubeRole:
        return profile.isSafeYoutubeEnabled();
    default:
        return QVariant();
    }
}

bool ProfileListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != NameColumn || index.row() >= m_profiles.size())
        return false;
    const bool select = (role == ActiveRole && value.toBool())
        || (role == Qt::CheckStateRole && value.toInt() == Qt::Checked);
    if (select) {
        // The check moves only when the service confirms the new active profile.
        if (index.row() != m_activeRow)
            Q_EMIT profileSelected(m_profiles.at(index.row()).id());
        return false;
    }
    if (role >= ScheduleEnabledRole && role <= SafeYoutubeRole)
        return setFlag(index.row(), role, value.toBool());
    return false;
}

bool ProfileListModel::setFlag(int row, int role, bool on)
{
    CabinetProfile &profile = m_profiles[row];
    if (data(index(row, NameColumn), role).toBool() == on)
        return false;
    const quint32 id = profile.id();
    switch (role) {
    case ScheduleEnabledRole:
        profile.setScheduleEnabled(on);
        break;
    case WhiteListOnlyRole:
        profile.setWhiteListOnlyEnabled(on);
        break;
    case BlockUnknownRole:
        profile.setBlockUnknownEnabled(on);
        break;
    case SafeSearchRole:
        profile.setSafeSearchEnabled(on);
        break;
    case SafeYoutubeRole:
        profile.setSafeYoutubeEnabled(on);
        break;
    }
    const QModelIndex cell = index(row, NameColumn);
    Q_EMIT dataChanged(cell, cell, {role});
    switch (role) {
    case ScheduleEnabledRole:
        Q_EMIT scheduleEnabled(id, on);
        break;
    case WhiteListOnlyRole:
        Q_EMIT whiteListOnlyEnabled(id, on);
        break;
    case BlockUnknownRole:
        Q_EMIT blockUnknownEnabled(id, on);
        break;
    case SafeSearchRole:
        Q_EMIT safeSearchEnabled(id, on);
        break;
    case SafeYoutubeRole:
        Q_EMIT safeYoutubeEnabled(id, on);
        break;
    }
    return true;
}

Qt::ItemFlags ProfileListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.column() == NameColumn)
        return Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (index.column() == RemoveColumn && data(this->index(index.row(), NameColumn), DefaultRole).toBool())
        return Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

bool ProfileListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row + count > m_profiles.size())
        return false;
    for (int i = row; i < row + count; ++i) {
        if (m_profiles.at(i).isDefault())
            return false;
    }
    QList<quint32> removed;
    const bool activeRemoved = m_activeRow >= row && m_activeRow < row + count;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    for (int i = 0; i < count; ++i)
        removed << m_profiles.takeAt(row).id();
    if (m_activeRow >= row + count)
        m_activeRow -= count;
    else if (m_activeRow >= row)
        m_activeRow = -1;
    endRemoveRows();
    for (quint32 id : qAsConst(removed))
        Q_EMIT profileRemoved(id);
    if (activeRemoved)
        Q_EMIT activeProfileChanged();
    return true;
}

void ProfileListModel::setProfiles(const CabinetProfileList &profiles, quint32 activeId)
{
    beginResetModel();
    m_profiles = profiles;
    m_activeRow = rowOf(activeId);
    endResetModel();
    Q_EMIT activeProfileChanged();
}

void ProfileListModel::setActiveProfile(quint32 id)
{
    const int row = rowOf(id);
    if (row == m_activeRow)
        return;
    const int previous = m_activeRow;
    m_activeRow = row;
    for (int changed : {previous, row}) {
        if (changed >= 0)
            Q_EMIT dataChanged(index(changed, NameColumn), index(changed, ActiveColumn));
    }
    Q_EMIT activeProfileChanged();
}

void ProfileListModel::clear()
{
    setProfiles(CabinetProfileList(), 0);
}

QString ProfileListModel::activeProfileName() const
{
    return m_activeRow >= 0 ? m_profiles.at(m_activeRow).name() : QString();
}

int ProfileListModel::rowOf(quint32 id) const
{
    for (int row = 0; row < m_profiles.size(); ++row) {
        if (m_profiles.at(row).id() == id)
            return row;
    }
    return -1;
}

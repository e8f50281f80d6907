#include "userprofilemappingmodel.h"

#include "statusicons.h"

UserProfileMappingModel::UserProfileMappingModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int UserProfileMappingModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int UserProfileMappingModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant UserProfileMappingModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    if (role == Qt::DecorationRole && index.column() == RemoveColumn)
        return StatusIcons::controlIcon(StatusIcons::Control::Remove, StatusIcons::ControlState::Idle);
    if (role != Qt::DisplayRole)
        return QVariant();
    if (index.column() == UserColumn)
        return m_rows.at(index.row()).first;
    if (index.column() == ProfileColumn)
        return m_rows.at(index.row()).second;
    return QVariant();
}

QVariant UserProfileMappingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    if (section == UserColumn)
        return tr("Local user");
    if (section == ProfileColumn)
        return tr("Profile");
    return QVariant();
}

Qt::ItemFlags UserProfileMappingModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

bool UserProfileMappingModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row + count > m_rows.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
    endRemoveRows();
    Q_EMIT mappingChanged(mapping());
    return true;
}

void UserProfileMappingModel::setMapping(const QVariantMap &map)
{
    beginResetModel();
    m_rows.clear();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (!it.key().isEmpty())
            m_rows.append(qMakePair(it.key(), it.value().toString()));
    }
    endResetModel();
}

QVariantMap UserProfileMappingModel::mapping() const
{
    QVariantMap map;
    for (const auto &row : m_rows)
        map.insert(row.first, row.second);
    return map;
}

bool UserProfileMappingModel::addMapping(const QString &user, const QString &profile)
{
    if (user.isEmpty() || profile.isEmpty())
        return false;
    // Rows stay in the map's order (by user name), as the service's map gives them.
    int row = 0;
    for (; row < m_rows.size(); ++row) {
        if (m_rows.at(row).first == user)
            return false;
        if (m_rows.at(row).first > user)
            break;
    }
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(row, qMakePair(user, profile));
    endInsertRows();
    Q_EMIT mappingChanged(mapping());
    return true;
}

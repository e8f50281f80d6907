#include "userprofilemappingmodel.h"

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
    return parent.isValid() ? 0 : 3;
}

QVariant UserProfileMappingModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || role != Qt::DisplayRole)
        return QVariant();
    if (index.column() == 0)
        return m_rows.at(index.row()).first;
    if (index.column() == 1)
        return m_rows.at(index.row()).second;
    return QVariant();
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

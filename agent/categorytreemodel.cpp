#include "categorytreemodel.h"

CategoryTreeModel::CategoryTreeModel(QObject *parent)
    : QAbstractItemModel(parent)
{
}

QModelIndex CategoryTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    if (!parent.isValid())
        return createIndex(row, column, quintptr(0));
    return createIndex(row, column, quintptr(parent.row() + 1));
}

QModelIndex CategoryTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return QModelIndex();
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int CategoryTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return m_groups.size();
    if (parent.internalId() != 0 || parent.column() != 0 || parent.row() >= m_groups.size())
        return 0;
    return (m_groups.at(parent.row()).categories().size() + 1) / 2;
}

int CategoryTreeModel::columnCount(const QModelIndex &) const
{
    return 2;
}

const CabinetCategory *CategoryTreeModel::category(const QModelIndex &index) const
{
    const int group = int(index.internalId()) - 1;
    if (group < 0 || group >= m_groups.size())
        return nullptr;
    const QList<CabinetCategory> &categories = m_groups.at(group).categories();
    const int position = index.row() * 2 + index.column();
    return position < categories.size() ? &categories.at(position) : nullptr;
}

Qt::CheckState CategoryTreeModel::groupState(int group) const
{
    const CabinetUserFilter blocked = m_blocked.value(m_chosenProfile);
    int count = 0;
    const QList<CabinetCategory> categories = m_groups.at(group).categories();
    for (const CabinetCategory &category : categories)
        count += blocked.contains(quint8(category.id())) ? 1 : 0;
    if (count == 0)
        return Qt::Unchecked;
    return count == categories.size() ? Qt::Checked : Qt::PartiallyChecked;
}

QVariant CategoryTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (index.internalId() == 0) {
        if (index.column() != 0 || index.row() >= m_groups.size())
            return QVariant();
        if (role == Qt::DisplayRole)
            return m_groups.at(index.row()).name();
        if (role == Qt::CheckStateRole)
            return groupState(index.row());
        return QVariant();
    }
    const CabinetCategory *item = category(index);
    if (!item)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return item->name();
    case Qt::CheckStateRole:
        return m_blocked.value(m_chosenProfile).contains(quint8(item->id())) ? Qt::Checked : Qt::Unchecked;
    case CategoryIdRole:
        return item->id();
    default:
        return QVariant();
    }
}

void CategoryTreeModel::setGroups(const CabinetCategoryGroupList &groups)
{
    beginResetModel();
    m_groups = groups;
    endResetModel();
}

void CategoryTreeModel::setBlockedCategories(quint32 profileId, const CabinetUserFilter &blocked)
{
    const bool shown = profileId == m_chosenProfile;
    if (shown)
        beginResetModel();
    m_blocked.insert(profileId, blocked);
    if (shown)
        endResetModel();
}

void CategoryTreeModel::setChosenProfile(uint profileId)
{
    if (profileId == m_chosenProfile)
        return;
    beginResetModel();
    m_chosenProfile = profileId;
    endResetModel();
}

#include "categorytreemodel.h"

#include <QFont>

const char *const CategoryTreeModel::GroupFontFamily = "Segoe UI";

namespace {

// A user filter holds ids from 1 to 255; a category id outside that range is never blocked.
bool isBlocked(const CabinetUserFilter &set, quint32 id)
{
    return id >= 1 && id <= 255 && set.contains(quint8(id));
}

} // namespace

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
        count += isBlocked(blocked, category.id()) ? 1 : 0;
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
        if (role == Qt::FontRole) {
            QFont font;
            font.setFamilies({QLatin1String(GroupFontFamily), font.defaultFamily()});
            font.setPointSize(GroupFontPointSize);
            return font;
        }
        return QVariant();
    }
    const CabinetCategory *item = category(index);
    if (!item)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return item->name();
    case Qt::ToolTipRole:
        return item->description();
    case Qt::CheckStateRole:
        return isBlocked(m_blocked.value(m_chosenProfile), item->id()) ? Qt::Checked : Qt::Unchecked;
    case CategoryIdRole:
        return item->id();
    default:
        return QVariant();
    }
}

Qt::ItemFlags CategoryTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const bool isGroup = index.internalId() == 0;
    if ((isGroup && index.column() != 0) || (!isGroup && !category(index)))
        return Qt::ItemNeverHasChildren;
    Qt::ItemFlags flags = Qt::ItemIsUserCheckable;
    if (!isGroup)
        flags |= Qt::ItemNeverHasChildren;
    // Without the chosen profile's set a check would only show a guess.
    if (m_editable && m_blocked.contains(m_chosenProfile))
        flags |= Qt::ItemIsEnabled;
    return flags;
}

bool CategoryTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsEnabled))
        return false;
    // A partially checked group blocks everything on the next click.
    const bool blocked = value.toInt() != Qt::Unchecked;
    if (index.internalId() != 0) {
        const CabinetCategory *item = category(index);
        if (!item || !setBlocked(*item, blocked))
            return false;
        Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
        groupChanged(int(index.internalId()) - 1);
        return true;
    }
    bool changed = false;
    const QList<CabinetCategory> categories = m_groups.at(index.row()).categories();
    for (const CabinetCategory &item : categories)
        changed = setBlocked(item, blocked) || changed;
    if (!changed)
        return false;
    const int rows = rowCount(index);
    if (rows > 0)
        Q_EMIT dataChanged(this->index(0, 0, index), this->index(rows - 1, 1, index), {Qt::CheckStateRole});
    groupChanged(index.row());
    return true;
}

bool CategoryTreeModel::setBlocked(const CabinetCategory &category, bool blocked)
{
    CabinetUserFilter &set = m_blocked[m_chosenProfile];
    if (category.id() < 1 || category.id() > 255 || isBlocked(set, category.id()) == blocked)
        return false;
    if (blocked)
        set.insert(quint8(category.id()));
    else
        set.remove(quint8(category.id()));
    Q_EMIT categoryBlocked(m_chosenProfile, category.id(), blocked);
    return true;
}

void CategoryTreeModel::groupChanged(int group)
{
    const QModelIndex cell = index(group, 0);
    Q_EMIT dataChanged(cell, cell, {Qt::CheckStateRole});
}

bool CategoryTreeModel::canFetchMore(const QModelIndex &parent) const
{
    // Nothing is fetched before a profile is chosen: a view that is not shown yet lays
    // itself out too, and would ask for the categories at start.
    if (parent.isValid() || m_chosenProfile == 0)
        return false;
    if (!m_groupsLoaded && !m_groupsRequested && !m_groupsFailed)
        return true;
    return !m_blocked.contains(m_chosenProfile) && !m_blockedRequested.contains(m_chosenProfile)
        && !m_blockedFailed.contains(m_chosenProfile);
}

void CategoryTreeModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    if (!m_groupsLoaded && !m_groupsRequested && !m_groupsFailed) {
        m_groupsRequested = true;
        Q_EMIT categoriesRequested();
    }
    const quint32 profile = m_chosenProfile;
    if (profile != 0 && !m_blocked.contains(profile) && !m_blockedRequested.contains(profile)
        && !m_blockedFailed.contains(profile)) {
        m_blockedRequested.insert(profile);
        Q_EMIT blockedCategoriesRequested(profile);
    }
}

void CategoryTreeModel::setGroups(const CabinetCategoryGroupList &groups)
{
    beginResetModel();
    m_groups = groups;
    m_groupsLoaded = true;
    m_groupsRequested = false;
    endResetModel();
}

void CategoryTreeModel::setBlockedCategories(quint32 profileId, const CabinetUserFilter &blocked)
{
    const bool shown = profileId == m_chosenProfile;
    if (shown)
        beginResetModel();
    m_blocked.insert(profileId, blocked);
    m_blockedRequested.remove(profileId);
    if (shown)
        endResetModel();
}

void CategoryTreeModel::requestFailed(quint32 profileId)
{
    if (profileId == 0) {
        m_groupsRequested = false;
        m_groupsFailed = true;
    } else {
        m_blockedRequested.remove(profileId);
        m_blockedFailed.insert(profileId);
    }
}

void CategoryTreeModel::retryFailed()
{
    m_groupsFailed = false;
    m_blockedFailed.clear();
}

void CategoryTreeModel::setChosenProfile(uint profileId)
{
    if (profileId == m_chosenProfile)
        return;
    beginResetModel();
    m_chosenProfile = profileId;
    endResetModel();
}

void CategoryTreeModel::setEditable(bool editable)
{
    if (editable == m_editable)
        return;
    // Every item's enabled flag changes; a reset makes the views ask again.
    beginResetModel();
    m_editable = editable;
    endResetModel();
}

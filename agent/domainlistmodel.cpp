#include "domainlistmodel.h"

#include "statusicons.h"

DomainListModel::DomainListModel(CabinetDomain::Type type, QObject *parent)
    : QAbstractTableModel(parent)
    , m_type(type)
{
}

int DomainListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_lists.value(m_chosenProfile).size();
}

int DomainListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : removeColumn() + 1;
}

QVariant DomainListModel::data(const QModelIndex &index, int role) const
{
    const auto list = m_lists.constFind(m_chosenProfile);
    if (!index.isValid() || list == m_lists.constEnd() || index.row() >= list->size())
        return QVariant();
    const CabinetDomain &entry = list->at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == 0)
            return entry.domain();
        if (index.column() == 1 && m_type == CabinetDomain::AliasList)
            return entry.ip().toString();
        return QVariant();
    case Qt::DecorationRole:
        if (index.column() == removeColumn())
            return StatusIcons::controlIcon(StatusIcons::Control::Remove, StatusIcons::ControlState::Idle);
        return QVariant();
    case IdRole:
        return entry.id();
    case DomainRole:
        return entry.domain();
    case AddressRole:
        return entry.ip().toString();
    default:
        return QVariant();
    }
}

Qt::ItemFlags DomainListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

bool DomainListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    auto list = m_lists.find(m_chosenProfile);
    if (parent.isValid() || list == m_lists.end() || row < 0 || count < 1 || row + count > list->size())
        return false;
    const quint32 profile = m_chosenProfile;
    QList<quint32> removed;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    for (int i = 0; i < count; ++i)
        removed << list->takeAt(row).id();
    endRemoveRows();
    for (quint32 id : qAsConst(removed))
        emitRemoved(profile, id);
    return true;
}

void DomainListModel::emitRemoved(quint32 profileId, quint32 entryId)
{
    Q_EMIT domainRemoved(profileId, entryId);
}

bool DomainListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_chosenProfile != 0 && !m_lists.contains(m_chosenProfile)
        && !m_requested.contains(m_chosenProfile) && !m_failed.contains(m_chosenProfile);
}

void DomainListModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    m_requested.insert(m_chosenProfile);
    Q_EMIT listRequested(m_chosenProfile);
}

void DomainListModel::setChosenProfile(uint profileId)
{
    if (profileId == m_chosenProfile)
        return;
    beginResetModel();
    m_chosenProfile = profileId;
    endResetModel();
}

void DomainListModel::setList(quint32 profileId, const CabinetDomains &domains)
{
    const bool shown = profileId == m_chosenProfile;
    if (shown)
        beginResetModel();
    m_lists.insert(profileId, domains);
    m_requested.remove(profileId);
    if (shown)
        endResetModel();
}

void DomainListModel::addEntry(quint32 profileId, const CabinetDomain &entry)
{
    auto list = m_lists.find(profileId);
    if (list == m_lists.end() || entry.id() == 0)
        return;
    for (const CabinetDomain &known : qAsConst(*list)) {
        if (known.id() == entry.id())
            return;
    }
    const bool shown = profileId == m_chosenProfile;
    if (shown)
        beginInsertRows(QModelIndex(), list->size(), list->size());
    list->append(entry);
    if (shown)
        endInsertRows();
}

void DomainListModel::requestFailed(quint32 profileId)
{
    m_requested.remove(profileId);
    m_failed.insert(profileId);
}

void DomainListModel::clear()
{
    beginResetModel();
    m_lists.clear();
    m_requested.clear();
    m_failed.clear();
    endResetModel();
}

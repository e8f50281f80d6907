#include "domainlistmodel.h"

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
    if (parent.isValid())
        return 0;
    return m_type == CabinetDomain::AliasList ? 3 : 2;
}

QVariant DomainListModel::data(const QModelIndex &index, int role) const
{
    const CabinetDomains domains = m_lists.value(m_chosenProfile);
    if (!index.isValid() || index.row() >= domains.size())
        return QVariant();
    const CabinetDomain &entry = domains.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == 0)
            return entry.domain();
        if (index.column() == 1 && m_type == CabinetDomain::AliasList)
            return entry.ip().toString();
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
    if (shown)
        endResetModel();
}

void DomainListModel::clear()
{
    beginResetModel();
    m_lists.clear();
    endResetModel();
}

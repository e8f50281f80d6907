#include "networkconnectionlistmodel.h"

#include "networks.h"

NetworkConnectionListModel::NetworkConnectionListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

int NetworkConnectionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_connections.size();
}

QVariant NetworkConnectionListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_connections.size())
        return QVariant();
    const Connection &connection = m_connections.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return connection.name;
    case Qt::CheckStateRole:
        return connection.isProtected ? Qt::Checked : Qt::Unchecked;
    case ProtectedRole:
        return connection.isProtected;
    case IdRole:
        return connection.id;
    default:
        return QVariant();
    }
}

bool NetworkConnectionListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_connections.size() || role != Qt::CheckStateRole)
        return false;
    Connection &connection = m_connections[index.row()];
    const bool on = value.toInt() == Qt::Checked;
    if (connection.isProtected == on)
        return false;
    connection.isProtected = on;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    // The service finds the adapter by its identifier; the display name is only what the
    // user reads (and two connections may share it).
    Q_EMIT protectionStateChanged(connection.id.isEmpty() ? connection.name : connection.id, on);
    return true;
}

Qt::ItemFlags NetworkConnectionListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void NetworkConnectionListModel::setNetworks(const QVariantList &networks)
{
    beginResetModel();
    m_connections.clear();
    for (const QVariant &item : networks) {
        const QVariantMap map = item.toMap();
        Connection connection;
        connection.id = map.value(Network::IdKey).toString();
        connection.name = map.value(Network::NameKey).toString();
        connection.isProtected = map.value(Network::ProtectedKey).toBool();
        if (!connection.name.isEmpty())
            m_connections.append(connection);
    }
    endResetModel();
}

void NetworkConnectionListModel::setNetworkProtection(const QString &name, bool on)
{
    for (int row = 0; row < m_connections.size(); ++row) {
        const Connection &connection = m_connections.at(row);
        if ((connection.id != name && connection.name != name) || connection.isProtected == on)
            continue;
        m_connections[row].isProtected = on;
        Q_EMIT dataChanged(index(row), index(row), {Qt::CheckStateRole, ProtectedRole});
    }
}

bool NetworkConnectionListModel::hasProtectedConnection() const
{
    for (const Connection &connection : m_connections) {
        if (connection.isProtected)
            return true;
    }
    return false;
}

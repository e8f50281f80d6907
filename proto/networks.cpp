#include "networks.h"

#include "recordreader_p.h"

#include <QStringList>
#include <QVariantMap>

using namespace RecordReader;

const QString Network::IdKey = QStringLiteral("id");
const QString Network::NameKey = QStringLiteral("name");
const QString Network::ProtectedKey = QStringLiteral("protected");

bool Network::fromVariant(const QVariant &value)
{
    if (!isMap(value))
        return false;
    const QVariantMap map = value.toMap();
    readWithDefault(readString, map, IdKey, &m_id, QString());
    readWithDefault(readString, map, NameKey, &m_name, QString());
    readWithDefault(readBool, map, ProtectedKey, &m_protected, false);
    return !m_id.isEmpty() && !m_name.isEmpty();
}

QVariant Network::toVariant() const
{
    QVariantMap map;
    map.insert(IdKey, m_id);
    map.insert(NameKey, m_name);
    map.insert(ProtectedKey, m_protected);
    return map;
}

QString Network::toString() const
{
    return QLatin1Char('<')
            + QStringLiteral("id: %1 name: %2 protected: %3").arg(m_id, m_name, yesNo(m_protected))
            + QLatin1Char('>');
}

bool Network::operator==(const Network &other) const
{
    return m_id == other.m_id && m_name == other.m_name && m_protected == other.m_protected;
}

const QString NetworksInfo::NetworksKey = QStringLiteral("networks");
const QString NetworksInfo::DefaultRouteIdKey = QStringLiteral("defaultRouteId");

bool NetworksInfo::fromVariant(const QVariant &value)
{
    if (!isMap(value))
        return false;
    const QVariantMap map = value.toMap();
    const QVariant defaultRoute = map.value(DefaultRouteIdKey);
    if (!defaultRoute.isNull() && defaultRoute.userType() != QMetaType::QString)
        return false;
    m_defaultRouteId = defaultRoute.toString();
    const bool networksRead = readList(map.value(NetworksKey), &m_networks,
                                       [](const QVariant &item, Network *network) {
                                           return network->fromVariant(item);
                                       });
    if (!networksRead)
        return false;
    if (m_defaultRouteId.isEmpty())
        return true;
    for (const Network &network : qAsConst(m_networks)) {
        if (network.id() == m_defaultRouteId)
            return true;
    }
    return false;
}

QVariant NetworksInfo::toVariant() const
{
    QVariantList networks;
    networks.reserve(m_networks.size());
    for (const Network &network : m_networks)
        networks.append(network.toVariant());
    QVariantMap map;
    map.insert(NetworksKey, networks);
    map.insert(DefaultRouteIdKey, m_defaultRouteId);
    return map;
}

bool NetworksInfo::setNetworkProtection(const QString &id, bool on)
{
    for (Network &network : m_networks) {
        if (network.id() == id) {
            network.setProtected(on);
            return true;
        }
    }
    return false;
}

QString NetworksInfo::toString() const
{
    QStringList networks;
    networks.reserve(m_networks.size());
    for (const Network &network : m_networks)
        networks.append(network.toString());
    return QStringLiteral("NetworksInfo: active: %1 networks: %2 ")
            .arg(m_defaultRouteId, networks.join(QStringLiteral(", ")));
}

bool NetworksInfo::operator==(const NetworksInfo &other) const
{
    return m_defaultRouteId == other.m_defaultRouteId && m_networks == other.m_networks;
}

#include "servicestate.h"

#include "cabinetuserfilter.h"

#include <cmath>

namespace {

// Keys of the "setSettings" map.
const QString LocalProxyKey = QStringLiteral("localproxy-addr");
const QString UserMappingKey = QStringLiteral("local_user_to_profile_mapping_status");
const QString UserToProfileMapKey = QStringLiteral("user_to_prof_map");

::Error malformed(const QString &reason)
{
    return ::Error(ServiceState::MalformedCode, reason);
}

quint64 domainsKey(quint32 profileId, int type)
{
    return quint64(profileId) << 2 | quint64(type);
}

bool isMap(const QVariant &value)
{
    return value.userType() == QMetaType::QVariantMap;
}

} // namespace

bool WireValue::isBool(const QVariant &value)
{
    return value.userType() == QMetaType::Bool;
}

bool WireValue::isText(const QVariant &value)
{
    return value.userType() == QMetaType::QString;
}

bool WireValue::toUnsigned(const QVariant &value, quint32 *result)
{
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const bool isSigned = value.userType() == QMetaType::Int || value.userType() == QMetaType::LongLong;
        if (isSigned && value.toLongLong() < 0)
            return false;
        const quint64 number = value.toULongLong();
        if (number > 0xffffffffu)
            return false;
        *result = quint32(number);
        return true;
    }
    case QMetaType::Double: {
        const double number = value.toDouble();
        if (!std::isfinite(number) || number < 0 || number > 4294967295.0 || std::floor(number) != number)
            return false;
        *result = quint32(number);
        return true;
    }
    default:
        return false;
    }
}

bool WireValue::isErrorResult(const QVariant &result, ::Error *error)
{
    ::Error read;
    if (!isMap(result) || !read.fromVariant(result) || !read.isError())
        return false;
    *error = read;
    return true;
}

const ServiceState::Method ServiceState::s_methods[] = {
    {"setSettings", 1, &ServiceState::applySettings},
    {"setNetworks", 1, &ServiceState::applyNetworks},
    {"setCredentials", 2, &ServiceState::applyCredentials},
    {"setSettingsLocked", 1, &ServiceState::applySettingsLocked},
    {"setGlobalFiltering", 1, &ServiceState::applyGlobalFiltering},
    {"setUserInfo", 1, &ServiceState::applyUserInfo},
    {"setProfiles", 2, &ServiceState::applyProfiles},
    {"setProfileScheduleActivity", 2, &ServiceState::applyScheduleActivity},
    {"setSelectedProfile", 1, &ServiceState::applySelectedProfile},
    {"setUserFilter", 2, &ServiceState::applyUserFilter},
    {"setDomains", 3, &ServiceState::applyDomains},
    {"setNetworkProtection", 2, &ServiceState::applyNetworkProtection},
    {"setUserToProfMap", 1, &ServiceState::applyUserToProfMap},
    {"setIdentification", 2, &ServiceState::applyIdentification},
    {"setIdentificationError", 2, &ServiceState::applyIdentificationError},
};

::Error ServiceState::apply(const QString &method, const QVariantList &params)
{
    for (const Method &entry : s_methods) {
        if (method != QLatin1String(entry.name))
            continue;
        if (params.size() != entry.parameters)
            return malformed(QStringLiteral("%1 parameters instead of %2").arg(params.size()).arg(entry.parameters));
        return (this->*entry.handler)(params);
    }
    return malformed(QStringLiteral("not a notification of the service"));
}

::Error ServiceState::applySettings(const QVariantList &params)
{
    const QVariantMap map = params.at(0).toMap();
    if (!isMap(params.at(0)))
        return malformed(QStringLiteral("the settings are not a map"));
    const QVariant proxy = map.value(LocalProxyKey);
    const QVariant mapping = map.value(UserMappingKey);
    const QVariant users = map.value(UserToProfileMapKey);
    if ((proxy.isValid() && !WireValue::isText(proxy)) || (mapping.isValid() && !WireValue::isBool(mapping))
        || (users.isValid() && !isMap(users)))
        return malformed(QStringLiteral("a setting has the wrong type"));
    if (proxy.isValid())
        localProxy = proxy.toString();
    if (mapping.isValid())
        userMapping = mapping.toBool();
    if (users.isValid())
        userToProfileMap = users.toMap();
    return ::Error();
}

// Stricter than NetworksInfo::fromVariant on one point and more lenient on another: a
// network without id or name is refused, while a default route naming no listed network
// only means that none is marked.
::Error ServiceState::applyNetworks(const QVariantList &params)
{
    const QVariantMap map = params.at(0).toMap();
    const QVariant list = map.value(NetworksInfo::NetworksKey);
    const QVariant route = map.value(NetworksInfo::DefaultRouteIdKey);
    if (!isMap(params.at(0)) || list.userType() != QMetaType::QVariantList)
        return malformed(QStringLiteral("the networks are not a map with a list"));
    if (route.isValid() && !route.isNull() && !WireValue::isText(route))
        return malformed(QStringLiteral("the default route id is not a text"));
    QList<Network> read;
    for (const QVariant &item : list.toList()) {
        Network network;
        if (!network.fromVariant(item) || !WireValue::isBool(item.toMap().value(Network::ProtectedKey)))
            return malformed(QStringLiteral("network %1 does not read").arg(read.size() + 1));
        read.append(network);
    }
    networks = read;
    defaultRouteId = route.toString();
    networksKnown = true;
    return ::Error();
}

::Error ServiceState::applyCredentials(const QVariantList &params)
{
    // The password (second parameter) is never kept.
    const QVariant &user = params.at(0);
    if (!user.isNull() && !WireValue::isText(user))
        return malformed(QStringLiteral("the login is not a text"));
    login = user.toString();
    return ::Error();
}

::Error ServiceState::applySettingsLocked(const QVariantList &params)
{
    if (!WireValue::isBool(params.at(0)))
        return malformed(QStringLiteral("the lock state is not a boolean"));
    settingsLocked = params.at(0).toBool();
    return ::Error();
}

::Error ServiceState::applyGlobalFiltering(const QVariantList &params)
{
    if (!WireValue::isBool(params.at(0)))
        return malformed(QStringLiteral("the filtering state is not a boolean"));
    filtering = params.at(0).toBool();
    return ::Error();
}

::Error ServiceState::applyUserInfo(const QVariantList &params)
{
    CabinetUserInfo info;
    if (!info.fromVariant(params.at(0)))
        return malformed(QStringLiteral("the user information does not read"));
    userInfo = info;
    return ::Error();
}

::Error ServiceState::applyProfiles(const QVariantList &params)
{
    CabinetProfileList list;
    quint32 current = 0;
    if (!list.fromVariant(params.at(0)))
        return malformed(QStringLiteral("the profile list does not read"));
    if (!WireValue::toUnsigned(params.at(1), &current))
        return malformed(QStringLiteral("the current profile id is not an unsigned number"));
    profiles = list;
    listCurrentProfileId = current;
    profilesKnown = true;
    return ::Error();
}

::Error ServiceState::applyScheduleActivity(const QVariantList &params)
{
    quint32 id = 0;
    if (!WireValue::toUnsigned(params.at(0), &id) || !WireValue::isBool(params.at(1)))
        return malformed(QStringLiteral("expected a profile id and a boolean"));
    return ::Error();
}

::Error ServiceState::applySelectedProfile(const QVariantList &params)
{
    quint32 id = 0;
    if (!WireValue::toUnsigned(params.at(0), &id))
        return malformed(QStringLiteral("the profile id is not an unsigned number"));
    announcedSelectedProfileId = id;
    return ::Error();
}

::Error ServiceState::applyUserFilter(const QVariantList &params)
{
    quint32 id = 0;
    CabinetUserFilter filter;
    if (!WireValue::toUnsigned(params.at(0), &id) || !filter.fromVariant(params.at(1)))
        return malformed(QStringLiteral("expected a profile id and a list of category ids"));
    return ::Error();
}

::Error ServiceState::applyDomains(const QVariantList &params)
{
    quint32 id = 0;
    quint32 type = 0;
    if (!WireValue::toUnsigned(params.at(0), &id) || !WireValue::toUnsigned(params.at(1), &type) || type > 2)
        return malformed(QStringLiteral("expected a profile id and a list type from 0 to 2"));
    CabinetDomains list;
    if (!list.fromVariant(params.at(2), CabinetDomain::Type(type)))
        return malformed(QStringLiteral("the domain list does not read"));
    m_domains.insert(domainsKey(id, int(type)), list);
    return ::Error();
}

::Error ServiceState::applyNetworkProtection(const QVariantList &params)
{
    if (!WireValue::isText(params.at(0)) || !WireValue::isBool(params.at(1)))
        return malformed(QStringLiteral("expected a network name and a boolean"));
    for (Network &network : networks) {
        if (network.id() == params.at(0).toString() || network.name() == params.at(0).toString()) {
            network.setProtected(params.at(1).toBool());
            break;
        }
    }
    return ::Error();
}

::Error ServiceState::applyUserToProfMap(const QVariantList &params)
{
    if (!isMap(params.at(0)))
        return malformed(QStringLiteral("the user to profile map is not a map"));
    userToProfileMap = params.at(0).toMap();
    return ::Error();
}

::Error ServiceState::applyIdentification(const QVariantList &params)
{
    quint32 type = 0;
    if (!WireValue::toUnsigned(params.at(0), &type) || type > 1)
        return malformed(QStringLiteral("the identification type is neither 0 nor 1"));
    Identification read;
    read.state = Identification::Identified;
    read.type = type;
    if (type == 1 && !WireValue::toUnsigned(params.at(1), &read.profileId))
        return malformed(QStringLiteral("the profile id is not an unsigned number"));
    if (type == 0 && !WireValue::isText(params.at(1)))
        return malformed(QStringLiteral("the address is not a text"));
    read.address = type == 0 ? params.at(1).toString() : QString();
    identification = read;
    return ::Error();
}

::Error ServiceState::applyIdentificationError(const QVariantList &params)
{
    quint32 type = 0;
    Identification read;
    if (!WireValue::toUnsigned(params.at(0), &type) || !read.error.fromVariant(params.at(1)))
        return malformed(QStringLiteral("expected a type and an error map"));
    read.state = Identification::Failed;
    read.type = type;
    identification = read;
    return ::Error();
}

ServiceState::Summary ServiceState::summary() const
{
    if (identification.state == Identification::Failed)
        return Summary::IdentificationFailed;
    if (identification.state == Identification::Waiting)
        return Summary::Waiting;
    if (networks.isEmpty())
        return Summary::NoNetwork;
    bool anyProtected = false;
    for (const Network &network : networks)
        anyProtected = anyProtected || network.isProtected();
    if (!anyProtected)
        return Summary::NoProtectedNetwork;
    return filtering.value_or(false) ? Summary::Filtering : Summary::Off;
}

QString ServiceState::summaryKey(Summary summary)
{
    switch (summary) {
    case Summary::Filtering:
        return QStringLiteral("filtering");
    case Summary::Off:
        return QStringLiteral("off");
    case Summary::NoProtectedNetwork:
        return QStringLiteral("no-protected-network");
    case Summary::NoNetwork:
        return QStringLiteral("no-network");
    case Summary::IdentificationFailed:
        return QStringLiteral("identification-failed");
    case Summary::Waiting:
        return QStringLiteral("waiting");
    }
    return QString();
}

QString ServiceState::summaryTitle(Summary summary)
{
    switch (summary) {
    case Summary::Filtering:
        return QStringLiteral("The internet is under control");
    case Summary::Off:
        return QStringLiteral("Filtering is turned off");
    case Summary::NoProtectedNetwork:
        return QStringLiteral("Filtering is disabled: no network connection is protected");
    case Summary::NoNetwork:
        return QStringLiteral("Filtering is disabled: no network connection is known");
    case Summary::IdentificationFailed:
        return QStringLiteral("Identification failed");
    case Summary::Waiting:
        return QStringLiteral("The service has not identified this computer yet");
    }
    return QString();
}

const CabinetProfile *ServiceState::profile(quint32 id) const
{
    for (const CabinetProfile &entry : profiles) {
        if (entry.id() == id)
            return &entry;
    }
    return nullptr;
}

const CabinetProfile *ServiceState::findProfile(const QString &nameOrId) const
{
    for (const CabinetProfile &entry : profiles) {
        if (entry.name() == nameOrId)
            return &entry;
    }
    bool isNumber = false;
    const quint32 id = nameOrId.toUInt(&isNumber);
    return isNumber ? profile(id) : nullptr;
}

const Network *ServiceState::findNetwork(const QString &idOrName) const
{
    for (const Network &network : networks) {
        if (network.id() == idOrName)
            return &network;
    }
    for (const Network &network : networks) {
        if (network.name() == idOrName)
            return &network;
    }
    return nullptr;
}

QString ServiceState::profileLabel(quint32 id) const
{
    const CabinetProfile *entry = profile(id);
    return entry ? QStringLiteral("%1 (%2)").arg(entry->name(), QString::number(id)) : QStringLiteral("profile %1").arg(id);
}

quint32 ServiceState::currentProfileId() const
{
    if (identification.state == Identification::Identified && identification.type == 1)
        return identification.profileId;
    return listCurrentProfileId;
}

quint32 ServiceState::selectedProfileId() const
{
    return announcedSelectedProfileId.value_or(listCurrentProfileId);
}

const CabinetDomains *ServiceState::domains(quint32 profileId, int type) const
{
    const auto found = m_domains.constFind(domainsKey(profileId, type));
    return found == m_domains.constEnd() ? nullptr : &found.value();
}

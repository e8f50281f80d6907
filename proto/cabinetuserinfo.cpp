#include "cabinetuserinfo.h"

#include "cabinetmetatypes.h"
#include "recordreader_p.h"

#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

using namespace RecordReader;

const QString CabinetUserInfo::TimezoneKey = QStringLiteral("tz");
const QString CabinetUserInfo::PlanKey = QStringLiteral("plan");
const QString CabinetUserInfo::PlanCodeKey = QStringLiteral("code");
const QString CabinetUserInfo::PlanNameKey = QStringLiteral("name");
const QString CabinetUserInfo::FeaturesKey = QStringLiteral("features");
const QString CabinetUserInfo::ProfileListSizeKey = QStringLiteral("max_profiles");
const QString CabinetUserInfo::WhiteListSizeKey = QStringLiteral("white_list_size");
const QString CabinetUserInfo::BlackListSizeKey = QStringLiteral("black_list_size");
const QString CabinetUserInfo::AliasListSizeKey = QStringLiteral("aliases_list_size");
const QString CabinetUserInfo::SafeSearchAvailableKey = QStringLiteral("safe_search");
const QString CabinetUserInfo::WhiteListModeAvailableKey = QStringLiteral("white_list_mode");
const QString CabinetUserInfo::IpIdentificationAvailableKey = QStringLiteral("agent_ip_mode");
const QString CabinetUserInfo::ProxyDnsAddressChangableKey = QStringLiteral("show_dns_listen_addr");
const QString CabinetUserInfo::FreePlanCode = QStringLiteral("FREE");
const QString CabinetUserInfo::UnknownPlanName = QStringLiteral("Unknown");

namespace {

// A text of the plan that must never be empty: absent, unreadable or empty gives the
// replacement.
QString planText(const QVariantMap &map, const QString &key, const QString &replacement)
{
    QString text;
    readString(map, key, &text);
    return text.isEmpty() ? replacement : text;
}

// A feature limit: absent keeps the field and fails; not convertible (or out of range)
// sets the fallback and fails.
bool readLimit(const QVariantMap &map, const QString &key, quint32 *field, quint32 fallback)
{
    const auto it = map.constFind(key);
    if (it == map.constEnd())
        return false;
    bool ok = false;
    const quint32 limit = toUInt32(*it, &ok);
    *field = ok ? limit : fallback;
    return ok;
}

// A feature flag: absent keeps the field and fails; a value that is no boolean reads false.
bool readFlag(const QVariantMap &map, const QString &key, bool *field)
{
    if (!map.contains(key))
        return false;
    const bool present = isPresent(readBool(map, key, field));
    if (!present)
        *field = false;
    return present;
}

} // namespace

bool CabinetUserInfo::fromVariant(const QVariant &value)
{
    if (!isMap(value))
        return false;
    const QVariantMap map = value.toMap();
    const auto tz = map.constFind(TimezoneKey);
    if (tz != map.constEnd()) {
        bool ok = false;
        m_timezone = toInt32(*tz, &ok);
    }
    const auto plan = map.constFind(PlanKey);
    if (plan == map.constEnd())
        return false;
    return parsePlanVariant(*plan);
}

bool CabinetUserInfo::parsePlanVariant(const QVariant &value)
{
    if (!isMap(value))
        return false;
    const QVariantMap map = value.toMap();
    m_planCode = planText(map, PlanCodeKey, FreePlanCode);
    m_planName = planText(map, PlanNameKey, UnknownPlanName);
    const auto features = map.constFind(FeaturesKey);
    if (features == map.constEnd())
        return false;
    return parseFeaturesVariant(*features);
}

bool CabinetUserInfo::parseFeaturesVariant(const QVariant &value)
{
    if (!isMap(value))
        return false;
    const QVariantMap map = value.toMap();
    // Every key is read even after a failure, so that one bad limit does not hide the rest.
    bool ok = readLimit(map, ProfileListSizeKey, &m_profileListSize, 1);
    ok &= readLimit(map, WhiteListSizeKey, &m_whiteListSize, 0);
    ok &= readLimit(map, BlackListSizeKey, &m_blackListSize, 0);
    ok &= readLimit(map, AliasListSizeKey, &m_aliasListSize, 0);
    ok &= readFlag(map, SafeSearchAvailableKey, &m_safeSearchAvailable);
    ok &= readFlag(map, WhiteListModeAvailableKey, &m_whiteListModeAvailable);
    ok &= readFlag(map, IpIdentificationAvailableKey, &m_ipIdentificationAvailable);
    ok &= readFlag(map, ProxyDnsAddressChangableKey, &m_proxyDnsAddressChangable);
    return ok;
}

QVariant CabinetUserInfo::toVariant() const
{
    QVariantMap features;
    features.insert(ProfileListSizeKey, m_profileListSize);
    features.insert(WhiteListSizeKey, m_whiteListSize);
    features.insert(BlackListSizeKey, m_blackListSize);
    features.insert(AliasListSizeKey, m_aliasListSize);
    features.insert(SafeSearchAvailableKey, m_safeSearchAvailable);
    features.insert(WhiteListModeAvailableKey, m_whiteListModeAvailable);
    features.insert(IpIdentificationAvailableKey, m_ipIdentificationAvailable);
    features.insert(ProxyDnsAddressChangableKey, m_proxyDnsAddressChangable);
    QVariantMap plan;
    plan.insert(PlanCodeKey, m_planCode);
    plan.insert(PlanNameKey, m_planName);
    plan.insert(FeaturesKey, features);
    QVariantMap map;
    map.insert(TimezoneKey, m_timezone);
    map.insert(PlanKey, plan);
    return map;
}

bool CabinetUserInfo::operator==(const CabinetUserInfo &other) const
{
    return m_timezone == other.m_timezone && m_planCode == other.m_planCode
            && m_planName == other.m_planName && m_profileListSize == other.m_profileListSize
            && m_whiteListSize == other.m_whiteListSize
            && m_blackListSize == other.m_blackListSize
            && m_aliasListSize == other.m_aliasListSize
            && m_safeSearchAvailable == other.m_safeSearchAvailable
            && m_whiteListModeAvailable == other.m_whiteListModeAvailable
            && m_ipIdentificationAvailable == other.m_ipIdentificationAvailable
            && m_proxyDnsAddressChangable == other.m_proxyDnsAddressChangable;
}

const QString CabinetSystemInfo::BlockApiAddressKey = QStringLiteral("blockapi");
const QString CabinetSystemInfo::BlockPageIpAddressKey = QStringLiteral("blockpage");
const QString CabinetSystemInfo::BlockPageTokenAddressKey = QStringLiteral("blockpage_token");
const QString CabinetSystemInfo::NxDomainPageAddressKey = QStringLiteral("nxdomain");
const QString CabinetSystemInfo::PublicDnsAddressListKey = QStringLiteral("public_dns");

bool CabinetSystemInfo::fromVariant(const QVariant &value)
{
    if (!isMap(value))
        return false;
    const QVariantMap map = value.toMap();
    CabinetSystemInfo read;
    read.m_blockApi = toAddress(map.value(BlockApiAddressKey));
    read.m_blockPage = toAddress(map.value(BlockPageIpAddressKey));
    read.m_blockPageToken = toAddress(map.value(BlockPageTokenAddressKey));
    read.m_nxDomainPage = toAddress(map.value(NxDomainPageAddressKey));
    if (read.m_blockApi.isNull() || read.m_blockPage.isNull() || read.m_blockPageToken.isNull()
        || read.m_nxDomainPage.isNull())
        return false;
    const QVariant publicDns = map.value(PublicDnsAddressListKey);
    if (!isList(publicDns))
        return false;
    const QVariantList items = publicDns.toList();
    for (const QVariant &item : items) {
        const QHostAddress address = toAddress(item);
        if (!address.isNull())
            read.m_publicDns.insert(address);
    }
    *this = read;
    return true;
}

QVariant CabinetSystemInfo::toVariant() const
{
    QStringList publicDns;
    publicDns.reserve(m_publicDns.size());
    for (const QHostAddress &address : m_publicDns)
        publicDns.append(address.toString());
    QVariantMap map;
    map.insert(BlockApiAddressKey, m_blockApi.toString());
    map.insert(BlockPageIpAddressKey, m_blockPage.toString());
    map.insert(BlockPageTokenAddressKey, m_blockPageToken.toString());
    map.insert(NxDomainPageAddressKey, m_nxDomainPage.toString());
    map.insert(PublicDnsAddressListKey, QVariant(publicDns).toList());
    return map;
}

bool CabinetSystemInfo::operator==(const CabinetSystemInfo &other) const
{
    return m_blockApi == other.m_blockApi && m_blockPage == other.m_blockPage
            && m_blockPageToken == other.m_blockPageToken && m_publicDns == other.m_publicDns;
}

int registerCabinetUserInfoMetaType()
{
    registerCabinetMetaTypes();
    return qMetaTypeId<CabinetUserInfo>();
}

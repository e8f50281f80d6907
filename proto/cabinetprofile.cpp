#include "cabinetprofile.h"

#include "cabinetmetatypes.h"
#include "recordreader_p.h"

#include <QVariantList>
#include <QVariantMap>

#include <utility>

using namespace RecordReader;

const QString CabinetProfile::NameKey = QStringLiteral("name");
const QString CabinetProfile::IdKey = QStringLiteral("id");
const QString CabinetProfile::TokenKey = QStringLiteral("token");
const QString CabinetProfile::DefaultKey = QStringLiteral("default");
const QString CabinetProfile::ScheduleEnabledKey = QStringLiteral("is_schedule_enabled");
const QString CabinetProfile::WhiteListOnlyEnabledKey = QStringLiteral("white_list_only");
const QString CabinetProfile::BlockUnknownEnabledKey = QStringLiteral("block_unknown_enabled");
const QString CabinetProfile::SafeSearchEnabledKey = QStringLiteral("safe_search_enabled");
const QString CabinetProfile::SafeYoutubeEnabledKey = QStringLiteral("safe_youtube_enabled");

bool CabinetProfile::fromVariant(const QVariant &value)
{
    if (!isMap(value))
        return false;
    const QVariantMap map = value.toMap();
    CabinetProfile read;
    const bool hasName = isPresent(readString(map, NameKey, &read.m_name)) && !read.m_name.isEmpty();
    const bool hasId = isPresent(readUInt32(map, IdKey, &read.m_id));
    const bool hasToken = isPresent(readUInt32(map, TokenKey, &read.m_token));
    if (!hasName || !hasId || !hasToken)
        return false;
    readWithDefault(readBool, map, DefaultKey, &read.m_default, false);
    readWithDefault(readBool, map, ScheduleEnabledKey, &read.m_scheduleEnabled, false);
    readWithDefault(readBool, map, WhiteListOnlyEnabledKey, &read.m_whiteListOnly, false);
    readWithDefault(readBool, map, BlockUnknownEnabledKey, &read.m_blockUnknown, false);
    readWithDefault(readBool, map, SafeSearchEnabledKey, &read.m_safeSearch, false);
    readWithDefault(readBool, map, SafeYoutubeEnabledKey, &read.m_safeYoutube, false);
    swap(read);
    return true;
}

QVariant CabinetProfile::toVariant() const
{
    QVariantMap map;
    map.insert(NameKey, m_name);
    map.insert(IdKey, m_id);
    map.insert(TokenKey, m_token);
    map.insert(DefaultKey, m_default);
    map.insert(ScheduleEnabledKey, m_scheduleEnabled);
    map.insert(WhiteListOnlyEnabledKey, m_whiteListOnly);
    map.insert(BlockUnknownEnabledKey, m_blockUnknown);
    map.insert(SafeSearchEnabledKey, m_safeSearch);
    map.insert(SafeYoutubeEnabledKey, m_safeYoutube);
    return map;
}

QString CabinetProfile::toString() const
{
    return QStringLiteral("name: %1 id: %2 token: %3 default: %4 schedule: %5 whiteonly: %6 "
                          "blockunknown: %7 safesearch: %8 safeyoutube: %9")
            .arg(m_name, QString::number(m_id), QString::number(m_token), yesNo(m_default),
                 yesNo(m_scheduleEnabled), yesNo(m_whiteListOnly), yesNo(m_blockUnknown),
                 yesNo(m_safeSearch), yesNo(m_safeYoutube));
}

bool CabinetProfile::operator==(const CabinetProfile &other) const
{
    return m_id == other.m_id && m_token == other.m_token && m_default == other.m_default
            && m_scheduleEnabled == other.m_scheduleEnabled
            && m_whiteListOnly == other.m_whiteListOnly && m_blockUnknown == other.m_blockUnknown
            && m_safeSearch == other.m_safeSearch && m_safeYoutube == other.m_safeYoutube;
}

bool CabinetProfile::operator<(const CabinetProfile &other) const
{
    if (m_default != other.m_default)
        return m_default;
    return QString::localeAwareCompare(m_name, other.m_name) < 0;
}

void CabinetProfile::swap(CabinetProfile &other) noexcept
{
    std::swap(m_name, other.m_name);
    std::swap(m_id, other.m_id);
    std::swap(m_token, other.m_token);
    std::swap(m_default, other.m_default);
    std::swap(m_scheduleEnabled, other.m_scheduleEnabled);
    std::swap(m_whiteListOnly, other.m_whiteListOnly);
    std::swap(m_blockUnknown, other.m_blockUnknown);
    std::swap(m_safeSearch, other.m_safeSearch);
    std::swap(m_safeYoutube, other.m_safeYoutube);
}

bool CabinetProfileList::fromVariant(const QVariant &value)
{
    return readList(value, this, [](const QVariant &item, CabinetProfile *profile) {
        return profile->fromVariant(item);
    });
}

QVariant CabinetProfileList::toVariant() const
{
    return writeList(*this);
}

bool CabinetProfiles::fromVariant(const QVariant &value)
{
    CabinetProfileList list;
    const bool ok = list.fromVariant(value);
    clear();
    for (const CabinetProfile &profile : qAsConst(list))
        insert(profile.id(), QSharedPointer<CabinetProfile>::create(profile));
    return ok;
}

QVariant CabinetProfiles::toVariant() const
{
    QVariantList items;
    items.reserve(size());
    // A null entry is left out: written as null it would make the whole list unreadable.
    for (auto it = constBegin(); it != constEnd(); ++it) {
        if (it.value())
            items.append(it.value()->toVariant());
    }
    return items;
}

QSharedPointer<CabinetProfile> CabinetProfiles::defaultProfile()
{
    for (auto it = constBegin(); it != constEnd(); ++it) {
        if (it.value() && it.value()->isDefault())
            return it.value();
    }
    return {};
}

QSharedPointer<const CabinetProfile> CabinetProfiles::defaultProfile() const
{
    return const_cast<CabinetProfiles *>(this)->defaultProfile();
}

QSharedPointer<CabinetProfile> CabinetProfiles::hasName(const QString &name) const
{
    for (auto it = constBegin(); it != constEnd(); ++it) {
        if (it.value() && it.value()->name() == name)
            return it.value();
    }
    return {};
}

bool CabinetTokenAgentUidProfileId::fromVariant(const QVariant &value)
{
    if (!isList(value))
        return false;
    const QVariantList items = value.toList();
    if (items.size() != 3 || items.at(0).userType() != QMetaType::QString
        || !isIntegerType(items.at(1)) || !isIntegerType(items.at(2)))
        return false;
    bool tokenOk = false;
    bool profileOk = false;
    const quint32 token = toUInt32(items.at(1), &tokenOk);
    const quint32 profileId = toUInt32(items.at(2), &profileOk);
    if (!tokenOk || !profileOk)
        return false;
    m_agentUid = items.at(0).toString();
    m_token = token;
    m_profileId = profileId;
    return true;
}

QVariant CabinetTokenAgentUidProfileId::toVariant() const
{
    return QVariantList{m_agentUid, m_token, m_profileId};
}

bool CabinetTokenAgentUidProfileId::operator==(const CabinetTokenAgentUidProfileId &other) const
{
    return m_agentUid == other.m_agentUid && m_token == other.m_token
            && m_profileId == other.m_profileId;
}

int registerCabinetProfilesMetaType()
{
    registerCabinetMetaTypes();
    return qMetaTypeId<CabinetProfiles>();
}

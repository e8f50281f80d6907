#include "profiledata.h"

#include "jsoncache.h"

#include <QVariantMap>

namespace {

const QString &versionKey(ProfileData::Part part)
{
    static const QString keys[ProfileData::PartCount] = {
        CacheEntry::Version::Filter, CacheEntry::Version::WhiteList,
        CacheEntry::Version::BlackList, CacheEntry::Version::AliasList,
        CacheEntry::Version::Schedule,
    };
    return keys[part];
}

const CabinetDomain::Type ListTypes[] = { CabinetDomain::WhiteList, CabinetDomain::BlackList,
                                          CabinetDomain::AliasList };

} // namespace

ProfileData::ProfileData(quint32 profileId, JsonCache *cache)
    : m_profileId(profileId)
    , m_cache(cache)
{
}

bool ProfileData::isWaiting(Part part, quint32 version) const
{
    const Pending &pending = m_pending[part];
    return pending.request && !pending.request->hasFinished() && pending.version >= version;
}

void ProfileData::setPending(Part part, CabinetRequest *request, quint32 version)
{
    Pending &pending = m_pending[part];
    if (pending.request && pending.request != request)
        pending.request->deleteLater();
    pending.request = request;
    pending.version = version;
}

void ProfileData::cancelPending()
{
    for (Pending &pending : m_pending) {
        if (pending.request)
            pending.request->deleteLater();
        pending.request = nullptr;
    }
}

void ProfileData::forgetVersions()
{
    m_actualVersion = 0;
    for (int part = 0; part < PartCount; ++part) {
        m_versions[part] = 0;
        m_pending[part].version = 0;
    }
}

void ProfileData::load()
{
    const QVariantMap versions = m_cache->value(CacheEntry::profileVersion(m_profileId)).toMap();
    m_actualVersion = versions.value(CacheEntry::Version::Actual).toUInt();
    auto take = [&](Part part, bool accepted) {
        if (accepted)
            setLoaded(part);
        m_versions[part] = accepted ? versions.value(versionKey(part)).toUInt() : 0;
    };
    take(Filter, m_filter.fromVariant(m_cache->value(CacheEntry::filter(m_profileId))));
    for (CabinetDomain::Type type : ListTypes) {
        const QVariant value = m_cache->value(CacheEntry::domains(m_profileId, type));
        take(partOf(type), m_lists[type].fromVariant(value, type));
    }
    take(Schedule, m_schedule.fromVariant(m_cache->value(CacheEntry::schedule(m_profileId))));
}

void ProfileData::saveVersions()
{
    QVariantMap versions;
    versions.insert(CacheEntry::Version::Actual, m_actualVersion);
    for (int part = 0; part < PartCount; ++part)
        versions.insert(versionKey(Part(part)), m_versions[part]);
    m_cache->setValue(CacheEntry::profileVersion(m_profileId), versions);
}

void ProfileData::saveUserFilter()
{
    m_cache->setValue(CacheEntry::filter(m_profileId), m_filter.toVariant());
}

void ProfileData::saveDomains(CabinetDomain::Type type)
{
    m_cache->setValue(CacheEntry::domains(m_profileId, type), m_lists[type].toVariant());
}

void ProfileData::saveSchedule()
{
    m_cache->setValue(CacheEntry::schedule(m_profileId), m_schedule.toVariant());
}

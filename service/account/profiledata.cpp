#include "profiledata.h"

#include "jsoncache.h"

#include <QVariantMap>

#include <algorithm>
#include <iterator>

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
    m_cachedVersions.clear();
    for (int part = 0; part < PartCount; ++part) {
        m_parts.versions[part] = 0;
        m_pending[part].version = 0;
    }
}

void ProfileData::load()
{
    m_cachedVersions = m_cache->value(CacheEntry::profileVersion(m_profileId)).toMap();
    m_actualVersion = m_cachedVersions.value(CacheEntry::Version::Actual).toUInt();
}

void ProfileData::read(Part part) const
{
    if (m_parts.read[part])
        return;
    m_parts.read[part] = true;
    bool accepted = false;
    switch (part) {
    case Filter:
        accepted = m_parts.filter.fromVariant(m_cache->value(CacheEntry::filter(m_profileId)));
        break;
    case Schedule:
        accepted = m_parts.schedule.fromVariant(m_cache->value(CacheEntry::schedule(m_profileId)));
        break;
    default: {
        const CabinetDomain::Type type = CabinetDomain::Type(int(part) - 1);
        accepted = m_parts.lists[type].fromJson(m_cache->text(CacheEntry::domains(m_profileId, type)), type);
        break;
    }
    }
    if (accepted)
        m_parts.loaded |= loadedFlag(part);
    m_parts.versions[part] = accepted ? m_cachedVersions.value(versionKey(part)).toUInt() : 0;
}

const ProfileData::Parts &ProfileData::parts(Part part) const
{
    read(part);
    return m_parts;
}

ProfileData::Parts &ProfileData::writable(Part part)
{
    read(part);
    return m_parts;
}

int ProfileData::loadedFlags() const
{
    for (int part = 0; part < PartCount; ++part)
        read(Part(part));
    return m_parts.loaded;
}

bool ProfileData::isFullyRead() const
{
    return std::all_of(std::begin(m_parts.read), std::end(m_parts.read), [](bool read) { return read; });
}

bool ProfileData::readNextPart()
{
    for (int part = 0; part < PartCount; ++part) {
        if (!m_parts.read[part]) {
            read(Part(part));
            return true;
        }
    }
    return false;
}

void ProfileData::saveVersions()
{
    QVariantMap versions;
    versions.insert(CacheEntry::Version::Actual, m_actualVersion);
    // A part not read yet keeps what the cache says of it: reading it only to write its
    // version back would read the whole profile.
    for (int part = 0; part < PartCount; ++part) {
        const QString &key = versionKey(Part(part));
        versions.insert(key, m_parts.read[part] ? QVariant(m_parts.versions[part])
                                                 : QVariant(m_cachedVersions.value(key).toUInt()));
    }
    m_cache->setValue(CacheEntry::profileVersion(m_profileId), versions);
}

void ProfileData::saveUserFilter()
{
    m_cache->setValue(CacheEntry::filter(m_profileId), userFilter().toVariant());
}

void ProfileData::saveDomains(CabinetDomain::Type type)
{
    m_cache->setText(CacheEntry::domains(m_profileId, type), domains(type).toJson());
}

void ProfileData::saveSchedule()
{
    m_cache->setValue(CacheEntry::schedule(m_profileId), schedule().toVariant());
}

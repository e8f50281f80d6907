// The account state's data arrivals and the local changes that go with its notifications.
#include "cabinet.h"

#include "jsoncache.h"
#include "profiledata.h"
#include "settingskeys.h"

#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace {

// Profile lists differ when their ids, tokens, flags or names differ: the record's own
// equality leaves the name out, which would keep a profile renamed on the account site
// under its old name here.
bool sameProfiles(const CabinetProfiles &a, const CabinetProfiles &b)
{
    if (a.size() != b.size())
        return false;
    for (auto it = a.cbegin(); it != a.cend(); ++it) {
        const QSharedPointer<CabinetProfile> other = b.value(it.key());
        if (!other || *other != *it.value() || other->name() != it.value()->name())
            return false;
    }
    return true;
}

} // namespace

// The request whose finished() is being handled, when it succeeded and belongs to the
// current sign-in; null otherwise (the arrival is then ignored).
template <typename R>
R *Cabinet::arrival() const
{
    auto *request = dynamic_cast<R *>(sender());
    if (!request || request->session() != m_session || request->error().isError())
        return nullptr;
    return request;
}

void Cabinet::request_systemInfoFinished()
{
    auto *request = arrival<CabinetFunction<CabinetSystemInfo>>();
    if (!request || request->result() == m_systemInfo)
        return;
    m_systemInfo = request->result();
    emit systemInfoChanged();
}

void Cabinet::request_categoriesFinished()
{
    auto *request = arrival<CabinetFunction<CabinetCategoryGroupList>>();
    if (!request || request->result() == m_categories)
        return;
    m_categories = request->result();
    emit categoriesChanged();
}

void Cabinet::request_updateNicFinished()
{
    auto *request = dynamic_cast<CabinetFunction<QHostAddress> *>(sender());
    if (!request || request->session() != m_session)
        return;
    if (request->error().isError()) {
        m_lastError = request->error();
        emit error();
        return;
    }
    if (request->result() == m_ip)
        return;
    m_ip = request->result();
    emit ipChanged();
}

void Cabinet::request_userInfoFinished()
{
    auto *request = arrival<CabinetFunction<CabinetUserInfo>>();
    if (!request)
        return;
    m_userInfo = request->result();
    m_cache->setValue(CacheEntry::UserInfo, m_userInfo.toVariant());
    emit userInfoChanged();
}

void Cabinet::request_profilesFinished()
{
    auto *request = arrival<CabinetFunction<CabinetProfiles>>();
    if (!request)
        return;
    if (!m_pendingProfileName.isEmpty()) {
        m_profiles = request->result();
        const QSharedPointer<CabinetProfile> named = m_profiles.hasName(m_pendingProfileName);
        selectProfile(named ? named->id() : 0, true);
        m_pendingProfileName.clear();
        dropVanishedProfileData();
        saveProfiles();
        emit profilesChanged();
    } else if (!sameProfiles(request->result(), m_profiles)) {
        m_profiles = request->result();
        selectProfile(m_selected ? m_selected->id() : 0, true);
        dropVanishedProfileData();
        saveProfiles();
        emit profilesChanged();
    }
    // Every profile, the selected one included: a re-selection of the same id refreshes
    // nothing, and a profile already asked for is not asked twice.
    refreshAllProfiles();
    if (m_identificationWanted) {
        m_identificationWanted = false;
        track(getProfile(), &Cabinet::request_getTokenAgentUidProfileIdFinished);
    }
}

void Cabinet::request_profileAddFinished()
{
    auto *request = arrival<CabinetFunction<CabinetProfile>>();
    if (!request)
        return;
    const CabinetProfile &profile = request->result();
    const QSharedPointer<CabinetProfile> listed = m_profiles.value(profile.id());
    if (listed)
        *listed = profile;
    else
        m_profiles.insert(profile.id(), QSharedPointer<CabinetProfile>::create(profile));
    refreshProfileData(profile.id());
    saveProfiles();
    emit profilesChanged();
}

void Cabinet::request_domainsFinished()
{
    auto *request = arrival<CabinetDomainsRequest>();
    ProfileData *data = request ? m_profileData.value(request->profileId()).data() : nullptr;
    if (!data)
        return;
    const CabinetDomain::Type type = request->listType();
    const ProfileData::Part part = ProfileData::partOf(type);
    data->setVersion(part, data->actualVersion());
    if (data->isLoaded(part) && data->domains(type) == request->result())
        return;
    data->setDomains(type, request->result());
    data->setLoaded(part);
    data->saveDomains(type);
    data->saveVersions();
    emit domainsChanged(data->profileId(), type);
}

void Cabinet::request_domainAddFinished()
{
    auto *request = arrival<CabinetDomainAddRequest>();
    ProfileData *data = request ? m_profileData.value(request->profileId()).data() : nullptr;
    if (!data)
        return;
    const CabinetDomain::Type type = request->listType();
    data->domains(type).append(request->result());
    if (data->isLoaded(ProfileData::partOf(type)))
        data->saveDomains(type);
    emit domainsChanged(data->profileId(), type);
}

void Cabinet::request_profileActivityFinished()
{
    auto *request = arrival<CabinetProfileActivityRequest>();
    ProfileData *data = request ? m_profileData.value(request->profileId()).data() : nullptr;
    if (!data)
        return;
    const CabinetProfileActivity &activity = request->result();
    if (activity.isActive() != data->isScheduleActive()) {
        data->setScheduleActive(activity.isActive());
        emit profileActivityChanged(data->profileId(), activity.isActive());
        updateCurrentProfile();
    }
    if (m_selected && m_selected->id() == data->profileId()) {
        // The account service's number of minutes is not bounded: keep it within what a
        // timer takes (about 24 days).
        const qint64 delay = qint64(activity.minutes()) * 60000;
        m_activityTimer->start(int(std::min<qint64>(delay, std::numeric_limits<int>::max())));
    }
}

void Cabinet::request_userFilterFinished()
{
    auto *request = arrival<CabinetUserFilterRequest>();
    ProfileData *data = request ? m_profileData.value(request->profileId()).data() : nullptr;
    if (!data)
        return;
    if (!data->isLoaded(ProfileData::Filter) || data->userFilter() != request->result()) {
        data->setUserFilter(request->result());
        data->saveUserFilter();
        if (data->version(ProfileData::Filter) != data->actualVersion()) {
            data->setVersion(ProfileData::Filter, data->actualVersion());
            data->saveVersions();
        }
        data->setLoaded(ProfileData::Filter);
    }
    emit userFilterChanged(data->profileId());
}

void Cabinet::storeSchedule(ProfileData *data, const CabinetSchedule &schedule)
{
    if (data->isLoaded(ProfileData::Schedule) && data->schedule() == schedule)
        return;
    data->setSchedule(schedule);
    data->setVersion(ProfileData::Schedule, data->actualVersion());
    data->saveSchedule();
    data->setLoaded(ProfileData::Schedule);
}

void Cabinet::request_profileScheduleFinished()
{
    auto *request = arrival<CabinetScheduleRequest>();
    ProfileData *data = request ? m_profileData.value(request->profileId()).data() : nullptr;
    if (!data)
        return;
    storeSchedule(data, request->result());
    if (m_selected && m_selected->id() == data->profileId())
        updateProfileActivity();
}

void Cabinet::request_getTokenAgentUidProfileIdFinished()
{
    auto *request = dynamic_cast<CabinetFunction<CabinetTokenAgentUidProfileId> *>(sender());
    if (!request || request->session() != m_session)
        return;
    if (request->error().code() == 9) {
        // A wrong answer to an agent uid of ours means the account service no longer
        // knows it: forget it and ask again at once, without one. A wrong answer to no
        // uid at all would loop, so that one waits for the next identification round.
        if (m_agentUids.remove(m_user) == 0) {
            m_identificationTimer->start();
            return;
        }
        writeAgentUids();
        track(getProfile(), &Cabinet::request_getTokenAgentUidProfileIdFinished);
        return;
    }
    if (request->error().isError())
        return;
    const CabinetTokenAgentUidProfileId &binding = request->result();
    if (m_agentUids.contains(m_user)) {
        selectProfile(binding.profileId(), true);
    } else {
        m_agentUids.insert(m_user, binding.agentUid());
        writeAgentUids();
        selectProfile(m_cache->value(CacheEntry::SelectedProfile).toUInt(), false);
        setProfile();
    }
    m_token = binding.token();
    {
        QSettings settings;
        settings.setValue(SettingsKeys::Token, m_token);
    }
    m_identificationTimer->start();
}

// Local changes made together with the notifications. The account service is not asked
// to confirm them; they are never rolled back.

void Cabinet::setFilterCat(quint32 profileId, quint32 categoryId, bool blocked)
{
    ProfileData *data = m_profileData.value(profileId).data();
    if (!data || categoryId < 1 || categoryId > 255)
        return;
    CabinetUserFilter filter = data->userFilter();
    if (blocked)
        filter.insert(quint8(categoryId));
    else
        filter.remove(quint8(categoryId));
    data->setUserFilter(filter);
    data->saveUserFilter();
}

void Cabinet::clearDomains(quint32 profileId, CabinetDomain::Type type)
{
    ProfileData *data = m_profileData.value(profileId).data();
    if (!data)
        return;
    const ProfileData::Part part = ProfileData::partOf(type);
    data->setLoaded(part);
    data->setDomains(type, CabinetDomains());
    data->setVersion(part, data->actualVersion());
    data->saveDomains(type);
    emit domainsChanged(profileId, type);
}

void Cabinet::removeDomain(quint32 profileId, CabinetDomain::Type type, quint32 domainId)
{
    ProfileData *data = m_profileData.value(profileId).data();
    if (!data)
        return;
    data->domains(type).removeDomain(domainId);
    if (data->isLoaded(ProfileData::partOf(type)))
        data->saveDomains(type);
    emit domainsChanged(profileId, type);
}

void Cabinet::setSchedule(quint32 profileId, const CabinetSchedule &schedule)
{
    if (ProfileData *data = m_profileData.value(profileId).data())
        storeSchedule(data, schedule);
}

void Cabinet::setScheduleEnabled(quint32 profileId, bool enabled)
{
    if (const QSharedPointer<CabinetProfile> profile = m_profiles.value(profileId))
        profile->setScheduleEnabled(enabled);
}

void Cabinet::setWhiteListOnly(quint32 profileId, bool enabled)
{
    if (const QSharedPointer<CabinetProfile> profile = m_profiles.value(profileId))
        profile->setWhiteListOnlyEnabled(enabled);
}

void Cabinet::setBlockUnknownEnabled(quint32 profileId, bool enabled)
{
    if (const QSharedPointer<CabinetProfile> profile = m_profiles.value(profileId))
        profile->setBlockUnknownEnabled(enabled);
}

void Cabinet::setSafeSearchEnabled(quint32 profileId, bool enabled)
{
    if (const QSharedPointer<CabinetProfile> profile = m_profiles.value(profileId))
        profile->setSafeSearchEnabled(enabled);
}

void Cabinet::setSafeYoutubeEnabled(quint32 profileId, bool enabled)
{
    if (const QSharedPointer<CabinetProfile> profile = m_profiles.value(profileId))
        profile->setSafeYoutubeEnabled(enabled);
}

void Cabinet::removeProfile(quint32 profileId)
{
    if (const QSharedPointer<ProfileData> data = m_profileData.take(profileId))
        data->cancelPending();
    m_profiles.remove(profileId);
    selectProfile(m_current ? m_current->id() : 0, false);
    emit profilesChanged();
    saveProfiles();
}

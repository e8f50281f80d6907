#include "cabinet.h"

#include "jsoncache.h"
#include "profiledata.h"
#include "protection.h"
#include "settingskeys.h"

#include <QSettings>
#include <QTimer>

namespace {

QString readProtected(const QSettings &settings, const QString &key)
{
    const QByteArray stored = settings.value(key).toByteArray();
    if (stored.isEmpty())
        return QString();
    return QString::fromUtf8(Protection::unprotect(stored));
}

} // namespace

Cabinet::Cabinet(QObject *parent)
    : QObject(parent)
    , m_cache(new JsonCache(CacheEntry::CacheName, this))
    , m_userInfo(defaultUserInfo())
    , m_activityTimer(new QTimer(this))
    , m_reconnectTimer(new QTimer(this))
    , m_identificationTimer(new QTimer(this))
{
    m_activityTimer->setObjectName(QStringLiteral("activityTimer"));
    m_activityTimer->setSingleShot(true);
    // Nothing else asks when the schedule lets the selected profile apply again: without
    // this the current profile would stay as it was when the schedule changed.
    connect(m_activityTimer, &QTimer::timeout, this, &Cabinet::updateProfileActivity);
    m_reconnectTimer->setObjectName(QStringLiteral("reconnectTimer"));
    m_reconnectTimer->setSingleShot(true);
    connect(m_reconnectTimer, &QTimer::timeout, this, &Cabinet::connectToServer);
    m_identificationTimer->setObjectName(QStringLiteral("identificationTimer"));
    m_identificationTimer->setSingleShot(true);
    m_identificationTimer->setInterval(IdentificationIntervalMs);
    connect(m_identificationTimer, &QTimer::timeout, this, [this] {
        track(getProfile(), &Cabinet::request_getTokenAgentUidProfileIdFinished);
    });

    loadFromSettings();
    loadFromCache();
    QTimer::singleShot(0, this, &Cabinet::init);
    m_identificationWanted = true;
}

Cabinet::~Cabinet() = default;

CabinetUserInfo Cabinet::defaultUserInfo()
{
    CabinetUserInfo info;
    info.setPlanCode(CabinetUserInfo::FreePlanCode);
    info.setPlanName(CabinetUserInfo::UnknownPlanName);
    info.setProfileListSize(1);
    return info;
}

void Cabinet::loadFromSettings()
{
    QSettings settings;
    m_user = readProtected(settings, SettingsKeys::User);
    m_password = readProtected(settings, SettingsKeys::Password);
    m_token = settings.value(SettingsKeys::Token, 0).toUInt();
    m_pendingProfileName = settings.value(SettingsKeys::Profile).toString();
    if (!m_pendingProfileName.isEmpty())
        settings.setValue(SettingsKeys::Profile, QString());
    m_agentUids = SettingsKeys::agentUidsFromText(settings.value(SettingsKeys::AgentUids).toString());
}

void Cabinet::loadFromCache()
{
    m_cache->setKeyMaterial(m_user, m_password);
    if (!m_profiles.fromVariant(m_cache->value(CacheEntry::Profiles)))
        m_profiles.clear();
    if (!m_userInfo.fromVariant(m_cache->value(CacheEntry::UserInfo)))
        m_userInfo = defaultUserInfo();
    for (auto it = m_profiles.cbegin(); it != m_profiles.cend(); ++it)
        ensureProfileData(it.key())->load();
    // The parts themselves are read when first needed, and meanwhile one at a time from the
    // event loop, so that a large account's cache never holds up the start.
    QTimer::singleShot(0, this, &Cabinet::readCachedParts);
}

void Cabinet::readCachedParts()
{
    for (const QSharedPointer<ProfileData> &data : qAsConst(m_profileData)) {
        if (data->readNextPart()) {
            QTimer::singleShot(0, this, &Cabinet::readCachedParts);
            return;
        }
    }
}

const ProfileData *Cabinet::profileData(quint32 profileId) const
{
    return m_profileData.value(profileId).data();
}

CabinetUserFilter Cabinet::userFilterOf(quint32 profileId) const
{
    const ProfileData *data = profileData(profileId);
    return data ? data->userFilter() : CabinetUserFilter();
}

CabinetDomains Cabinet::domainsOf(quint32 profileId, int type) const
{
    const ProfileData *data = profileData(profileId);
    if (!data || CabinetDomain::listTypeToString(type).isNull())
        return CabinetDomains();
    return data->domains(CabinetDomain::Type(type));
}

CabinetSchedule Cabinet::scheduleOf(quint32 profileId) const
{
    const ProfileData *data = profileData(profileId);
    return data ? data->schedule() : CabinetSchedule();
}

void Cabinet::init()
{
    selectProfile(m_cache->value(CacheEntry::SelectedProfile).toUInt(), true);
    track(systemInfo(), &Cabinet::request_systemInfoFinished);
    invalidateSettings();
}

void Cabinet::connectToServer()
{
    reconnect();
}

void Cabinet::reconnect()
{
    setState(Disconnected);
    m_reconnectTimer->stop();
    track(systemInfo(), &Cabinet::request_systemInfoFinished);
    invalidateSettings();
}

void Cabinet::invalidateSettings()
{
    if (m_user.isEmpty() || m_password.isEmpty()) {
        resetAccountData();
        m_lastError = Error(30);
        emit error();
        return;
    }
    for (const QSharedPointer<ProfileData> &data : qAsConst(m_profileData))
        data->forgetVersions();
    track(profiles(), &Cabinet::request_profilesFinished);
    track(userInfo(), &Cabinet::request_userInfoFinished);
}

CabinetFunction<QHostAddress> *Cabinet::updateIP()
{
    return track(updateNic(), &Cabinet::request_updateNicFinished);
}

void Cabinet::resetAccountData()
{
    m_cache->clear();
    m_userInfo = defaultUserInfo();
    for (const QSharedPointer<ProfileData> &data : qAsConst(m_profileData))
        data->cancelPending();
    m_profileData.clear();
    m_profiles.clear();
    m_selected.reset();
    updateCurrentProfile();
    m_lastError = Error();
    m_ip = QHostAddress();
}

void Cabinet::setState(int state)
{
    if (state == Connected) {
        m_reconnectTimer->stop();
        m_backoff.reset();
    }
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged();
}

void Cabinet::recordTransportError(const Error &failure)
{
    m_lastError = failure;
    emit error();
    if (!m_reconnectTimer->isActive())
        m_reconnectTimer->start(int(m_backoff.take()) * 1000);
    setState(Disconnected);
}

void Cabinet::recordAuthenticationFailure()
{
    resetAccountData();
    m_lastError = Error(30);
    emit error();
    setState(Disconnected);
}

void Cabinet::renewTransport()
{
}

bool Cabinet::setCredentials(const QString &user, const QString &password)
{
    m_activityTimer->stop();
    if (user == m_user && password == m_password && m_state == Connected)
        return false;
    ++m_session;
    renewTransport();
    m_identificationTimer->stop();
    {
        QSettings settings;
        settings.setValue(SettingsKeys::User,
                          Protection::protect(user.toUtf8(), SettingsKeys::UserDescription));
        settings.setValue(SettingsKeys::Password,
                          Protection::protect(password.toUtf8(), SettingsKeys::PasswordDescription));
    }
    resetAccountData();
    m_user = user;
    m_password = password;
    m_cache->setKeyMaterial(user, password);
    updateCurrentProfile();
    reconnect();
    emit currentUserChanged();
    emit credentialsUpdated();
    m_identificationWanted = true;
    return true;
}

QSharedPointer<CabinetProfile> Cabinet::listedProfile(quint32 profileId) const
{
    return profileId ? m_profiles.value(profileId) : QSharedPointer<CabinetProfile>();
}

bool Cabinet::selectProfile(quint32 profileId, bool quiet)
{
    QSharedPointer<CabinetProfile> chosen = listedProfile(profileId);
    if (!chosen) {
        qDebug("No pofile whith this id:%u", profileId);
        chosen = m_profiles.defaultProfile();
    }
    // Nothing selected before and nothing now is no change: it would tell the account
    // service about a profile 0.
    const bool changed = (m_selected.isNull() != chosen.isNull())
            || (chosen && m_selected->id() != chosen->id());
    m_selected = chosen;
    updateCurrentProfile();
    if (!changed)
        return false;
    m_cache->setValue(CacheEntry::SelectedProfile, m_selected ? m_selected->id() : 0u);
    m_activityTimer->stop();
    updateCurrentProfile();
    if (m_selected)
        refreshProfileData(m_selected->id());
    emit selectedProfileChanged();
    if (!quiet)
        setProfile();
    return true;
}

void Cabinet::updateCurrentProfile()
{
    QSharedPointer<CabinetProfile> current = m_selected;
    if (current && current->isScheduleEnabled()) {
        const ProfileData *data = profileData(current->id());
        if (data && !data->isScheduleActive())
            current = m_profiles.defaultProfile();
    }
    const quint32 before = m_current ? m_current->id() : 0;
    m_current = current;
    if ((current ? current->id() : 0) != before)
        emit currentProfileChanged();
}

ProfileData *Cabinet::ensureProfileData(quint32 profileId)
{
    QSharedPointer<ProfileData> &data = m_profileData[profileId];
    if (!data)
        data.reset(new ProfileData(profileId, m_cache));
    return data.data();
}

void Cabinet::refreshProfileData(quint32 profileId)
{
    if (!m_profiles.contains(profileId))
        return;
    ProfileData *data = ensureProfileData(profileId);
    const quint32 actual = data->actualVersion();
    const bool forced = actual == 0;
    auto wanted = [&](ProfileData::Part part) {
        return (forced || data->version(part) < actual) && !data->isWaiting(part, actual);
    };
    if (wanted(ProfileData::Filter))
        data->setPending(ProfileData::Filter,
                         track(userFilter(profileId), &Cabinet::request_userFilterFinished), actual);
    for (CabinetDomain::Type type : { CabinetDomain::WhiteList, CabinetDomain::BlackList,
                                      CabinetDomain::AliasList }) {
        const ProfileData::Part part = ProfileData::partOf(type);
        if (wanted(part))
            data->setPending(part, track(domains(profileId, type), &Cabinet::request_domainsFinished),
                             actual);
    }
    if (wanted(ProfileData::Schedule))
        data->setPending(ProfileData::Schedule,
                         track(schedule(profileId), &Cabinet::request_profileScheduleFinished),
                         actual);
}

void Cabinet::refreshAllProfiles()
{
    const QList<quint32> ids = m_profiles.keys();
    for (quint32 id : ids)
        refreshProfileData(id);
}

void Cabinet::dropVanishedProfileData()
{
    for (auto it = m_profileData.begin(); it != m_profileData.end();) {
        if (m_profiles.contains(it.key())) {
            ++it;
            continue;
        }
        it.value()->cancelPending();
        it = m_profileData.erase(it);
    }
}

void Cabinet::saveProfiles()
{
    m_cache->setValue(CacheEntry::SelectedProfile, m_selected ? m_selected->id() : 0u);
    m_cache->setValue(CacheEntry::Profiles, m_profiles.toVariant());
}

void Cabinet::updateProfileActivity()
{
    if (m_selected && m_selected->isScheduleEnabled())
        track(profileScheduleActivity(m_selected->id()), &Cabinet::request_profileActivityFinished);
}

void Cabinet::setProfile()
{
    m_identificationTimer->start();
}

void Cabinet::writeAgentUids()
{
    QSettings settings;
    settings.setValue(SettingsKeys::AgentUids, SettingsKeys::agentUidsToText(m_agentUids));
    settings.sync();
}

void Cabinet::refreshUserInfo()
{
    track(userInfo(), &Cabinet::request_userInfoFinished);
}

void Cabinet::refreshProfiles()
{
    track(profiles(), &Cabinet::request_profilesFinished);
}

void Cabinet::refreshUserFilter(quint32 profileId)
{
    track(userFilter(profileId), &Cabinet::request_userFilterFinished);
}

void Cabinet::refreshDomains(quint32 profileId, CabinetDomain::Type type)
{
    track(domains(profileId, type), &Cabinet::request_domainsFinished);
}

void Cabinet::refreshSchedule(quint32 profileId)
{
    track(schedule(profileId), &Cabinet::request_profileScheduleFinished);
}

void Cabinet::refreshTokenProfileId()
{
    track(getProfile(), &Cabinet::request_getTokenAgentUidProfileIdFinished);
}

#pragma once

#include "cabinetcategory.h"
#include "cabinetdomain.h"
#include "cabinetprofile.h"
#include "cabinetrequest.h"
#include "cabinetschedule.h"
#include "cabinetuserfilter.h"
#include "cabinetuserinfo.h"
#include "error.h"
#include "reconnectbackoff.h"

#include <QHash>
#include <QHostAddress>
#include <QMap>
#include <QObject>
#include <QSharedPointer>

class JsonCache;
class ProfileData;
class QTimer;

// The service's picture of the user's account: credentials, connection state, user
// information, the profiles with the selected and the current one, and each profile's
// data. It is restored from the account cache at construction, refreshed from the account
// web service through the remote operations below, and every change is announced with a
// signal. Lives as long as the service, on the main thread.
//
// The remote operations are virtual: LegacyHttpCabinet carries them over HTTP, a test
// subclass scripts them. Every request that an operation returns is stamped with the
// sign-in it was issued under; after new credentials, answers to requests of the earlier
// sign-in never touch the account (no data, no error, no state change).
class Cabinet : public QObject
{
    Q_OBJECT

public:
    enum State {
        Disconnected = 0,
        Connecting = 1,
        Connected = 2,
    };
    Q_ENUM(State)

    static constexpr int IdentificationIntervalMs = 6 * 60 * 60 * 1000;

    explicit Cabinet(QObject *parent = nullptr);
    ~Cabinet() override;

    // The user information of an account that told us nothing: plan "FREE" "Unknown",
    // one profile, no list entries, no features.
    static CabinetUserInfo defaultUserInfo();

    int state() const { return m_state; }
    const Error &lastError() const { return m_lastError; }
    QHostAddress ip() const { return m_ip; }
    const CabinetSystemInfo &systemInformation() const { return m_systemInfo; }
    const CabinetCategoryGroupList &categoryGroups() const { return m_categories; }
    const CabinetUserInfo &userInformation() const { return m_userInfo; }
    const CabinetProfiles &profileList() const { return m_profiles; }
    QSharedPointer<CabinetProfile> selectedProfile() const { return m_selected; }
    QSharedPointer<CabinetProfile> currentProfile() const { return m_current; }
    quint32 token() const { return m_token; }
    QString userName() const { return m_user; }
    QString password() const { return m_password; }
    // The agent uid of the signed-in user; an empty (never a null) text when there is none,
    // since a null text goes on the wire as JSON null.
    QString agentUid() const { return m_agentUids.value(m_user, QLatin1String("")); }
    // The profile's data, or null when it has none.
    const ProfileData *profileData(quint32 profileId) const;
    CabinetUserFilter userFilterOf(quint32 profileId) const;
    CabinetDomains domainsOf(quint32 profileId, int type) const;
    CabinetSchedule scheduleOf(quint32 profileId) const;

    // Signs in with new credentials; false (nothing done) when they are the ones in use and
    // the account is connected.
    virtual bool setCredentials(const QString &user, const QString &password);

    // The remote operations, one per method of the account web service. The account state
    // updates its own copy for the notifications (the base implementations do that; a
    // subclass sends the notification and calls them).
    virtual CabinetFunction<CabinetSystemInfo> *systemInfo() = 0;
    virtual CabinetFunction<CabinetUserInfo> *userInfo() = 0;
    virtual CabinetFunction<CabinetProfiles> *profiles() = 0;
    virtual CabinetRequest *registerUser(const QString &user, const QString &password) = 0;
    virtual CabinetRequest *testAuth(const QString &user, const QString &password) = 0;
    // Delivers a QHostInfo to receiver's slot (written as SLOT() writes it).
    virtual void myip(QObject *receiver, const char *slot) = 0;
    virtual CabinetFunction<CabinetCategoryGroupList> *categories(const QString &language) = 0;
    virtual CabinetUserFilterRequest *userFilter(quint32 profileId) = 0;
    virtual CabinetDomainsRequest *domains(quint32 profileId, CabinetDomain::Type type) = 0;
    virtual void setFilterCat(quint32 profileId, quint32 categoryId, bool blocked);
    virtual void clearDomains(quint32 profileId, CabinetDomain::Type type);
    // The address is sent for alias entries only, and left out when it is null.
    virtual CabinetDomainAddRequest *addDomain(quint32 profileId, CabinetDomain::Type type,
                                               const QString &domain,
                                               const QHostAddress &ip = QHostAddress()) = 0;
    virtual void removeDomain(quint32 profileId, CabinetDomain::Type type, quint32 domainId);
    virtual CabinetFunction<CabinetProfile> *addProfile(const QString &name) = 0;
    virtual void removeProfile(quint32 profileId);
    virtual CabinetScheduleRequest *schedule(quint32 profileId) = 0;
    virtual void setScheduleEnabled(quint32 profileId, bool enabled);
    virtual void setSchedule(quint32 profileId, const CabinetSchedule &schedule);
    virtual void setWhiteListOnly(quint32 profileId, bool enabled);
    virtual void setBlockUnknownEnabled(quint32 profileId, bool enabled);
    virtual void setSafeSearchEnabled(quint32 profileId, bool enabled);
    virtual void setSafeYoutubeEnabled(quint32 profileId, bool enabled);
    virtual CabinetProfileActivityRequest *profileScheduleActivity(quint32 profileId) = 0;
    virtual CabinetFunction<CabinetTokenAgentUidProfileId> *getProfile() = 0;
    // Tells the account service the current profile; (re)starts the identification timer.
    virtual void setProfile();
    virtual void reconnect();
    virtual CabinetFunction<QHostAddress> *updateNic() = 0;

    // Selects the profile with that id (0 or an unknown id: the default profile); quiet
    // keeps the account service from being told. True when the selection changed.
    bool selectProfile(quint32 profileId, bool quiet);

    // Asks the account service again for one part of the account, as the desktop clients'
    // refresh methods want; the answer goes through the account state's own arrival, so a
    // change is announced with its usual signal.
    void refreshUserInfo();
    void refreshProfiles();
    void refreshUserFilter(quint32 profileId);
    void refreshDomains(quint32 profileId, CabinetDomain::Type type);
    void refreshSchedule(quint32 profileId);
    void refreshTokenProfileId();

signals:
    void currentUserChanged();
    void error();
    void systemInfoChanged();
    void categoriesChanged();
    void stateChanged();
    void credentialsUpdated();
    void selectedProfileChanged();
    void currentProfileChanged();
    void userInfoChanged();
    void profilesChanged();
    void domainsChanged(quint32 profileId, int type);
    void userFilterChanged(quint32 profileId);
    void profileActivityChanged(quint32 profileId, bool active);
    void ipChanged();

public slots:
    void connectToServer();
    CabinetFunction<QHostAddress> *updateIP();
    void invalidateSettings();
    void updateProfileActivity();
    void request_systemInfoFinished();
    void request_categoriesFinished();
    void request_updateNicFinished();
    void request_userInfoFinished();
    void request_profilesFinished();
    void request_profileAddFinished();
    void request_domainsFinished();
    void request_domainAddFinished();
    void request_profileActivityFinished();
    void request_userFilterFinished();
    void request_profileScheduleFinished();
    void request_getTokenAgentUidProfileIdFinished();
    void init();

protected:
    // The sign-in that requests issued now belong to; it changes with new credentials.
    quint64 session() const { return m_session; }
    // Stamps request with the current sign-in and connects its finished() to slot, the
    // account state's own arrival for that method (null: the caller connects).
    template <typename R>
    R *track(R *request, void (Cabinet::*slot)() = nullptr)
    {
        if (request) {
            request->setSession(m_session);
            if (slot)
                connect(request, &Request::finished, this, slot);
        }
        return request;
    }

    // Called by setCredentials() once the credentials are known to change, after the new
    // sign-in began and before anything is sent under it: the transport drops what it
    // holds for the earlier one.
    virtual void renewTransport();

    void setState(int state);
    // Stores the error without emitting anything.
    void setLastError(const Error &error) { m_lastError = error; }
    // A transport failure: error() and the reconnect back-off (armed once per failed
    // round), then state 0.
    void recordTransportError(const Error &error);
    // Credentials refused: the account data is reset, error() with code 30, state 0.
    void recordAuthenticationFailure();
    void resetAccountData();

private:
    template <typename R>
    R *arrival() const;
    ProfileData *ensureProfileData(quint32 profileId);
    void refreshProfileData(quint32 profileId);
    void refreshAllProfiles();
    void updateCurrentProfile();
    void saveProfiles();
    void storeSchedule(ProfileData *data, const CabinetSchedule &schedule);
    void dropVanishedProfileData();
    void writeAgentUids();
    void loadFromSettings();
    void loadFromCache();
    void readCachedParts();
    QSharedPointer<CabinetProfile> listedProfile(quint32 profileId) const;

    int m_state = Disconnected;
    QString m_user;
    QString m_password;
    QString m_pendingProfileName;
    JsonCache *m_cache;
    QHostAddress m_ip;
    Error m_lastError;
    CabinetSystemInfo m_systemInfo;
    CabinetCategoryGroupList m_categories;
    CabinetUserInfo m_userInfo;
    CabinetProfiles m_profiles;
    QSharedPointer<CabinetProfile> m_selected;
    QSharedPointer<CabinetProfile> m_current;
    QHash<quint32, QSharedPointer<ProfileData>> m_profileData;
    QTimer *m_activityTimer;
    ReconnectBackoff m_backoff;
    QTimer *m_reconnectTimer;
    QTimer *m_identificationTimer;
    quint32 m_token = 0;
    QMap<QString, QString> m_agentUids;
    bool m_identificationWanted = false;
    quint64 m_session = 1;
};

#pragma once

#include "cabinetcategory.h"
#include "cabinetdomain.h"
#include "cabinetprofile.h"
#include "cabinetschedule.h"
#include "deferred.h"
#include "error.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QVariant>

class GuiConnector;
class IpcServer;

// A stand-in for corvane-service on the IPC socket, as a desktop client sees it: the
// greeting of a new connection (the eight messages in the service's order, the password
// left empty, then the identification), broadcasts of every change, and answers to the
// methods the client calls. The public fields are the script; change them before a client
// connects, or call the send* functions to push a change to every connection.
//
// The settings lock is enforced per connection as the service does: while settingsLocked
// is true, a protected call ("setGlobalFiltering" off, "setSettingsProtection",
// "setSetting", "setProfile", "setNetworkProtection", "setCredentials" for another login,
// and the account edits: "addProfile", "addDomain", "removeDomain", "clearDomains", the
// mapping) is answered with code 1 until "unlockSettings" succeeded on that connection; a
// protected notification (the profile switches, "removeProfile", "setFilterCat") is
// dropped.
//
// The account edits take their parameters as they arrive, so that calls() records the
// JSON types the client sent (typeSignature() names them), and change the script's data
// as the service would, announcing the change to every client. Domain lists live in the
// script (domainLists); reads ("domains", "userFilter") answer at once with what is
// there, and every change is broadcast as "setDomains". "systemInfo" answers the report
// text after reportDelayMs, or waits for the test while holdSystemInfo is set.
class FakeService : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(FakeService)

public:
    enum class Identification {
        None,               // nothing follows the greeting: the client keeps waiting
        Identified,         // "setIdentification"(1, current profile)
        Failed,             // "setIdentificationError"(1, code 1)
        CredentialsRefused, // "setIdentificationError"(1, code 30)
    };

    struct Call
    {
        QString method;
        QVariantList params;
    };

    explicit FakeService(QObject *parent = nullptr);
    ~FakeService() override;

    bool start(const QString &socketPath);
    // Closes the server and every connection, as a stopped service does.
    void stop();
    int connectionCount() const;

    // The script.
    QString login = QStringLiteral("parent@example.com");
    QString password = QStringLiteral("secret"); // accepted by "unlockSettings"; never sent
    bool settingsLocked = false;
    bool globalFiltering = true;
    QVariantList networks;         // maps of "id", "name", "protected"
    CabinetProfileList profiles;
    quint32 currentProfile = 0;
    QString dnsServer = QStringLiteral("127.0.0.1");
    Identification identification = Identification::Identified;
    // The next this many protected calls are refused as locked whatever the lock says (a
    // service that forgot an unlock, or that the client believes unprotected).
    int lockedRefusals = 0;
    // Methods that answer with this error instead of doing their work.
    QHash<QString, ::Error> failures;
    // Methods that answer with this result instead of doing their work (a malformed answer,
    // say).
    QHash<QString, QVariant> answers;
    // The design's service sends the account password in clear in the greeting's
    // "setCredentials"; true plays such a service.
    bool sendsPassword = false;
    // Domain lists by profile id, then list type (0 white, 1 black, 2 alias).
    QHash<quint32, QHash<int, CabinetDomains>> domainLists;
    quint32 lastDomainId = 100;
    int reportDelayMs = 0;

    // The account's data beside the profiles and lists, keyed by profile id.
    CabinetCategoryGroupList categoryGroups;
    QHash<quint32, QVariantList> blockedCategories;
    QHash<quint32, CabinetSchedule> schedules;
    QVariantMap userToProfileMap;
    bool userMappingEnabled = false;
    quint32 nextId = 500; // of new profiles
    // "systemInfo": answered with this text, unless holdSystemInfo keeps the calls waiting
    // in pendingSystemInfo for the test to answer.
    QString systemInfoReport = QStringLiteral("Local DNS: 127.0.0.1:53\n");
    bool holdSystemInfo = false;
    QList<Deferred> pendingSystemInfo;

    // A small account: two profiles (the default one current), one protected connection,
    // two category groups and a schedule.
    void useSampleAccount();
    // A few entries in each list of the first profile; new entries get ids from 201.
    void useSampleLists();

    // The JSON types of parameters as the engine received them: "uint" (a non-negative
    // integer), "int", "bool", "string", "map", "list", "double", "null", joined by ",".
    static QString typeSignature(const QVariantList &params);

    // Everything received, in order (calls and notifications alike).
    QList<Call> calls;
    int count(const QString &method) const;
    QVariantList lastParams(const QString &method) const;

    void broadcast(const char *method, const QVariantList &params, GuiConnector *except = nullptr);
    void sendIdentification(GuiConnector *connection = nullptr);
    void sendNetworks();
    void sendProfiles();
    CabinetProfile *profile(quint32 id);

Q_SIGNALS:
    void received(const QString &method);
    void clientConnected();

private:
    friend class FakeServiceHandler;
    void greet(GuiConnector *connection);
    QVariant networksInfo() const;

    IpcServer *m_server;
};

// The methods of one connection; its own class, so that the engine finds exactly these.
class FakeServiceHandler : public QObject
{
    Q_OBJECT

public:
    FakeServiceHandler(FakeService *service, GuiConnector *connection);

    bool isUnlocked() const { return m_unlocked; }

public Q_SLOTS:
    Deferred unlockSettings(const QString &user, const QString &password);
    Deferred setCredentials(const QString &user, const QString &password);
    Deferred setGlobalFiltering(bool on, int minutes);
    Deferred setSettingsProtection(bool on);
    Deferred setSetting(const QString &key, const QString &value);
    Deferred setProfile(uint profileId);
    Deferred setNetworkProtection(const QString &name, bool on, const QVariantList &addresses);
    void updateProfiles();
    void updateTokenProfileId();

    // The account edits, with their parameters as they arrive.
    Deferred addProfile(const QVariant &name);
    void removeProfile(const QVariant &profileId);
    void setScheduleEnabled(const QVariant &profileId, const QVariant &on);
    void setWhiteListOnly(const QVariant &profileId, const QVariant &on);
    void setBlockUnknownEnabled(const QVariant &profileId, const QVariant &on);
    void setSafeSearchEnabled(const QVariant &profileId, const QVariant &on);
    void setSafeYoutubeEnabled(const QVariant &profileId, const QVariant &on);
    Deferred categories(const QVariant &language);
    Deferred userFilter(const QVariant &profileId);
    void setFilterCat(const QVariant &profileId, const QVariant &categoryId, const QVariant &blocked);
    Deferred domains(const QVariant &profileId, const QVariant &listType);
    Deferred addDomain(const QVariant &profileId, const QVariant &listType, const QVariant &domain,
                       const QVariant &address);
    Deferred addDomain(const QVariant &profileId, const QVariant &listType, const QVariant &domain);
    Deferred removeDomain(const QVariant &profileId, const QVariant &listType, const QVariant &entryId);
    Deferred clearDomains(uint profileId, const QString &type);
    Deferred setLocalUserToProfileMappingStatus(const QVariant &on);
    Deferred UserToProfileMapFileWasUpdated(const QVariant &map);
    Deferred schedule(const QVariant &profileId);
    Deferred systemInfo();

private:
    bool record(const char *method, const QVariantList &params, Deferred *answer);
    bool refuseLocked(Deferred *answer);
    // A protected notification from a locked connection is dropped, as the service does.
    bool recordNotification(const char *method, const QVariantList &params);
    void setFlag(const char *method, const QVariant &profileId, const QVariant &on,
                 void (CabinetProfile::*setter)(bool));
    void announceDomains(uint profileId, int type);
    Deferred addEntry(const QVariantList &params, const QVariant &address);

    FakeService *m_service;
    QPointer<GuiConnector> m_connection;
    bool m_unlocked = false;
};

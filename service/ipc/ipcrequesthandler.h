#pragma once

#include "deferred.h"
#include "error.h"
#include "hostlist.h"
#include "peercredentials.h"

#include <QObject>
#include <QPointer>
#include <QVariant>

class GuiConnector;
class ServerInterface;

// The JSON-RPC methods of one desktop client's connection: its public slots are exactly
// what the client may call (by name and parameter count), nothing else of the service.
// Created for every connection and deleted with it.
//
// The settings lock is enforced here, per connection: while "settings-protected" is true
// and credentials are stored, the guarded methods (isGuarded()) refuse with code 1 until
// "unlockSettings" succeeded on this connection, unless the peer is root. Reading,
// refreshing and switching filtering on stay open to all. Guarded methods that answer
// nothing otherwise return an Error, so that a refused call gets its error while a
// successful one still answers null; a refused notification is dropped with a
// rate-limited warning.
class IPCRequestHandler : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(IPCRequestHandler)

public:
    static constexpr qint32 LockedCode = 1;
    static const QString LockedMessage;

    // connection may be null (tests); the peer is then nobody in particular.
    IPCRequestHandler(ServerInterface *server, GuiConnector *connection, QObject *parent = nullptr);
    ~IPCRequestHandler() override;

    // Whether a method of the interface changes filtering, the account or the service's
    // settings (and so needs an unlocked connection).
    static bool isGuarded(const QString &method);
    bool isUnlocked() const { return m_unlocked; }
    // Who the client is; taken from the connection at construction.
    void setPeer(const PeerCredentials &peer) { m_peer = peer; }
    // True when guarded calls are refused on this connection now.
    bool isLocked() const;

public slots:
    Deferred registerUser(const QString &user, const QString &password);
    Deferred setCredentials(const QString &user, const QString &password);
    void updateUserInfo();
    Deferred addProfile(const QString &name);
    Error removeProfile(uint profileId);
    Error setProfile(uint profileId);
    Error setLocalUserToProfileMappingStatus(bool status);
    void updateProfiles();
    Error UserToProfileMapFileWasUpdated(const QVariantMap &map);
    Deferred categories(const QString &language);
    Error setFilterCat(uint profileId, uint categoryId, bool blocked);
    QVariant userFilter(uint profileId);
    Deferred addDomain(uint profileId, const QString &listType, const QString &domain, const QString &address);
    Deferred addDomain(uint profileId, const QString &listType, const QString &domain);
    Error clearDomains(uint profileId, const QString &listType);
    QVariant domains(uint profileId, const QString &listType);
    Error removeDomain(uint profileId, const QString &listType, uint domainId);
    Error setSetting(const QString &key, const QString &value);
    Error setSettingsProtection(bool state);
    Deferred unlockSettings(const QString &user, const QString &password);
    void updateTokenProfileId();
    Error setLocalDnsAddress(const QString &address, ushort port);
    Error setNetworkProtection(const QString &name, bool state, const HostList &addresses);
    QVariant schedule(uint profileId);
    Error setSchedule(uint profileId, const QVariantList &schedule);
    Error setScheduleEnabled(uint profileId, bool enabled);
    Error setGlobalFiltering(bool state, int delayMinutes);
    void setTokensEnabled(bool state);
    Error setSafeSearchEnabled(uint profileId, bool enabled);
    Error setSafeYoutubeEnabled(uint profileId, bool enabled);
    Error setWhiteListOnly(uint profileId, bool enabled);
    Error setBlockUnknownEnabled(uint profileId, bool enabled);
    Deferred systemInfo();

private:
    // Error() when the call may go on; else the refusal, warned about.
    Error refusal() const;

    ServerInterface *m_server;
    QPointer<GuiConnector> m_connection;
    PeerCredentials m_peer;
    bool m_unlocked = false;
};

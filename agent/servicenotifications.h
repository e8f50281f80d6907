#pragma once

#include <QObject>
#include <QVariant>

class Agent;

// The JSON-RPC handler of the connection to the service. The service may call exactly the
// methods declared here, the notifications it sends to desktop clients, each with its
// parameter count; they pass what arrives to the Agent. Nothing else of the client (its
// slots, its signals) is reachable from the socket.
class ServiceNotifications : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ServiceNotifications)

public:
    explicit ServiceNotifications(Agent *agent);

public Q_SLOTS:
    void setIdentification(uint type, const QVariant &value);
    void setIdentificationError(uint type, const QVariant &error);
    // Login and password may come as null (no account yet) as well as text.
    void setCredentials(const QVariant &login, const QVariant &password);
    void setGlobalFiltering(bool on);
    void setSettingsLocked(bool locked);
    void setNetworks(const QVariantMap &networks);
    void setNetworkProtection(const QString &name, bool on);
    void setProfiles(const QVariant &profiles, uint selectedId);
    void setSelectedProfile(uint id);
    void setUserFilter(uint profileId, const QVariant &filter);
    void setDomains(uint profileId, int type, const QVariant &list);
    void setUserToProfMap(const QVariantMap &map);
    void setSettings(const QVariantMap &settings);
    void setUserInfo(const QVariant &info);
    void setProfileScheduleActivity(uint profileId, bool active);

private:
    Agent *m_agent;
};

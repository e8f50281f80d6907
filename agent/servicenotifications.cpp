#include "servicenotifications.h"

#include "agent.h"

ServiceNotifications::ServiceNotifications(Agent *agent)
    : QObject(agent)
    , m_agent(agent)
{
}

void ServiceNotifications::setIdentification(uint type, const QVariant &value)
{
    m_agent->setIdentification(type, value);
}

void ServiceNotifications::setIdentificationError(uint type, const QVariant &error)
{
    m_agent->setIdentificationError(type, error);
}

void ServiceNotifications::setCredentials(const QVariant &login, const QVariant &password)
{
    m_agent->setCredentials(login.toString(), password.toString());
}

void ServiceNotifications::setGlobalFiltering(bool on)
{
    m_agent->setGlobalFiltering(on);
}

void ServiceNotifications::setSettingsLocked(bool locked)
{
    m_agent->setSettingsLocked(locked);
}

void ServiceNotifications::setNetworks(const QVariantMap &networks)
{
    m_agent->setNetworks(networks);
}

void ServiceNotifications::setNetworkProtection(const QString &name, bool on)
{
    m_agent->setNetworkProtection(name, on);
}

void ServiceNotifications::setProfiles(const QVariant &profiles, uint selectedId)
{
    m_agent->setProfiles(profiles, selectedId);
}

void ServiceNotifications::setSelectedProfile(uint id)
{
    m_agent->setSelectedProfile(id);
}

void ServiceNotifications::setUserFilter(uint profileId, const QVariant &filter)
{
    m_agent->setUserFilter(profileId, filter);
}

void ServiceNotifications::setDomains(uint profileId, int type, const QVariant &list)
{
    m_agent->setDomains(profileId, type, list);
}

void ServiceNotifications::setUserToProfMap(const QVariantMap &map)
{
    m_agent->setUserToProfMap(map);
}

void ServiceNotifications::setSettings(const QVariantMap &settings)
{
    m_agent->setSettings(settings);
}

void ServiceNotifications::setUserInfo(const QVariant &info)
{
    m_agent->setUserInfo(info);
}

// Nothing in the client depends on the schedule's activity.
void ServiceNotifications::setProfileScheduleActivity(uint, bool)
{
}

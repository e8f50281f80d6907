#include "notificationhandler.h"

NotificationHandler::NotificationHandler(Receiver receiver, QObject *parent)
    : QObject(parent)
    , m_receiver(std::move(receiver))
{
}

void NotificationHandler::setSettings(const QVariant &settings)
{
    m_receiver(QStringLiteral("setSettings"), {settings});
}

void NotificationHandler::setNetworks(const QVariant &networks)
{
    m_receiver(QStringLiteral("setNetworks"), {networks});
}

void NotificationHandler::setCredentials(const QVariant &login, const QVariant &password)
{
    m_receiver(QStringLiteral("setCredentials"), {login, password});
}

void NotificationHandler::setSettingsLocked(const QVariant &locked)
{
    m_receiver(QStringLiteral("setSettingsLocked"), {locked});
}

void NotificationHandler::setGlobalFiltering(const QVariant &on)
{
    m_receiver(QStringLiteral("setGlobalFiltering"), {on});
}

void NotificationHandler::setUserInfo(const QVariant &info)
{
    m_receiver(QStringLiteral("setUserInfo"), {info});
}

void NotificationHandler::setProfiles(const QVariant &profiles, const QVariant &currentId)
{
    m_receiver(QStringLiteral("setProfiles"), {profiles, currentId});
}

void NotificationHandler::setProfileScheduleActivity(const QVariant &profileId, const QVariant &active)
{
    m_receiver(QStringLiteral("setProfileScheduleActivity"), {profileId, active});
}

void NotificationHandler::setSelectedProfile(const QVariant &profileId)
{
    m_receiver(QStringLiteral("setSelectedProfile"), {profileId});
}

void NotificationHandler::setUserFilter(const QVariant &profileId, const QVariant &filter)
{
    m_receiver(QStringLiteral("setUserFilter"), {profileId, filter});
}

void NotificationHandler::setDomains(const QVariant &profileId, const QVariant &type, const QVariant &list)
{
    m_receiver(QStringLiteral("setDomains"), {profileId, type, list});
}

void NotificationHandler::setNetworkProtection(const QVariant &name, const QVariant &on)
{
    m_receiver(QStringLiteral("setNetworkProtection"), {name, on});
}

void NotificationHandler::setUserToProfMap(const QVariant &map)
{
    m_receiver(QStringLiteral("setUserToProfMap"), {map});
}

void NotificationHandler::setIdentification(const QVariant &type, const QVariant &value)
{
    m_receiver(QStringLiteral("setIdentification"), {type, value});
}

void NotificationHandler::setIdentificationError(const QVariant &type, const QVariant &error)
{
    m_receiver(QStringLiteral("setIdentificationError"), {type, error});
}

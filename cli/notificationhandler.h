#pragma once

#include <QObject>
#include <QVariant>

#include <functional>

// The JSON-RPC handler of corvanectl's connection: the service may call exactly the
// notifications it sends to its clients, each with its parameter count, and nothing else.
// Every parameter is taken as it arrived (QVariant), so that no notification is refused
// by the engine before ServiceState has checked it and can say what was wrong.
class NotificationHandler : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(NotificationHandler)

public:
    using Receiver = std::function<void(const QString &method, const QVariantList &params)>;

    explicit NotificationHandler(Receiver receiver, QObject *parent = nullptr);

public Q_SLOTS:
    void setSettings(const QVariant &settings);
    void setNetworks(const QVariant &networks);
    void setCredentials(const QVariant &login, const QVariant &password);
    void setSettingsLocked(const QVariant &locked);
    void setGlobalFiltering(const QVariant &on);
    void setUserInfo(const QVariant &info);
    void setProfiles(const QVariant &profiles, const QVariant &currentId);
    void setProfileScheduleActivity(const QVariant &profileId, const QVariant &active);
    void setSelectedProfile(const QVariant &profileId);
    void setUserFilter(const QVariant &profileId, const QVariant &filter);
    void setDomains(const QVariant &profileId, const QVariant &type, const QVariant &list);
    void setNetworkProtection(const QVariant &name, const QVariant &on);
    void setUserToProfMap(const QVariant &map);
    void setIdentification(const QVariant &type, const QVariant &value);
    void setIdentificationError(const QVariant &type, const QVariant &error);

private:
    Receiver m_receiver;
};

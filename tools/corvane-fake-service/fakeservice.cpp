#include "fakeservice.h"

#include "cabinetuserinfo.h"
#include "guiconnector.h"
#include "ipcserver.h"
#include "networks.h"

#include <QHostAddress>
#include <QLocalSocket>
#include <QTimer>

namespace {

Deferred answered(const QVariant &result)
{
    Deferred deferred;
    deferred.callback(result);
    return deferred;
}

Deferred failed(const ::Error &error)
{
    Deferred deferred;
    deferred.errback(error);
    return deferred;
}

QVariant errorMap(qint32 code, const QString &message)
{
    return ::Error(code, message).toVariant();
}

} // namespace

FakeService::FakeService(QObject *parent)
    : QObject(parent)
    , m_server(new IpcServer(this))
{
    registerDeferredMetaType();
    connect(m_server, &IpcServer::newConnection, this, [this](GuiConnector *connection) {
        connection->setJsonRpcHandler(new FakeServiceHandler(this, connection));
        greet(connection);
        Q_EMIT clientConnected();
    });
}

FakeService::~FakeService() = default;

bool FakeService::start(const QString &socketPath)
{
    m_server->setSocketPath(socketPath);
    return m_server->start();
}

void FakeService::stop()
{
    m_server->close();
    const QList<GuiConnector *> connections = m_server->connections();
    for (GuiConnector *connection : connections)
        connection->socket()->abort();
}

int FakeService::connectionCount() const
{
    return m_server->connections().size();
}

void FakeService::useSampleAccount()
{
    CabinetProfile kids;
    kids.setName(QStringLiteral("Kids"));
    kids.setId(11);
    kids.setToken(1011);
    kids.setDefault(true);
    CabinetProfile school;
    school.setName(QStringLiteral("Homework"));
    school.setId(12);
    school.setToken(1012);
    profiles.clear();
    profiles << kids << school;
    currentProfile = 11;
    networks = {Network(QStringLiteral("eth0"), QStringLiteral("Wired connection 1"), true).toVariant(),
                Network(QStringLiteral("wlan0"), QStringLiteral("Home Wi-Fi"), false).toVariant()};
}

int FakeService::count(const QString &method) const
{
    int n = 0;
    for (const Call &call : calls)
        n += call.method == method ? 1 : 0;
    return n;
}

QVariantList FakeService::lastParams(const QString &method) const
{
    for (int i = calls.size() - 1; i >= 0; --i) {
        if (calls.at(i).method == method)
            return calls.at(i).params;
    }
    return QVariantList();
}

QVariant FakeService::networksInfo() const
{
    QVariantMap info;
    info.insert(NetworksInfo::NetworksKey, networks);
    info.insert(NetworksInfo::DefaultRouteIdKey, QVariant());
    return info;
}

void FakeService::greet(GuiConnector *connection)
{
    QVariantMap settings;
    settings.insert(QStringLiteral("localproxy-addr"), QStringLiteral("127.0.0.1"));
    settings.insert(QStringLiteral("catserv-dns"), dnsServer);
    settings.insert(QStringLiteral("local_user_to_profile_mapping_status"), false);
    settings.insert(QStringLiteral("user_to_prof_map"), QVariantMap());
    connection->notify("setSettings", {settings});
    connection->notify("setNetworks", {networksInfo()});
    // The service never sends the account password, unless the script plays one that does.
    connection->notify("setCredentials", {login, sendsPassword ? password : QStringLiteral("")});
    connection->notify("setSettingsLocked", {settingsLocked});
    connection->notify("setGlobalFiltering", {globalFiltering});
    connection->notify("setUserInfo", {CabinetUserInfo().toVariant()});
    connection->notify("setProfiles", {profiles.toVariant(), currentProfile});
    connection->notify("setProfileScheduleActivity", {currentProfile, true});
    QPointer<GuiConnector> target(connection);
    QMetaObject::invokeMethod(this, [this, target] {
        if (target)
            sendIdentification(target);
    }, Qt::QueuedConnection);
}

void FakeService::broadcast(const char *method, const QVariantList &params, GuiConnector *except)
{
    m_server->broadcast(method, params, except ? QList<GuiConnector *>{except} : QList<GuiConnector *>());
}

void FakeService::sendIdentification(GuiConnector *connection)
{
    const char *method = nullptr;
    QVariantList params;
    switch (identification) {
    case Identification::None:
        return;
    case Identification::Identified:
        method = "setIdentification";
        params = {1u, currentProfile};
        break;
    case Identification::Failed:
        method = "setIdentificationError";
        params = {1u, errorMap(1, QStringLiteral("Identification failed"))};
        break;
    case Identification::CredentialsRefused:
        method = "setIdentificationError";
        params = {1u, errorMap(30, QStringLiteral("Invalid credentials"))};
        break;
    }
    if (connection)
        connection->notify(method, params);
    else
        broadcast(method, params);
}

void FakeService::sendNetworks()
{
    broadcast("setNetworks", {networksInfo()});
}

FakeServiceHandler::FakeServiceHandler(FakeService *service, GuiConnector *connection)
    : QObject(connection)
    , m_service(service)
    , m_connection(connection)
{
}

// Records the call; false (with the answer set) when the script makes it fail.
bool FakeServiceHandler::record(const char *method, const QVariantList &params, Deferred *answer)
{
    const QString name = QString::fromLatin1(method);
    m_service->calls.append({name, params});
    Q_EMIT m_service->received(name);
    if (m_service->answers.contains(name)) {
        *answer = answered(m_service->answers.value(name));
        return false;
    }
    if (!m_service->failures.contains(name))
        return true;
    *answer = failed(m_service->failures.value(name));
    return false;
}

bool FakeServiceHandler::refuseLocked(Deferred *answer)
{
    const bool forced = m_service->lockedRefusals > 0;
    if (forced)
        --m_service->lockedRefusals;
    else if (!m_service->settingsLocked || m_unlocked)
        return false;
    *answer = failed(::Error(1, QStringLiteral("The settings are protected: unlock them first")));
    return true;
}

Deferred FakeServiceHandler::unlockSettings(const QString &user, const QString &password)
{
    Deferred answer;
    if (!record("unlockSettings", {user, password}, &answer))
        return answer;
    if (m_service->settingsLocked && (user != m_service->login || password != m_service->password))
        return failed(::Error(30, QStringLiteral("Invalid credentials")));
    m_unlocked = true;
    return answered(QVariant());
}

Deferred FakeServiceHandler::setCredentials(const QString &user, const QString &password)
{
    Deferred answer;
    if (!record("setCredentials", {user, password}, &answer))
        return answer;
    if (user != m_service->login && refuseLocked(&answer))
        return answer;
    if (user != m_service->login || password != m_service->password) {
        m_service->identification = FakeService::Identification::CredentialsRefused;
        m_service->sendIdentification();
        return failed(::Error(30, QStringLiteral("Invalid credentials")));
    }
    m_service->identification = FakeService::Identification::Identified;
    m_service->sendIdentification();
    return answered(true);
}

Deferred FakeServiceHandler::setGlobalFiltering(bool on, int minutes)
{
    Deferred answer;
    if (!record("setGlobalFiltering", {on, minutes}, &answer))
        return answer;
    if (!on && refuseLocked(&answer))
        return answer;
    if (on != m_service->globalFiltering) {
        m_service->globalFiltering = on;
        m_service->broadcast("setGlobalFiltering", {on});
    }
    return answered(QVariant());
}

Deferred FakeServiceHandler::setSettingsProtection(bool on)
{
    Deferred answer;
    if (!record("setSettingsProtection", {on}, &answer) || refuseLocked(&answer))
        return answer;
    m_service->settingsLocked = on;
    m_service->broadcast("setSettingsLocked", {on}, m_connection);
    return answered(QVariant());
}

Deferred FakeServiceHandler::setSetting(const QString &key, const QString &value)
{
    Deferred answer;
    if (!record("setSetting", {key, value}, &answer) || refuseLocked(&answer))
        return answer;
    if (key == QLatin1String("catserv-dns"))
        m_service->dnsServer = value;
    return answered(QVariant());
}

Deferred FakeServiceHandler::setProfile(uint profileId)
{
    Deferred answer;
    if (!record("setProfile", {profileId}, &answer) || refuseLocked(&answer))
        return answer;
    bool known = false;
    for (const CabinetProfile &profile : qAsConst(m_service->profiles))
        known = known || profile.id() == profileId;
    if (!known)
        return failed(::Error(1, QStringLiteral("No such profile")));
    m_service->currentProfile = profileId;
    m_service->broadcast("setSelectedProfile", {profileId});
    m_service->sendIdentification();
    return answered(::Error().toVariant());
}

Deferred FakeServiceHandler::setNetworkProtection(const QString &name, bool on, const QVariantList &addresses)
{
    Deferred answer;
    if (!record("setNetworkProtection", {name, on, addresses}, &answer) || refuseLocked(&answer))
        return answer;
    for (QVariant &item : m_service->networks) {
        QVariantMap network = item.toMap();
        // The desktop client names a network by its display name, corvanectl by its id.
        if (network.value(Network::NameKey).toString() == name || network.value(Network::IdKey).toString() == name)
            network.insert(Network::ProtectedKey, on);
        item = network;
    }
    m_service->sendNetworks();
    return answered(::Error().toVariant());
}

// The service asks the account again and announces the profiles once more.
void FakeServiceHandler::updateProfiles()
{
    Deferred ignored;
    record("updateProfiles", {}, &ignored);
    if (m_connection)
        m_connection->notify("setProfiles", {m_service->profiles.toVariant(), m_service->currentProfile});
}

void FakeServiceHandler::updateTokenProfileId()
{
    Deferred ignored;
    record("updateTokenProfileId", {}, &ignored);
}

Deferred FakeServiceHandler::userFilter(uint profileId)
{
    Deferred answer;
    if (!record("userFilter", {profileId}, &answer))
        return answer;
    return answered(QVariantList());
}

Deferred FakeServiceHandler::domains(uint profileId, const QString &type)
{
    Deferred answer;
    if (!record("domains", {profileId, type}, &answer))
        return answer;
    return answered(m_service->domainLists.value(profileId).value(CabinetDomain::listTypeFromString(type)).toVariant());
}

Deferred FakeServiceHandler::addDomain(uint profileId, const QString &type, const QString &domain)
{
    return addDomain(profileId, type, domain, QString());
}

Deferred FakeServiceHandler::addDomain(uint profileId, const QString &type, const QString &domain, const QString &address)
{
    Deferred answer;
    QVariantList params = {profileId, type, domain};
    if (!address.isNull())
        params << address;
    if (!record("addDomain", params, &answer) || refuseLocked(&answer))
        return answer;
    const CabinetDomain::Type list = CabinetDomain::listTypeFromString(type);
    const quint32 id = ++m_service->lastDomainId;
    m_service->domainLists[profileId][list].append(
            CabinetDomain(id, domain, list == CabinetDomain::AliasList ? QHostAddress(address) : QHostAddress()));
    announceDomains(profileId, list);
    return answered(id);
}

Deferred FakeServiceHandler::removeDomain(uint profileId, const QString &type, uint domainId)
{
    Deferred answer;
    if (!record("removeDomain", {profileId, type, domainId}, &answer) || refuseLocked(&answer))
        return answer;
    const CabinetDomain::Type list = CabinetDomain::listTypeFromString(type);
    m_service->domainLists[profileId][list].removeDomain(domainId);
    announceDomains(profileId, list);
    return answered(QVariant());
}

Deferred FakeServiceHandler::clearDomains(uint profileId, const QString &type)
{
    Deferred answer;
    if (!record("clearDomains", {profileId, type}, &answer) || refuseLocked(&answer))
        return answer;
    const CabinetDomain::Type list = CabinetDomain::listTypeFromString(type);
    m_service->domainLists[profileId][list].clear();
    announceDomains(profileId, list);
    return answered(QVariant());
}

void FakeServiceHandler::announceDomains(uint profileId, int type)
{
    m_service->broadcast("setDomains", {profileId, type, m_service->domainLists.value(profileId).value(type).toVariant()});
}

Deferred FakeServiceHandler::systemInfo()
{
    Deferred answer;
    if (!record("systemInfo", {}, &answer))
        return answer;
    QTimer::singleShot(m_service->reportDelayMs, this, [answer, text = m_service->report]() mutable {
        answer.callback(text);
    });
    return answer;
}

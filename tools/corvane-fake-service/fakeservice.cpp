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

    auto group = [](const QString &name, const QList<CabinetCategory> &categories) {
        CabinetCategoryGroup g;
        g.setName(name);
        g.setCategories(categories);
        return g;
    };
    categoryGroups.clear();
    categoryGroups << group(QStringLiteral("Adult"), {CabinetCategory(1, QStringLiteral("Pornography")),
                                                      CabinetCategory(2, QStringLiteral("Gambling")),
                                                      CabinetCategory(3, QStringLiteral("Dating"))})
                   << group(QStringLiteral("Leisure"), {CabinetCategory(30, QStringLiteral("Social networks")),
                                                        CabinetCategory(31, QStringLiteral("Games")),
                                                        CabinetCategory(32, QStringLiteral("Video streaming")),
                                                        CabinetCategory(33, QStringLiteral("Chat"))});
    blockedCategories = {{11, {1, 2, 3}}, {12, {30, 31}}};
    CabinetSchedule week;
    for (int day = 0; day < CabinetSchedule::DaysPerWeek; ++day)
        week << CabinetScheduleDay(true, day < 5 ? QStringLiteral("07:00") : QStringLiteral("09:00"),
                                   day < 5 ? QStringLiteral("20:30") : QStringLiteral("22:00"));
    schedules = {{11, week}};
}

void FakeService::useSampleLists()
{
    auto list = [](const QList<CabinetDomain> &entries) {
        CabinetDomains domains;
        domains.append(entries);
        return domains;
    };
    domainLists.clear();
    domainLists[11][CabinetDomain::WhiteList] = list({CabinetDomain(101, QStringLiteral("school.example"))});
    domainLists[11][CabinetDomain::BlackList] = list({CabinetDomain(102, QStringLiteral("casino.example")),
                                                      CabinetDomain(103, QStringLiteral("games.example"))});
    domainLists[11][CabinetDomain::AliasList] = list({CabinetDomain(104, QStringLiteral("printer.example"),
                                                                    QHostAddress(QStringLiteral("192.0.2.80")))});
    lastDomainId = 200;
}

QString FakeService::typeSignature(const QVariantList &params)
{
    QStringList types;
    for (const QVariant &value : params) {
        switch (value.userType()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
            types << (value.toLongLong() < 0 ? QStringLiteral("int") : QStringLiteral("uint"));
            break;
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            types << QStringLiteral("uint");
            break;
        case QMetaType::Bool:
            types << QStringLiteral("bool");
            break;
        case QMetaType::QString:
            types << QStringLiteral("string");
            break;
        case QMetaType::QVariantMap:
            types << QStringLiteral("map");
            break;
        case QMetaType::QVariantList:
            types << QStringLiteral("list");
            break;
        case QMetaType::Double:
            types << QStringLiteral("double");
            break;
        default:
            types << (value.isNull() ? QStringLiteral("null") : QString::fromLatin1(value.typeName()));
        }
    }
    return types.join(QLatin1Char(','));
}

CabinetProfile *FakeService::profile(quint32 id)
{
    for (CabinetProfile &candidate : profiles) {
        if (candidate.id() == id)
            return &candidate;
    }
    return nullptr;
}

void FakeService::sendProfiles()
{
    broadcast("setProfiles", {profiles.toVariant(), currentProfile});
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
    settings.insert(QStringLiteral("local_user_to_profile_mapping_status"), userMappingEnabled);
    settings.insert(QStringLiteral("user_to_prof_map"), userToProfileMap);
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

bool FakeServiceHandler::recordNotification(const char *method, const QVariantList &params)
{
    Deferred ignored;
    if (!record(method, params, &ignored))
        return false;
    return !(m_service->settingsLocked && !m_unlocked);
}

Deferred FakeServiceHandler::addProfile(const QVariant &name)
{
    Deferred answer;
    if (!record("addProfile", {name}, &answer) || refuseLocked(&answer))
        return answer;
    CabinetProfile added;
    added.setName(name.toString());
    added.setId(m_service->nextId++);
    added.setToken(added.id() + 1000);
    m_service->profiles << added;
    m_service->sendProfiles();
    return answered(added.toVariant());
}

void FakeServiceHandler::removeProfile(const QVariant &profileId)
{
    if (!recordNotification("removeProfile", {profileId}))
        return;
    for (int i = 0; i < m_service->profiles.size(); ++i) {
        if (m_service->profiles.at(i).id() == profileId.toUInt() && !m_service->profiles.at(i).isDefault()) {
            m_service->profiles.removeAt(i);
            m_service->sendProfiles();
            return;
        }
    }
}

void FakeServiceHandler::setFlag(const char *method, const QVariant &profileId, const QVariant &on,
                                 void (CabinetProfile::*setter)(bool))
{
    if (!recordNotification(method, {profileId, on}))
        return;
    if (CabinetProfile *profile = m_service->profile(profileId.toUInt())) {
        (profile->*setter)(on.toBool());
        m_service->sendProfiles();
    }
}

void FakeServiceHandler::setScheduleEnabled(const QVariant &profileId, const QVariant &on)
{
    setFlag("setScheduleEnabled", profileId, on, &CabinetProfile::setScheduleEnabled);
}

void FakeServiceHandler::setWhiteListOnly(const QVariant &profileId, const QVariant &on)
{
    setFlag("setWhiteListOnly", profileId, on, &CabinetProfile::setWhiteListOnlyEnabled);
}

void FakeServiceHandler::setBlockUnknownEnabled(const QVariant &profileId, const QVariant &on)
{
    setFlag("setBlockUnknownEnabled", profileId, on, &CabinetProfile::setBlockUnknownEnabled);
}

void FakeServiceHandler::setSafeSearchEnabled(const QVariant &profileId, const QVariant &on)
{
    setFlag("setSafeSearchEnabled", profileId, on, &CabinetProfile::setSafeSearchEnabled);
}

void FakeServiceHandler::setSafeYoutubeEnabled(const QVariant &profileId, const QVariant &on)
{
    setFlag("setSafeYoutubeEnabled", profileId, on, &CabinetProfile::setSafeYoutubeEnabled);
}

Deferred FakeServiceHandler::categories(const QVariant &language)
{
    Deferred answer;
    if (!record("categories", {language}, &answer))
        return answer;
    return answered(m_service->categoryGroups.toVariant());
}

// The cached set at once; the fresh one follows as a notification, as the service does.
Deferred FakeServiceHandler::userFilter(const QVariant &profileId)
{
    Deferred answer;
    if (!record("userFilter", {profileId}, &answer))
        return answer;
    const QVariantList blocked = m_service->blockedCategories.value(profileId.toUInt());
    if (m_connection)
        m_connection->notify("setUserFilter", {profileId.toUInt(), blocked});
    return answered(blocked);
}

void FakeServiceHandler::setFilterCat(const QVariant &profileId, const QVariant &categoryId, const QVariant &blocked)
{
    if (!recordNotification("setFilterCat", {profileId, categoryId, blocked}))
        return;
    QVariantList &set = m_service->blockedCategories[profileId.toUInt()];
    set.removeAll(categoryId.toUInt());
    if (blocked.toBool())
        set << categoryId.toUInt();
}

Deferred FakeServiceHandler::domains(const QVariant &profileId, const QVariant &listType)
{
    Deferred answer;
    if (!record("domains", {profileId, listType}, &answer))
        return answer;
    const int type = CabinetDomain::listTypeFromString(listType.toString());
    return answered(m_service->domainLists.value(profileId.toUInt()).value(type).toVariant());
}

// The address is recorded only when the client sent one, so that calls() shows what came.
Deferred FakeServiceHandler::addDomain(const QVariant &profileId, const QVariant &listType, const QVariant &domain,
                                       const QVariant &address)
{
    return addEntry({profileId, listType, domain, address}, address);
}

Deferred FakeServiceHandler::addDomain(const QVariant &profileId, const QVariant &listType, const QVariant &domain)
{
    return addEntry({profileId, listType, domain}, QVariant());
}

Deferred FakeServiceHandler::addEntry(const QVariantList &params, const QVariant &address)
{
    Deferred answer;
    if (!record("addDomain", params, &answer) || refuseLocked(&answer))
        return answer;
    const uint profileId = params.at(0).toUInt();
    const CabinetDomain::Type type = CabinetDomain::listTypeFromString(params.at(1).toString());
    const quint32 id = ++m_service->lastDomainId;
    m_service->domainLists[profileId][type].append(
        CabinetDomain(id, params.at(2).toString(),
                      type == CabinetDomain::AliasList ? QHostAddress(address.toString()) : QHostAddress()));
    announceDomains(profileId, type);
    return answered(id);
}

// Refused while locked when called; sent as a notification, the refusal goes unread and
// nothing changes, as with the service.
Deferred FakeServiceHandler::removeDomain(const QVariant &profileId, const QVariant &listType, const QVariant &entryId)
{
    Deferred answer;
    if (!record("removeDomain", {profileId, listType, entryId}, &answer) || refuseLocked(&answer))
        return answer;
    const CabinetDomain::Type type = CabinetDomain::listTypeFromString(listType.toString());
    m_service->domainLists[profileId.toUInt()][type].removeDomain(entryId.toUInt());
    announceDomains(profileId.toUInt(), type);
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

Deferred FakeServiceHandler::setLocalUserToProfileMappingStatus(const QVariant &on)
{
    Deferred answer;
    if (!record("setLocalUserToProfileMappingStatus", {on}, &answer) || refuseLocked(&answer))
        return answer;
    m_service->userMappingEnabled = on.toBool();
    return answered(::Error().toVariant());
}

Deferred FakeServiceHandler::UserToProfileMapFileWasUpdated(const QVariant &map)
{
    Deferred answer;
    if (!record("UserToProfileMapFileWasUpdated", {map}, &answer) || refuseLocked(&answer))
        return answer;
    m_service->userToProfileMap = map.toMap();
    m_service->broadcast("setUserToProfMap", {m_service->userToProfileMap});
    return answered(::Error().toVariant());
}

Deferred FakeServiceHandler::schedule(const QVariant &profileId)
{
    Deferred answer;
    if (!record("schedule", {profileId}, &answer))
        return answer;
    return answered(m_service->schedules.value(profileId.toUInt()).toVariant());
}

Deferred FakeServiceHandler::systemInfo()
{
    Deferred answer;
    if (!record("systemInfo", {}, &answer))
        return answer;
    if (m_service->holdSystemInfo) {
        m_service->pendingSystemInfo << answer;
        return answer;
    }
    QTimer::singleShot(m_service->reportDelayMs, this, [answer, text = m_service->systemInfoReport]() mutable {
        answer.callback(text);
    });
    return answer;
}

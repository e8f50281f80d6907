#include "server.h"

#include "cabinet.h"
#include "cabinetmetatypes.h"
#include "changeusermessanger.h"
#include "configuration.h"
#include "endpointvalidation.h"
#include "guiconnector.h"
#include "identification.h"
#include "ipcrequesthandler.h"
#include "ipcserver.h"
#include "legacyhttpcabinet.h"
#include "localanswers.h"
#include "networkinterfacemanager.h"
#include "server_p.h"
#include "settingskeys.h"

#include <QSettings>
#include <QTimer>

namespace {

// The settings of "setSettings" that are not the service's own keys.
const QString MappingStatusKey = QStringLiteral("local_user_to_profile_mapping_status");
const QString UserToProfileMapKey = QStringLiteral("user_to_prof_map");

} // namespace

Server::Server(QObject *parent)
    : Server(nullptr, nullptr, nullptr, parent)
{
}

Server::Server(Cabinet *cabinet, ConsoleUser *console, NetworkInterfaceManager *adapters, QObject *parent)
    : QObject(parent)
{
    // The handler's methods answer these types, and take HostList: the engine must know
    // them before the first call.
    registerErrorMetaType();
    registerDeferredMetaType();
    registerCabinetMetaTypes();
    Cabinet *account = cabinet ? cabinet : new LegacyHttpCabinet;
    account->setParent(this);
    d = new ServerPrivate(this, adapters, console);
    d->account = account;
    d->identification = new Identification(account, this, this);
    d->ipcServer = new IpcServer(this);

    connect(account, &Cabinet::domainsChanged, this, &Server::cabinet_domainsChanged);
    connect(account, &Cabinet::profileActivityChanged, this, &Server::cabinet_profileActivityChanged);
    connect(account, &Cabinet::profilesChanged, this, &Server::cabinet_profilesChanged);
    connect(account, &Cabinet::selectedProfileChanged, this, &Server::cabinet_selectedProfileChanged);
    connect(account, &Cabinet::userFilterChanged, this, &Server::cabinet_userFilterChanged);
    connect(account, &Cabinet::userInfoChanged, this, &Server::cabinet_userInfoChanged);
    connect(d->adapters, &NetworkInterfaceManager::configurationChanged, d, &ServerPrivate::interfacesConfigurationChanged);
    connect(d->identification, &Identification::stateChanged, d, &ServerPrivate::identificationStateChanged);
    connect(d->identification, &Identification::typeChanged, d, &ServerPrivate::identificationTypeChanged);
    connect(d->ipcServer, &IpcServer::newConnection, this, &Server::ipc_newConnection);
    connect(d->identificationTimer, &QTimer::timeout, this, &Server::sendIdentificationTimeout);
    connect(d->pauseTimer, &QTimer::timeout, d, &ServerPrivate::protectionPauseTimeout);
    // The check that this machine's lookups reach the proxy.
    connect(DNS::LocalAnswers::instance(), &DNS::LocalAnswers::probeAnswered, d->adapters,
            &NetworkInterfaceManager::probeSeen);
}

Server::~Server()
{
    // The identification's proxy reads this object as its context: it goes first.
    delete d->identification;
    d->identification = nullptr;
}

Error Server::lastError() const
{
    return d->lastError;
}

void Server::setLastError(const Error &error)
{
    d->lastError = error;
}

bool Server::start()
{
    d->lastError = Error();
    const ProxyEndpoints endpoints = validateEndpoints();
    d->upstreamAddress = endpoints.upstream.address;
    d->upstreamPort = endpoints.upstream.port;
    d->localProxyAddress = endpoints.local.address;
    d->localProxyPort = endpoints.local.port;
    DNS::LocalAnswers::instance()->setCanaryAnswered(QSettings().value(SettingsKeys::BrowserCanary, true).toBool());

    d->createUserMapping(d->account);
    if (QSettings().value(MappingStatusKey, false).toBool())
        d->setLocalUserToProfileMappingStatus(true, true);

    d->identification->start();

    d->giveDnsAddress();
    const Error adapters = d->adapters->initialise();
    if (adapters.isError()) {
        d->lastError = adapters;
        return false;
    }
    d->adaptersStarted = true;
    // Identification may already run (the account's data was cached).
    d->applyAdapterProtection();

    if (!d->ipcServer->start()) {
        const Error ipc = d->ipcServer->lastError();
        d->lastError = Error(ipc.code(), QStringLiteral("IPC start failed: ") + ipc.message());
        return false;
    }
    return true;
}

void Server::stop()
{
    d->pauseTimer->stop();
    if (d->adapters->isProtectionOn())
        d->adapters->setDnsOnInterfaces(false);
    d->adaptersStarted = false;
    d->identification->stop();
    d->identificationTimer->stop();
    d->ipcServer->close();
}

Cabinet *Server::cabinet() const
{
    return d->account;
}

Identification *Server::identification() const
{
    return d->identification;
}

IpcServer *Server::ipcServer() const
{
    return d->ipcServer;
}

NetworkInterfaceManager *Server::adapters() const
{
    return d->adapters;
}

ChangeUserMessanger *Server::userMapping() const
{
    return d->userMapping;
}

bool Server::isProtectionOn() const
{
    return d->protectionOn;
}

NetworksInfo Server::networks() const
{
    return d->adapters->networksInfo();
}

QVariantMap Server::userToProfileMap() const
{
    return d->userMapping ? d->userMapping->userToProfileMap() : QVariantMap();
}

quint32 Server::currentProfileId() const
{
    const QSharedPointer<CabinetProfile> current = d->account->currentProfile();
    return current ? current->id() : 0;
}

QHostAddress Server::localProxyAddress() const
{
    return d->localProxyAddress;
}

quint16 Server::localProxyPort() const
{
    return d->localProxyPort;
}

int Server::identificationType() const
{
    return d->identification->type();
}

int Server::accountState() const
{
    return d->account->state();
}

CabinetProfiles Server::profiles() const
{
    return d->account->profileList();
}

quint32 Server::selectedProfileId() const
{
    const QSharedPointer<CabinetProfile> selected = d->account->selectedProfile();
    return selected ? selected->id() : 0;
}

QHostAddress Server::publicAddress() const
{
    return d->account->ip();
}

QString Server::accountUser() const
{
    return d->account->userName();
}

QString Server::accountPassword() const
{
    return d->account->password();
}

bool Server::adapters(QList<AdapterDnsView> *views) const
{
    if (!d->adapters->hasEnumerated())
        return false;
    *views = d->adapters->dnsView();
    return true;
}

QString Server::dnsBackendName() const
{
    return d->adapters->backendName();
}

QString Server::dnsBackendReason() const
{
    return d->adapters->backendReason();
}

VerificationVerdict Server::lastVerification() const
{
    return d->adapters->lastVerification();
}

DNS::Endpoint Server::localEndpoint() const
{
    return DNS::Endpoint(d->localProxyAddress, d->localProxyPort);
}

DNS::Endpoint Server::upstreamEndpoint() const
{
    return DNS::Endpoint(d->upstreamAddress, d->upstreamPort);
}

quint32 Server::token() const
{
    return d->account->token();
}

BlockPage::HostAllowList Server::blockPageHosts() const
{
    const QVariant value = QSettings().value(SettingsKeys::BlockPageHosts, SettingsKeys::DefaultBlockPageHosts);
    // An ini file's "a, b" reads as a list; a text written by hand may hold the commas itself.
    const QStringList entries = value.type() == QVariant::StringList
            ? value.toStringList()
            : value.toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
    return BlockPage::HostAllowList::fromEntries(entries);
}

void Server::startTokenIdentification()
{
    d->identification->startWithType(Identification::TokenType);
}

void Server::broadcast(const char *method, const QList<QVariant> &params)
{
    d->ipcServer->broadcast(method, params);
}

void Server::cabinet_domainsChanged(quint32 profileId, int type)
{
    broadcast("setDomains", { profileId, type, d->account->domainsOf(profileId, type).toVariant() });
}

void Server::cabinet_profileActivityChanged(quint32 profileId, bool active)
{
    broadcast("setProfileScheduleActivity", { profileId, active });
}

void Server::cabinet_profilesChanged()
{
    broadcast("setProfiles", { d->account->profileList().toVariant(), currentProfileId() });
}

void Server::cabinet_selectedProfileChanged()
{
    broadcast("setSelectedProfile", { currentProfileId() });
    d->queueIdentification(nullptr);
}

void Server::cabinet_userFilterChanged(quint32 profileId)
{
    broadcast("setUserFilter", { profileId, d->account->userFilterOf(profileId).toVariant() });
}

void Server::cabinet_userInfoChanged()
{
    broadcast("setUserInfo", { d->account->userInformation().toVariant() });
}

QVariantMap Server::settingsMap() const
{
    QSettings store;
    QVariantMap settings;
    settings.insert(Configuration::Key::LocalProxyAddress, store.value(Configuration::Key::LocalProxyAddress).toString());
    settings.insert(MappingStatusKey, store.value(MappingStatusKey, false).toBool());
    settings.insert(UserToProfileMapKey, userToProfileMap());
    // The desktop client shows the category server it set.
    if (store.contains(SettingsKeys::CategoryServer))
        settings.insert(SettingsKeys::CategoryServer, store.value(SettingsKeys::CategoryServer).toString());
    return settings;
}

void Server::ipc_newConnection(GuiConnector *connection)
{
    auto *handler = new IPCRequestHandler(this, connection, connection);
    connection->setJsonRpcHandler(handler);
    greet(connection);
}

void Server::greet(GuiConnector *connection)
{
    const Cabinet *account = d->account;
    connection->notify("setSettings", { settingsMap() });
    connection->notify("setNetworks", { networks().toVariant() });
    // Never the password: every local user can connect. The client asks for it when it
    // needs it, and the service checks it through "unlockSettings".
    connection->notify("setCredentials", { account->userName(), QStringLiteral("") });
    connection->notify("setSettingsLocked", { QSettings().value(Configuration::Key::SettingsProtected, true).toBool() });
    connection->notify("setGlobalFiltering", { d->protectionOn });
    connection->notify("setUserInfo", { account->userInformation().toVariant() });
    connection->notify("setProfiles", { account->profileList().toVariant(), currentProfileId() });
    connection->notify("setProfileScheduleActivity", { currentProfileId(), true });
    d->queueIdentification(connection);
}

void Server::sendIdentificationTimeout()
{
    QList<QPointer<GuiConnector>> targets = d->waitingConnections;
    if (d->notifyAll) {
        targets.clear();
        const QList<GuiConnector *> all = d->ipcServer->connections();
        for (GuiConnector *connection : all)
            targets.append(connection);
    }
    d->waitingConnections.clear();
    d->notifyAll = false;

    const Identification *identification = d->identification;
    const uint type = uint(identification->type());
    const char *method = nullptr;
    QList<QVariant> params;
    if (identification->state() == Identification::Switching || identification->state() == Identification::Running) {
        method = "setIdentification";
        params = { type, type == Identification::TokenType ? QVariant(currentProfileId()) : QVariant(d->account->ip().toString()) };
    } else {
        Error error = identification->lastError();
        if (!error.isError())
            error = d->account->lastError();
        if (!error.isError())
            return;
        method = "setIdentificationError";
        params = { type, error.toVariant() };
    }
    for (const QPointer<GuiConnector> &target : targets) {
        if (target)
            target->notify(method, params);
    }
}

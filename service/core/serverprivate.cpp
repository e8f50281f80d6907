// The private part of Server: protection switch and pause, adapter control, the user
// mapping and the queue of identification notifications.
#include "cabinet.h"
#include "changeusermessanger.h"
#include "configuration.h"
#include "consoleuser.h"
#include "guiconnector.h"
#include "identification.h"
#include "ipcserver.h"
#include "networkinterfacemanager.h"
#include "server.h"
#include "server_p.h"

#include <QSettings>
#include <QTimer>

#include <limits>

namespace {

const QString MappingStatusKey = QStringLiteral("local_user_to_profile_mapping_status");
const QString DefaultProfileSuffix = QStringLiteral("_standart_prof_id");

bool identificationRuns(const Identification *identification)
{
    return identification->state() == Identification::Switching
            || identification->state() == Identification::Running;
}

} // namespace

ServerPrivate::ServerPrivate(Server *owner, NetworkInterfaceManager *adapterControl, ConsoleUser *consoleUser)
    : QObject(owner)
    , q(owner)
    , adapters(adapterControl)
    , upstreamAddress(Configuration::DefaultUpstreamAddress)
    , upstreamPort(Configuration::DefaultUpstreamPort)
    , localProxyAddress(Configuration::DefaultLocalProxyAddress)
    , localProxyPort(Configuration::DefaultLocalProxyPort)
    , pauseTimer(new QTimer(this))
    , identificationTimer(new QTimer(this))
    , console(consoleUser)
{
    if (!adapters)
        adapters = new NetworkInterfaceManager(localProxyAddress, this);
    else
        adapters->setParent(this);
    pauseTimer->setObjectName(QStringLiteral("pauseTimer"));
    pauseTimer->setSingleShot(true);
    identificationTimer->setObjectName(QStringLiteral("identificationTimer"));
    identificationTimer->setSingleShot(true);
    identificationTimer->setInterval(0);
}

ServerPrivate::~ServerPrivate()
{
    delete console;
}

void ServerPrivate::createUserMapping(Cabinet *cabinet)
{
    if (userMapping)
        return;
    userMapping = new ChangeUserMessanger(cabinet, console, this);
    console = nullptr;
    connect(userMapping, &ChangeUserMessanger::UserToProfMapWasChanged, this, &ServerPrivate::UpdateUserToProfMap);
    connect(cabinet, &Cabinet::profilesChanged, userMapping, &ChangeUserMessanger::ProfilesChanged);
}

QHostAddress ServerPrivate::dnsAddressForType() const
{
    return identification->type() == Identification::TokenType ? localProxyAddress : upstreamAddress;
}

void ServerPrivate::giveDnsAddress()
{
    // Every change makes the backend write and flush again: only a real one goes on.
    const QHostAddress wanted = dnsAddressForType();
    if (adapters->dnsAddress() != wanted)
        adapters->setDnsAddress(wanted);
}

void ServerPrivate::applyAdapterProtection()
{
    if (!adaptersStarted)
        return;
    const bool wanted = protectionOn && identificationRuns(identification);
    if (wanted != adapters->isProtectionOn())
        adapters->setDnsOnInterfaces(wanted);
}

void ServerPrivate::queueIdentification(GuiConnector *connection)
{
    if (!identificationTimer->isActive()) {
        waitingConnections.clear();
        notifyAll = connection == nullptr;
        if (connection) {
            waitingConnections.append(connection);
            connect(connection, &QObject::destroyed, this, &ServerPrivate::cleanoutConnection, Qt::UniqueConnection);
        }
        identificationTimer->start();
        return;
    }
    if (notifyAll)
        return;
    if (!connection) {
        notifyAll = true;
        return;
    }
    if (!waitingConnections.contains(connection)) {
        waitingConnections.append(connection);
        connect(connection, &QObject::destroyed, this, &ServerPrivate::cleanoutConnection, Qt::UniqueConnection);
    }
}

void ServerPrivate::cleanoutConnection()
{
    waitingConnections.removeAll(QPointer<GuiConnector>());
}

void ServerPrivate::setCurrentProfile(QString prof)
{
    quint32 fallback = QSettings().value(account->userName() + DefaultProfileSuffix, 0).toUInt();
    if (fallback == 0)
        fallback = q->currentProfileId();
    if (const QSharedPointer<CabinetProfile> named = account->profileList().hasName(prof)) {
        account->selectProfile(named->id(), false);
        return;
    }
    qDebug("Prof %s not found, set %u", qUtf8Printable(prof), fallback);
    account->selectProfile(fallback, false);
}

void ServerPrivate::setLocalUserToProfileMappingStatus(bool status, bool from_constructor)
{
    {
        QSettings store;
        store.setValue(MappingStatusKey, status);
        Configuration::syncAndReport(store);
    }
    if (status == mappingEnabled)
        return;
    if (!status) {
        disconnect(userMapping, &ChangeUserMessanger::UserWasChanged, this, &ServerPrivate::setCurrentProfile);
    } else {
        connect(userMapping, &ChangeUserMessanger::UserWasChanged, this, &ServerPrivate::setCurrentProfile);
        // The profile chosen by hand is where a user without a binding goes.
        if (!from_constructor)
            QSettings().setValue(account->userName() + DefaultProfileSuffix, q->currentProfileId());
    }
    mappingEnabled = status;
    userMapping->setEnabled(status);
}

void ServerPrivate::UserToProfileMapFileWasUpdated(QHash<QString, QString> hash)
{
    if (userMapping)
        userMapping->UpdateUserToProfMap(hash);
}

void ServerPrivate::UpdateUserToProfMap()
{
    ipcServer->broadcast("setUserToProfMap", { userMapping->userToProfileMap() });
}

void ServerPrivate::identificationStateChanged()
{
    const Identification::State state = identification->state();
    if (state == Identification::Waiting || state == Identification::Switching)
        return;
    queueIdentification(nullptr);
    giveDnsAddress();
    applyAdapterProtection();
}

void ServerPrivate::identificationTypeChanged()
{
    queueIdentification(nullptr);
    giveDnsAddress();
}

void ServerPrivate::interfacesConfigurationChanged()
{
    ipcServer->broadcast("setNetworks", { adapters->networksInfo().toVariant() });
    if (account->state() == Cabinet::Disconnected && !account->userName().isEmpty())
        account->reconnect();
}

void ServerPrivate::protectionPauseTimeout()
{
    q->setGlobalFiltering(true, 0);
}

// Server's operations that live with the private part's state.

Error Server::setGlobalFiltering(bool on, int delayMinutes)
{
    if (on == d->protectionOn)
        return Error(1, QStringLiteral("Protection state being set is the same as the current one"));
    d->protectionOn = on;
    d->pauseTimer->stop();
    d->giveDnsAddress();
    d->applyAdapterProtection();
    if (!on && delayMinutes > 0)
        d->pauseTimer->start(int(qMin<qint64>(qint64(delayMinutes) * 60000, std::numeric_limits<int>::max())));
    broadcast("setGlobalFiltering", { on });
    return Error();
}

Error Server::setNetworkProtection(const QString &name, bool on)
{
    d->giveDnsAddress();
    d->adapters->setProtection(name, on);
    // Every client shows the connections' protection, not only the one that asked.
    broadcast("setNetworks", { d->adapters->networksInfo().toVariant() });
    return Error();
}

void Server::setLocalProxy(const QString &addressText, quint16 port)
{
    const QHostAddress address(addressText);
    if (address.isNull() || address.protocol() != QAbstractSocket::IPv4Protocol)
        return;
    d->localProxyAddress = address;
    d->localProxyPort = port;
    {
        QSettings store;
        store.setValue(Configuration::Key::LocalProxyAddress, address.toString());
        store.setValue(Configuration::Key::LocalProxyPort, port);
        Configuration::syncAndReport(store);
    }
    d->identification->restartProxy();
    // The adapters follow the proxy to its new address.
    d->giveDnsAddress();
}

void Server::setLocalUserToProfileMappingStatus(bool status, bool fromConstructor)
{
    if (!d->userMapping)
        d->createUserMapping(d->account);
    d->setLocalUserToProfileMappingStatus(status, fromConstructor);
}

void Server::userToProfileMapFileWasUpdated(const QHash<QString, QString> &map)
{
    d->UserToProfileMapFileWasUpdated(map);
}

#include "ipcrequesthandler.h"

#include "cabinet.h"
#include "configuration.h"
#include "deferredserializer.h"
#include "guiconnector.h"
#include "ipcnewcredentialsrequest.h"
#include "ipcserver.h"
#include "ipcsysteminforequest.h"
#include "ipcuserregisterrequest.h"
#include "ratelimitedwarning.h"
#include "serverinterface.h"
#include "settingskeys.h"

#include <QHostAddress>
#include <QSet>
#include <QSettings>

namespace {

// Every local user can connect, so the refusals' log lines are the user's to multiply.
RateLimitedWarning &lockedWarning()
{
    static RateLimitedWarning warning(
            QStringLiteral("IPC: a change from a connection that has not unlocked the protected settings was refused"));
    return warning;
}

RateLimitedWarning &settingWarning()
{
    static RateLimitedWarning warning(
            QStringLiteral("IPC: \"setSetting\" refused for a key that desktop clients do not write"));
    return warning;
}

Deferred answered(const QVariant &result)
{
    Deferred deferred;
    deferred.callback(result);
    return deferred;
}

Deferred failed(const Error &error)
{
    Deferred deferred;
    deferred.errback(error);
    return deferred;
}

CabinetDomain::Type listTypeOf(const QString &text)
{
    return CabinetDomain::listTypeFromString(text);
}

bool settingsProtected()
{
    return QSettings().value(Configuration::Key::SettingsProtected, true).toBool();
}

} // namespace

const QString IPCRequestHandler::LockedMessage = QStringLiteral("The settings are protected: unlock them first");

IPCRequestHandler::IPCRequestHandler(ServerInterface *server, GuiConnector *connection, QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_connection(connection)
    , m_peer(connection ? connection->peer() : PeerCredentials())
{
}

IPCRequestHandler::~IPCRequestHandler() = default;

bool IPCRequestHandler::isGuarded(const QString &method)
{
    // "setCredentials", "setGlobalFiltering" and "setNetworkProtection" are guarded in part
    // (another login; switching off): their methods decide.
    static const QSet<QString> guarded = {
        QStringLiteral("registerUser"), QStringLiteral("addProfile"), QStringLiteral("removeProfile"),
        QStringLiteral("setProfile"), QStringLiteral("setLocalUserToProfileMappingStatus"),
        QStringLiteral("UserToProfileMapFileWasUpdated"), QStringLiteral("setFilterCat"),
        QStringLiteral("addDomain"), QStringLiteral("clearDomains"), QStringLiteral("removeDomain"),
        QStringLiteral("setSetting"), QStringLiteral("setSettingsProtection"),
        QStringLiteral("setLocalDnsAddress"), QStringLiteral("setSchedule"),
        QStringLiteral("setScheduleEnabled"), QStringLiteral("setSafeSearchEnabled"),
        QStringLiteral("setSafeYoutubeEnabled"), QStringLiteral("setWhiteListOnly"),
        QStringLiteral("setBlockUnknownEnabled"),
    };
    return guarded.contains(method);
}

bool IPCRequestHandler::isLocked() const
{
    if (m_unlocked || m_peer.isRoot())
        return false;
    const Cabinet *cabinet = m_server->cabinet();
    // A machine signed in to no account has nothing to protect yet (and must be signed in).
    if (cabinet->userName().isEmpty() || cabinet->password().isEmpty())
        return false;
    return settingsProtected();
}

Error IPCRequestHandler::refusal() const
{
    if (!isLocked())
        return Error();
    lockedWarning().warn();
    return Error(LockedCode, LockedMessage);
}

Deferred IPCRequestHandler::registerUser(const QString &user, const QString &password)
{
    if (const Error error = refusal(); error.isError())
        return failed(error);
    auto *request = new IPCUserRegisterRequest(m_server->cabinet(), user, password, m_server->requestOwner());
    return request->answer();
}

Deferred IPCRequestHandler::setCredentials(const QString &user, const QString &password)
{
    // A locked connection may enter the account's changed password again, but never sign
    // the machine in to another account.
    if (user != m_server->cabinet()->userName()) {
        if (const Error error = refusal(); error.isError())
            return failed(error);
    }
    auto *request = new IPCNewCredentialsRequest(m_server->cabinet(), user, password, m_server->requestOwner());
    return request->deferred();
}

void IPCRequestHandler::updateUserInfo()
{
    m_server->cabinet()->refreshUserInfo();
}

Deferred IPCRequestHandler::addProfile(const QString &name)
{
    if (const Error error = refusal(); error.isError())
        return failed(error);
    return serializedDeferred<DeferredProfileSerializer>(m_server->cabinet()->addProfile(name));
}

Error IPCRequestHandler::removeProfile(uint profileId)
{
    const Error error = refusal();
    if (!error.isError())
        m_server->cabinet()->removeProfile(profileId);
    return error;
}

Error IPCRequestHandler::setProfile(uint profileId)
{
    if (const Error error = refusal(); error.isError())
        return error;
    Cabinet *cabinet = m_server->cabinet();
    cabinet->selectProfile(profileId, false);
    const QSharedPointer<CabinetProfile> selected = cabinet->selectedProfile();
    if (!selected || selected->id() != profileId)
        return Error(1, QStringLiteral("No such profile"));
    return Error();
}

Error IPCRequestHandler::setLocalUserToProfileMappingStatus(bool status)
{
    const Error error = refusal();
    if (!error.isError())
        m_server->setLocalUserToProfileMappingStatus(status, false);
    return error;
}

void IPCRequestHandler::updateProfiles()
{
    m_server->cabinet()->refreshProfiles();
}

Error IPCRequestHandler::UserToProfileMapFileWasUpdated(const QVariantMap &map)
{
    if (const Error error = refusal(); error.isError())
        return error;
    QHash<QString, QString> binding;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        binding.insert(it.key(), it.value().toString());
    m_server->userToProfileMapFileWasUpdated(binding);
    return Error();
}

Deferred IPCRequestHandler::categories(const QString &language)
{
    return serializedDeferred<DeferredCategoriesSerializer>(m_server->cabinet()->categories(language));
}

Error IPCRequestHandler::setFilterCat(uint profileId, uint categoryId, bool blocked)
{
    const Error error = refusal();
    if (!error.isError())
        m_server->cabinet()->setFilterCat(profileId, categoryId, blocked);
    return error;
}

QVariant IPCRequestHandler::userFilter(uint profileId)
{
    Cabinet *cabinet = m_server->cabinet();
    const QVariant cached = cabinet->userFilterOf(profileId).toVariant();
    cabinet->refreshUserFilter(profileId);
    return cached;
}

Deferred IPCRequestHandler::addDomain(uint profileId, const QString &listType, const QString &domain,
                                      const QString &address)
{
    if (const Error error = refusal(); error.isError())
        return failed(error);
    const CabinetDomain::Type type = listTypeOf(listType);
    // Only alias entries carry an address; a text that is no address goes on as an invalid
    // one, and the account service decides.
    const QHostAddress ip = type == CabinetDomain::AliasList ? QHostAddress(address) : QHostAddress();
    return serializedDeferred<DeferredDomainIdSerializer>(m_server->cabinet()->addDomain(profileId, type, domain, ip));
}

Deferred IPCRequestHandler::addDomain(uint profileId, const QString &listType, const QString &domain)
{
    if (const Error error = refusal(); error.isError())
        return failed(error);
    return serializedDeferred<DeferredDomainIdSerializer>(
            m_server->cabinet()->addDomain(profileId, listTypeOf(listType), domain));
}

Error IPCRequestHandler::clearDomains(uint profileId, const QString &listType)
{
    const Error error = refusal();
    if (!error.isError())
        m_server->cabinet()->clearDomains(profileId, listTypeOf(listType));
    return error;
}

QVariant IPCRequestHandler::domains(uint profileId, const QString &listType)
{
    Cabinet *cabinet = m_server->cabinet();
    const CabinetDomain::Type type = listTypeOf(listType);
    const QVariant cached = cabinet->domainsOf(profileId, type).toVariant();
    cabinet->refreshDomains(profileId, type);
    return cached;
}

Error IPCRequestHandler::removeDomain(uint profileId, const QString &listType, uint domainId)
{
    const Error error = refusal();
    if (!error.isError())
        m_server->cabinet()->removeDomain(profileId, listTypeOf(listType), domainId);
    return error;
}

Error IPCRequestHandler::setSetting(const QString &key, const QString &value)
{
    if (const Error error = refusal(); error.isError())
        return error;
    // The account site, the resolver and the credentials are the service's own: a client
    // that could write them could point the machine at a filter of its choosing.
    if (key != SettingsKeys::CategoryServer) {
        settingWarning().warn();
        return Error(1, QStringLiteral("This setting cannot be changed by a desktop client"));
    }
    QSettings store;
    store.setValue(key, value);
    Configuration::syncAndReport(store);
    return Error();
}

Error IPCRequestHandler::setSettingsProtection(bool state)
{
    if (const Error error = refusal(); error.isError())
        return error;
    QSettings store;
    store.setValue(Configuration::Key::SettingsProtected, state);
    Configuration::syncAndReport(store);
    QList<GuiConnector *> except;
    if (m_connection)
        except.append(m_connection.data());
    m_server->ipcServer()->broadcast("setSettingsLocked", { state }, except);
    return Error();
}

Deferred IPCRequestHandler::unlockSettings(const QString &user, const QString &password)
{
    if (!settingsProtected())
        return answered(QVariant());
    Cabinet *cabinet = m_server->cabinet();
    if (!cabinet->userName().isEmpty() && user != cabinet->userName()) {
        // Another account's credentials prove nothing about this machine's owner: a child
        // could register an account of their own and "unlock" with it.
        return failed(Error(30, QStringLiteral("These are not the credentials of the account this computer uses")));
    }
    if (user == cabinet->userName() && password == cabinet->password()) {
        m_unlocked = true;
        return answered(QVariant());
    }
    CabinetRequest *check = cabinet->testAuth(user, password);
    if (!check)
        return failed(Error(1, QStringLiteral("The credentials could not be checked")));
    // Connected before deferred(), so the connection counts as unlocked by the time the
    // client reads the answer.
    QPointer<IPCRequestHandler> self(this);
    connect(check, &Request::finished, this, [self, check] {
        if (self && !check->error().isError())
            self->m_unlocked = true;
    });
    return check->deferred();
}

void IPCRequestHandler::updateTokenProfileId()
{
    if (!QSettings().value(SettingsKeys::AgentUids).toString().isEmpty())
        m_server->cabinet()->refreshTokenProfileId();
}

Error IPCRequestHandler::setLocalDnsAddress(const QString &address, ushort port)
{
    const Error error = refusal();
    if (!error.isError())
        m_server->setLocalProxy(address, port);
    return error;
}

Error IPCRequestHandler::setNetworkProtection(const QString &name, bool state, const HostList &addresses)
{
    Q_UNUSED(addresses)
    // Protecting a network more is open to all, as switching filtering on is.
    if (!state) {
        if (const Error error = refusal(); error.isError())
            return error;
    }
    return m_server->setNetworkProtection(name, state);
}

QVariant IPCRequestHandler::schedule(uint profileId)
{
    Cabinet *cabinet = m_server->cabinet();
    const QVariant cached = cabinet->scheduleOf(profileId).toVariant();
    cabinet->refreshSchedule(profileId);
    return cached;
}

Error IPCRequestHandler::setSchedule(uint profileId, const QVariantList &schedule)
{
    if (const Error error = refusal(); error.isError())
        return error;
    // The days read before the first bad one go on, as the account service expects.
    CabinetSchedule days;
    days.fromVariant(schedule);
    m_server->cabinet()->setSchedule(profileId, days);
    return Error();
}

Error IPCRequestHandler::setScheduleEnabled(uint profileId, bool enabled)
{
    const Error error = refusal();
    if (!error.isError())
        m_server->cabinet()->setScheduleEnabled(profileId, enabled);
    return error;
}

Error IPCRequestHandler::setGlobalFiltering(bool state, int delayMinutes)
{
    // Switching off is what the lock guards; switching on is open to all.
    if (!state) {
        if (const Error error = refusal(); error.isError())
            return error;
    }
    // Switching to the state already in force is no failure for the client: the broadcast
    // tells it the state.
    m_server->setGlobalFiltering(state, delayMinutes);
    return Error();
}

void IPCRequestHandler::setTokensEnabled(bool state)
{
    Q_UNUSED(state)
    m_server->startTokenIdentification();
}

Error IPCRequestHandler::setSafeSearchEnabled(uint profileId, bool enabled)
{
    const Error error = refusal();
    if (!error.isError())
        m_server->cabinet()->setSafeSearchEnabled(profileId, enabled);
    return error;
}

Error IPCRequestHandler::setSafeYoutubeEnabled(uint profileId, bool enabled)
{
    const Error error = refusal();
    if (!error.isError())
        m_server->cabinet()->setSafeYoutubeEnabled(profileId, enabled);
    return error;
}

Error IPCRequestHandler::setWhiteListOnly(uint profileId, bool enabled)
{
    const Error error = refusal();
    if (!error.isError())
        m_server->cabinet()->setWhiteListOnly(profileId, enabled);
    return error;
}

Error IPCRequestHandler::setBlockUnknownEnabled(uint profileId, bool enabled)
{
    const Error error = refusal();
    if (!error.isError())
        m_server->cabinet()->setBlockUnknownEnabled(profileId, enabled);
    return error;
}

// The report outlives the connection that asked for it (its tools and checks run on), so it
// hangs from the service; it deletes itself once answered.
Deferred IPCRequestHandler::systemInfo()
{
    Deferred deferred;
    new IPCSystemInfoRequest(m_server->diagnosticsSource(), deferred, m_server->requestOwner());
    return deferred;
}

#include "legacyhttpcabinet.h"

#include "jsonrpc.h"
#include "legacycabinethttprequest.h"
#include "legacycabinetrequests.h"
#include "requestmanager.h"

#include "configuration.h"
#include "settingskeys.h"

#include <QAuthenticator>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSettings>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSysInfo>

namespace {

const QString ApiPath = QStringLiteral("/api/json/v2");
const QString AgentVersion = QStringLiteral("3.2.1.3");

QVariant listType(CabinetDomain::Type type)
{
    return CabinetDomain::listTypeToString(type);
}

} // namespace

LegacyHttpCabinet::LegacyHttpCabinet(QObject *parent)
    : Cabinet(parent)
    , m_rpc(new JsonRPC(this))
    , m_interfaces(&LocalAddress::systemInterfaces)
{
    m_rpc->setErrorCodeOffset(ErrorCodeOffset);
    m_rpc->useGrouping(false);
    connect(m_rpc, &JsonRPC::outgoingRequestReady, this, &LegacyHttpCabinet::jsonrpc_outgoingReady);
}

LegacyHttpCabinet::~LegacyHttpCabinet()
{
    // Exchanges still under way end now, so that their calls are settled while the engine
    // still exists; nobody hears of it from an account state that is going away.
    blockSignals(true);
    const QList<LegacyCabinetHttpRequest *> running =
            findChildren<LegacyCabinetHttpRequest *>(QString(), Qt::FindDirectChildrenOnly);
    for (LegacyCabinetHttpRequest *request : running) {
        disconnect(request, nullptr, this, nullptr);
        request->cancel();
    }
}

void LegacyHttpCabinet::setInterfaceSource(std::function<QList<LocalAddress::Interface>()> source)
{
    m_interfaces = std::move(source);
}

QNetworkAccessManager *LegacyHttpCabinet::networkAccessManager()
{
    if (!m_nam) {
        m_nam = new QNetworkAccessManager(this);
        m_offer = true;
        m_refused = false;
        connect(m_nam, &QNetworkAccessManager::authenticationRequired, this,
                &LegacyHttpCabinet::nam_authenticationRequired);
        connect(m_nam, &QNetworkAccessManager::sslErrors, this, &LegacyHttpCabinet::nam_sslErrors);
    }
    return m_nam;
}

void LegacyHttpCabinet::renewTransport()
{
    // Exchanges of the earlier sign-in end quietly: their answers must not reach the new
    // one, and the manager that carries them goes away.
    const QList<LegacyCabinetHttpRequest *> running =
            findChildren<LegacyCabinetHttpRequest *>(QString(), Qt::FindDirectChildrenOnly);
    for (LegacyCabinetHttpRequest *request : running) {
        disconnect(request, &Request::finished, this, &LegacyHttpCabinet::httpRequestFinished);
        request->cancel();
    }
    if (m_nam) {
        disconnect(m_nam, nullptr, this, nullptr);
        m_nam->deleteLater();
        m_nam = nullptr;
    }
    networkAccessManager();
}

QList<QSslCertificate> LegacyHttpCabinet::extraCaCertificates()
{
    const QString path = QSettings().value(Configuration::Key::AccountSiteCaFile).toString();
    if (path.isEmpty()) {
        m_caFileStamp.clear();
        m_caCertificates.clear();
        return m_caCertificates;
    }
    const QFileInfo info(path);
    const QString stamp = path + QLatin1Char('|') + QString::number(info.size()) + QLatin1Char('|')
            + QString::number(info.lastModified().toMSecsSinceEpoch());
    if (stamp == m_caFileStamp)
        return m_caCertificates;
    m_caFileStamp = stamp;
    m_caCertificates.clear();
    QFile file(path);
    if (info.size() > MaximumCaFileBytes || !file.open(QIODevice::ReadOnly)) {
        qWarning("www-ca-file %s cannot be read; only the system's certificates are trusted",
                 qPrintable(path));
        return m_caCertificates;
    }
    m_caCertificates = QSslCertificate::fromData(file.read(MaximumCaFileBytes), QSsl::Pem);
    if (m_caCertificates.isEmpty())
        qWarning("www-ca-file %s holds no certificate; only the system's certificates are trusted",
                 qPrintable(path));
    return m_caCertificates;
}

QSslConfiguration LegacyHttpCabinet::sslConfiguration()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    const QList<QSslCertificate> extra = extraCaCertificates();
    if (!extra.isEmpty())
        configuration.addCaCertificates(extra);
    return configuration;
}

void LegacyHttpCabinet::jsonrpc_outgoingReady()
{
    if (!m_rpc->hasPendingOutgoingRequest())
        return;
    setLastError(Error());
    if (state() == Disconnected)
        setState(Connecting);
    const QString base = QSettings().value(Configuration::Key::AccountSite).toString();
    auto *request = new LegacyCabinetHttpRequest(this, QUrl::fromUserInput(base + ApiPath));
    connect(request, &Request::finished, this, &LegacyHttpCabinet::httpRequestFinished);
    const QString text = m_rpc->serializeOutgoingRequest(request);
    RequestManager::instance()->insert(request, LegacyCabinetHttpRequest::TimeoutSeconds);
    request->send(text.toUtf8());
}

void LegacyHttpCabinet::httpRequestFinished()
{
    auto *request = qobject_cast<LegacyCabinetHttpRequest *>(sender());
    if (!request)
        return;
    switch (request->error().code()) {
    case 0:
        setLastError(Error());
        if (request->replyWasClean() && request->url().scheme() == QLatin1String("https"))
            setState(Connected);
        m_rpc->incomingContextedResponse(request->body(), request);
        break;
    case 31:
        recordTransportError(request->error());
        break;
    default:
        // 30: refusals are handled where the site asks again (nam_authenticationRequired).
        break;
    }
}

void LegacyHttpCabinet::nam_authenticationRequired(QNetworkReply *, QAuthenticator *authenticator)
{
    if (sender() != m_nam)
        return;
    if (m_offer) {
        authenticator->setUser(userName());
        authenticator->setPassword(password());
        m_offer = false;
        return;
    }
    // Several exchanges under way when the site refuses the credentials each hear the
    // refusal; it is one refusal of one sign-in, reported once.
    if (m_refused)
        return;
    m_refused = true;
    recordAuthenticationFailure();
    qWarning("cabinet auth failure");
}

void LegacyHttpCabinet::nam_sslErrors(QNetworkReply *, const QList<QSslError> &errors)
{
    if (QSettings().value(Configuration::Key::AccountSiteIgnoreSslErrors, false).toBool())
        return;
    qWarning("SSL Errors:");
    for (const QSslError &error : errors)
        qWarning() << int(error.error()) << error.errorString()
                   << error.certificate().issuerInfo(QSslCertificate::CommonName);
}

JsonRPCCall *LegacyHttpCabinet::call(const char *method, const QList<QVariant> &params)
{
    JsonRPCCall *call = m_rpc->call(method, params);
    // Calls carried by an HTTP request belong to us: each goes once it has finished (its
    // request class, a child, reads it during finished()), or with the cabinet.
    call->setParent(this);
    connect(call, &Request::finished, call, &QObject::deleteLater);
    return call;
}

void LegacyHttpCabinet::notify(const char *method, const QList<QVariant> &params)
{
    m_rpc->notify(method, params);
}

CabinetFunction<CabinetSystemInfo> *LegacyHttpCabinet::systemInfo()
{
    return new LegacyCabinetSystemInfoRequest(call("systemInfo"));
}

CabinetFunction<CabinetUserInfo> *LegacyHttpCabinet::userInfo()
{
    return new LegacyCabinetUserInfoRequest(call("userInfo"));
}

CabinetFunction<CabinetProfiles> *LegacyHttpCabinet::profiles()
{
    return new LegacyCabinetProfilesRequest(call("profiles"));
}

CabinetRequest *LegacyHttpCabinet::registerUser(const QString &user, const QString &password)
{
    return track(new LegacyCabinetRegisterRequest(call("register", { user, password })));
}

CabinetRequest *LegacyHttpCabinet::testAuth(const QString &user, const QString &password)
{
    return track(new LegacyCabinetTestAuthRequest(call("testAuth", { user, password })));
}

void LegacyHttpCabinet::myip(QObject *receiver, const char *slot)
{
    track(new LegacyCabinetMyIpRequest(call("myip"), receiver, slot));
}

CabinetFunction<CabinetCategoryGroupList> *LegacyHttpCabinet::categories(const QString &language)
{
    return track(new LegacyCabinetCatagoriesRequest(call("categories", { language })),
                 &Cabinet::request_categoriesFinished);
}

CabinetUserFilterRequest *LegacyHttpCabinet::userFilter(quint32 profileId)
{
    return new LegacyCabinetUserFilterRequest(call("userFilter", { profileId }), profileId);
}

CabinetDomainsRequest *LegacyHttpCabinet::domains(quint32 profileId, CabinetDomain::Type type)
{
    return new LegacyCabinetDomainsRequest(call("domains", { profileId, listType(type) }),
                                           profileId, type);
}

void LegacyHttpCabinet::setFilterCat(quint32 profileId, quint32 categoryId, bool blocked)
{
    notify("setFilterCat", { profileId, categoryId, blocked });
    Cabinet::setFilterCat(profileId, categoryId, blocked);
}

void LegacyHttpCabinet::clearDomains(quint32 profileId, CabinetDomain::Type type)
{
    notify("clearDomains", { profileId, listType(type) });
    Cabinet::clearDomains(profileId, type);
}

CabinetDomainAddRequest *LegacyHttpCabinet::addDomain(quint32 profileId, CabinetDomain::Type type,
                                                      const QString &domain, const QHostAddress &ip)
{
    QList<QVariant> params { profileId, listType(type), domain };
    if (!ip.isNull())
        params.append(ip.toString());
    return track(new LegacyCabinetAddDomainRequest(call("addDomain", params), profileId, type,
                                                   domain, ip),
                 &Cabinet::request_domainAddFinished);
}

void LegacyHttpCabinet::removeDomain(quint32 profileId, CabinetDomain::Type type, quint32 domainId)
{
    notify("removeDomain", { profileId, listType(type), domainId });
    Cabinet::removeDomain(profileId, type, domainId);
}

CabinetFunction<CabinetProfile> *LegacyHttpCabinet::addProfile(const QString &name)
{
    return track(new LegacyCabinetAddProfileRequest(call("addProfile", { name })),
                 &Cabinet::request_profileAddFinished);
}

void LegacyHttpCabinet::removeProfile(quint32 profileId)
{
    notify("removeProfile", { profileId });
    Cabinet::removeProfile(profileId);
}

CabinetScheduleRequest *LegacyHttpCabinet::schedule(quint32 profileId)
{
    return new LegacyCabinetScheduleRequest(call("schedule", { profileId }), profileId);
}

void LegacyHttpCabinet::setScheduleEnabled(quint32 profileId, bool enabled)
{
    notify("setScheduleEnabled", { profileId, enabled });
    Cabinet::setScheduleEnabled(profileId, enabled);
}

void LegacyHttpCabinet::setSchedule(quint32 profileId, const CabinetSchedule &schedule)
{
    notify("setSchedule", { profileId, schedule.toVariant() });
    Cabinet::setSchedule(profileId, schedule);
}

void LegacyHttpCabinet::setWhiteListOnly(quint32 profileId, bool enabled)
{
    notify("setWhiteListOnly", { profileId, enabled });
    Cabinet::setWhiteListOnly(profileId, enabled);
}

void LegacyHttpCabinet::setBlockUnknownEnabled(quint32 profileId, bool enabled)
{
    notify("setBlockUnknownEnabled", { profileId, enabled });
    Cabinet::setBlockUnknownEnabled(profileId, enabled);
}

void LegacyHttpCabinet::setSafeSearchEnabled(quint32 profileId, bool enabled)
{
    notify("setSafeSearchEnabled", { profileId, enabled });
    Cabinet::setSafeSearchEnabled(profileId, enabled);
}

void LegacyHttpCabinet::setSafeYoutubeEnabled(quint32 profileId, bool enabled)
{
    notify("setSafeYoutubeEnabled", { profileId, enabled });
    Cabinet::setSafeYoutubeEnabled(profileId, enabled);
}

CabinetProfileActivityRequest *LegacyHttpCabinet::profileScheduleActivity(quint32 profileId)
{
    return new LegacyCabinetProfileActivityRequest(call("profileScheduleActivity", { profileId }),
                                                   profileId);
}

CabinetFunction<CabinetTokenAgentUidProfileId> *LegacyHttpCabinet::getProfile()
{
    const QList<QVariant> params {
        agentUid(),
        QSysInfo::machineHostName(),
        AgentVersion,
        QSysInfo::prettyProductName(),
        LocalAddress::firstIPv4(m_interfaces ? m_interfaces() : QList<LocalAddress::Interface>()),
    };
    return new LegacyCabinetGetTokenAgentUidProfileIdRequest(call("getProfile", params));
}

void LegacyHttpCabinet::setProfile()
{
    const QSharedPointer<CabinetProfile> current = currentProfile();
    notify("setProfile", { agentUid(), current ? current->id() : 0u });
    Cabinet::setProfile();
}

CabinetFunction<QHostAddress> *LegacyHttpCabinet::updateNic()
{
    const QSharedPointer<CabinetProfile> selected = selectedProfile();
    const QString host = QSettings()
                                 .value(SettingsKeys::DdHostname, SettingsKeys::DefaultDdHostname)
                                 .toString();
    return new LegacyCabinetUpdateNicRequest(
            call("updateNic", { selected ? selected->id() : 0u, host }));
}

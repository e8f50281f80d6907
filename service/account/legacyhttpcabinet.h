#pragma once

#include "cabinet.h"
#include "localaddress.h"

#include <QList>
#include <QSslError>

#include <functional>

class JsonRPC;
class JsonRPCCall;
class LegacyCabinetHttpRequest;
class QAuthenticator;
class QNetworkAccessManager;
class QNetworkReply;
class QSslConfiguration;

// The account client over HTTP(S): every JSON-RPC message of its engine (error code offset
// 1000, no grouping) travels as one POST to the account site ("www") followed by
// "/api/json/v2", authenticated with the account's credentials.
//
// The site's certificate must verify against the system's CAs or those of the PEM file
// named by "www-ca-file"; only "www-ignore-ssl-errors" = true (not the default) accepts
// any certificate. The connection state reaches 2 only after a successful exchange over
// https.
class LegacyHttpCabinet : public Cabinet
{
    Q_OBJECT

public:
    static constexpr unsigned short ErrorCodeOffset = 1000;
    // A CA file larger than this is not read.
    static constexpr qint64 MaximumCaFileBytes = 1024 * 1024;

    explicit LegacyHttpCabinet(QObject *parent = nullptr);
    ~LegacyHttpCabinet() override;

    // Where the local IPv4 address of "getProfile" comes from (tests give their own).
    void setInterfaceSource(std::function<QList<LocalAddress::Interface>()> source);

    // The manager of the current credentials, created on first use.
    QNetworkAccessManager *networkAccessManager();
    // The TLS setup of a request: the system's CAs plus those of "www-ca-file".
    QSslConfiguration sslConfiguration();

    CabinetFunction<CabinetSystemInfo> *systemInfo() override;
    CabinetFunction<CabinetUserInfo> *userInfo() override;
    CabinetFunction<CabinetProfiles> *profiles() override;
    CabinetRequest *registerUser(const QString &user, const QString &password) override;
    CabinetRequest *testAuth(const QString &user, const QString &password) override;
    void myip(QObject *receiver, const char *slot) override;
    CabinetFunction<CabinetCategoryGroupList> *categories(const QString &language) override;
    CabinetUserFilterRequest *userFilter(quint32 profileId) override;
    CabinetDomainsRequest *domains(quint32 profileId, CabinetDomain::Type type) override;
    void setFilterCat(quint32 profileId, quint32 categoryId, bool blocked) override;
    void clearDomains(quint32 profileId, CabinetDomain::Type type) override;
    CabinetDomainAddRequest *addDomain(quint32 profileId, CabinetDomain::Type type,
                                       const QString &domain,
                                       const QHostAddress &ip = QHostAddress()) override;
    void removeDomain(quint32 profileId, CabinetDomain::Type type, quint32 domainId) override;
    CabinetFunction<CabinetProfile> *addProfile(const QString &name) override;
    void removeProfile(quint32 profileId) override;
    CabinetScheduleRequest *schedule(quint32 profileId) override;
    void setScheduleEnabled(quint32 profileId, bool enabled) override;
    void setSchedule(quint32 profileId, const CabinetSchedule &schedule) override;
    void setWhiteListOnly(quint32 profileId, bool enabled) override;
    void setBlockUnknownEnabled(quint32 profileId, bool enabled) override;
    void setSafeSearchEnabled(quint32 profileId, bool enabled) override;
    void setSafeYoutubeEnabled(quint32 profileId, bool enabled) override;
    CabinetProfileActivityRequest *profileScheduleActivity(quint32 profileId) override;
    CabinetFunction<CabinetTokenAgentUidProfileId> *getProfile() override;
    void setProfile() override;
    CabinetFunction<QHostAddress> *updateNic() override;

public slots:
    void jsonrpc_outgoingReady();
    void httpRequestFinished();
    void nam_authenticationRequired(QNetworkReply *reply, QAuthenticator *authenticator);
    void nam_sslErrors(QNetworkReply *reply, const QList<QSslError> &errors);

protected:
    void renewTransport() override;

private:
    JsonRPCCall *call(const char *method, const QList<QVariant> &params = {});
    void notify(const char *method, const QList<QVariant> &params);
    QList<QSslCertificate> extraCaCertificates();

    JsonRPC *m_rpc;
    QNetworkAccessManager *m_nam = nullptr;
    bool m_offer = true;
    // Set once the site refused the credentials of the current manager.
    bool m_refused = false;
    std::function<QList<LocalAddress::Interface>()> m_interfaces;
    // The certificates of "www-ca-file", read again when its name, size or time changes.
    QString m_caFileStamp;
    QList<QSslCertificate> m_caCertificates;
};

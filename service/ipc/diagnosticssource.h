#pragma once

#include "adapterrecord.h"
#include "cabinetprofile.h"
#include "protectionverifier.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QUrl>

// What the support report needs to know of the running service. The service's orchestrator
// implements it; the report asks it once, on the main thread, when it starts (see
// DiagnosticsSnapshot), and never again, so the source may go away while a report is
// being collected.
class DiagnosticsSource
{
public:
    // Identification types, as the identification reports them.
    static constexpr int IpIdentification = 0;
    static constexpr int TokenIdentification = 1;
    // The account state that counts as connected.
    static constexpr int AccountConnected = 2;

    virtual ~DiagnosticsSource();

    // Where the local DNS proxy is configured to listen.
    virtual QHostAddress localProxyAddress() const = 0;
    virtual quint16 localProxyPort() const = 0;

    virtual int identificationType() const = 0;
    // The token the proxy appends to every query; 0 when there is none.
    virtual quint32 agentToken() const = 0;

    virtual int accountState() const = 0;
    virtual CabinetProfiles profiles() const = 0;
    // 0 when there is no such profile.
    virtual quint32 currentProfileId() const = 0;
    virtual quint32 selectedProfileId() const = 0;
    // The computer's public address as the account service last told it; null when unknown.
    virtual QHostAddress publicAddress() const = 0;
    // The account's credentials, so that the report can cut them wherever they appear.
    virtual QString accountUser() const = 0;
    virtual QString accountPassword() const = 0;

    // The adapter control's view of the adapters; false when it could not list them.
    virtual bool adapters(QList<AdapterDnsView> *adapters) const = 0;
    virtual QString dnsBackendName() const = 0;
    virtual QString dnsBackendReason() const = 0;
    virtual VerificationVerdict lastVerification() const = 0;

    // Read from the settings store, with the defaults of Configuration.
    virtual QString probeHost() const;
    // The "/nic/myip" page of the my-IP site over plain HTTP (https false) or HTTPS.
    virtual QUrl myIpUrl(bool https) const;
    // The PEM file of the CAs trusted for the account site besides the system's.
    virtual QString trustedCaFile() const;
};

// Everything a report uses, copied from a source on the main thread, so that the checks on
// the pool threads read plain values only.
struct DiagnosticsSnapshot
{
    QHostAddress localProxyAddress;
    quint16 localProxyPort = 0;
    int identificationType = DiagnosticsSource::TokenIdentification;
    quint32 agentToken = 0;
    int accountState = 0;
    // By id.
    QList<CabinetProfile> profiles;
    quint32 currentProfileId = 0;
    quint32 selectedProfileId = 0;
    QHostAddress publicAddress;
    bool adaptersKnown = false;
    QList<AdapterDnsView> adapters;
    QString backendName;
    QString backendReason;
    VerificationVerdict verification;
    QString probeHost;
    QUrl myIpHttp;
    QUrl myIpHttps;
    QString caFile;
    // Byte strings that never appear in the report: the password, the Basic authorization
    // value built from the credentials, the machine key and its hex and Base64 forms.
    QList<QByteArray> secrets;

    static DiagnosticsSnapshot take(const DiagnosticsSource &source);
    // The forms in which a secret may turn up in a tool's output or a log.
    static QList<QByteArray> secretForms(const QString &user, const QString &password,
                                         const QByteArray &machineKey);
};

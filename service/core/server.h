#pragma once

#include <QObject>
#include <QVariantMap>

#include "diagnosticssource.h"
#include "dnscontext.h"
#include "error.h"
#include "networks.h"
#include "serverinterface.h"

class Cabinet;
class ChangeUserMessanger;
class ConsoleUser;
class GuiConnector;
class Identification;
class IpcServer;
class NetworkInterfaceManager;
class ServerPrivate;

// The service's orchestrator. It owns the account client, the computer identification (with
// the DNS proxy and the block page server), the IPC server, and through its private part
// the adapter DNS control and the local-user to profile mapping. start() brings them up in
// a fixed order; every change of the account state becomes a notification for every
// connected desktop client; a new client gets the whole state first, as eight
// notifications in a fixed order followed by the identification.
//
// It is also what the DNS proxy and the block page server read (endpoints, token, block
// page hosts), what the IPC request handler calls (ServerInterface) and what the support
// report reads (DiagnosticsSource). Lives on the main thread for the life of the service.
class Server : public QObject, public DNS::DnsContext, public ServerInterface, public DiagnosticsSource
{
    Q_OBJECT
    Q_DISABLE_COPY(Server)
public:
    // The machine's own account client, console user and adapter control.
    explicit Server(QObject *parent = nullptr);
    // Given parts (the server takes them; null: the machine's own). For tests.
    Server(Cabinet *cabinet, ConsoleUser *console, NetworkInterfaceManager *adapters, QObject *parent = nullptr);
    ~Server() override;

    // Starts the service's work. Returns false and keeps lastError() when it cannot.
    virtual bool start();
    // The adapters get their own DNS back first, so that the machine never points at a
    // proxy that has gone; then identification (proxy, block page) and the IPC server stop.
    virtual void stop();
    Error lastError() const;

    Identification *identification() const;
    NetworkInterfaceManager *adapters() const;
    // Null before start().
    ChangeUserMessanger *userMapping() const;
    bool isProtectionOn() const;
    NetworksInfo networks() const;
    QVariantMap userToProfileMap() const;

    // ServerInterface
    QObject *requestOwner() override { return this; }
    Cabinet *cabinet() const override;
    IpcServer *ipcServer() const override;
    Error setGlobalFiltering(bool on, int delayMinutes) override;
    Error setNetworkProtection(const QString &name, bool on) override;
    void setLocalProxy(const QString &addressText, quint16 port) override;
    void setLocalUserToProfileMappingStatus(bool status, bool fromConstructor) override;
    void userToProfileMapFileWasUpdated(const QHash<QString, QString> &map) override;
    void startTokenIdentification() override;
    const DiagnosticsSource &diagnosticsSource() const override { return *this; }

    // DiagnosticsSource
    QHostAddress localProxyAddress() const override;
    quint16 localProxyPort() const override;
    int identificationType() const override;
    quint32 agentToken() const override { return token(); }
    int accountState() const override;
    CabinetProfiles profiles() const override;
    // The id of the account's current profile, 0 when there is none.
    quint32 currentProfileId() const override;
    quint32 selectedProfileId() const override;
    QHostAddress publicAddress() const override;
    QString accountUser() const override;
    QString accountPassword() const override;
    bool adapters(QList<AdapterDnsView> *adapters) const override;
    QString dnsBackendName() const override;
    QString dnsBackendReason() const override;
    VerificationVerdict lastVerification() const override;

    // DNS::DnsContext
    DNS::Endpoint localEndpoint() const override;
    DNS::Endpoint upstreamEndpoint() const override;
    quint32 token() const override;
    BlockPage::HostAllowList blockPageHosts() const override;

public slots:
    void cabinet_domainsChanged(quint32 profileId, int type);
    void cabinet_profileActivityChanged(quint32 profileId, bool active);
    void cabinet_profilesChanged();
    void cabinet_selectedProfileChanged();
    void cabinet_userFilterChanged(quint32 profileId);
    void cabinet_userInfoChanged();
    void ipc_newConnection(GuiConnector *connection);
    void sendIdentificationTimeout();

protected:
    void setLastError(const Error &error);

private:
    void greet(GuiConnector *connection);
    QVariantMap settingsMap() const;
    void broadcast(const char *method, const QList<QVariant> &params);

    ServerPrivate *d;
    friend class ServerPrivate;
};

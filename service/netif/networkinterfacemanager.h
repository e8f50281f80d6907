#pragma once

#include "adapterrecord.h"
#include "error.h"
#include "hostlist.h"
#include "networks.h"
#include "protectionverifier.h"

#include <QHostAddress>
#include <QObject>

#include <memory>

class AdapterDnsBackend;
class AdapterEnumerator;
class NetworkInterfaceManagerPrivate;
class NetworkInterfaceWatcher;

// Points the DNS of the adapters the user wants protected at the service's address (the
// local proxy) and puts each adapter's own setting back when protection goes off, the
// adapter goes away or the service stops. It keeps the adapters, the user's protection
// choice per adapter ("protected-networks", "unprotected-networks"), and every adapter's
// own servers while they are replaced, in memory and, for a crash, in the settings store
// (group "interfaces"); the backend chosen at construction does the writing.
//
// After protection was applied or applied again, it checks that this machine's lookups
// reach the proxy (ProtectionVerifier); connect DNS::LocalAnswers::probeAnswered() to
// probeSeen(). Lives on the main thread; nothing it does waits on the event loop.
class NetworkInterfaceManager : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(NetworkInterfaceManager)
public:
    // The settings store's group of backups and its keys.
    static const QString InterfacesGroup;
    static const QString Ip4NameServerKey;
    static const QString Ip6NameServerKey;
    // Seconds between checks that the backend's settings are still in force.
    static constexpr int RecheckSeconds = 30;

    // The backend and the adapters of this machine, chosen as backendselection.h says.
    explicit NetworkInterfaceManager(const QHostAddress &dnsAddress, QObject *parent = nullptr);
    // Given ones (the manager owns them); reason is what the diagnostics show for the choice.
    NetworkInterfaceManager(const QHostAddress &dnsAddress, AdapterDnsBackend *backend,
            AdapterEnumerator *adapters, const QString &reason, QObject *parent = nullptr);
    // Puts every adapter's own setting back.
    ~NetworkInterfaceManager() override;

    Error initialise();
    void setDnsOnInterfaces(bool on);
    void setDnsAddress(const QHostAddress &address);
    void setProtection(const QString &adapterName, bool isProtected);

    NetworksInfo networksInfo() const;
    HostList currentDnsServers() const;
    // Every adapter with the DNS servers in force on it, in networksInfo()'s order; read
    // from the backend on every call.
    QList<AdapterDnsView> dnsView() const;
    // False until the adapters could be listed once.
    bool hasEnumerated() const;

    QHostAddress dnsAddress() const;
    bool isProtectionOn() const;

    // For the diagnostics: the backend's name, why it was chosen, the last check's verdict.
    QString backendName() const;
    QString backendReason() const;
    VerificationVerdict lastVerification() const;
    ProtectionVerifier *verifier() const;
    NetworkInterfaceWatcher *watcher() const;
    AdapterDnsBackend *backend() const;

    // The "-cleanup" command: puts back every adapter setting that the settings store and
    // the backend's backups still hold (left by a run that did not stop cleanly), then
    // drops those backups. Returns the number of settings put back.
    static int cleanup();

signals:
    void configurationChanged();
    // A check of the query path ended; lastVerification() has its verdict.
    void verificationFinished();

public slots:
    void interfacesChanged();
    // The DNS proxy answered a probe name.
    void probeSeen(const QString &name);

private:
    std::unique_ptr<NetworkInterfaceManagerPrivate> d;
    friend class NetworkInterfaceManagerPrivate;
};

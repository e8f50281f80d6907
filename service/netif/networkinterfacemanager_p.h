#pragma once

// Private to the adapter control: not part of its interface, may change at any time.

#include "adapterdnsbackend.h"
#include "adapterenumerator.h"
#include "adapterrecord.h"
#include "protectionverifier.h"

#include <QHostAddress>
#include <QMap>

class DnsClientResetter;
class NetworkInterfaceManager;
class NetworkInterfaceWatcher;
class QTimer;

class NetworkInterfaceManagerPrivate
{
public:
    using Family = AdapterDnsBackend::Family;

    NetworkInterfaceManagerPrivate(NetworkInterfaceManager *owner, const QHostAddress &dnsAddress,
            AdapterDnsBackend *backend, AdapterEnumerator *adapters, const QString &reason);

    // Per family: the backup key in the settings store, and the service's value.
    static QString backupKey(const QString &adapter, Family family);
    QHostAddress overrideAddress(Family family) const;

    // Returns whether it wrote.
    bool overrideFamily(AdapterRecord &record, Family family, bool force);
    bool restoreFamily(AdapterRecord &record, Family family);
    AdapterRecord newRecord(const AdapterInfo &info);
    bool enumerate(QList<AdapterRecord> *vanished);

    // Whether the adapter is in the protection map; warns when it is not.
    bool isKnown(const AdapterRecord &record) const;
    bool protectedAdapterUp() const;
    void saveProtection() const;

    // The service's setting was applied (again): check that lookups reach the proxy.
    void verifySoon();
    void verificationFinished(const VerificationVerdict &verdict);
    void reapplyAll();

    NetworkInterfaceManager *q;
    DnsClientResetter *resetter;
    NetworkInterfaceWatcher *watcher;
    QMap<QString, bool> protection;
    QList<AdapterRecord> adapters;
    QHostAddress dnsAddress;
    bool protectionOn = false;
    bool enumerated = false;

    AdapterDnsBackend *backend;
    AdapterEnumerator *enumerator;
    QString backendReason;
    QTimer *recheckTimer;
    ProtectionVerifier *verifier;
    VerificationVerdict verdict;
    // The current check follows a re-apply made because the one before failed.
    bool verifyingAfterReapply = false;
};

#include "networkinterfacemanager.h"

#include "backendselection.h"
#include "dnsclientresetter.h"
#include "networkinterfacemanager_p.h"
#include "networkinterfacewatcher.h"
#include "settingskeys.h"

#include <QSettings>
#include <QTimer>

namespace {

const QHostAddress NoIPv6Server(QStringLiteral("::"));

void warnUnknown()
{
    qWarning("There is an interface with an unknown protection state.");
}

} // namespace

const QString NetworkInterfaceManager::InterfacesGroup = QStringLiteral("interfaces");
const QString NetworkInterfaceManager::Ip4NameServerKey = QStringLiteral("Ip4NameServer");
const QString NetworkInterfaceManager::Ip6NameServerKey = QStringLiteral("Ip6NameServer");

NetworkInterfaceManagerPrivate::NetworkInterfaceManagerPrivate(NetworkInterfaceManager *owner,
        const QHostAddress &address, AdapterDnsBackend *dnsBackend, AdapterEnumerator *adapterList,
        const QString &reason)
    : q(owner)
    , resetter(new DnsClientResetter(dnsBackend->cacheFlushJob(), owner))
    , watcher(new NetworkInterfaceWatcher(owner))
    , dnsAddress(address)
    , backend(dnsBackend)
    , enumerator(adapterList)
    , backendReason(reason)
    , recheckTimer(new QTimer(owner))
    , verifier(new ProtectionVerifier(owner))
{
    backend->setParent(owner);
    enumerator->setParent(owner);
    recheckTimer->setInterval(NetworkInterfaceManager::RecheckSeconds * 1000);
}

QString NetworkInterfaceManagerPrivate::backupKey(const QString &adapter, Family family)
{
    return NetworkInterfaceManager::InterfacesGroup + QLatin1Char('/') + adapter + QLatin1Char('/')
            + (family == AdapterDnsBackend::IPv4 ? NetworkInterfaceManager::Ip4NameServerKey
                                                 : NetworkInterfaceManager::Ip6NameServerKey);
}

QHostAddress NetworkInterfaceManagerPrivate::overrideAddress(Family family) const
{
    return family == AdapterDnsBackend::IPv4 ? dnsAddress : NoIPv6Server;
}

bool NetworkInterfaceManagerPrivate::overrideFamily(AdapterRecord &record, Family family, bool force)
{
    if (record.name.isEmpty())
        return false;
    if (!record.overridden[family]) {
        const QString own = backend->value(record.name, family, AdapterDnsBackend::NameServer);
        record.savedServers[family] = AdapterRecord::parseServers(own, &record.separator[family]);
        QSettings store;
        store.setValue(backupKey(record.name, family),
                AdapterDnsBackend::joinAddresses(record.savedServers[family], record.separator[family]));
        // On disk before the adapter's setting changes, so that a crash can be repaired.
        store.sync();
    } else if (!force) {
        return false;
    }
    backend->setNameServer(record.name, family, overrideAddress(family).toString(), true);
    record.overridden[family] = true;
    return true;
}

bool NetworkInterfaceManagerPrivate::restoreFamily(AdapterRecord &record, Family family)
{
    if (!record.overridden[family])
        return false;
    backend->setNameServer(record.name, family,
            AdapterDnsBackend::joinAddresses(record.savedServers[family], record.separator[family]), false);
    QSettings store;
    store.remove(backupKey(record.name, family));
    record.savedServers[family].clear();
    record.overridden[family] = false;
    return true;
}

AdapterRecord NetworkInterfaceManagerPrivate::newRecord(const AdapterInfo &info)
{
    AdapterRecord record;
    record.name = info.name;
    record.status = info.status;
    record.friendlyName = info.friendlyName;
    record.description = info.description;
    QSettings store;
    for (const Family family : { AdapterDnsBackend::IPv4, AdapterDnsBackend::IPv6 }) {
        const QString key = backupKey(record.name, family);
        if (!store.contains(key))
            continue;
        // Left by a run that ended without putting it back.
        backend->setNameServer(record.name, family, store.value(key).toString(), false);
        store.remove(key);
    }
    return record;
}

bool NetworkInterfaceManagerPrivate::enumerate(QList<AdapterRecord> *vanished)
{
    QList<AdapterInfo> found;
    if (!enumerator->enumerate(&found))
        return false;
    QList<AdapterRecord> up;
    QList<AdapterRecord> down;
    QList<AdapterRecord> old = adapters;
    for (const AdapterInfo &info : qAsConst(found)) {
        AdapterRecord record;
        auto known = std::find_if(old.begin(), old.end(), [&](const AdapterRecord &r) { return r.name == info.name; });
        if (known != old.end()) {
            record = *known;
            old.erase(known);
            record.friendlyName = info.friendlyName;
            record.description = info.description;
            record.status = info.status;
        } else {
            record = newRecord(info);
        }
        (record.isUp() ? up : down).append(record);
    }
    adapters = up + down;
    enumerated = true;
    if (vanished)
        *vanished = old;
    return true;
}

bool NetworkInterfaceManagerPrivate::isKnown(const AdapterRecord &record) const
{
    if (protection.contains(record.name))
        return true;
    warnUnknown();
    return false;
}

bool NetworkInterfaceManagerPrivate::protectedAdapterUp() const
{
    bool found = false;
    for (const AdapterRecord &record : adapters) {
        if (!record.isUp() || !isKnown(record))
            continue;
        found = found || protection.value(record.name);
    }
    return found;
}

void NetworkInterfaceManagerPrivate::saveProtection() const
{
    QStringList protectedNames;
    QStringList unprotectedNames;
    for (auto it = protection.constBegin(); it != protection.constEnd(); ++it)
        (it.value() ? protectedNames : unprotectedNames).append(it.key());
    QSettings store;
    store.setValue(SettingsKeys::ProtectedNetworks, protectedNames);
    store.setValue(SettingsKeys::UnprotectedNetworks, unprotectedNames);
}

void NetworkInterfaceManagerPrivate::verifySoon()
{
    // The check that follows a re-apply covers whatever asks meanwhile; starting another
    // one would re-apply again, and a program that keeps rewriting would never be let go.
    if (!backend->changesSystem() || !protectionOn || verifyingAfterReapply)
        return;
    verifier->verify(backend->name());
}

void NetworkInterfaceManagerPrivate::verificationFinished(const VerificationVerdict &result)
{
    const bool firstFailure = !result.passed && (!verdict.isValid() || verdict.passed);
    verdict = result;
    if (!result.passed && !verifyingAfterReapply) {
        if (firstFailure)
            qWarning("queries of this machine do not reach the filter: backend %s: %s",
                     qPrintable(result.backend), qPrintable(result.result));
        // Once: another program may have replaced the setting between two checks.
        verifyingAfterReapply = true;
        reapplyAll();
        verifier->verify(backend->name());
        return;
    }
    if (!result.passed)
        verdict.result += QStringLiteral(" (also after the DNS settings were written again)");
    verifyingAfterReapply = false;
    emit q->verificationFinished();
}

void NetworkInterfaceManagerPrivate::reapplyAll()
{
    if (!protectionOn || !protectedAdapterUp())
        return;
    for (AdapterRecord &record : adapters) {
        if (!record.isUp() || !protection.value(record.name))
            continue;
        overrideFamily(record, AdapterDnsBackend::IPv4, true);
        overrideFamily(record, AdapterDnsBackend::IPv6, true);
    }
    backend->recheck();
    resetter->reset();
}

NetworkInterfaceManager::NetworkInterfaceManager(const QHostAddress &dnsAddress, QObject *parent)
    : QObject(parent)
{
    const BackendSelection::Platform platform = BackendSelection::create();
    d.reset(new NetworkInterfaceManagerPrivate(this, dnsAddress, platform.backend, platform.adapters, platform.reason));
    connect(d->verifier, &ProtectionVerifier::finished, this,
            [this](const VerificationVerdict &verdict) { d->verificationFinished(verdict); });
}

NetworkInterfaceManager::NetworkInterfaceManager(const QHostAddress &dnsAddress, AdapterDnsBackend *backend,
        AdapterEnumerator *adapters, const QString &reason, QObject *parent)
    : QObject(parent)
    , d(new NetworkInterfaceManagerPrivate(this, dnsAddress, backend, adapters, reason))
{
    connect(d->verifier, &ProtectionVerifier::finished, this,
            [this](const VerificationVerdict &verdict) { d->verificationFinished(verdict); });
}

NetworkInterfaceManager::~NetworkInterfaceManager()
{
    bool restored = false;
    for (AdapterRecord &record : d->adapters) {
        restored = d->restoreFamily(record, AdapterDnsBackend::IPv4) || restored;
        restored = d->restoreFamily(record, AdapterDnsBackend::IPv6) || restored;
    }
    if (restored)
        d->resetter->reset();
}

Error NetworkInterfaceManager::initialise()
{
    if (!d->protection.isEmpty())
        return Error();
    // Nothing of the service's is in force before protection is switched on; whatever a
    // crashed run left behind in the backend goes back now, even for an adapter that never
    // comes back (its per-adapter backup then stays until it does).
    d->backend->restoreAll();
    connect(d->watcher, &NetworkInterfaceWatcher::interfacesChanged, this,
            &NetworkInterfaceManager::interfacesChanged, Qt::UniqueConnection);
    connect(d->enumerator, &AdapterEnumerator::changed, this, &NetworkInterfaceManager::interfacesChanged,
            Qt::UniqueConnection);
    connect(d->backend, &AdapterDnsBackend::reapplied, this, [this] { d->verifySoon(); }, Qt::UniqueConnection);
    connect(d->recheckTimer, &QTimer::timeout, d->backend, &AdapterDnsBackend::recheck, Qt::UniqueConnection);
    d->recheckTimer->start();
    if (!d->enumerate(nullptr)) {
        // Later changes must still be followed; the next enumeration adds the adapters.
        d->watcher->start();
        return Error();
    }

    QSettings store;
    if (store.contains(SettingsKeys::ProtectNetwork)) {
        const QString wanted = store.value(SettingsKeys::ProtectNetwork).toString();
        store.remove(SettingsKeys::ProtectNetwork);
        bool matched = false;
        for (const AdapterRecord &record : qAsConst(d->adapters)) {
            const bool chosen = wanted.isEmpty() || record.friendlyName == wanted;
            d->protection.insert(record.name, chosen);
            matched = matched || chosen;
        }
        if (!wanted.isEmpty() && !matched) {
            for (auto it = d->protection.begin(); it != d->protection.end(); ++it)
                it.value() = true;
            qWarning("Network connection named %s hasn't been found. All available network connections are "
                     "protected instead.",
                     qPrintable(wanted));
        }
        d->saveProtection();
    } else {
        for (const QString &name : store.value(SettingsKeys::UnprotectedNetworks).toStringList())
            d->protection.insert(name, false);
        for (const QString &name : store.value(SettingsKeys::ProtectedNetworks).toStringList())
            d->protection.insert(name, true);
        bool added = false;
        for (const AdapterRecord &record : qAsConst(d->adapters)) {
            if (d->protection.contains(record.name))
                continue;
            d->protection.insert(record.name, true);
            added = true;
        }
        if (added)
            d->saveProtection();
    }
    d->watcher->start();
    return Error();
}

void NetworkInterfaceManager::setDnsOnInterfaces(bool on)
{
    if (on == d->protectionOn) {
        qWarning("There's an attempt to set a dns address on interfaces when the same is already set.");
        return;
    }
    d->protectionOn = on;
    if (!d->protectedAdapterUp())
        return;
    for (AdapterRecord &record : d->adapters) {
        if (!record.isUp() || !d->isKnown(record))
            continue;
        const bool isProtected = d->protection.value(record.name);
        if (on) {
            if (isProtected)
                d->overrideFamily(record, AdapterDnsBackend::IPv4, false);
            d->overrideFamily(record, AdapterDnsBackend::IPv6, false);
        } else {
            if (isProtected)
                d->restoreFamily(record, AdapterDnsBackend::IPv4);
            d->restoreFamily(record, AdapterDnsBackend::IPv6);
        }
    }
    d->resetter->reset();
    if (on)
        d->verifySoon();
}

void NetworkInterfaceManager::setDnsAddress(const QHostAddress &address)
{
    d->dnsAddress = address;
    if (!d->protectionOn || !d->protectedAdapterUp())
        return;
    for (AdapterRecord &record : d->adapters) {
        if (!record.isUp() || !d->isKnown(record) || !d->protection.value(record.name))
            continue;
        d->overrideFamily(record, AdapterDnsBackend::IPv4, true);
    }
    d->resetter->reset();
    d->verifySoon();
}

void NetworkInterfaceManager::setProtection(const QString &adapterName, bool isProtected)
{
    if (!d->protection.contains(adapterName)) {
        qWarning("There's an attempt to set protection on a nonexistent interface.");
        return;
    }
    if (d->protection.value(adapterName) == isProtected)
        return;
    d->protection.insert(adapterName, isProtected);
    d->saveProtection();
    if (!d->protectionOn)
        return;
    auto record = std::find_if(d->adapters.begin(), d->adapters.end(),
            [&](const AdapterRecord &r) { return r.name == adapterName; });
    if (record == d->adapters.end()) {
        qWarning("No handle to the interface with such name exists.");
        return;
    }
    if (!record->isUp())
        return;
    if (isProtected)
        d->overrideFamily(*record, AdapterDnsBackend::IPv4, false);
    else
        d->restoreFamily(*record, AdapterDnsBackend::IPv4);
    if (isProtected) {
        for (AdapterRecord &each : d->adapters) {
            if (each.isUp())
                d->overrideFamily(each, AdapterDnsBackend::IPv6, false);
        }
    } else if (!d->protectedAdapterUp()) {
        for (AdapterRecord &each : d->adapters) {
            if (each.isUp())
                d->restoreFamily(each, AdapterDnsBackend::IPv6);
        }
    }
    d->resetter->reset();
    if (isProtected)
        d->verifySoon();
}

void NetworkInterfaceManager::interfacesChanged()
{
    QList<AdapterRecord> vanished;
    if (!d->enumerate(&vanished)) {
        // Not re-arming here would stop every later change from being followed.
        d->watcher->start();
        return;
    }
    bool added = false;
    for (const AdapterRecord &record : qAsConst(d->adapters)) {
        if (d->protection.contains(record.name))
            continue;
        d->protection.insert(record.name, true);
        added = true;
    }
    if (added)
        d->saveProtection();
    bool applied = false;
    if (d->protectionOn) {
        const bool anyProtectedUp = d->protectedAdapterUp();
        for (AdapterRecord &record : d->adapters) {
            if (record.isUp() && anyProtectedUp) {
                if (d->isKnown(record) && d->protection.value(record.name))
                    applied = d->overrideFamily(record, AdapterDnsBackend::IPv4, false) || applied;
                d->overrideFamily(record, AdapterDnsBackend::IPv6, false);
            } else {
                d->restoreFamily(record, AdapterDnsBackend::IPv4);
                d->restoreFamily(record, AdapterDnsBackend::IPv6);
            }
        }
    }
    for (AdapterRecord &record : vanished) {
        d->restoreFamily(record, AdapterDnsBackend::IPv4);
        d->restoreFamily(record, AdapterDnsBackend::IPv6);
    }
    // Another program may have rewritten the setting along with the change (NetworkManager
    // reconfiguring a device does).
    d->backend->recheck();
    d->resetter->reset();
    d->watcher->start();
    emit configurationChanged();
    if (applied)
        d->verifySoon();
}

void NetworkInterfaceManager::probeSeen(const QString &name)
{
    d->verifier->probeSeen(name);
}

NetworksInfo NetworkInterfaceManager::networksInfo() const
{
    NetworksInfo info;
    QList<Network> networks;
    for (const AdapterRecord &record : qAsConst(d->adapters)) {
        if (!d->protection.contains(record.name)) {
            warnUnknown();
            continue;
        }
        networks.append(Network(record.name, record.friendlyName, d->protection.value(record.name)));
    }
    info.setNetworks(networks);
    if (!d->adapters.isEmpty())
        info.setDefaultRouteId(d->adapters.constFirst().name);
    return info;
}

HostList NetworkInterfaceManager::currentDnsServers() const
{
    for (const AdapterRecord &record : qAsConst(d->adapters)) {
        if (!record.isUp())
            continue;
        QList<QHostAddress> servers;
        if (record.overridden[AdapterDnsBackend::IPv4]) {
            servers = record.savedServers[AdapterDnsBackend::IPv4];
        } else {
            servers = AdapterRecord::parseServers(
                    d->backend->value(record.name, AdapterDnsBackend::IPv4, AdapterDnsBackend::NameServer));
            const QString dhcp = d->backend->value(record.name, AdapterDnsBackend::IPv4, AdapterDnsBackend::EnableDhcp);
            if (servers.isEmpty() && QVariant(dhcp).toBool())
                servers = AdapterRecord::parseServers(
                        d->backend->value(record.name, AdapterDnsBackend::IPv4, AdapterDnsBackend::DhcpNameServer));
        }
        if (!servers.isEmpty()) {
            HostList list;
            list.append(servers);
            return list;
        }
    }
    return HostList();
}

QList<AdapterDnsView> NetworkInterfaceManager::dnsView() const
{
    QList<AdapterDnsView> views;
    for (const AdapterRecord &record : qAsConst(d->adapters)) {
        AdapterDnsView view;
        view.name = record.name;
        view.friendlyName = record.friendlyName;
        view.description = record.description;
        view.up = record.isUp();
        view.defaultRoute = views.isEmpty();
        for (const auto family : { AdapterDnsBackend::IPv4, AdapterDnsBackend::IPv6 }) {
            QList<QHostAddress> servers = AdapterRecord::parseServers(
                    d->backend->value(record.name, family, AdapterDnsBackend::NameServer));
            const QString dhcp = d->backend->value(record.name, family, AdapterDnsBackend::EnableDhcp);
            if (servers.isEmpty() && QVariant(dhcp).toBool())
                servers = AdapterRecord::parseServers(
                        d->backend->value(record.name, family, AdapterDnsBackend::DhcpNameServer));
            servers.removeAll(NoIPv6Server);
            view.servers.append(servers);
        }
        views.append(view);
    }
    return views;
}

bool NetworkInterfaceManager::hasEnumerated() const
{
    return d->enumerated;
}

QHostAddress NetworkInterfaceManager::dnsAddress() const
{
    return d->dnsAddress;
}

bool NetworkInterfaceManager::isProtectionOn() const
{
    return d->protectionOn;
}

QString NetworkInterfaceManager::backendName() const
{
    return d->backend->name();
}

QString NetworkInterfaceManager::backendReason() const
{
    return d->backendReason;
}

VerificationVerdict NetworkInterfaceManager::lastVerification() const
{
    return d->verdict;
}

ProtectionVerifier *NetworkInterfaceManager::verifier() const
{
    return d->verifier;
}

NetworkInterfaceWatcher *NetworkInterfaceManager::watcher() const
{
    return d->watcher;
}

AdapterDnsBackend *NetworkInterfaceManager::backend() const
{
    return d->backend;
}

int NetworkInterfaceManager::cleanup()
{
    const BackendSelection::Platform platform = BackendSelection::create();
    std::unique_ptr<AdapterDnsBackend> backend(platform.backend);
    delete platform.adapters;
    int restored = 0;
    QSettings store;
    store.beginGroup(InterfacesGroup);
    const QStringList names = store.childGroups();
    for (const QString &name : names) {
        for (const auto family : { AdapterDnsBackend::IPv4, AdapterDnsBackend::IPv6 }) {
            const QString key = name + QLatin1Char('/') + (family == AdapterDnsBackend::IPv4 ? Ip4NameServerKey : Ip6NameServerKey);
            if (!store.contains(key))
                continue;
            backend->setNameServer(name, family, store.value(key).toString(), false);
            store.remove(key);
            ++restored;
        }
    }
    store.endGroup();
    store.sync();
    if (backend->restoreAll())
        ++restored;
    if (restored > 0)
        backend->cacheFlushJob()();
    return restored;
}

#include "networkmanagerdnsbackend.h"

#include "adapterrecord.h"
#include "systembus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QSettings>
#include <QTimer>
#include <QtEndian>

Q_DECLARE_METATYPE(NetworkManagerDnsBackend::Settings)

namespace {

const QString NmPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString NmInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString DeviceInterface = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString DnsKey = QStringLiteral("dns");
const QString IgnoreAutoDnsKey = QStringLiteral("ignore-auto-dns");
const QString MethodKey = QStringLiteral("method");
const QString Group = QStringLiteral("networkmanager");
// NM_DEVICE_STATE_ACTIVATED.
constexpr uint Activated = 100;

QString section(AdapterDnsBackend::Family family)
{
    return family == AdapterDnsBackend::IPv4 ? QStringLiteral("ipv4") : QStringLiteral("ipv6");
}

QString backupGroup(const QString &adapter, AdapterDnsBackend::Family family)
{
    return Group + QLatin1Char('/') + adapter + QLatin1Char('/') + section(family);
}

// ipv4.dns is "au", each address in network byte order; ipv6.dns is "aay".
QList<QHostAddress> decodeServers(const QVariant &value, AdapterDnsBackend::Family family)
{
    QList<QHostAddress> servers;
    if (family == AdapterDnsBackend::IPv4) {
        const QList<uint> raw = value.canConvert<QDBusArgument>() ? qdbus_cast<QList<uint>>(value) : value.value<QList<uint>>();
        for (const uint address : raw)
            servers.append(QHostAddress(qFromBigEndian(quint32(address))));
    } else {
        const QList<QByteArray> raw = value.canConvert<QDBusArgument>() ? qdbus_cast<QList<QByteArray>>(value)
                                                                        : value.value<QList<QByteArray>>();
        for (const QByteArray &address : raw) {
            if (address.size() == 16)
                servers.append(QHostAddress(reinterpret_cast<const quint8 *>(address.constData())));
        }
    }
    return servers;
}

QVariant encodeServers(const QList<QHostAddress> &servers, AdapterDnsBackend::Family family)
{
    if (family == AdapterDnsBackend::IPv4) {
        QList<uint> raw;
        for (const QHostAddress &address : servers) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol)
                raw.append(qToBigEndian(quint32(address.toIPv4Address())));
        }
        return QVariant::fromValue(raw);
    }
    QList<QByteArray> raw;
    for (const QHostAddress &address : servers) {
        if (address.protocol() != QAbstractSocket::IPv6Protocol || address.isNull() || address == QHostAddress(QStringLiteral("::")))
            continue;
        const Q_IPV6ADDR v6 = address.toIPv6Address();
        raw.append(QByteArray(reinterpret_cast<const char *>(v6.c), 16));
    }
    return QVariant::fromValue(raw);
}

void registerTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<NetworkManagerDnsBackend::Settings>();
        qDBusRegisterMetaType<QList<uint>>();
        qDBusRegisterMetaType<QList<QByteArray>>();
        return true;
    }();
    Q_UNUSED(registered)
}

} // namespace

NetworkManagerDnsBackend::NetworkManagerDnsBackend(const QString &backupFile, QObject *parent)
    : AdapterDnsBackend(parent)
    , m_backupFile(backupFile)
{
    registerTypes();
    QDBusConnection::systemBus().connect(SystemBus::NetworkManagerService, QString(), DeviceInterface,
            QStringLiteral("StateChanged"), this, SLOT(deviceStateChanged(uint, uint, uint)));
}

QString NetworkManagerDnsBackend::name() const
{
    return QStringLiteral("NetworkManager");
}

QString NetworkManagerDnsBackend::devicePath(const QString &adapter) const
{
    if (m_unresponsive)
        return QString();
    const QDBusMessage reply = SystemBus::call(SystemBus::NetworkManagerService, NmPath, NmInterface,
            QStringLiteral("GetDeviceByIpIface"), { adapter });
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        if (SystemBus::timedOut(reply))
            m_unresponsive = true;
        return QString();
    }
    return reply.arguments().constFirst().value<QDBusObjectPath>().path();
}

bool NetworkManagerDnsBackend::appliedConnection(const QString &device, Settings *settings, quint64 *version) const
{
    if (device.isEmpty() || m_unresponsive)
        return false;
    const QDBusMessage reply = SystemBus::call(SystemBus::NetworkManagerService, device, DeviceInterface,
            QStringLiteral("GetAppliedConnection"), { 0u });
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2) {
        if (SystemBus::timedOut(reply))
            m_unresponsive = true;
        return false;
    }
    *settings = qdbus_cast<Settings>(reply.arguments().at(0));
    *version = reply.arguments().at(1).toULongLong();
    return true;
}

bool NetworkManagerDnsBackend::reapply(const QString &device, const Settings &settings, quint64 version) const
{
    const QDBusMessage reply = SystemBus::call(SystemBus::NetworkManagerService, device, DeviceInterface,
            QStringLiteral("Reapply"), { QVariant::fromValue(settings), QVariant::fromValue(version), 0u });
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    if (SystemBus::timedOut(reply))
        m_unresponsive = true;
    qWarning("NetworkManager: Reapply on %s failed: %s", qPrintable(device), qPrintable(SystemBus::errorText(reply)));
    return false;
}

QList<QHostAddress> NetworkManagerDnsBackend::servers(const Settings &settings, Family family)
{
    return decodeServers(settings.value(section(family)).value(DnsKey), family);
}

bool NetworkManagerDnsBackend::setFamily(Settings *settings, Family family, const QList<QHostAddress> &wanted, bool ignoreAuto)
{
    QVariantMap part = settings->value(section(family));
    if (servers(*settings, family) == wanted && part.value(IgnoreAutoDnsKey).toBool() == ignoreAuto)
        return false;
    part.insert(DnsKey, encodeServers(wanted, family));
    part.insert(IgnoreAutoDnsKey, ignoreAuto);
    // Newer versions carry the servers as text too; one list must not contradict the other.
    part.remove(QStringLiteral("dns-data"));
    settings->insert(section(family), part);
    return true;
}

QString NetworkManagerDnsBackend::value(const QString &adapter, Family family, const QString &valueName) const
{
    const QString device = devicePath(adapter);
    Settings settings;
    quint64 version = 0;
    if (!appliedConnection(device, &settings, &version))
        return valueName == EnableDhcp ? QStringLiteral("false") : QString();
    if (valueName == EnableDhcp)
        return settings.value(section(family)).value(MethodKey).toString() == QLatin1String("auto")
                ? QStringLiteral("true")
                : QStringLiteral("false");
    if (valueName == NameServer)
        return joinAddresses(servers(settings, family), QLatin1Char(','));
    if (valueName != DhcpNameServer)
        return QString();
    const QString config = SystemBus::property(SystemBus::NetworkManagerService, device, DeviceInterface,
            family == IPv4 ? QStringLiteral("Ip4Config") : QStringLiteral("Ip6Config")).value<QDBusObjectPath>().path();
    if (config.isEmpty() || config == QLatin1String("/"))
        return QString();
    const QVariant learnt = SystemBus::property(SystemBus::NetworkManagerService, config,
            family == IPv4 ? QStringLiteral("org.freedesktop.NetworkManager.IP4Config")
                           : QStringLiteral("org.freedesktop.NetworkManager.IP6Config"),
            QStringLiteral("Nameservers"));
    return joinAddresses(decodeServers(learnt, family), QLatin1Char(','));
}

bool NetworkManagerDnsBackend::writeFamily(const QString &adapter, Family family, const QList<QHostAddress> &wanted,
        bool ignoreAuto, bool keepBackup)
{
    const QString device = devicePath(adapter);
    Settings settings;
    quint64 version = 0;
    if (!appliedConnection(device, &settings, &version)) {
        qWarning("NetworkManager: no applied connection on %s", qPrintable(adapter));
        return false;
    }
    QSettings backup(m_backupFile, QSettings::IniFormat);
    const QString group = backupGroup(adapter, family);
    if (keepBackup && !backup.contains(group + QStringLiteral("/IgnoreAutoDns"))) {
        backup.setValue(group + QStringLiteral("/Servers"), AdapterDnsBackend::joinAddresses(servers(settings, family), QLatin1Char(',')));
        backup.setValue(group + QStringLiteral("/IgnoreAutoDns"), settings.value(section(family)).value(IgnoreAutoDnsKey).toBool());
        backup.sync();
    }
    if (keepBackup) {
        backup.setValue(group + QStringLiteral("/Written"), joinAddresses(wanted, QLatin1Char(',')));
        backup.sync();
    }
    if (!setFamily(&settings, family, wanted, ignoreAuto))
        return false;
    return reapply(device, settings, version);
}

void NetworkManagerDnsBackend::setNameServer(const QString &adapter, Family family, const QString &text, bool ours)
{
    Applied applied = m_applied.value(adapter);
    if (ours) {
        const QHostAddress address(text);
        if (family == IPv4)
            applied.v4 = address;
        else
            applied.v6 = true;
        m_applied.insert(adapter, applied);
        writeFamily(adapter, family, family == IPv4 ? QList<QHostAddress> { address } : QList<QHostAddress>(), true, true);
        return;
    }
    QSettings backup(m_backupFile, QSettings::IniFormat);
    const QString group = backupGroup(adapter, family);
    // A backup of the adapter control from before a reboot: the runtime change it undoes
    // is gone with the reboot, and the device's settings are its own.
    if (!backup.contains(group + QStringLiteral("/IgnoreAutoDns")) && !m_applied.contains(adapter))
        return;
    const bool ignoreAuto = backup.value(group + QStringLiteral("/IgnoreAutoDns"), false).toBool();
    writeFamily(adapter, family, AdapterRecord::parseServers(text), ignoreAuto, false);
    backup.remove(group);
    backup.sync();
    if (family == IPv4)
        applied.v4 = QHostAddress();
    else
        applied.v6 = false;
    if (applied.v4.isNull() && !applied.v6)
        m_applied.remove(adapter);
    else
        m_applied.insert(adapter, applied);
}

bool NetworkManagerDnsBackend::restoreAll()
{
    m_applied.clear();
    QSettings backup(m_backupFile, QSettings::IniFormat);
    backup.beginGroup(Group);
    const QStringList adapters = backup.childGroups();
    backup.endGroup();
    bool restored = false;
    for (const QString &adapter : adapters) {
        for (const Family family : { IPv4, IPv6 }) {
            const QString group = backupGroup(adapter, family);
            if (!backup.contains(group + QStringLiteral("/IgnoreAutoDns")))
                continue;
            // Only while the device still has the service's setting: a re-activation or a
            // reboot since has put its own back.
            Settings settings;
            quint64 version = 0;
            if (!appliedConnection(devicePath(adapter), &settings, &version)
                    || !settings.value(section(family)).value(IgnoreAutoDnsKey).toBool()
                    || joinAddresses(servers(settings, family), QLatin1Char(','))
                            != backup.value(group + QStringLiteral("/Written")).toString())
                continue;
            restored = writeFamily(adapter, family,
                               AdapterRecord::parseServers(backup.value(group + QStringLiteral("/Servers")).toString()),
                               backup.value(group + QStringLiteral("/IgnoreAutoDns")).toBool(), false)
                    || restored;
        }
    }
    backup.remove(Group);
    backup.sync();
    return restored;
}

void NetworkManagerDnsBackend::recheck()
{
    m_recheckPending = false;
    m_unresponsive = false;
    bool wrote = false;
    for (auto it = m_applied.constBegin(); it != m_applied.constEnd(); ++it) {
        const QString device = devicePath(it.key());
        Settings settings;
        quint64 version = 0;
        if (!appliedConnection(device, &settings, &version))
            continue;
        bool changed = false;
        if (!it.value().v4.isNull())
            changed = setFamily(&settings, IPv4, { it.value().v4 }, true) || changed;
        if (it.value().v6)
            changed = setFamily(&settings, IPv6, {}, true) || changed;
        if (!changed)
            continue;
        if (m_episode.begins())
            qWarning("NetworkManager: the DNS settings of %s were replaced (the connection was activated again); "
                     "the service's are applied again",
                     qPrintable(it.key()));
        wrote = reapply(device, settings, version) || wrote;
    }
    if (wrote)
        emit reapplied();
}

void NetworkManagerDnsBackend::deviceStateChanged(uint newState, uint, uint)
{
    if (newState == Activated)
        scheduleRecheck();
}

void NetworkManagerDnsBackend::scheduleRecheck()
{
    if (m_recheckPending)
        return;
    m_recheckPending = true;
    QTimer::singleShot(0, this, &NetworkManagerDnsBackend::recheck);
}

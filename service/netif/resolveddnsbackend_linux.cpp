#include "resolveddnsbackend.h"

#include "adapterrecord.h"
#include "systembus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QSettings>

#include <net/if.h>
#include <sys/socket.h>

Q_DECLARE_METATYPE(ResolvedDnsBackend::Server)
Q_DECLARE_METATYPE(ResolvedDnsBackend::Domain)

// (iayqs): family, address bytes, port, server name.
QDBusArgument &operator<<(QDBusArgument &argument, const ResolvedDnsBackend::Server &server)
{
    argument.beginStructure();
    argument << server.family << server.address << server.port << server.name;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ResolvedDnsBackend::Server &server)
{
    argument.beginStructure();
    argument >> server.family >> server.address >> server.port >> server.name;
    argument.endStructure();
    return argument;
}

// (sb): domain, route-only.
QDBusArgument &operator<<(QDBusArgument &argument, const ResolvedDnsBackend::Domain &domain)
{
    argument.beginStructure();
    argument << domain.name << domain.routeOnly;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ResolvedDnsBackend::Domain &domain)
{
    argument.beginStructure();
    argument >> domain.name >> domain.routeOnly;
    argument.endStructure();
    return argument;
}

namespace {

const QString ResolvedPath = QStringLiteral("/org/freedesktop/resolve1");
const QString ManagerInterface = QStringLiteral("org.freedesktop.resolve1.Manager");
const QString LinkInterface = QStringLiteral("org.freedesktop.resolve1.Link");
const QString Group = QStringLiteral("resolved");
const ResolvedDnsBackend::Domain RouteAll { QStringLiteral("."), true };

int familyOf(AdapterDnsBackend::Family family)
{
    return family == AdapterDnsBackend::IPv4 ? AF_INET : AF_INET6;
}

QList<QHostAddress> addressesOf(const QList<ResolvedDnsBackend::Server> &servers, int family)
{
    QList<QHostAddress> addresses;
    for (const ResolvedDnsBackend::Server &server : servers) {
        if (server.family == family)
            addresses.append(server.hostAddress());
    }
    return addresses;
}

// The servers with those of one family replaced.
QList<ResolvedDnsBackend::Server> replaceFamily(const QList<ResolvedDnsBackend::Server> &servers, int family,
        const QList<ResolvedDnsBackend::Server> &replacement)
{
    QList<ResolvedDnsBackend::Server> result = replacement;
    for (const ResolvedDnsBackend::Server &server : servers) {
        if (server.family != family)
            result.append(server);
    }
    return result;
}

int linkIndex(const QString &adapter)
{
    return int(::if_nametoindex(adapter.toLocal8Bit().constData()));
}

void registerTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<ResolvedDnsBackend::Server>();
        qDBusRegisterMetaType<QList<ResolvedDnsBackend::Server>>();
        qDBusRegisterMetaType<ResolvedDnsBackend::Domain>();
        qDBusRegisterMetaType<QList<ResolvedDnsBackend::Domain>>();
        return true;
    }();
    Q_UNUSED(registered)
}

} // namespace

QHostAddress ResolvedDnsBackend::Server::hostAddress() const
{
    if (family == AF_INET && address.size() == 4)
        return QHostAddress(quint32(quint8(address[0])) << 24 | quint32(quint8(address[1])) << 16
                | quint32(quint8(address[2])) << 8 | quint32(quint8(address[3])));
    if (family == AF_INET6 && address.size() == 16)
        return QHostAddress(reinterpret_cast<const quint8 *>(address.constData()));
    return QHostAddress();
}

ResolvedDnsBackend::Server ResolvedDnsBackend::Server::from(const QHostAddress &address)
{
    Server server;
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        server.family = AF_INET;
        const quint32 v4 = address.toIPv4Address();
        server.address = QByteArray(4, '\0');
        for (int i = 0; i < 4; ++i)
            server.address[i] = char(v4 >> (24 - 8 * i));
    } else {
        server.family = AF_INET6;
        const Q_IPV6ADDR v6 = address.toIPv6Address();
        server.address = QByteArray(reinterpret_cast<const char *>(v6.c), 16);
    }
    return server;
}

bool ResolvedDnsBackend::Server::operator==(const Server &other) const
{
    return family == other.family && address == other.address && port == other.port && name == other.name;
}

ResolvedDnsBackend::ResolvedDnsBackend(const QString &backupFile, QObject *parent)
    : AdapterDnsBackend(parent)
    , m_backupFile(backupFile)
{
    registerTypes();
}

QString ResolvedDnsBackend::name() const
{
    return QStringLiteral("systemd-resolved");
}

bool ResolvedDnsBackend::call(const QString &method, const QVariantList &arguments) const
{
    if (m_unresponsive)
        return false;
    const QDBusMessage reply = SystemBus::call(SystemBus::ResolvedService, ResolvedPath, ManagerInterface, method, arguments);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    if (SystemBus::timedOut(reply))
        m_unresponsive = true;
    qWarning("systemd-resolved: %s failed: %s", qPrintable(method), qPrintable(SystemBus::errorText(reply)));
    return false;
}

bool ResolvedDnsBackend::readLink(int index, LinkSettings *settings) const
{
    if (index <= 0 || m_unresponsive)
        return false;
    const QDBusMessage reply = SystemBus::call(SystemBus::ResolvedService, ResolvedPath, ManagerInterface,
            QStringLiteral("GetLink"), { index });
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        if (SystemBus::timedOut(reply))
            m_unresponsive = true;
        return false;
    }
    const QString path = reply.arguments().constFirst().value<QDBusObjectPath>().path();
    const QVariant servers = SystemBus::property(SystemBus::ResolvedService, path, LinkInterface, QStringLiteral("DNSEx"));
    const QVariant domains = SystemBus::property(SystemBus::ResolvedService, path, LinkInterface, QStringLiteral("Domains"));
    const QVariant route = SystemBus::property(SystemBus::ResolvedService, path, LinkInterface, QStringLiteral("DefaultRoute"));
    if (!servers.canConvert<QDBusArgument>() || !domains.canConvert<QDBusArgument>() || !route.isValid())
        return false;
    settings->servers = qdbus_cast<QList<Server>>(servers);
    settings->domains = qdbus_cast<QList<Domain>>(domains);
    settings->defaultRoute = route.toBool();
    return true;
}

// Only what differs is written, so a recheck that finds everything in place calls nothing.
bool ResolvedDnsBackend::writeLink(int index, const LinkSettings &settings, const LinkSettings &current)
{
    bool ok = true;
    if (settings.servers != current.servers)
        ok = call(QStringLiteral("SetLinkDNSEx"), { index, QVariant::fromValue(settings.servers) }) && ok;
    if (settings.domains != current.domains)
        ok = call(QStringLiteral("SetLinkDomains"), { index, QVariant::fromValue(settings.domains) }) && ok;
    if (settings.defaultRoute != current.defaultRoute)
        ok = call(QStringLiteral("SetLinkDefaultRoute"), { index, settings.defaultRoute }) && ok;
    return ok;
}

QString ResolvedDnsBackend::value(const QString &adapter, Family family, const QString &valueName) const
{
    if (valueName == EnableDhcp)
        return QStringLiteral("false");
    LinkSettings settings;
    if (valueName != NameServer || !readLink(linkIndex(adapter), &settings))
        return QString();
    return joinAddresses(addressesOf(settings.servers, familyOf(family)), QLatin1Char(','));
}

namespace {
QStringList serversText(const QList<ResolvedDnsBackend::Server> &servers)
{
    QStringList texts;
    for (const ResolvedDnsBackend::Server &server : servers)
        texts.append(QStringLiteral("%1 %2 %3 %4").arg(server.family).arg(server.port)
                             .arg(QString::fromLatin1(server.address.toHex()), server.name));
    return texts;
}
} // namespace

void ResolvedDnsBackend::noteWritten(const QString &adapter, const QList<Server> &servers)
{
    QSettings backup(m_backupFile, QSettings::IniFormat);
    backup.setValue(Group + QLatin1Char('/') + adapter + QStringLiteral("/Written"), serversText(servers));
    backup.sync();
}

bool ResolvedDnsBackend::stillOurs(const QString &adapter, const LinkSettings &current) const
{
    const QSettings backup(m_backupFile, QSettings::IniFormat);
    return backup.value(Group + QLatin1Char('/') + adapter + QStringLiteral("/Written")).toStringList()
            == serversText(current.servers);
}

void ResolvedDnsBackend::saveSnapshot(const QString &adapter, const LinkSettings &settings)
{
    QSettings backup(m_backupFile, QSettings::IniFormat);
    backup.beginGroup(Group + QLatin1Char('/') + adapter);
    if (backup.contains(QStringLiteral("DefaultRoute")))
        return;
    const QStringList servers = serversText(settings.servers);
    QStringList domains;
    for (const Domain &domain : settings.domains)
        domains.append(QStringLiteral("%1 %2").arg(domain.routeOnly ? 1 : 0).arg(domain.name));
    backup.setValue(QStringLiteral("Servers"), servers);
    backup.setValue(QStringLiteral("Domains"), domains);
    backup.setValue(QStringLiteral("DefaultRoute"), settings.defaultRoute);
    backup.endGroup();
    backup.sync();
}

bool ResolvedDnsBackend::loadSnapshot(const QString &adapter, LinkSettings *settings) const
{
    QSettings backup(m_backupFile, QSettings::IniFormat);
    backup.beginGroup(Group + QLatin1Char('/') + adapter);
    if (!backup.contains(QStringLiteral("DefaultRoute")))
        return false;
    *settings = LinkSettings();
    for (const QString &text : backup.value(QStringLiteral("Servers")).toStringList()) {
        const QStringList parts = text.split(QLatin1Char(' '));
        if (parts.size() < 3)
            continue;
        Server server;
        server.family = parts.at(0).toInt();
        server.port = quint16(parts.at(1).toUInt());
        server.address = QByteArray::fromHex(parts.at(2).toLatin1());
        server.name = parts.mid(3).join(QLatin1Char(' '));
        settings->servers.append(server);
    }
    for (const QString &text : backup.value(QStringLiteral("Domains")).toStringList()) {
        if (text.size() > 2)
            settings->domains.append({ text.mid(2), text.startsWith(QLatin1Char('1')) });
    }
    settings->defaultRoute = backup.value(QStringLiteral("DefaultRoute")).toBool();
    return true;
}

void ResolvedDnsBackend::dropSnapshot(const QString &adapter)
{
    QSettings backup(m_backupFile, QSettings::IniFormat);
    backup.remove(Group + QLatin1Char('/') + adapter);
    backup.sync();
}

ResolvedDnsBackend::LinkSettings ResolvedDnsBackend::withOurs(LinkSettings settings, const Applied &applied)
{
    if (!applied.v4.isNull()) {
        settings.servers = replaceFamily(settings.servers, AF_INET, { Server::from(applied.v4) });
        if (!settings.domains.contains(RouteAll))
            settings.domains.append(RouteAll);
        settings.defaultRoute = true;
    }
    if (applied.v6)
        settings.servers = replaceFamily(settings.servers, AF_INET6, {});
    return settings;
}

bool ResolvedDnsBackend::holdsOurs(const LinkSettings &settings, const Applied &applied)
{
    const LinkSettings wanted = withOurs(settings, applied);
    return wanted.servers == settings.servers && wanted.domains == settings.domains
            && wanted.defaultRoute == settings.defaultRoute;
}

void ResolvedDnsBackend::setNameServer(const QString &adapter, Family family, const QString &text, bool ours)
{
    const int index = linkIndex(adapter);
    LinkSettings current;
    if (!readLink(index, &current)) {
        qWarning("systemd-resolved: cannot read the settings of link %s", qPrintable(adapter));
        return;
    }
    if (ours)
        saveSnapshot(adapter, current);
    LinkSettings own;
    const bool hasSnapshot = loadSnapshot(adapter, &own);
    // A backup of the adapter control from before a reboot names servers of a link that has
    // been set up anew since; nothing of ours is on it.
    if (!ours && !hasSnapshot && !m_applied.contains(adapter))
        return;
    Applied applied = m_applied.value(adapter);
    const bool wasV4 = !applied.v4.isNull();
    if (family == IPv4)
        applied.v4 = ours ? QHostAddress(text) : QHostAddress();
    else
        applied.v6 = ours;

    LinkSettings next = current;
    if (!ours) {
        const int af = familyOf(family);
        const QList<QHostAddress> wanted = AdapterRecord::parseServers(text);
        // The snapshot's entries keep their ports and names; other addresses get defaults.
        QList<Server> servers;
        if (hasSnapshot && addressesOf(own.servers, af) == wanted) {
            for (const Server &server : qAsConst(own.servers)) {
                if (server.family == af)
                    servers.append(server);
            }
        } else {
            for (const QHostAddress &address : wanted)
                servers.append(Server::from(address));
        }
        if (addressesOf(current.servers, af) != wanted || hasSnapshot)
            next.servers = replaceFamily(current.servers, af, servers);
        if (family == IPv4 && wasV4 && hasSnapshot) {
            next.domains = own.domains;
            next.defaultRoute = own.defaultRoute;
        }
    }
    next = withOurs(next, applied);
    writeLink(index, next, current);
    if (applied.v4.isNull() && !applied.v6) {
        m_applied.remove(adapter);
        dropSnapshot(adapter);
    } else {
        m_applied.insert(adapter, applied);
        noteWritten(adapter, next.servers);
    }
}

bool ResolvedDnsBackend::restoreAll()
{
    m_applied.clear();
    QSettings backup(m_backupFile, QSettings::IniFormat);
    backup.beginGroup(Group);
    const QStringList links = backup.childGroups();
    backup.endGroup();
    bool restored = false;
    for (const QString &adapter : links) {
        LinkSettings own;
        LinkSettings current;
        const int index = linkIndex(adapter);
        // Only while the link still holds what the service wrote: after a reboot it has been
        // set up anew, and the snapshot is out of date.
        if (loadSnapshot(adapter, &own) && readLink(index, &current) && stillOurs(adapter, current)) {
            writeLink(index, own, current);
            restored = true;
        }
        dropSnapshot(adapter);
    }
    return restored;
}

void ResolvedDnsBackend::recheck()
{
    m_unresponsive = false;
    bool wrote = false;
    for (auto it = m_applied.constBegin(); it != m_applied.constEnd(); ++it) {
        const int index = linkIndex(it.key());
        LinkSettings current;
        if (!readLink(index, &current) || holdsOurs(current, it.value()))
            continue;
        if (m_episode.begins())
            qWarning("systemd-resolved: the DNS settings of link %s were replaced by another program; "
                     "the service's are written again",
                     qPrintable(it.key()));
        const LinkSettings ours = withOurs(current, it.value());
        if (writeLink(index, ours, current)) {
            noteWritten(it.key(), ours.servers);
            wrote = true;
        }
    }
    if (wrote)
        emit reapplied();
}

std::function<bool()> ResolvedDnsBackend::cacheFlushJob() const
{
    return [] {
        const QDBusMessage reply = SystemBus::call(SystemBus::ResolvedService, QStringLiteral("/org/freedesktop/resolve1"),
                QStringLiteral("org.freedesktop.resolve1.Manager"), QStringLiteral("FlushCaches"));
        return reply.type() == QDBusMessage::ReplyMessage;
    };
}

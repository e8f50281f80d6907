// corvane-fake-networkmanager DEVICE...: owns org.freedesktop.NetworkManager on the bus of
// $DBUS_SYSTEM_BUS_ADDRESS with one device per argument, each activated with the profile
// "Wired <n>": ipv4 by DHCP (learnt server 192.0.2.53) without static servers, ipv6 with
// the static server 2001:db8::1, and an ipv4 address list that Reapply must hand back
// unchanged. Control interface org.corvane.FakeNetworkManager on the root object:
// Summary(s) describes a device's applied DNS, Reactivate(s) starts it from its profile
// again (as a reconnect does) and announces the activated state.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QHostAddress>
#include <QtEndian>

#include <cstdio>

using Settings = QMap<QString, QVariantMap>;
Q_DECLARE_METATYPE(Settings)

namespace {

const QString Root = QStringLiteral("/org/freedesktop/NetworkManager");

QList<uint> v4(const QStringList &texts)
{
    QList<uint> list;
    for (const QString &text : texts)
        list.append(qToBigEndian(quint32(QHostAddress(text).toIPv4Address())));
    return list;
}

template<typename T> T decode(const QVariant &value)
{
    return value.canConvert<QDBusArgument>() ? qdbus_cast<T>(value) : value.value<T>();
}

Settings profile(int number)
{
    Settings settings;
    settings[QStringLiteral("connection")][QStringLiteral("id")] = QStringLiteral("Wired %1").arg(number);
    QVariantMap ipv4;
    ipv4[QStringLiteral("method")] = QStringLiteral("auto");
    ipv4[QStringLiteral("dns")] = QVariant::fromValue(QList<uint>());
    ipv4[QStringLiteral("ignore-auto-dns")] = false;
    ipv4[QStringLiteral("addresses")] = QVariant::fromValue(QList<QList<uint>> { v4({ QStringLiteral("10.0.0.2"), QStringLiteral("0.0.0.24") }) });
    settings[QStringLiteral("ipv4")] = ipv4;
    QVariantMap ipv6;
    ipv6[QStringLiteral("method")] = QStringLiteral("auto");
    const Q_IPV6ADDR server = QHostAddress(QStringLiteral("2001:db8::1")).toIPv6Address();
    ipv6[QStringLiteral("dns")] = QVariant::fromValue(QList<QByteArray> { QByteArray(reinterpret_cast<const char *>(server.c), 16) });
    ipv6[QStringLiteral("ignore-auto-dns")] = false;
    settings[QStringLiteral("ipv6")] = ipv6;
    return settings;
}

QString describe(const Settings &settings)
{
    QStringList v4Servers;
    for (const uint address : decode<QList<uint>>(settings.value(QStringLiteral("ipv4")).value(QStringLiteral("dns"))))
        v4Servers.append(QHostAddress(qFromBigEndian(quint32(address))).toString());
    QStringList v6Servers;
    for (const QByteArray &address : decode<QList<QByteArray>>(settings.value(QStringLiteral("ipv6")).value(QStringLiteral("dns"))))
        v6Servers.append(QHostAddress(reinterpret_cast<const quint8 *>(address.constData())).toString());
    const bool addresses = decode<QList<QList<uint>>>(settings.value(QStringLiteral("ipv4")).value(QStringLiteral("addresses")))
            == QList<QList<uint>> { v4({ QStringLiteral("10.0.0.2"), QStringLiteral("0.0.0.24") }) };
    return QStringLiteral("ipv4.dns=%1 ipv4.ignore-auto-dns=%2 ipv6.dns=%3 ipv6.ignore-auto-dns=%4 addresses=%5")
            .arg(v4Servers.join(QLatin1Char(',')),
                 settings.value(QStringLiteral("ipv4")).value(QStringLiteral("ignore-auto-dns")).toBool() ? QStringLiteral("yes") : QStringLiteral("no"),
                 v6Servers.join(QLatin1Char(',')),
                 settings.value(QStringLiteral("ipv6")).value(QStringLiteral("ignore-auto-dns")).toBool() ? QStringLiteral("yes") : QStringLiteral("no"),
                 addresses ? QStringLiteral("kept") : QStringLiteral("lost"));
}

} // namespace

class Ip4Config : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager.IP4Config")
    Q_PROPERTY(QList<uint> Nameservers READ nameservers)
public:
    QList<uint> nameservers() const { return v4({ QStringLiteral("192.0.2.53") }); }
};

class ActiveConnection : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager.Connection.Active")
    Q_PROPERTY(QString Id READ id)
public:
    QString name;
    QString id() const { return name; }
};

class Device : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager.Device")
    Q_PROPERTY(QString Interface READ interfaceName)
    Q_PROPERTY(QDBusObjectPath ActiveConnection READ activeConnection)
    Q_PROPERTY(QDBusObjectPath Ip4Config READ ip4Config)
public:
    QString name;
    int number = 0;
    Settings applied;
    qulonglong version = 1;

    QString interfaceName() const { return name; }
    QDBusObjectPath activeConnection() const { return QDBusObjectPath(Root + QStringLiteral("/ActiveConnection/%1").arg(number)); }
    QDBusObjectPath ip4Config() const { return QDBusObjectPath(Root + QStringLiteral("/IP4Config/%1").arg(number)); }

public slots:
    Settings GetAppliedConnection(uint, qulonglong &versionId)
    {
        versionId = version;
        return applied;
    }
    void Reapply(const Settings &connection, qulonglong versionId, uint)
    {
        if (versionId != version) {
            sendErrorReply(QStringLiteral("org.freedesktop.NetworkManager.Device.VersionIdMismatch"), QStringLiteral("stale version"));
            return;
        }
        applied = connection;
        ++version;
    }

signals:
    void StateChanged(uint newState, uint oldState, uint reason);
};

class Manager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager")
public:
    QList<Device *> devices;
    Device *find(const QString &name) const
    {
        for (Device *device : devices) {
            if (device->name == name)
                return device;
        }
        return nullptr;
    }

public slots:
    QDBusObjectPath GetDeviceByIpIface(const QString &name)
    {
        Device *device = find(name);
        return QDBusObjectPath(device ? Root + QStringLiteral("/Devices/%1").arg(device->number) : QStringLiteral("/"));
    }
};

class Control : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.corvane.FakeNetworkManager")
public:
    Manager *manager = nullptr;

public slots:
    QString Summary(const QString &name)
    {
        Device *device = manager->find(name);
        return device ? describe(device->applied) : QString();
    }
    void Reactivate(const QString &name)
    {
        Device *device = manager->find(name);
        if (!device)
            return;
        device->applied = profile(device->number);
        ++device->version;
        emit device->StateChanged(100, 70, 0);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<Settings>();
    qDBusRegisterMetaType<QList<uint>>();
    qDBusRegisterMetaType<QList<QList<uint>>>();
    qDBusRegisterMetaType<QList<QByteArray>>();
    QDBusConnection bus = QDBusConnection::systemBus();
    const auto exports = QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals | QDBusConnection::ExportAllProperties;
    Manager manager;
    Control control;
    control.manager = &manager;
    bus.registerObject(Root, &manager, exports);
    bus.registerObject(Root + QStringLiteral("/Control"), &control, exports);
    QList<QObject *> owned;
    for (int i = 1; i < argc; ++i) {
        auto *device = new Device;
        device->name = QString::fromLocal8Bit(argv[i]);
        device->number = i;
        device->applied = profile(i);
        manager.devices.append(device);
        auto *active = new ActiveConnection;
        active->name = QStringLiteral("Wired %1").arg(i);
        auto *config = new Ip4Config;
        owned << device << active << config;
        bus.registerObject(Root + QStringLiteral("/Devices/%1").arg(i), device, exports);
        bus.registerObject(device->activeConnection().path(), active, exports);
        bus.registerObject(device->ip4Config().path(), config, exports);
    }
    if (!bus.registerService(QStringLiteral("org.freedesktop.NetworkManager"))) {
        std::fprintf(stderr, "cannot own org.freedesktop.NetworkManager: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    const int code = app.exec();
    qDeleteAll(owned);
    return code;
}

#include "main.moc"

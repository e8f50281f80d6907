#include "adapterenumerator.h"

#include "systembus.h"

#include <QDBusObjectPath>
#include <QNetworkInterface>

namespace {

const QString NmPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString NmInterface = QStringLiteral("org.freedesktop.NetworkManager");
const QString NmDeviceInterface = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString NmActiveInterface = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");

QString kindText(QNetworkInterface::InterfaceType type)
{
    switch (type) {
    case QNetworkInterface::Ethernet:
        return QStringLiteral("Ethernet");
    case QNetworkInterface::Ieee80211:
        return QStringLiteral("Wi-Fi");
    case QNetworkInterface::Ppp:
        return QStringLiteral("PPP");
    default:
        return QString();
    }
}

// The name of the connection NetworkManager has active on the device, or empty. *answering
// goes false when NetworkManager let a call time out, so that one pass asks it no more.
QString connectionName(const QString &device, bool *answering)
{
    const QDBusMessage reply = SystemBus::call(SystemBus::NetworkManagerService, NmPath, NmInterface,
            QStringLiteral("GetDeviceByIpIface"), { device });
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        if (SystemBus::timedOut(reply))
            *answering = false;
        return QString();
    }
    const QString path = reply.arguments().constFirst().value<QDBusObjectPath>().path();
    const QString active = SystemBus::property(SystemBus::NetworkManagerService, path, NmDeviceInterface,
            QStringLiteral("ActiveConnection")).value<QDBusObjectPath>().path();
    if (active.isEmpty() || active == QLatin1String("/"))
        return QString();
    return SystemBus::property(SystemBus::NetworkManagerService, active, NmActiveInterface,
            QStringLiteral("Id")).toString();
}

class SystemAdapterEnumerator : public AdapterEnumerator
{
public:
    using AdapterEnumerator::AdapterEnumerator;

    bool enumerate(QList<AdapterInfo> *adapters) override
    {
        const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
        // Every Linux system has a loopback interface: none at all means the kernel was
        // not asked successfully.
        if (interfaces.isEmpty())
            return false;
        bool askNetworkManager = SystemBus::hasOwner(SystemBus::NetworkManagerService);
        QList<AdapterInfo> found;
        for (const QNetworkInterface &interface : interfaces) {
            const QString kind = kindText(interface.type());
            if (kind.isEmpty())
                continue;
            AdapterInfo info;
            info.name = interface.name();
            const bool up = interface.flags().testFlag(QNetworkInterface::IsUp)
                    && interface.flags().testFlag(QNetworkInterface::IsRunning);
            info.status = up ? AdapterRecord::StatusUp : AdapterRecord::StatusDown;
            info.description = interface.hardwareAddress().isEmpty()
                    ? kind
                    : kind + QLatin1Char(' ') + interface.hardwareAddress();
            if (askNetworkManager)
                info.friendlyName = connectionName(info.name, &askNetworkManager);
            if (info.friendlyName.isEmpty())
                info.friendlyName = info.name;
            found.append(info);
        }
        *adapters = found;
        return true;
    }
};

} // namespace

AdapterEnumerator *AdapterEnumerator::createSystem(QObject *parent)
{
    return new SystemAdapterEnumerator(parent);
}

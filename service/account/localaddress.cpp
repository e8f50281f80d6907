#include "localaddress.h"

#include <QNetworkAddressEntry>
#include <QNetworkInterface>

namespace LocalAddress {

QList<Interface> systemInterfaces()
{
    QList<Interface> result;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &system : interfaces) {
        Interface entry;
        entry.up = system.flags() & QNetworkInterface::IsUp;
        entry.running = system.flags() & QNetworkInterface::IsRunning;
        entry.loopback = system.flags() & QNetworkInterface::IsLoopBack;
        const QList<QNetworkAddressEntry> addresses = system.addressEntries();
        for (const QNetworkAddressEntry &address : addresses)
            entry.addresses.append(address.ip());
        result.append(entry);
    }
    return result;
}

QString firstIPv4(const QList<Interface> &interfaces)
{
    for (const Interface &entry : interfaces) {
        if (!entry.up || !entry.running || entry.loopback)
            continue;
        for (const QHostAddress &address : entry.addresses) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol)
                return address.toString();
        }
    }
    qWarning("failed to find a correct network interface \r\n(requirements: it's not "
             "loopback, it's up, it's running)");
    return QStringLiteral("127.0.0.1");
}

} // namespace LocalAddress

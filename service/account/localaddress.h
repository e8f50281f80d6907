#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

// The values that describe this agent to the account web service in "getProfile".
namespace LocalAddress {

// What the choice of the local address looks at in one network interface.
struct Interface
{
    bool up = false;
    bool running = false;
    bool loopback = false;
    QList<QHostAddress> addresses;
};

// The machine's interfaces, in the system's order.
QList<Interface> systemInterfaces();

// The first IPv4 address of the first interface that is up, running and not a loopback
// one, in interface and then address order; "127.0.0.1" with a warning when there is none.
QString firstIPv4(const QList<Interface> &interfaces);

} // namespace LocalAddress

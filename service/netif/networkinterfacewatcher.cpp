#include "networkinterfacewatcher.h"

#include "netlinkmessages.h"
#include "routesocket.h"

#include <QSocketNotifier>

namespace {
// Datagrams read per activation before the event loop gets its turn.
constexpr int ReadBatch = 64;
} // namespace

NetworkInterfaceWatcher::NetworkInterfaceWatcher(QObject *parent)
    : QObject(parent)
{
}

NetworkInterfaceWatcher::~NetworkInterfaceWatcher()
{
    stop();
    m_notifier.reset();
    RouteSocket::close(m_socket);
}

bool NetworkInterfaceWatcher::start()
{
    if (m_armed)
        return true;
    if (m_socket < 0) {
        m_socket = RouteSocket::open();
        if (m_socket < 0) {
            qWarning("Interface watcher: cannot open the netlink socket: %s", qPrintable(qt_error_string(errno)));
            return false;
        }
        m_notifier.reset(new QSocketNotifier(m_socket, QSocketNotifier::Read));
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &NetworkInterfaceWatcher::eventActivated);
    }
    m_armed = true;
    m_notifier->setEnabled(true);
    return true;
}

void NetworkInterfaceWatcher::stop()
{
    if (!m_armed)
        return;
    m_notifier->setEnabled(false);
    m_armed = false;
}

void NetworkInterfaceWatcher::eventActivated()
{
    if (!m_armed)
        return;
    bool changed = false;
    bool broken = false;
    QByteArray datagram;
    for (int i = 0; i < ReadBatch; ++i) {
        const RouteSocket::Read read = RouteSocket::receive(m_socket, &datagram);
        if (read == RouteSocket::Read::Empty)
            break;
        if (read == RouteSocket::Read::Failed) {
            // A socket that fails would wake us forever; the next start() opens a new one,
            // and the receiver's enumeration covers what it may have missed.
            broken = changed = true;
            break;
        }
        if (read == RouteSocket::Read::Overrun) {
            // Notifications were lost: only a fresh enumeration can tell what changed.
            changed = true;
            continue;
        }
        if (read == RouteSocket::Read::Foreign) {
            ++m_dropped;
            continue;
        }
        const Netlink::Parsed parsed = Netlink::parse(datagram);
        if (parsed.malformed)
            ++m_dropped;
        changed = changed || !parsed.events.isEmpty();
    }
    if (!changed)
        return;
    m_notifier->setEnabled(false);
    m_armed = false;
    if (broken) {
        m_notifier.reset();
        RouteSocket::close(m_socket);
        m_socket = -1;
    }
    emit interfacesChanged();
}

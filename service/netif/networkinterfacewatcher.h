#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

// Tells the adapter control that the computer's IP configuration changed: a link came,
// went or changed state, or an address was added or removed. It listens on a NETLINK_ROUTE
// socket subscribed to the link and the IPv4 and IPv6 address groups, read through a
// QSocketNotifier on the main thread's event loop.
//
// Armed by start(), it emits interfacesChanged() once, for the first change after arming,
// and is then disarmed: the receiver calls start() again when it has handled the change.
// The socket stays open between armings, so a change that happens while the receiver works
// is reported right after the next start() instead of being lost.
class NetworkInterfaceWatcher : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(NetworkInterfaceWatcher)
public:
    explicit NetworkInterfaceWatcher(QObject *parent = nullptr);
    ~NetworkInterfaceWatcher() override;

    bool isArmed() const { return m_armed; }
    // Datagrams dropped since construction: not from the kernel, or malformed.
    int droppedMessages() const { return m_dropped; }

signals:
    void interfacesChanged();

public slots:
    // Arms the watcher; true when armed (also when it already was). False when the socket
    // cannot be opened; nothing is reported then until a later start() succeeds.
    bool start();
    // Disarms; nothing when not armed.
    void stop();
    void eventActivated();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_socket = -1;
    bool m_armed = false;
    int m_dropped = 0;
};

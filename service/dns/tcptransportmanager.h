#pragma once

#include <QHash>
#include <QObject>
#include <QTimer>

namespace DNS {

class TcpTransport;

// Closes TCP connections nobody uses. Each watched transport has a use count (queries
// in flight on it); one whose count is 0 and whose last complete message is older than
// the idle limit is closed and deleted when the periodic check runs. The check runs every
// idle limit, so an unused connection goes between one and two limits after its last
// message.
class TcpTransportManager : public QObject
{
    Q_OBJECT

public:
    // idleLimit in milliseconds.
    explicit TcpTransportManager(int idleLimit, QObject *parent = nullptr);

    int idleLimit() const { return m_idleLimit; }
    void setIdleLimit(int milliseconds);

    // Starts watching with count 0 (nothing when already watched).
    void watch(TcpTransport *transport);
    // Stops watching at once (a connection being closed no longer counts).
    void forget(TcpTransport *transport);
    // Watches and adds one use.
    void touch(TcpTransport *transport);
    // Removes one use.
    void release(TcpTransport *transport);

    int useCount(TcpTransport *transport) const;
    int size() const { return m_transports.size(); }
    // The transport without uses that has been idle longest, or null.
    TcpTransport *longestIdleUnused() const;

public slots:
    void killInactiveTransport();

private slots:
    void transportDestroyed(QObject *object);

private:
    int m_idleLimit;
    QTimer m_timer;
    QHash<QObject *, TcpTransport *> m_transports;
};

} // namespace DNS

#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <functional>

// Where the adapters' DNS settings are read and written: one backend for each owner of the
// system's DNS (systemd-resolved, NetworkManager, resolvconf, a plain resolv.conf) and an
// ini file for tests and the demonstration. Values are keyed by adapter name and family
// and named like the values the adapter control works with ("NameServer",
// "DhcpNameServer", "EnableDHCP"), as text.
//
// A backend is chosen once at start (see backendselection.h) and lives as long as the
// adapter control. Every call runs on the main thread and returns promptly: file writes are
// local, bus calls are bounded by BusTimeoutMs and a peer that let one time out is not
// called again until the next recheck().
class AdapterDnsBackend : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(AdapterDnsBackend)
public:
    enum Family { IPv4 = 0, IPv6 = 1 };
    Q_ENUM(Family)

    static const QString NameServer;
    static const QString DhcpNameServer;
    static const QString EnableDhcp;

    // Milliseconds a call to a system service on the bus may take.
    static constexpr int BusTimeoutMs = 1000;

    explicit AdapterDnsBackend(QObject *parent = nullptr);
    ~AdapterDnsBackend() override;

    // A short name for the log and the diagnostics ("systemd-resolved", "resolv.conf", ...).
    virtual QString name() const = 0;

    // The text of a value of an adapter's family; empty when there is none. "EnableDHCP"
    // reads "true" or "false".
    virtual QString value(const QString &adapter, Family family, const QString &valueName) const = 0;

    // Writes "NameServer" of an adapter's family. ours is true when text is the service's
    // own address (or "::", no server of that family), false when it is the adapter's own
    // setting put back.
    virtual void setNameServer(const QString &adapter, Family family, const QString &text, bool ours) = 0;

    // Puts back what the backend keeps beyond the per-adapter values (a file it replaced, a
    // record it registered, link settings it changed), from its backups in the state
    // directory. Nothing of the service's is in force afterwards. Returns whether anything
    // was restored.
    virtual bool restoreAll();

    // Checks that what the backend wrote is still in force and writes it again where
    // someone else replaced it, logging that once per episode; emits reapplied() when it
    // wrote. Called on every interface change and periodically.
    virtual void recheck();

    // Whether what the backend writes reaches the system's own name lookups (false for the
    // ini file: verifying the path of queries would be meaningless there).
    virtual bool changesSystem() const;

    // The job that makes the system's resolver drop what it cached, run on a pool thread
    // after every change; returns whether it was issued. Must not touch the backend.
    virtual std::function<bool()> cacheFlushJob() const;

    // The text of one server list: addresses joined with separator.
    static QString joinAddresses(const QList<QHostAddress> &addresses, QChar separator);

signals:
    // recheck() or a change the backend follows on its own wrote the service's setting again.
    void reapplied();
};

// Tells when a rewrite of the service's setting by another program starts a new episode
// worth one log line: when none happened in the minute before. A program that keeps
// rewriting is thus named once, not at every round.
class OverwriteEpisode
{
public:
    static constexpr qint64 QuietMs = 60000;

    // Notes a rewrite; true when it begins an episode.
    bool begins()
    {
        const bool fresh = !m_last.isValid() || m_last.elapsed() > QuietMs;
        m_last.start();
        return fresh;
    }

private:
    QElapsedTimer m_last;
};

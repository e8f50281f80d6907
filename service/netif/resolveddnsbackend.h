#pragma once

#include "adapterdnsbackend.h"

#include <QMap>

// systemd-resolved, per link over the system bus (org.freedesktop.resolve1). The service's
// IPv4 setting on a link is its address as the link's only IPv4 server, plus the routing
// domain "~." and the default route: without "~.", resolved sends every query to all
// links' servers at once and the fastest answer wins, so half the lookups would bypass the
// filter. The IPv6 setting "::" drops the link's IPv6 servers. Before the first change of a
// link, its settings (servers with port and name, domains, default route) are kept in the
// backup file, and they are what comes back.
//
// resolved does not announce changes of link settings, and NetworkManager rewrites a
// link's settings when it reconfigures the device, so recheck() (on every interface change
// and every 30 s) reads the changed links again and writes what was replaced.
class ResolvedDnsBackend : public AdapterDnsBackend
{
    Q_OBJECT
public:
    // One server of a link as resolved's DNSEx property gives it.
    struct Server
    {
        int family = 0; // AF_INET or AF_INET6
        QByteArray address; // in network byte order
        quint16 port = 0; // 0: the default
        QString name; // for DNS-over-TLS; empty when none

        QHostAddress hostAddress() const;
        static Server from(const QHostAddress &address);
        bool operator==(const Server &other) const;
    };
    struct Domain
    {
        QString name; // "." for the root
        bool routeOnly = false;
        bool operator==(const Domain &other) const { return name == other.name && routeOnly == other.routeOnly; }
    };
    struct LinkSettings
    {
        QList<Server> servers;
        QList<Domain> domains;
        bool defaultRoute = false;
    };

    explicit ResolvedDnsBackend(const QString &backupFile, QObject *parent = nullptr);

    QString name() const override;
    QString value(const QString &adapter, Family family, const QString &valueName) const override;
    void setNameServer(const QString &adapter, Family family, const QString &text, bool ours) override;
    bool restoreAll() override;
    void recheck() override;
    std::function<bool()> cacheFlushJob() const override;

    // Reads a link's settings; false when resolved does not know it or does not answer.
    bool readLink(int index, LinkSettings *settings) const;

private:
    struct Applied
    {
        QHostAddress v4; // null while the IPv4 setting is the link's own
        bool v6 = false;
    };
    bool writeLink(int index, const LinkSettings &settings, const LinkSettings &current);
    bool call(const QString &method, const QVariantList &arguments) const;
    void saveSnapshot(const QString &adapter, const LinkSettings &settings);
    bool loadSnapshot(const QString &adapter, LinkSettings *settings) const;
    void dropSnapshot(const QString &adapter);
    // What the service last wrote on a link, to tell later whether it is still in force.
    void noteWritten(const QString &adapter, const QList<Server> &servers);
    bool stillOurs(const QString &adapter, const LinkSettings &current) const;
    // What the link must look like while the service's settings are applied.
    static LinkSettings withOurs(LinkSettings settings, const Applied &applied);
    static bool holdsOurs(const LinkSettings &settings, const Applied &applied);

    QString m_backupFile;
    QMap<QString, Applied> m_applied;
    OverwriteEpisode m_episode;
    // Set when resolved let a call time out: no more calls until the next recheck().
    mutable bool m_unresponsive = false;
};

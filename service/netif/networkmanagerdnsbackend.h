#pragma once

#include "adapterdnsbackend.h"

#include <QMap>
#include <QVariantMap>

// NetworkManager without systemd-resolved (it then writes /etc/resolv.conf itself): per
// device, at run time only, through the device's applied connection. The service's IPv4
// setting is ipv4.dns = its address with ipv4.ignore-auto-dns on, so that the servers
// from DHCP are not added; "::" for IPv6 is an empty ipv6.dns with ipv6.ignore-auto-dns
// on. The device gets it with Reapply, which changes neither the saved profile nor the
// connection. What the applied connection held before is kept in the backup file and
// reapplied to restore.
//
// A re-activated connection starts from its profile again, without the service's change:
// the backend follows the devices' StateChanged signals and rechecks when a device
// reaches the activated state.
class NetworkManagerDnsBackend : public AdapterDnsBackend
{
    Q_OBJECT
public:
    using Settings = QMap<QString, QVariantMap>;

    explicit NetworkManagerDnsBackend(const QString &backupFile, QObject *parent = nullptr);

    QString name() const override;
    QString value(const QString &adapter, Family family, const QString &valueName) const override;
    void setNameServer(const QString &adapter, Family family, const QString &text, bool ours) override;
    bool restoreAll() override;
    void recheck() override;

private slots:
    void deviceStateChanged(uint newState, uint oldState, uint reason);

private:
    struct Applied
    {
        QHostAddress v4; // null while IPv4 is the device's own
        bool v6 = false;
    };
    QString devicePath(const QString &adapter) const;
    bool appliedConnection(const QString &device, Settings *settings, quint64 *version) const;
    bool reapply(const QString &device, const Settings &settings, quint64 version) const;
    // The family's dns and ignore-auto-dns set in settings; false when nothing changed.
    static bool setFamily(Settings *settings, Family family, const QList<QHostAddress> &servers, bool ignoreAuto);
    static QList<QHostAddress> servers(const Settings &settings, Family family);
    bool writeFamily(const QString &adapter, Family family, const QList<QHostAddress> &servers, bool ignoreAuto,
            bool keepBackup);
    void scheduleRecheck();

    QString m_backupFile;
    QMap<QString, Applied> m_applied;
    OverwriteEpisode m_episode;
    bool m_recheckPending = false;
    mutable bool m_unresponsive = false;
};

#pragma once

#include "adapterdnsbackend.h"
#include "adapterenumerator.h"

class QFileSystemWatcher;

// An ini file that stands for the system's adapters and their DNS values, laid out like
// the registry keys the adapter control was designed around, so that tests and the
// demonstration mode never touch the machine's real DNS:
//
//   [Adapters]                       one group per adapter, listed in name order
//   eth0\FriendlyName=Office LAN     (default: the name)
//   eth0\Description=...             (default: the type)
//   eth0\Type=ethernet               ethernet (default), wifi, ppp; any other is skipped
//   eth0\Up=true                     (default false)
//   [Tcpip]
//   Parameters\Interfaces\eth0\NameServer=192.0.2.1 192.0.2.2
//   Parameters\Interfaces\eth0\DhcpNameServer=...
//   Parameters\Interfaces\eth0\EnableDHCP=true
//   [Tcpip6]                         the same for IPv6
//
// The file is opened anew for every read and write, so edits by hand are seen at once.
class IniDnsBackend : public AdapterDnsBackend
{
    Q_OBJECT
public:
    explicit IniDnsBackend(const QString &path, QObject *parent = nullptr);

    QString name() const override;
    QString value(const QString &adapter, Family family, const QString &valueName) const override;
    void setNameServer(const QString &adapter, Family family, const QString &text, bool ours) override;
    bool changesSystem() const override;

    QString path() const { return m_path; }
    // The group of an adapter's family: "Tcpip/Parameters/Interfaces/<name>" or
    // "Tcpip6/...".
    static QString group(const QString &adapter, Family family);

private:
    QString m_path;
};

// The adapters of the same file; reports changed() when the file's adapter part changes.
// A missing file fails the enumeration.
class IniAdapterEnumerator : public AdapterEnumerator
{
    Q_OBJECT
public:
    explicit IniAdapterEnumerator(const QString &path, QObject *parent = nullptr);

    bool enumerate(QList<AdapterInfo> *adapters) override;

private:
    QList<AdapterInfo> read() const;
    void fileChanged();

    QString m_path;
    QFileSystemWatcher *m_watcher;
    QString m_lastSeen;
};

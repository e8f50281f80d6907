#pragma once

#include "globaldnsbackend.h"

class ProgramQueue;

// resolvconf(8) manages /etc/resolv.conf from one record per interface. The service
// registers a record of its own, RecordName, with its address: Debian orders "lo.*"
// records first and, after a loopback server, drops the others, so the service's server is
// the only one in the file. Deleting the record puts the machine's own servers back; the
// other records are never touched. An adapter's own servers are those of its records
// ("eth0", "eth0.dhclient", ...) in resolvconf's interface folder.
class ResolvconfDnsBackend : public GlobalDnsBackend
{
    Q_OBJECT
public:
    static const QString RecordName;

    ResolvconfDnsBackend(const QString &program, const QString &directory, const QString &backupFile,
            QObject *parent = nullptr);
    ~ResolvconfDnsBackend() override;

    QString name() const override;
    QString value(const QString &adapter, Family family, const QString &valueName) const override;
    void recheck() override;

    ProgramQueue *queue() const { return m_queue; }

protected:
    void applyGlobal(const QHostAddress &address) override;
    bool releaseGlobal() override;

private:
    QString recordPath() const;
    void addRecord();

    QString m_program;
    QString m_directory;
    QString m_backupFile;
    ProgramQueue *m_queue;
    OverwriteEpisode m_episode;
    bool m_recheckWhenIdle = false;
};

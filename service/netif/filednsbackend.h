#pragma once

#include "globaldnsbackend.h"

class QFileSystemWatcher;
class QTimer;

// A plain /etc/resolv.conf that no program manages. While the service's setting is in
// force the file is the service's own (ResolvConfText::ours); the replaced file (its
// content, or the target when it was a symbolic link) is kept in the backup file of the
// state directory first, and put back from there. The file is watched: when another
// program rewrites it, the backup takes the new version (the machine's newest own setting)
// and the service's file is written again.
class FileDnsBackend : public GlobalDnsBackend
{
    Q_OBJECT
public:
    FileDnsBackend(const QString &path, const QString &backupFile, QObject *parent = nullptr);

    QString name() const override;
    QString value(const QString &adapter, Family family, const QString &valueName) const override;
    void recheck() override;

protected:
    void applyGlobal(const QHostAddress &address) override;
    bool releaseGlobal() override;

private:
    bool hasBackup() const;
    bool saveBackup(const QByteArray &content);
    // The machine's own file: the backup while there is one, else the file as it stands.
    QByteArray ownContent() const;
    bool writeOurs();

    QString m_path;
    QString m_backupFile;
    QFileSystemWatcher *m_watcher;
    QTimer *m_recheck;
    OverwriteEpisode m_episode;
};

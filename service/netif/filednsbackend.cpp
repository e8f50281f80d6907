#include "filednsbackend.h"

#include "filereplace.h"
#include "resolvconftext.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSettings>
#include <QTimer>

namespace {
const QString Group = QStringLiteral("resolv.conf");
const QString ContentKey = QStringLiteral("resolv.conf/Content");
const QString SymlinkKey = QStringLiteral("resolv.conf/SymlinkTarget");
const QString PathKey = QStringLiteral("resolv.conf/Path");
} // namespace

FileDnsBackend::FileDnsBackend(const QString &path, const QString &backupFile, QObject *parent)
    : GlobalDnsBackend(parent)
    , m_path(path)
    , m_backupFile(backupFile)
    , m_watcher(new QFileSystemWatcher(this))
    , m_recheck(new QTimer(this))
{
    // Programs replace resolv.conf by renaming a new file over it, which ends a watch on
    // the file; the folder's watch sees that.
    m_watcher->addPath(QFileInfo(path).absolutePath());
    m_watcher->addPath(path);
    m_recheck->setSingleShot(true);
    m_recheck->setInterval(0);
    connect(m_recheck, &QTimer::timeout, this, &FileDnsBackend::recheck);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_recheck, qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_recheck, qOverload<>(&QTimer::start));
}

QString FileDnsBackend::name() const
{
    return QStringLiteral("resolv.conf");
}

bool FileDnsBackend::hasBackup() const
{
    const QSettings backup(m_backupFile, QSettings::IniFormat);
    return backup.contains(ContentKey) || backup.contains(SymlinkKey);
}

QByteArray FileDnsBackend::ownContent() const
{
    const QSettings backup(m_backupFile, QSettings::IniFormat);
    if (backup.contains(ContentKey))
        return backup.value(ContentKey).toByteArray();
    QByteArray content;
    ResolvConfText::readFile(m_path, &content);
    return content;
}

QString FileDnsBackend::value(const QString &, Family family, const QString &valueName) const
{
    if (valueName == EnableDhcp)
        return QStringLiteral("false");
    if (valueName != NameServer)
        return QString();
    return joinAddresses(ResolvConfText::nameservers(ownContent(), family), QLatin1Char(' '));
}

// The backup must be on disk before the file is touched: a crash in between must never
// leave the machine with the service's file and nothing to put back.
bool FileDnsBackend::saveBackup(const QByteArray &content)
{
    QSettings backup(m_backupFile, QSettings::IniFormat);
    const QFileInfo info(m_path);
    backup.setValue(PathKey, m_path);
    backup.setValue(ContentKey, content);
    if (info.isSymLink())
        backup.setValue(SymlinkKey, info.symLinkTarget());
    else
        backup.remove(SymlinkKey);
    backup.sync();
    if (backup.status() == QSettings::NoError)
        return true;
    qWarning("resolv.conf: cannot save a backup of %s in %s; the file is left as it is",
             qPrintable(m_path), qPrintable(m_backupFile));
    return false;
}

bool FileDnsBackend::writeOurs()
{
    QString error;
    if (FileReplace::withContent(m_path, ResolvConfText::ours(appliedAddress(), ownContent(), m_backupFile), &error))
        return true;
    qWarning("resolv.conf: %s", qPrintable(error));
    return false;
}

void FileDnsBackend::applyGlobal(const QHostAddress &)
{
    if (!hasBackup()) {
        QByteArray content;
        ResolvConfText::readFile(m_path, &content);
        if (!saveBackup(content))
            return;
    }
    writeOurs();
}

bool FileDnsBackend::releaseGlobal()
{
    if (!hasBackup())
        return false;
    QSettings backup(m_backupFile, QSettings::IniFormat);
    QByteArray current;
    if (ResolvConfText::readFile(m_path, &current) && !ResolvConfText::isOurs(current)) {
        // Another program wrote the file since (at boot, say): that is the machine's own
        // setting now, and the backup is out of date.
        backup.remove(Group);
        backup.sync();
        return false;
    }
    const QString target = backup.value(SymlinkKey).toString();
    QString error;
    const bool restored = target.isEmpty()
            ? FileReplace::withContent(m_path, backup.value(ContentKey).toByteArray(), &error)
            : FileReplace::withSymlink(m_path, target, &error);
    if (!restored) {
        qWarning("resolv.conf: cannot put back %s: %s", qPrintable(m_path), qPrintable(error));
        return false;
    }
    backup.remove(Group);
    backup.sync();
    qDebug("resolv.conf: put back the previous %s", qPrintable(m_path));
    return true;
}

void FileDnsBackend::recheck()
{
    if (!m_watcher->files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher->addPath(m_path);
    if (!isApplied())
        return;
    QByteArray content;
    const bool readable = ResolvConfText::readFile(m_path, &content);
    const QFileInfo info(m_path);
    if (readable && !info.isSymLink() && content == ResolvConfText::ours(appliedAddress(), ownContent(), m_backupFile))
        return;
    if (m_episode.begins())
        qWarning("resolv.conf: %s was replaced by another program; the service's file is written again",
                 qPrintable(m_path));
    // What the other program wrote is the machine's newest own setting: that is what must
    // come back when protection ends.
    if (readable && !ResolvConfText::isOurs(content) && !saveBackup(content))
        return;
    if (writeOurs())
        emit reapplied();
}

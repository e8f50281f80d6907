#include "resolvconfdnsbackend.h"

#include "programqueue.h"
#include "resolvconftext.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString RecordKey = QStringLiteral("resolvconf/Record");
} // namespace

const QString ResolvconfDnsBackend::RecordName = QStringLiteral("lo.corvane");

ResolvconfDnsBackend::ResolvconfDnsBackend(const QString &program, const QString &directory,
        const QString &backupFile, QObject *parent)
    : GlobalDnsBackend(parent)
    , m_program(program)
    , m_directory(directory)
    , m_backupFile(backupFile)
    , m_queue(new ProgramQueue(QStringLiteral("resolvconf"), this))
{
    connect(m_queue, &ProgramQueue::idle, this, [this] {
        if (m_recheckWhenIdle)
            recheck();
    });
}

ResolvconfDnsBackend::~ResolvconfDnsBackend() = default;

QString ResolvconfDnsBackend::name() const
{
    return QStringLiteral("resolvconf");
}

QString ResolvconfDnsBackend::recordPath() const
{
    return m_directory + QStringLiteral("/interface/") + RecordName;
}

QString ResolvconfDnsBackend::value(const QString &adapter, Family family, const QString &valueName) const
{
    if (valueName == EnableDhcp)
        return QStringLiteral("false");
    if (valueName != NameServer)
        return QString();
    const QDir records(m_directory + QStringLiteral("/interface"));
    const QStringList names = records.entryList(QDir::Files, QDir::Name);
    QList<QHostAddress> servers;
    for (const QString &record : names) {
        if (record != adapter && !record.startsWith(adapter + QLatin1Char('.')))
            continue;
        QByteArray content;
        if (ResolvConfText::readFile(records.filePath(record), &content))
            servers += ResolvConfText::nameservers(content, family);
    }
    return joinAddresses(servers, QLatin1Char(' '));
}

void ResolvconfDnsBackend::addRecord()
{
    m_queue->enqueue(m_program, { QStringLiteral("-a"), RecordName },
            "nameserver " + appliedAddress().toString().toLatin1() + '\n');
}

void ResolvconfDnsBackend::applyGlobal(const QHostAddress &)
{
    // Noted before the record exists, so that a crash in between still leads to its removal.
    QSettings backup(m_backupFile, QSettings::IniFormat);
    backup.setValue(RecordKey, RecordName);
    backup.sync();
    addRecord();
}

bool ResolvconfDnsBackend::releaseGlobal()
{
    QSettings backup(m_backupFile, QSettings::IniFormat);
    if (!backup.contains(RecordKey) && !QFileInfo::exists(recordPath()))
        return false;
    m_queue->enqueue(m_program, { QStringLiteral("-d"), RecordName });
    backup.remove(RecordKey);
    backup.sync();
    return true;
}

void ResolvconfDnsBackend::recheck()
{
    // While resolvconf still runs, the record is not what it will be: look once it ended.
    m_recheckWhenIdle = !m_queue->isIdle();
    if (!isApplied() || m_recheckWhenIdle)
        return;
    QByteArray content;
    if (ResolvConfText::readFile(recordPath(), &content)
            && ResolvConfText::nameservers(content, IPv4) == QList<QHostAddress> { appliedAddress() })
        return;
    if (m_episode.begins())
        qWarning("resolvconf: the record %s was removed or changed by another program; it is registered again",
                 qPrintable(RecordName));
    addRecord();
    emit reapplied();
}

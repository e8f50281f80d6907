#include "inidnsbackend.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSettings>

namespace {

const QString AdaptersGroup = QStringLiteral("Adapters");
const QString FriendlyNameKey = QStringLiteral("FriendlyName");
const QString DescriptionKey = QStringLiteral("Description");
const QString TypeKey = QStringLiteral("Type");
const QString UpKey = QStringLiteral("Up");

QString typeDescription(const QString &type)
{
    if (type == QLatin1String("ethernet"))
        return QStringLiteral("Ethernet");
    if (type == QLatin1String("wifi"))
        return QStringLiteral("Wi-Fi");
    if (type == QLatin1String("ppp"))
        return QStringLiteral("PPP");
    return QString();
}

QString describe(const AdapterInfo &info)
{
    return info.name + QLatin1Char('|') + info.friendlyName + QLatin1Char('|') + info.description
            + QLatin1Char('|') + QString::number(info.status) + QLatin1Char('\n');
}

} // namespace

IniDnsBackend::IniDnsBackend(const QString &path, QObject *parent)
    : AdapterDnsBackend(parent)
    , m_path(path)
{
}

QString IniDnsBackend::name() const
{
    return QStringLiteral("ini file");
}

QString IniDnsBackend::group(const QString &adapter, Family family)
{
    return (family == IPv4 ? QStringLiteral("Tcpip") : QStringLiteral("Tcpip6"))
            + QStringLiteral("/Parameters/Interfaces/") + adapter;
}

QString IniDnsBackend::value(const QString &adapter, Family family, const QString &valueName) const
{
    const QSettings file(m_path, QSettings::IniFormat);
    const QVariant value = file.value(group(adapter, family) + QLatin1Char('/') + valueName);
    // QSettings turns "a, b" into a list; the text form is what the control parses.
    if (value.type() == QVariant::StringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void IniDnsBackend::setNameServer(const QString &adapter, Family family, const QString &text, bool)
{
    QSettings file(m_path, QSettings::IniFormat);
    file.setValue(group(adapter, family) + QLatin1Char('/') + NameServer, text);
    file.sync();
    if (file.status() != QSettings::NoError)
        qWarning("ini DNS backend: cannot write %s", qPrintable(m_path));
}

bool IniDnsBackend::changesSystem() const
{
    return false;
}

IniAdapterEnumerator::IniAdapterEnumerator(const QString &path, QObject *parent)
    : AdapterEnumerator(parent)
    , m_path(path)
    , m_watcher(new QFileSystemWatcher(this))
{
    // Editors and QSettings replace the file, which ends a watch on the file itself; the
    // folder's watch sees the replacement.
    m_watcher->addPath(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path))
        m_watcher->addPath(path);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &IniAdapterEnumerator::fileChanged);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &IniAdapterEnumerator::fileChanged);
    for (const AdapterInfo &info : read())
        m_lastSeen += describe(info);
}

QList<AdapterInfo> IniAdapterEnumerator::read() const
{
    QSettings file(m_path, QSettings::IniFormat);
    file.beginGroup(AdaptersGroup);
    QList<AdapterInfo> adapters;
    const QStringList names = file.childGroups();
    for (const QString &name : names) {
        file.beginGroup(name);
        const QString kind = typeDescription(file.value(TypeKey, QStringLiteral("ethernet")).toString());
        if (!kind.isEmpty()) {
            AdapterInfo info;
            info.name = name;
            info.friendlyName = file.value(FriendlyNameKey, name).toString();
            info.description = file.value(DescriptionKey, kind).toString();
            info.status = file.value(UpKey, false).toBool() ? AdapterRecord::StatusUp : AdapterRecord::StatusDown;
            adapters.append(info);
        }
        file.endGroup();
    }
    return adapters;
}

// A missing file stands for a system that could not be asked.
bool IniAdapterEnumerator::enumerate(QList<AdapterInfo> *adapters)
{
    if (!QFileInfo::exists(m_path))
        return false;
    *adapters = read();
    m_lastSeen.clear();
    for (const AdapterInfo &info : *adapters)
        m_lastSeen += describe(info);
    return true;
}

// The backend's own writes change the file too; only a change of the adapters is news.
void IniAdapterEnumerator::fileChanged()
{
    if (QFileInfo::exists(m_path) && !m_watcher->files().contains(m_path))
        m_watcher->addPath(m_path);
    QString seen;
    for (const AdapterInfo &info : read())
        seen += describe(info);
    if (seen == m_lastSeen)
        return;
    m_lastSeen = seen;
    emit changed();
}

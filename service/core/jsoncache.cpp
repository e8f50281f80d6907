#include "jsoncache.h"

#include "encrypteddiskcache.h"
#include "paths.h"
#include "qxtjson.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QNetworkCacheMetaData>
#include <QScopedPointer>
#include <QTemporaryFile>

#include <limits>

namespace CacheEntry {

QString profileVersion(quint32 profileId)
{
    return QStringLiteral("profileversion-") + QString::number(profileId);
}

QString filter(quint32 profileId)
{
    return QStringLiteral("filter-") + QString::number(profileId);
}

QString domains(quint32 profileId, CabinetDomain::Type type)
{
    return QStringLiteral("domains-%1-%2")
            .arg(QString::number(profileId), CabinetDomain::listTypeToString(type));
}

QString schedule(quint32 profileId)
{
    return QStringLiteral("schedule-") + QString::number(profileId);
}

} // namespace CacheEntry

namespace {

// QNetworkDiskCache evicts the oldest entries past its maximum size (50 MB by default).
// Evicting account data would silently drop a profile's lists, so the limit is set far
// beyond any real account.
constexpr qint64 NoEviction = std::numeric_limits<qint64>::max() / 4;

bool canWriteIn(const QString &directory)
{
    QTemporaryFile probe(directory + QStringLiteral("/.probe-XXXXXX"));
    return probe.open();
}

// Writes all bytes, going round again after partial writes; false on any failure.
bool writeAll(QIODevice *device, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 written = device->write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// Reads at most limit + 1 bytes, so that an oversized entry is noticed without being held.
QByteArray readBounded(QIODevice *device, qint64 limit)
{
    QByteArray bytes;
    char chunk[16384];
    while (bytes.size() <= limit) {
        const qint64 count = device->read(chunk, sizeof chunk);
        if (count <= 0)
            break;
        bytes.append(chunk, static_cast<int>(count));
    }
    return bytes;
}

} // namespace

JsonCache::JsonCache(const QString &name, QObject *parent)
    : QObject(parent)
    , m_cache(new EncryptedDiskCache(this))
    , m_directory(directoryFor(name))
{
    m_cache->setMaximumCacheSize(NoEviction);
    if (!QDir().mkpath(m_directory)) {
        qWarning("Cannot create the account cache directory %s; the account data will not be cached",
                 qPrintable(QDir::toNativeSeparators(m_directory)));
        return;
    }
    m_cache->setCacheDirectory(QFileInfo(m_directory).absoluteFilePath());
    m_writable = canWriteIn(m_directory);
    if (!m_writable) {
        qWarning("Cannot write to the account cache directory %s; the account data will not be cached",
                 qPrintable(QDir::toNativeSeparators(m_directory)));
    }
}

JsonCache::~JsonCache() = default;

QString JsonCache::directoryFor(const QString &name)
{
    return Paths::localAppDataDirectory() + QStringLiteral("/Corvane/corvane-service/") + name;
}

QUrl JsonCache::entryUrl(const QString &name)
{
    return QUrl(QStringLiteral("json://cache/") + name, QUrl::TolerantMode);
}

void JsonCache::setKeyMaterial(const QString &user, const QString &password)
{
    m_cache->setKeyMaterial(user, password);
}

QByteArray JsonCache::text(const QString &name) const
{
    if (m_cache->cacheDirectory().isEmpty())
        return QByteArray();
    QScopedPointer<QIODevice> device(m_cache->data(entryUrl(name)));
    if (!device)
        return QByteArray();
    const QByteArray text = readBounded(device.data(), MaximumEntryBytes);
    device->close();
    return text.size() > MaximumEntryBytes ? QByteArray() : text;
}

QVariant JsonCache::value(const QString &name) const
{
    const QByteArray json = text(name);
    return json.isEmpty() ? QVariant() : QxtJSON::parse(QString::fromUtf8(json));
}

bool JsonCache::setValue(const QString &name, const QVariant &value)
{
    if (!m_writable || !m_cache->hasKeyMaterial())
        return false;
    return setText(name, QxtJSON::stringify(value).toUtf8());
}

bool JsonCache::setText(const QString &name, const QByteArray &json)
{
    if (!m_writable || !m_cache->hasKeyMaterial())
        return false;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QNetworkCacheMetaData metaData;
    metaData.setUrl(entryUrl(name));
    metaData.setLastModified(now);
    metaData.setExpirationDate(now.addYears(1));
    metaData.setSaveToDisk(true);
    QIODevice *device = m_cache->prepare(metaData);
    if (!device)
        return false;
    if (!writeAll(device, json)) {
        qWarning("Cannot write the account cache entry %s", qPrintable(name));
        m_cache->remove(metaData.url());
        delete device;
        return false;
    }
    if (!m_cache->commit(device)) {
        qWarning("Cannot seal the account cache entry %s with the machine key", qPrintable(name));
        return false;
    }
    return true;
}

void JsonCache::clear()
{
    if (!m_cache->cacheDirectory().isEmpty())
        m_cache->clear();
}

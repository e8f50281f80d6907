#pragma once

#include "cabinetdomain.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariant>

class EncryptedDiskCache;

// Names of the entries of the account cache "cabinet" and of the per-profile version map.
// Values are the toVariant() forms of the account records; profile ids are decimal.
namespace CacheEntry {

inline const QString CacheName = QStringLiteral("cabinet");
inline const QString UserInfo = QStringLiteral("userinfo");      // CabinetUserInfo
inline const QString Profiles = QStringLiteral("profiles");      // CabinetProfiles
inline const QString SelectedProfile = QStringLiteral("profile"); // unsigned id, 0 for none

QString profileVersion(quint32 profileId);                     // "profileversion-<id>"
QString filter(quint32 profileId);                             // "filter-<id>"
QString domains(quint32 profileId, CabinetDomain::Type type);  // "domains-<id>-<type text>"
QString schedule(quint32 profileId);                           // "schedule-<id>"

// Keys of the "profileversion-<id>" map (all unsigned).
namespace Version {
inline const QString Actual = QStringLiteral("actual");
inline const QString Filter = QStringLiteral("filter");
inline const QString WhiteList = QStringLiteral("whitelist");
inline const QString BlackList = QStringLiteral("blacklist");
inline const QString AliasList = QStringLiteral("aliaslist");
inline const QString Schedule = QStringLiteral("schedule");
} // namespace Version

} // namespace CacheEntry

// A small store of JSON values on disk, scrambled with a key made from the account
// credentials. Lives as long as its owner (the account state); used from the main thread
// only.
//
// Every entry holds the JSON text, scrambled and then sealed with the machine key (see
// EncryptedDiskCache). An entry that is truncated, corrupted, moved under another name,
// sealed on another machine or written under other credentials reads as an invalid value
// ("not cached"), never as a half-read record.
//
// When the cache directory cannot be created or written, one warning is logged and every
// write is skipped; reads then find nothing, and the service works on without a cache.
class JsonCache : public QObject
{
    Q_OBJECT

public:
    // Values larger than this read as not cached.
    static constexpr qint64 MaximumEntryBytes = 64 * 1024 * 1024;

    // The directory is "<Paths::localAppDataDirectory()>/Corvane/corvane-service/<name>",
    // created with its parents when missing.
    explicit JsonCache(const QString &name, QObject *parent = nullptr);
    ~JsonCache() override;

    static QString directoryFor(const QString &name);
    // "json://cache/<name>"
    static QUrl entryUrl(const QString &name);

    QString directory() const { return m_directory; }
    bool isWritable() const { return m_writable; }

    void setKeyMaterial(const QString &user, const QString &password);

    // The stored value, or an invalid QVariant when the entry is missing, unreadable,
    // or the credentials are incomplete or other than those it was written with.
    QVariant value(const QString &name) const;
    // The stored JSON text (UTF-8), or an empty text in the same cases.
    QByteArray text(const QString &name) const;
    // Stores the value; false (nothing written) while the credentials are incomplete, the
    // directory is not writable, or the write fails.
    bool setValue(const QString &name, const QVariant &value);
    // As setValue() with the value's UTF-8 JSON text already made.
    bool setText(const QString &name, const QByteArray &json);
    // Removes every entry.
    void clear();

private:
    EncryptedDiskCache *m_cache = nullptr;
    QString m_directory;
    bool m_writable = false;
};

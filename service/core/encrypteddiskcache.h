#pragma once

#include <QNetworkDiskCache>
#include <QString>

// The disk cache of the account data: a QNetworkDiskCache whose entries pass through a
// SyncCryptLayer keyed by the account credentials, so that the cache of one account reads
// as garbage under another, and whose scrambled bytes are sealed with the machine key
// (Protection::protect, authenticating the entry's URL) before they reach the disk.
//
// Sealing beneath the scrambling matters: the scrambling key comes from the credentials
// and the start of every entry is predictable JSON, so scrambled bytes on disk would give
// the key, and with it most of the password, to anyone holding a copy of a cache file.
// An entry that fails to open (changed, cut, moved to another URL, sealed on another
// machine) gives no device, as a missing one does.
//
// data() and prepare() give no device while the user name or the password is empty, so
// nothing is read or written with incomplete credentials. The device of data() belongs to
// the caller (deleting it closes the entry); the device of prepare() must be handed back
// to commit() or insert(), which seal and commit the entry and delete the device, or the
// entry cancelled with remove(url) and the device deleted.
class EncryptedDiskCache : public QNetworkDiskCache
{
    Q_OBJECT

public:
    static constexpr int KeyLength = 12;

    explicit EncryptedDiskCache(QObject *parent = nullptr);
    ~EncryptedDiskCache() override;

    void setKeyMaterial(const QString &user, const QString &password);
    QString user() const { return m_user; }
    QString password() const { return m_password; }
    bool hasKeyMaterial() const { return !m_user.isEmpty() && !m_password.isEmpty(); }

    // Byte i (0 to 11) = user[i mod length] XOR password[i mod length] XOR a constant of
    // this build, over the UTF-8 forms. Both texts must be non-empty.
    static QByteArray makeKey(const QString &user, const QString &password);

    QIODevice *data(const QUrl &url) override;
    QIODevice *prepare(const QNetworkCacheMetaData &metaData) override;
    void insert(QIODevice *device) override;
    // insert() that says whether the entry was sealed and committed; on failure the entry
    // is dropped.
    bool commit(QIODevice *device);

private:
    QString m_user;
    QString m_password;
};

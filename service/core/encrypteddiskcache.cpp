#include "encrypteddiskcache.h"

#include "synccryptlayer.h"

namespace {

// Mixed into every key byte, so that a cache file cannot be unscrambled from the
// credentials alone with a generic XOR tool. Changing it makes existing caches unreadable
// (they are then read as not cached and downloaded again).
constexpr char KeyConstant = static_cast<char>(0xA7);

} // namespace

EncryptedDiskCache::EncryptedDiskCache(QObject *parent)
    : QNetworkDiskCache(parent)
{
}

EncryptedDiskCache::~EncryptedDiskCache() = default;

void EncryptedDiskCache::setKeyMaterial(const QString &user, const QString &password)
{
    m_user = user;
    m_password = password;
}

QByteArray EncryptedDiskCache::makeKey(const QString &user, const QString &password)
{
    const QByteArray userBytes = user.toUtf8();
    const QByteArray passwordBytes = password.toUtf8();
    Q_ASSERT(!userBytes.isEmpty() && !passwordBytes.isEmpty());
    QByteArray key(KeyLength, Qt::Uninitialized);
    for (int i = 0; i < KeyLength; ++i) {
        key[i] = static_cast<char>(userBytes.at(i % userBytes.size())
                                   ^ passwordBytes.at(i % passwordBytes.size()) ^ KeyConstant);
    }
    return key;
}

QIODevice *EncryptedDiskCache::data(const QUrl &url)
{
    if (!hasKeyMaterial())
        return nullptr;
    QIODevice *inner = QNetworkDiskCache::data(url);
    if (!inner)
        return nullptr;
    auto *layer = new SyncCryptLayer(inner, makeKey(m_user, m_password));
    inner->setParent(layer); // the caller owns the layer, and with it the entry's buffer
    return layer;
}

QIODevice *EncryptedDiskCache::prepare(const QNetworkCacheMetaData &metaData)
{
    if (!hasKeyMaterial())
        return nullptr;
    QIODevice *inner = QNetworkDiskCache::prepare(metaData);
    if (!inner)
        return nullptr;
    // The inner device stays the base class's until insert() or remove().
    return new SyncCryptLayer(inner, makeKey(m_user, m_password));
}

void EncryptedDiskCache::insert(QIODevice *device)
{
    auto *layer = qobject_cast<SyncCryptLayer *>(device);
    if (!layer) {
        QNetworkDiskCache::insert(device);
        return;
    }
    if (QIODevice *inner = layer->innerDevice())
        QNetworkDiskCache::insert(inner);
    delete layer;
}

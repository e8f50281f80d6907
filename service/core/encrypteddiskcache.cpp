#include "encrypteddiskcache.h"

#include "protection.h"
#include "synccryptlayer.h"

#include <QBuffer>
#include <QScopedPointer>
#include <QUrl>

namespace {

// Mixed into every key byte, so that a cache file cannot be unscrambled from the
// credentials alone with a generic XOR tool. Changing it makes existing caches unreadable
// (they are then read as not cached and downloaded again).
constexpr char KeyConstant = static_cast<char>(0xA7);

// What the layer of prepare() carries to commit(): the base class's device of the entry and
// the entry's URL.
const char EntryDeviceProperty[] = "corvaneEntryDevice";
const char EntryUrlProperty[] = "corvaneEntryUrl";

// Authenticated with each sealed entry, so that an entry copied over another never opens.
QString sealDescription(const QUrl &url)
{
    return QStringLiteral("Corvane account cache ") + url.toString();
}

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
    QScopedPointer<QIODevice> inner(QNetworkDiskCache::data(url));
    if (!inner)
        return nullptr;
    QString description;
    const QByteArray scrambled = Protection::unprotect(inner->readAll(), &description, false);
    if (scrambled.isEmpty() || description != sealDescription(url))
        return nullptr;
    auto *staging = new QBuffer;
    staging->setData(scrambled);
    staging->open(QIODevice::ReadOnly);
    auto *layer = new SyncCryptLayer(staging, makeKey(m_user, m_password));
    staging->setParent(layer); // the caller owns the layer, and with it the entry's bytes
    return layer;
}

QIODevice *EncryptedDiskCache::prepare(const QNetworkCacheMetaData &metaData)
{
    if (!hasKeyMaterial())
        return nullptr;
    QIODevice *inner = QNetworkDiskCache::prepare(metaData);
    if (!inner)
        return nullptr;
    // The scrambled bytes wait in a buffer until commit() seals them into the entry's
    // device, which stays the base class's until then (or until remove()).
    auto *staging = new QBuffer;
    staging->open(QIODevice::WriteOnly);
    auto *layer = new SyncCryptLayer(staging, makeKey(m_user, m_password));
    staging->setParent(layer);
    layer->setProperty(EntryDeviceProperty, QVariant::fromValue<QObject *>(inner));
    layer->setProperty(EntryUrlProperty, metaData.url());
    return layer;
}

void EncryptedDiskCache::insert(QIODevice *device)
{
    commit(device);
}

bool EncryptedDiskCache::commit(QIODevice *device)
{
    auto *layer = qobject_cast<SyncCryptLayer *>(device);
    if (!layer) {
        QNetworkDiskCache::insert(device);
        return true;
    }
    auto *inner = qobject_cast<QIODevice *>(layer->property(EntryDeviceProperty).value<QObject *>());
    auto *staging = qobject_cast<QBuffer *>(layer->innerDevice());
    const QUrl url = layer->property(EntryUrlProperty).toUrl();
    bool done = false;
    if (inner && staging) {
        const QByteArray sealed = Protection::protect(staging->data(), sealDescription(url));
        if (!sealed.isEmpty() && inner->write(sealed) == sealed.size()) {
            QNetworkDiskCache::insert(inner);
            done = true;
        }
    }
    if (!done)
        QNetworkDiskCache::remove(url);
    delete layer;
    return done;
}

#include "synccryptlayer.h"

SyncCryptLayer::SyncCryptLayer(QIODevice *inner, const QByteArray &key, QObject *parent)
    : QIODevice(parent)
    , m_inner(inner)
    , m_key(key)
{
    Q_ASSERT(!m_key.isEmpty());
    if (m_inner) {
        connect(m_inner, &QIODevice::aboutToClose, this, &QIODevice::aboutToClose);
        connect(m_inner, &QIODevice::bytesWritten, this, &QIODevice::bytesWritten);
        connect(m_inner, &QIODevice::readChannelFinished, this, &QIODevice::readChannelFinished);
        connect(m_inner, &QIODevice::readyRead, this, &QIODevice::readyRead);
    }
    // Unbuffered: the base class's read-ahead buffer would only add a copy of every byte.
    QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

SyncCryptLayer::~SyncCryptLayer() = default;

bool SyncCryptLayer::isSequential() const
{
    return true;
}

qint64 SyncCryptLayer::bytesAvailable() const
{
    return QIODevice::bytesAvailable() + (m_inner ? m_inner->bytesAvailable() : 0);
}

qint64 SyncCryptLayer::readData(char *data, qint64 maxSize)
{
    if (!m_inner)
        return -1;
    const qint64 count = m_inner->read(data, maxSize);
    if (count > 0)
        scramble(data, count);
    return count;
}

qint64 SyncCryptLayer::writeData(const char *data, qint64 size)
{
    if (!m_inner)
        return -1;
    QByteArray copy(data, static_cast<int>(size));
    scramble(copy.data(), size);
    const qint64 written = m_inner->write(copy);
    // -1 means nothing was taken at all.
    const qint64 taken = qMax<qint64>(written, 0);
    if (taken < size)
        rewind(size - taken);
    return written;
}

void SyncCryptLayer::scramble(char *data, qint64 size)
{
    if (m_key.isEmpty())
        return;
    // Per-byte division is the cost of this loop; wrap by comparison instead.
    const char *key = m_key.constData();
    const int length = m_key.size();
    int position = m_position;
    for (qint64 i = 0; i < size; ++i) {
        data[i] = static_cast<char>(data[i] ^ key[position]);
        if (++position == length)
            position = 0;
    }
    m_position = position;
}

void SyncCryptLayer::rewind(qint64 count)
{
    if (m_key.isEmpty())
        return;
    const int length = m_key.size();
    const int back = static_cast<int>(count % length);
    m_position = (m_position - back + length) % length;
}

#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QPointer>

// A scrambling layer over one cache entry's device: every byte that passes is XORed with
// the key byte at the current key position, and the position advances by one per byte
// (modulo the key length) across all reads and writes, so the entry is scrambled as one
// stream from its first byte.
//
// The layer is sequential (it cannot seek, since the position follows the stream). It does
// not own the inner device unless the inner device is made its child; EncryptedDiskCache
// decides that per direction. The inner device's aboutToClose(), bytesWritten(),
// readChannelFinished() and readyRead() are re-emitted as the layer's own.
class SyncCryptLayer : public QIODevice
{
    Q_OBJECT

public:
    // key must not be empty; the layer opens itself for reading and writing.
    SyncCryptLayer(QIODevice *inner, const QByteArray &key, QObject *parent = nullptr);
    ~SyncCryptLayer() override;

    QIODevice *innerDevice() const { return m_inner; }
    QByteArray key() const { return m_key; }
    // Index into the key of the next byte to be read or written.
    int keyPosition() const { return m_position; }

    bool isSequential() const override;
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    // Writes the scrambled copy; when the inner device takes fewer bytes, the position
    // goes back by the number not taken, so that the next write continues at the right
    // key byte. Returns what the inner device returned.
    qint64 writeData(const char *data, qint64 size) override;

private:
    void scramble(char *data, qint64 size);
    void rewind(qint64 count);

    QPointer<QIODevice> m_inner;
    const QByteArray m_key;
    int m_position = 0;
};

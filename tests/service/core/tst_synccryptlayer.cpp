#include "encrypteddiskcache.h"
#include "synccryptlayer.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QtTest>

namespace {

// An inner device that takes at most `limit` bytes per write, and refuses the write whose
// number is `refuseAt` (counting from 1) entirely with -1.
class PartialDevice : public QIODevice
{
public:
    PartialDevice(qint64 limit, int refuseAt) : m_limit(limit), m_refuseAt(refuseAt)
    {
        open(QIODevice::ReadWrite);
    }
    QByteArray written;
    void announce()
    {
        emit readyRead();
        emit readChannelFinished();
        emit bytesWritten(3);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (++m_writes == m_refuseAt)
            return -1;
        const qint64 taken = qMin(size, m_limit);
        written.append(data, static_cast<int>(taken));
        return taken;
    }

private:
    qint64 m_limit;
    int m_refuseAt;
    int m_writes = 0;
};

QByteArray scrambled(const QByteArray &plain, const QByteArray &key)
{
    QByteArray out = plain;
    for (int i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(out[i] ^ key[i % key.size()]);
    return out;
}

QByteArray sample(int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>((i * 37 + 11) & 0xFF));
    return bytes;
}

} // namespace

class tst_SyncCryptLayer : public QObject
{
    Q_OBJECT

private slots:
    void keyOfOneCharacterTexts();
    void keyMixesBothTexts_data();
    void keyMixesBothTexts();
    void readsRunAcross_data();
    void readsRunAcross();
    void partialWritesContinueAtTheRightByte_data();
    void partialWritesContinueAtTheRightByte();
    void forwardsSignals();
};

void tst_SyncCryptLayer::keyOfOneCharacterTexts()
{
    const QByteArray key = EncryptedDiskCache::makeKey("u", "p");
    QCOMPARE(key.size(), 12);
    QCOMPARE(key, QByteArray(12, key.at(0)));
    QVERIFY(key != EncryptedDiskCache::makeKey("u", "q"));
}

void tst_SyncCryptLayer::keyMixesBothTexts_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::newRow("2 and 3 bytes") << "ab" << "xyz";
    QTest::newRow("longer than the key") << "a.very.long.user@example.com" << "secret-password!";
    QTest::newRow("non-ASCII") << QString::fromUtf8("j\xc3\xbcrgen") << QString::fromUtf8("\xe2\x82\xac");
}

void tst_SyncCryptLayer::keyMixesBothTexts()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    const QByteArray u = user.toUtf8();
    const QByteArray p = password.toUtf8();
    const QByteArray key = EncryptedDiskCache::makeKey(user, password);
    QCOMPARE(key.size(), 12);
    // The build constant cancels out between two key bytes.
    for (int i = 0; i < 12; ++i) {
        const char expected = static_cast<char>(u[i % u.size()] ^ p[i % p.size()] ^ u[0] ^ p[0]);
        QCOMPARE(static_cast<char>(key[i] ^ key[0]), expected);
    }
}

void tst_SyncCryptLayer::readsRunAcross_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("chunk");
    QTest::newRow("one byte at a time") << 30 << 1;
    QTest::newRow("5-byte reads") << 64 << 5;
    QTest::newRow("12-byte reads") << 100 << 12;
    QTest::newRow("one read") << 1000 << 4096;
}

void tst_SyncCryptLayer::readsRunAcross()
{
    QFETCH(int, size);
    QFETCH(int, chunk);
    const QByteArray key = EncryptedDiskCache::makeKey("user", "pw");
    const QByteArray plain = sample(size);
    auto *inner = new QBuffer;
    inner->setData(scrambled(plain, key));
    inner->open(QIODevice::ReadOnly);
    SyncCryptLayer layer(inner, key);
    inner->setParent(&layer);
    QVERIFY(layer.isOpen());
    QByteArray read;
    while (read.size() < size) {
        const QByteArray part = layer.read(chunk);
        QVERIFY(!part.isEmpty());
        read += part;
    }
    QCOMPARE(read, plain);
    QCOMPARE(layer.keyPosition(), size % 12);
    QVERIFY(layer.read(10).isEmpty());
}

void tst_SyncCryptLayer::partialWritesContinueAtTheRightByte_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("refuseAt");
    QTest::newRow("1 byte per write") << 1 << 0;
    QTest::newRow("5 bytes per write") << 5 << 0;
    QTest::newRow("7 bytes per write") << 7 << 0;
    QTest::newRow("12 bytes per write") << 12 << 0;
    QTest::newRow("13 bytes per write") << 13 << 0;
    QTest::newRow("5 bytes, second write refused") << 5 << 2;
    QTest::newRow("all at once") << 1 << -1;
}

void tst_SyncCryptLayer::partialWritesContinueAtTheRightByte()
{
    QFETCH(int, limit);
    QFETCH(int, refuseAt);
    const QByteArray key = EncryptedDiskCache::makeKey("someone", "secret");
    const QByteArray plain = sample(101);
    PartialDevice inner(refuseAt < 0 ? 1000 : limit, refuseAt);
    SyncCryptLayer layer(&inner, key);
    int done = 0;
    int rounds = 0;
    while (done < plain.size()) {
        QVERIFY(++rounds < 1000);
        const qint64 written = layer.write(plain.constData() + done, plain.size() - done);
        if (written > 0)
            done += static_cast<int>(written);
        // After every write, partial or refused, the position is that of the next byte.
        QCOMPARE(layer.keyPosition(), done % 12);
    }
    QCOMPARE(inner.written, scrambled(plain, key));
}

void tst_SyncCryptLayer::forwardsSignals()
{
    PartialDevice inner(100, 0);
    SyncCryptLayer layer(&inner, QByteArray(12, 'k'));
    QSignalSpy readyRead(&layer, &QIODevice::readyRead);
    QSignalSpy finished(&layer, &QIODevice::readChannelFinished);
    QSignalSpy bytesWritten(&layer, &QIODevice::bytesWritten);
    QSignalSpy aboutToClose(&layer, &QIODevice::aboutToClose);
    inner.announce();
    inner.close();
    QCOMPARE(readyRead.count(), 1);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(bytesWritten.count(), 1);
    QCOMPARE(bytesWritten.at(0).at(0).toLongLong(), 3);
    QCOMPARE(aboutToClose.count(), 1);
}

QTEST_GUILESS_MAIN(tst_SyncCryptLayer)
#include "tst_synccryptlayer.moc"

#include "ipcframe.h"
#include "testsupport.h"

#include <QBuffer>
#include <QtTest>

using TestSupport::hex;

namespace {

struct Frame
{
    bool response;
    QByteArray text;
    bool operator==(const Frame &other) const
    {
        return response == other.response && text == other.text;
    }
};

QString describe(const QList<Frame> &frames)
{
    QStringList parts;
    for (const Frame &frame : frames)
        parts << QStringLiteral("%1:%2").arg(frame.response ? 'R' : 'Q').arg(QString::fromUtf8(frame.text));
    return parts.join(QLatin1String(", "));
}

// Feeds the pieces one after another and collects every frame, as a socket reader would.
QList<Frame> feedPieces(IpcFrameReader &reader, const QList<QByteArray> &pieces)
{
    QList<Frame> frames;
    for (const QByteArray &piece : pieces) {
        qint64 offset = 0;
        while (offset < piece.size()) {
            qint64 used = 0;
            const auto status = reader.feed(piece.constData() + offset, piece.size() - offset, &used);
            offset += used;
            if (status == IpcFrameReader::FrameReady) {
                const bool response = reader.isResponse();
                frames.append({response, reader.takeText()});
            } else if (status == IpcFrameReader::Invalid) {
                return frames;
            }
        }
    }
    return frames;
}

} // namespace

Q_DECLARE_METATYPE(QList<Frame>)

class TestIpcFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encode_data();
    void encode();
    void encodeBound_data();
    void encodeBound();
    void streamCutAnywhere_data();
    void streamCutAnywhere();
    void invalidLength_data();
    void invalidLength();
    void lengthBound_data();
    void lengthBound();
    void readLeavesFollowingFramesInDevice();
    void readBodyAsItArrives();
    void resetAfterInvalid();
};

void TestIpcFrame::encode_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("response");
    QTest::addColumn<QByteArray>("header");

    QTest::newRow("300-byte request") << QByteArray(300, 'x') << false << hex("2D 01 00 00 00");
    QTest::newRow("300-byte response") << QByteArray(300, 'x') << true << hex("2D 01 00 00 01");
    QTest::newRow("empty text") << QByteArray() << false << hex("01 00 00 00 00");
    QTest::newRow("two-byte letter") << QString::fromUtf8("Ж").toUtf8() << true << hex("03 00 00 00 01");
    QTest::newRow("70000 bytes") << QByteArray(70000, 'a') << false << hex("71 11 01 00 00");
}

void TestIpcFrame::encode()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, response);
    QFETCH(QByteArray, header);

    const QByteArray frame = IpcFrame::encode(text, response);
    QCOMPARE(frame.size(), IpcFrame::HeaderSize + text.size());
    QCOMPARE(frame.left(IpcFrame::HeaderSize).toHex(' '), header.toHex(' '));
    QCOMPARE(frame.mid(IpcFrame::HeaderSize), text);
}

void TestIpcFrame::encodeBound_data()
{
    QTest::addColumn<int>("textSize");
    QTest::addColumn<bool>("written");

    QTest::newRow("largest text a reader takes") << IpcFrame::MaximumLength - 1 << true;
    QTest::newRow("one byte more") << IpcFrame::MaximumLength << false;
}

// A writer never produces a frame that the reader on the other end would refuse.
void TestIpcFrame::encodeBound()
{
    QFETCH(int, textSize);
    QFETCH(bool, written);

    const QByteArray frame = IpcFrame::encode(QByteArray(textSize, 'j'), false);
    QCOMPARE(frame.size(), written ? IpcFrame::HeaderSize + textSize : 0);
    if (written) {
        IpcFrameReader reader;
        qint64 used = 0;
        QCOMPARE(reader.feed(frame.constData(), frame.size(), &used), IpcFrameReader::FrameReady);
        QCOMPARE(used, qint64(frame.size()));
        QCOMPARE(reader.takeText().size(), textSize);
    }
}

void TestIpcFrame::streamCutAnywhere_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<Frame>>("expected");

    const QByteArray call = R"({"jsonrpc":"2.0","id":1,"method":"ping","params":[]})";
    const QByteArray answer = R"({"jsonrpc":"2.0","id":1,"result":true})";
    const QByteArray cyrillic = QString::fromUtf8("{\"name\":\"Детский профиль\"}").toUtf8();

    QTest::newRow("one request") << IpcFrame::encode(call, false) << QList<Frame>{{false, call}};
    QTest::newRow("two frames back to back")
        << IpcFrame::encode(call, false) + IpcFrame::encode(answer, true)
        << QList<Frame>{{false, call}, {true, answer}};
    QTest::newRow("empty text between two")
        << IpcFrame::encode(call, false) + IpcFrame::encode(QByteArray(), false) + IpcFrame::encode(answer, true)
        << QList<Frame>{{false, call}, {false, QByteArray()}, {true, answer}};
    QTest::newRow("cyrillic text") << IpcFrame::encode(cyrillic, true) << QList<Frame>{{true, cyrillic}};
    QTest::newRow("kind 7 reads as response")
        << hex("03 00 00 00 07") + QByteArray("{}") << QList<Frame>{{true, "{}"}};
    QTest::newRow("kind FF reads as response")
        << hex("01 00 00 00 FF") << QList<Frame>{{true, QByteArray()}};
}

// Every way of cutting the stream in two must give the same frames, in order.
void TestIpcFrame::streamCutAnywhere()
{
    QFETCH(QByteArray, stream);
    QFETCH(QList<Frame>, expected);

    for (int cut = 0; cut <= stream.size(); ++cut) {
        IpcFrameReader reader;
        const QList<Frame> frames = feedPieces(reader, {stream.left(cut), stream.mid(cut)});
        QVERIFY2(frames == expected,
                 qPrintable(QStringLiteral("cut at %1: got [%2], expected [%3]")
                                .arg(cut).arg(describe(frames), describe(expected))));
        QCOMPARE(reader.status(), IpcFrameReader::NeedMore);
    }

    // And byte by byte.
    IpcFrameReader reader;
    QList<QByteArray> bytes;
    for (char c : stream)
        bytes << QByteArray(1, c);
    QVERIFY2(feedPieces(reader, bytes) == expected, "one byte at a time");
}

void TestIpcFrame::invalidLength_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<int>("framesBefore");
    QTest::addColumn<QString>("error");

    QTest::newRow("length 0") << hex("00 00 00 00 00") << 0
                              << "invalid IPC frame length 0 (allowed 1 to 4194304)";
    QTest::newRow("length -1") << hex("FF FF FF FF 00 41") << 0
                               << "invalid IPC frame length -1 (allowed 1 to 4194304)";
    QTest::newRow("most negative") << hex("00 00 00 80") << 0
                                   << "invalid IPC frame length -2147483648 (allowed 1 to 4194304)";
    QTest::newRow("one above the bound") << hex("01 00 40 00 00") << 0
                                         << "invalid IPC frame length 4194305 (allowed 1 to 4194304)";
    QTest::newRow("largest int") << hex("FF FF FF 7F") << 0
                                 << "invalid IPC frame length 2147483647 (allowed 1 to 4194304)";
    QTest::newRow("bad frame after a good one") << hex("03 00 00 00 00 7B 7D 00 00 00 00 00") << 1
                                                << "invalid IPC frame length 0 (allowed 1 to 4194304)";
}

void TestIpcFrame::invalidLength()
{
    QFETCH(QByteArray, stream);
    QFETCH(int, framesBefore);
    QFETCH(QString, error);

    IpcFrameReader reader;
    const QList<Frame> frames = feedPieces(reader, {stream});
    QCOMPARE(frames.size(), framesBefore);
    QCOMPARE(reader.status(), IpcFrameReader::Invalid);
    QCOMPARE(reader.errorString(), error);

    // Sticky: nothing more is taken from a stream that lost its framing.
    qint64 used = -1;
    QCOMPARE(reader.feed("\x01\x00\x00\x00\x00", 5, &used), IpcFrameReader::Invalid);
    QCOMPARE(used, qint64(0));
    QCOMPARE(reader.takeText(), QByteArray());
}

void TestIpcFrame::lengthBound_data()
{
    QTest::addColumn<qint32>("length");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("1") << 1 << true;
    QTest::newRow("bound") << 16 << true;
    QTest::newRow("bound + 1") << 17 << false;
}

void TestIpcFrame::lengthBound()
{
    QFETCH(qint32, length);
    QFETCH(bool, accepted);

    IpcFrameReader reader(16);
    QByteArray stream(4, '\0');
    qToLittleEndian<qint32>(length, stream.data());
    stream += '\0' + QByteArray(length - 1, 'x');
    const QList<Frame> frames = feedPieces(reader, {stream});
    if (accepted) {
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames.first().text, QByteArray(length - 1, 'x'));
    } else {
        QCOMPARE(frames.size(), 0);
        QCOMPARE(reader.status(), IpcFrameReader::Invalid);
    }
}

void TestIpcFrame::readLeavesFollowingFramesInDevice()
{
    QByteArray stream = IpcFrame::encode("first", false) + IpcFrame::encode("second", true);
    QBuffer device(&stream);
    QVERIFY(device.open(QIODevice::ReadOnly));

    IpcFrameReader reader;
    QCOMPARE(reader.read(&device), IpcFrameReader::FrameReady);
    QCOMPARE(reader.isResponse(), false);
    QCOMPARE(device.bytesAvailable(), qint64(IpcFrame::HeaderSize + 6));
    // A ready frame that was not taken yet holds the reader.
    QCOMPARE(reader.read(&device), IpcFrameReader::FrameReady);
    QCOMPARE(reader.takeText(), QByteArray("first"));
    QCOMPARE(reader.read(&device), IpcFrameReader::FrameReady);
    QCOMPARE(reader.isResponse(), true);
    QCOMPARE(reader.takeText(), QByteArray("second"));
    QCOMPARE(reader.read(&device), IpcFrameReader::NeedMore);
}

// A header that announces the largest allowed frame, followed by a few bytes: the reader
// takes what is there and waits; the text so far holds exactly those bytes.
void TestIpcFrame::readBodyAsItArrives()
{
    QByteArray stream(4, '\0');
    qToLittleEndian<qint32>(IpcFrame::MaximumLength, stream.data());
    stream += '\0' + QByteArray("abc");
    QBuffer device(&stream);
    QVERIFY(device.open(QIODevice::ReadOnly));

    IpcFrameReader reader;
    QCOMPARE(reader.read(&device), IpcFrameReader::NeedMore);
    QCOMPARE(device.bytesAvailable(), qint64(0));
    QCOMPARE(reader.takeText(), QByteArray()); // not complete: nothing handed out
    QCOMPARE(reader.status(), IpcFrameReader::NeedMore);
}

void TestIpcFrame::resetAfterInvalid()
{
    IpcFrameReader reader;
    QCOMPARE(feedPieces(reader, {hex("00 00 00 00")}).size(), 0);
    QCOMPARE(reader.status(), IpcFrameReader::Invalid);
    reader.reset();
    QCOMPARE(reader.errorString(), QString());
    const QList<Frame> frames = feedPieces(reader, {IpcFrame::encode("ok", true)});
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames.first().text, QByteArray("ok"));
}

QTEST_GUILESS_MAIN(TestIpcFrame)
#include "tst_ipcframe.moc"

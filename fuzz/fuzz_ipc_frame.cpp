// Feeds arbitrary bytes to the IPC frame reader in two ways (pieces of a size chosen by the
// first input byte, and through a QIODevice holding everything) and checks that both see
// the same frames, that every frame re-encodes to the bytes it came from, and that a small
// bound is enforced.
#include "ipcframe.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

struct Outcome
{
    QList<QByteArray> frames; // kind byte (0 or 1) prepended to the text
    IpcFrameReader::Status status = IpcFrameReader::NeedMore;
    qint64 consumed = 0;
};

QByteArray take(IpcFrameReader &reader)
{
    const char kind = reader.isResponse() ? 1 : 0;
    return kind + reader.takeText();
}

Outcome feedInPieces(const char *data, qint64 size, qint64 step, qint32 bound)
{
    IpcFrameReader reader(bound);
    Outcome outcome;
    qint64 offset = 0;
    while (offset < size) {
        const qint64 piece = qMin(step, size - offset);
        qint64 pieceOffset = 0;
        while (pieceOffset < piece) {
            qint64 used = 0;
            outcome.status = reader.feed(data + offset + pieceOffset, piece - pieceOffset, &used);
            pieceOffset += used;
            if (outcome.status == IpcFrameReader::FrameReady) {
                const QByteArray frame = take(reader);
                if (frame.size() > bound)
                    abort();
                outcome.frames.append(frame);
            } else if (outcome.status == IpcFrameReader::Invalid) {
                outcome.consumed = offset + pieceOffset;
                return outcome;
            }
        }
        offset += piece;
    }
    outcome.consumed = offset;
    outcome.status = reader.status();
    return outcome;
}

Outcome readFromDevice(const QByteArray &bytes, qint32 bound)
{
    QByteArray copy = bytes;
    QBuffer device(&copy);
    device.open(QIODevice::ReadOnly);
    IpcFrameReader reader(bound);
    Outcome outcome;
    for (;;) {
        outcome.status = reader.read(&device);
        if (outcome.status != IpcFrameReader::FrameReady)
            break;
        outcome.frames.append(take(reader));
    }
    outcome.consumed = device.pos();
    return outcome;
}

void check(const QByteArray &input, qint64 step, qint32 bound)
{
    const Outcome pieces = feedInPieces(input.constData(), input.size(), step, bound);
    const Outcome device = readFromDevice(input, bound);
    if (pieces.frames != device.frames || pieces.status != device.status)
        abort();

    // The frames re-encode to exactly the bytes they were read from (kinds other than 0
    // read as responses, so compare the kind byte as zero / non-zero).
    qint64 offset = 0;
    for (const QByteArray &frame : pieces.frames) {
        const QByteArray encoded = IpcFrame::encode(frame.mid(1), frame.at(0) != 0);
        if (input.mid(offset, IpcFrame::LengthSize) != encoded.left(IpcFrame::LengthSize))
            abort();
        if ((input.at(offset + IpcFrame::LengthSize) != 0) != (frame.at(0) != 0))
            abort();
        if (input.mid(offset + IpcFrame::HeaderSize, frame.size() - 1) != frame.mid(1))
            abort();
        offset += encoded.size();
    }
    if (pieces.status == IpcFrameReader::Invalid && device.consumed > offset + IpcFrame::HeaderSize)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > 1 << 20)
        return 0;
    const qint64 step = data[0] % 32 + 1;
    const QByteArray input(reinterpret_cast<const char *>(data + 1), int(size - 1));
    check(input, step, IpcFrame::MaximumLength);
    check(input, step, 64); // a small bound, so that the refusal path is reached often
    return 0;
}

#pragma once

#include "lodestar_export.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// The frame that carries one JSON-RPC message over the local socket, in both directions:
//
//   offset 0, 4 bytes: length, signed 32-bit, little-endian = bytes of the text + 1
//   offset 4, 1 byte:  kind, 0 = request, notification or a batch of them,
//                            anything else = response or a batch of responses
//   offset 5:          the message text, UTF-8, length - 1 bytes, no terminating NUL
//
// Frames follow each other without padding.
namespace IpcFrame {

// Bytes of the length field and of the whole header (length and kind).
constexpr int LengthSize = 4;
constexpr int HeaderSize = 5;

// Largest length field a reader accepts by default (4 MiB), and the longest text a writer
// sends. The biggest message of the system is one domain list of a profile (5000 entries
// at most), about 250 KB for ordinary names and 1.5 MB if every entry were an alias with
// the longest name DNS allows; anything above this bound is taken as a broken or hostile
// peer rather than a message. Parsing a frame costs time and memory in proportion to its
// length, so the bound is also what one frame can cost the reader's event loop.
constexpr qint32 MaximumLength = 4 * 1024 * 1024;

// What the service accepts from a desktop client (256 KiB): clients send calls and
// notifications with a few small parameters (a map of local users to profiles is the
// largest), never account data. Every local user can connect, so this bound is what one
// hostile frame can cost the service, whose event loop also serves DNS.
constexpr qint32 MaximumRequestLength = 256 * 1024;

// What a writer keeps queued for a peer that does not read, in bytes: one whole frame
// always goes out, but a peer that lets this much pile up is cut off instead of growing
// the writer's memory without bound.
constexpr qint64 MaximumWriteBacklog = qint64(MaximumLength) + HeaderSize;

constexpr quint8 RequestKind = 0;
constexpr quint8 ResponseKind = 1;

// The complete frame for a text already encoded as UTF-8. Returns an empty array when the
// text does not fit under MaximumLength (the peer would refuse it).
LODESTAR_EXPORT QByteArray encode(const QByteArray &utf8Text, bool response);

} // namespace IpcFrame

// Reassembles frames from a byte stream that arrives in pieces of any size.
//
// The reader never trusts the length field for allocation: the text buffer grows only with
// the bytes that have actually arrived, and a length outside 1..maximumLength() is refused
// before any of the body is read. After Invalid the reader stays invalid until reset(),
// since the stream has lost its framing and nothing after the bad header can be trusted.
class LODESTAR_EXPORT IpcFrameReader
{
public:
    enum Status {
        NeedMore,   // every byte offered was taken; the current frame is not complete yet
        FrameReady, // a whole frame is available through isResponse() and takeText()
        Invalid,    // the stream is broken; errorString() says why
    };

    explicit IpcFrameReader(qint32 maximumLength = IpcFrame::MaximumLength);

    // Takes bytes from the device, never more than the current frame still lacks, so that
    // the following frames stay in the device. Returns at the first complete frame.
    Status read(QIODevice *device);

    // The same for bytes in memory: consumes up to size bytes from data, stopping after the
    // first complete frame, and stores how many it took in *consumed.
    Status feed(const char *data, qint64 size, qint64 *consumed);

    // The frame that was completed by the last FrameReady; takeText() hands its text over
    // and makes the reader ready for the next frame.
    bool isResponse() const { return m_kind != IpcFrame::RequestKind; }
    QByteArray takeText();

    Status status() const { return m_status; }
    QString errorString() const { return m_errorString; }
    qint32 maximumLength() const { return m_maximumLength; }
    // Applies from the next frame on (a frame whose header was read keeps its bound).
    void setMaximumLength(qint32 maximumLength) { m_maximumLength = maximumLength; }

    // Forgets any partial frame and a previous failure.
    void reset();

private:
    qint64 missing() const;
    Status accept(const char *data, qint64 size);
    Status headerComplete();

    qint32 m_maximumLength;
    Status m_status = NeedMore;
    char m_header[IpcFrame::HeaderSize] = {};
    int m_headerFill = 0;
    qint32 m_length = 0; // valid once the header is complete
    quint8 m_kind = IpcFrame::RequestKind;
    QByteArray m_text;
    QString m_errorString;
};

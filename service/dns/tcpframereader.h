#pragma once

#include <QByteArray>

namespace DNS {

// Splits a DNS-over-TCP byte stream into messages (RFC 1035 4.2.2: each message is
// preceded by a two-byte length field in network byte order).
//
// The buffer never holds more than one length field and one largest message: the caller
// reads at most room() bytes from its socket, takes every complete message with next(),
// and reads again. A length field of 0 yields an empty message (which the DNS checks
// reject). Nothing is ever allocated from the announced length alone.
class TcpFrameReader
{
public:
    static constexpr int MaxBuffered = 2 + 0xFFFF;

    int room() const { return MaxBuffered - buffered(); }
    // Bytes received and not yet taken as a message.
    int buffered() const { return m_buffer.size() - m_start; }

    // Appends up to room() bytes of data; returns how many were taken.
    int append(const char *data, int size);
    int append(const QByteArray &data) { return append(data.constData(), data.size()); }

    // Removes the oldest complete message into *message; false when none is complete.
    bool next(QByteArray *message);

    void clear();

private:
    QByteArray m_buffer;
    int m_start = 0; // offset of the next frame in m_buffer
};

// Frames a message for writing: its length (at most 65535; longer ones are refused with
// an empty result) and the bytes.
QByteArray frameMessage(const QByteArray &message);

} // namespace DNS

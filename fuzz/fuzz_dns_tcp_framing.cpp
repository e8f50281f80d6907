// The DNS-over-TCP frame reader over an arbitrary stream cut into arbitrary reads: the
// messages taken, laid end to end with their length fields, must be the stream's prefix,
// and the buffer never holds more than one largest frame.

#include "dnspacket.h"
#include "tcpframereader.h"

#include "fuzzsupport.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the read size pattern; the rest is the stream.
    const int step = 1 + data[0] % 97;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    DNS::TcpFrameReader reader;
    QByteArray rebuilt;
    int offset = 0;
    while (offset < stream.size()) {
        const int wanted = qMin(step + (offset % 7), stream.size() - offset);
        const int taken = reader.append(stream.constData() + offset, wanted);
        check(taken >= 0 && taken <= wanted);
        check(reader.buffered() <= DNS::TcpFrameReader::MaxBuffered);
        offset += taken;
        QByteArray message;
        int messages = 0;
        while (reader.next(&message)) {
            rebuilt.append(DNS::frameMessage(message));
            const DNS::Packet packet(message);
            if (packet.isAcceptable())
                packet.answers();
            ++messages;
        }
        if (taken == 0 && messages == 0)
            break;
    }
    check(stream.startsWith(rebuilt));
    check(rebuilt.size() + reader.buffered() == offset);
    return 0;
}

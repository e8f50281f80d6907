// Feeds arbitrary bytes to the rtnetlink notification parser of the interface watcher and
// checks what it reports against the input: every event and every skipped message took at
// least one whole message header, and a datagram cut short anywhere parses to a prefix of
// the events of the whole one (the parser never reads what it has not been given).
#include "fuzzsupport.h"
#include "netlinkmessages.h"

#include <cstdint>

namespace {
constexpr int HeaderSize = 16;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray datagram = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const Netlink::Parsed whole = Netlink::parse(datagram);
    FuzzSupport::check(qint64(whole.events.size() + whole.skipped) * HeaderSize <= qint64(size));

    const Netlink::Parsed cut = Netlink::parse(datagram.left(int(size / 2)));
    FuzzSupport::check(cut.events.size() <= whole.events.size());
    for (int i = 0; i < cut.events.size(); ++i) {
        FuzzSupport::check(cut.events.at(i).kind == whole.events.at(i).kind);
        FuzzSupport::check(cut.events.at(i).interfaceIndex == whole.events.at(i).interfaceIndex);
    }
    return 0;
}

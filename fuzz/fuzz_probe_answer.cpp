// The support report's reading of the probe answer (a datagram from the network) over
// arbitrary bytes, against a fixed query: it never crashes, and what it keeps is short and
// printable, so that no answer can add lines to the report.

#include "diagnosticsprobe.h"

#include "fuzzsupport.h"

using FuzzSupport::check;

namespace {

bool isPrintableLine(const QString &text)
{
    if (text.size() > 67)
        return false;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const DNS::Packet query = [] {
        DNS::Packet packet;
        packet.makeQuery("probe.corvane.test", DNS::TypeTxt);
        packet.setId(0x1234);
        return packet;
    }();
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    ProbeView view;
    QString error;
    if (ProbeView::read(bytes, query, &view, &error)) {
        check(error.isEmpty());
        check(isPrintableLine(view.profile) && isPrintableLine(view.ip) && isPrintableLine(view.token));
    } else {
        // One line of the report, ended by its newline.
        check(error.endsWith(QLatin1Char('\n')) && error.count(QLatin1Char('\n')) == 1);
    }
    return 0;
}

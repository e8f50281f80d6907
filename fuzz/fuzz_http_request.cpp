// The block page request reader over an arbitrary byte stream, and the answers built from
// whatever it accepted: bounded buffering and no line break of the client's in our head.

#include "blockpageresponse.h"
#include "httprequestparser.h"

#include "fuzzsupport.h"

#include <QDateTime>

using FuzzSupport::check;

namespace {

void checkHead(const QByteArray &answer)
{
    const int end = answer.indexOf("\r\n\r\n");
    check(end > 0);
    const QByteArray head = answer.left(end);
    // Every line break of the head is ours: CR LF, never a bare one.
    for (int i = 0; i < head.size(); ++i) {
        if (head[i] == '\n')
            check(i > 0 && head[i - 1] == '\r');
        if (head[i] == '\r')
            check(i + 1 < head.size() && head[i + 1] == '\n');
    }
    check(head.startsWith("HTTP/"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int step = 1 + data[0] % 61;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), int(size - 1));
    HttpRequestParser parser;
    for (int offset = 0; offset < stream.size() && parser.state() == HttpRequestParser::Reading; offset += step) {
        check(parser.room() > 0);
        parser.feed(stream.mid(offset, step));
    }
    check(parser.room() >= 0);
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(1700000000000, Qt::UTC);
    if (parser.state() == HttpRequestParser::Ready && BlockPage::isValidVersion(parser.version()))
        checkHead(BlockPage::answer(parser.target(), parser.version(), 42, now));
    checkHead(BlockPage::badRequest(parser.version(), now));
    return 0;
}

// Per-message cost of the proxy's codec work: the checks of a client query, the token
// record, and matching the upstream answer (parse + isResponseTo). Prints operations per
// second; run from a Release build. The end-to-end comparison is bench/dns/compare.sh.

#include "dnsname.h"
#include "dnspacket.h"
#include "httprequestparser.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <cstdio>

namespace {

const QByteArray Query = QByteArray::fromHex("beef01000001000000000001037777770765"
                                             "78616d706c6503636f6d0000010001000029100000000000000000");
const QByteArray Answer = QByteArray::fromHex("beef81800001000100000000037777770765"
                                              "78616d706c6503636f6d0000010001c00c000100010000003c000401020304");

// The costliest 64 KiB query for the name reader: a chain of questions that are each a bare
// pointer to the previous question's name (as long as the reader follows), then questions
// pointing at the end of that chain up to the size limit.
QByteArray worstCaseQuery()
{
    QByteArray bytes = QByteArray::fromHex("000001000000000000000000016100" "00010001");
    int previous = 12;
    int count = 1;
    auto appendPointer = [&bytes](int target) {
        bytes.append(char(0xC0 | (target >> 8)));
        bytes.append(char(target & 0xFF));
        bytes.append(QByteArray::fromHex("00010001"));
    };
    for (; count < DNS::MaxPointerHops; ++count) {
        const int start = bytes.size();
        appendPointer(previous);
        previous = start;
    }
    for (; bytes.size() + 6 <= 65535; ++count)
        appendPointer(previous);
    bytes[4] = char(count >> 8);
    bytes[5] = char(count & 0xFF);
    return bytes;
}

template<typename F>
void run(const char *name, F &&body, int rounds = 1000000)
{
    QElapsedTimer timer;
    timer.start();
    int sink = 0;
    for (int i = 0; i < rounds; ++i)
        sink += body();
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("%-44s %10.0f /s  %7.1f ns each  (%d)\n", name, rounds / seconds, seconds * 1e9 / rounds, sink & 1);
}

} // namespace

int main()
{
    run("query checks (parse questions)", [] { return DNS::Packet(Query).isAcceptable() ? 1 : 0; });
    run("query checks + token record", [] {
        DNS::Packet packet(Query);
        return packet.isAcceptable() && packet.appendTokenRecord(305419896) ? 1 : 0;
    });
    const DNS::Packet sent(Query);
    sent.questions();
    run("answer checks + isResponseTo", [&sent] {
        DNS::Packet answer(Answer);
        return answer.isAcceptable() && answer.isResponseTo(sent) ? 1 : 0;
    });
    const QByteArray worst = worstCaseQuery();
    const quint64 before = DNS::nameReadSteps();
    const bool accepted = DNS::Packet(worst).isAcceptable();
    std::printf("worst-case query: %d bytes, %s, %.1f name steps per byte\n", worst.size(),
                accepted ? "accepted" : "refused", double(DNS::nameReadSteps() - before) / worst.size());
    run("worst-case 64 KiB query checks", [&worst] { return DNS::Packet(worst).isAcceptable() ? 1 : 0; }, 2000);
    const QByteArray request = "GET /?blockpage=blockpage-tls.example&hostname=bad.example&url=x HTTP/1.1\r\n"
                               "Host: 127.0.0.1:13107\r\nUser-Agent: bench\r\n\r\n";
    run("block page request head", [&request] {
        HttpRequestParser parser;
        return parser.feed(request) == HttpRequestParser::Ready ? 1 : 0;
    });
    return 0;
}

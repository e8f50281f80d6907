// DNS::Packet over arbitrary bytes: every section, the transport checks, isResponseTo,
// the token record and a rebuild through the record lists, with invariants checked.

#include "dnspacket.h"

#include "fuzzsupport.h"

using FuzzSupport::check;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::silenceLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const DNS::Packet packet(bytes);
    const DNS::QuestionList questions = packet.questions();
    const int records = packet.answers().size() + packet.authority().size() + packet.additional().size();
    // Every record takes at least 11 bytes and every question 5 (a pointer name: 6 and
    // 12): nothing is made from counts alone.
    check(questions.size() * 5 + records * 11 <= qMax(0, bytes.size() - 12) + 1);
    check(packet.bytes() == bytes);
    check(packet.isResponseTo(packet) == (packet.isAcceptable() && packet.isResponse()));

    DNS::Packet query;
    query.makeQuery("www.example.com", 1);
    packet.isResponseTo(query);

    DNS::Packet marked = packet;
    if (marked.appendTokenRecord(0x12345678)) {
        check(marked.size() == bytes.size() + 15);
        check(marked.additionalCount() == quint16(packet.additionalCount() + 1));
    } else {
        check(marked.bytes() == bytes);
    }

    // A rebuild writes every record it holds with matching counts. Labels are joined with
    // "." as they stand, so a label holding a dot comes back split once; from then on the
    // form is stable.
    // A record that cannot be written exactly refuses the rebuild and leaves the message.
    if (bytes.size() >= 12) {
        DNS::Packet rebuilt = packet;
        if (!rebuilt.setQuestions(questions)) {
            check(rebuilt.bytes() == bytes);
            return 0;
        }
        const DNS::Packet reread(rebuilt.bytes());
        check(reread.questionCount() == quint16(questions.size()));
        const DNS::QuestionList again = reread.questions();
        check(again.size() == questions.size());
        check(!reread.parseFailed());
        DNS::Packet second = reread;
        check(second.setQuestions(again));
        check(second.bytes() == reread.bytes());
        check(reread.answers().size() == rebuilt.answers().size());
    }
    return 0;
}

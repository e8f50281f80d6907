#include "dnsname.h"
#include "dnspacket.h"
#include "ratelimitedwarning.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using TestSupport::hex;

namespace {

// Query for www.example.com A, id 0x1234, RD, with one OPT record: 12 + 21 + 11 bytes.
const char *const QueryWithOpt =
    "1234 0100 0001 0000 0000 0001"
    "03 777777 07 6578616d706c65 03 636f6d 00 0001 0001"
    "00 0029 1000 00000000 0000";

// Answer to it: the question, an A record and a AAAA record named by pointers to 12, a
// TXT record with two strings, a CNAME in authority.
const char *const Answer =
    "1234 8180 0001 0002 0001 0000"
    "03 777777 07 6578616d706c65 03 636f6d 00 0001 0001"
    "c00c 0001 0001 0000012c 0004 5db8d822"
    "c00c 001c 0001 0000012c 0010 20010db8000000000000000000000001"
    "c010 0005 0001 00000e10 0002 c00c";

// A 30-byte query (a, TXT) with ARCOUNT 1: an OPT record offering 4096-byte answers.
QByteArray thirtyByteQuery()
{
    return hex("abcd 0100 0001 0000 0000 0001 01 61 00 0010 0001 00 0029 1000 00000000 0000");
}

QByteArray messageWithName(const QByteArray &nameBytes, int padTo = 0)
{
    QByteArray bytes = hex("0000 0000 0001 0000 0000 0000");
    bytes.append(QByteArray(qMax(0, padTo - 12), '\x01'));
    bytes.append(nameBytes);
    bytes.append(hex("0001 0001"));
    return bytes;
}

// The costliest message for the name reader: a chain of chainLength questions, each a bare
// compression pointer to the previous question's name, then as many questions as fit in
// size bytes that each point at the end of that chain (pointers reach the first 16 KiB
// only, so this is how the whole message gets the chain's cost per question).
QByteArray pointerChainMessage(int size, int chainLength)
{
    QByteArray bytes = hex("0000 0000 0000 0000 0000 0000 01 61 00 0001 0001");
    int previous = 12;
    int count = 1;
    auto appendPointer = [&bytes](int target) {
        bytes.append(char(0xC0 | (target >> 8)));
        bytes.append(char(target & 0xFF));
        bytes.append(hex("0001 0001"));
    };
    while (count < chainLength && bytes.size() < 0x3FF0) {
        const int start = bytes.size();
        appendPointer(previous);
        previous = start;
        ++count;
    }
    while (bytes.size() + 6 <= size && count < 0xFFFF) {
        appendPointer(previous);
        ++count;
    }
    bytes[4] = char(count >> 8);
    bytes[5] = char(count & 0xFF);
    return bytes;
}

QString describe(const DNS::QuestionList &list)
{
    QStringList parts;
    for (const DNS::QuestionPtr &q : list)
        parts << QStringLiteral("%1/%2/%3").arg(QString::fromLatin1(q->name())).arg(q->type()).arg(q->recordClass());
    return parts.join(QLatin1Char(' '));
}

} // namespace

class tst_DnsPacket : public QObject
{
    Q_OBJECT

private slots:
    void readName_data();
    void readName();
    void pointerChainsCostLinearWork_data();
    void pointerChainsCostLinearWork();
    void headerOnlyMessage();
    void sections_data();
    void sections();
    void recordFields();
    void truncations_data();
    void truncations();
    void malformedFixtures_data();
    void malformedFixtures();
    void tokenRecord_data();
    void tokenRecord();
    void tokenRecordRefused_data();
    void tokenRecordRefused();
    void rebuildRoundTrip();
    void unencodableNameRefusesRebuild_data();
    void unencodableNameRefusesRebuild();
    void makeQuery_data();
    void makeQuery();
    void isResponseTo_data();
    void isResponseTo();
    void headerSetters();
    void copiesAreIndependent();
    void rateLimitedWarning();
};

void tst_DnsPacket::readName_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("cursorAfter");

    QTest::newRow("plain name") << messageWithName(hex("03 777777 07 6578616d706c65 03 636f6d 00")) << 12
                                << true << QByteArray("www.example.com") << QString() << 29;
    QTest::newRow("root") << messageWithName(hex("00")) << 12 << true << QByteArray() << QString() << 13;
    QTest::newRow("bytes kept as they are")
        << messageWithName(hex("03 41 2e 62 00")) << 12 << true << QByteArray("A.b") << QString() << 17;
    {
        // "example" at 12, then at 21 "www" and a pointer to 12: cursor ends after the pointer.
        QByteArray m = messageWithName(hex("07 6578616d706c65 00"));
        m.append(hex("03 777777 c00c"));
        QTest::newRow("pointer followed") << m << 25 << true << QByteArray("www.example") << QString() << 31;
    }
    QTest::newRow("pointer to offset 11")
        << messageWithName(hex("c00b")) << 12 << false << QByteArray("unchanged")
        << QStringLiteral("compression offset is out of range") << 14;
    QTest::newRow("pointer to itself")
        << messageWithName(hex("c00c")) << 12 << false << QByteArray("unchanged")
        << QStringLiteral("compression offset is out of range") << 14;
    {
        // The name "a" at 300, a pointer to it at 305.
        QByteArray m = messageWithName(QByteArray(), 300);
        m.truncate(300);
        m.append(hex("01 61 00"));
        m.append(hex("01 01"));
        m.append(hex("c12c 00"));
        QTest::newRow("pointer to 300") << m << 305 << true << QByteArray("a") << QString() << 307;
    }
    QTest::newRow("label of 64") << messageWithName(hex("40") + QByteArray(70, 'a')) << 12 << false
                                 << QByteArray("unchanged")
                                 << QStringLiteral("out of buffer or unhandled label type") << 13;
    QTest::newRow("label type 10") << messageWithName(hex("80 00")) << 12 << false << QByteArray("unchanged")
                                   << QStringLiteral("out of buffer or unhandled label type") << 13;
    {
        QByteArray m = hex("0000 0000 0001 0000 0000 0000 03 6162");
        QTest::newRow("label past the end") << m << 12 << false << QByteArray("unchanged")
                                            << QStringLiteral("invalid label size") << 13;
        QByteArray exact = hex("0000 0000 0001 0000 0000 0000 02 6162");
        QTest::newRow("label touching the end") << exact << 12 << false << QByteArray("unchanged")
                                                << QStringLiteral("invalid label size") << 13;
    }
    QTest::newRow("pointer cut after its first byte")
        << hex("0000 0000 0001 0000 0000 0000 01 61 c0") << 12 << false << QByteArray("unchanged")
        << QStringLiteral("out of buffer or unhandled label type") << 15;
    QTest::newRow("second label past the end")
        << hex("0000 0000 0001 0000 0000 0000 01 61 01") << 12 << false << QByteArray("unchanged")
        << QStringLiteral("invalid label size") << 15;
    QTest::newRow("cursor at the end") << hex("0000 0000 0001 0000 0000 0000") << 12 << false
                                       << QByteArray("unchanged") << QString() << 12;
    {
        // "a" then a pointer back to its own start: the second visit of the same pointer
        // would target 12 again, which is not before the previous target.
        QTest::newRow("pointer loop") << messageWithName(hex("01 61 c00c")) << 12 << false
                                      << QByteArray("unchanged")
                                      << QStringLiteral("compression offset is out of range") << 16;
        // Two names pointing into each other: 12: "a" -> 16; 16: "b" -> 12.
        QByteArray m = hex("0000 0000 0001 0000 0000 0000 01 61 c010 01 62 c00c 00");
        QTest::newRow("pointer ping-pong") << m << 16 << false << QByteArray("unchanged")
                                           << QStringLiteral("compression offset is out of range") << 20;
        // A later pointer that points forward of the previous target but before itself.
        QByteArray f = hex("0000 0000 0001 0000 0000 0000 00 01 61 c00d 01 62 c00d");
        QTest::newRow("second pointer not before the first target")
            << f << 17 << false << QByteArray("unchanged")
            << QStringLiteral("compression offset is out of range") << 21;
        QByteArray g = hex("0000 0000 0001 0000 0000 0000 00 01 61 c00c 01 62 c00d");
        QTest::newRow("decreasing targets accepted") << g << 17 << true << QByteArray("b.a") << QString() << 21;
    }
    {
        QByteArray labels;
        for (int i = 0; i < 4; ++i)
            labels.append(char(63)).append(QByteArray(63, 'x'));
        labels.append('\0');
        QTest::newRow("name of 257 bytes") << messageWithName(labels) << 12 << false << QByteArray("unchanged")
                                           << QStringLiteral("name is longer than 255 bytes") << 205;
        QByteArray fits;
        for (int i = 0; i < 3; ++i)
            fits.append(char(63)).append(QByteArray(63, 'x'));
        fits.append(char(61)).append(QByteArray(61, 'x')).append('\0');
        QTest::newRow("name of 255 bytes") << messageWithName(fits) << 12 << true
                                           << QByteArray(63, 'x') + '.' + QByteArray(63, 'x') + '.'
                   + QByteArray(63, 'x') + '.' + QByteArray(61, 'x')
                                           << QString() << 267;
    }
}

void tst_DnsPacket::readName()
{
    QFETCH(QByteArray, message);
    QFETCH(int, start);
    QFETCH(bool, ok);
    QFETCH(QByteArray, name);
    QFETCH(QString, error);
    QFETCH(int, cursorAfter);

    quint16 cursor = quint16(start);
    QByteArray result("unchanged");
    QString reason;
    QCOMPARE(DNS::readName(message, &cursor, &result, &reason), ok);
    QCOMPARE(result, name);
    QCOMPARE(reason, error);
    QCOMPARE(int(cursor), cursorAfter);
}

void tst_DnsPacket::pointerChainsCostLinearWork_data()
{
    QTest::addColumn<int>("chainLength");
    QTest::addColumn<bool>("acceptable");
    QTest::newRow("longest chain followed") << DNS::MaxPointerHops << true;
    QTest::newRow("one pointer too many") << DNS::MaxPointerHops + 1 << false;
    QTest::newRow("chain past the name budget") << 127 << false;
    QTest::newRow("chain through the first 16 KiB") << 2700 << false;
    QTest::newRow("no chain") << 1 << true;
}

// Checking a message visits each byte a bounded number of times whatever its pointers do:
// the work is counted in steps of the name reader, never timed.
void tst_DnsPacket::pointerChainsCostLinearWork()
{
    QFETCH(int, chainLength);
    QFETCH(bool, acceptable);
    const QByteArray message = pointerChainMessage(65535, chainLength);
    const quint64 before = DNS::nameReadSteps();
    const DNS::Packet packet(message);
    const bool accepted = packet.isAcceptable();
    const quint64 steps = DNS::nameReadSteps() - before;
    // Each question is at least 6 bytes and reads its label and at most MaxPointerHops + 1
    // pointers.
    QVERIFY2(steps <= quint64(message.size()) * (DNS::MaxPointerHops + 3) / 6,
             qPrintable(QStringLiteral("%1 steps for %2 bytes").arg(steps).arg(message.size())));
    QCOMPARE(accepted, acceptable);
}

void tst_DnsPacket::headerOnlyMessage()
{
    const DNS::Packet packet(hex("0001 0100 0001 0003 0000 0000"));
    QCOMPARE(packet.questionCount(), quint16(1));
    QCOMPARE(packet.questions().size(), 0);
    QCOMPARE(packet.answers().size(), 0);
    QCOMPARE(packet.parseFailed(), false);
    QCOMPARE(packet.isAcceptable(), false);
}

void tst_DnsPacket::sections_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("questions");
    QTest::addColumn<int>("answers");
    QTest::addColumn<int>("authority");
    QTest::addColumn<int>("additional");
    QTest::addColumn<bool>("failed");

    QTest::newRow("answer with A AAAA CNAME") << hex(Answer) << "www.example.com/1/1" << 2 << 1 << 0 << false;
    QTest::newRow("OPT fails the additional section")
        << hex(QueryWithOpt) << "www.example.com/1/1" << 0 << 0 << 0 << true;
    {
        QByteArray m = hex("0001 8180 0001 0001 0000 0000 01 61 00 0001 0001"
                           "c00c 0001 0001 00000000 0010 00000000000000000000000000000000");
        QTest::newRow("A with RDLENGTH 16") << m << "a/1/1" << 0 << 0 << 0 << true;
    }
    {
        QByteArray m = hex("0001 8180 0001 0001 0000 0000 01 61 00 0010 0001"
                           "c00c 0010 0001 00000000 0006 02 6869 02 796f");
        QTest::newRow("TXT with two strings") << m << "a/16/1" << 1 << 0 << 0 << false;
        QByteArray bad = hex("0001 8180 0001 0001 0000 0000 01 61 00 0010 0001"
                             "c00c 0010 0001 00000000 0004 04 686979");
        QTest::newRow("TXT string longer than its RDATA") << bad << "a/16/1" << 0 << 0 << 0 << true;
    }
    {
        QByteArray m = hex("0001 8180 0001 0002 0000 0000 01 61 00 0001 0001"
                           "c00b 0001 0001 00000000 0004 01020304"
                           "c00c 0001 0001 00000000 0004 05060708");
        // The first owner name is unreadable: that record is skipped, the cursor stays after
        // its pointer and the rest of the bytes are read as records from there.
        QTest::newRow("record with a bad owner name") << m << "a/1/1" << 0 << 0 << 0 << true;
    }
    QTest::newRow("question cut short")
        << hex("0001 0100 0001 0000 0000 0000 01 61 00 0001") << "" << 0 << 0 << 0 << true;
    QTest::newRow("unknown type in answers")
        << hex("0001 8180 0001 0001 0000 0000 01 61 00 0001 0001 c00c 0063 0001 00000000 0000")
        << "a/1/1" << 0 << 0 << 0 << true;
}

void tst_DnsPacket::sections()
{
    QFETCH(QByteArray, message);
    QFETCH(QString, questions);
    QFETCH(int, answers);
    QFETCH(int, authority);
    QFETCH(int, additional);
    QFETCH(bool, failed);

    const DNS::Packet packet(message);
    QCOMPARE(describe(packet.questions()), questions);
    QCOMPARE(packet.answers().size(), answers);
    QCOMPARE(packet.authority().size(), authority);
    QCOMPARE(packet.additional().size(), additional);
    QCOMPARE(packet.parseFailed(), failed);
    QCOMPARE(packet.bytes(), message);
}

void tst_DnsPacket::recordFields()
{
    const DNS::Packet packet{hex(Answer)};
    const DNS::RecordList answers = packet.answers();
    QCOMPARE(answers.size(), 2);
    auto a = answers.at(0).dynamicCast<DNS::IPv4AddressRR>();
    QVERIFY(a);
    QCOMPARE(a->name(), QByteArray("www.example.com"));
    QCOMPARE(a->ttl(), quint32(300));
    QCOMPARE(a->address(), quint32(0x5db8d822));
    auto aaaa = answers.at(1).dynamicCast<DNS::UnparsedStandardRR>();
    QVERIFY(aaaa);
    QCOMPARE(aaaa->type(), quint16(28));
    QCOMPARE(aaaa->rdata(), hex("20010db8000000000000000000000001"));
    auto cname = packet.authority().at(0).dynamicCast<DNS::UnparsedStandardRR>();
    QVERIFY(cname);
    QCOMPARE(cname->name(), QByteArray("example.com"));
    QCOMPARE(cname->ttl(), quint32(3600));
    QCOMPARE(cname->rdata(), hex("c00c"));
}

void tst_DnsPacket::truncations_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("questionEnd");
    QTest::newRow("answer") << hex(Answer) << 33;
    QTest::newRow("query with OPT") << hex(QueryWithOpt) << 33;
    QTest::newRow("token query") << thirtyByteQuery() << 19;
}

// Every prefix of a valid message must parse without a fault and never claim more records
// than the bytes hold; run under the address sanitizer this also proves the bounds.
void tst_DnsPacket::truncations()
{
    QFETCH(QByteArray, message);
    QFETCH(int, questionEnd);
    const DNS::Packet whole(message);
    const int wholeRecords = whole.answers().size() + whole.authority().size();
    for (int length = 0; length <= message.size(); ++length) {
        const DNS::Packet packet(message.left(length));
        const int records = packet.answers().size() + packet.authority().size() + packet.additional().size();
        QVERIFY2(records <= wholeRecords + whole.additional().size(), qPrintable(QString::number(length)));
        QVERIFY(packet.questions().size() <= 1);
        QCOMPARE(packet.isResponseTo(whole), length >= questionEnd && whole.isResponse());
        QCOMPARE(packet.isAcceptable(), length >= questionEnd);
        QCOMPARE(packet.bytes(), message.left(length));
    }
}

void tst_DnsPacket::malformedFixtures_data()
{
    QTest::addColumn<QString>("file");
    const QDir dir(QStringLiteral(CORVANE_TEST_DATA_DIR "/dns"));
    const QStringList files = dir.entryList({QStringLiteral("*.hex")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 4);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << dir.filePath(file);
}

// Fixture files named by their defect; each must be refused by the transport checks.
void tst_DnsPacket::malformedFixtures()
{
    QFETCH(QString, file);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QByteArray digits;
    for (const QByteArray &line : text.split('\n')) {
        if (!line.startsWith('#'))
            digits += line;
    }
    const DNS::Packet packet(hex(digits.constData()));
    QCOMPARE(packet.isAcceptable(), false);
    QCOMPARE(packet.parseFailed(), true);
    packet.answers();
    packet.additional();
}

void tst_DnsPacket::tokenRecord_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<quint32>("token");
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<int>("arcount");

    QTest::newRow("token 7 on a 30-byte query")
        << thirtyByteQuery() << quint32(7) << hex("00 ffed 0001 00000000 0004 00000007") << 2;
    QTest::newRow("token 305419896")
        << hex("0102 0100 0001 0000 0000 0000 01 61 00 0001 0001") << quint32(305419896)
        << hex("00 FF ED 00 01 00 00 00 00 00 04 12 34 56 78") << 1;
    QTest::newRow("largest token") << hex("0102 0100 0001 0000 0000 0005 01 61 00 0001 0001")
                                   << quint32(0xFFFFFFFF) << hex("00 ffed 0001 00000000 0004 ffffffff") << 6;
}

void tst_DnsPacket::tokenRecord()
{
    QFETCH(QByteArray, message);
    QFETCH(quint32, token);
    QFETCH(QByteArray, tail);
    QFETCH(int, arcount);

    QCOMPARE(thirtyByteQuery().size(), 30);
    DNS::Packet packet(message);
    QVERIFY(packet.appendTokenRecord(token));
    const QByteArray bytes = packet.bytes();
    QCOMPARE(bytes.size(), message.size() + 15);
    QCOMPARE(bytes.left(10), message.left(10));
    QCOMPARE(bytes.mid(12, message.size() - 12), message.mid(12));
    QCOMPARE(bytes.right(15), tail);
    QCOMPARE(int(packet.additionalCount()), arcount);
}

void tst_DnsPacket::tokenRecordRefused_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("ARCOUNT 65535") << hex("0102 0100 0001 0000 0000 ffff 01 61 00 0001 0001");
    QByteArray big = hex("0102 0100 0001 0000 0000 0000 01 61 00 0001 0001");
    big.append(QByteArray(0xFFFF - 15 - big.size() + 1, '\0'));
    QTest::newRow("would pass 65535 bytes") << big;
    QTest::newRow("shorter than a header") << hex("0102 01");
}

void tst_DnsPacket::tokenRecordRefused()
{
    QFETCH(QByteArray, message);
    DNS::Packet packet(message);
    QVERIFY(!packet.appendTokenRecord(1));
    QCOMPARE(packet.bytes(), message);
}

void tst_DnsPacket::rebuildRoundTrip()
{
    // A change through the lists rebuilds every record with its standard wire form, so
    // counts and records always agree; names are written without compression.
    DNS::Packet packet{hex("0001 8180 0001 0002 0000 0000 01 61 00 0010 0001"
                           "c00c 0010 0001 0000000a 0006 02 6869 02 796f"
                           "c00c 001c 0001 0000000b 0002 abcd")};
    DNS::QuestionList questions = packet.questions();
    questions.append(DNS::QuestionPtr(new DNS::Question("b.c", 1, 1)));
    QVERIFY(packet.setQuestions(questions));
    const QByteArray expected = hex("0001 8180 0002 0002 0000 0000"
                                    "01 61 00 0010 0001"
                                    "01 62 01 63 00 0001 0001"
                                    "01 61 00 0010 0001 0000000a 0006 02 6869 02 796f"
                                    "01 61 00 001c 0001 0000000b 0002 abcd");
    QCOMPARE(packet.bytes().toHex(), expected.toHex());
    const DNS::Packet reread(packet.bytes());
    QCOMPARE(describe(reread.questions()), QStringLiteral("a/16/1 b.c/1/1"));
    const auto txt = reread.answers().at(0).dynamicCast<DNS::TxtRR>();
    QVERIFY(txt);
    QCOMPARE(txt->strings(), QList<QByteArray>({"hi", "yo"}));
    QCOMPARE(reread.parseFailed(), false);
}

void tst_DnsPacket::unencodableNameRefusesRebuild_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("questionName");
    const QByteArray query = hex("0001 0100 0001 0000 0000 0000 01 61 00 0001 0001");
    QTest::newRow("question with a 64-byte label") << query << QByteArray(64, 'x');
    QTest::newRow("question with an empty label") << query << QByteArray("a..b");
    // A wire label made of two dots reads as a name that no label sequence spells.
    QTest::newRow("answer with a dotted label")
        << hex("0001 8180 0001 0001 0000 0000 01 61 00 0001 0001 02 2e2e 00 0001 0001 0000000a 0004 01020304")
        << QByteArray("a");
}

// A record that cannot be written as it stands refuses the rebuild instead of being written
// as something else (the root name, a shorter string).
void tst_DnsPacket::unencodableNameRefusesRebuild()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, questionName);
    DNS::Packet packet(message);
    QVERIFY(!packet.setQuestions({DNS::QuestionPtr(new DNS::Question(questionName, 1, 1))}));
    QCOMPARE(packet.bytes().toHex(), message.toHex());
    QCOMPARE(describe(packet.questions()), QStringLiteral("a/1/1"));
}

void tst_DnsPacket::makeQuery_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("www.example.com") << QByteArray("www.example.com") << true
                                     << hex("0000 0100 0001 0000 0000 0000 03777777 076578616d706c65 03636f6d 00 0001 0001");
    QTest::newRow("trailing dot") << QByteArray("example.com.") << true
                                  << hex("0000 0100 0001 0000 0000 0000 076578616d706c65 03636f6d 00 0001 0001");
    QTest::newRow("root") << QByteArray("") << true << hex("0000 0100 0001 0000 0000 0000 00 0001 0001");
    QTest::newRow("empty label") << QByteArray("a..b") << false << hex("0000 0100 0000 0000 0000 0000");
    QTest::newRow("label of 64") << QByteArray(64, 'a') << false << hex("0000 0100 0000 0000 0000 0000");
    QByteArray longName;
    for (int i = 0; i < 64; ++i)
        longName += "abc.";
    QTest::newRow("name of 257 bytes") << longName << false << hex("0000 0100 0000 0000 0000 0000");
}

void tst_DnsPacket::makeQuery()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, ok);
    QFETCH(QByteArray, expected);
    DNS::Packet packet(hex(Answer));
    QCOMPARE(packet.makeQuery(name, 1), ok);
    QCOMPARE(packet.bytes().toHex(), expected.toHex());
    QCOMPARE(packet.isRecursionDesired(), true);
}

void tst_DnsPacket::isResponseTo_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<bool>("matches");

    const QByteArray query = hex("1234 0100 0001 0000 0000 0000 03777777076578616d706c6503636f6d00 0001 0001");
    QTest::newRow("matching answer") << hex(Answer) << query << true;
    QByteArray noQr = hex(Answer);
    noQr[2] = char(noQr[2] & 0x7F);
    QTest::newRow("QR clear") << noQr << query << false;
    QByteArray otherId = hex(Answer);
    otherId[1] = 0x35;
    QTest::newRow("other id") << otherId << query << false;
    QByteArray otherType = query;
    otherType[otherType.size() - 3] = 0x1c;
    QTest::newRow("other type") << hex(Answer) << otherType << false;
    QByteArray otherCase = query;
    otherCase[13] = 'W';
    QTest::newRow("name differs in case") << hex(Answer) << otherCase << false;
    QTest::newRow("query without questions") << hex(Answer) << hex("1234 0100 0000 0000 0000 0000") << true;
    QTest::newRow("header only") << hex("1234 8180 0001 0000 0000 0000") << query << false;
    QTest::newRow("QDCOUNT 0") << hex("1234 8180 0000 0000 0000 0000 00") << hex("1234 0100 0000 0000 0000 0000")
                               << false;
    QByteArray twoCounted = hex(Answer);
    twoCounted[5] = 2;
    QTest::newRow("QDCOUNT above the questions") << twoCounted << query << false;
}

void tst_DnsPacket::isResponseTo()
{
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, query);
    QFETCH(bool, matches);
    QCOMPARE(DNS::Packet(answer).isResponseTo(DNS::Packet(query)), matches);
}

void tst_DnsPacket::headerSetters()
{
    DNS::Packet packet(hex("1234 0110 0001 0000 0000 0000 01 61 00 0001 0001"));
    packet.setResponse(true);
    packet.setRcode(5);
    packet.setId(0xBEEF);
    QCOMPARE(packet.bytes().left(4), hex("BEEF 8115"));
    packet.setRecursionDesired(false);
    packet.setResponse(false);
    QCOMPARE(packet.bytes().left(4), hex("BEEF 0015"));
    QCOMPARE(packet.rcode(), quint8(5));
    QCOMPARE(packet.id(), quint16(0xBEEF));
}

void tst_DnsPacket::copiesAreIndependent()
{
    const DNS::Packet original(hex(Answer));
    DNS::Packet copy = original;
    QCOMPARE(copy.answers().size(), 2);
    copy.setId(7);
    copy.setQuestions({});
    QCOMPARE(original.id(), quint16(0x1234));
    QCOMPARE(original.bytes(), hex(Answer));
    QCOMPARE(original.questions().size(), 1);
    QCOMPARE(copy.id(), quint16(7));
    QCOMPARE(copy.questionCount(), quint16(0));
}

void tst_DnsPacket::rateLimitedWarning()
{
    qint64 now = 1000;
    RateLimitedWarning warning(QStringLiteral("dropped"), 10000, [&now] { return now; });
    QCOMPARE(warning.hit(), QStringLiteral("dropped"));
    now += 9999;
    QCOMPARE(warning.hit(), QString());
    QCOMPARE(warning.hit(), QString());
    now += 1;
    QCOMPARE(warning.hit(), QStringLiteral("dropped (2 more since the last report, 4 in total)"));
    now += 20000;
    QCOMPARE(warning.hit(), QStringLiteral("dropped"));
    QCOMPARE(warning.total(), quint64(5));
}

QTEST_GUILESS_MAIN(tst_DnsPacket)
#include "tst_dnspacket.moc"

#include "dnspacket.h"

#include "dnsname.h"
#include "ratelimitedwarning.h"

#include <QHash>

#include <memory>

namespace DNS {

namespace {

constexpr int HeaderSize = 12;
constexpr int AllSections = 15;
constexpr int TokenRecordSize = 15;

enum Section { Questions = 0, Answers = 1, Authority = 2, Additional = 3 };

// Name failures come from whatever a peer sends; count them, log them sparingly.
void warnName(const QString &text)
{
    if (text.isEmpty())
        return;
    // Kept for the life of the process (never destroyed, so never reported as a leak).
    static auto *warnings = new QHash<QString, RateLimitedWarning *>;
    RateLimitedWarning *&warning = (*warnings)[text];
    if (!warning)
        warning = new RateLimitedWarning(text);
    warning->warn();
}

} // namespace

struct Sections
{
    int mask = 0;
    quint16 cursor = HeaderSize;
    bool stopped = false; // a failure ended parsing; later sections stay unparsed
    QuestionList questions;
    RecordList answers;
    RecordList authority;
    RecordList additional;
};

class PacketPrivate : public QSharedData
{
public:
    PacketPrivate() = default;
    PacketPrivate(const PacketPrivate &other)
        : QSharedData(other)
        , bytes(other.bytes)
        , parseFailed(other.parseFailed)
        , clean(other.clean)
        , sections(other.sections ? new Sections(*other.sections) : nullptr)
    {
    }

    QByteArray bytes;
    bool parseFailed = false;
    bool clean = true;
    std::unique_ptr<Sections> sections;

    const uchar *data() const { return reinterpret_cast<const uchar *>(bytes.constData()); }
    quint16 u16At(int offset) const
    {
        return bytes.size() >= offset + 2 ? readU16(data() + offset) : 0;
    }
    void setU16At(int offset, quint16 value)
    {
        bytes[offset] = char(value >> 8);
        bytes[offset + 1] = char(value & 0xFF);
    }
    void parseSection(int section);
    bool readQuestion(quint16 *cursor, QuestionPtr *out);
    // 1: record read; 0: skipped (owner name or type unreadable); -1: the message fails.
    int readRecord(quint16 *cursor, RecordPtr *out);
};

bool PacketPrivate::readQuestion(quint16 *cursor, QuestionPtr *out)
{
    QByteArray name;
    QString error;
    if (!readName(bytes, cursor, &name, &error)) {
        warnName(error);
        return false;
    }
    if (*cursor + 4 > bytes.size())
        return false;
    const quint16 type = readU16(data() + *cursor);
    const quint16 klass = readU16(data() + *cursor + 2);
    *cursor += 4;
    out->reset(new Question(name, type, klass));
    return true;
}

int PacketPrivate::readRecord(quint16 *cursor, RecordPtr *out)
{
    QByteArray name;
    QString error;
    if (!readName(bytes, cursor, &name, &error)) {
        warnName(error);
        return 0;
    }
    if (*cursor + 2 > bytes.size())
        return 0;
    const quint16 type = readU16(data() + *cursor);
    *cursor += 2;
    // CLASS, TTL and RDLENGTH
    if (*cursor + 8 > bytes.size())
        return -1;
    const quint16 klass = readU16(data() + *cursor);
    const quint32 ttl = readU32(data() + *cursor + 2);
    const int rdlength = readU16(data() + *cursor + 6);
    *cursor += 8;
    if (*cursor + rdlength > bytes.size())
        return -1;
    const uchar *rdata = data() + *cursor;
    const int start = *cursor;
    *cursor += quint16(rdlength);

    if (type == TypeA) {
        if (rdlength != 4)
            return -1;
        out->reset(new IPv4AddressRR(name, klass, ttl, readU32(rdata)));
        return 1;
    }
    if ((type >= 2 && type <= 15) || type == TypeAaaa) {
        out->reset(new UnparsedStandardRR(name, type, klass, ttl, bytes.mid(start, rdlength)));
        return 1;
    }
    if (type == TypeTxt) {
        // RFC 1035 3.3.14: TXT-DATA is one or more <character-string>s.
        QList<QByteArray> strings;
        int offset = 0;
        while (offset < rdlength) {
            const int length = rdata[offset];
            if (length + 1 > rdlength - offset)
                return -1;
            strings.append(QByteArray(reinterpret_cast<const char *>(rdata + offset + 1), length));
            offset += length + 1;
        }
        out->reset(new TxtRR(name, klass, ttl, strings));
        return 1;
    }
    return -1;
}

void PacketPrivate::parseSection(int section)
{
    Sections &s = *sections;
    const int count = u16At(4 + 2 * section);
    quint16 cursor = s.cursor;
    for (int i = 0; i < count; ++i) {
        if (section == Questions) {
            QuestionPtr question;
            if (!readQuestion(&cursor, &question)) {
                parseFailed = true;
                s.stopped = true;
                return;
            }
            s.questions.append(question);
            continue;
        }
        RecordPtr record;
        const int result = readRecord(&cursor, &record);
        if (result < 0) {
            parseFailed = true;
            s.stopped = true;
            return;
        }
        if (result == 0)
            continue;
        RecordList &list = section == Answers ? s.answers
                           : section == Authority ? s.authority
                                                  : s.additional;
        list.append(record);
    }
    s.cursor = cursor;
    s.mask |= 1 << section;
    parseFailed = false;
}

Packet::Packet()
    : d(new PacketPrivate)
{
    d->bytes = QByteArray(HeaderSize, '\0');
    d->clean = false;
}

Packet::Packet(const QByteArray &bytes)
    : d(new PacketPrivate)
{
    d->bytes = bytes;
}

Packet::Packet(const Packet &other) = default;
Packet &Packet::operator=(const Packet &other) = default;
Packet::~Packet() = default;

void Packet::parseUpTo(int section) const
{
    // Parsing only fills caches that every copy would compute the same way, so it is done
    // on the shared block without detaching.
    PacketPrivate *p = const_cast<PacketPrivate *>(d.constData());
    if (!p->sections) {
        p->sections.reset(new Sections);
        if (p->bytes.size() == HeaderSize)
            p->sections->mask = AllSections;
        // Section offsets are 16-bit: nothing longer can come from a transport.
        if (p->bytes.size() > 0xFFFF) {
            p->sections->stopped = true;
            p->parseFailed = true;
        }
    }
    for (int s = 0; s <= section; ++s) {
        if (p->sections->mask & (1 << s))
            continue;
        if (p->sections->stopped)
            return;
        p->parseSection(s);
    }
}

void Packet::ensureClean() const
{
    PacketPrivate *p = const_cast<PacketPrivate *>(d.constData());
    if (p->clean)
        return;
    parseUpTo(Additional);
    QByteArray out = p->bytes.size() >= HeaderSize ? p->bytes.left(HeaderSize)
                                                   : QByteArray(HeaderSize, '\0');
    out.reserve(512);
    const Sections &s = *p->sections;
    auto setCount = [&out](int offset, int count) {
        out[offset] = char((count >> 8) & 0xFF);
        out[offset + 1] = char(count & 0xFF);
    };
    setCount(4, s.questions.size());
    setCount(6, s.answers.size());
    setCount(8, s.authority.size());
    setCount(10, s.additional.size());
    for (const QuestionPtr &question : s.questions)
        question->write(&out);
    for (const RecordList *list : {&s.answers, &s.authority, &s.additional}) {
        for (const RecordPtr &record : *list)
            record->write(&out);
    }
    p->bytes = out;
    p->clean = true;
}

QByteArray Packet::bytes() const
{
    ensureClean();
    return d->bytes;
}

int Packet::size() const
{
    ensureClean();
    return d->bytes.size();
}

quint16 Packet::id() const { return d->u16At(0); }

void Packet::setId(quint16 id)
{
    ensureClean();
    if (d->bytes.size() < 2)
        return;
    d->setU16At(0, id);
}

bool Packet::isResponse() const { return d->bytes.size() > 2 && (d->data()[2] & 0x80); }

void Packet::setResponse(bool response)
{
    ensureClean();
    if (d->bytes.size() < 3)
        return;
    d->bytes[2] = char(response ? (d->data()[2] | 0x80) : (d->data()[2] & 0x7F));
}

bool Packet::isRecursionDesired() const { return d->bytes.size() > 2 && (d->data()[2] & 0x01); }

void Packet::setRecursionDesired(bool desired)
{
    ensureClean();
    if (d->bytes.size() < 3)
        return;
    d->bytes[2] = char(desired ? (d->data()[2] | 0x01) : (d->data()[2] & 0xFE));
}

quint8 Packet::rcode() const { return d->bytes.size() > 3 ? (d->data()[3] & 0x0F) : 0; }

void Packet::setRcode(quint8 rcode)
{
    ensureClean();
    if (d->bytes.size() < 4)
        return;
    d->bytes[3] = char((d->data()[3] & 0xF0) | (rcode & 0x0F));
}

// The counts follow the record lists once those were changed, so they rebuild first.
quint16 Packet::questionCount() const
{
    ensureClean();
    return d->u16At(4);
}

quint16 Packet::answerCount() const
{
    ensureClean();
    return d->u16At(6);
}

quint16 Packet::authorityCount() const
{
    ensureClean();
    return d->u16At(8);
}

quint16 Packet::additionalCount() const
{
    ensureClean();
    return d->u16At(10);
}

QuestionList Packet::questions() const
{
    parseUpTo(Questions);
    return d->sections->questions;
}

RecordList Packet::answers() const
{
    parseUpTo(Answers);
    return d->sections->answers;
}

RecordList Packet::authority() const
{
    parseUpTo(Authority);
    return d->sections->authority;
}

RecordList Packet::additional() const
{
    parseUpTo(Additional);
    return d->sections->additional;
}

bool Packet::setQuestions(const QuestionList &questions)
{
    parseUpTo(Additional);
    const Sections &current = *d->sections;
    if (questions.size() > 0xFFFF)
        return false;
    for (const QuestionPtr &question : questions) {
        if (!question || !question->isWritable())
            return false;
    }
    for (const RecordList *list : {&current.answers, &current.authority, &current.additional}) {
        for (const RecordPtr &record : *list) {
            if (!record->isWritable())
                return false;
        }
    }
    d.detach();
    d->sections->questions = questions;
    // A change through the lists makes them the authority; whatever could not be parsed
    // is gone from the rebuilt message.
    d->sections->mask = AllSections;
    d->sections->stopped = false;
    d->clean = false;
    return true;
}

bool Packet::appendTokenRecord(quint32 token)
{
    ensureClean();
    const quint16 arcount = additionalCount();
    if (d->bytes.size() < HeaderSize || arcount == 0xFFFF
        || d->bytes.size() + TokenRecordSize > 0xFFFF)
        return false;
    QByteArray &bytes = d->bytes;
    bytes.append('\0');
    appendU16(&bytes, TypeToken);
    appendU16(&bytes, ClassIn);
    appendU32(&bytes, 0);
    appendU16(&bytes, 4);
    appendU32(&bytes, token);
    d->setU16At(10, arcount + 1);
    return true;
}

bool Packet::makeQuery(const QByteArray &name, quint16 type)
{
    *this = Packet();
    const bool encodable = isEncodableName(name);
    QuestionList questions;
    if (encodable)
        questions.append(QuestionPtr(new Question(name, type, ClassIn)));
    // An empty message has no records that could stand in the way.
    setQuestions(questions);
    setRecursionDesired(true);
    return encodable;
}

bool Packet::isResponseTo(const Packet &query) const
{
    if (size() <= HeaderSize || !isResponse() || id() != query.id())
        return false;
    const QuestionList mine = questions();
    if (questionCount() == 0 || mine.size() != questionCount())
        return false;
    const QuestionList theirs = query.questions();
    if (theirs.isEmpty())
        return true;
    if (theirs.size() != mine.size())
        return false;
    for (int i = 0; i < mine.size(); ++i) {
        if (*mine.at(i) != *theirs.at(i))
            return false;
    }
    return true;
}

bool Packet::parseFailed() const { return d->parseFailed; }

bool Packet::isAcceptable() const
{
    if (size() <= HeaderSize)
        return false;
    const quint16 count = questionCount();
    return count != 0 && questions().size() == count;
}

} // namespace DNS

#pragma once

#include "dnsrecords.h"

#include <QByteArray>
#include <QSharedDataPointer>

namespace DNS {

class PacketPrivate;

// One DNS message (RFC 1035 4.1). The raw bytes are the authority: header fields are read
// from them directly and the sections are parsed lazily, each at most once, on first use.
// The bytes are rebuilt from the record lists only after a change through those lists
// (setQuestions, makeQuery); header setters and appendTokenRecord() edit the bytes in place.
//
// Copies share their data until one of them changes (implicit sharing). Malformed input
// never throws: parseFailed() reports it and the lists hold what was read before.
//
// Callers check that a received message is longer than 12 bytes before they look at its
// sections (a header-only message has four empty sections whatever its counts say).
class Packet
{
public:
    // The empty message: 12 zero bytes, not clean (bytes() rebuilds it).
    Packet();
    // A received message, taken as it is.
    explicit Packet(const QByteArray &bytes);
    Packet(const Packet &other);
    Packet &operator=(const Packet &other);
    ~Packet();

    // The wire form; rebuilt first when the record lists were changed.
    QByteArray bytes() const;
    int size() const;

    quint16 id() const;
    void setId(quint16 id);
    bool isResponse() const;
    void setResponse(bool response);
    bool isRecursionDesired() const;
    void setRecursionDesired(bool desired);
    // Low four bits of byte 3.
    quint8 rcode() const;
    // Sets the low four bits of byte 3, keeping its high four bits.
    void setRcode(quint8 rcode);

    quint16 questionCount() const;
    quint16 answerCount() const;
    quint16 authorityCount() const;
    quint16 additionalCount() const;

    QuestionList questions() const;
    RecordList answers() const;
    RecordList authority() const;
    RecordList additional() const;

    // Replaces the questions (after parsing every section) and marks the bytes stale.
    // Refuses, changing nothing, when the rebuilt message could not hold every record
    // exactly as it stands (a name that cannot be encoded, more than 65535 questions).
    bool setQuestions(const QuestionList &questions);

    // Appends the identification record: root name, type 65517, class IN, TTL 0,
    // RDLENGTH 4, the token big-endian; ARCOUNT grows by one. The parsed sections are not
    // updated. Returns false and changes nothing when ARCOUNT is already 65535 or the
    // message would grow past 65535 bytes: a message whose record count no longer matches
    // its records must never leave the proxy.
    bool appendTokenRecord(quint32 token);

    // Resets to the empty message with one question (name, type, class IN) and RD set.
    // Returns false, leaving a message without questions, when name cannot be encoded.
    bool makeQuery(const QByteArray &name, quint16 type);

    // True when this message answers query: longer than 12 bytes, QDCOUNT non-zero and
    // equal to the number of questions parsed, QR set, the same id, and the same questions
    // (type, class and name bytes) unless the query has none.
    bool isResponseTo(const Packet &query) const;

    // Set while the last section parse met malformed data.
    bool parseFailed() const;

    // The checks every message received from a peer must pass before it is used: longer
    // than 12 bytes, a non-zero QDCOUNT and exactly that many questions parsed.
    bool isAcceptable() const;

private:
    void parseUpTo(int section) const;
    void ensureClean() const;

    QSharedDataPointer<PacketPrivate> d;
};

} // namespace DNS

// One shared-data pointer: lists of packets may move it as raw memory instead of holding
// every element in a node of its own.
Q_DECLARE_TYPEINFO(DNS::Packet, Q_MOVABLE_TYPE);

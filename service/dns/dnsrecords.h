#pragma once

#include <QByteArray>
#include <QList>
#include <QSharedPointer>

// Resource-record classes held by the sections of a DNS::Packet (RFC 1035 4.1.2, 4.1.3).
// Records are created by the parser or by the code that builds a message and are shared
// between copies of a packet; they are never changed once placed in a packet.
namespace DNS {

enum RecordType : quint16 {
    TypeA = 1,
    TypeTxt = 16,
    TypeAaaa = 28,
    TypeOpt = 41,
    // Private-use type of the computer's identification record.
    TypeToken = 65517,
};

enum RecordClass : quint16 {
    ClassIn = 1,
};

class RRBase
{
public:
    RRBase(const QByteArray &name, quint16 type);
    virtual ~RRBase();

    // Labels joined by ".", as read from the wire.
    const QByteArray &name() const { return m_name; }
    quint16 type() const { return m_type; }

    // True when write() can give the record's exact wire form: a name that cannot be
    // encoded, or data too long for its length field, is never written in some other form.
    virtual bool isWritable() const;
    // Appends the record's wire form; only for a writable record.
    virtual void write(QByteArray *out) const;

private:
    QByteArray m_name;
    quint16 m_type;
};

//   QNAME QTYPE QCLASS
class Question : public RRBase
{
public:
    Question(const QByteArray &name, quint16 type, quint16 klass = ClassIn);

    quint16 recordClass() const { return m_class; }
    void write(QByteArray *out) const override;

    bool operator==(const Question &other) const;
    bool operator!=(const Question &other) const { return !(*this == other); }

private:
    quint16 m_class;
};

//   NAME TYPE CLASS TTL RDLENGTH RDATA; write() adds RDLENGTH and RDATA from rdata().
class StandardRR : public RRBase
{
public:
    StandardRR(const QByteArray &name, quint16 type, quint16 klass, quint32 ttl);

    quint16 recordClass() const { return m_class; }
    // Seconds.
    quint32 ttl() const { return m_ttl; }

    // The record's RDATA in wire form.
    virtual QByteArray rdata() const = 0;
    bool isWritable() const override;
    void write(QByteArray *out) const override;

private:
    quint16 m_class;
    quint32 m_ttl;
};

class IPv4AddressRR : public StandardRR
{
public:
    IPv4AddressRR(const QByteArray &name, quint16 klass, quint32 ttl, quint32 address);

    // Host byte order.
    quint32 address() const { return m_address; }
    QByteArray rdata() const override;

private:
    quint32 m_address;
};

// RFC 1035 3.3.14: one or more <character-string>s.
class TxtRR : public StandardRR
{
public:
    TxtRR(const QByteArray &name, quint16 klass, quint32 ttl, const QList<QByteArray> &strings);

    const QList<QByteArray> &strings() const { return m_strings; }
    // Each string as a length byte and its bytes.
    QByteArray rdata() const override;
    // Every string fits its length byte (255 bytes at most).
    bool isWritable() const override;

private:
    QList<QByteArray> m_strings;
};

// A record whose RDATA is kept as raw bytes.
class UnparsedStandardRR : public StandardRR
{
public:
    UnparsedStandardRR(const QByteArray &name, quint16 type, quint16 klass, quint32 ttl,
                       const QByteArray &rdata);

    QByteArray rdata() const override { return m_rdata; }

private:
    QByteArray m_rdata;
};

using QuestionPtr = QSharedPointer<Question>;
using RecordPtr = QSharedPointer<StandardRR>;
using QuestionList = QList<QuestionPtr>;
using RecordList = QList<RecordPtr>;

// Big-endian helpers shared by the codec and the transports.
inline quint16 readU16(const uchar *p) { return quint16((p[0] << 8) | p[1]); }
inline quint32 readU32(const uchar *p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
}
void appendU16(QByteArray *out, quint16 value);
void appendU32(QByteArray *out, quint32 value);

} // namespace DNS

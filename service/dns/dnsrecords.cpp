#include "dnsrecords.h"

#include "dnsname.h"

namespace DNS {

void appendU16(QByteArray *out, quint16 value)
{
    out->append(char(value >> 8));
    out->append(char(value & 0xFF));
}

void appendU32(QByteArray *out, quint32 value)
{
    appendU16(out, quint16(value >> 16));
    appendU16(out, quint16(value & 0xFFFF));
}

RRBase::RRBase(const QByteArray &name, quint16 type)
    : m_name(name)
    , m_type(type)
{
}

RRBase::~RRBase() = default;

void RRBase::write(QByteArray *out) const
{
    // A rebuilt message must stay well formed, so a name that cannot be encoded becomes
    // the root rather than a label that a reader would take for a pointer.
    if (!writeName(out, m_name))
        out->append('\0');
    appendU16(out, m_type);
}

Question::Question(const QByteArray &name, quint16 type, quint16 klass)
    : RRBase(name, type)
    , m_class(klass)
{
}

void Question::write(QByteArray *out) const
{
    RRBase::write(out);
    appendU16(out, m_class);
}

bool Question::operator==(const Question &other) const
{
    return type() == other.type() && m_class == other.m_class && name() == other.name();
}

StandardRR::StandardRR(const QByteArray &name, quint16 type, quint16 klass, quint32 ttl)
    : RRBase(name, type)
    , m_class(klass)
    , m_ttl(ttl)
{
}

void StandardRR::write(QByteArray *out) const
{
    RRBase::write(out);
    appendU16(out, m_class);
    appendU32(out, m_ttl);
    const QByteArray data = rdata().left(0xFFFF);
    appendU16(out, quint16(data.size()));
    out->append(data);
}

IPv4AddressRR::IPv4AddressRR(const QByteArray &name, quint16 klass, quint32 ttl, quint32 address)
    : StandardRR(name, TypeA, klass, ttl)
    , m_address(address)
{
}

QByteArray IPv4AddressRR::rdata() const
{
    QByteArray out;
    appendU32(&out, m_address);
    return out;
}

TxtRR::TxtRR(const QByteArray &name, quint16 klass, quint32 ttl, const QList<QByteArray> &strings)
    : StandardRR(name, TypeTxt, klass, ttl)
    , m_strings(strings)
{
}

QByteArray TxtRR::rdata() const
{
    QByteArray out;
    for (const QByteArray &string : m_strings) {
        const QByteArray piece = string.left(255);
        out.append(char(piece.size()));
        out.append(piece);
    }
    return out;
}

UnparsedStandardRR::UnparsedStandardRR(const QByteArray &name, quint16 type, quint16 klass,
                                       quint32 ttl, const QByteArray &rdata)
    : StandardRR(name, type, klass, ttl)
    , m_rdata(rdata)
{
}

} // namespace DNS

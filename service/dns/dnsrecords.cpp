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

bool RRBase::isWritable() const
{
    return isEncodableName(m_name);
}

void RRBase::write(QByteArray *out) const
{
    writeName(out, m_name);
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

bool StandardRR::isWritable() const
{
    return RRBase::isWritable() && rdata().size() <= 0xFFFF;
}

void StandardRR::write(QByteArray *out) const
{
    RRBase::write(out);
    appendU16(out, m_class);
    appendU32(out, m_ttl);
    const QByteArray data = rdata();
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
        out.append(char(string.size()));
        out.append(string);
    }
    return out;
}

bool TxtRR::isWritable() const
{
    for (const QByteArray &string : m_strings) {
        if (string.size() > 255)
            return false;
    }
    return StandardRR::isWritable();
}

UnparsedStandardRR::UnparsedStandardRR(const QByteArray &name, quint16 type, quint16 klass,
                                       quint32 ttl, const QByteArray &rdata)
    : StandardRR(name, type, klass, ttl)
    , m_rdata(rdata)
{
}

} // namespace DNS

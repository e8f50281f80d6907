#pragma once

#include "lodestar_export.h"

#include <QHostAddress>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>

// One entry of a profile's white, black or alias list:
//   {"id": unsigned, "domain": text, "ip": address text (alias entries)}.
class LODESTAR_EXPORT CabinetDomain
{
public:
    // The list an entry belongs to; its text form names cache entries and API calls.
    enum Type {
        WhiteList = 0,
        BlackList = 1,
        AliasList = 2,
    };

    static const QString IdKey;     // "id"
    static const QString DomainKey; // "domain"
    static const QString IpKey;     // "ip"

    // "white", "black", "alias"; a null text for any other value.
    static QString listTypeToString(int type);
    // BlackList for "black", AliasList for "alias", WhiteList for every other text.
    static Type listTypeFromString(const QString &text);

    CabinetDomain() = default;
    CabinetDomain(quint32 id, const QString &domain, const QHostAddress &ip = QHostAddress())
        : m_domain(domain), m_ip(ip), m_id(id)
    {
    }

    quint32 id() const { return m_id; }
    void setId(quint32 id) { m_id = id; }
    QString domain() const { return m_domain; }
    void setDomain(const QString &domain) { m_domain = domain; }
    // The address an alias entry resolves to; invalid for the other lists.
    QHostAddress ip() const { return m_ip; }
    void setIp(const QHostAddress &ip) { m_ip = ip; }

    // Needs a map with a non-zero id and a non-empty domain, and for the alias list a
    // valid address. On failure the entry is left unchanged.
    bool fromVariant(const QVariant &value, Type type);
    // "ip" is written only when the address is valid.
    QVariant toVariant() const;

private:
    QString m_domain;
    QHostAddress m_ip;
    quint32 m_id = 0;
};

// A domain list in the order received.
class LODESTAR_EXPORT CabinetDomains : public QList<CabinetDomain>
{
public:
    // All-or-nothing: clears the list, reads every element as an entry of that type, and
    // clears it again at the first invalid one.
    bool fromVariant(const QVariant &value, CabinetDomain::Type type);
    QVariant toVariant() const;
    // The UTF-8 JSON text of toVariant(), byte for byte as QxtJSON::stringify() writes it,
    // made without the intermediate tree of maps (a 5 000-entry list is written on every
    // refresh that changes it).
    QByteArray toJson() const;
    // Reads a list in the plain form of JSON (printable ASCII strings without escapes,
    // decimal ids, keys "id", "domain" and "ip" once each) straight from the text at pos,
    // without the intermediate tree of maps. True, with the list replaced and pos moved past
    // it, only when the text is such a list and fromVariant() of the parsed text would
    // accept it with the very same entries; false, with the list and pos unchanged,
    // otherwise: the caller then takes the generic path, which decides.
    bool readPlainJson(const char *&pos, const char *end, CabinetDomain::Type type);
    // As fromVariant() of the parsed UTF-8 text, through readPlainJson() when the whole
    // text is a list in the plain form.
    bool fromJson(const QByteArray &text, CabinetDomain::Type type);

    // A copy of the first entry whose domain equals the name exactly, or an empty entry.
    CabinetDomain findDomain(const QString &name) const;
    // Removes the first entry with that id; false when there is none.
    bool removeDomain(quint32 id);

    // Same length and the same ids position by position; domains and addresses are not
    // compared.
    bool operator==(const CabinetDomains &other) const;
    bool operator!=(const CabinetDomains &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(CabinetDomain)
Q_DECLARE_METATYPE(CabinetDomains)

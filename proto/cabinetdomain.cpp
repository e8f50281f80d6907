#include "cabinetdomain.h"

#include "recordreader_p.h"

#include <QVariantMap>

using namespace RecordReader;

const QString CabinetDomain::IdKey = QStringLiteral("id");
const QString CabinetDomain::DomainKey = QStringLiteral("domain");
const QString CabinetDomain::IpKey = QStringLiteral("ip");

QString CabinetDomain::listTypeToString(int type)
{
    switch (type) {
    case WhiteList:
        return QStringLiteral("white");
    case BlackList:
        return QStringLiteral("black");
    case AliasList:
        return QStringLiteral("alias");
    default:
        return QString();
    }
}

CabinetDomain::Type CabinetDomain::listTypeFromString(const QString &text)
{
    if (text == QLatin1String("black"))
        return BlackList;
    if (text == QLatin1String("alias"))
        return AliasList;
    return WhiteList;
}

bool CabinetDomain::fromVariant(const QVariant &value, Type type)
{
    if (!isMap(value))
        return false;
    const QVariantMap map = value.toMap();
    bool idOk = false;
    const quint32 id = toUInt32(map.value(IdKey), &idOk);
    const QVariant domainValue = map.value(DomainKey);
    const QString domain = domainValue.userType() == QMetaType::QString ? domainValue.toString()
                                                                         : QString();
    const QHostAddress ip = toAddress(map.value(IpKey));
    if (id == 0 || domain.isEmpty() || (type == AliasList && ip.isNull()))
        return false;
    m_id = id;
    m_domain = domain;
    m_ip = ip;
    return true;
}

QVariant CabinetDomain::toVariant() const
{
    QVariantMap map;
    map.insert(IdKey, m_id);
    map.insert(DomainKey, m_domain);
    if (!m_ip.isNull())
        map.insert(IpKey, m_ip.toString());
    return map;
}

bool CabinetDomains::fromVariant(const QVariant &value, CabinetDomain::Type type)
{
    return readList(value, this, [type](const QVariant &item, CabinetDomain *entry) {
        return entry->fromVariant(item, type);
    });
}

QVariant CabinetDomains::toVariant() const
{
    return writeList(*this);
}

CabinetDomain CabinetDomains::findDomain(const QString &name) const
{
    for (const CabinetDomain &entry : *this) {
        if (entry.domain() == name)
            return entry;
    }
    return CabinetDomain();
}

bool CabinetDomains::removeDomain(quint32 id)
{
    for (int i = 0; i < size(); ++i) {
        if (at(i).id() == id) {
            removeAt(i);
            return true;
        }
    }
    return false;
}

bool CabinetDomains::operator==(const CabinetDomains &other) const
{
    if (size() != other.size())
        return false;
    for (int i = 0; i < size(); ++i) {
        if (at(i).id() != other.at(i).id())
            return false;
    }
    return true;
}

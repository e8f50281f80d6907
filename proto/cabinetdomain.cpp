#include "cabinetdomain.h"

#include "jsonscanner_p.h"
#include "qxtjson.h"
#include "recordreader_p.h"

#include <QVariantMap>

#include <limits>

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
    // Lists hold thousands of entries: look into the map where it lies (a hash is
    // converted), without copying it or its values.
    const QVariantMap converted = value.userType() == QMetaType::QVariantMap ? QVariantMap() : value.toMap();
    const QVariantMap &map = value.userType() == QMetaType::QVariantMap
            ? *static_cast<const QVariantMap *>(value.constData())
            : converted;
    const auto idIt = map.constFind(IdKey);
    if (idIt == map.constEnd())
        return false;
    bool idOk = false;
    const quint32 id = toUInt32(*idIt, &idOk);
    const auto domainIt = map.constFind(DomainKey);
    if (id == 0 || domainIt == map.constEnd() || domainIt->userType() != QMetaType::QString)
        return false;
    const QString domain = domainIt->toString();
    const auto ipIt = map.constFind(IpKey);
    const QHostAddress ip = ipIt == map.constEnd() ? QHostAddress() : toAddress(*ipIt);
    if (domain.isEmpty() || (type == AliasList && ip.isNull()))
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

QByteArray CabinetDomains::toJson() const
{
    // The keys in the order of a QVariantMap: "domain" < "id" < "ip".
    QString out;
    out.reserve(size() * 48 + 2);
    out.append(QLatin1Char('['));
    bool first = true;
    for (const CabinetDomain &entry : *this) {
        out.append(first ? QLatin1String("{\"domain\":") : QLatin1String(",{\"domain\":"));
        first = false;
        QxtJSON::appendString(out, entry.domain());
        out.append(QLatin1String(",\"id\":"));
        out.append(QString::number(entry.id()));
        const QHostAddress ip = entry.ip();
        if (!ip.isNull()) {
            out.append(QLatin1String(",\"ip\":"));
            QxtJSON::appendString(out, ip.toString());
        }
        out.append(QLatin1Char('}'));
    }
    out.append(QLatin1Char(']'));
    return out.toUtf8();
}

bool CabinetDomains::readPlainJson(const char *&pos, const char *end, CabinetDomain::Type type)
{
    JsonScanner scan(pos, end);
    CabinetDomains list;
    // Copies of one null address share its data: most entries have none.
    const QHostAddress none;
    const bool read = scan.array([&] {
        quint64 id = 0;
        QLatin1String domain;
        QLatin1String ip;
        bool hasId = false;
        bool hasDomain = false;
        bool hasIp = false;
        const bool entry = scan.object([&](QLatin1String key) {
            if (key == QLatin1String("id") && !hasId)
                return hasId = scan.positiveInteger(std::numeric_limits<quint32>::max(), &id);
            if (key == QLatin1String("domain") && !hasDomain)
                return hasDomain = scan.plainString(&domain);
            if (key == QLatin1String("ip") && !hasIp)
                return hasIp = scan.plainString(&ip);
            return false;
        });
        if (!entry || !hasId || !hasDomain || domain.isEmpty())
            return false;
        QHostAddress address = none;
        if (hasIp && !address.setAddress(QString(ip)))
            address = none;
        if (type == CabinetDomain::AliasList && address.isNull())
            return false;
        list.append(CabinetDomain(quint32(id), QString(domain), address));
        return true;
    });
    if (!read)
        return false;
    swap(list);
    pos = scan.position();
    return true;
}

bool CabinetDomains::fromJson(const QByteArray &text, CabinetDomain::Type type)
{
    const char *pos = text.constData();
    const char *end = pos + text.size();
    CabinetDomains list;
    if (list.readPlainJson(pos, end, type) && JsonScanner(pos, end).atEnd()) {
        swap(list);
        return true;
    }
    return fromVariant(QxtJSON::parse(QString::fromUtf8(text)), type);
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

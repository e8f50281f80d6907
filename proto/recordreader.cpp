#include "recordreader_p.h"

#include "metatypes_p.h"

#include <cmath>

namespace RecordReader {

namespace {

bool inRange(qint64 number, qint64 minimum, qint64 maximum)
{
    return number >= minimum && number <= maximum;
}

bool textToInteger(const QString &text, qint64 minimum, qint64 maximum, qint64 *out)
{
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok, 10);
    if (!ok || !inRange(number, minimum, maximum))
        return false;
    *out = number;
    return true;
}

bool doubleToInteger(double number, qint64 minimum, qint64 maximum, qint64 *out)
{
    if (!std::isfinite(number) || std::floor(number) != number)
        return false;
    if (number < static_cast<double>(minimum) || number > static_cast<double>(maximum))
        return false;
    *out = static_cast<qint64>(number);
    return true;
}

// One integer out of whatever scalar the value holds, checked against the field's range.
// The bounds are those of 32-bit fields, so they always fit a qint64.
bool toInteger(const QVariant &value, qint64 minimum, qint64 maximum, qint64 *out)
{
    switch (static_cast<QMetaType::Type>(value.userType())) {
    case QMetaType::Bool:
        *out = value.toBool() ? 1 : 0;
        return true;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong: {
        const qlonglong number = value.toLongLong();
        if (!inRange(number, minimum, maximum))
            return false;
        *out = number;
        return true;
    }
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong number = value.toULongLong();
        if (number > static_cast<qulonglong>(maximum))
            return false;
        *out = static_cast<qint64>(number);
        return inRange(*out, minimum, maximum);
    }
    case QMetaType::Float:
    case QMetaType::Double:
        return doubleToInteger(value.toDouble(), minimum, maximum, out);
    case QMetaType::QString:
        return textToInteger(value.toString(), minimum, maximum, out);
    case QMetaType::QByteArray:
        return textToInteger(QString::fromLatin1(value.toByteArray()), minimum, maximum, out);
    default:
        return false;
    }
}

} // namespace

bool isMap(const QVariant &value)
{
    const int type = value.userType();
    return type == QMetaType::QVariantMap || type == QMetaType::QVariantHash;
}

bool isList(const QVariant &value)
{
    const int type = value.userType();
    return type == QMetaType::QVariantList || type == QMetaType::QStringList;
}

bool isIntegerType(const QVariant &value)
{
    return isIntegerMetaType(value.userType());
}

bool isBooleanType(const QVariant &value)
{
    return value.userType() == QMetaType::Bool;
}

quint32 toUInt32(const QVariant &value, bool *ok)
{
    qint64 number = 0;
    *ok = toInteger(value, 0, std::numeric_limits<quint32>::max(), &number);
    return *ok ? static_cast<quint32>(number) : 0;
}

qint32 toInt32(const QVariant &value, bool *ok)
{
    qint64 number = 0;
    *ok = toInteger(value, std::numeric_limits<qint32>::min(),
                    std::numeric_limits<qint32>::max(), &number);
    return *ok ? static_cast<qint32>(number) : 0;
}

QHostAddress toAddress(const QVariant &value)
{
    if (value.userType() != QMetaType::QString)
        return QHostAddress();
    QHostAddress address;
    if (!address.setAddress(value.toString()))
        return QHostAddress();
    return address;
}

Read readString(const QVariantMap &map, const QString &key, QString *field)
{
    const auto it = map.constFind(key);
    if (it == map.constEnd())
        return Read::Absent;
    if (!it->isValid() || isMap(*it) || !it->canConvert<QString>())
        return Read::NotConvertible;
    QVariant copy = *it;
    if (!copy.convert(QMetaType::QString)) {
        *field = QString();
        return Read::Failed;
    }
    *field = copy.toString();
    return Read::Converted;
}

Read readUInt32(const QVariantMap &map, const QString &key, quint32 *field)
{
    const auto it = map.constFind(key);
    if (it == map.constEnd())
        return Read::Absent;
    if (!it->isValid() || !it->canConvert<quint32>())
        return Read::NotConvertible;
    bool ok = false;
    *field = toUInt32(*it, &ok);
    return ok ? Read::Converted : Read::Failed;
}

Read readBool(const QVariantMap &map, const QString &key, bool *field)
{
    const auto it = map.constFind(key);
    if (it == map.constEnd())
        return Read::Absent;
    if (!it->isValid() || !it->canConvert<bool>())
        return Read::NotConvertible;
    QVariant copy = *it;
    if (!copy.convert(QMetaType::Bool)) {
        *field = false;
        return Read::Failed;
    }
    *field = copy.toBool();
    return Read::Converted;
}

} // namespace RecordReader

#include "jsonrpc_p.h"
#include "metatypes_p.h"

#include <cmath>
#include <limits>

namespace {

// An integral value read from a param, as sign and magnitude so that both the whole
// qint64 and quint64 ranges are exact.
struct Integral
{
    bool negative;
    quint64 magnitude;
};

bool fromSigned(qint64 v, Integral *out)
{
    out->negative = v < 0;
    out->magnitude = v < 0 ? quint64(0) - quint64(v) : quint64(v);
    return true;
}

bool readIntegral(const QVariant &value, Integral *out)
{
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Char:
        return fromSigned(value.toLongLong(), out);
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        out->negative = false;
        out->magnitude = value.toULongLong();
        return true;
    case QMetaType::Double: {
        const double d = value.toDouble();
        // 2^63 and beyond cannot be an exact qint64; keep it simple and refuse them.
        if (!std::isfinite(d) || std::trunc(d) != d || std::fabs(d) >= 9.2e18)
            return false;
        return fromSigned(qint64(d), out);
    }
    case QMetaType::QString: {
        const QString text = value.toString();
        bool ok = false;
        const qint64 s = text.toLongLong(&ok, 10);
        if (ok)
            return fromSigned(s, out);
        const quint64 u = text.toULongLong(&ok, 10);
        if (!ok)
            return false;
        out->negative = false;
        out->magnitude = u;
        return true;
    }
    default:
        return false;
    }
}

template<typename T>
bool storeIntegral(const Integral &v, int type, QVariant *out)
{
    using Limits = std::numeric_limits<T>;
    if (v.negative) {
        if (!Limits::is_signed || v.magnitude > quint64(0) - quint64(qint64(Limits::min())))
            return false;
        const T t = T(qint64(quint64(0) - v.magnitude));
        *out = QVariant(type, &t);
        return true;
    }
    if (v.magnitude > quint64(Limits::max()))
        return false;
    const T t = T(v.magnitude);
    *out = QVariant(type, &t);
    return true;
}

bool convertIntegral(const QVariant &value, int type, QVariant *out)
{
    Integral v;
    if (!readIntegral(value, &v))
        return false;
    switch (type) {
    case QMetaType::Int: return storeIntegral<int>(v, type, out);
    case QMetaType::UInt: return storeIntegral<uint>(v, type, out);
    case QMetaType::LongLong: return storeIntegral<qlonglong>(v, type, out);
    case QMetaType::ULongLong: return storeIntegral<qulonglong>(v, type, out);
    case QMetaType::Long: return storeIntegral<long>(v, type, out);
    case QMetaType::ULong: return storeIntegral<ulong>(v, type, out);
    case QMetaType::Short: return storeIntegral<short>(v, type, out);
    case QMetaType::UShort: return storeIntegral<ushort>(v, type, out);
    case QMetaType::Char: return storeIntegral<char>(v, type, out);
    case QMetaType::SChar: return storeIntegral<signed char>(v, type, out);
    case QMetaType::UChar: return storeIntegral<uchar>(v, type, out);
    default: return false;
    }
}


} // namespace

bool JsonRPCParams::convert(const QVariant &value, int type, QVariant *out)
{
    if (type == QMetaType::UnknownType || type == QMetaType::Void)
        return false;
    if (type == QMetaType::QVariant) {
        *out = value;
        return true;
    }
    if (!value.isValid())
        return false;
    if (value.userType() == type) {
        *out = value;
        return true;
    }
    if (isIntegerMetaType(type))
        return convertIntegral(value, type, out);
    if (type == QMetaType::Bool)
        return false; // only true and false reach a bool, and those matched above
    if (type == QMetaType::Double || type == QMetaType::Float) {
        bool ok = false;
        double d = 0;
        Integral integral;
        if (value.userType() == QMetaType::QString)
            d = value.toString().toDouble(&ok);
        else if (value.userType() == QMetaType::Double || readIntegral(value, &integral))
            d = value.toDouble(&ok);
        if (!ok)
            return false;
        if (type == QMetaType::Float) {
            const float f = float(d);
            *out = QVariant(type, &f);
        } else {
            *out = QVariant(d);
        }
        return true;
    }
    // Everything else, the list types registered by other modules included, goes through
    // Qt's conversions and the converters registered with QMetaType::registerConverter().
    QVariant converted = value;
    if (!converted.canConvert(type) || !converted.convert(type))
        return false;
    *out = converted;
    return out->userType() == type;
}

#include "jsonrpcerror.h"

#include "error.h"
#include "metatypes_p.h"

#include <QVariantMap>

namespace {
const QString KeyData = QStringLiteral("data");

// JSON-RPC 2.0, section 5.1: "-32768 to -32000 are reserved for pre-defined errors".
// Our peers treat -32767..-32000 as the range whose message is fixed by the code.
constexpr int ReservedLow = -32767;
constexpr int ReservedHigh = -32000;

} // namespace

JsonRPCError::JsonRPCError(qint16 code, const QString &message, const QVariant &data)
    : m_code(code)
    , m_message(message)
    , m_data(data)
{
}

JsonRPCError::JsonRPCError(const Error &error)
    : m_code(static_cast<qint16>(error.code()))
    , m_message(error.message())
    , m_data(error.data())
{
}

QString JsonRPCError::standardMessage(qint16 code)
{
    switch (code) {
    case ParseError:
        return QStringLiteral("Parse error");
    case InvalidRequest:
        return QStringLiteral("Invalid Request");
    case MethodNotFound:
        return QStringLiteral("Method not found");
    case InvalidParams:
        return QStringLiteral("Invalid params");
    case InternalError:
        return QStringLiteral("Internal error");
    default:
        return QString(QLatin1String(""));
    }
}

QVariant JsonRPCError::toVariant() const
{
    QVariantMap map;
    map.insert(Error::CodeKey, static_cast<int>(m_code));
    if (m_code >= ReservedLow && m_code <= ReservedHigh)
        map.insert(Error::MessageKey, standardMessage());
    else if (!m_message.isEmpty())
        map.insert(Error::MessageKey, m_message);
    if (m_data.isValid())
        map.insert(KeyData, m_data);
    return map;
}

bool JsonRPCError::fromVariant(const QVariant &value)
{
    if (value.userType() != QMetaType::QVariantMap)
        return false;
    const QVariantMap map = value.toMap();
    m_data = map.value(KeyData);

    const auto code = map.constFind(Error::CodeKey);
    if (code == map.constEnd() || !isIntegerMetaType(code->userType()))
        return false;
    m_code = static_cast<qint16>(code->toLongLong());

    const auto message = map.constFind(Error::MessageKey);
    if (message != map.constEnd() && message->userType() != QMetaType::QString)
        return false;
    m_message = message == map.constEnd() ? QString() : message->toString();
    return true;
}

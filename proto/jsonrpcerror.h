#pragma once

#include "lodestar_export.h"

#include <QString>
#include <QVariant>

class Error;

// The error object of JSON-RPC 2.0 (section 5.1): a code, a message and optional data.
// Codes are 16-bit on our wire; the reserved range -32768..-32000 belongs to the protocol.
class LODESTAR_EXPORT JsonRPCError
{
public:
    enum StandardCode : qint16 {
        ParseError = -32700,
        InvalidRequest = -32600,
        MethodNotFound = -32601,
        InvalidParams = -32602,
        InternalError = -32603,
    };

    JsonRPCError() = default;
    JsonRPCError(qint16 code, const QString &message, const QVariant &data = QVariant());
    // Code truncated to 16 bits, the same message, data from error.data().
    explicit JsonRPCError(const Error &error);

    qint16 code() const { return m_code; }
    void setCode(qint16 code) { m_code = code; }
    const QString &message() const { return m_message; }
    void setMessage(const QString &message) { m_message = message; }
    const QVariant &data() const { return m_data; }
    void setData(const QVariant &data) { m_data = data; }

    // The fixed text of a standard code; empty for every other code.
    QString standardMessage() const { return standardMessage(m_code); }
    static QString standardMessage(qint16 code);

    // {"code", "message", "data"}: inside the reserved range -32767..-32000 the message is
    // always the standard one (empty for unassigned codes); elsewhere it is left out when
    // empty. "data" is written only when it holds a value of some type.
    QVariant toVariant() const;
    // False, with nothing changed, unless the value is a map. Otherwise "data" is taken as
    // it stands, "code" must be of an integer type and "message", when present, a string;
    // a false result keeps whatever was stored before the failing check.
    bool fromVariant(const QVariant &value);

private:
    qint16 m_code = 0;
    QString m_message;
    QVariant m_data;
};

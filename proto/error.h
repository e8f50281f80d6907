#pragma once

#include "lodestar_export.h"

#include <QMetaType>
#include <QString>
#include <QVariant>

// The one failure value of the system: a 32-bit code (0 means success) and a message.
// Derived classes may carry extra data through data().
class LODESTAR_EXPORT Error
{
public:
    Error() = default;
    Error(qint32 code, const QString &message = QString())
        : m_code(code)
        , m_message(message)
    {
    }
    virtual ~Error();

    Error(const Error &) = default;
    Error &operator=(const Error &) = default;

    qint32 code() const { return m_code; }
    void setCode(qint32 code) { m_code = code; }
    const QString &message() const { return m_message; }
    void setMessage(const QString &message) { m_message = message; }
    bool isError() const { return m_code != 0; }

    // Extra data of the error; the base has none (a null QVariant).
    virtual QVariant data() const;

    // The members of an error's map, shared with the JSON-RPC error object.
    static const QString CodeKey;    // "code"
    static const QString MessageKey; // "message"

    // Code of a JSON-RPC call that got no valid answer, or an error answer with a negative
    // code.
    static constexpr qint32 InvalidAnswerCode = 9;

    // {"code": code as unsigned 32-bit, "message": message}
    QVariant toVariant() const;
    // False, with nothing changed, unless the value is a map; false with the message kept
    // when "code" does not convert to an unsigned integer (the code then reads 0).
    bool fromVariant(const QVariant &value);

    // "%1: %2" of code and message, "<no message>" standing for an empty message.
    QString toString() const;

private:
    qint32 m_code = 0;
    QString m_message;
};

Q_DECLARE_METATYPE(Error)

// Registers Error under the name "Error" once; returns its type id.
LODESTAR_EXPORT int registerErrorMetaType();

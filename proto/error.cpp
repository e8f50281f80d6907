#include "error.h"

#include <QVariantMap>

const QString Error::CodeKey = QStringLiteral("code");
const QString Error::MessageKey = QStringLiteral("message");

Error::~Error() = default;

QVariant Error::data() const
{
    return QVariant();
}

QVariant Error::toVariant() const
{
    QVariantMap map;
    map.insert(CodeKey, static_cast<quint32>(m_code));
    map.insert(MessageKey, m_message);
    return map;
}

bool Error::fromVariant(const QVariant &value)
{
    if (value.type() != QVariant::Map)
        return false;
    const QVariantMap map = value.toMap();
    bool converted = false;
    const quint32 code = map.value(CodeKey).toUInt(&converted);
    m_code = converted ? static_cast<qint32>(code) : 0;
    if (!converted)
        return false;
    m_message = map.value(MessageKey).toString();
    return true;
}

QString Error::toString() const
{
    // One multi-argument arg() call, so that a message holding "%1" is not expanded again.
    return QStringLiteral("%1: %2").arg(QString::number(m_code),
                                        m_message.isEmpty() ? QStringLiteral("<no message>")
                                                            : m_message);
}

int registerErrorMetaType()
{
    static const int id = qRegisterMetaType<Error>("Error");
    return id;
}

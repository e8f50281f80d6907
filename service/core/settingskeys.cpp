#include "settingskeys.h"

#include <QStringList>

namespace SettingsKeys {

namespace {
const QString EntrySeparator = QStringLiteral(", ");
const QChar KeyValueSeparator = QLatin1Char(':');
} // namespace

QString agentUidsToText(const QMap<QString, QString> &agentUids)
{
    QString text;
    for (auto it = agentUids.constBegin(); it != agentUids.constEnd(); ++it)
        text += it.key() + KeyValueSeparator + it.value() + EntrySeparator;
    text.chop(EntrySeparator.size());
    return text;
}

QMap<QString, QString> agentUidsFromText(const QString &text)
{
    QMap<QString, QString> agentUids;
    const QStringList parts = text.split(EntrySeparator, Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QStringList pieces = part.split(KeyValueSeparator, Qt::SkipEmptyParts);
        if (pieces.size() < 2)
            continue;
        agentUids.insert(pieces.at(0), pieces.at(1));
    }
    return agentUids;
}

} // namespace SettingsKeys

#include "adapterrecord.h"

#include <QStringList>

QList<QHostAddress> AdapterRecord::parseServers(const QString &text, QChar *separator)
{
    QChar used = QLatin1Char(',');
    if (!text.contains(QLatin1Char(',')) && text.contains(QLatin1Char(' ')))
        used = QLatin1Char(' ');
    if (separator)
        *separator = used;
    QList<QHostAddress> servers;
    const QStringList parts = text.split(used, Qt::SkipEmptyParts);
    for (const QString &part : parts)
        servers.append(QHostAddress(part.trimmed()));
    return servers;
}

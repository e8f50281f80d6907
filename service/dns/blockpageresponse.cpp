#include "blockpageresponse.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace BlockPage {

const QString KeyBlockPage = QStringLiteral("blockpage");
const QString KeyHostName = QStringLiteral("hostname");
const QString KeyUrl = QStringLiteral("url");

const QString ForbiddenBody = QStringLiteral("<html><body>Please update Agent</body></html>");
const QString BadRequestBody = QStringLiteral("<html><body>Bad HTTP request</body></html>");

namespace {

const QString FallbackVersion = QStringLiteral("HTTP/1.1");

QHash<QString, QString> queryItems(const QString &target)
{
    QHash<QString, QString> items;
    const int question = target.indexOf(QLatin1Char('?'));
    if (question < 0)
        return items;
    const QStringList pieces = target.mid(question + 1).split(QLatin1Char('&'), Qt::SkipEmptyParts);
    for (const QString &piece : pieces) {
        const QStringList parts = piece.split(QLatin1Char('='));
        items.insert(parts.at(0), parts.size() > 1 ? parts.at(1) : QString());
    }
    return items;
}

QByteArray page(const QString &version, const QString &status, const QString &body, const QDateTime &now)
{
    const QByteArray bodyBytes = body.toUtf8();
    const QString head = QStringLiteral("%1 %2\r\nServer: Corvane Agent\r\n"
                                        "Content-Type: text/html; charset=UTF-8\r\n"
                                        "Connection: close\r\nContent-Length: %3\r\n%4\r\n\r\n")
                             .arg(version, status)
                             .arg(bodyBytes.size())
                             .arg(QString::fromLatin1(dateBlock(now)));
    return head.toUtf8() + bodyBytes;
}

} // namespace

HostAllowList HostAllowList::any()
{
    HostAllowList list;
    list.m_any = true;
    return list;
}

HostAllowList HostAllowList::fromEntries(const QStringList &entries)
{
    HostAllowList list;
    for (const QString &entry : entries) {
        const QString trimmed = entry.trimmed().toLower();
        if (!trimmed.isEmpty() && trimmed != QLatin1String("."))
            list.m_entries.append(trimmed);
    }
    return list;
}

bool HostAllowList::allows(const QString &host) const
{
    if (m_any)
        return true;
    const QString name = host.toLower();
    for (const QString &entry : m_entries) {
        if (entry.startsWith(QLatin1Char('.')) ? name.endsWith(entry) && name.size() > entry.size() : name == entry)
            return true;
    }
    return false;
}

bool isValidVersion(const QString &version)
{
    // Anchored on the whole text: a plain "$" would also match before a final line feed.
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("HTTP/[0-9]\\.[0-9]")));
    return pattern.match(version).hasMatch();
}

QByteArray dateBlock(const QDateTime &now)
{
    const QString moment = QLocale::c().toString(now.toUTC(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss"));
    return QStringLiteral("Date: %2 GMT\r\nCache-Control: no-cache,no-store,max-age=0,must-revalidate\r\n"
                          "Expires: %3 GMT")
        .arg(moment, moment)
        .toLatin1();
}

QString redirectUrl(const QString &target, quint32 token)
{
    const QHash<QString, QString> items = queryItems(target);
    const QString blockpage = items.value(KeyBlockPage);
    const QString hostname = items.value(KeyHostName);
    if (blockpage.isEmpty() || hostname.isEmpty())
        return QString();
    const QString scheme = blockpage.startsWith(QLatin1String("blockpage-tls"))
        ? QStringLiteral("https")
        : QStringLiteral("http");
    return QStringLiteral("%1://%2/blocked?hostname=%3&token=%4&url=%5")
        .arg(scheme, blockpage, hostname, QString::number(token), items.value(KeyUrl));
}

QByteArray answer(const QString &target, const QString &version, quint32 token, const QDateTime &now,
                  const HostAllowList &hosts)
{
    const QString url = redirectUrl(target, token);
    if (url.isEmpty())
        return page(version, QStringLiteral("403 Forbidden"), ForbiddenBody, now);
    const QUrl parsed(url, QUrl::TolerantMode);
    // A block page value that is no host name (spaces, brackets) gives no usable URL:
    // without a place to redirect to, the request is answered like an incomplete one.
    if (!parsed.isValid() || parsed.host().isEmpty() || !hosts.allows(parsed.host()))
        return page(version, QStringLiteral("403 Forbidden"), ForbiddenBody, now);
    const QByteArray location = parsed.toEncoded(QUrl::FullyEncoded);
    return QStringLiteral("%1 303 See Other\r\nLocation: %2\r\nConnection: close\r\n%3\r\n\r\n")
        .arg(version, QString::fromLatin1(location), QString::fromLatin1(dateBlock(now)))
        .toUtf8();
}

QByteArray badRequest(const QString &version, const QDateTime &now)
{
    return page(isValidVersion(version) ? version : FallbackVersion,
                QStringLiteral("400 Bad Request"), BadRequestBody, now);
}

} // namespace BlockPage

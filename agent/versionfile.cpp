#include "versionfile.h"

#include <QRegularExpression>

namespace VersionFile {

bool isValidVersion(const QString &text)
{
    // The rule's "{,3}" spelled out: PCRE reads "{,3}" as the literal text, and \d as any
    // Unicode digit, where a version holds ASCII digits.
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+(\\.[0-9]+){0,3}$"));
    return pattern.match(text).hasMatch();
}

QStringList components(const QString &version)
{
    QStringList parts = version.split(QLatin1Char('.'));
    for (QString &part : parts) {
        int zeros = 0;
        while (zeros < part.size() - 1 && part.at(zeros) == QLatin1Char('0'))
            ++zeros;
        part.remove(0, zeros);
    }
    while (parts.size() > 1 && parts.last() == QLatin1String("0"))
        parts.removeLast();
    return parts;
}

namespace {

// Decimal texts without leading zeros: the longer is the greater, else the text decides.
int compareNumbers(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

bool isNewer(const QString &offered, const QString &current)
{
    const QStringList offer = components(offered);
    const QStringList now = components(current);
    if (now.isEmpty())
        return true;
    for (int i = 0; i < offer.size(); ++i) {
        if (i >= now.size())
            return true;
        const int order = compareNumbers(offer.at(i), now.at(i));
        if (order != 0)
            return order > 0;
    }
    return false;
}

Offer parse(const QByteArray &body, const QString &currentVersion)
{
    Offer offer;
    const QByteArray bounded = body.left(int(MaximumBytes));
    int lineEnd = bounded.indexOf('\n');
    if (lineEnd < 0)
        lineEnd = bounded.size();
    offer.version = QString::fromUtf8(bounded.left(lineEnd)).trimmed();
    offer.valid = isValidVersion(offer.version);
    offer.newer = offer.valid && isNewer(offer.version, currentVersion);
    if (!offer.newer)
        return offer;
    int rest = qMin(lineEnd + 1, bounded.size());
    if (bounded.mid(rest, 3) == "dl:") {
        int end = bounded.indexOf('\n', rest);
        if (end < 0)
            end = bounded.size();
        offer.hasDownloadUrl = true;
        offer.downloadUrl = QUrl(QString::fromUtf8(bounded.mid(rest + 3, end - rest - 3)).trimmed(), QUrl::StrictMode);
        rest = qMin(end + 1, bounded.size());
    }
    offer.details = QString::fromUtf8(bounded.mid(rest)).trimmed();
    return offer;
}

} // namespace VersionFile

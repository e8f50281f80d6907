#include "output.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <unistd.h>

Output::Output(bool json)
    : m_json(json)
    , m_progressOnTerminal(isatty(STDERR_FILENO) == 1)
{
}

void Output::write(FILE *stream, const QByteArray &bytes)
{
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    fflush(stream);
}

void Output::line(const QString &text)
{
    if (!m_json)
        write(stdout, clean(text).toUtf8() + '\n');
}

void Output::table(const QList<QPair<QString, QString>> &rows)
{
    int width = 0;
    for (const auto &row : rows)
        width = qMax(width, row.first.size() + 1);
    for (const auto &row : rows) {
        const QStringList values = row.second.split(QLatin1Char('\n'));
        for (int i = 0; i < values.size(); ++i)
            line(QStringLiteral("%1  %2").arg(i == 0 ? row.first + QLatin1Char(':') : QString(), -width).arg(values.at(i)));
    }
}

void Output::text(const QString &text)
{
    if (m_json)
        return;
    QByteArray bytes = clean(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")), true).toUtf8();
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    write(stdout, bytes);
}

void Output::error(const QString &text)
{
    progressDone();
    write(stderr, clean(text).toUtf8() + '\n');
}

void Output::progress(const QString &text)
{
    if (m_progressShown && !m_progressOnTerminal)
        return;
    const QByteArray bytes = clean(text).toUtf8();
    write(stderr, m_progressOnTerminal ? "\r\033[K" + bytes : bytes + '\n');
    m_progressShown = true;
}

void Output::progressDone()
{
    if (m_progressShown && m_progressOnTerminal)
        write(stderr, "\n");
    m_progressShown = false;
}

QByteArray Output::toJson(const QVariantMap &object)
{
    return QJsonDocument(QJsonObject::fromVariantMap(object)).toJson(QJsonDocument::Compact);
}

void Output::printJson()
{
    if (m_json)
        write(stdout, toJson(m_object) + '\n');
}

void Output::jsonLine(const QVariantMap &object)
{
    write(stdout, toJson(object) + '\n');
}

QString Output::clean(const QString &text, bool multiline)
{
    QString result = text;
    for (QChar &c : result) {
        const ushort u = c.unicode();
        const bool kept = multiline && (u == '\n' || u == '\t');
        const bool control = u < 0x20 || (u >= 0x7f && u <= 0x9f);
        const bool direction = (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
        if ((control && !kept) || direction)
            c = QLatin1Char('?');
    }
    return result;
}

#include "httprequestparser.h"

#include <QList>
#include <QStringList>

namespace {

const QByteArray HeadTerminator = QByteArrayLiteral("\r\n\r\n");
const QByteArray LineBreak = QByteArrayLiteral("\r\n");

} // namespace

int HttpRequestParser::room() const
{
    if (m_state != Reading)
        return 0;
    return MaxHeaderBlock + HeadTerminator.size() - m_buffer.size();
}

HttpRequestParser::State HttpRequestParser::feed(const QByteArray &data)
{
    if (m_state != Reading || data.isEmpty())
        return m_state;
    // A terminator split across two reads is found because the search starts a few bytes
    // before the new data.
    const int searchFrom = qMax(0, m_buffer.size() - (HeadTerminator.size() - 1));
    m_buffer.append(data.left(room()));
    const int headEnd = m_buffer.indexOf(HeadTerminator, searchFrom);
    if (headEnd < 0 || headEnd > MaxHeaderBlock) {
        if (m_buffer.size() > MaxHeaderBlock)
            m_state = Bad;
        return m_state;
    }
    m_state = parse(headEnd);
    m_buffer.clear();
    m_buffer.squeeze();
    return m_state;
}

HttpRequestParser::State HttpRequestParser::parse(int headEnd)
{
    // The head up to, but not including, the empty line; split into its lines.
    const QByteArray head = m_buffer.left(headEnd);
    int lineEnd = head.indexOf(LineBreak);
    if (lineEnd < 0)
        lineEnd = head.size();

    // Latin-1 up to a zero byte; split at every single space, empty parts kept.
    const QString requestLine = QString::fromLatin1(head.left(lineEnd).constData());
    const QStringList parts = requestLine.split(QLatin1Char(' '));
    if (parts.size() != 3)
        return Bad;
    m_target = parts.at(1);
    m_version = parts.at(2);

    int pos = lineEnd + LineBreak.size();
    while (pos < head.size()) {
        int end = head.indexOf(LineBreak, pos);
        if (end < 0)
            end = head.size();
        const QByteArray line = head.mid(pos, end - pos);
        pos = end + LineBreak.size();
        const int colon = line.indexOf(':');
        if (colon < 0)
            return Bad;
        if (line.left(colon).toLower() == "host")
            m_host = QString::fromLatin1(line.mid(colon + 1).trimmed());
    }
    return Ready;
}

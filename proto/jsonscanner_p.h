#pragma once

//
//  W A R N I N G
//  -------------
//
// This file is not part of the lodestar API. It serves the direct readers of large texts
// and may change from one build to the next without notice.
//

#include <QLatin1String>
#include <QtGlobal>

// A forward reader of the plain form of JSON text: ASCII white space, strings of printable
// ASCII without escapes, and positive decimal integers without sign, fraction, exponent or
// leading zero. Texts in that form are read by QxtJSON exactly as by any JSON parser, so a
// direct reader built on it yields what the generic path would; a reader that meets
// anything else gives up, and its caller hands the text to the generic path, which decides.
// The work is one pass over the text, whatever it holds.
class JsonScanner
{
public:
    JsonScanner(const char *begin, const char *end)
        : m_pos(begin)
        , m_end(end)
    {
    }

    const char *position() const { return m_pos; }
    void setPosition(const char *position) { m_pos = position; }
    const char *end() const { return m_end; }

    void skipSpace()
    {
        while (m_pos < m_end && (*m_pos == ' ' || (*m_pos >= '\t' && *m_pos <= '\r')))
            ++m_pos;
    }

    bool take(char c)
    {
        skipSpace();
        if (m_pos >= m_end || *m_pos != c)
            return false;
        ++m_pos;
        return true;
    }

    bool atEnd()
    {
        skipSpace();
        return m_pos == m_end;
    }

    // The characters between the quotes; they stay in the scanned text.
    bool plainString(QLatin1String *text)
    {
        if (!take('"'))
            return false;
        const char *start = m_pos;
        for (; m_pos < m_end; ++m_pos) {
            const uchar c = uchar(*m_pos);
            if (c == '"') {
                *text = QLatin1String(start, int(m_pos - start));
                ++m_pos;
                return true;
            }
            if (c < 0x20 || c > 0x7e || c == '\\')
                return false;
        }
        return false;
    }

    // From 1 to maximum.
    bool positiveInteger(quint64 maximum, quint64 *value)
    {
        skipSpace();
        const char *start = m_pos;
        if (m_pos >= m_end || *m_pos < '1' || *m_pos > '9')
            return false;
        quint64 v = 0;
        while (m_pos < m_end && *m_pos >= '0' && *m_pos <= '9') {
            // 19 digits could overflow; no value we read has more than 10.
            if (m_pos - start >= 18)
                return false;
            v = v * 10 + quint64(*m_pos++ - '0');
        }
        if (v > maximum)
            return false;
        *value = v;
        return true;
    }

    // '{' members '}', each member's value read by member(key); a key seen twice is left
    // to the member reader to refuse.
    template <typename Member>
    bool object(Member member)
    {
        if (!take('{'))
            return false;
        if (take('}'))
            return true;
        do {
            QLatin1String key;
            if (!plainString(&key) || !take(':') || !member(key))
                return false;
        } while (take(','));
        return take('}');
    }

    // '[' elements ']', each read by element().
    template <typename Element>
    bool array(Element element)
    {
        if (!take('['))
            return false;
        if (take(']'))
            return true;
        do {
            if (!element())
                return false;
        } while (take(','));
        return take(']');
    }

private:
    const char *m_pos;
    const char *m_end;
};

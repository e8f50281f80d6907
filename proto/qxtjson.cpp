#include "qxtjson.h"

#include <QStringList>
#include <QVariantHash>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <limits>

namespace {

// ---------------------------------------------------------------------------------------
// Writer
// ---------------------------------------------------------------------------------------

class Writer
{
public:
    explicit Writer(QString &out)
        : m_out(out)
    {
    }

    void value(const QVariant &value);
    void quotedEscaped(const QString &text);

private:
    void latin1(const char *text, int size) { m_out.append(QLatin1String(text, size)); }
    template<typename Unsigned>
    void digits(Unsigned magnitude, bool negative);
    void quotedRaw(const QString &text);
    template<typename Container>
    void object(const Container &object);
    void list(const QVariantList &list);
    void stringList(const QStringList &list);

    QString &m_out;
};

template<typename Unsigned>
void Writer::digits(Unsigned magnitude, bool negative)
{
    QChar buffer[24];
    int pos = 24;
    do {
        buffer[--pos] = QLatin1Char(char('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude);
    if (negative)
        buffer[--pos] = QLatin1Char('-');
    m_out.append(buffer + pos, 24 - pos);
}

void Writer::quotedRaw(const QString &text)
{
    m_out.append(QLatin1Char('"'));
    m_out.append(text);
    m_out.append(QLatin1Char('"'));
}

// Only these eight characters are escaped; every other one, control characters and
// non-ASCII text included, is copied as it stands (peers expect no \u escapes).
void Writer::quotedEscaped(const QString &text)
{
    m_out.append(QLatin1Char('"'));
    const QChar *begin = text.constData();
    const QChar *end = begin + text.size();
    const QChar *run = begin;
    for (const QChar *p = begin; p != end; ++p) {
        const ushort c = p->unicode();
        char escaped;
        switch (c) {
        case '\b': escaped = 'b'; break;
        case '\f': escaped = 'f'; break;
        case '\n': escaped = 'n'; break;
        case '\r': escaped = 'r'; break;
        case '\t': escaped = 't'; break;
        case '\\': escaped = '\\'; break;
        case '/': escaped = '/'; break;
        case '"': escaped = '"'; break;
        default: continue;
        }
        if (p != run)
            m_out.append(run, int(p - run));
        const QChar pair[2] = {QLatin1Char('\\'), QLatin1Char(escaped)};
        m_out.append(pair, 2);
        run = p + 1;
    }
    if (end != run)
        m_out.append(run, int(end - run));
    m_out.append(QLatin1Char('"'));
}

// Maps and hashes are written alike; only their iteration order differs.
template<typename Container>
void Writer::object(const Container &object)
{
    m_out.append(QLatin1Char('{'));
    bool first = true;
    for (auto it = object.cbegin(), end = object.cend(); it != end; ++it) {
        if (!first)
            m_out.append(QLatin1Char(','));
        first = false;
        quotedRaw(it.key());
        m_out.append(QLatin1Char(':'));
        value(it.value());
    }
    m_out.append(QLatin1Char('}'));
}

void Writer::list(const QVariantList &list)
{
    m_out.append(QLatin1Char('['));
    bool first = true;
    for (const QVariant &element : list) {
        if (!first)
            m_out.append(QLatin1Char(','));
        first = false;
        value(element);
    }
    m_out.append(QLatin1Char(']'));
}

void Writer::stringList(const QStringList &list)
{
    m_out.append(QLatin1Char('['));
    bool first = true;
    for (const QString &element : list) {
        if (!first)
            m_out.append(QLatin1Char(','));
        first = false;
        quotedRaw(element);
    }
    m_out.append(QLatin1Char(']'));
}

// The order of the checks matters: a null QString (never assigned) is written as null,
// before its type is looked at.
void Writer::value(const QVariant &value)
{
    if (value.isNull()) {
        latin1("null", 4);
        return;
    }
    switch (value.userType()) {
    case QMetaType::Bool:
        if (value.toBool())
            latin1("true", 4);
        else
            latin1("false", 5);
        return;
    case QMetaType::Int: {
        const qint64 v = value.toInt();
        digits(quint64(v < 0 ? -v : v), v < 0);
        return;
    }
    case QMetaType::LongLong: {
        const qint64 v = value.toLongLong();
        // Negation through unsigned arithmetic keeps LLONG_MIN exact.
        digits(v < 0 ? quint64(0) - quint64(v) : quint64(v), v < 0);
        return;
    }
    case QMetaType::UInt:
        digits(quint64(value.toUInt()), false);
        return;
    case QMetaType::ULongLong:
        digits(value.toULongLong(), false);
        return;
    case QMetaType::Double:
        m_out.append(QString::number(value.toDouble(), 'g', 6));
        return;
    case QMetaType::QVariantMap:
        object(*static_cast<const QVariantMap *>(value.constData()));
        return;
    case QMetaType::QVariantList:
        list(*static_cast<const QVariantList *>(value.constData()));
        return;
    case QMetaType::QStringList:
        stringList(*static_cast<const QStringList *>(value.constData()));
        return;
    case QMetaType::QVariantHash:
        object(*static_cast<const QVariantHash *>(value.constData()));
        return;
    case QMetaType::QString:
        quotedEscaped(*static_cast<const QString *>(value.constData()));
        return;
    default:
        quotedEscaped(value.toString());
        return;
    }
}

// ---------------------------------------------------------------------------------------
// Parser: one forward scan; an error stops every level at once and the result is null.
// ---------------------------------------------------------------------------------------

class Parser
{
public:
    Parser(const ushort *begin, const ushort *end)
        : m_pos(begin)
        , m_end(end)
    {
    }

    QVariant document();

private:
    static bool isSpace(ushort c)
    {
        if (c < 0x80)
            return c == ' ' || (c >= '\t' && c <= '\r');
        return QChar::isSpace(uint(c));
    }
    static bool isDigit(ushort c)
    {
        if (c < 0x80)
            return c >= '0' && c <= '9';
        return QChar::isDigit(uint(c));
    }
    static bool isNumberChar(ushort c)
    {
        return isDigit(c) || c == '.' || c == 'e' || c == 'E' || c == '-' || c == '+';
    }
    void skipSpace()
    {
        while (m_pos < m_end && isSpace(*m_pos))
            ++m_pos;
    }
    QVariant fail()
    {
        m_error = true;
        return QVariant();
    }

    QVariant valueStartingWith(ushort c);
    QVariant object();
    QVariant array();
    QString string();
    QString key();
    QVariant literal();
    QVariant number(const ushort *start);

    const ushort *m_pos;
    const ushort *m_end;
    int m_depth = 0;
    bool m_error = false;
    // Objects of one document mostly repeat the same keys: a direct-mapped cache hands out
    // shared copies instead of allocating every key again.
    static constexpr int KeyCacheSize = 64;
    QString m_keyCache[KeyCacheSize];
};

QVariant Parser::document()
{
    skipSpace();
    if (m_pos >= m_end)
        return QVariant();
    const QVariant result = valueStartingWith(*m_pos++);
    // Whatever text follows the first value is ignored.
    return m_error ? QVariant() : result;
}

// c has just been consumed.
QVariant Parser::valueStartingWith(ushort c)
{
    switch (c) {
    case '{':
        return object();
    case '[':
        return array();
    case '"': {
        QString s = string();
        return m_error ? QVariant() : QVariant(s);
    }
    default:
        --m_pos;
        return literal();
    }
}

// object: '{' then keys and values in any arrangement; commas and colons are skipped
// wherever they stand, a string is a key when none is pending and its value otherwise.
QVariant Parser::object()
{
    if (++m_depth > QxtJSON::MaxDepth)
        return fail();
    QVariantMap map;
    QString key;
    bool keyPending = false;
    // Keys usually arrive in ascending order (we write maps that way): append with a hint.
    bool appendable = true;
    QString lastKey;
    auto store = [&](const QVariant &value) {
        if (appendable && (map.isEmpty() || lastKey < key)) {
            map.insert(map.cend(), key, value);
            lastKey = key;
        } else {
            appendable = false;
            map.insert(key, value);
        }
        keyPending = false;
    };

    skipSpace();
    for (;;) {
        if (m_pos >= m_end)
            return fail();
        const ushort c = *m_pos++;
        if (c == '}')
            break;
        if (c == ',' || c == ':') {
            skipSpace();
            continue;
        }
        if (c == '"') {
            if (keyPending) {
                QString s = string();
                if (m_error)
                    return QVariant();
                store(s);
            } else {
                key = this->key();
                if (m_error)
                    return QVariant();
                keyPending = true;
            }
        } else {
            if (!keyPending)
                return fail();
            QVariant v = valueStartingWith(c);
            if (m_error)
                return QVariant();
            store(v);
        }
        skipSpace();
    }
    --m_depth;
    return map;
}

// array: '[' then values in order; commas are skipped wherever they stand.
QVariant Parser::array()
{
    if (++m_depth > QxtJSON::MaxDepth)
        return fail();
    QVariantList list;
    skipSpace();
    for (;;) {
        if (m_pos >= m_end)
            return fail();
        const ushort c = *m_pos++;
        if (c == ']')
            break;
        if (c == ',') {
            skipSpace();
            continue;
        }
        QVariant v = valueStartingWith(c);
        if (m_error)
            return QVariant();
        list.append(std::move(v));
        skipSpace();
    }
    --m_depth;
    return list;
}

int hexValue(ushort c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// string: characters up to the next unescaped '"'. \b \f \n \r \t map to their control
// characters, \uXXXX to that UTF-16 code unit (nothing when XXXX is not hexadecimal), and
// a backslash before any other character yields that character (so \/ is /, \x is x).
QString Parser::string()
{
    const ushort *start = m_pos;
    while (m_pos < m_end && *m_pos != '"' && *m_pos != '\\')
        ++m_pos;
    if (m_pos >= m_end) {
        m_error = true;
        return QString();
    }
    if (*m_pos == '"') {
        QString plain(reinterpret_cast<const QChar *>(start), int(m_pos - start));
        ++m_pos;
        return plain;
    }

    QString out;
    out.reserve(int(m_pos - start) + 16);
    out.append(reinterpret_cast<const QChar *>(start), int(m_pos - start));
    for (;;) {
        const ushort *run = m_pos;
        while (m_pos < m_end && *m_pos != '"' && *m_pos != '\\')
            ++m_pos;
        if (m_pos != run)
            out.append(reinterpret_cast<const QChar *>(run), int(m_pos - run));
        if (m_pos >= m_end)
            break;
        if (*m_pos++ == '"')
            return out;
        if (m_pos >= m_end)
            break;
        const ushort e = *m_pos++;
        switch (e) {
        case 'b': out.append(QChar(u'\b')); break;
        case 'f': out.append(QChar(u'\f')); break;
        case 'n': out.append(QChar(u'\n')); break;
        case 'r': out.append(QChar(u'\r')); break;
        case 't': out.append(QChar(u'\t')); break;
        case 'u': {
            if (m_end - m_pos < 4) {
                m_pos = m_end;
                break;
            }
            int unit = 0;
            for (int i = 0; i < 4 && unit >= 0; ++i) {
                const int h = hexValue(m_pos[i]);
                unit = h < 0 ? -1 : unit * 16 + h;
            }
            m_pos += 4;
            if (unit >= 0)
                out.append(QChar(ushort(unit)));
            break;
        }
        default:
            out.append(QChar(e));
            break;
        }
    }
    m_error = true;
    return QString();
}

// A key: read like any string, shared with an earlier equal key when the cache has one.
QString Parser::key()
{
    const ushort *start = m_pos;
    const ushort *p = m_pos;
    while (p < m_end && *p != '"' && *p != '\\')
        ++p;
    if (p >= m_end || *p != '"')
        return string(); // escapes or an unterminated text: the general path decides
    const int length = int(p - start);
    const uint slot = (uint(length) * 31u + (length ? start[0] * 7u + start[length - 1] : 0u))
            % KeyCacheSize;
    QString &cached = m_keyCache[slot];
    m_pos = p + 1;
    if (cached.size() == length && !cached.isNull()
        && std::equal(start, p, reinterpret_cast<const ushort *>(cached.constData()))) {
        return cached;
    }
    cached = QString(reinterpret_cast<const QChar *>(start), length);
    return cached;
}

// literal: true, false, null or a number. The letters after t, f and n are consumed
// without being checked; any other character before the literal is skipped.
QVariant Parser::literal()
{
    while (m_pos < m_end) {
        const ushort c = *m_pos++;
        switch (c) {
        case 't':
            m_pos += qMin<qptrdiff>(3, m_end - m_pos);
            return true;
        case 'f':
            m_pos += qMin<qptrdiff>(4, m_end - m_pos);
            return false;
        case 'n':
            m_pos += qMin<qptrdiff>(3, m_end - m_pos);
            return QVariant();
        default:
            if (c == '-' || isDigit(c))
                return number(m_pos - 1);
            break;
        }
    }
    return fail();
}

// number: a run of digits, '.', 'e', 'E', '-' and '+'. With a '.' it is a double;
// otherwise an int when it fits, else a long long, else long long 0 ("1e3" included).
QVariant Parser::number(const ushort *start)
{
    bool hasPoint = false;
    bool plainDecimal = true; // optional leading '-', then ASCII digits only
    while (m_pos < m_end && isNumberChar(*m_pos)) {
        const ushort c = *m_pos;
        if (c == '.')
            hasPoint = true;
        if (!(c >= '0' && c <= '9'))
            plainDecimal = false;
        ++m_pos;
    }
    const int length = int(m_pos - start);
    const QString text = QString::fromRawData(reinterpret_cast<const QChar *>(start), length);
    if (hasPoint)
        return text.toDouble();

    const bool negative = *start == '-';
    if (!(*start >= '0' && *start <= '9') && !negative)
        plainDecimal = false;
    const int digitCount = length - (negative ? 1 : 0);
    if (plainDecimal && digitCount > 0 && digitCount <= 18) {
        qint64 v = 0;
        for (const ushort *p = start + (negative ? 1 : 0); p != m_pos; ++p)
            v = v * 10 + (*p - '0');
        if (negative)
            v = -v;
        if (v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max())
            return int(v);
        return v;
    }
    bool ok = false;
    const int i = text.toInt(&ok, 10);
    if (ok)
        return i;
    return text.toLongLong(nullptr, 10);
}

} // namespace

QString QxtJSON::stringify(const QVariant &value)
{
    QString out;
    Writer(out).value(value);
    return out;
}

void QxtJSON::appendString(QString &out, const QString &text)
{
    Writer writer(out);
    if (text.isNull())
        out.append(QLatin1String("null"));
    else
        writer.quotedEscaped(text);
}

QVariant QxtJSON::parse(const QString &text)
{
    const ushort *begin = text.utf16();
    Parser parser(begin, begin + text.size());
    return parser.document();
}

#pragma once

#include "lodestar_export.h"

#include <QString>
#include <QVariant>

// The JSON text codec of our wire (local IPC and the account web service).
//
// The in-memory form is a QVariant of QVariantMap, QVariantList and scalars. Peers are
// written against this very codec, so its lenient habits are part of the contract and must
// stay: map keys and QStringList elements are written without escaping, doubles use the 'g'
// format with 6 significant digits, no \u escapes are written, the parser skips stray
// characters where a literal belongs, does not check the letters after t/f/n, ignores the
// placement of commas and colons, reads 007 as 7 and an exponent without a point ("1e3")
// as long long 0, and reads only the first value of the text.
//
// Robustness: the parser is a bounded forward scan; a nesting deeper than MaxDepth levels
// yields a null result instead of exhausting the stack.
class LODESTAR_EXPORT QxtJSON
{
public:
    static constexpr int MaxDepth = 1024;

    // JSON text of a value; no white space is written.
    static QString stringify(const QVariant &value);
    // Appends the JSON text of a string value to out, exactly as stringify() writes it
    // (a null string as null), for writers that build large texts without a QVariant tree.
    static void appendString(QString &out, const QString &text);
    // The first value of the text. A null QVariant stands both for the literal null and for
    // a text that could not be parsed.
    static QVariant parse(const QString &text);

    QxtJSON() = delete;
};

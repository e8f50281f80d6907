#pragma once

//
//  W A R N I N G
//  -------------
//
// This file is not part of the lodestar API. It holds the reading rules that every account
// record shares, and may change from one build to the next without notice.
//

#include <QHostAddress>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <limits>

namespace RecordReader {

// The account records arrive from three places that do not trust each other (the account
// web service, the cache on disk, the IPC peer), so every conversion is strict: a number
// that does not fit the field is a failed conversion, never a silently wrapped value.

// True for the two shapes of a JSON object in memory.
bool isMap(const QVariant &value);
// True for the two shapes of a JSON array in memory.
bool isList(const QVariant &value);
// True when the value holds one of the integer types (not a double, string or boolean).
bool isIntegerType(const QVariant &value);
// True when the value holds a boolean (not a number or a string that could become one).
bool isBooleanType(const QVariant &value);

// Conversions with an explicit outcome. They fail for values that are null, containers,
// out of range, fractional, or text that is not a decimal number; *ok tells which.
quint32 toUInt32(const QVariant &value, bool *ok);
qint32 toInt32(const QVariant &value, bool *ok);

// An address from the value's text; an invalid address when the value is not a string or
// does not parse.
QHostAddress toAddress(const QVariant &value);

// The outcome of a typed read of one key of a map.
enum class Read {
    Absent,         // the key is missing: the field takes its default, the read fails
    NotConvertible, // the value cannot become the wanted type: as Absent
    Failed,         // the value could, but its conversion failed: zero/false/empty, present
    Converted,      // the field holds the value, present
};

// A read "counts as present" when the key was there with a convertible value, even if the
// conversion itself failed.
inline bool isPresent(Read read)
{
    return read == Read::Failed || read == Read::Converted;
}

// Typed reads. On Absent and NotConvertible the field is left as it is, so that a caller
// that has a default sets it first; on Failed it gets 0, false or an empty string.
Read readString(const QVariantMap &map, const QString &key, QString *field);
Read readUInt32(const QVariantMap &map, const QString &key, quint32 *field);
Read readBool(const QVariantMap &map, const QString &key, bool *field);

// Typed read with a default: the field gets the default unless the read counts as present.
template <typename T, typename ReadFunction>
bool readWithDefault(ReadFunction read, const QVariantMap &map, const QString &key, T *field,
                     const T &fallback)
{
    T value = fallback;
    const Read outcome = read(map, key, &value);
    *field = isPresent(outcome) ? value : fallback;
    return isPresent(outcome);
}

// All-or-nothing reading of a JSON array into a container: the container is cleared; when
// the value is not a list, or when readElement returns false for any element, it is cleared
// again and the result is false. readElement(const QVariant &, Element *) fills one element.
template <typename Container, typename ReadElement>
bool readList(const QVariant &value, Container *out, ReadElement readElement)
{
    out->clear();
    if (!isList(value))
        return false;
    const QVariantList items = value.toList();
    out->reserve(items.size());
    for (const QVariant &item : items) {
        typename Container::value_type element{};
        if (!readElement(item, &element)) {
            out->clear();
            return false;
        }
        out->append(element);
    }
    return true;
}

// The JSON array of the elements' toVariant forms.
template <typename Container>
QVariant writeList(const Container &container)
{
    QVariantList items;
    items.reserve(container.size());
    for (const auto &element : container)
        items.append(element.toVariant());
    return items;
}

// "yes" or "no", as the records' toString forms write flags.
inline QString yesNo(bool flag)
{
    return flag ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace RecordReader

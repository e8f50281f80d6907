#include "dnsname.h"

#include <QList>

namespace DNS {

namespace {

const QString InvalidLabelSize = QStringLiteral("invalid label size");
const QString UnhandledLabel = QStringLiteral("out of buffer or unhandled label type");
const QString OffsetOutOfRange = QStringLiteral("compression offset is out of range");
const QString NameTooLong = QStringLiteral("name is longer than 255 bytes");
const QString TooManyPointers = QStringLiteral("name follows too many compression pointers");

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

thread_local quint64 steps = 0;

} // namespace

quint64 nameReadSteps()
{
    return steps;
}

bool readName(const QByteArray &message, quint16 *cursor, QByteArray *name, QString *error)
{
    const int size = message.size();
    const auto *data = reinterpret_cast<const uchar *>(message.constData());
    int pos = *cursor;
    int resume = -1; // where the caller's cursor goes once a pointer was followed
    int previousTarget = -1;
    int hops = 0;
    int wireLength = 1; // the final zero byte
    QByteArray result;

    auto stop = [&](const QString &text) {
        *cursor = quint16(resume >= 0 ? resume : qMin(pos, 0xFFFF));
        return fail(error, text);
    };

    for (;;) {
        if (pos >= size)
            return stop(QString());
        ++steps;
        const uchar length = data[pos++];
        if (length == 0)
            break;
        if ((length & 0xC0) == 0) {
            // The label must leave room for at least the byte that follows it.
            if (pos + length >= size)
                return stop(InvalidLabelSize);
            wireLength += length + 1;
            if (wireLength > MaxNameLength)
                return stop(NameTooLong);
            if (!result.isEmpty())
                result.append('.');
            result.append(reinterpret_cast<const char *>(data + pos), length);
            pos += length;
            continue;
        }
        if ((length & 0xC0) != 0xC0 || pos >= size)
            return stop(UnhandledLabel);
        const int pointerOffset = pos - 1;
        const int target = ((length & 0x3F) << 8) | data[pos++];
        if (target < 12 || target >= pointerOffset
            || (previousTarget >= 0 && target >= previousTarget))
            return stop(OffsetOutOfRange);
        // A followed pointer counts with its two bytes, as if the labels it stands for
        // were written out: otherwise names that are bare pointers to the previous name
        // make checking a message quadratic in its size.
        wireLength += 2;
        if (wireLength > MaxNameLength)
            return stop(NameTooLong);
        if (++hops > MaxPointerHops)
            return stop(TooManyPointers);
        if (resume < 0)
            resume = pos;
        previousTarget = target;
        pos = target;
    }
    *cursor = quint16(resume >= 0 ? resume : pos);
    *name = result;
    return true;
}

bool isEncodableName(const QByteArray &name)
{
    if (name.isEmpty() || name == ".")
        return true;
    QByteArray body = name;
    if (body.endsWith('.'))
        body.chop(1);
    if (body.size() + 2 > MaxNameLength)
        return false;
    const QList<QByteArray> labels = body.split('.');
    for (const QByteArray &label : labels) {
        if (label.isEmpty() || label.size() > MaxLabelLength)
            return false;
    }
    return true;
}

bool writeName(QByteArray *out, const QByteArray &name)
{
    if (!isEncodableName(name))
        return false;
    QByteArray body = name;
    if (body.endsWith('.'))
        body.chop(1);
    if (!body.isEmpty()) {
        const QList<QByteArray> labels = body.split('.');
        for (const QByteArray &label : labels) {
            out->append(char(label.size()));
            out->append(label);
        }
    }
    out->append('\0');
    return true;
}

} // namespace DNS

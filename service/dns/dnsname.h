#pragma once

#include <QByteArray>
#include <QString>

namespace DNS {

// Largest name on the wire (RFC 1035 2.3.4: "names - 255 octets or less"), length bytes
// and the final zero byte included.
constexpr int MaxNameLength = 255;
// RFC 1035 2.3.4: "labels - 63 octets or less".
constexpr int MaxLabelLength = 63;
// Compression pointers followed for one name. Real messages chain a few at most (a name
// pointing at a suffix that itself ends in a pointer); the cap keeps a crafted message of
// bare pointers cheap to check.
constexpr int MaxPointerHops = 16;

// Reads the name that begins at *cursor in message (RFC 1035 4.1.4).
//
//   <domain-name> ::= { <label> } ( 0x00 | <pointer> )
//   <label>       ::= <length 1..63> <length bytes>
//   <pointer>     ::= 11xxxxxx xxxxxxxx   (14-bit offset from the start of the message)
//
// Labels are joined with "." as they stand (no escaping, no case change); the root is the
// empty string. On success *cursor ends just past the name where it began (after the first
// pointer when one was followed) and *name holds the result.
//
// Every pointer must point at or after offset 12, before its own offset and, from the
// second one on, strictly before the target of the previous pointer: targets strictly
// decrease, so a crafted name can never loop. The name may not exceed MaxNameLength, every
// pointer followed counts two bytes towards it, and at most MaxPointerHops are followed, so
// reading one name visits a bounded number of labels and pointers whatever the message
// holds: checking a message costs time linear in its size.
//
// On failure *name is left unchanged, *error (when given) receives the reason ("" when the
// name runs past the end of the message) and *cursor ends where reading stopped in the
// original stream, so that a caller skipping the record always moves on.
bool readName(const QByteArray &message, quint16 *cursor, QByteArray *name, QString *error = nullptr);

// Labels and pointers visited by readName() on this thread so far; tests and benchmarks
// bound the work of reading a message with it.
quint64 nameReadSteps();

// Appends name as length-prefixed labels closed by a zero byte, without compression.
// A trailing "." is accepted. Returns false, appending nothing, for a name that cannot be
// encoded (an empty or over-long label, or more than MaxNameLength bytes on the wire).
bool writeName(QByteArray *out, const QByteArray &name);

// True when writeName() would accept name.
bool isEncodableName(const QByteArray &name);

} // namespace DNS

#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// Small helpers shared by the test programs.
namespace TestSupport {

// Bytes from a hex text that may contain blanks ("00 FF ED" or "00ffed").
QByteArray hex(const char *text);

// A fresh, empty directory under the test's scratch folder (TMPDIR, set by
// run-isolated.sh), named after the caller's choice.
QString scratchDirectory(const QString &name);

// A loopback port that is free for both UDP and TCP at the time of asking; 0 when none
// was found.
quint16 freeLoopbackPort();

// Writes bytes to a file, creating parent folders; returns false on any failure.
bool writeFile(const QString &path, const QByteArray &bytes);

// The compact JSON text of the value at a path of keys and array indexes separated by
// "/" ("profiles/0/name"); "null" where the path leads nowhere.
QString jsonAt(const QJsonObject &object, const QString &path);

} // namespace TestSupport

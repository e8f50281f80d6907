#pragma once

#include <QString>

// Writes a text file whole or not at all: the text goes into a new file of its own in the
// same folder (created exclusively, so nothing planted there is opened), is flushed to the
// disk, and then takes the chosen name in one rename. The rename replaces whatever has
// that name, a symbolic link included, and never writes through a link into another file.
// A failure removes the new file and leaves the folder as it was.
namespace ReportFile {

// An empty text on success, else what went wrong.
QString write(const QString &path, const QByteArray &bytes);

} // namespace ReportFile

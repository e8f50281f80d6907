#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file in one step (a new file in the same folder renamed over it), so that a
// reader never sees half a resolv.conf. Unlike QSaveFile it replaces a symbolic link
// itself instead of writing through it, since the link's target belongs to another
// program (systemd-resolved's stub file, resolvconf's).
namespace FileReplace {

// A regular file with the given content and mode; false (and *error) on failure, the old
// file left in place.
bool withContent(const QString &path, const QByteArray &content, QString *error, unsigned mode = 0644);
// A symbolic link to target.
bool withSymlink(const QString &path, const QString &target, QString *error);

} // namespace FileReplace

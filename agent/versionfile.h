#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

// The update location's version file and the version rule:
//
//   line 1      the offered version, one to four dot-separated decimal numbers
//   line 2      optional: "dl:" and the installer's address (an encoded URL), as its first
//               three bytes
//   the rest    release notes (UTF-8), trimmed
//
// The file comes from the network, so it is read as untrusted bytes: at most
// MaximumBytes, in one pass.
namespace VersionFile {

constexpr qint64 MaximumBytes = 64 * 1024;

struct Offer
{
    QString version;       // line 1, trimmed
    bool valid = false;    // line 1 is a version
    bool newer = false;    // valid and newer than the current version
    bool hasDownloadUrl = false;
    QUrl downloadUrl;      // from "dl:", when present; may be invalid
    QString details;       // read only for a newer version
};

// "^\d+(\.\d+){,3}$"
bool isValidVersion(const QString &text);
// The components as numbers in decimal text without leading zeros, trailing zero
// components removed ("3.2.0.0" and "3.2" give the same; "0.0" gives "0"). Numbers of any
// length compare exactly.
QStringList components(const QString &version);
// Walks the offered components: newer when the current list is empty, when at the first
// differing position the offered one is greater, or when the current list ends first.
bool isNewer(const QString &offered, const QString &current);

Offer parse(const QByteArray &body, const QString &currentVersion);

} // namespace VersionFile

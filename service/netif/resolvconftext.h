#pragma once

#include "adapterdnsbackend.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>

// The text of resolv.conf(5) and of resolvconf's interface records, which share its form:
// "nameserver ADDRESS" lines, "search"/"domain"/"options" lines, '#' or ';' comments.
namespace ResolvConfText {

// At most this much of a file is read; resolv.conf files are a few hundred bytes.
constexpr qint64 MaxFileSize = 65536;

// The addresses of the "nameserver" lines of one family, in file order.
QList<QHostAddress> nameservers(const QByteArray &content, AdapterDnsBackend::Family family);

// The service's own file: a comment naming its writer and how to undo it, one nameserver,
// and the "search", "domain" and "options" lines of the file it replaces, so that short
// names still resolve as before. backupHint names where the replaced file is kept.
QByteArray ours(const QHostAddress &address, const QByteArray &replaced, const QString &backupHint);

// Whether content is a file the service wrote.
bool isOurs(const QByteArray &content);

// Reads a file, at most MaxFileSize bytes; false when it cannot be opened.
bool readFile(const QString &path, QByteArray *content);

} // namespace ResolvConfText

#pragma once

#include <QString>
#include <QStringList>

// The user accounts of this computer that a person logs in with, for binding users to
// profiles: the accounts of the passwd database from UID_MIN (of the login definitions,
// 1000 when they do not say) to 65533, with a login shell, sorted by name.
namespace LocalUsers {

// The lowest and one past the highest uid of a person's account.
constexpr uint DefaultUidMin = 1000;
constexpr uint UidEnd = 65534; // "nobody" and above are never people
// Files longer than this are read only up to it.
constexpr qint64 MaximumFileBytes = 4 * 1024 * 1024;

QStringList list();

// The pieces, for tests: the passwd file's text and the login definitions' text.
uint uidMinimum(const QByteArray &loginDefs);
QStringList fromPasswd(const QByteArray &passwd, uint uidMin);

} // namespace LocalUsers

// The local users from /etc/passwd and the lowest uid of a person from /etc/login.defs.
// Only the local files count: users that the name service finds elsewhere (LDAP, a
// directory service) do not log in at this computer by its own account database, and a
// query of those could keep the window waiting on the network.

#include "localusers.h"

#include <QFile>
#include <QList>
#include <QSet>

namespace {

QByteArray readFile(const QByteArray &variable, const char *fallback)
{
    const QString path = qEnvironmentVariableIsSet(variable.constData()) ? qEnvironmentVariable(variable.constData())
                                                                         : QString::fromLatin1(fallback);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(LocalUsers::MaximumFileBytes);
}

bool isLoginShell(const QByteArray &shell)
{
    if (shell.isEmpty())
        return false;
    const QByteArray name = shell.mid(shell.lastIndexOf('/') + 1);
    return name != "nologin" && name != "false";
}

} // namespace

namespace LocalUsers {

// login.defs: "UID_MIN<blanks>1000"; comments start with '#'.
uint uidMinimum(const QByteArray &loginDefs)
{
    uint minimum = DefaultUidMin;
    const QList<QByteArray> lines = loginDefs.split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() < 2 || words.at(0) != "UID_MIN")
            continue;
        bool ok = false;
        const uint value = words.at(1).toUInt(&ok, 0);
        if (ok && value < UidEnd)
            minimum = value;
    }
    return minimum;
}

// passwd(5): name:password:uid:gid:gecos:home:shell, one account a line.
QStringList fromPasswd(const QByteArray &passwd, uint uidMin)
{
    QSet<QString> users;
    const QList<QByteArray> lines = passwd.split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split(':');
        if (fields.size() != 7 || fields.at(0).isEmpty() || fields.at(0).startsWith('+')
            || fields.at(0).startsWith('-'))
            continue;
        bool ok = false;
        const uint uid = fields.at(2).toUInt(&ok, 10);
        if (!ok || uid < uidMin || uid >= UidEnd || !isLoginShell(fields.at(6).trimmed()))
            continue;
        users.insert(QString::fromUtf8(fields.at(0)));
    }
    QStringList sorted(users.cbegin(), users.cend());
    sorted.sort();
    return sorted;
}

QStringList list()
{
    const uint minimum = uidMinimum(readFile("CORVANE_LOGIN_DEFS", "/etc/login.defs"));
    return fromPasswd(readFile("CORVANE_PASSWD", "/etc/passwd"), minimum);
}

} // namespace LocalUsers

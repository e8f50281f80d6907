#include "resolvconftext.h"

#include <QFile>
#include <QList>

namespace ResolvConfText {

namespace {
const QByteArray Marker = QByteArrayLiteral("# Written by corvane-service");

bool keepsFromReplaced(const QByteArray &line)
{
    return line.startsWith("search") || line.startsWith("domain") || line.startsWith("options");
}
} // namespace

QList<QHostAddress> nameservers(const QByteArray &content, AdapterDnsBackend::Family family)
{
    QList<QHostAddress> addresses;
    const QList<QByteArray> lines = content.split('\n');
    for (const QByteArray &raw : lines) {
        const QList<QByteArray> words = raw.simplified().split(' ');
        if (words.size() < 2 || words.at(0) != "nameserver")
            continue;
        // A scoped IPv6 server ("fe80::1%eth0") is still an IPv6 server.
        const QHostAddress address(QString::fromLatin1(words.at(1)));
        const bool v4 = address.protocol() == QAbstractSocket::IPv4Protocol;
        if (address.isNull() || v4 != (family == AdapterDnsBackend::IPv4))
            continue;
        addresses.append(address);
    }
    return addresses;
}

QByteArray ours(const QHostAddress &address, const QByteArray &replaced, const QString &backupHint)
{
    QByteArray text = Marker + QByteArrayLiteral(" so that this computer's DNS queries go through "
                                                 "its Corvane filter.\n");
    text += "# The replaced file is kept in " + backupHint.toUtf8()
            + "; \"corvane-service -cleanup\" puts it back.\n";
    text += "nameserver " + address.toString().toLatin1() + '\n';
    const QList<QByteArray> lines = replaced.split('\n');
    for (const QByteArray &raw : lines) {
        const QByteArray line = raw.trimmed();
        if (keepsFromReplaced(line))
            text += line + '\n';
    }
    return text;
}

bool isOurs(const QByteArray &content)
{
    return content.startsWith(Marker);
}

bool readFile(const QString &path, QByteArray *content)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *content = file.read(MaxFileSize);
    return true;
}

} // namespace ResolvConfText

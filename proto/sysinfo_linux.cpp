#include "sysinfo.h"

#include <QRegularExpression>

#include <sys/utsname.h>

QString SysInfo::operatingSystemText()
{
    struct utsname names;
    if (uname(&names) != 0)
        return QStringLiteral("Linux");
    // The release carries the distribution's suffix ("6.1.0-13-amd64"); the User-Agent
    // names the kernel version only.
    const QString release = QString::fromLatin1(names.release);
    const QString version = QRegularExpression(QStringLiteral("^[0-9.]*")).match(release).captured();
    return QString::fromLatin1(names.sysname) + QLatin1Char('/') + version;
}

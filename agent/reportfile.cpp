#include "reportfile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace ReportFile {

QString write(const QString &path, const QByteArray &bytes)
{
    const QFileInfo target(path);
    if (target.fileName().isEmpty())
        return QCoreApplication::translate("SystemInformationDialog", "No file name was given");
    QTemporaryFile file(target.absolutePath() + QLatin1Char('/') + QLatin1Char('.') + target.fileName()
                        + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return file.errorString();
    if (file.write(bytes) != bytes.size() || !file.flush())
        return file.errorString();
    if (::fsync(file.handle()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    file.close();
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target.absoluteFilePath()).constData())
        != 0)
        return QString::fromLocal8Bit(std::strerror(errno)); // the temporary file goes with `file`
    file.setAutoRemove(false);
    return QString();
}

} // namespace ReportFile

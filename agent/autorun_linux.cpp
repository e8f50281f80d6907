#include "autorun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

Autorun::Autorun(const QString &program)
    : m_program(program.isEmpty() ? QCoreApplication::applicationFilePath() : program)
{
}

namespace {

const QString EntryName = QStringLiteral("autostart/corvane-agent.desktop");

bool isHidden(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Desktop entries are small; a huge file is not ours and hides nothing.
    const QList<QByteArray> lines = file.read(64 * 1024).split('\n');
    for (const QByteArray &line : lines) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed == "Hidden=true" || trimmed == "X-GNOME-Autostart-enabled=false")
            return true;
    }
    return false;
}

} // namespace

QString Autorun::entryPath() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/')
        + EntryName;
}

// The package installs a system-wide entry in the configuration folders (/etc/xdg); a
// user's own entry of the same name shadows it, and one with "Hidden=true" turns it off
// for that user alone.
QString Autorun::systemEntryPath() const
{
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    for (const QString &folder : folders) {
        const QString path = folder + QLatin1Char('/') + EntryName;
        if (path != entryPath() && QFileInfo::exists(path))
            return path;
    }
    return QString();
}

bool Autorun::isEnabled() const
{
    const QString own = entryPath();
    if (QFileInfo::exists(own))
        return !isHidden(own);
    const QString system = systemEntryPath();
    return !system.isEmpty() && !isHidden(system);
}

// freedesktop.org desktop entries, the rules of the Exec key: an argument with reserved characters is
// quoted, and inside the quotes '"', '`', '$' and '\' are escaped with a backslash. The
// value itself is a string, whose own escape rule doubles every backslash once more, and
// '%' starts a field code, so a literal one is written "%%".
QString Autorun::execLine(const QString &program)
{
    QString quoted;
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$')
            || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + quoted + QStringLiteral("\" -h");
}

QByteArray Autorun::entryText(const QString &program)
{
    QByteArray text = "[Desktop Entry]\n"
                      "Type=Application\n"
                      "Name=Corvane Agent\n"
                      "Comment=Internet filtering of this computer\n"
                      "Icon=corvane-agent\n";
    text += "Exec=" + execLine(program).toUtf8() + '\n';
    text += "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n";
    return text;
}

bool Autorun::setEnabled(bool on)
{
    const QString path = entryPath();
    if (!on && systemEntryPath().isEmpty())
        return !QFileInfo::exists(path) || QFile::remove(path);
    // A line break would end the Exec line and let the rest of the path become entries.
    if (m_program.contains(QLatin1Char('\n')) || m_program.contains(QLatin1Char('\r')))
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(on ? entryText(m_program) : QByteArray("[Desktop Entry]\nType=Application\nName=Corvane Agent\nHidden=true\n"));
    return file.commit();
}

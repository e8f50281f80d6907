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

QString Autorun::entryPath() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/autostart/corvane-agent.desktop");
}

bool Autorun::isEnabled() const
{
    return QFileInfo::exists(entryPath());
}

// Desktop Entry Specification, "The Exec key": an argument with reserved characters is
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
    if (!on)
        return !QFileInfo::exists(path) || QFile::remove(path);
    // A line break would end the Exec line and let the rest of the path become entries.
    if (m_program.contains(QLatin1Char('\n')) || m_program.contains(QLatin1Char('\r')))
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(entryText(m_program));
    return file.commit();
}

#pragma once

#include <QString>

// The entry that starts the agent, hidden in the tray, when the user logs in: an XDG
// autostart file "$XDG_CONFIG_HOME/autostart/corvane-agent.desktop" whose Exec line is the
// quoted program path followed by "-h". Where the package's system-wide entry exists (in
// $XDG_CONFIG_DIRS, /etc/xdg), turning it off writes the user's own entry with
// "Hidden=true", which shadows the system's.
class Autorun
{
public:
    // program: the path that the entry starts; the running program's own when empty.
    explicit Autorun(const QString &program = QString());

    bool isEnabled() const;
    // Writes or removes the entry; false when the file cannot be written or removed.
    bool setEnabled(bool on);

    QString entryPath() const;
    // The system-wide entry in force, or an empty text.
    QString systemEntryPath() const;
    // The Exec value: the program path quoted for a desktop entry, then "-h".
    static QString execLine(const QString &program);
    // The whole file.
    static QByteArray entryText(const QString &program);

private:
    QString m_program;
};

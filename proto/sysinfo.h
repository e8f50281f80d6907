#pragma once

#include "lodestar_export.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// How the service and the desktop client describe the computer, in the same words.
class LODESTAR_EXPORT SysInfo
{
public:
    SysInfo() = delete;

    // The product's HTTP User-Agent, "Tarnwick-Agent/3.2.1.3 en-generic (Linux/<version>)",
    // Latin-1. Built on the first call and fixed for the life of the process; the first
    // call must return before any other thread calls it.
    static const QByteArray &userAgent();

    // The service's own journal entries of the last 24 hours, with every credential line
    // cut (see cutCredentials()); "<unimplemented>" when the journal tool is missing, fails,
    // crashes or runs longer than 30 seconds. Blocks the calling thread while the tool runs
    // (30 seconds at most), so never call it from a thread whose event loop must stay
    // responsive. The tool is "journalctl", or the program named by $CORVANE_JOURNALCTL.
    static QString systemLog();

    // Pieces of the above, exposed so that each can be checked on its own.

    // The User-Agent for an operating system text such as "Linux/6.1.0".
    static QByteArray formatUserAgent(const QString &operatingSystem);
    // "Linux/<kernel release up to the first character that is not a digit or a dot>".
    static QString operatingSystemText();
    // The journal tool's arguments: the service's identifier over the last 24 hours.
    static QStringList logToolArguments();
    // Replaces each "setCredentials" up to and including the end of its line by
    // "<credentials cutted out>\n"; an occurrence in a last line without newline stays.
    static QString cutCredentials(const QString &log);

    static constexpr int LogToolTimeoutMs = 30000;
    static constexpr qint64 MaximumLogBytes = 16 * 1024 * 1024;
};

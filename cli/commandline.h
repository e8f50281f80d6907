#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One command of an invocation, its arguments checked and taken apart.
struct Command
{
    enum Kind {
        Status,
        Login,      // args: user
        Unlock,
        Pause,      // minutes (0: until resumed)
        Resume,
        Profiles,
        Use,        // args: profile
        Lists,      // args: profile; listType, or -1 for all three lists
        ListAdd,    // args: profile, domain [, address for the alias list]; listType
        ListRemove, // args: profile, domain; listType
        ListClear,  // args: profile; listType
        Protect,    // args: network; on
        Report,
        Watch,
    };

    Kind kind = Status;
    QStringList args;
    int listType = -1; // CabinetDomain::Type
    int minutes = 0;
    bool on = false;
    // The command as the user typed it ("block add Kids games.example"), for messages.
    QString text;
};

// What the command line asks for. Options may stand anywhere among the commands; "--"
// ends them (for a profile whose name starts with a dash).
struct Invocation
{
    // Exit status of a command line that cannot be run.
    static constexpr int UsageExitCode = 2;
    // The longest pause the service can time: it counts the pause in milliseconds in a
    // signed 32-bit timer (35791 minutes are just under 2^31 ms, about 24.8 days).
    static constexpr int MaximumPauseMinutes = 35791;
    static constexpr int DefaultTimeoutSeconds = 30;
    static constexpr int MaximumTimeoutSeconds = 3600;

    bool json = false;
    bool passwordStdin = false;
    int timeoutSeconds = DefaultTimeoutSeconds;
    bool help = false;
    QString helpTopic; // a command name for "help COMMAND"
    bool version = false;
    QList<Command> commands;
    // Set when the command line is refused; nothing is run then.
    QString error;

    bool isValid() const { return error.isEmpty(); }
    bool needsPassword() const;

    // The arguments without the program name. No command at all means "status".
    static Invocation parse(const QStringList &arguments);
};

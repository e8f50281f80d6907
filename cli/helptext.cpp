#include "helptext.h"

#include "commandline.h"

namespace {

struct Entry
{
    const char *name;
    const char *brief; // the name with its arguments, for the list of commands
    const char *synopsis;
    const char *summary;
    const char *details;
};

const Entry entries[] = {
    {"status", "status", "status", "show whether filtering runs, and the state",
     "Prints whether filtering is on, how this computer is identified, the signed-in account,\n"
     "the current and selected profile, the network connections and whether each is\n"
     "protected, whether the settings are locked and the local DNS proxy address.\n"
     "Exit status 0 when filtering runs, 3 when it is off, no connection is protected or the\n"
     "computer is not identified, 1 when the service cannot be reached.\n"
     "It is the command when none is given."},
    {"login", "login USER", "login USER", "sign in to the Corvane account USER",
     "Asks for the account password (without echo; --password-stdin reads it from standard\n"
     "input instead) and signs the service in. Signing in to another account while the\n"
     "settings are locked needs 'unlock' first."},
    {"unlock", "unlock", "unlock", "unlock the settings for the commands after it",
     "Asks for the password of the signed-in account and unlocks the settings for the rest of\n"
     "this invocation, e.g. 'corvanectl unlock pause 15'. The lock holds per connection, so\n"
     "the next invocation is locked again."},
    {"pause", "pause [MINUTES]", "pause [MINUTES]", "switch filtering off, for MINUTES or until 'resume'",
     "Switches filtering off; with MINUTES (1 to 35791) the service switches it on again\n"
     "after that time. Locked settings need 'unlock' first. A pause does not outlive a\n"
     "restart of the service. When filtering is already off, 'resume pause MINUTES' starts\n"
     "a new pause."},
    {"resume", "resume", "resume", "switch filtering on", "Switches filtering on at once and ends a pause."},
    {"profiles", "profiles", "profiles", "list the account's profiles",
     "Lists the profiles with their ids; '*' marks the current one."},
    {"use", "use PROFILE", "use PROFILE", "make PROFILE (a name or an id) the active profile",
     "Selects the profile the filter applies. Locked settings need 'unlock' first."},
    {"lists", "lists PROFILE [TYPE]", "lists PROFILE [white|black|alias]", "show the white, black and alias lists of PROFILE",
     "Prints the profile's lists as the service holds them: the white list (always\n"
     "allowed), the black list (always blocked) and the alias list (names answered with a\n"
     "given address)."},
    {"allow", "allow add|remove|clear ...", "allow add|remove PROFILE DOMAIN, allow clear PROFILE",
     "edit the white list (domains always allowed)",
     "Adds DOMAIN to the white list of PROFILE, removes it, or empties the list.\n"
     "Locked settings need 'unlock' first."},
    {"block", "block add|remove|clear ...", "block add|remove PROFILE DOMAIN, block clear PROFILE",
     "edit the black list (domains always blocked)",
     "Adds DOMAIN to the black list of PROFILE, removes it, or empties the list.\n"
     "Locked settings need 'unlock' first."},
    {"alias", "alias add|remove|clear ...", "alias add PROFILE DOMAIN ADDRESS, alias remove PROFILE DOMAIN, alias clear PROFILE",
     "edit the alias list (DOMAIN answered with ADDRESS)",
     "Adds DOMAIN with the address it is to resolve to, removes it, or empties the list.\n"
     "Locked settings need 'unlock' first."},
    {"protect", "protect NETWORK on|off", "protect NETWORK on|off", "protect a network connection or leave it unfiltered",
     "NETWORK is a connection's interface name or display name as 'status' shows them.\n"
     "Locked settings need 'unlock' first."},
    {"report", "report", "report", "print the diagnostics report for support",
     "Asks the service for its diagnostics report (it can take up to 2 minutes; a progress\n"
     "line on standard error shows that it is being collected) and prints it."},
    {"watch", "watch", "watch", "print the service's notifications until interrupted",
     "Prints every notification of the service, one line each (with --json one JSON object\n"
     "per line), beginning with the state the service sends to every new client, until\n"
     "Ctrl-C. The account password is never printed. It must be the last command."},
    {"help", "help [COMMAND]", "help [COMMAND]", "show this help, or the help of COMMAND", ""},
};

const Entry *find(const QString &name)
{
    for (const Entry &entry : entries) {
        if (name == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

} // namespace

QString HelpText::usage()
{
    QString text = QStringLiteral(
            "Usage: corvanectl [OPTIONS] [COMMAND [ARGUMENTS]]...\n"
            "\n"
            "Controls the Corvane filtering service from a terminal or a script. Several\n"
            "commands may follow each other; they run in order on one connection and the\n"
            "first failure stops the rest (e.g. 'corvanectl unlock pause 15').\n"
            "\n"
            "Commands:\n");
    for (const Entry &entry : entries)
        text += QStringLiteral("  %1 %2\n").arg(QString::fromLatin1(entry.brief), -26).arg(QString::fromLatin1(entry.summary));
    text += QStringLiteral(
                    "\n"
                    "Options:\n"
                    "  --json             print one JSON object (JSON lines for 'watch')\n"
                    "  --password-stdin   read passwords from standard input, one line each\n"
                    "  --timeout SECONDS  how long to wait for the service (default %1; 'report'\n"
                    "                     waits at least 180)\n"
                    "  -h, --help         show this help ('corvanectl help COMMAND' for one command)\n"
                    "  --version          show the version\n"
                    "\n"
                    "Exit status: 0 done (for 'status': filtering runs), 1 the service cannot be\n"
                    "reached or does not answer, 2 the command line is wrong, 3 filtering does not\n"
                    "run ('status'), 4 the service refused a command or it could not be done,\n"
                    "130 interrupted.\n"
                    "The service's socket is $CORVANE_IPC_SOCKET, else\n"
                    "$RUNTIME_DIRECTORY/en-genericipc (default /run/corvane-service/en-genericipc).\n")
                    .arg(Invocation::DefaultTimeoutSeconds);
    return text;
}

QString HelpText::command(const QString &name)
{
    const Entry *entry = find(name);
    if (!entry)
        return QString();
    QString summary = QString::fromLatin1(entry->summary);
    summary[0] = summary.at(0).toUpper();
    QString text = QStringLiteral("Usage: corvanectl %1\n\n%2.\n").arg(QString::fromLatin1(entry->synopsis), summary);
    if (*entry->details)
        text += QLatin1Char('\n') + QString::fromLatin1(entry->details) + QLatin1Char('\n');
    return text;
}

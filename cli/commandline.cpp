#include "commandline.h"

#include "cabinetdomain.h"
#include "helptext.h"

#include <QHostAddress>

namespace {

// Walks the words of the command line that are not options.
class Words
{
public:
    explicit Words(const QStringList &words)
        : m_words(words)
    {
    }
    bool atEnd() const { return m_next >= m_words.size(); }
    QString peek() const { return atEnd() ? QString() : m_words.at(m_next); }
    QString take() { return atEnd() ? QString() : m_words.at(m_next++); }

private:
    QStringList m_words;
    int m_next = 0;
};

QString needs(const QString &command, const QString &what)
{
    return QStringLiteral("'%1' needs %2 (see 'corvanectl help %3')")
            .arg(command, what, command.section(QLatin1Char(' '), 0, 0));
}

bool isNumber(const QString &word)
{
    if (word.isEmpty() || word.size() > 9)
        return false;
    for (const QChar c : word) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// A light check only: the account service decides what it accepts as a domain. This keeps
// blanks, control characters and absurd lengths from ever reaching it.
QString checkDomain(const QString &domain)
{
    if (domain.isEmpty() || domain.size() > 253)
        return QStringLiteral("'%1' is not a domain name").arg(domain.left(64));
    for (const QChar c : domain) {
        if (c.isSpace() || c.category() == QChar::Other_Control || c == QLatin1Char('/'))
            return QStringLiteral("'%1' is not a domain name").arg(domain);
    }
    return QString();
}

int listTypeOf(const QString &word)
{
    if (word == QLatin1String("white"))
        return CabinetDomain::WhiteList;
    if (word == QLatin1String("black"))
        return CabinetDomain::BlackList;
    if (word == QLatin1String("alias"))
        return CabinetDomain::AliasList;
    return -1;
}

QString parsePause(Words &words, Command &command)
{
    if (!isNumber(words.peek()))
        return QString();
    const QString minutes = words.take();
    command.args << minutes;
    command.minutes = minutes.toInt();
    if (command.minutes < 1 || command.minutes > Invocation::MaximumPauseMinutes)
        return QStringLiteral("MINUTES must be a whole number from 1 to %1")
                .arg(Invocation::MaximumPauseMinutes);
    return QString();
}

// allow|block|alias add|remove|clear PROFILE [DOMAIN [ADDRESS]]
QString parseListEdit(const QString &name, Words &words, Command &command)
{
    command.listType = name == QLatin1String("allow") ? CabinetDomain::WhiteList
            : name == QLatin1String("block")           ? CabinetDomain::BlackList
                                                       : CabinetDomain::AliasList;
    const QString verb = words.take();
    int count = 0;
    QString what;
    if (verb == QLatin1String("add")) {
        command.kind = Command::ListAdd;
        count = command.listType == CabinetDomain::AliasList ? 3 : 2;
        what = count == 3 ? QStringLiteral("PROFILE DOMAIN ADDRESS") : QStringLiteral("PROFILE DOMAIN");
    } else if (verb == QLatin1String("remove")) {
        command.kind = Command::ListRemove;
        count = 2;
        what = QStringLiteral("PROFILE DOMAIN");
    } else if (verb == QLatin1String("clear")) {
        command.kind = Command::ListClear;
        count = 1;
        what = QStringLiteral("PROFILE");
    } else {
        return needs(name, QStringLiteral("add, remove or clear"));
    }
    command.text += QLatin1Char(' ') + verb;
    for (int i = 0; i < count; ++i) {
        if (words.atEnd())
            return needs(command.text, what);
        command.args << words.take();
    }
    if (count >= 2) {
        const QString error = checkDomain(command.args.at(1));
        if (!error.isEmpty())
            return error;
    }
    if (count == 3 && QHostAddress(command.args.at(2)).isNull())
        return QStringLiteral("'%1' is not an IP address").arg(command.args.at(2));
    return QString();
}

QString parseCommand(const QString &name, Words &words, Command &command)
{
    command.text = name;
    struct Simple
    {
        const char *name;
        Command::Kind kind;
        int arguments;
        const char *what;
    };
    static const Simple simple[] = {
        {"status", Command::Status, 0, nullptr},     {"unlock", Command::Unlock, 0, nullptr},
        {"resume", Command::Resume, 0, nullptr},     {"profiles", Command::Profiles, 0, nullptr},
        {"report", Command::Report, 0, nullptr},     {"watch", Command::Watch, 0, nullptr},
        {"login", Command::Login, 1, "USER"},        {"use", Command::Use, 1, "PROFILE"},
        {"lists", Command::Lists, 1, "PROFILE"},     {"protect", Command::Protect, 2, "NETWORK on|off"},
        {"pause", Command::Pause, 0, nullptr},
    };
    for (const Simple &entry : simple) {
        if (name != QLatin1String(entry.name))
            continue;
        command.kind = entry.kind;
        for (int i = 0; i < entry.arguments; ++i) {
            if (words.atEnd())
                return needs(name, QString::fromLatin1(entry.what));
            command.args << words.take();
        }
        break;
    }
    if (name == QLatin1String("allow") || name == QLatin1String("block") || name == QLatin1String("alias"))
        return parseListEdit(name, words, command);
    if (command.kind == Command::Status && name != QLatin1String("status"))
        return QStringLiteral("unknown command '%1' (see 'corvanectl --help')").arg(name);
    if (command.kind == Command::Pause)
        return parsePause(words, command);
    if (command.kind == Command::Lists && listTypeOf(words.peek()) >= 0)
        command.args << words.take();
    if (command.kind == Command::Lists)
        command.listType = command.args.size() > 1 ? listTypeOf(command.args.at(1)) : -1;
    if (command.kind == Command::Login && command.args.constFirst().isEmpty())
        return needs(name, QStringLiteral("USER"));
    if (command.kind == Command::Protect) {
        const QString state = command.args.at(1);
        if (state != QLatin1String("on") && state != QLatin1String("off"))
            return needs(name, QStringLiteral("NETWORK on|off"));
        command.on = state == QLatin1String("on");
    }
    return QString();
}

// Takes the options out of the arguments; the rest are the words of the commands.
QString takeOptions(const QStringList &arguments, Invocation &invocation, QStringList *words)
{
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            words->append(argument);
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--json")) {
            invocation.json = true;
        } else if (argument == QLatin1String("--password-stdin")) {
            invocation.passwordStdin = true;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            invocation.help = true;
        } else if (argument == QLatin1String("--version")) {
            invocation.version = true;
        } else if (argument == QLatin1String("--timeout") || argument.startsWith(QLatin1String("--timeout="))) {
            QString value = argument.mid(10);
            if (argument.size() == 9)
                value = i + 1 < arguments.size() ? arguments.at(++i) : QString();
            bool ok = isNumber(value);
            invocation.timeoutSeconds = value.toInt();
            if (!ok || invocation.timeoutSeconds < 1 || invocation.timeoutSeconds > Invocation::MaximumTimeoutSeconds)
                return QStringLiteral("--timeout needs a number of seconds from 1 to %1")
                        .arg(Invocation::MaximumTimeoutSeconds);
        } else if (argument.startsWith(QLatin1String("--password"))) {
            // Anything on the command line is visible to every local user (ps, /proc).
            return QStringLiteral("the password is never taken from the command line: corvanectl asks for it, "
                                  "or reads it from standard input with --password-stdin");
        } else {
            return QStringLiteral("unknown option '%1' (see 'corvanectl --help')").arg(argument);
        }
    }
    return QString();
}

} // namespace

bool Invocation::needsPassword() const
{
    for (const Command &command : commands) {
        if (command.kind == Command::Login || command.kind == Command::Unlock)
            return true;
    }
    return false;
}

Invocation Invocation::parse(const QStringList &arguments)
{
    Invocation invocation;
    QStringList list;
    invocation.error = takeOptions(arguments, invocation, &list);
    if (!invocation.isValid() || invocation.help || invocation.version)
        return invocation;
    Words words(list);
    if (words.peek() == QLatin1String("help")) {
        words.take();
        invocation.help = true;
        invocation.helpTopic = words.take();
        if (!invocation.helpTopic.isEmpty() && HelpText::command(invocation.helpTopic).isEmpty())
            invocation.error = QStringLiteral("no help for '%1': it is not a command").arg(invocation.helpTopic);
        return invocation;
    }
    while (!words.atEnd()) {
        if (!invocation.commands.isEmpty() && invocation.commands.constLast().kind == Command::Watch) {
            invocation.error = QStringLiteral("'watch' runs until interrupted: it must be the last command");
            return invocation;
        }
        // "login USER PASSWORD" and "unlock PASSWORD" are easy mistakes; the word is not
        // repeated, so that it ends up in no terminal's scroll-back or script's log twice.
        const bool afterPrompted = !invocation.commands.isEmpty()
                && (invocation.commands.constLast().kind == Command::Login
                    || invocation.commands.constLast().kind == Command::Unlock);
        if (afterPrompted && HelpText::command(words.peek()).isEmpty()) {
            invocation.error = QStringLiteral("'%1' takes no password on the command line: corvanectl asks for it, "
                                              "or reads it from standard input with --password-stdin")
                                       .arg(invocation.commands.constLast().text.section(QLatin1Char(' '), 0, 0));
            return invocation;
        }
        Command command;
        invocation.error = parseCommand(words.take(), words, command);
        if (!invocation.isValid())
            return invocation;
        for (const QString &argument : qAsConst(command.args))
            command.text += QLatin1Char(' ') + argument;
        invocation.commands.append(command);
    }
    if (invocation.commands.isEmpty())
        invocation.commands.append(Command{Command::Status, {}, -1, 0, false, QStringLiteral("status")});
    return invocation;
}

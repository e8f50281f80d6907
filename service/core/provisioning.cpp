#include "provisioning.h"

#include "configuration.h"
#include "protection.h"
#include "settingskeys.h"

#include <QCommandLineParser>
#include <QSettings>

#include <algorithm>

namespace {

namespace Option {
const QString Force = QStringLiteral("force");
const QString Login = QStringLiteral("login");
const QString Password = QStringLiteral("pass");
const QString Profile = QStringLiteral("prof");
const QString ProtectAll = QStringLiteral("pall");
const QString Connection = QStringLiteral("conn");
const QString DisableUpdates = QStringLiteral("dupd");
const QString DisableAutorun = QStringLiteral("darun");
} // namespace Option

void storeCredentials(const CommandLineOptions &options, QSettings &service)
{
    using namespace Provisioning;
    const bool hasLogin = !options.login.isEmpty();
    const bool hasPassword = !options.password.isEmpty();
    if (hasLogin != hasPassword) {
        qWarning("Either -login or -pass option has been omitted. Both options with its values "
                 "should be passed on the command line.");
        return;
    }
    if (!hasLogin)
        return;
    if (service.contains(SettingsKeys::User) && !options.force) {
        qWarning("Authentication data has already been provided. Pass -f/--force option on the "
                 "command line to overwrite it.");
        return;
    }
    // Empty values would read as "credentials already given" at the next provisioning and
    // as no credentials everywhere else: store both or nothing.
    const QByteArray user = Protection::protect(options.login.toUtf8(), SettingsKeys::UserDescription);
    const QByteArray password = Protection::protect(options.password.toUtf8(), SettingsKeys::PasswordDescription);
    if (user.isEmpty() || password.isEmpty()) {
        qWarning("The account credentials could not be sealed with the machine key (see the error above); "
                 "nothing was stored.");
        return;
    }
    service.setValue(SettingsKeys::User, user);
    service.setValue(SettingsKeys::Password, password);
}

void storeProtectedConnections(const CommandLineOptions &options, QSettings &service)
{
    if (options.protectAllConnections)
        service.setValue(SettingsKeys::ProtectNetwork, QStringLiteral(""));
    else if (!options.connection.isEmpty())
        service.setValue(SettingsKeys::ProtectNetwork, options.connection);
}

// The desktop client's one-shot switches: set once, then only with force.
void storeAgentSwitch(QSettings &agent, const QString &key, bool disable, bool force,
        const char *alreadySetWarning)
{
    if (agent.contains(key) && !force) {
        qWarning("%s", alreadySetWarning);
        return;
    }
    if (disable)
        agent.setValue(key, false);
}

} // namespace

CommandLineOptions CommandLineOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
            { { QStringLiteral("f"), Option::Force }, QString() },
            { Option::Login, QString(), QStringLiteral("login") },
            { Option::Password, QString(), QStringLiteral("password") },
            { Option::Profile, QString(), QStringLiteral("profile") },
            { Option::ProtectAll, QString() },
            { Option::Connection, QString(), QStringLiteral("connection") },
            { Option::DisableUpdates, QString() },
            { Option::DisableAutorun, QString() },
    });
    // Unknown options and missing values only make parse() return false; what could be
    // read is still there, and start-up goes on either way.
    parser.parse(arguments);

    CommandLineOptions options;
    options.force = parser.isSet(Option::Force);
    options.login = parser.value(Option::Login);
    options.password = parser.value(Option::Password);
    options.profile = parser.value(Option::Profile);
    options.protectAllConnections = parser.isSet(Option::ProtectAll);
    options.connection = parser.value(Option::Connection);
    options.disableUpdateChecks = parser.isSet(Option::DisableUpdates);
    options.disableAutomaticRun = parser.isSet(Option::DisableAutorun);
    const QStringList given = parser.optionNames();
    options.anyOptionGiven = std::any_of(given.cbegin(), given.cend(), [](const QString &name) {
        return name != QLatin1String("f") && name != Option::Force;
    });
    return options;
}

namespace Provisioning {

void apply(const CommandLineOptions &options, QSettings &service, QSettings &agent)
{
    if (!options.anyOptionGiven)
        return;
    storeCredentials(options, service);
    service.setValue(SettingsKeys::Profile, options.profile.isNull() ? QStringLiteral("") : options.profile);
    storeProtectedConnections(options, service);
    storeAgentSwitch(agent, SettingsKeys::NewVersionChecks, options.disableUpdateChecks, options.force,
            "Automatic updating state has already been set. Pass -f/--force option on the "
            "command line to overwrite it.");
    storeAgentSwitch(agent, SettingsKeys::FirstStart, options.disableAutomaticRun, options.force,
            "Automatic run state has already been set. Pass -f/--force option on the command "
            "line to overwrite it.");
    Configuration::syncAndReport(service);
    Configuration::syncAndReport(agent);
}

} // namespace Provisioning

#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// One-shot provisioning options that an installer passes as start arguments.
struct CommandLineOptions
{
    QString login;
    QString password;
    QString profile;
    QString connection;
    bool force = false;
    bool protectAllConnections = false;
    bool disableUpdateChecks = false;
    bool disableAutomaticRun = false;
    // True when at least one option other than force was given.
    bool anyOptionGiven = false;

    // Parses single-dash long options ("-login x"); the first argument is the program.
    // Unknown options are ignored: parsing never stops start-up.
    static CommandLineOptions parse(const QStringList &arguments);
};

namespace Provisioning {

// Runs the five provisioning steps: credentials, profile, protected connections (into the
// service's store), update checks and automatic run (into the desktop client's
// machine-wide store). Does nothing unless an option was given.
void apply(const CommandLineOptions &options, QSettings &service, QSettings &agent);

} // namespace Provisioning

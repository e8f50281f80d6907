#include "serviceshell.h"

#include "cabinetmetatypes.h"
#include "deferred.h"
#include "logrouting.h"
#include "networkinterfacemanager.h"
#include "paths.h"
#include "service.h"
#include "servicecontrol.h"
#include "terminationwatcher.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

struct CommandName
{
    const char *shortName;
    const char *longName;
    ServiceShell::Command command;
};

const CommandName Commands[] = {
    { "-i", "-install", ServiceShell::Command::Install },
    { "-u", "-uninstall", ServiceShell::Command::Uninstall },
    { "-e", "-exec", ServiceShell::Command::Exec },
    { "-t", "-terminate", ServiceShell::Command::Terminate },
    { "-v", "-version", ServiceShell::Command::Version },
    { "-h", "-help", ServiceShell::Command::Help },
    { "-p", "-pause", ServiceShell::Command::Unsupported },
    { "-r", "-resume", ServiceShell::Command::Unsupported },
    { "-c", "-command", ServiceShell::Command::Unsupported },
    { "-cleanup", "-cleanup", ServiceShell::Command::Cleanup },
};

QString usage(const QString &program)
{
    return QStringLiteral("\n%1 -[i|u|e|s|v|h]\n"
                          "\t-i(nstall)\t: Install the service and start it at boot\n"
                          "\t-u(ninstall)\t: Uninstall the service\n"
                          "\t-e(xec)\t\t: Run as a regular application in the foreground\n"
                          "\t-t(erminate)\t: Stop the running service\n"
                          "\t-v(ersion)\t: Print whether the service is installed and running\n"
                          "\t-h(elp)\t\t: Show this help\n"
                          "\t-cleanup\t: Put back the DNS settings that a service which did not stop cleanly left, and exit\n"
                          "\tNo arguments\t: Start the service\n")
            .arg(program);
}

} // namespace

ServiceShell::ServiceShell(ServiceControl *control)
    : m_control(control)
{
}

ServiceShell::Command ServiceShell::commandOf(const QStringList &arguments)
{
    if (arguments.size() < 2)
        return Command::Run;
    const QString first = arguments.at(1);
    for (const CommandName &name : Commands) {
        if (first == QLatin1String(name.shortName) || first == QLatin1String(name.longName))
            return name.command;
    }
    // Anything else (the provisioning options among them) is an argument of the start.
    return Command::Run;
}

int ServiceShell::control(Command command, const QStringList &arguments, QTextStream &out)
{
    const QString name = QString::fromLatin1(Service::Name);
    switch (command) {
    case Command::Install:
        switch (m_control->install()) {
        case ServiceControl::Result::Done:
            out << QStringLiteral("The service %1 has been installed under: %2\n").arg(name, m_control->account());
            return 0;
        case ServiceControl::Result::AlreadyDone:
            out << QStringLiteral("The service %1 is already installed\n").arg(name);
            return 0;
        case ServiceControl::Result::Failed:
            out << QStringLiteral("The service %1 could not be installed\n").arg(name);
            return 1;
        }
        break;
    case Command::Uninstall:
        switch (m_control->uninstall()) {
        case ServiceControl::Result::Done:
            out << QStringLiteral("The service %1 has been uninstalled.\n").arg(name);
            return 0;
        case ServiceControl::Result::AlreadyDone:
            out << QStringLiteral("The service %1 is not installed\n").arg(name);
            return 0;
        case ServiceControl::Result::Failed:
            out << QStringLiteral("The service %1 could not be uninstalled\n").arg(name);
            return 1;
        }
        break;
    case Command::Terminate:
        if (m_control->terminate())
            return 0;
        out << QStringLiteral("The service could not be stopped.\n");
        return 1;
    case Command::Version:
        out << QStringLiteral("The service\n\t%1\n\t%2\n\n").arg(name, arguments.value(0));
        out << QStringLiteral("is %1").arg(m_control->isInstalled() ? QStringLiteral("installed")
                                                                    : QStringLiteral("not installed"));
        out << QStringLiteral(" and %1\n\n").arg(m_control->isRunning() ? QStringLiteral("running")
                                                                        : QStringLiteral("not running"));
        return 0;
    case Command::Help:
        out << usage(QFileInfo(arguments.value(0)).fileName());
        return 0;
    case Command::Unsupported:
        out << QStringLiteral("The service %1 cannot be paused, resumed or sent commands\n").arg(name);
        return 1;
    case Command::Run:
    case Command::Exec:
    case Command::Cleanup:
        break;
    }
    return 1;
}

void ServiceShell::scrubSecrets(int argc, char **argv)
{
    // Single-dash and double-dash spellings, with the value apart or after "=".
    static const char *const names[] = {"-pass", "--pass"};
    for (int i = 1; i < argc; ++i) {
        for (const char *name : names) {
            const size_t length = std::strlen(name);
            if (std::strcmp(argv[i], name) == 0 && i + 1 < argc)
                std::memset(argv[i + 1], 0, std::strlen(argv[i + 1]));
            else if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=')
                std::memset(argv[i] + length + 1, 0, std::strlen(argv[i] + length + 1));
        }
    }
}

int ServiceShell::exec(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    // The password given for provisioning must not stay readable by every local user in
    // /proc/<pid>/cmdline while the service runs; the copy above is all that needs it.
    scrubSecrets(argc, argv);
    const Command command = commandOf(arguments);
    if (command == Command::Run || command == Command::Exec)
        return run(arguments, command == Command::Exec);
    QTextStream out(stdout);
    if (command == Command::Cleanup)
        return cleanup(out);
    return control(command, arguments, out);
}

int ServiceShell::cleanup(QTextStream &out)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    Paths::applySettingsOverrides();
    LogRouting::install(LogRouting::createSystemSink());
    const int restored = NetworkInterfaceManager::cleanup();
    out << QStringLiteral("DNS settings put back: %1\n").arg(restored);
    return 0;
}

int ServiceShell::run(const QStringList &arguments, bool foreground)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    Paths::applySettingsOverrides();
    LogRouting::install(LogRouting::createSystemSink());
    // Before any signal, QVariant or JSON-RPC parameter carries these types.
    registerErrorMetaType();
    registerDeferredMetaType();
    registerCabinetMetaTypes();

    TerminationWatcher watcher;
    Service service;
    if (!service.start(arguments)) {
        if (foreground)
            std::fprintf(stdout, "The service could not be executed.\n");
        else
            std::fprintf(stdout, "The service %s could not start\n", Service::Name);
        return 1;
    }
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &service, [&] {
        m_control->notifyStopping();
        service.stop();
        QCoreApplication::quit();
    });
    m_control->notifyReady();
    qDebug("%s started", Service::Name);
    const int code = QCoreApplication::exec();
    qDebug("%s stopped", Service::Name);
    return code;
}

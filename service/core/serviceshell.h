#pragma once

#include <QStringList>

class QTextStream;
class ServiceControl;

// The service program's command line: the control commands (install, uninstall,
// terminate, version, help) and the runs as a service or in the foreground.
class ServiceShell
{
public:
    // What the first argument asks for.
    enum class Command { Run, Install, Uninstall, Exec, Terminate, Version, Help, Unsupported, Cleanup };

    explicit ServiceShell(ServiceControl *control);

    static Command commandOf(const QStringList &arguments);

    // Runs a control command (not Run or Exec), writing its messages; returns the exit code.
    int control(Command command, const QStringList &arguments, QTextStream &out);

    // The process: handles the control commands, or runs the service until SIGTERM or
    // SIGINT (then exits 0).
    int exec(int argc, char **argv);

    // Overwrites, in the process's own argument memory, the value of every "-pass" option
    // (what /proc/<pid>/cmdline shows every local user) with zero bytes.
    static void scrubSecrets(int argc, char **argv);

private:
    int run(const QStringList &arguments, bool foreground);
    // Puts back every DNS setting a service that did not stop cleanly left behind (the
    // unit's ExecStopPost=), then exits.
    int cleanup(QTextStream &out);

    ServiceControl *m_control;
};

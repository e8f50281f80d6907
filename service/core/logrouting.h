#pragma once

#include <QString>
#include <QtGlobal>

// Routes the process's Qt log to the system log: one message handler for the whole
// process, the text passed unchanged (no context, no prefix).
namespace LogRouting {

// Severities of the system log (syslog's numbering).
enum class Priority { Error = 3, Warning = 4, Notice = 5, Info = 6 };

// Where log lines go. The journald sink is the service's; tests install their own.
class Sink
{
public:
    virtual ~Sink() = default;
    virtual void write(Priority priority, const QString &text) = 0;
};

// debug and info -> Info, warning -> Warning, critical and fatal -> Error.
Priority priorityOf(QtMsgType type);

// Installs the message handler writing to the sink (owned from then on). Fatal messages
// abort the process after they are written.
void install(Sink *sink);

// An entry of type "Success" (a notice): used for the final word of a failed start.
void writeSuccess(const QString &text);

// The sink of the running service: journald with the identifier "corvane-service", also
// echoed to standard error when that is a terminal. With CORVANE_LOG_STDERR=1 the lines go
// to standard error only (development runs and tests).
Sink *createSystemSink();

} // namespace LogRouting

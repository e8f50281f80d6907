#include "logrouting.h"

#include <cstdlib>
#include <memory>

namespace {

std::unique_ptr<LogRouting::Sink> &currentSink()
{
    static std::unique_ptr<LogRouting::Sink> sink;
    return sink;
}

void handleMessage(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (LogRouting::Sink *sink = currentSink().get())
        sink->write(LogRouting::priorityOf(type), text);
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

namespace LogRouting {

Priority priorityOf(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
    case QtInfoMsg:
        return Priority::Info;
    case QtWarningMsg:
        return Priority::Warning;
    case QtCriticalMsg:
    case QtFatalMsg:
        return Priority::Error;
    }
    return Priority::Info;
}

void install(Sink *sink)
{
    currentSink().reset(sink);
    qInstallMessageHandler(handleMessage);
}

void writeSuccess(const QString &text)
{
    if (Sink *sink = currentSink().get())
        sink->write(Priority::Notice, text);
}

} // namespace LogRouting

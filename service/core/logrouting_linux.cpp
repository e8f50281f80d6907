#include "logrouting.h"

#include <systemd/sd-journal.h>

#include <cstdio>
#include <unistd.h>

namespace {

class SystemSink : public LogRouting::Sink
{
public:
    SystemSink(bool journal, bool echo)
        : m_journal(journal)
        , m_echo(echo)
    {
    }

    void write(LogRouting::Priority priority, const QString &text) override
    {
        const QByteArray bytes = text.toUtf8();
        if (m_journal) {
            sd_journal_send("MESSAGE=%s", bytes.constData(), "PRIORITY=%d", int(priority),
                    "SYSLOG_IDENTIFIER=corvane-service", nullptr);
        }
        if (m_echo) {
            std::fprintf(stderr, "%s\n", bytes.constData());
            std::fflush(stderr);
        }
    }

private:
    const bool m_journal;
    const bool m_echo;
};

} // namespace

namespace LogRouting {

Sink *createSystemSink()
{
    if (qEnvironmentVariableIntValue("CORVANE_LOG_STDERR") == 1)
        return new SystemSink(false, true);
    return new SystemSink(true, ::isatty(STDERR_FILENO) == 1);
}

} // namespace LogRouting

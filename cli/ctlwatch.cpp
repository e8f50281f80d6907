#include "ctlsession.h"

#include "exitcodes.h"
#include "watchformat.h"

#include <QElapsedTimer>

#include <memory>

void CtlSession::runReport()
{
    const QString progress = QStringLiteral("Collecting the diagnostics report (it can take up to 2 minutes)...");
    m_output.progress(progress);
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    m_reportProgress.disconnect();
    connect(&m_reportProgress, &QTimer::timeout, this, [this, progress, elapsed] {
        m_output.progress(QStringLiteral("%1 %2 s").arg(progress).arg(elapsed->elapsed() / 1000));
    });
    m_reportProgress.start(1000);
    call("systemInfo", {}, [this](const QVariant &result) {
        m_reportProgress.stop();
        m_output.progressDone();
        if (!WireValue::isText(result))
            return fail(ExitCode::Failed,
                        ::Error(::Error::InvalidAnswerCode, QStringLiteral("unexpected answer to \"systemInfo\": not a text")),
                        QString());
        m_output.json().insert(QStringLiteral("report"), result.toString());
        m_output.text(result.toString());
        commandDone();
    }, qMax(m_invocation.timeoutSeconds, int(ReportTimeoutSeconds)));
}

// Runs until the program is interrupted or the service goes away.
void CtlSession::runWatch()
{
    m_watching = true;
    const QList<Received> backlog = m_backlog;
    m_backlog.clear();
    for (const Received &received : backlog)
        printNotification(received);
}

CtlSession::Received CtlSession::received(const QString &method, const QVariantList &params, const ::Error &error) const
{
    Received received{method, params, QDateTime::currentDateTime(), error, QString()};
    if (!m_output.isJson() && !error.isError())
        received.description = WatchFormat::describe(method, params, m_state);
    else if (!m_output.isJson())
        received.description = QStringLiteral("malformed \"%1\" notification, ignored: %2").arg(method, error.message());
    return received;
}

void CtlSession::printNotification(const Received &received)
{
    if (m_output.isJson())
        m_output.jsonLine(WatchFormat::json(received.method, received.params, received.time, received.error));
    else
        m_output.line(QStringLiteral("%1  %2").arg(received.time.toString(QStringLiteral("HH:mm:ss")), received.description));
}

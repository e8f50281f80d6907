#pragma once

#include "deferred.h"
#include "diagnosticsreport.h"
#include "diagnosticssource.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <atomic>

class QTimer;

// The support report of the "systemInfo" call: the local proxy, the DNS probe, four
// network checks, the output of three system tools and the adapter control's backend, as
// one text.
//
// Construction takes what it needs from the source (on the main thread) and starts
// everything: the tools as asynchronous processes, the checks on the request's own thread
// pool, and a single-shot time-out (timeoutMs()) after which unfinished tools are
// terminated and reported as "<Aborted by timeout>". When every tool has ended and every
// check has reported back, the deferred is answered with the text exactly once, and the
// request deletes itself through the event loop (once terminated tools have gone too).
// Nothing waits on the main thread; the checks bound their own waits (30 s at most).
//
// The report never carries the account password or the machine key: every tool output
// has its credential lines cut and every secret form replaced, and so has the whole text.
//
// At most MaximumRunning reports are collected at once (any local user may ask); one more
// is answered at once with an error (code 1).
class IPCSystemInfoRequest : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(IPCSystemInfoRequest)

public:
    static constexpr int TimeoutMs = 110000;
    static constexpr int MaximumRunning = 2;
    // A tool's output beyond this is dropped (and the cut is noted).
    static constexpr int MaximumToolOutputBytes = 4 * 1024 * 1024;
    // How long a terminated tool has before it is killed.
    static constexpr int KillGraceMs = 5000;

    struct Tool
    {
        QString program;
        QStringList arguments;
        // Empty: UTF-8.
        QByteArray codec;
        // Run after this tool when it cannot start or exits with a non-zero status.
        QList<Tool> fallback;

        QString commandLine() const;
    };

    // "ip address show", "hostnamectl" (or "uname -a" where it is missing, and after it
    // where it fails), "ip route show"; each found on PATH.
    static QList<Tool> tools();
    // TimeoutMs, or the positive number of milliseconds in $CORVANE_DIAG_TIMEOUT_MS.
    static int timeoutMs();
    // Reports being collected now.
    static int running() { return s_running; }

    IPCSystemInfoRequest(const DiagnosticsSource &source, const Deferred &deferred, QObject *parent = nullptr);
    ~IPCSystemInfoRequest() override;

private Q_SLOTS:
    void process_finished();
    void process_errorOccurred(QProcess::ProcessError error);
    void process_readyRead();
    void timer_timeout();

private:
    struct Run
    {
        Tool tool;
        QByteArray output;
        bool truncated = false;
    };

    void startTool(const Tool &tool);
    void toolEnded(QProcess *process);
    void startChecks();
    void checkFinished();
    void tryFinish();
    void deleteWhenIdle();

    Deferred m_deferred;
    DiagnosticsSnapshot m_snapshot;
    QString m_toolOutput;
    // The tools still running, with what they wrote so far.
    QHash<QProcess *, Run> m_processes;
    // Tools terminated at the time-out that have not ended yet.
    QList<QProcess *> m_terminated;
    QTimer *m_timer;
    QThreadPool m_pool;
    DiagnosticsReport::Checks m_checks;
    std::atomic_bool m_cancelled{ false };
    int m_checksRunning = 0;
    bool m_starting = true;
    bool m_answered = false;
    bool m_counted = false;

    static int s_running;
};

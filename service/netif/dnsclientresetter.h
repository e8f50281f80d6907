#pragma once

#include <QFuture>
#include <QObject>

#include <functional>

// Makes the system's resolver forget what it cached after the adapters' DNS changed, so
// that the new servers take effect at once. The job (given by the DNS backend: resolved's
// FlushCaches, for example) runs on a thread of the global thread pool; a reset asked for
// while the previous one still runs is dropped, not queued.
class DnsClientResetter : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(DnsClientResetter)
public:
    using Job = std::function<bool()>;

    explicit DnsClientResetter(Job job, QObject *parent = nullptr);
    ~DnsClientResetter() override;

    void reset();

    // The last run: its result is whether the flush was issued.
    QFuture<bool> lastRun() const { return m_lastRun; }
    // Runs started since construction.
    int runs() const { return m_runs; }

private:
    Job m_job;
    QFuture<bool> m_lastRun;
    int m_runs = 0;
};

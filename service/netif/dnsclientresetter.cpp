#include "dnsclientresetter.h"

#include <QThreadPool>
#include <QtConcurrent>

DnsClientResetter::DnsClientResetter(Job job, QObject *parent)
    : QObject(parent)
    , m_job(std::move(job))
{
}

// The job holds nothing of ours, so it may outlive the resetter; waiting here would stall
// the service's stop behind a slow bus.
DnsClientResetter::~DnsClientResetter() = default;

void DnsClientResetter::reset()
{
    if (m_lastRun.isRunning())
        return;
    ++m_runs;
    m_lastRun = QtConcurrent::run(QThreadPool::globalInstance(), m_job);
}

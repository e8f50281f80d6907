#include "ratelimitedwarning.h"

#include <QDebug>
#include <QElapsedTimer>

namespace {

qint64 steadyMilliseconds()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

} // namespace

RateLimitedWarning::RateLimitedWarning(const QString &text, qint64 interval, Clock clock)
    : m_text(text)
    , m_interval(interval)
    , m_clock(clock ? std::move(clock) : Clock(steadyMilliseconds))
{
}

QString RateLimitedWarning::hit()
{
    ++m_total;
    const qint64 now = m_clock();
    if (m_reported && now - m_lastReport < m_interval) {
        ++m_suppressed;
        return QString();
    }
    QString line = m_text;
    if (m_suppressed > 0) {
        line += QStringLiteral(" (%1 more since the last report, %2 in total)")
                    .arg(m_suppressed)
                    .arg(m_total);
    }
    m_reported = true;
    m_lastReport = now;
    m_suppressed = 0;
    return line;
}

void RateLimitedWarning::warn()
{
    const QString line = hit();
    if (!line.isEmpty())
        qWarning().noquote() << line;
}

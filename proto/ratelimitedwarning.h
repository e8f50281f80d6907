#pragma once

#include "lodestar_export.h"

#include <QString>

#include <functional>

// Keeps a repeated warning from flooding the log: every occurrence is counted, but a line
// is written at most once per interval. The line written after a quiet spell says how
// many occurrences were held back, so the log still shows the full count.
//
// Used on per-packet and per-connection paths, where a peer decides how often a warning
// would fire.
class LODESTAR_EXPORT RateLimitedWarning
{
public:
    // Milliseconds of some steady clock.
    using Clock = std::function<qint64()>;

    // text is the warning as logged; interval in milliseconds; clock defaults to a
    // monotonic clock.
    explicit RateLimitedWarning(const QString &text, qint64 interval = 10000, Clock clock = Clock());

    // Counts one occurrence. Returns the line to log now: text for the first occurrence,
    // text plus " (%1 more since the last report, %2 in total)" when occurrences were held
    // back; an empty string while within the interval of the last line.
    QString hit();

    // hit(), writing the line as a warning when there is one.
    void warn();

    quint64 total() const { return m_total; }
    quint64 suppressed() const { return m_suppressed; }

private:
    QString m_text;
    qint64 m_interval;
    Clock m_clock;
    qint64 m_lastReport = 0;
    bool m_reported = false;
    quint64 m_total = 0;
    quint64 m_suppressed = 0;
};

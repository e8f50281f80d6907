#pragma once

// What the fuzz targets share: silence for the code's own log lines (a warning per input
// would drown libFuzzer's output and slow every run) and an invariant check that libFuzzer
// reports as a crash with the input that broke it.

#include <QtGlobal>

#include <cstdlib>

namespace FuzzSupport {

inline void quiet(QtMsgType, const QMessageLogContext &, const QString &) { }

inline void silenceLog()
{
    qInstallMessageHandler(quiet);
}

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace FuzzSupport

#pragma once

// What the fuzz targets share: silence for the code's own log lines (a warning per input
// would drown libFuzzer's output and slow every run) and an invariant check that libFuzzer
// reports as a crash with the input that broke it.

#include "requestmanager.h"

#include <QCoreApplication>
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

// Delivers what one input left queued, deletions included. Other posted events go first: one
// left at the head of the queue would keep Qt from compacting it, and every later flush
// would get slower.
inline void flushEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Ends the requests an input left with the request manager, then flushes.
inline void dropWatchedRequests()
{
    const QList<Request *> left = RequestManager::instance()->requests();
    for (Request *request : left)
        RequestManager::instance()->drop(request);
    flushEvents();
}

} // namespace FuzzSupport

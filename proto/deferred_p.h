#pragma once

//
//  W A R N I N G
//  -------------
//
// This file is not part of the lodestar API. It exists for the implementation of
// Deferred only and may change from version to version without notice.
//

#include "error.h"

#include <QAtomicInt>
#include <QObject>
#include <QVariant>

// The state that all copies of one Deferred share; deleted with the last handle.
class DeferredPrivate : public QObject
{
    Q_OBJECT

public:
    DeferredPrivate();

    QAtomicInt ref{1};
    bool fired = false;
    bool failed = false;
    QVariant result;
    Error error;

signals:
    void callback(const QVariant &result);
    void errback(const Error &error);
};

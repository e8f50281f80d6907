#pragma once

#include "error.h"
#include "lodestar_export.h"

#include <QMetaType>
#include <QVariant>

class QObject;
class DeferredPrivate;

// A shared handle to a result that comes later.
//
// Copies share one state; the state goes away with the last handle. Any number of
// receivers attach a callback slot (one QVariant argument) and an errback slot (one Error
// argument). Receivers added before the Deferred fires run when it fires, through the
// signals of the shared state; receivers added after it fired are called at once, directly:
// a callback when it succeeded, an errback when it failed.
//
// Firing twice is not prevented: a second callback()/errback() stores the new value and
// emits again.
//
//     Deferred d = request->deferred();
//     d.addCallback(this, SLOT(resultReady(QVariant)));
//     d.addErrback(this, SLOT(errorReady(Error)));
class LODESTAR_EXPORT Deferred
{
public:
    Deferred();
    Deferred(const Deferred &other);
    Deferred &operator=(const Deferred &other);
    ~Deferred();

    // slot is written the way SLOT() writes it: a code character, then the normalized
    // signature, e.g. "1resultReady(QVariant)".
    void addCallback(QObject *receiver, const char *slot);
    void addErrback(QObject *receiver, const char *slot);

    // Stores the result, emits the callback signal, then marks the Deferred fired.
    void callback(const QVariant &result);
    // Stores the error, marks the Deferred failed, emits the errback signal, then marks
    // it fired.
    void errback(const Error &error);

    bool isFired() const;
    bool isFailed() const;
    QVariant result() const;
    Error error() const;

    // True when both handles share one state.
    bool operator==(const Deferred &other) const { return d == other.d; }
    bool operator!=(const Deferred &other) const { return d != other.d; }

private:
    DeferredPrivate *d;
};

Q_DECLARE_METATYPE(Deferred)

// Registers Deferred under the name "Deferred" once; returns its type id. The JSON-RPC
// engine recognises a handler method that answers later by this id.
LODESTAR_EXPORT int registerDeferredMetaType();

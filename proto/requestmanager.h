#pragma once

#include "lodestar_export.h"

#include <QList>
#include <QObject>

class Request;
class RequestManagerPrivate;

// The one place where time-outs live; one instance per process.
//
// insert() watches a request: when its deadline passes the manager finishes it with Error
// code 2 (empty message) through its virtual requestFinished(), so a subclass can translate
// the error. When a watched request finishes (for whatever reason) the manager forgets it,
// sets its state to Request::Finished and, when its auto-delete flag is set, deletes it
// through the event loop (after finished() reached every receiver). A watched request that
// is destroyed simply leaves the tables; it is never finished.
//
// Timer habit that callers rely on: one single-shot timer serves all requests and is not
// re-armed by insert() while it runs, so a short time-out inserted after a long one expires
// when the timer next fires. Removing a request re-arms the timer for the earliest
// remaining deadline (or expires what is already due) whenever the timer stands later than
// that deadline.
class LODESTAR_EXPORT RequestManager : public QObject
{
    Q_OBJECT

public:
    // Created on first use as a child of the application object (when there is one).
    static RequestManager *instance();
    ~RequestManager() override;

    // Watches request with a time-out in seconds; the request's own time-out wins when it
    // is not 0. Inserting a watched request again sets a new deadline.
    void insert(Request *request, unsigned short timeout);
    // Deletes request at once; a null pointer is ignored.
    void drop(Request *request);
    // Every watched request, in ascending deadline order.
    QList<Request *> requests() const;

private:
    explicit RequestManager(QObject *parent);

    static RequestManager *_instance;
    RequestManagerPrivate *d;
};

// Milliseconds since the Unix epoch on the wall clock. Despite its name it follows changes
// of the system clock: setting the clock forward makes pending requests expire early.
LODESTAR_EXPORT qint64 monotonicTime();

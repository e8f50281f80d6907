#pragma once

#include "deferred.h"
#include "error.h"
#include "lodestar_export.h"

#include <QObject>

#include <memory>

class RequestPrivate;

// One asynchronous operation (a JSON-RPC call, an HTTP exchange, a DNS query, ...).
//
// Whoever completes the operation calls requestFinished() with the outcome: an Error that
// is either success (code 0) or a failure. finished() follows every requestFinished();
// receivers read error() (and whatever result a subclass carries) during that signal.
//
// Time-outs live in RequestManager: a request handed to it is finished with Error code 2
// when its deadline passes, gets state Finished when it finishes, and is deleted through
// the event loop afterwards unless setAutoDelete(false) was called. A request that was
// never handed to the manager keeps state Pending and is never deleted by it.
class LODESTAR_EXPORT Request : public QObject
{
    Q_OBJECT

public:
    enum State {
        Pending = 0,
        Finished = 1,
    };
    Q_ENUM(State)

    explicit Request(QObject *parent = nullptr);
    ~Request() override;

    State state() const;
    void setState(State state);
    // True once the request manager has seen the request finish.
    bool isFinished() const;

    const Error &error() const;
    // True while the stored error code is 0 (also before the request finished).
    bool isSucceed() const;

    // True after construction: the request manager deletes the request once it finished.
    void setAutoDelete(bool autoDelete);
    bool autoDelete() const;

    // Own time-out in seconds; 0 (the default) lets whoever inserts the request into the
    // request manager choose.
    void setTimeout(unsigned short seconds);
    unsigned short timeout() const;

    // A new Deferred that fires when this request finishes: errback with error() when it
    // failed, else callback with a null QVariant. Every call makes a new one.
    virtual Deferred deferred();
    // Stores the code and message of error and emits finished(). The state is left alone.
    // Subclasses override it to clean up or translate the error, then call the base.
    virtual void requestFinished(const Error &error);

signals:
    void finished();

private:
    std::unique_ptr<RequestPrivate> d;
};

// Created by Request::deferred() as a child of the request: turns the request's finished()
// into a firing of its Deferred.
class LODESTAR_EXPORT DeferredRequestError : public QObject
{
    Q_OBJECT

public:
    explicit DeferredRequestError(Request *request);

    Deferred deferred() const { return m_deferred; }

public slots:
    void requestFinished();

private:
    Request *m_request;
    Deferred m_deferred;
};

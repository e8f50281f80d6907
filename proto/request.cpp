#include "request.h"

class RequestPrivate
{
public:
    Request::State state = Request::Pending;
    bool autoDelete = true;
    unsigned short timeout = 0; // seconds
    Error error;
};

Request::Request(QObject *parent)
    : QObject(parent)
    , d(new RequestPrivate)
{
}

Request::~Request() = default;

Request::State Request::state() const
{
    return d->state;
}

void Request::setState(State state)
{
    d->state = state;
}

bool Request::isFinished() const
{
    return d->state == Finished;
}

const Error &Request::error() const
{
    return d->error;
}

bool Request::isSucceed() const
{
    return d->error.code() == 0;
}

void Request::setAutoDelete(bool autoDelete)
{
    d->autoDelete = autoDelete;
}

bool Request::autoDelete() const
{
    return d->autoDelete;
}

void Request::setTimeout(unsigned short seconds)
{
    d->timeout = seconds;
}

unsigned short Request::timeout() const
{
    return d->timeout;
}

Deferred Request::deferred()
{
    auto *watcher = new DeferredRequestError(this);
    connect(this, &Request::finished, watcher, &DeferredRequestError::requestFinished);
    return watcher->deferred();
}

void Request::requestFinished(const Error &error)
{
    d->error.setCode(error.code());
    d->error.setMessage(error.message());
    emit finished();
}

DeferredRequestError::DeferredRequestError(Request *request)
    : QObject(request)
    , m_request(request)
{
}

void DeferredRequestError::requestFinished()
{
    if (m_request->error().code() != 0)
        m_deferred.errback(m_request->error());
    else
        m_deferred.callback(QVariant());
}

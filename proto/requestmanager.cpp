#include "requestmanager.h"

#include "request.h"
#include "requestmanager_p.h"
#include "testhooks.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPointer>
#include <QSet>

#include <limits>

namespace {
TestHooks::MonotonicTimeSource timeSource = nullptr;

constexpr int TimedOut = 2;
} // namespace

qint64 monotonicTime()
{
    if (timeSource)
        return timeSource();
    return QDateTime::currentMSecsSinceEpoch();
}

void TestHooks::setMonotonicTimeSource(MonotonicTimeSource source)
{
    timeSource = source;
}

// ---------------------------------------------------------------------------------------

RequestManager *RequestManager::_instance = nullptr;

RequestManager *RequestManager::instance()
{
    if (!_instance)
        _instance = new RequestManager(QCoreApplication::instance());
    return _instance;
}

RequestManager::RequestManager(QObject *parent)
    : QObject(parent)
    , d(new RequestManagerPrivate(this))
{
}

RequestManager::~RequestManager()
{
    // The application object deletes us on shutdown; a later instance() starts afresh
    // instead of returning a dangling pointer.
    if (_instance == this)
        _instance = nullptr;
}

void RequestManager::insert(Request *request, unsigned short timeout)
{
    d->insert(request, timeout);
}

void RequestManager::drop(Request *request)
{
    delete request;
}

QList<Request *> RequestManager::requests() const
{
    return d->requests();
}

// ---------------------------------------------------------------------------------------

RequestManagerPrivate::RequestManagerPrivate(QObject *parent)
    : QObject(parent)
    , m_timer(this)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RequestManagerPrivate::timer_timeout);
}

void RequestManagerPrivate::insert(Request *request, unsigned short timeout)
{
    if (!request)
        return;
    const qint64 seconds = request->timeout() != 0 ? request->timeout() : timeout;
    const qint64 now = monotonicTime();
    const qint64 deadline = now + seconds * 1000;

    auto watch = m_watches.find(request);
    if (watch == m_watches.end()) {
        m_watches.insert(request, Watch{deadline, 1});
        // The request travels in the connection: sender() would cost a walk over every
        // watched request's connection, quadratic under load.
        connect(request, &Request::finished, this, [this, request] { request_finished(request); });
    } else {
        watch->deadline = deadline;
        ++watch->entries;
    }
    m_queue.emplace(deadline, request);

    connect(request, &QObject::destroyed, this, &RequestManagerPrivate::request_destroyed,
            Qt::UniqueConnection);

    // Deliberately not re-armed while running: see the class comment in requestmanager.h.
    if (!m_timer.isActive())
        arm(seconds * 1000, now);
}

QList<Request *> RequestManagerPrivate::requests() const
{
    QList<Request *> list;
    list.reserve(m_watches.size());
    QSet<const Request *> seen;
    for (const auto &entry : m_queue) {
        // A request inserted twice stands in the queue twice; list it once.
        if (!seen.contains(entry.second)) {
            seen.insert(entry.second);
            list.append(entry.second);
        }
    }
    return list;
}

void RequestManagerPrivate::arm(qint64 milliseconds, qint64 now)
{
    const qint64 clamped = qBound<qint64>(0, milliseconds, std::numeric_limits<int>::max());
    m_armedFor = now + clamped;
    m_timer.start(int(clamped));
}

bool RequestManagerPrivate::detach(QObject *request)
{
    const auto watch = m_watches.find(request);
    if (watch == m_watches.end())
        return false;
    if (watch->entries == 1) {
        auto range = m_queue.equal_range(watch->deadline);
        for (auto it = range.first; it != range.second; ++it) {
            if (static_cast<QObject *>(it->second) == request) {
                m_queue.erase(it);
                break;
            }
        }
    } else {
        // Every entry goes, stale ones included: a stale entry of a request that is gone
        // would otherwise be expired through a dangling pointer.
        for (auto it = m_queue.begin(); it != m_queue.end();) {
            if (static_cast<QObject *>(it->second) == request)
                it = m_queue.erase(it);
            else
                ++it;
        }
    }
    m_watches.erase(watch);
    return true;
}

void RequestManagerPrivate::remove(QObject *request)
{
    if (m_queue.empty() || !m_watches.contains(request))
        return;
    const qint64 earliestBefore = m_queue.begin()->first;
    detach(request);
    if (m_queue.empty()) {
        m_timer.stop();
        return;
    }
    if (m_expiring)
        return; // the running expiry loop looks at the queue again and re-arms
    const qint64 earliest = m_queue.begin()->first;
    if (earliest != earliestBefore || (m_timer.isActive() && m_armedFor > earliest))
        timer_timeout();
}

void RequestManagerPrivate::request_finished(Request *request)
{
    remove(request);
    request->setState(Request::Finished);
    disconnect(request, nullptr, this, nullptr);
    if (request->autoDelete())
        request->deleteLater();
}

void RequestManagerPrivate::request_destroyed(QObject *object)
{
    remove(object);
}

void RequestManagerPrivate::timer_timeout()
{
    if (m_expiring)
        return;
    m_expiring = true;
    const QPointer<RequestManagerPrivate> self(this);
    for (;;) {
        const qint64 now = monotonicTime();
        if (m_queue.empty()) {
            m_timer.stop();
            break;
        }
        const auto earliest = m_queue.begin();
        if (earliest->first > now) {
            arm(earliest->first - now, now);
            break;
        }
        Request *request = earliest->second;
        detach(request);
        // Receivers of finished() may insert, finish or delete any request, this one
        // included; the loop reads the queue afresh each turn.
        request->requestFinished(Error(TimedOut));
        if (!self)
            return;
    }
    m_expiring = false;
}

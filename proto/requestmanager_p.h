#pragma once

//
//  W A R N I N G
//  -------------
//
// This file is not part of the lodestar API. It exists for the implementation of
// RequestManager only and may change from version to version without notice.
//

#include <QHash>
#include <QObject>
#include <QTimer>

#include <map>

class Request;

class RequestManagerPrivate : public QObject
{
    Q_OBJECT

public:
    explicit RequestManagerPrivate(QObject *parent);

    struct Watch
    {
        qint64 deadline; // monotonicTime() milliseconds
        int entries;     // how many times the request stands in the queue
    };

    void insert(Request *request, unsigned short timeout);
    QList<Request *> requests() const;

    void request_finished(Request *request);

public slots:
    void request_destroyed(QObject *object);
    void timer_timeout();

private:
    void arm(qint64 milliseconds, qint64 now);
    // Takes the request out of both tables; the timer is not touched.
    bool detach(QObject *request);
    void remove(QObject *request);

    QTimer m_timer;
    qint64 m_armedFor = 0; // deadline the running timer stands for
    bool m_expiring = false;
    QHash<QObject *, Watch> m_watches;
    // Deadline to request, ascending; requests of equal deadline in insertion order.
    std::multimap<qint64, Request *> m_queue;
};

#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a signal of the event loop, so that the service stops
// through its normal path instead of inside a signal handler. One per process.
class TerminationWatcher : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(TerminationWatcher)
public:
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};

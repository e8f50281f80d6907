#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into the signal interrupted(), delivered by the event
// loop, so that the program ends through its normal path: a terminal left without echo
// by a password prompt gets its echo back, and 'watch' ends with status 0.
//
// One instance per process; the handlers are installed by the constructor and the
// previous ones put back by the destructor.
class InterruptWatcher : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(InterruptWatcher)

public:
    explicit InterruptWatcher(QObject *parent = nullptr);
    ~InterruptWatcher() override;

Q_SIGNALS:
    void interrupted(int signal);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};

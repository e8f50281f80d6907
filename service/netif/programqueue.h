#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>

class QProcess;

// Runs programs one after the other without waiting on the event loop: each is started
// when the one before it ended, with its standard input given, and a failure is logged
// with the program's own words. Order matters (an "add" must not overtake the "delete"
// before it), hence one queue.
class ProgramQueue : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ProgramQueue)
public:
    // Milliseconds one program may run before it is killed.
    static constexpr int TimeoutMs = 10000;

    explicit ProgramQueue(const QString &logName, QObject *parent = nullptr);
    // Waits (bounded) for what is queued: at the service's stop the restore must be done
    // before the process ends.
    ~ProgramQueue() override;

    void enqueue(const QString &program, const QStringList &arguments, const QByteArray &input = QByteArray());
    bool isIdle() const;
    // Blocks until every queued program ended, at most timeoutMs; for the clean-up command
    // and the destructor, never on the running service's event loop.
    bool waitForIdle(int timeoutMs = TimeoutMs);

signals:
    void idle();

private:
    struct Item
    {
        QString program;
        QStringList arguments;
        QByteArray input;
    };
    void startNext();
    void finished();

    QString m_logName;
    QList<Item> m_queue;
    QProcess *m_running = nullptr;
};

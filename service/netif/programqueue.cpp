#include "programqueue.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTimer>

ProgramQueue::ProgramQueue(const QString &logName, QObject *parent)
    : QObject(parent)
    , m_logName(logName)
{
}

ProgramQueue::~ProgramQueue()
{
    waitForIdle();
    delete m_running;
}

bool ProgramQueue::isIdle() const
{
    return !m_running && m_queue.isEmpty();
}

void ProgramQueue::enqueue(const QString &program, const QStringList &arguments, const QByteArray &input)
{
    m_queue.append({ program, arguments, input });
    if (!m_running)
        startNext();
}

void ProgramQueue::startNext()
{
    if (m_queue.isEmpty()) {
        emit idle();
        return;
    }
    const Item item = m_queue.takeFirst();
    m_running = new QProcess(this);
    m_running->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_running, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this, &ProgramQueue::finished);
    connect(m_running, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finished();
    });
    QTimer::singleShot(TimeoutMs, m_running, &QProcess::kill);
    m_running->start(item.program, item.arguments);
    m_running->write(item.input);
    m_running->closeWriteChannel();
}

void ProgramQueue::finished()
{
    QProcess *process = m_running;
    if (!process)
        return;
    m_running = nullptr;
    const bool ok = process->error() != QProcess::FailedToStart && process->exitStatus() == QProcess::NormalExit
            && process->exitCode() == 0;
    if (!ok) {
        const QString output = QString::fromLocal8Bit(process->readAll().left(512)).trimmed();
        qWarning("%s: \"%s %s\" failed: %s", qPrintable(m_logName), qPrintable(process->program()),
                 qPrintable(process->arguments().join(QLatin1Char(' '))),
                 qPrintable(output.isEmpty() ? process->errorString() : output));
    }
    process->disconnect(this);
    process->deleteLater();
    startNext();
}

bool ProgramQueue::waitForIdle(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (m_running) {
        QProcess *process = m_running;
        if (process->state() != QProcess::NotRunning && !process->waitForFinished(int(deadline.remainingTime())))
            process->kill();
        if (process->state() == QProcess::NotRunning && m_running == process)
            finished();
        if (deadline.hasExpired())
            break;
    }
    return isIdle();
}

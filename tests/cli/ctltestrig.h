#pragma once

#include "fakeservice.h"
#include "networks.h"
#include "qxtjson.h"
#include "testsupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

// The real corvanectl program, started with QProcess against a fake service that runs in
// the test's own event loop (which keeps serving while the test waits for the program).
struct CtlTestRig
{
    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
        QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
    };

    static QString program() { return QStringLiteral(CORVANE_BINARY_DIR "/cli/corvanectl"); }

    std::unique_ptr<FakeService> service = std::make_unique<FakeService>();
    QString socketPath = TestSupport::scratchDirectory(QStringLiteral("cli-ipc")) + QStringLiteral("/en-genericipc");

    CtlTestRig()
    {
        service->useSampleAccount();
        service->domainLists[11][CabinetDomain::WhiteList].append(CabinetDomain(7, QStringLiteral("example.org")));
    }

    bool start() { return service->start(socketPath); }

    QProcessEnvironment environment(const QString &socket = QString()) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CORVANE_IPC_SOCKET"), socket.isEmpty() ? socketPath : socket);
        return environment;
    }

    // Starts the program; the caller waits with finish().
    // inputFile: standard input is a regular file holding input, not a pipe.
    std::unique_ptr<QProcess> launch(const QStringList &arguments, const QByteArray &input = QByteArray(),
                                     const QString &socket = QString(), bool inputFile = false) const
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment(socket));
        if (inputFile) {
            const QString path = TestSupport::scratchDirectory(QStringLiteral("cli-input")) + QStringLiteral("/input");
            TestSupport::writeFile(path, input);
            process->setStandardInputFile(path);
        }
        process->start(program(), arguments);
        if (!input.isNull() && !inputFile)
            process->write(input);
        process->closeWriteChannel();
        return process;
    }

    static Run finish(QProcess *process, int timeoutMs = 20000)
    {
        qRegisterMetaType<QProcess::ExitStatus>();
        Run run;
        QSignalSpy finished(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished));
        if (process->state() != QProcess::NotRunning && !finished.wait(timeoutMs)) {
            process->kill();
            process->waitForFinished();
            run.exitCode = -1;
        } else {
            run.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -2;
        }
        run.out = process->readAllStandardOutput();
        run.err = process->readAllStandardError();
        return run;
    }

    Run run(const QStringList &arguments, const QByteArray &input = QByteArray(), bool inputFile = false) const
    {
        return finish(launch(arguments, input, QString(), inputFile).get());
    }

    // The params of the last call of the method as JSON text, "" when it never came.
    QString paramsOf(const QString &method) const
    {
        return service->count(method) ? QxtJSON::stringify(service->lastParams(method)) : QString();
    }
};

inline QByteArray describe(const CtlTestRig::Run &run)
{
    return "exit " + QByteArray::number(run.exitCode) + "\nstdout:\n" + run.out + "stderr:\n" + run.err;
}

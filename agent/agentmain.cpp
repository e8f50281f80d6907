#include "agentmain.h"

#include "agent.h"
#include "agentoptions.h"
#include "paths.h"
#include "returncodechannel.h"
#include "singleinstance.h"

#include <QApplication>
#include <QStringList>

namespace {

constexpr int MessageTimeoutMs = 5000;

QStringList argumentList(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int runPrimary(int argc, char **argv, SingleInstance &instance, const AgentOptions &options)
{
    QApplication app(argc, argv);
    initAgentResources();
    instance.listen();
    Agent agent(options);
    QObject::connect(&instance, &SingleInstance::messageReceived, &agent, &Agent::handleMessage);
    // Queued: the code may be decided while the state machine starts, before exec() runs.
    QObject::connect(&agent, &Agent::finished, &app, &QCoreApplication::exit, Qt::QueuedConnection);
    agent.start();
    return app.exec();
}

// Asks the running instance for the uninstall password check and waits, without a time-out,
// for the code it writes back.
int runPasswordCheck(int argc, char **argv, SingleInstance &instance)
{
    QCoreApplication app(argc, argv);
    ReturnCodeListener listener;
    QObject::connect(&listener, &ReturnCodeListener::codeReceived, &app, &QCoreApplication::exit,
                     Qt::QueuedConnection);
    QObject::connect(&listener, &ReturnCodeListener::failed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (listener.listen())
        instance.sendMessage(QStringLiteral("authenticate"), MessageTimeoutMs);
    return app.exec();
}

} // namespace

void initAgentResources()
{
    Q_INIT_RESOURCE(agent);
    Q_INIT_RESOURCE(translations);
}

int agentMain(int argc, char **argv)
{
    Paths::applySettingsOverrides();
    const AgentOptions options = AgentOptions::fromArguments(argumentList(argc, argv));
    SingleInstance instance(SingleInstance::userInstanceId());
    if (!instance.isRunning()) {
        if (options.close)
            return 0;
        return runPrimary(argc, argv, instance, options);
    }
    if (!options.passwordCheck) {
        instance.sendMessage(options.close ? QStringLiteral("close") : QStringLiteral("activate"),
                             MessageTimeoutMs);
        return 0;
    }
    return runPasswordCheck(argc, argv, instance);
}

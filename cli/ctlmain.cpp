#include "ctlmain.h"

#include "commandline.h"
#include "ctlsession.h"
#include "exitcodes.h"
#include "helptext.h"
#include "interruptwatcher.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    fflush(stream);
}

// Qt's own debug lines (the JSON-RPC engine's, say) are not for the user of a command;
// warnings are, in the program's words.
void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    print(stderr, QStringLiteral("corvanectl: warning: %1\n").arg(message));
    if (type == QtFatalMsg)
        abort();
}

} // namespace

int corvanectlMain(int argc, char **argv)
{
    qInstallMessageHandler(messageHandler);
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("corvanectl"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.2.1.3"));

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const Invocation invocation = Invocation::parse(arguments);
    if (!invocation.isValid()) {
        print(stderr, QStringLiteral("corvanectl: %1\n").arg(invocation.error));
        return ExitCode::Usage;
    }
    if (invocation.version) {
        print(stdout, QStringLiteral("corvanectl %1\n").arg(QCoreApplication::applicationVersion()));
        return ExitCode::Done;
    }
    if (invocation.help) {
        print(stdout, invocation.helpTopic.isEmpty() ? HelpText::usage() : HelpText::command(invocation.helpTopic));
        return ExitCode::Done;
    }

    InterruptWatcher interrupts;
    CtlSession session(invocation);
    QObject::connect(&interrupts, &InterruptWatcher::interrupted, &session, &CtlSession::interrupt);
    // Queued: the session may finish inside start(), before exec() runs.
    QObject::connect(&session, &CtlSession::finished, &app, &QCoreApplication::exit, Qt::QueuedConnection);
    session.start();
    return app.exec();
}

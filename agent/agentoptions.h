#pragma once

#include <QStringList>

// The command line of corvane-agent. Options are compared exactly and case-sensitively
// with the arguments; anything else is ignored.
struct AgentOptions
{
    bool close = false;         // "-c": ask a running instance to close
    bool passwordCheck = false; // "-p": password check before uninstalling
    bool hidden = false;        // "-h": start hidden in the tray (the autorun entry passes it)
    bool activate = false;      // "-a": bring the window to the front when it is first shown

    static AgentOptions fromArguments(const QStringList &arguments)
    {
        AgentOptions options;
        options.close = arguments.contains(QStringLiteral("-c"));
        options.passwordCheck = arguments.contains(QStringLiteral("-p"));
        options.hidden = arguments.contains(QStringLiteral("-h"));
        options.activate = arguments.contains(QStringLiteral("-a"));
        return options;
    }
};

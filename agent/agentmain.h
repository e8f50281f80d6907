#pragma once

// The program entry of corvane-agent: one instance per user, the messages to a running
// instance, and the uninstall password check handed to it. Returns the exit code: 0, 100
// (uninstalling permitted), 101 (refused or cancelled), or what the event loop returns.
int agentMain(int argc, char **argv);

// Makes the program's resources (pictures, translations) available; the library that holds
// them is static, so nothing else would pull them in.
void initAgentResources();

#pragma once

#include <QString>

// Who sits at the computer's console: the user of the active session of seat0, as logind
// knows it. The user-to-profile mapping asks it on every check; tests give a fake.
class ConsoleUser
{
public:
    virtual ~ConsoleUser();

    // The user name; empty when no seat or no active session (or logind cannot tell).
    virtual QString userName() = 0;

    // The machine's logind (sd-login).
    static ConsoleUser *createSystemConsoleUser();
};

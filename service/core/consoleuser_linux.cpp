#include "consoleuser.h"

#include <systemd/sd-login.h>

#include <cstdlib>

namespace {

class LogindConsoleUser : public ConsoleUser
{
public:
    QString userName() override
    {
        char *session = nullptr;
        // The session in the foreground of the seat with the physical console.
        if (sd_seat_get_active("seat0", &session, nullptr) < 0 || !session) {
            std::free(session);
            return QString();
        }
        char *name = nullptr;
        const int found = sd_session_get_username(session, &name);
        std::free(session);
        if (found < 0 || !name) {
            std::free(name);
            qDebug("can't get current user");
            return QString();
        }
        const QString user = QString::fromUtf8(name);
        std::free(name);
        return user;
    }
};

} // namespace

ConsoleUser::~ConsoleUser() = default;

ConsoleUser *ConsoleUser::createSystemConsoleUser()
{
    return new LogindConsoleUser;
}

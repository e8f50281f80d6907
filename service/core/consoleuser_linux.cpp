#include "consoleuser.h"

#include <systemd/sd-login.h>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {

class LogindConsoleUser : public ConsoleUser
{
public:
    QString userName() override
    {
        char *session = nullptr;
        uid_t uid = 0;
        // The session in the foreground of the seat with the physical console.
        const int found = sd_seat_get_active("seat0", &session, &uid);
        std::free(session);
        if (found < 0)
            return QString();
        long size = sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(size_t(size > 0 ? size : 16384));
        passwd entry {};
        passwd *result = nullptr;
        if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &result) != 0 || !result) {
            qDebug("can't get current user");
            return QString();
        }
        return QString::fromLocal8Bit(result->pw_name);
    }
};

} // namespace

ConsoleUser::~ConsoleUser() = default;

ConsoleUser *ConsoleUser::createSystemConsoleUser()
{
    return new LogindConsoleUser;
}

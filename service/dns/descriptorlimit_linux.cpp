#include "descriptorlimit.h"

#include <climits>

#include <sys/resource.h>

namespace DNS {

int raiseDescriptorLimit(int wanted)
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < rlim_t(wanted)) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max == RLIM_INFINITY ? rlim_t(wanted) : (limit.rlim_max < rlim_t(wanted) ? limit.rlim_max : rlim_t(wanted));
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > rlim_t(INT_MAX))
        return INT_MAX;
    return int(limit.rlim_cur);
}

} // namespace DNS

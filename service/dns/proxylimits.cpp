#include "proxylimits.h"

#include <QtGlobal>

namespace DNS {

int environmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

ProxyLimits ProxyLimits::fromEnvironment()
{
    ProxyLimits limits;
    limits.udpTimeout = quint16(qMin(environmentNumber("CORVANE_DNS_UDP_TIMEOUT", limits.udpTimeout), 0xFFFF));
    limits.tcpTimeout = quint16(qMin(environmentNumber("CORVANE_DNS_TCP_TIMEOUT", limits.tcpTimeout), 0xFFFF));
    limits.tcpClientIdleMs = environmentNumber("CORVANE_DNS_TCP_IDLE_MS", limits.tcpClientIdleMs);
    limits.upstreamTcpIdleMs = environmentNumber("CORVANE_DNS_TCP_IDLE_MS", limits.upstreamTcpIdleMs);
    limits.maxPendingQueries = environmentNumber("CORVANE_DNS_MAX_PENDING", limits.maxPendingQueries);
    limits.maxTcpClients = environmentNumber("CORVANE_DNS_MAX_TCP_CLIENTS", limits.maxTcpClients);
    limits.maxQueriesPerTcpClient =
        environmentNumber("CORVANE_DNS_MAX_QUERIES_PER_TCP_CLIENT", limits.maxQueriesPerTcpClient);
    return limits;
}

} // namespace DNS

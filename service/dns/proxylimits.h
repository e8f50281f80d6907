#pragma once

namespace DNS {

// Bounds that keep any client from making the proxy grow without limit, and its
// time-outs. The defaults are the product's; fromEnvironment() lets tests and the runner
// shorten or lower them (see README: CORVANE_DNS_*).
struct ProxyLimits
{
    // Upstream queries in flight at once (UDP and TCP together). Each UDP one holds a
    // socket, so the proxy also raises its descriptor limit to fit.
    int maxPendingQueries = 8192;
    // Client TCP connections open at once; when full, the one idle longest without a
    // query in flight makes room, else the newcomer is closed.
    int maxTcpClients = 256;
    // Queries in flight from one TCP client connection.
    int maxQueriesPerTcpClient = 256;
    // A client TCP connection without a complete message and without a query in flight
    // for this long is closed (checked once per period, so closed within twice this).
    int tcpClientIdleMs = 120000;
    // Same rule for the cached upstream TCP connections.
    int upstreamTcpIdleMs = 120000;
    // Answers queued towards a TCP client that does not read; past this the connection
    // is closed.
    int maxTcpWriteBacklog = 256 * 1024;
    // Seconds an upstream query waits for its answer.
    unsigned short udpTimeout = 10;
    unsigned short tcpTimeout = 120;

    // The defaults with the overrides of the environment applied:
    // CORVANE_DNS_UDP_TIMEOUT, CORVANE_DNS_TCP_TIMEOUT (seconds),
    // CORVANE_DNS_TCP_IDLE_MS (client and upstream), CORVANE_DNS_MAX_PENDING,
    // CORVANE_DNS_MAX_TCP_CLIENTS, CORVANE_DNS_MAX_QUERIES_PER_TCP_CLIENT.
    // Values that are not positive numbers are ignored.
    static ProxyLimits fromEnvironment();
};

// Reads a positive integer from the environment variable name, else returns fallback.
int environmentNumber(const char *name, int fallback);

} // namespace DNS

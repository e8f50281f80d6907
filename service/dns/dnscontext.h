#pragma once

#include "blockpageresponse.h"
#include "endpoint.h"
#include "proxylimits.h"

namespace DNS {

// What the DNS proxy and the block page server need from the service: where to listen,
// where to forward, and the computer's current identification token. The service's Server
// implements it; tests and the runner use small implementations of their own.
// Values are read when a query arrives (token) or at start (endpoints, limits).
class DnsContext
{
public:
    virtual ~DnsContext();

    // The proxy's own address and port ("localproxy-addr", "localproxy-port").
    virtual Endpoint localEndpoint() const = 0;
    // The filtering resolver ("tarnwickproxy-addr", "tarnwickproxy-port").
    virtual Endpoint upstreamEndpoint() const = 0;
    // The identification token; 0 means none.
    virtual quint32 token() const = 0;
    // ProxyLimits::fromEnvironment() unless overridden.
    virtual ProxyLimits limits() const;
    // The block page hosts a redirect may name; every host unless overridden.
    virtual BlockPage::HostAllowList blockPageHosts() const;
};

} // namespace DNS

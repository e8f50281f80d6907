#pragma once

#include "dnscontext.h"

// The values a test wants the proxy and the block page server to see.
class FakeContext : public DNS::DnsContext
{
public:
    DNS::Endpoint local;
    DNS::Endpoint upstream;
    quint32 currentToken = 0;
    DNS::ProxyLimits proxyLimits;

    DNS::Endpoint localEndpoint() const override { return local; }
    DNS::Endpoint upstreamEndpoint() const override { return upstream; }
    quint32 token() const override { return currentToken; }
    DNS::ProxyLimits limits() const override { return proxyLimits; }
};

#include "dnscontext.h"

namespace DNS {

DnsContext::~DnsContext() = default;

ProxyLimits DnsContext::limits() const
{
    return ProxyLimits::fromEnvironment();
}

} // namespace DNS

#include "dnscontext.h"

namespace DNS {

DnsContext::~DnsContext() = default;

ProxyLimits DnsContext::limits() const
{
    return ProxyLimits::fromEnvironment();
}

BlockPage::HostAllowList DnsContext::blockPageHosts() const
{
    return BlockPage::HostAllowList::any();
}

} // namespace DNS

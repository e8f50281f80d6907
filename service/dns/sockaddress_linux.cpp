#include "sockaddress_p.h"

#include <cstring>

#include <net/if.h>
#include <netinet/in.h>

namespace DNS {

namespace {

quint32 scopeIndex(const QString &scope)
{
    if (scope.isEmpty())
        return 0;
    bool numeric = false;
    const quint32 index = scope.toUInt(&numeric);
    if (numeric)
        return index;
    return ::if_nametoindex(scope.toLocal8Bit().constData());
}

QString scopeName(quint32 index)
{
    if (index == 0)
        return QString();
    char name[IF_NAMESIZE] = {};
    if (::if_indextoname(index, name))
        return QString::fromLocal8Bit(name);
    return QString::number(index);
}

} // namespace

socklen_t endpointToSockaddr(const Endpoint &endpoint, sockaddr_storage *out)
{
    std::memset(out, 0, sizeof(*out));
    if (endpoint.address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto *in6 = reinterpret_cast<sockaddr_in6 *>(out);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(endpoint.port);
        const Q_IPV6ADDR address = endpoint.address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, &address, sizeof(address));
        in6->sin6_scope_id = scopeIndex(endpoint.address.scopeId());
        return sizeof(sockaddr_in6);
    }
    auto *in4 = reinterpret_cast<sockaddr_in *>(out);
    in4->sin_family = AF_INET;
    in4->sin_port = htons(endpoint.port);
    in4->sin_addr.s_addr = htonl(endpoint.address.toIPv4Address());
    return sizeof(sockaddr_in);
}

Endpoint endpointFromSockaddr(const sockaddr_storage &in)
{
    if (in.ss_family == AF_INET6) {
        sockaddr_in6 in6;
        std::memcpy(&in6, &in, sizeof(in6));
        QHostAddress address(reinterpret_cast<const quint8 *>(&in6.sin6_addr));
        address.setScopeId(scopeName(in6.sin6_scope_id));
        return Endpoint(address, ntohs(in6.sin6_port));
    }
    sockaddr_in in4;
    std::memcpy(&in4, &in, sizeof(in4));
    return Endpoint(QHostAddress(ntohl(in4.sin_addr.s_addr)), ntohs(in4.sin_port));
}

int addressFamily(const Endpoint &endpoint)
{
    return endpoint.address.protocol() == QAbstractSocket::IPv6Protocol ? AF_INET6 : AF_INET;
}

} // namespace DNS

#pragma once

#include <QHash>
#include <QHostAddress>
#include <QString>

namespace DNS {

// A host address and a 16-bit port; equal when both parts are.
struct Endpoint
{
    QHostAddress address;
    quint16 port = 0;

    Endpoint() = default;
    Endpoint(const QHostAddress &a, quint16 p)
        : address(a)
        , port(p)
    {
    }

    bool isValid() const { return !address.isNull(); }
    bool operator==(const Endpoint &other) const { return port == other.port && address == other.address; }
    bool operator!=(const Endpoint &other) const { return !(*this == other); }
    // "127.0.0.1:53", "[::1]:53"
    QString toString() const;
};

inline uint qHash(const Endpoint &endpoint, uint seed = 0)
{
    return ::qHash(endpoint.address, seed) ^ endpoint.port;
}

} // namespace DNS

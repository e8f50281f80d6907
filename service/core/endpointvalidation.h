#pragma once

#include <QHostAddress>

class QSettings;

// An address and port of the configuration, after validation.
struct Endpoint
{
    QHostAddress address;
    quint16 port = 0;
};

// The filtering resolver that queries go to, and where the local proxy listens.
struct ProxyEndpoints
{
    Endpoint upstream;
    Endpoint local;
};

// Reads the resolver and local proxy endpoints from the store, replacing every value that
// is not an IPv4 address or a 16-bit port by its default, written back with a warning.
// A port of 0 is valid and kept.
ProxyEndpoints validateEndpoints(QSettings &store);

// Used by the service's own store (default-constructed settings).
ProxyEndpoints validateEndpoints();

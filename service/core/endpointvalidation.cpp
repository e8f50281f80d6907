#include "endpointvalidation.h"

#include "configuration.h"

#include <QSettings>

namespace {

QHostAddress validAddress(QSettings &store, const QString &key, const QString &fallback,
        const char *warning)
{
    const QHostAddress address(store.value(key).toString());
    if (!address.isNull() && address.protocol() == QAbstractSocket::IPv4Protocol)
        return address;
    store.setValue(key, fallback);
    qWarning("%s", warning);
    return QHostAddress(fallback);
}

quint16 validPort(QSettings &store, const QString &key, quint16 fallback, const char *warning)
{
    bool ok = false;
    const quint16 port = store.value(key).toString().toUShort(&ok, 10);
    if (ok)
        return port;
    store.setValue(key, fallback);
    qWarning("%s", warning);
    return fallback;
}

} // namespace

ProxyEndpoints validateEndpoints(QSettings &store)
{
    using namespace Configuration;
    ProxyEndpoints endpoints;
    endpoints.upstream.address = validAddress(store, Key::UpstreamAddress, DefaultUpstreamAddress,
            "Configuration contains wrong remote dns address. Default one is used instead.");
    endpoints.upstream.port = validPort(store, Key::UpstreamPort, DefaultUpstreamPort,
            "Configuration contains wrong remote dns port. Default one is used instead.");
    endpoints.local.address = validAddress(store, Key::LocalProxyAddress, DefaultLocalProxyAddress,
            "Configuration contains wrong local proxy address. Default one is used instead.");
    endpoints.local.port = validPort(store, Key::LocalProxyPort, DefaultLocalProxyPort,
            "Configuration contains wrong local proxy port. Default one is used instead.");
    return endpoints;
}

ProxyEndpoints validateEndpoints()
{
    QSettings store;
    return validateEndpoints(store);
}

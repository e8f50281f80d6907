#pragma once

#include <QDBusMessage>
#include <QString>
#include <QVariant>
#include <QVariantList>

// Small blocking helpers for the system services the adapter control talks to on the
// system bus (systemd-resolved, NetworkManager). Every call is bounded by
// AdapterDnsBackend::BusTimeoutMs. The bus is the one of $DBUS_SYSTEM_BUS_ADDRESS when set,
// which is how tests point the service at a private bus.
namespace SystemBus {

inline const QString ResolvedService = QStringLiteral("org.freedesktop.resolve1");
inline const QString NetworkManagerService = QStringLiteral("org.freedesktop.NetworkManager");

// Whether a name has an owner on the system bus (false without a bus).
bool hasOwner(const QString &service);

// A method call; the reply, or an error message (also on time-out).
QDBusMessage call(const QString &service, const QString &path, const QString &interface,
        const QString &method, const QVariantList &arguments = {});

// org.freedesktop.DBus.Properties.Get; an invalid value on any failure (*error gets why).
QVariant property(const QString &service, const QString &path, const QString &interface,
        const QString &name, QString *error = nullptr);

// Whether the reply says the peer did not answer in time.
bool timedOut(const QDBusMessage &reply);

// "name: message" of an error reply, for the log.
QString errorText(const QDBusMessage &reply);

} // namespace SystemBus

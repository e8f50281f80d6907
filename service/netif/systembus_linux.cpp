#include "systembus.h"

#include "adapterdnsbackend.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusReply>
#include <QDBusVariant>

namespace SystemBus {

bool hasOwner(const QString &service)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<bool> reply = bus.interface()->isServiceRegistered(service);
    return reply.isValid() && reply.value();
}

QDBusMessage call(const QString &service, const QString &path, const QString &interface,
        const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return QDBusConnection::systemBus().call(message, QDBus::Block, AdapterDnsBackend::BusTimeoutMs);
}

QVariant property(const QString &service, const QString &path, const QString &interface,
        const QString &name, QString *error)
{
    const QDBusMessage reply = call(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"), { interface, name });
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        if (error)
            *error = errorText(reply);
        return QVariant();
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

bool timedOut(const QDBusMessage &reply)
{
    const QDBusError::ErrorType type = QDBusError(reply).type();
    return type == QDBusError::NoReply || type == QDBusError::Timeout || type == QDBusError::TimedOut;
}

QString errorText(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return QStringLiteral("unexpected reply");
    return reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
}

} // namespace SystemBus

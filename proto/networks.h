#pragma once

#include "lodestar_export.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>

// One network connection of the computer as the service reports it to the desktop client:
//   {"id": adapter id, "name": display name, "protected": DNS points at the local proxy}.
class LODESTAR_EXPORT Network
{
public:
    static const QString IdKey;        // "id"
    static const QString NameKey;      // "name"
    static const QString ProtectedKey; // "protected"

    Network() = default;
    Network(const QString &id, const QString &name, bool isProtected)
        : m_id(id), m_name(name), m_protected(isProtected)
    {
    }

    QString id() const { return m_id; }
    void setId(const QString &id) { m_id = id; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    bool isProtected() const { return m_protected; }
    void setProtected(bool on) { m_protected = on; }

    // Needs a map; true when id and name are non-empty (the record is filled either way).
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;
    // "<id: %1 name: %2 protected: %3>"
    QString toString() const;

    bool operator==(const Network &other) const;
    bool operator!=(const Network &other) const { return !(*this == other); }

private:
    QString m_id;
    QString m_name;
    bool m_protected = false;
};

// The computer's network connections and the one that carries the default route:
//   {"networks": [network...], "defaultRouteId": id or null}.
class LODESTAR_EXPORT NetworksInfo
{
public:
    static const QString NetworksKey;       // "networks"
    static const QString DefaultRouteIdKey; // "defaultRouteId"

    NetworksInfo() = default;

    QList<Network> networks() const { return m_networks; }
    void setNetworks(const QList<Network> &networks) { m_networks = networks; }
    QString defaultRouteId() const { return m_defaultRouteId; }
    void setDefaultRouteId(const QString &id) { m_defaultRouteId = id; }

    // Needs a map whose "defaultRouteId" is a string, null or absent and whose "networks"
    // is a list of valid networks (else the networks are cleared and the result is false).
    // The networks are kept, but the result is false, when the default route id names
    // none of them.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;

    // Sets the protected flag of the first network with that id; false when none has it.
    bool setNetworkProtection(const QString &id, bool on);

    // "NetworksInfo: active: %1 networks: %2 " (the trailing blank is part of the form).
    QString toString() const;

    bool operator==(const NetworksInfo &other) const;
    bool operator!=(const NetworksInfo &other) const { return !(*this == other); }

private:
    QList<Network> m_networks;
    QString m_defaultRouteId;
};

Q_DECLARE_METATYPE(Network)
Q_DECLARE_METATYPE(NetworksInfo)

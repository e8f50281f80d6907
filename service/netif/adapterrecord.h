#pragma once

#include "adapterdnsbackend.h"

#include <QHostAddress>
#include <QList>
#include <QString>

// One network adapter as the adapter control knows it, with what it saved of the adapter's
// own DNS servers while the service's setting is in force. The backend is keyed by name and
// family, so the record needs no key paths of its own.
struct AdapterRecord
{
    // Operational status as the enumeration reports it.
    static constexpr int StatusUp = 1;
    static constexpr int StatusDown = 2;

    QString name;
    QString friendlyName;
    QString description;
    // Per family (AdapterDnsBackend::Family): the adapter's own servers before the service's
    // setting replaced them, the separator their text used, and whether the family's setting
    // is currently the service's.
    QList<QHostAddress> savedServers[2];
    QChar separator[2] = { QLatin1Char(','), QLatin1Char(',') };
    int status = StatusDown;
    bool overridden[2] = { false, false };

    bool isUp() const { return status == StatusUp; }

    // The servers in a value's text: split at ',' when it has one, else at ' ' when it has
    // one; empty parts dropped; *separator (when given) receives the separator used.
    static QList<QHostAddress> parseServers(const QString &text, QChar *separator = nullptr);
};

// What an enumeration reports of one adapter.
struct AdapterInfo
{
    QString name;
    QString friendlyName;
    QString description;
    int status = AdapterRecord::StatusDown;
};

// What the adapter control reads of one adapter's DNS right now, for the diagnostics: the
// servers in force (the backend's values: the service's own address while protection is
// on), IPv4 first, without the "::" that stands for no IPv6 server.
struct AdapterDnsView
{
    QString name;
    QString friendlyName;
    QString description;
    bool up = false;
    // The adapter that networksInfo() names as holding the default route.
    bool defaultRoute = false;
    QList<QHostAddress> servers;
};

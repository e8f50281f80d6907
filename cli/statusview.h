#pragma once

#include "servicestate.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QVariant>

class CabinetDomains;

// How 'status', 'profiles' and 'lists' show the service's state: rows for people and the
// JSON members for scripts. The JSON member names are a stable interface; they are
// listed in README.md and only ever grow.
namespace StatusView {

using Rows = QList<QPair<QString, QString>>;

// What the invocation itself knows beyond the service's notifications.
struct Facts
{
    bool unlocked = false;
    QDateTime pausedUntil; // invalid unless this invocation paused filtering
};

Rows statusRows(const ServiceState &state, const Facts &facts);
QVariantMap statusJson(const ServiceState &state, const Facts &facts);

QStringList profileLines(const ServiceState &state);
QVariantList profilesJson(const ServiceState &state);

// {"id": id, "name": name or null}
QVariant profileJson(const ServiceState &state, quint32 id);
QVariant networkJson(const Network &network, const QString &defaultRouteId);

QString listName(int type); // "white list", ...
QStringList domainLines(const CabinetDomains &domains);
QVariantList domainsJson(const CabinetDomains &domains);

// ISO 8601 with the offset, or null.
QVariant timeJson(const QDateTime &time);

} // namespace StatusView

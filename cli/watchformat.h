#pragma once

#include "servicestate.h"

#include <QDateTime>
#include <QVariant>

// The lines of 'watch': one per notification, for people or as JSON.
namespace WatchFormat {

// The parameters as they may be shown: the account password of "setCredentials" is
// replaced by null, everything else is kept.
QVariantList redacted(const QString &method, const QVariantList &params);

// What a notification that ServiceState accepted says, read against the state after it.
QString describe(const QString &method, const QVariantList &params, const ServiceState &state);

// {"time": ISO 8601, "method": method, "params": redacted params[, "error": {code, message}]}
QVariantMap json(const QString &method, const QVariantList &params, const QDateTime &time,
                 const ::Error &error);

} // namespace WatchFormat

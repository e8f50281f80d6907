#include "watchformat.h"

#include "cabinetuserfilter.h"
#include "statusview.h"

namespace {

QString onOff(const QVariant &value, const char *on, const char *off)
{
    return QString::fromLatin1(value.toBool() ? on : off);
}

quint32 unsignedOf(const QVariant &value)
{
    quint32 number = 0;
    WireValue::toUnsigned(value, &number);
    return number;
}

QString networks(const ServiceState &state)
{
    QStringList parts;
    for (const Network &network : state.networks)
        parts << QStringLiteral("%1 (%2) %3").arg(network.name(), network.id(),
                                                network.isProtected() ? QStringLiteral("protected") : QStringLiteral("not protected"));
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(QStringLiteral(", "));
}

QString profiles(const ServiceState &state)
{
    QStringList parts;
    for (const CabinetProfile &profile : state.profiles)
        parts << state.profileLabel(profile.id());
    return QStringLiteral("%1; current %2")
            .arg(parts.isEmpty() ? QStringLiteral("none") : parts.join(QStringLiteral(", ")),
                 state.listCurrentProfileId ? state.profileLabel(state.listCurrentProfileId) : QStringLiteral("none"));
}

QString userMap(const QVariantMap &map)
{
    QStringList parts;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        parts << QStringLiteral("%1 -> %2").arg(it.key(), it.value().toString());
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(QStringLiteral(", "));
}

QString identification(const ServiceState &state)
{
    const ServiceState::Identification &id = state.identification;
    if (id.state == ServiceState::Identification::Failed)
        return QStringLiteral("identification failed: error %1: %2").arg(id.error.code()).arg(id.error.message());
    if (id.type == 1)
        return QStringLiteral("identified by token, profile %1").arg(state.profileLabel(id.profileId));
    return QStringLiteral("identified by address %1").arg(id.address);
}

} // namespace

QVariantList WatchFormat::redacted(const QString &method, const QVariantList &params)
{
    QVariantList result = params;
    if (method == QLatin1String("setCredentials") && result.size() > 1)
        result[1] = QVariant();
    return result;
}

QString WatchFormat::describe(const QString &method, const QVariantList &params, const ServiceState &state)
{
    const QString m = method;
    if (m == QLatin1String("setSettings"))
        return QStringLiteral("settings: local proxy %1, local users bound to profiles: %2")
                .arg(state.localProxy.isEmpty() ? QStringLiteral("unknown") : state.localProxy,
                     state.userMapping.value_or(false) ? QStringLiteral("on") : QStringLiteral("off"));
    if (m == QLatin1String("setNetworks"))
        return QStringLiteral("networks: %1").arg(networks(state));
    if (m == QLatin1String("setCredentials"))
        return QStringLiteral("account: %1").arg(state.login.value_or(QString()).isEmpty() ? QStringLiteral("none") : *state.login);
    if (m == QLatin1String("setSettingsLocked"))
        return onOff(params.at(0), "settings locked", "settings not locked");
    if (m == QLatin1String("setGlobalFiltering"))
        return onOff(params.at(0), "filtering on", "filtering off");
    if (m == QLatin1String("setUserInfo"))
        return QStringLiteral("plan: %1 (%2), up to %3 profiles")
                .arg(state.userInfo->planName(), state.userInfo->planCode(), QString::number(state.userInfo->profileListSize()));
    if (m == QLatin1String("setProfiles"))
        return QStringLiteral("profiles: %1").arg(profiles(state));
    if (m == QLatin1String("setProfileScheduleActivity"))
        return QStringLiteral("schedule of %1: %2").arg(state.profileLabel(unsignedOf(params.at(0))), onOff(params.at(1), "active", "inactive"));
    if (m == QLatin1String("setSelectedProfile"))
        return QStringLiteral("selected profile: %1").arg(state.profileLabel(unsignedOf(params.at(0))));
    if (m == QLatin1String("setUserFilter")) {
        CabinetUserFilter filter;
        filter.fromVariant(params.at(1));
        return QStringLiteral("blocked categories of %1: %2").arg(state.profileLabel(unsignedOf(params.at(0))), QString::number(filter.size()));
    }
    if (m == QLatin1String("setDomains")) {
        const quint32 id = unsignedOf(params.at(0));
        const int type = int(unsignedOf(params.at(1)));
        const CabinetDomains *list = state.domains(id, type);
        return QStringLiteral("%1 of %2: %3 entries").arg(StatusView::listName(type), state.profileLabel(id), QString::number(list ? list->size() : 0));
    }
    if (m == QLatin1String("setNetworkProtection"))
        return QStringLiteral("network %1: %2").arg(params.at(0).toString(), onOff(params.at(1), "protected", "not protected"));
    if (m == QLatin1String("setUserToProfMap"))
        return QStringLiteral("local users bound to profiles: %1").arg(userMap(state.userToProfileMap));
    return identification(state);
}

QVariantMap WatchFormat::json(const QString &method, const QVariantList &params, const QDateTime &time,
                              const ::Error &error)
{
    QVariantMap map;
    map.insert(QStringLiteral("time"), StatusView::timeJson(time));
    map.insert(QStringLiteral("method"), method);
    map.insert(QStringLiteral("params"), redacted(method, params));
    if (error.isError())
        map.insert(QStringLiteral("error"), error.toVariant());
    return map;
}

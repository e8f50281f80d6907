#include "statusview.h"

#include "cabinetdomain.h"

namespace {

QVariant optionalBool(const std::optional<bool> &value)
{
    return value ? QVariant(*value) : QVariant();
}

QString yesNo(const std::optional<bool> &value, const char *yes, const char *no)
{
    return !value ? QStringLiteral("unknown") : QString::fromLatin1(*value ? yes : no);
}

QString filteringText(const ServiceState &state, const StatusView::Facts &facts)
{
    if (!state.filtering)
        return QStringLiteral("unknown");
    if (*state.filtering)
        return QStringLiteral("on");
    if (facts.pausedUntil.isValid())
        return QStringLiteral("off until %1").arg(facts.pausedUntil.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    return QStringLiteral("off");
}

QString identificationText(const ServiceState &state)
{
    const ServiceState::Identification &id = state.identification;
    switch (id.state) {
    case ServiceState::Identification::Waiting:
        return QStringLiteral("not yet");
    case ServiceState::Identification::Failed:
        return QStringLiteral("failed, error %1: %2").arg(id.error.code()).arg(id.error.message());
    case ServiceState::Identification::Identified:
        break;
    }
    if (id.type == 1)
        return QStringLiteral("by token, profile %1").arg(state.profileLabel(id.profileId));
    return QStringLiteral("by address %1").arg(id.address);
}

QString networksText(const ServiceState &state)
{
    if (!state.networksKnown)
        return QStringLiteral("unknown");
    if (state.networks.isEmpty())
        return QStringLiteral("none");
    QStringList lines;
    for (const Network &network : state.networks) {
        lines << QStringLiteral("%1 (%2): %3%4")
                         .arg(network.name(), network.id(),
                              network.isProtected() ? QStringLiteral("protected") : QStringLiteral("not protected"),
                              network.id() == state.defaultRouteId ? QStringLiteral(", default route") : QString());
    }
    return lines.join(QLatin1Char('\n'));
}

QString profileText(const ServiceState &state, quint32 id)
{
    return id == 0 ? QStringLiteral("none") : state.profileLabel(id);
}

QVariantMap identificationJson(const ServiceState &state)
{
    const ServiceState::Identification &id = state.identification;
    static const char *const states[] = {"waiting", "identified", "failed"};
    QVariantMap map;
    map.insert(QStringLiteral("state"), QString::fromLatin1(states[id.state]));
    const bool known = id.state != ServiceState::Identification::Waiting;
    map.insert(QStringLiteral("type"), known ? QVariant(id.type == 1 ? QStringLiteral("token") : QStringLiteral("address")) : QVariant());
    const bool identified = id.state == ServiceState::Identification::Identified;
    map.insert(QStringLiteral("profile_id"), identified && id.type == 1 ? QVariant(id.profileId) : QVariant());
    map.insert(QStringLiteral("address"), identified && id.type == 0 ? QVariant(id.address) : QVariant());
    map.insert(QStringLiteral("error"), id.state == ServiceState::Identification::Failed ? id.error.toVariant() : QVariant());
    return map;
}

} // namespace

StatusView::Rows StatusView::statusRows(const ServiceState &state, const Facts &facts)
{
    const ServiceState::Summary summary = state.summary();
    Rows rows;
    rows << qMakePair(QStringLiteral("State"), ServiceState::summaryTitle(summary));
    rows << qMakePair(QStringLiteral("Filtering"), filteringText(state, facts));
    rows << qMakePair(QStringLiteral("Identified"), identificationText(state));
    rows << qMakePair(QStringLiteral("Account"),
                      state.login && !state.login->isEmpty() ? *state.login : QStringLiteral("not signed in"));
    rows << qMakePair(QStringLiteral("Current profile"), profileText(state, state.currentProfileId()));
    rows << qMakePair(QStringLiteral("Selected profile"), profileText(state, state.selectedProfileId()));
    rows << qMakePair(QStringLiteral("Networks"), networksText(state));
    QString settings = yesNo(state.settingsLocked, "locked", "not locked");
    if (facts.unlocked && state.settingsLocked.value_or(false))
        settings += QStringLiteral(" (unlocked for this invocation)");
    rows << qMakePair(QStringLiteral("Settings"), settings);
    rows << qMakePair(QStringLiteral("Local proxy"), state.localProxy.isEmpty() ? QStringLiteral("unknown") : state.localProxy);
    return rows;
}

QVariantMap StatusView::statusJson(const ServiceState &state, const Facts &facts)
{
    QVariantMap map;
    map.insert(QStringLiteral("state"), ServiceState::summaryKey(state.summary()));
    map.insert(QStringLiteral("filtering"), optionalBool(state.filtering));
    map.insert(QStringLiteral("paused_until"), timeJson(facts.pausedUntil));
    map.insert(QStringLiteral("identification"), identificationJson(state));
    map.insert(QStringLiteral("login"), state.login && !state.login->isEmpty() ? QVariant(*state.login) : QVariant());
    map.insert(QStringLiteral("current_profile"), profileJson(state, state.currentProfileId()));
    map.insert(QStringLiteral("selected_profile"), profileJson(state, state.selectedProfileId()));
    QVariantList networks;
    for (const Network &network : state.networks)
        networks << networkJson(network, state.defaultRouteId);
    map.insert(QStringLiteral("networks"), networks);
    map.insert(QStringLiteral("settings_locked"), optionalBool(state.settingsLocked));
    map.insert(QStringLiteral("settings_unlocked"), facts.unlocked);
    map.insert(QStringLiteral("local_proxy"), state.localProxy.isEmpty() ? QVariant() : QVariant(state.localProxy));
    return map;
}

QStringList StatusView::profileLines(const ServiceState &state)
{
    int width = 2;
    for (const CabinetProfile &profile : state.profiles)
        width = qMax(width, QString::number(profile.id()).size());
    QStringList lines;
    lines << QStringLiteral("  %1  NAME").arg(QStringLiteral("ID"), width);
    const quint32 current = state.currentProfileId();
    for (const CabinetProfile &profile : state.profiles) {
        QStringList notes;
        if (profile.isDefault())
            notes << QStringLiteral("default");
        if (profile.id() == state.selectedProfileId() && profile.id() != current)
            notes << QStringLiteral("selected");
        lines << QStringLiteral("%1 %2  %3%4")
                         .arg(profile.id() == current ? QLatin1Char('*') : QLatin1Char(' '))
                         .arg(profile.id(), width)
                         .arg(profile.name(), notes.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(notes.join(QStringLiteral(", "))));
    }
    return lines;
}

QVariantList StatusView::profilesJson(const ServiceState &state)
{
    QVariantList list;
    for (const CabinetProfile &profile : state.profiles) {
        QVariantMap map;
        map.insert(QStringLiteral("id"), profile.id());
        map.insert(QStringLiteral("name"), profile.name());
        map.insert(QStringLiteral("default"), profile.isDefault());
        map.insert(QStringLiteral("current"), profile.id() == state.currentProfileId());
        map.insert(QStringLiteral("selected"), profile.id() == state.selectedProfileId());
        map.insert(QStringLiteral("schedule_enabled"), profile.isScheduleEnabled());
        map.insert(QStringLiteral("white_list_only"), profile.isWhiteListOnlyEnabled());
        map.insert(QStringLiteral("block_unknown"), profile.isBlockUnknownEnabled());
        map.insert(QStringLiteral("safe_search"), profile.isSafeSearchEnabled());
        map.insert(QStringLiteral("safe_youtube"), profile.isSafeYoutubeEnabled());
        list << map;
    }
    return list;
}

QVariant StatusView::profileJson(const ServiceState &state, quint32 id)
{
    if (id == 0)
        return QVariant();
    const CabinetProfile *profile = state.profile(id);
    QVariantMap map;
    map.insert(QStringLiteral("id"), id);
    map.insert(QStringLiteral("name"), profile ? QVariant(profile->name()) : QVariant());
    return map;
}

QVariant StatusView::networkJson(const Network &network, const QString &defaultRouteId)
{
    QVariantMap map;
    map.insert(QStringLiteral("id"), network.id());
    map.insert(QStringLiteral("name"), network.name());
    map.insert(QStringLiteral("protected"), network.isProtected());
    map.insert(QStringLiteral("default_route"), !defaultRouteId.isEmpty() && network.id() == defaultRouteId);
    return map;
}

QString StatusView::listName(int type)
{
    return CabinetDomain::listTypeToString(type) + QStringLiteral(" list");
}

QStringList StatusView::domainLines(const CabinetDomains &domains)
{
    QStringList lines;
    for (const CabinetDomain &domain : domains) {
        lines << (domain.ip().isNull() ? QStringLiteral("  %1").arg(domain.domain())
                                       : QStringLiteral("  %1 -> %2").arg(domain.domain(), domain.ip().toString()));
    }
    if (lines.isEmpty())
        lines << QStringLiteral("  (empty)");
    return lines;
}

QVariantList StatusView::domainsJson(const CabinetDomains &domains)
{
    QVariantList list;
    for (const CabinetDomain &domain : domains) {
        QVariantMap map;
        map.insert(QStringLiteral("id"), domain.id());
        map.insert(QStringLiteral("domain"), domain.domain());
        if (!domain.ip().isNull())
            map.insert(QStringLiteral("ip"), domain.ip().toString());
        list << map;
    }
    return list;
}

QVariant StatusView::timeJson(const QDateTime &time)
{
    return time.isValid() ? QVariant(time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate)) : QVariant();
}

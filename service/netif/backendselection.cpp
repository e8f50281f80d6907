#include "backendselection.h"

namespace BackendSelection {

namespace {

const struct
{
    Kind kind;
    const char *name;
} Names[] = {
    { Kind::Resolved, "resolved" },
    { Kind::NetworkManager, "networkmanager" },
    { Kind::Resolvconf, "resolvconf" },
    { Kind::File, "file" },
    { Kind::Ini, "ini" },
};

bool isResolvedLink(const QString &target)
{
    return target.contains(QLatin1String("/systemd/resolve/"));
}

bool isResolvconfLink(const QString &target)
{
    return target.contains(QLatin1String("/resolvconf/"));
}

} // namespace

QString kindName(Kind kind)
{
    for (const auto &entry : Names) {
        if (entry.kind == kind)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}

Choice choose(const Facts &facts)
{
    QString unknown;
    if (!facts.requested.isEmpty()) {
        for (const auto &entry : Names) {
            if (facts.requested == QLatin1String(entry.name))
                return { entry.kind, QStringLiteral("CORVANE_DNS_BACKEND=%1").arg(facts.requested), true };
        }
        unknown = QStringLiteral(" (CORVANE_DNS_BACKEND=%1 names no backend)").arg(facts.requested);
    }
    const bool pointsAtResolved = isResolvedLink(facts.resolvConfLinkTarget)
            || (facts.resolvConfLinkTarget.isEmpty() && facts.resolvConfNamesStub);
    if (facts.resolvedOnBus && pointsAtResolved)
        return { Kind::Resolved,
                 QStringLiteral("org.freedesktop.resolve1 is on the system bus and resolv.conf points at it") + unknown };
    if (isResolvconfLink(facts.resolvConfLinkTarget) && facts.resolvconfInstalled)
        return { Kind::Resolvconf, QStringLiteral("resolv.conf is resolvconf's file (%1)").arg(facts.resolvConfLinkTarget) + unknown };
    if (facts.networkManagerOnBus)
        return { Kind::NetworkManager,
                 QStringLiteral("org.freedesktop.NetworkManager is on the system bus and resolv.conf is neither "
                                "systemd-resolved's nor resolvconf's")
                         + unknown };
    QString why = QStringLiteral("no program on the system bus or resolvconf manages resolv.conf");
    if (pointsAtResolved)
        why = QStringLiteral("resolv.conf points at systemd-resolved, which is not on the system bus");
    else if (isResolvconfLink(facts.resolvConfLinkTarget))
        why = QStringLiteral("resolv.conf is resolvconf's file, but the resolvconf program is missing");
    return { Kind::File, why + unknown };
}

} // namespace BackendSelection

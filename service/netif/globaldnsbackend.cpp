#include "globaldnsbackend.h"

namespace {
const QChar V4 = QLatin1Char('4');

QString keyOf(const QString &adapter, AdapterDnsBackend::Family family)
{
    return QLatin1Char(family == AdapterDnsBackend::IPv4 ? '4' : '6') + adapter;
}
} // namespace

GlobalDnsBackend::GlobalDnsBackend(QObject *parent)
    : AdapterDnsBackend(parent)
{
}

void GlobalDnsBackend::setNameServer(const QString &adapter, Family family, const QString &text, bool ours)
{
    if (ours) {
        m_ours.insert(keyOf(adapter, family));
        const QHostAddress address(text);
        if (family != IPv4 || address.isNull() || (m_applied && address == m_address))
            return;
        m_address = address;
        m_applied = true;
        applyGlobal(address);
        return;
    }
    m_ours.remove(keyOf(adapter, family));
    for (const QString &key : qAsConst(m_ours)) {
        if (key.at(0) == V4)
            return;
    }
    m_applied = false;
    releaseGlobal();
}

bool GlobalDnsBackend::restoreAll()
{
    m_ours.clear();
    m_applied = false;
    return releaseGlobal();
}

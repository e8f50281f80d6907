#pragma once

#include "adapterdnsbackend.h"

#include <QHostAddress>
#include <QSet>

// A backend whose DNS setting is one for the whole computer (resolvconf, a plain
// resolv.conf). The adapter control still works per adapter and family; the global
// setting is the service's while at least one adapter's IPv4 setting is the service's,
// and goes back when the last one is put back. The IPv6 "::" setting needs nothing
// global: the service's setting names only its own IPv4 server.
class GlobalDnsBackend : public AdapterDnsBackend
{
    Q_OBJECT
public:
    explicit GlobalDnsBackend(QObject *parent = nullptr);

    void setNameServer(const QString &adapter, Family family, const QString &text, bool ours) final;
    bool restoreAll() final;

    bool isApplied() const { return m_applied; }
    QHostAddress appliedAddress() const { return m_address; }

protected:
    // Makes the global setting the service's with address (again, when it changed).
    virtual void applyGlobal(const QHostAddress &address) = 0;
    // Puts the global setting back from the backup, when there is one (also when nothing was
    // applied in this run: a crashed run may have left it). Returns whether it restored.
    virtual bool releaseGlobal() = 0;

private:
    QSet<QString> m_ours;
    QHostAddress m_address;
    bool m_applied = false;
};

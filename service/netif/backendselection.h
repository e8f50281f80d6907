#pragma once

#include <QString>

class AdapterDnsBackend;
class AdapterEnumerator;
class QObject;

// Chooses, once at start, who stands behind the adapters' DNS settings: whoever owns the
// system's DNS. The rules, first match wins:
//   1. $CORVANE_DNS_BACKEND names one (resolved, networkmanager, resolvconf, file, ini);
//   2. systemd-resolved is on the system bus and /etc/resolv.conf points at it (a link
//      into /run/systemd/resolve/, or the stub's nameserver 127.0.0.53): resolved;
//   3. /etc/resolv.conf is a link to resolvconf's file and the resolvconf program is
//      there: resolvconf;
//   4. NetworkManager is on the system bus (it then writes resolv.conf itself):
//      networkmanager;
//   5. otherwise the plain file.
namespace BackendSelection {

enum class Kind { Resolved, NetworkManager, Resolvconf, File, Ini };

// What the rules look at.
struct Facts
{
    QString requested; // $CORVANE_DNS_BACKEND
    bool resolvedOnBus = false;
    bool networkManagerOnBus = false;
    QString resolvConfLinkTarget; // empty when resolv.conf is no symbolic link
    bool resolvConfNamesStub = false;
    bool resolvconfInstalled = false;
};

struct Choice
{
    Kind kind;
    QString reason;
    // Chosen by $CORVANE_DNS_BACKEND.
    bool requested = false;
};

Choice choose(const Facts &facts);
// The facts of this machine.
Facts probe();
// "resolved", "networkmanager", ... as $CORVANE_DNS_BACKEND spells them.
QString kindName(Kind kind);

struct Platform
{
    AdapterDnsBackend *backend = nullptr;
    AdapterEnumerator *adapters = nullptr;
    QString reason;
};

// Probes, chooses, creates the backend and the adapter enumeration that go with the
// choice (parent-less; the caller owns them), and logs one line naming both.
Platform create();
Platform create(const Choice &choice);

} // namespace BackendSelection

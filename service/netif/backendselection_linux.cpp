#include "backendselection.h"

#include "adapterenumerator.h"
#include "filednsbackend.h"
#include "inidnsbackend.h"
#include "netifpaths.h"
#include "networkmanagerdnsbackend.h"
#include "resolvconfdnsbackend.h"
#include "resolvconftext.h"
#include "resolveddnsbackend.h"
#include "systembus.h"

#include <QFileInfo>

namespace BackendSelection {

Facts probe()
{
    Facts facts;
    facts.requested = qEnvironmentVariable("CORVANE_DNS_BACKEND");
    facts.resolvedOnBus = SystemBus::hasOwner(SystemBus::ResolvedService);
    facts.networkManagerOnBus = SystemBus::hasOwner(SystemBus::NetworkManagerService);
    const QFileInfo resolvConf(NetifPaths::resolvConf());
    if (resolvConf.isSymLink())
        facts.resolvConfLinkTarget = resolvConf.symLinkTarget();
    QByteArray content;
    if (ResolvConfText::readFile(resolvConf.filePath(), &content))
        facts.resolvConfNamesStub = ResolvConfText::nameservers(content, AdapterDnsBackend::IPv4)
                                            .contains(QHostAddress(QStringLiteral("127.0.0.53")));
    facts.resolvconfInstalled = QFileInfo(NetifPaths::resolvconfProgram()).isExecutable();
    return facts;
}

Platform create()
{
    // A backend named in the environment needs no look at the machine (nor its bus).
    Facts requested;
    requested.requested = qEnvironmentVariable("CORVANE_DNS_BACKEND");
    const Choice choice = choose(requested);
    if (choice.requested)
        return create(choice);
    return create(choose(probe()));
}

Platform create(const Choice &choice)
{
    Platform platform;
    platform.reason = choice.reason;
    const QString backups = NetifPaths::backupFile();
    switch (choice.kind) {
    case Kind::Resolved:
        platform.backend = new ResolvedDnsBackend(backups);
        break;
    case Kind::NetworkManager:
        platform.backend = new NetworkManagerDnsBackend(backups);
        break;
    case Kind::Resolvconf:
        platform.backend = new ResolvconfDnsBackend(NetifPaths::resolvconfProgram(), NetifPaths::resolvconfDirectory(), backups);
        break;
    case Kind::File:
        platform.backend = new FileDnsBackend(NetifPaths::resolvConf(), backups);
        break;
    case Kind::Ini:
        platform.backend = new IniDnsBackend(NetifPaths::iniBackendFile());
        platform.adapters = new IniAdapterEnumerator(NetifPaths::iniBackendFile());
        break;
    }
    if (!platform.adapters)
        platform.adapters = AdapterEnumerator::createSystem();
    qDebug("Adapter DNS control: backend %s, because %s", qPrintable(platform.backend->name()),
           qPrintable(choice.reason));
    return platform;
}

} // namespace BackendSelection

#include "adapterdnsbackend.h"

#include <QStringList>

const QString AdapterDnsBackend::NameServer = QStringLiteral("NameServer");
const QString AdapterDnsBackend::DhcpNameServer = QStringLiteral("DhcpNameServer");
const QString AdapterDnsBackend::EnableDhcp = QStringLiteral("EnableDHCP");

AdapterDnsBackend::AdapterDnsBackend(QObject *parent)
    : QObject(parent)
{
}

AdapterDnsBackend::~AdapterDnsBackend() = default;

bool AdapterDnsBackend::restoreAll()
{
    return false;
}

void AdapterDnsBackend::recheck() { }

bool AdapterDnsBackend::changesSystem() const
{
    return true;
}

std::function<bool()> AdapterDnsBackend::cacheFlushJob() const
{
    return [] { return false; };
}

QString AdapterDnsBackend::joinAddresses(const QList<QHostAddress> &addresses, QChar separator)
{
    QStringList texts;
    for (const QHostAddress &address : addresses)
        texts.append(address.toString());
    return texts.join(separator);
}

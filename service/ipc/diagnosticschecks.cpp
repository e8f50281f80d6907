#include "diagnosticschecks.h"

#include <QNetworkProxyFactory>

namespace {

QString joinServers(const QList<QHostAddress> &servers)
{
    QStringList texts;
    for (const QHostAddress &server : servers)
        texts.append(server.toString());
    return texts.join(QStringLiteral(", "));
}

} // namespace

base_test::base_test(CheckResult *result)
    : m_result(result)
{
}

base_test::~base_test() = default;

void base_test::run()
{
    const bool passed = test();
    m_result->passed = passed;
    m_result->text = m_text;
    if (m_finished)
        m_finished();
}

CheckDNSOnGatway::CheckDNSOnGatway(CheckResult *result, bool adaptersKnown, const QList<AdapterDnsView> &adapters,
                                   const QHostAddress &proxy)
    : base_test(result)
    , m_adaptersKnown(adaptersKnown)
    , m_adapters(adapters)
    , m_proxy(proxy)
{
}

bool CheckDNSOnGatway::test()
{
    if (!m_adaptersKnown) {
        m_text += QStringLiteral("can't check gateway dns\n");
        return false;
    }
    const auto gateway = std::find_if(m_adapters.cbegin(), m_adapters.cend(),
                                      [](const AdapterDnsView &adapter) { return adapter.defaultRoute; });
    if (gateway == m_adapters.cend()) {
        m_text += QStringLiteral("can't find gateway in adapters list\n");
        return false;
    }
    if (gateway->servers.isEmpty()) {
        m_text += QStringLiteral("there are no dns address on gateway interface\n");
        return false;
    }
    if (gateway->servers == QList<QHostAddress>{ m_proxy }) {
        m_text += QStringLiteral("Gateway interfase:%1 dns address:%2\n").arg(gateway->name, m_proxy.toString());
        return true;
    }
    m_text += QStringLiteral("Wrong dns address on gateway interfase:%1 DNS:%2\n")
                      .arg(gateway->name, joinServers(gateway->servers));
    return false;
}

CheckDNSOnAllEnabledAdapters::CheckDNSOnAllEnabledAdapters(CheckResult *result, bool adaptersKnown,
                                                           const QList<AdapterDnsView> &adapters,
                                                           const QHostAddress &proxy)
    : base_test(result)
    , m_adaptersKnown(adaptersKnown)
    , m_adapters(adapters)
    , m_proxy(proxy)
{
}

bool CheckDNSOnAllEnabledAdapters::test()
{
    if (!m_adaptersKnown) {
        m_text += QStringLiteral("can't read the adapters list\n");
        return false;
    }
    QString lines;
    for (const AdapterDnsView &adapter : qAsConst(m_adapters)) {
        if (!adapter.up)
            continue;
        QString wrong;
        for (const QHostAddress &server : adapter.servers) {
            if (server != m_proxy)
                wrong += QStringLiteral("DNS: %1\n").arg(server.toString());
        }
        if (!wrong.isEmpty())
            lines += QStringLiteral("Type:%1 Adress:%2\n").arg(adapter.description, adapter.name) + wrong;
    }
    if (lines.isEmpty())
        return true;
    m_text += QStringLiteral("There are incorect dns addresees:\n") + lines;
    return false;
}

CheckNoUserProxy::CheckNoUserProxy(CheckResult *result, const QList<QUrl> &urls)
    : base_test(result)
    , m_urls(urls)
{
}

bool CheckNoUserProxy::test()
{
    QList<QNetworkProxyQuery> queries{ QNetworkProxyQuery() };
    for (const QUrl &url : qAsConst(m_urls))
        queries.append(QNetworkProxyQuery(url));
    QList<QNetworkProxy> proxies;
    for (const QNetworkProxyQuery &query : qAsConst(queries)) {
        for (const QNetworkProxy &proxy : QNetworkProxyFactory::systemProxyForQuery(query)) {
            if (proxy.type() != QNetworkProxy::NoProxy && !proxies.contains(proxy))
                proxies.append(proxy);
        }
    }
    if (proxies.isEmpty()) {
        m_text += QStringLiteral("There are no proxy in system setings\n");
        return true;
    }
    for (const QNetworkProxy &proxy : qAsConst(proxies))
        m_text += QStringLiteral("Proxy in user setings Type:%1 Name:%2\n").arg(int(proxy.type())).arg(proxy.hostName());
    return false;
}

namespace Diagnostics {

QString printable(const QByteArray &text, int maximum)
{
    QByteArray kept = text.left(maximum);
    for (char &byte : kept) {
        if (byte < 0x20 || byte > 0x7E)
            byte = '?';
    }
    if (text.size() > maximum)
        kept += "...";
    return QString::fromLatin1(kept);
}

} // namespace Diagnostics

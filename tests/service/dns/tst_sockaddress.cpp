#include "sockaddress_p.h"

#include <QtTest>

#include <net/if.h>
#include <netinet/in.h>

// Socket address conversions: a link-local address must keep its interface both ways.
class tst_SockAddress : public QObject
{
    Q_OBJECT

private slots:
    void ipv6ScopeIdKept_data();
    void ipv6ScopeIdKept();
};

void tst_SockAddress::ipv6ScopeIdKept_data()
{
    const QString loopback = QStringLiteral("lo");
    const quint32 index = ::if_nametoindex("lo");
    QTest::addColumn<QString>("address");
    QTest::addColumn<quint32>("scopeIndex");
    QTest::addColumn<QString>("back");
    QTest::newRow("interface name") << QStringLiteral("fe80::1%lo") << index << QStringLiteral("fe80::1%lo");
    QTest::newRow("interface number") << QStringLiteral("fe80::1%%1").arg(index) << index << QStringLiteral("fe80::1%lo");
    QTest::newRow("unknown number") << QStringLiteral("fe80::1%4000") << 4000u << QStringLiteral("fe80::1%4000");
    QTest::newRow("no scope") << QStringLiteral("::1") << 0u << QStringLiteral("::1");
    QTest::newRow("IPv4") << QStringLiteral("192.0.2.1") << 0u << QStringLiteral("192.0.2.1");
}

void tst_SockAddress::ipv6ScopeIdKept()
{
    QFETCH(QString, address);
    QFETCH(quint32, scopeIndex);
    QFETCH(QString, back);
    const DNS::Endpoint endpoint(QHostAddress(address), 53);
    sockaddr_storage storage;
    const socklen_t length = DNS::endpointToSockaddr(endpoint, &storage);
    if (storage.ss_family == AF_INET6) {
        QCOMPARE(length, socklen_t(sizeof(sockaddr_in6)));
        QCOMPARE(reinterpret_cast<const sockaddr_in6 &>(storage).sin6_scope_id, scopeIndex);
    }
    const DNS::Endpoint converted = DNS::endpointFromSockaddr(storage);
    QCOMPARE(converted.address.toString(), back);
    QCOMPARE(converted.port, quint16(53));
}

QTEST_GUILESS_MAIN(tst_SockAddress)
#include "tst_sockaddress.moc"

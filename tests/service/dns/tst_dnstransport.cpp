#include "dnsquery.h"
#include "fakeresolver.h"
#include "idgenerator.h"
#include "serversmanager.h"
#include "tcpframereader.h"
#include "tcptransport.h"
#include "tcptransportmanager.h"
#include "testsupport.h"
#include "transport.h"

#include <QSignalSpy>
#include <QtTest>

using TestSupport::hex;

namespace {

DNS::Packet queryFor(const QByteArray &name, quint16 type = 1)
{
    DNS::Packet packet;
    packet.makeQuery(name, type);
    return packet;
}

quint16 idOf(const QByteArray &message)
{
    return quint16((uchar(message.at(0)) << 8) | uchar(message.at(1)));
}

quint16 unusedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

} // namespace

class tst_DnsTransport : public QObject
{
    Q_OBJECT

private slots:
    void frameReader_data();
    void frameReader();
    void udpIdsDifferBetweenStarts();
    void fixedSeedRepeats();
    void tcpIdsInOrder();
    void twoFramesInOneRead();
    void answersThatMatchNothing_data();
    void answersThatMatchNothing();
    void udpTimeout();
    void udpSendFailure();
    void tcpConnectionRefused();
    void workingTcpConnectionLostRetriesOnce_data();
    void workingTcpConnectionLostRetriesOnce();
    void idleTcpConnectionClosed();
    void closeAllWhileWaiting();
};

void tst_DnsTransport::frameReader_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<QByteArray>>("messages");
    QTest::addColumn<int>("leftOver");

    QTest::newRow("one frame") << QList<QByteArray>{hex("0003 616263")} << QList<QByteArray>{"abc"} << 0;
    QTest::newRow("two frames in one chunk")
        << QList<QByteArray>{hex("0001 61 0002 6263")} << QList<QByteArray>{"a", "bc"} << 0;
    QTest::newRow("length split across chunks")
        << QList<QByteArray>{hex("00"), hex("02 6162 00")} << QList<QByteArray>{"ab"} << 1;
    QTest::newRow("body split across chunks")
        << QList<QByteArray>{hex("0004 61"), hex("62"), hex("6364")} << QList<QByteArray>{"abcd"} << 0;
    QTest::newRow("empty frame") << QList<QByteArray>{hex("0000 0001 7a")} << QList<QByteArray>{"", "z"} << 0;
    QTest::newRow("announced but never sent") << QList<QByteArray>{hex("ffff 0102")} << QList<QByteArray>{} << 4;
}

void tst_DnsTransport::frameReader()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<QByteArray>, messages);
    QFETCH(int, leftOver);

    DNS::TcpFrameReader reader;
    QList<QByteArray> got;
    for (const QByteArray &chunk : chunks) {
        QCOMPARE(reader.append(chunk), chunk.size());
        QByteArray message;
        while (reader.next(&message))
            got.append(message);
    }
    QCOMPARE(got, messages);
    QCOMPARE(reader.buffered(), leftOver);
    QCOMPARE(reader.room(), DNS::TcpFrameReader::MaxBuffered - leftOver);
    // The buffer never takes more than one length field and one largest message.
    DNS::TcpFrameReader full;
    QCOMPARE(full.append(QByteArray(70000, '\xff')), DNS::TcpFrameReader::MaxBuffered);
    QCOMPARE(full.room(), 0);
    QByteArray message;
    QVERIFY(full.next(&message));
    QCOMPARE(message.size(), 0xFFFF);
    QCOMPARE(full.room(), DNS::TcpFrameReader::MaxBuffered);
}

// Two managers stand for two starts of the service: their ids must not repeat.
void tst_DnsTransport::udpIdsDifferBetweenStarts()
{
    FakeResolver resolver;
    resolver.behaviour = FakeResolver::Silent;
    QVERIFY(resolver.start());
    const DNS::Endpoint upstream(QHostAddress::LocalHost, resolver.port());

    QList<quint16> runs[2];
    for (QList<quint16> &ids : runs) {
        DNS::ServersManager servers;
        for (int i = 0; i < 4; ++i) {
            auto *query = new DNS::Query(&servers);
            QVERIFY(query->send(upstream, queryFor("example.com"), DNS::Query::Udp, 1, &servers));
            ids.append(query->sent().id());
        }
        QTRY_COMPARE(resolver.received.size(), (&ids == &runs[0] ? 4 : 8));
    }
    QVERIFY2(runs[0] != runs[1], "two starts produced the same upstream ids");
    for (int i = 0; i < 8; ++i)
        QCOMPARE(idOf(resolver.received.at(i).bytes), runs[i / 4].at(i % 4));
}

void tst_DnsTransport::fixedSeedRepeats()
{
    DNS::IdGenerator first(5489);
    DNS::IdGenerator second(5489);
    DNS::IdGenerator seeded;
    DNS::IdGenerator seededToo;
    QList<quint16> a, b, c, d;
    for (int i = 0; i < 8; ++i) {
        a << first.next();
        b << second.next();
        c << seeded.next();
        d << seededToo.next();
    }
    QCOMPARE(a, b);
    QVERIFY(c != d);
    QVERIFY(c != a);
}

void tst_DnsTransport::tcpIdsInOrder()
{
    FakeResolver resolver;
    QVERIFY(resolver.start());
    const DNS::Endpoint upstream(QHostAddress::LocalHost, resolver.port());
    DNS::ServersManager servers;
    QList<DNS::Query *> queries;
    QList<QSharedPointer<QSignalSpy>> spies;
    for (int i = 0; i < 4; ++i) {
        auto *query = new DNS::Query(&servers);
        spies.append(QSharedPointer<QSignalSpy>::create(query, &DNS::Query::finished));
        QVERIFY(query->send(upstream, queryFor(QByteArray("n") + QByteArray::number(i) + ".example"),
                            DNS::Query::Tcp, 5, &servers));
        queries.append(query);
    }
    QCOMPARE(servers.tcpConnectionCount(), 1);
    for (int i = 0; i < 4; ++i) {
        QTRY_COMPARE(spies.at(i)->count(), 1);
        QCOMPARE(queries.at(i)->error().code(), 0);
        QCOMPARE(queries.at(i)->answer().id(), quint16(i));
    }
    QCOMPARE(resolver.received.size(), 4);
    QCOMPARE(resolver.tcpConnections(), 1);
    for (int i = 0; i < 4; ++i) {
        QVERIFY(resolver.received.at(i).tcp);
        QCOMPARE(idOf(resolver.received.at(i).bytes), quint16(i));
    }
}

void tst_DnsTransport::twoFramesInOneRead()
{
    FakeResolver resolver;
    resolver.behaviour = FakeResolver::TwoFramesAtOnce;
    QVERIFY(resolver.start());
    const DNS::Endpoint upstream(QHostAddress::LocalHost, resolver.port());
    DNS::ServersManager servers;
    auto *first = new DNS::Query(&servers);
    auto *second = new DNS::Query(&servers);
    QSignalSpy firstDone(first, &DNS::Query::finished);
    QSignalSpy secondDone(second, &DNS::Query::finished);
    QVERIFY(first->send(upstream, queryFor("a.example"), DNS::Query::Tcp, 5, &servers));
    QVERIFY(second->send(upstream, queryFor("b.example"), DNS::Query::Tcp, 5, &servers));
    QTRY_COMPARE(secondDone.count(), 1);
    QCOMPARE(firstDone.count(), 1);
    QCOMPARE(first->error().code(), 0);
    QCOMPARE(second->error().code(), 0);
    QCOMPARE(first->answer().questions().at(0)->name(), QByteArray("a.example"));
    QCOMPARE(second->answer().questions().at(0)->name(), QByteArray("b.example"));
}

void tst_DnsTransport::answersThatMatchNothing_data()
{
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<int>("dropped");
    QTest::newRow("udp wrong id first") << int(FakeResolver::WrongIdFirst) << false << 1;
    QTest::newRow("tcp wrong id first") << int(FakeResolver::WrongIdFirst) << true << 1;
    QTest::newRow("udp 12-byte answer first") << int(FakeResolver::TwelveByteFirst) << false << 0;
}

// An answer that no waiting query takes is dropped and never holds up the right one.
void tst_DnsTransport::answersThatMatchNothing()
{
    QFETCH(int, behaviour);
    QFETCH(bool, tcp);
    QFETCH(int, dropped);

    FakeResolver resolver;
    resolver.behaviour = FakeResolver::Behaviour(behaviour);
    QVERIFY(resolver.start());
    const DNS::Endpoint upstream(QHostAddress::LocalHost, resolver.port());
    DNS::ServersManager servers;
    const quint64 droppedBefore = DNS::Transport::unclaimedDropCount();
    for (int round = 0; round < 2; ++round) {
        auto *query = new DNS::Query(&servers);
        QSignalSpy done(query, &DNS::Query::finished);
        QVERIFY(query->send(upstream, queryFor("example.org"), tcp ? DNS::Query::Tcp : DNS::Query::Udp, 5, &servers));
        QVERIFY(done.wait(3000));
        QCOMPARE(query->error().code(), 0);
        QCOMPARE(query->answer().id(), query->sent().id());
        QCOMPARE(query->answer().bytes(), FakeResolver::answerTo(query->sent().bytes()));
        delete query;
    }
    QCOMPARE(DNS::Transport::unclaimedDropCount() - droppedBefore, quint64(2 * dropped));
}

void tst_DnsTransport::udpTimeout()
{
    FakeResolver resolver;
    resolver.behaviour = FakeResolver::Silent;
    QVERIFY(resolver.start());
    DNS::ServersManager servers;
    DNS::Query query;
    QSignalSpy done(&query, &DNS::Query::finished);
    QVERIFY(query.send(DNS::Endpoint(QHostAddress::LocalHost, resolver.port()), queryFor("example.net"),
                       DNS::Query::Udp, 1, &servers));
    QVERIFY(done.wait(4000));
    QCOMPARE(query.error().code(), 2);
    QCOMPARE(query.error().message(), QString());
    QCOMPARE(resolver.received.size(), 1);
}

void tst_DnsTransport::udpSendFailure()
{
    DNS::ServersManager servers;
    DNS::Query query;
    // Sending to the broadcast address without SO_BROADCAST is refused by the kernel.
    QCOMPARE(query.send(DNS::Endpoint(QHostAddress::Broadcast, 53), queryFor("example.net"), DNS::Query::Udp, 1,
                        &servers),
             false);
    const auto *transport = servers.findChild<DNS::Transport *>();
    QVERIFY(transport);
    QCOMPARE(transport->lastError().code(), 1);
    QCOMPARE(transport->lastError().message(), QStringLiteral("Permission denied"));
}

// A refused connection fails the queries waiting on it at once instead of at their
// time-out, and the next query opens a fresh connection.
void tst_DnsTransport::tcpConnectionRefused()
{
    DNS::ServersManager servers;
    const DNS::Endpoint nowhere(QHostAddress::LocalHost, unusedPort());
    auto *query = new DNS::Query(&servers);
    QSignalSpy done(query, &DNS::Query::finished);
    QVERIFY(query->send(nowhere, queryFor("example.net"), DNS::Query::Tcp, 30, &servers));
    QVERIFY(done.wait(3000));
    QCOMPARE(query->error().code(), 1);
    QCOMPARE(query->error().message(), QStringLiteral("Connection refused"));
    delete query;
    QTRY_COMPARE(servers.tcpConnectionCount(), 0);
}

void tst_DnsTransport::workingTcpConnectionLostRetriesOnce_data()
{
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<int>("code");
    QTest::newRow("closed after the query, answered on a fresh one") << int(FakeResolver::CloseFirstConnection) << 0;
    QTest::newRow("12-byte answer on every connection") << int(FakeResolver::TwelveByteFirst) << 1;
}

// A connection that worked and then broke costs the queries on it one more try on a fresh
// connection, not an immediate SERVFAIL; a second failure ends them.
void tst_DnsTransport::workingTcpConnectionLostRetriesOnce()
{
    QFETCH(int, behaviour);
    QFETCH(int, code);
    FakeResolver resolver;
    resolver.behaviour = FakeResolver::Behaviour(behaviour);
    QVERIFY(resolver.start());
    DNS::ServersManager servers;
    auto *query = new DNS::Query(&servers);
    QSignalSpy done(query, &DNS::Query::finished);
    QVERIFY(query->send(DNS::Endpoint(QHostAddress::LocalHost, resolver.port()), queryFor("example.net"),
                        DNS::Query::Tcp, 30, &servers));
    QVERIFY(done.wait(3000));
    QCOMPARE(query->error().code(), code);
    QCOMPARE(resolver.tcpConnections(), 2);
    QCOMPARE(resolver.received.size(), 2);
    if (code == 0)
        QCOMPARE(query->answer().id(), query->sent().id());
    delete query;
}

void tst_DnsTransport::idleTcpConnectionClosed()
{
    FakeResolver resolver;
    QVERIFY(resolver.start());
    DNS::ServersManager servers;
    servers.setTcpIdleLimit(200);
    auto *query = new DNS::Query(&servers);
    QSignalSpy done(query, &DNS::Query::finished);
    QVERIFY(query->send(DNS::Endpoint(QHostAddress::LocalHost, resolver.port()), queryFor("example.net"),
                        DNS::Query::Tcp, 30, &servers));
    QVERIFY(done.wait(3000));
    QCOMPARE(servers.tcpConnectionCount(), 1);
    // Still in use: the query holds it until it is destroyed.
    QTest::qWait(500);
    QCOMPARE(servers.tcpConnectionCount(), 1);
    delete query;
    QTRY_COMPARE_WITH_TIMEOUT(servers.tcpConnectionCount(), 0, 2000);
    QCOMPARE(servers.tcpManager()->size(), 0);
}

void tst_DnsTransport::closeAllWhileWaiting()
{
    FakeResolver resolver;
    resolver.behaviour = FakeResolver::Silent;
    QVERIFY(resolver.start());
    DNS::ServersManager servers;
    auto *query = new DNS::Query(&servers);
    QSignalSpy done(query, &DNS::Query::finished);
    QVERIFY(query->send(DNS::Endpoint(QHostAddress::LocalHost, resolver.port()), queryFor("example.net"),
                        DNS::Query::Tcp, 1, &servers));
    QTRY_COMPARE(resolver.received.size(), 1);
    servers.closeAll();
    QCOMPARE(servers.tcpConnectionCount(), 0);
    QVERIFY(done.wait(3000));
    QCOMPARE(query->error().code(), 2);
    delete query;
}

QTEST_GUILESS_MAIN(tst_DnsTransport)
#include "tst_dnstransport.moc"

#include "dnsproxy.h"
#include "fakecontext.h"
#include "fakeresolver.h"
#include "serversmanager.h"
#include "testsupport.h"
#include "transport.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using TestSupport::hex;

namespace {

// www.example.com A from a client with id 0xBEEF, RD set, with an OPT record (ARCOUNT 1).
const char *const ClientQuery = "beef 0100 0001 0000 0000 0001"
                                "03777777 076578616d706c65 03636f6d 00 0001 0001"
                                "00 0029 1000 00000000 0000";
const char *const TokenTail = "00 FF ED 00 01 00 00 00 00 00 04 12 34 56 78";
constexpr quint32 Token = 305419896;

QByteArray frame(const QByteArray &message)
{
    QByteArray out;
    out.append(char(message.size() >> 8)).append(char(message.size() & 0xFF)).append(message);
    return out;
}

// The client's query as the resolver should see it: the id aside, the same bytes, plus
// the token record and ARCOUNT one higher when a token is set.
QByteArray expectedUpstream(const QByteArray &query, quint32 token, quint16 upstreamId)
{
    QByteArray out = query;
    out[0] = char(upstreamId >> 8);
    out[1] = char(upstreamId & 0xFF);
    if (token) {
        const int arcount = ((uchar(out[10]) << 8) | uchar(out[11])) + 1;
        out[10] = char(arcount >> 8);
        out[11] = char(arcount & 0xFF);
        out.append(hex(TokenTail));
    }
    return out;
}

// Sends over UDP and returns the first answer within wait ms (empty when none came).
QByteArray askUdp(quint16 port, const QByteArray &query, int wait = 3000)
{
    QUdpSocket socket;
    socket.writeDatagram(query, QHostAddress::LocalHost, port);
    QSignalSpy ready(&socket, &QUdpSocket::readyRead);
    if (!socket.hasPendingDatagrams() && !ready.wait(wait))
        return QByteArray();
    QByteArray answer(int(socket.pendingDatagramSize()), '\0');
    socket.readDatagram(answer.data(), answer.size());
    return answer;
}

QByteArray askTcp(quint16 port, const QByteArray &query, int wait = 3000)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(wait))
        return QByteArray();
    socket.write(frame(query));
    QByteArray buffer;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < wait) {
        QSignalSpy ready(&socket, &QTcpSocket::readyRead);
        if (socket.bytesAvailable() == 0 && !ready.wait(int(wait - timer.elapsed())))
            break;
        buffer.append(socket.readAll());
        if (buffer.size() >= 2) {
            const int length = (uchar(buffer[0]) << 8) | uchar(buffer[1]);
            if (buffer.size() >= length + 2)
                return buffer.mid(2, length);
        }
    }
    return QByteArray();
}

QByteArray withHeader(QByteArray message, quint16 id, bool qr, quint8 rcode)
{
    message[0] = char(id >> 8);
    message[1] = char(id & 0xFF);
    message[2] = char(qr ? (uchar(message[2]) | 0x80) : (uchar(message[2]) & 0x7F));
    message[3] = char((uchar(message[3]) & 0xF0) | rcode);
    return message;
}

// A plain client socket, for what QTcpSocket cannot do: shut down the sending side only.
class RawTcpClient
{
public:
    explicit RawTcpClient(quint16 port)
        : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
        ::fcntl(m_fd, F_SETFL, O_NONBLOCK);
    }
    ~RawTcpClient() { ::close(m_fd); }

    bool isConnected() const { return m_connected; }
    void send(const QByteArray &bytes) { ::send(m_fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL); }
    void shutdownWrite() { ::shutdown(m_fd, SHUT_WR); }
    // Reads what arrived; true once the server closed the connection.
    bool readAvailable(QByteArray *into)
    {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof(buffer), 0);
            if (n > 0)
                into->append(buffer, int(n));
            else
                return n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        }
    }

private:
    int m_fd;
    bool m_connected = false;
};

struct DigResult
{
    int exitCode = -1;
    QString output;
};

} // namespace

class tst_DnsProxy : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void forwardsBytes_data();
    void forwardsBytes();
    void dig_data();
    void dig();
    void refusesResponses_data();
    void refusesResponses();
    void servfailWhenSendFails_data();
    void servfailWhenSendFails();
    void silenceOnTimeout();
    void servfailWhenUpstreamRefusesTcp();
    void malformedQueries();
    void busyPort_data();
    void busyPort();
    void startTwice();
    void pendingQueriesCapped();
    void queriesPerTcpClientCapped();
    void tcpClientsCapped();
    void tcpClientCapHoldsUnderBursts();
    void halfClosedClientGetsItsAnswers_data();
    void halfClosedClientGetsItsAnswers();
    void idleAndSlowTcpClientsClosed();
    void stopWithQueriesInFlight();

private:
    DigResult runDig(const QStringList &arguments);
    bool startProxy();

    FakeResolver *m_resolver = nullptr;
    FakeContext m_context;
    DNSProxy *m_proxy = nullptr;
    DNS::ServersManager *m_servers = nullptr;
};

void tst_DnsProxy::init()
{
    m_resolver = new FakeResolver;
    QVERIFY(m_resolver->start());
    m_context = FakeContext();
    m_context.local = DNS::Endpoint(QHostAddress::LocalHost, TestSupport::freeLoopbackPort());
    m_context.upstream = DNS::Endpoint(QHostAddress::LocalHost, m_resolver->port());
    m_context.proxyLimits.udpTimeout = 1;
    m_context.proxyLimits.tcpTimeout = 2;
    m_servers = new DNS::ServersManager;
    m_proxy = new DNSProxy(&m_context, nullptr, m_servers);
}

void tst_DnsProxy::cleanup()
{
    delete m_proxy;
    m_proxy = nullptr;
    delete m_resolver;
    m_resolver = nullptr;
    // Requests still waiting end at their (short) time-outs; let them go before the
    // manager they use is deleted.
    QTRY_VERIFY_WITH_TIMEOUT(m_servers->findChildren<DNS::Transport *>().isEmpty(), 5000);
    delete m_servers;
    m_servers = nullptr;
}

bool tst_DnsProxy::startProxy()
{
    return m_proxy->start();
}

DigResult tst_DnsProxy::runDig(const QStringList &arguments)
{
    DigResult result;
    QProcess dig;
    qRegisterMetaType<QProcess::ExitStatus>();
    QSignalSpy done(&dig, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    dig.start(QStringLiteral("dig"),
              QStringList{QStringLiteral("@127.0.0.1"), QStringLiteral("-p"), QString::number(m_context.local.port),
                          QStringLiteral("+tries=1"), QStringLiteral("+timeout=3")}
                  + arguments);
    if (!dig.waitForStarted(5000) || !done.wait(15000))
        return result;
    result.exitCode = dig.exitCode();
    result.output = QString::fromUtf8(dig.readAllStandardOutput());
    return result;
}

void tst_DnsProxy::forwardsBytes_data()
{
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<quint32>("token");
    QTest::newRow("udp, token 0") << false << quint32(0);
    QTest::newRow("udp, token 305419896") << false << Token;
    QTest::newRow("tcp, token 0") << true << quint32(0);
    QTest::newRow("tcp, token 305419896") << true << Token;
}

void tst_DnsProxy::forwardsBytes()
{
    QFETCH(bool, tcp);
    QFETCH(quint32, token);
    m_context.currentToken = token;
    QVERIFY(startProxy());

    const QByteArray query = hex(ClientQuery);
    const QByteArray answer = tcp ? askTcp(m_context.local.port, query) : askUdp(m_context.local.port, query);
    QCOMPARE(m_resolver->received.size(), 1);
    const FakeResolver::Received upstream = m_resolver->received.first();
    QCOMPARE(upstream.tcp, tcp);
    const quint16 upstreamId = quint16((uchar(upstream.bytes[0]) << 8) | uchar(upstream.bytes[1]));
    QCOMPARE(upstream.bytes.toHex(), expectedUpstream(query, token, upstreamId).toHex());
    if (tcp)
        QCOMPARE(upstreamId, quint16(0));
    // The answer is the resolver's, byte for byte, under the client's id.
    QCOMPARE(answer.toHex(), withHeader(FakeResolver::answerTo(upstream.bytes), 0xBEEF, true, 0).toHex());
}

void tst_DnsProxy::dig_data()
{
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<quint32>("token");
    QTest::newRow("udp, token 0") << false << quint32(0);
    QTest::newRow("udp, token 305419896") << false << Token;
    QTest::newRow("tcp, token 0") << true << quint32(0);
    QTest::newRow("tcp, token 305419896") << true << Token;
}

// A real client: dig checks ids, questions and framing itself.
void tst_DnsProxy::dig()
{
    QFETCH(bool, tcp);
    QFETCH(quint32, token);
    if (QStandardPaths::findExecutable(QStringLiteral("dig")).isEmpty())
        QSKIP("dig is not installed (Debian package dnsutils)");
    m_context.currentToken = token;
    QVERIFY(startProxy());

    QStringList arguments{QStringLiteral("www.example.com"), QStringLiteral("A")};
    if (tcp)
        arguments << QStringLiteral("+tcp");
    const DigResult result = runDig(arguments);
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.output.contains(QStringLiteral("status: NOERROR")), qPrintable(result.output));
    QVERIFY2(result.output.contains(QRegularExpression(QStringLiteral("www\\.example\\.com\\.\\s+60\\s+IN\\s+A\\s+1\\.2\\.3\\.4"))),
             qPrintable(result.output));
    QCOMPARE(m_resolver->received.size(), 1);
    const QByteArray forwarded = m_resolver->received.first().bytes;
    QCOMPARE(m_resolver->received.first().tcp, tcp);
    const DNS::Packet packet(forwarded);
    QCOMPARE(packet.questions().size(), 1);
    QCOMPARE(packet.questions().first()->name(), QByteArray("www.example.com"));
    QCOMPARE(forwarded.right(15) == hex(TokenTail), token != 0);
    // dig sends one OPT record; the token record comes on top of it.
    QCOMPARE(int(packet.additionalCount()), token ? 2 : 1);
}

void tst_DnsProxy::refusesResponses_data()
{
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<quint32>("token");
    QTest::newRow("udp") << false << quint32(0);
    QTest::newRow("tcp") << true << quint32(0);
    QTest::newRow("udp with a token") << false << Token;
}

void tst_DnsProxy::refusesResponses()
{
    QFETCH(bool, tcp);
    QFETCH(quint32, token);
    m_context.currentToken = token;
    QVERIFY(startProxy());
    const QByteArray response = withHeader(hex(ClientQuery), 0x4242, true, 3);
    const QByteArray answer = tcp ? askTcp(m_context.local.port, response) : askUdp(m_context.local.port, response);
    QCOMPARE(answer.toHex(), withHeader(response, 0x4242, true, 5).toHex());
    QTest::qWait(100);
    QCOMPARE(m_resolver->received.size(), 0);
}

void tst_DnsProxy::servfailWhenSendFails_data()
{
    QTest::addColumn<quint32>("token");
    QTest::newRow("token 0") << quint32(0);
    QTest::newRow("token 305419896") << Token;
}

// The broadcast address refuses a datagram at once: SERVFAIL, carrying the working
// packet as it stands (with the token record when one was added).
void tst_DnsProxy::servfailWhenSendFails()
{
    QFETCH(quint32, token);
    m_context.currentToken = token;
    m_context.upstream = DNS::Endpoint(QHostAddress::Broadcast, 53);
    QVERIFY(startProxy());
    const QByteArray query = hex(ClientQuery);
    const QByteArray answer = askUdp(m_context.local.port, query);
    QCOMPARE(answer.toHex(), withHeader(expectedUpstream(query, token, 0xBEEF), 0xBEEF, true, 2).toHex());

    if (QStandardPaths::findExecutable(QStringLiteral("dig")).isEmpty())
        QSKIP("dig is not installed (Debian package dnsutils)");
    const DigResult result = runDig({QStringLiteral("example.com")});
    QVERIFY2(result.output.contains(QStringLiteral("status: SERVFAIL")), qPrintable(result.output));
}

// A resolver that never answers: after its time-out the client has heard nothing at all.
void tst_DnsProxy::silenceOnTimeout()
{
    m_resolver->behaviour = FakeResolver::Silent;
    QVERIFY(startProxy());
    QCOMPARE(askUdp(m_context.local.port, hex(ClientQuery), 2500), QByteArray());
    QCOMPARE(m_resolver->received.size(), 1);
    QTRY_COMPARE(m_proxy->pendingQueries(), 0);

    if (QStandardPaths::findExecutable(QStringLiteral("dig")).isEmpty())
        QSKIP("dig is not installed (Debian package dnsutils)");
    const DigResult result = runDig({QStringLiteral("example.com")});
    QCOMPARE(result.exitCode, 9); // dig: no reply from server
    QVERIFY(!result.output.contains(QStringLiteral("status:")));
}

void tst_DnsProxy::servfailWhenUpstreamRefusesTcp()
{
    m_context.upstream = DNS::Endpoint(QHostAddress::LocalHost, TestSupport::freeLoopbackPort());
    QVERIFY(startProxy());
    const QByteArray query = hex(ClientQuery);
    QCOMPARE(askTcp(m_context.local.port, query).toHex(), withHeader(query, 0xBEEF, true, 2).toHex());
}

void tst_DnsProxy::malformedQueries()
{
    QVERIFY(startProxy());
    // Header only, QDCOUNT 0, a question cut short: no answer, nothing forwarded.
    const QList<QByteArray> bad{hex("beef 0100 0001 0000 0000 0000"), hex("beef 0100 0000 0000 0000 0000 00"),
                                hex("beef 0100 0001 0000 0000 0000 01 61 00 00")};
    for (const QByteArray &message : bad)
        QCOMPARE(askUdp(m_context.local.port, message, 300), QByteArray());
    QCOMPARE(m_proxy->counters().malformed, quint64(3));

    // Over TCP a malformed message closes the connection.
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_context.local.port);
    QVERIFY(socket.waitForConnected(3000));
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    socket.write(frame(bad.at(2)));
    QVERIFY(closed.wait(3000));
    QCOMPARE(m_resolver->received.size(), 0);
}

void tst_DnsProxy::busyPort_data()
{
    QTest::addColumn<bool>("udpBusy");
    QTest::newRow("udp port taken") << true;
    QTest::newRow("tcp port taken") << false;
}

void tst_DnsProxy::busyPort()
{
    QFETCH(bool, udpBusy);
    const quint16 port = m_context.local.port;
    QUdpSocket udp;
    QTcpServer tcp;
    if (udpBusy)
        QVERIFY(udp.bind(QHostAddress(QHostAddress::LocalHost), port));
    else
        QVERIFY(tcp.listen(QHostAddress::LocalHost, port));
    QSignalSpy changed(m_proxy, &DNSProxy::stateChanged);
    QVERIFY(!m_proxy->start());
    QCOMPARE(m_proxy->isRunning(), false);
    QCOMPARE(changed.count(), 0);
    const QString expected = udpBusy
        ? QStringLiteral("Failed to start DNS proxy on udp://127.0.0.1:%1: Address already in use").arg(port)
        : QStringLiteral("Failed to start DNS proxy on tcp://127.0.0.1:%1: The bound address is already in use").arg(port);
    QCOMPARE(m_proxy->lastError(), expected);
    // The UDP socket of a half-failed start is closed again, so the port comes free.
    udp.close();
    tcp.close();
    QVERIFY(m_proxy->start());
    QCOMPARE(m_proxy->lastError(), QString());
}

void tst_DnsProxy::startTwice()
{
    QSignalSpy changed(m_proxy, &DNSProxy::stateChanged);
    QVERIFY(m_proxy->start());
    QVERIFY(m_proxy->start());
    QCOMPARE(changed.count(), 1);
    QVERIFY(m_proxy->isRunning());
    m_proxy->stop();
    m_proxy->stop();
    QCOMPARE(changed.count(), 2);
    QVERIFY(!m_proxy->isRunning());
}

void tst_DnsProxy::pendingQueriesCapped()
{
    m_resolver->behaviour = FakeResolver::Silent;
    m_context.proxyLimits.maxPendingQueries = 2;
    QVERIFY(startProxy());
    QUdpSocket client;
    for (int i = 0; i < 5; ++i)
        client.writeDatagram(hex(ClientQuery), QHostAddress::LocalHost, m_context.local.port);
    QTRY_COMPARE(m_proxy->counters().overPendingLimit, quint64(3));
    QTRY_COMPARE(m_resolver->received.size(), 2);
    QCOMPARE(m_proxy->pendingQueries(), 2);
    // Once the two time out there is room again.
    QTRY_COMPARE_WITH_TIMEOUT(m_proxy->pendingQueries(), 0, 3000);
    client.writeDatagram(hex(ClientQuery), QHostAddress::LocalHost, m_context.local.port);
    QTRY_COMPARE(m_resolver->received.size(), 3);
}

void tst_DnsProxy::queriesPerTcpClientCapped()
{
    m_resolver->behaviour = FakeResolver::Silent;
    m_context.proxyLimits.maxQueriesPerTcpClient = 2;
    QVERIFY(startProxy());
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_context.local.port);
    QVERIFY(socket.waitForConnected(3000));
    QByteArray burst;
    for (int i = 0; i < 4; ++i)
        burst.append(frame(hex(ClientQuery)));
    socket.write(burst);
    QTRY_COMPARE(m_proxy->counters().overClientLimit, quint64(2));
    QTRY_COMPARE(m_resolver->received.size(), 2);
    QTest::qWait(100);
    QCOMPARE(m_resolver->received.size(), 2);
}

void tst_DnsProxy::tcpClientsCapped()
{
    m_resolver->behaviour = FakeResolver::Silent;
    m_context.proxyLimits.maxTcpClients = 2;
    QVERIFY(startProxy());
    QTcpSocket busy;
    QTcpSocket idle;
    QTcpSocket third;
    QTcpSocket fourth;
    busy.connectToHost(QHostAddress::LocalHost, m_context.local.port);
    QVERIFY(busy.waitForConnected(3000));
    busy.write(frame(hex(ClientQuery)));
    QTRY_COMPARE(m_resolver->received.size(), 1);
    idle.connectToHost(QHostAddress::LocalHost, m_context.local.port);
    QVERIFY(idle.waitForConnected(3000));
    QTRY_COMPARE(m_proxy->tcpClientCount(), 2);

    // Full: the idle connection makes room for the newcomer.
    QSignalSpy idleClosed(&idle, &QTcpSocket::disconnected);
    third.connectToHost(QHostAddress::LocalHost, m_context.local.port);
    QVERIFY(third.waitForConnected(3000));
    QVERIFY(idleClosed.wait(3000));
    QCOMPARE(m_proxy->counters().evictedConnections, quint64(1));
    third.write(frame(hex(ClientQuery)));
    QTRY_COMPARE(m_resolver->received.size(), 2);

    // Full of busy connections: the newcomer is closed, the others keep their queries.
    QSignalSpy fourthClosed(&fourth, &QTcpSocket::disconnected);
    fourth.connectToHost(QHostAddress::LocalHost, m_context.local.port);
    QVERIFY(fourthClosed.wait(3000));
    QCOMPARE(m_proxy->counters().refusedConnections, quint64(1));
    QCOMPARE(busy.state(), QAbstractSocket::ConnectedState);
    QCOMPARE(third.state(), QAbstractSocket::ConnectedState);
}

// Evicting a connection must take it out of the count at once: a burst accepted in one
// turn of the event loop otherwise evicts the same dying connection again and again, and
// the descriptors run out for everyone, UDP clients included.
void tst_DnsProxy::tcpClientCapHoldsUnderBursts()
{
    m_context.proxyLimits.maxTcpClients = 8;
    QVERIFY(startProxy());
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int burst = 0; burst < 3; ++burst) {
        for (int i = 0; i < 30; ++i) {
            clients.emplace_back(new QTcpSocket);
            clients.back()->connectToHost(QHostAddress::LocalHost, m_context.local.port);
        }
        QTRY_VERIFY(std::all_of(clients.begin(), clients.end(), [](const std::unique_ptr<QTcpSocket> &c) {
            return c->state() != QAbstractSocket::ConnectingState && c->state() != QAbstractSocket::HostLookupState;
        }));
        const auto open = [&clients] {
            return std::count_if(clients.begin(), clients.end(), [](const std::unique_ptr<QTcpSocket> &c) {
                return c->state() == QAbstractSocket::ConnectedState;
            });
        };
        QTRY_VERIFY2(open() <= 8, qPrintable(QStringLiteral("%1 connections open").arg(open())));
        QVERIFY(m_proxy->tcpClientCount() <= 8);
    }
    QCOMPARE(askUdp(m_context.local.port, hex(ClientQuery)).isEmpty(), false);
}

void tst_DnsProxy::halfClosedClientGetsItsAnswers_data()
{
    QTest::addColumn<int>("queries");
    QTest::addColumn<bool>("silent");
    QTest::newRow("one query") << 1 << false;
    QTest::newRow("three pipelined queries") << 3 << false;
    QTest::newRow("no answer upstream: closed at the time-out") << 1 << true;
}

// A client that sends its queries and then shuts down its sending side still gets every
// answer; the proxy closes the connection once nothing is due any more.
void tst_DnsProxy::halfClosedClientGetsItsAnswers()
{
    QFETCH(int, queries);
    QFETCH(bool, silent);
    if (silent)
        m_resolver->behaviour = FakeResolver::Silent;
    QVERIFY(startProxy());
    RawTcpClient client(m_context.local.port);
    QVERIFY(client.isConnected());
    QByteArray burst;
    for (int i = 0; i < queries; ++i)
        burst.append(frame(hex(ClientQuery)));
    client.send(burst);
    client.shutdownWrite();
    QByteArray received;
    bool closed = false;
    QTRY_VERIFY_WITH_TIMEOUT((closed = client.readAvailable(&received)), 5000);
    int answers = 0;
    for (int at = 0; at + 2 <= received.size(); ++answers) {
        const int length = (uchar(received[at]) << 8) | uchar(received[at + 1]);
        QCOMPARE(DNS::Packet(received.mid(at + 2, length)).isResponse(), true);
        at += 2 + length;
    }
    QCOMPARE(answers, silent ? 0 : queries);
    QTRY_COMPARE(m_proxy->tcpClientCount(), 0);
}

void tst_DnsProxy::idleAndSlowTcpClientsClosed()
{
    m_context.proxyLimits.tcpClientIdleMs = 200;
    QVERIFY(startProxy());
    QTcpSocket idle;
    QTcpSocket slow;
    QTcpSocket active;
    idle.connectToHost(QHostAddress::LocalHost, m_context.local.port);
    slow.connectToHost(QHostAddress::LocalHost, m_context.local.port);
    QVERIFY(idle.waitForConnected(3000));
    QVERIFY(slow.waitForConnected(3000));
    QSignalSpy idleClosed(&idle, &QTcpSocket::disconnected);
    QSignalSpy slowClosed(&slow, &QTcpSocket::disconnected);
    // A message trickled a byte at a time never completes: it does not count as activity.
    const QByteArray framed = frame(hex(ClientQuery));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < framed.size() - 1 && slowClosed.isEmpty() && timer.elapsed() < 3000; ++i) {
        slow.write(framed.mid(i, 1));
        QTest::qWait(40);
    }
    QTRY_COMPARE_WITH_TIMEOUT(idleClosed.count(), 1, 3000);
    QTRY_COMPARE_WITH_TIMEOUT(slowClosed.count(), 1, 3000);
    QVERIFY(timer.elapsed() < 1500);
    QTRY_COMPARE(m_proxy->tcpClientCount(), 0);
    QCOMPARE(m_resolver->received.size(), 0);
    // A client that keeps asking stays.
    QCOMPARE(askTcp(m_context.local.port, hex(ClientQuery)).isEmpty(), false);
}

// stop() closes client connections while their queries wait upstream; those queries must
// never touch the deleted connections, and their late answers go nowhere.
void tst_DnsProxy::stopWithQueriesInFlight()
{
    m_resolver->behaviour = FakeResolver::Silent;
    QVERIFY(startProxy());
    QTcpSocket tcp;
    tcp.connectToHost(QHostAddress::LocalHost, m_context.local.port);
    QVERIFY(tcp.waitForConnected(3000));
    tcp.write(frame(hex(ClientQuery)));
    QUdpSocket udp;
    udp.writeDatagram(hex(ClientQuery), QHostAddress::LocalHost, m_context.local.port);
    QTRY_COMPARE(m_resolver->received.size(), 2);
    QCOMPARE(m_proxy->pendingQueries(), 2);
    QSignalSpy closed(&tcp, &QTcpSocket::disconnected);
    m_proxy->stop();
    QVERIFY(closed.wait(3000));
    QTRY_COMPARE_WITH_TIMEOUT(m_proxy->pendingQueries(), 0, 5000);
    QCOMPARE(udp.hasPendingDatagrams(), false);
    // And it starts again on the same port.
    m_resolver->behaviour = FakeResolver::Answer;
    QVERIFY(m_proxy->start());
    QCOMPARE(askUdp(m_context.local.port, hex(ClientQuery)).isEmpty(), false);
}

QTEST_GUILESS_MAIN(tst_DnsProxy)
#include "tst_dnsproxy.moc"

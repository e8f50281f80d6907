#include "blockpageresponse.h"
#include "fakecontext.h"
#include "httprequestparser.h"
#include "httpserver.h"

#include "testsupport.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

const QDateTime FixedNow = QDateTime(QDate(2026, 3, 1), QTime(7, 5, 9), Qt::UTC);
const QByteArray FixedDateBlock = "Date: Sun, 01 Mar 2026 07:05:09 GMT\r\n"
                                  "Cache-Control: no-cache,no-store,max-age=0,must-revalidate\r\n"
                                  "Expires: Sun, 01 Mar 2026 07:05:09 GMT";
const QString BlockTarget = QStringLiteral("/?blockpage=blockpage-tls.example.net&hostname=bad.example&url=bad.example/page");

// Sends request (maybe in pieces) and collects everything until the server closes.
QByteArray exchange(quint16 port, const QList<QByteArray> &pieces, int wait = 5000)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(wait))
        return "no connection";
    for (const QByteArray &piece : pieces) {
        socket.write(piece);
        socket.flush();
    }
    QByteArray answer;
    QElapsedTimer timer;
    timer.start();
    while (socket.state() == QAbstractSocket::ConnectedState && timer.elapsed() < wait) {
        QSignalSpy ready(&socket, &QTcpSocket::readyRead);
        QSignalSpy closed(&socket, &QTcpSocket::disconnected);
        if (socket.bytesAvailable() == 0 && closed.isEmpty())
            ready.wait(100);
        answer.append(socket.readAll());
    }
    answer.append(socket.readAll());
    return answer;
}

// The answer with its date lines replaced by the fixed ones, for exact comparison.
QByteArray withFixedDate(QByteArray answer)
{
    static const QRegularExpression date(QStringLiteral("Date: [A-Z][a-z]{2}, \\d\\d [A-Z][a-z]{2} \\d{4} \\d\\d:\\d\\d:\\d\\d GMT\r\n"
                                                        "Cache-Control: no-cache,no-store,max-age=0,must-revalidate\r\n"
                                                        "Expires: [A-Z][a-z]{2}, \\d\\d [A-Z][a-z]{2} \\d{4} \\d\\d:\\d\\d:\\d\\d GMT"));
    QString text = QString::fromLatin1(answer);
    text.replace(date, QString::fromLatin1(FixedDateBlock));
    return text.toLatin1();
}

QByteArray page(const QByteArray &version, const QByteArray &status, const QByteArray &body)
{
    return version + " " + status + "\r\nServer: Corvane Agent\r\nContent-Type: text/html; charset=UTF-8\r\n"
        "Connection: close\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + FixedDateBlock
        + "\r\n\r\n" + body;
}

const QByteArray Redirect42 = "HTTP/1.1 303 See Other\r\nLocation: https://blockpage-tls.example.net/blocked"
                              "?hostname=bad.example&token=42&url=bad.example/page\r\nConnection: close\r\n"
    + FixedDateBlock + "\r\n\r\n";
const QByteArray Forbidden = "<html><body>Please update Agent</body></html>";
const QByteArray BadRequest = "<html><body>Bad HTTP request</body></html>";

} // namespace

class tst_HttpServer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void parser_data();
    void parser();
    void redirectUrl_data();
    void redirectUrl();
    void answers_data();
    void answers();
    void tokenOnlyToAllowedHosts_data();
    void tokenOnlyToAllowedHosts();
    void server_data();
    void server();
    void curl();
    void answerWrittenAcrossNotifications();
    void slowClientClosed();
    void connectionsCapped();
    void listenFailure();
    void portFromEnvironment();

private:
    FakeContext m_context;
    HttpServer *m_server = nullptr;
};

void tst_HttpServer::init()
{
    m_context = FakeContext();
    m_context.currentToken = 42;
    m_server = new HttpServer(&m_context, nullptr, TestSupport::freeLoopbackPort());
    QVERIFY(m_server->start());
    QVERIFY(m_server->isListening());
}

void tst_HttpServer::cleanup()
{
    delete m_server;
    m_server = nullptr;
}

void tst_HttpServer::parser_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("host");

    QTest::newRow("simple") << QList<QByteArray>{"GET /a?b=c HTTP/1.1\r\nHost: x.example\r\n\r\n"}
                            << int(HttpRequestParser::Ready) << "/a?b=c" << "HTTP/1.1" << "x.example";
    QTest::newRow("terminator split across reads")
        << QList<QByteArray>{"GET / HTTP/1.0\r\nhOsT:  y \r", "\n\r", "\n"} << int(HttpRequestParser::Ready) << "/"
        << "HTTP/1.0" << "y";
    QTest::newRow("no headers") << QList<QByteArray>{"GET / HTTP/1.1\r\n\r\n"} << int(HttpRequestParser::Ready) << "/"
                                << "HTTP/1.1" << "";
    QTest::newRow("head not complete") << QList<QByteArray>{"GET / HTTP/1.1\r\nHost: a\r\n"}
                                       << int(HttpRequestParser::Reading) << "" << "" << "";
    QTest::newRow("two spaces") << QList<QByteArray>{"GET  / HTTP/1.1\r\n\r\n"} << int(HttpRequestParser::Bad) << ""
                                << "" << "";
    QTest::newRow("two parts") << QList<QByteArray>{"GET /\r\n\r\n"} << int(HttpRequestParser::Bad) << "" << "" << "";
    QTest::newRow("header without colon") << QList<QByteArray>{"GET / HTTP/1.1\r\nHost a\r\n\r\n"}
                                          << int(HttpRequestParser::Bad) << "/" << "HTTP/1.1" << "";
    QTest::newRow("zero byte ends the request line")
        << QList<QByteArray>{QByteArray("GET / HTTP/1.1\0junk more\r\n\r\n", 29)} << int(HttpRequestParser::Ready) << "/"
        << "HTTP/1.1" << "";
    QTest::newRow("20000 bytes without an empty line")
        << QList<QByteArray>{"GET / HTTP/1.1\r\nX: " + QByteArray(20000, 'a')} << int(HttpRequestParser::Bad) << ""
        << "" << "";
    QTest::newRow("exactly 16383 bytes, still waiting")
        << QList<QByteArray>{"GET / HTTP/1.1\r\nX: " + QByteArray(16383 - 19, 'a')} << int(HttpRequestParser::Reading)
        << "" << "" << "";
    QTest::newRow("16384 bytes without an empty line")
        << QList<QByteArray>{"GET / HTTP/1.1\r\nX: " + QByteArray(16384 - 19, 'a')} << int(HttpRequestParser::Bad)
        << "" << "" << "";
    QTest::newRow("head of 16383 bytes with its terminator")
        << QList<QByteArray>{"GET / HTTP/1.1\r\nX: " + QByteArray(16383 - 19, 'a') + "\r\n\r\n"}
        << int(HttpRequestParser::Ready) << "/" << "HTTP/1.1" << "";
}

void tst_HttpServer::parser()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(int, state);
    QFETCH(QString, target);
    QFETCH(QString, version);
    QFETCH(QString, host);

    HttpRequestParser reader;
    for (const QByteArray &chunk : chunks)
        reader.feed(chunk);
    QCOMPARE(int(reader.state()), state);
    if (state == HttpRequestParser::Ready) {
        QCOMPARE(reader.target(), target);
        QCOMPARE(reader.version(), version);
        QCOMPARE(reader.host(), host);
        QCOMPARE(reader.room(), 0);
    }
}

void tst_HttpServer::redirectUrl_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("url");
    QTest::newRow("tls block page") << BlockTarget
                                    << "https://blockpage-tls.example.net/blocked?hostname=bad.example&token=42&url=bad.example/page";
    QTest::newRow("plain block page") << "/?hostname=h&blockpage=bp.example"
                                      << "http://bp.example/blocked?hostname=h&token=42&url=";
    QTest::newRow("prefix is case-sensitive") << "/?blockpage=BLOCKPAGE-tls.x&hostname=h"
                                              << "http://BLOCKPAGE-tls.x/blocked?hostname=h&token=42&url=";
    QTest::newRow("later key wins, extra = parts ignored, empty pieces skipped")
        << "/x?blockpage=a&&blockpage=b=c&hostname=h&url=u=v" << "http://b/blocked?hostname=h&token=42&url=u";
    QTest::newRow("no percent-decoding") << "/?blockpage=b&hostname=a%41&url=%2F"
                                         << "http://b/blocked?hostname=a%41&token=42&url=%2F";
    QTest::newRow("no blockpage") << "/?hostname=h&url=u" << "";
    QTest::newRow("empty hostname") << "/?blockpage=b&hostname=" << "";
    QTest::newRow("no query") << "/blocked" << "";
}

void tst_HttpServer::redirectUrl()
{
    QFETCH(QString, target);
    QFETCH(QString, url);
    QCOMPARE(BlockPage::redirectUrl(target, 42), url);
}

void tst_HttpServer::answers_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("303 with token 42") << BlockTarget << "HTTP/1.1" << Redirect42;
    QTest::newRow("403 without blockpage") << "/?hostname=bad.example&url=x" << "HTTP/1.1"
                                           << page("HTTP/1.1", "403 Forbidden", Forbidden);
    QTest::newRow("version 1.0 echoed") << "/" << "HTTP/1.0" << page("HTTP/1.0", "403 Forbidden", Forbidden);
    QTest::newRow("block page that is no host") << "/?blockpage=a b&hostname=h" << "HTTP/1.1"
                                                << page("HTTP/1.1", "403 Forbidden", Forbidden);
    QTest::newRow("spaces and controls are encoded in Location")
        << "/?blockpage=bp.example&hostname=h\nX: y&url=\"<a>\"" << "HTTP/1.1"
        << QByteArray("HTTP/1.1 303 See Other\r\nLocation: http://bp.example/blocked?hostname=h%0AX:%20y&token=42"
                      "&url=%22%3Ca%3E%22\r\nConnection: close\r\n")
            + FixedDateBlock + "\r\n\r\n";
}

void tst_HttpServer::answers()
{
    QFETCH(QString, target);
    QFETCH(QString, version);
    QFETCH(QByteArray, answer);
    QCOMPARE(BlockPage::answer(target, version, 42, FixedNow), answer);
    QCOMPARE(BlockPage::badRequest(version, FixedNow), page(version.toLatin1(), "400 Bad Request", BadRequest));
}

void tst_HttpServer::tokenOnlyToAllowedHosts_data()
{
    QTest::addColumn<QString>("blockpage");
    QTest::addColumn<bool>("redirected");
    QTest::newRow("listed host") << "blockpage.corvane.test" << true;
    QTest::newRow("listed host in capitals") << "BlockPage.Corvane.Test" << true;
    QTest::newRow("name below a suffix entry") << "eu.pages.corvane.test" << true;
    QTest::newRow("the suffix itself") << "pages.corvane.test" << false;
    QTest::newRow("listed host with a port") << "blockpage.corvane.test:8080" << true;
    QTest::newRow("other host") << "evil.example" << false;
    QTest::newRow("listed name as a prefix of another") << "blockpage.corvane.test.evil.example" << false;
    QTest::newRow("listed name as user info") << "blockpage.corvane.test@evil.example" << false;
}

// The redirect carries the computer's token: any page could otherwise make the browser hand
// it to a host of the page's choosing.
void tst_HttpServer::tokenOnlyToAllowedHosts()
{
    QFETCH(QString, blockpage);
    QFETCH(bool, redirected);
    const auto hosts = BlockPage::HostAllowList::fromEntries({"blockpage.corvane.test", " .pages.corvane.test "});
    const QByteArray answer = BlockPage::answer("/?blockpage=" + blockpage + "&hostname=bad.example&url=x", "HTTP/1.1",
                                                42, FixedNow, hosts);
    QCOMPARE(answer.startsWith("HTTP/1.1 303 See Other\r\n"), redirected);
    QCOMPARE(answer.contains("token=42"), redirected);
}

void tst_HttpServer::server_data()
{
    QTest::addColumn<QList<QByteArray>>("request");
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("303 example") << QList<QByteArray>{"GET " + BlockTarget.toLatin1() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"}
                                 << Redirect42;
    QTest::newRow("403 without blockpage")
        << QList<QByteArray>{"GET /?hostname=bad.example&url=bad.example/page HTTP/1.1\r\n\r\n"}
        << page("HTTP/1.1", "403 Forbidden", Forbidden);
    QTest::newRow("400 for two spaces") << QList<QByteArray>{"GET  / HTTP/1.1\r\n\r\n"}
                                        << page("HTTP/1.1", "400 Bad Request", BadRequest);
    QTest::newRow("400 past 16383 bytes")
        << QList<QByteArray>{"GET / HTTP/1.1\r\nX: ", QByteArray(10000, 'a'), QByteArray(10000, 'a')}
        << page("HTTP/1.1", "400 Bad Request", BadRequest);
    QTest::newRow("HTTP/1.0 echoed") << QList<QByteArray>{"GET / HTTP/1.0\r\n\r\n"}
                                     << page("HTTP/1.0", "403 Forbidden", Forbidden);
    QTest::newRow("request in pieces") << QList<QByteArray>{"GET " + BlockTarget.toLatin1(), " HTTP/1.1\r\n", "\r\n"}
                                       << Redirect42;
    QTest::newRow("a version that is no version is never echoed")
        << QList<QByteArray>{"GET / HTTP/1.1\nSet-Cookie:x\r\n\r\n"} << page("HTTP/1.1", "400 Bad Request", BadRequest);
    // Found by fuzz_http_request: a version ending in a bare line feed passed a "$" check.
    QTest::newRow("version ending in a line feed")
        << QList<QByteArray>{"GET /?blockpage=b&hostname=h HTTP/1.1\n\r\nHost: x\r\n\r\n"}
        << page("HTTP/1.1", "400 Bad Request", BadRequest);
}

void tst_HttpServer::server()
{
    QFETCH(QList<QByteArray>, request);
    QFETCH(QByteArray, answer);
    QCOMPARE(withFixedDate(exchange(m_server->port(), request)), answer);
    QTRY_COMPARE(m_server->connectionCount(), 0);
}

void tst_HttpServer::curl()
{
    if (QStandardPaths::findExecutable(QStringLiteral("curl")).isEmpty())
        QSKIP("curl is not installed (Debian package curl)");
    QProcess curl;
    qRegisterMetaType<QProcess::ExitStatus>();
    QSignalSpy done(&curl, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-i"), QStringLiteral("--max-time"),
                                        QStringLiteral("10"),
                                        QStringLiteral("http://127.0.0.1:%1%2").arg(m_server->port()).arg(BlockTarget)});
    QVERIFY(curl.waitForStarted(5000));
    QVERIFY(done.wait(15000));
    QCOMPARE(curl.exitCode(), 0);
    QCOMPARE(withFixedDate(curl.readAllStandardOutput()), Redirect42);
}

// A client that reads slowly takes the answer over several write notifications; the
// request still finishes (and closes) once all of it went out.
void tst_HttpServer::answerWrittenAcrossNotifications()
{
    QTcpSocket socket;
    socket.setReadBufferSize(16);
    socket.connectToHost(QHostAddress::LocalHost, m_server->port());
    QVERIFY(socket.waitForConnected(3000));
    socket.write("GET " + BlockTarget.toLatin1() + " HTTP/1.1\r\n\r\n");
    QByteArray answer;
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    QElapsedTimer timer;
    timer.start();
    while (closed.isEmpty() && timer.elapsed() < 5000) {
        QTest::qWait(5);
        answer.append(socket.read(16));
    }
    answer.append(socket.readAll());
    QCOMPARE(withFixedDate(answer), Redirect42);
    QTRY_COMPARE(m_server->connectionCount(), 0);
}

void tst_HttpServer::slowClientClosed()
{
    BlockPageLimits limits;
    limits.requestTimeoutMs = 300;
    m_server->setLimits(limits);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, m_server->port());
    QVERIFY(socket.waitForConnected(3000));
    socket.write("GET / HTTP/1.1\r\n");
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(closed.wait(3000));
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(socket.readAll(), QByteArray());
    QTRY_COMPARE(m_server->connectionCount(), 0);
}

void tst_HttpServer::connectionsCapped()
{
    BlockPageLimits limits;
    limits.maxConnections = 2;
    m_server->setLimits(limits);
    QTcpSocket first, second, third;
    for (QTcpSocket *socket : {&first, &second}) {
        socket->connectToHost(QHostAddress::LocalHost, m_server->port());
        QVERIFY(socket->waitForConnected(3000));
    }
    QTRY_COMPARE(m_server->connectionCount(), 2);
    QSignalSpy closed(&third, &QTcpSocket::disconnected);
    third.connectToHost(QHostAddress::LocalHost, m_server->port());
    QVERIFY(closed.wait(3000));
    QCOMPARE(m_server->refusedConnections(), quint64(1));
    // The two others are still served.
    first.write("GET / HTTP/1.0\r\n\r\n");
    QSignalSpy firstClosed(&first, &QTcpSocket::disconnected);
    QVERIFY(firstClosed.wait(3000));
    QCOMPARE(withFixedDate(first.readAll()), page("HTTP/1.0", "403 Forbidden", Forbidden));
}

void tst_HttpServer::listenFailure()
{
    HttpServer other(&m_context, nullptr, m_server->port());
    QVERIFY(other.start());
    QVERIFY(!other.isListening());
    QCOMPARE(other.lastError(), QStringLiteral("Failed to listen on 127.0.0.1:%1 : The bound address is already in use")
                                    .arg(m_server->port()));
}

void tst_HttpServer::portFromEnvironment()
{
    QCOMPARE(HttpServer::defaultPort(), quint16(13107));
    qputenv("CORVANE_BLOCKPAGE_PORT", "23107");
    QCOMPARE(HttpServer::defaultPort(), quint16(23107));
    qputenv("CORVANE_BLOCKPAGE_PORT", "70000");
    QCOMPARE(HttpServer::defaultPort(), quint16(13107));
    qunsetenv("CORVANE_BLOCKPAGE_PORT");
}

QTEST_GUILESS_MAIN(tst_HttpServer)
#include "tst_httpserver.moc"

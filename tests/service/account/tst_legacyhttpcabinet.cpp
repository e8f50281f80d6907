// The account client over real HTTPS and HTTP against the reference account service, and
// against a small misbehaving HTTP peer for what the reference service never does.
#include "legacyhttpcabinet.h"

#include "configuration.h"
#include "jsoncache.h"
#include "legacycabinethttprequest.h"
#include "logcapture.h"
#include "profiledata.h"
#include "qxtjson.h"
#include "referencecabinet.h"
#include "requestmanager.h"
#include "settingskeys.h"
#include "sysinfo.h"
#include "testhooks.h"
#include "testsupport.h"

#include <QDateTime>
#include <QDir>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>
#include <QtTest>

#include <memory>

namespace {

const QString DemoUser = QStringLiteral("demo@corvane.test");
const QString DemoPassword = QStringLiteral("demo");

qint64 fakeNow = 0;
qint64 fakeClock()
{
    return fakeNow;
}

// Answers every request on its connections with one scripted reply (or never).
class MisbehavingPeer : public QTcpServer
{
public:
    QByteArray reply;
    bool closeAfterReply = true;
    int requests = 0;

    explicit MisbehavingPeer(const QByteArray &scriptedReply)
        : reply(scriptedReply)
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                socket->setParent(this);
                auto *received = new QByteArray;
                connect(socket, &QObject::destroyed, [received] { delete received; });
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
                    // Answer once the whole request (head and body) is in.
                    received->append(socket->readAll());
                    const int head = received->indexOf("\r\n\r\n");
                    const int at = received->toLower().indexOf("content-length:");
                    if (head < 0 || at < 0)
                        return;
                    const int length = received->mid(at + 15, received->indexOf('\r', at) - at - 15).trimmed().toInt();
                    if (received->size() < head + 4 + length)
                        return;
                    received->clear();
                    ++requests;
                    if (reply.isEmpty())
                        return;
                    socket->write(reply);
                    if (closeAfterReply)
                        socket->disconnectFromHost();
                });
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
};

bool allDataLoaded(const Cabinet &cabinet)
{
    if (cabinet.profileList().isEmpty())
        return false;
    for (quint32 id : cabinet.profileList().keys()) {
        const ProfileData *data = cabinet.profileData(id);
        if (!data || data->loadedFlags() != 31)
            return false;
    }
    return true;
}

// What a request finished with, kept beyond the request (which goes with its call).
struct Outcome
{
    int finishes = 0;
    Error error;
    void watch(Request *request)
    {
        QObject::connect(request, &Request::finished, request, [this, request] {
            ++finishes;
            error = request->error();
        });
    }
};

QTimer *timerOf(const QObject *owner, const QString &name = QString())
{
    return owner->findChild<QTimer *>(name);
}

} // namespace

class tst_LegacyHttpCabinet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void signInOverHttps();
    void credentialsRefused();
    void tls_data();
    void tls();
    void plainHttpStaysConnecting();
    void addDomainParameters();
    void loopbackOnlyMachine();
    void staleAnswersAfterNewCredentials();
    void backoffAgainstClosedPort();
    void timeout_data();
    void timeout();
    void hostileReplies_data();
    void hostileReplies();

private:
    std::unique_ptr<LegacyHttpCabinet> signIn(const QString &user = DemoUser,
                                              const QString &password = DemoPassword);
    ReferenceCabinet m_reference;
};

void tst_LegacyHttpCabinet::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    QVERIFY(m_reference.start(TestSupport::scratchDirectory(QStringLiteral("reference-cabinet"))));
}

void tst_LegacyHttpCabinet::cleanupTestCase()
{
    m_reference.stop();
}

void tst_LegacyHttpCabinet::init()
{
    QSettings settings;
    settings.clear();
    Configuration::writeDefaults(settings);
    settings.setValue(Configuration::Key::AccountSite, m_reference.https);
    settings.setValue(Configuration::Key::AccountSiteCaFile, m_reference.caFile);
    settings.sync();
    QDir(JsonCache::directoryFor(CacheEntry::CacheName)).removeRecursively();
}

std::unique_ptr<LegacyHttpCabinet> tst_LegacyHttpCabinet::signIn(const QString &user,
                                                                 const QString &password)
{
    auto cabinet = std::make_unique<LegacyHttpCabinet>();
    QCoreApplication::processEvents(); // init(): no credentials yet
    cabinet->setCredentials(user, password);
    return cabinet;
}

void tst_LegacyHttpCabinet::signInOverHttps()
{
    const qint64 since = QDateTime::currentSecsSinceEpoch();
    const int before = m_reference.calls().size();
    auto cabinet = signIn();
    QTRY_COMPARE_WITH_TIMEOUT(cabinet->state(), int(Cabinet::Connected), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(allDataLoaded(*cabinet), 10000);
    QTRY_VERIFY(cabinet->token() != 0);
    QCOMPARE(cabinet->profileList().size(), 3);
    QCOMPARE(cabinet->userInformation().planCode(), QStringLiteral("PREMIUM"));
    QCOMPARE(cabinet->selectedProfile()->id(), 101u);
    QCOMPARE(cabinet->domainsOf(101, CabinetDomain::AliasList).first().ip(), QHostAddress("192.0.2.80"));
    QVERIFY(!cabinet->agentUid().isEmpty());
    QCOMPARE(cabinet->systemInformation().blockPageIpAddress(), QHostAddress("198.51.100.1"));

    const QList<QJsonObject> calls = m_reference.calls().mid(before);
    QVERIFY(calls.size() >= 3 + 3 * 5 + 1);
    for (const QJsonObject &entry : calls) {
        const QJsonObject headers = entry.value("headers").toObject();
        const QString body = entry.value("body").toString();
        QCOMPARE(headers.value("Content-Type").toString(), QStringLiteral("application/json; charset=utf-8"));
        QCOMPARE(headers.value("User-Agent").toString().toLatin1(), SysInfo::userAgent());
        QCOMPARE(headers.value("Connection").toString(), QStringLiteral("close"));
        QCOMPARE(headers.value("Content-Length").toString().toInt(), body.toUtf8().size());
        // One compact message per POST, each with its own stamp.
        QVERIFY2(body.startsWith('{') && QxtJSON::stringify(QxtJSON::parse(body)) == body, qPrintable(body));
        const QUrlQuery query(QUrl(entry.value("path").toString()));
        QCOMPARE(QUrl(entry.value("path").toString()).path(), QStringLiteral("/api/json/v2"));
        QVERIFY(query.queryItemValue("stamp").toLongLong() >= since);
        QCOMPARE(entry.value("user").toString(), DemoUser);
    }
    const QJsonArray domains = m_reference.callsOf("domains").last().value("params").toArray();
    QVERIFY(domains.at(0).isDouble() && domains.at(1).isString());
    const QJsonArray identity = m_reference.callsOf("getProfile").last().value("params").toArray();
    QCOMPARE(identity.size(), 5);
    QCOMPARE(identity.at(2).toString(), QStringLiteral("3.2.1.3"));
    for (const QJsonValue &value : identity)
        QVERIFY(value.isString());
}

void tst_LegacyHttpCabinet::credentialsRefused()
{
    LogCapture log;
    auto cabinet = signIn(DemoUser, QStringLiteral("wrong"));
    QSignalSpy errors(cabinet.get(), &Cabinet::error);
    QTRY_COMPARE_WITH_TIMEOUT(log.warnings().count(QStringLiteral("cabinet auth failure")), 1, 10000);
    QCOMPARE(cabinet->lastError().code(), 30);
    QCOMPARE(cabinet->state(), int(Cabinet::Disconnected));
    QVERIFY(cabinet->profileList().isEmpty());
    // The other exchanges of the same refused sign-in are not reported again.
    QTRY_VERIFY(!cabinet->findChild<LegacyCabinetHttpRequest *>());
    QCOMPARE(log.warnings().count(QStringLiteral("cabinet auth failure")), 1);
    QCOMPARE(errors.count(), 1);

    // New credentials are offered once more on a new manager.
    QVERIFY(cabinet->setCredentials(DemoUser, DemoPassword));
    QTRY_COMPARE_WITH_TIMEOUT(cabinet->state(), int(Cabinet::Connected), 10000);
    QTRY_COMPARE(cabinet->profileList().size(), 3);
}

void tst_LegacyHttpCabinet::tls_data()
{
    QTest::addColumn<bool>("trustCa");
    QTest::addColumn<bool>("ignoreErrors");
    QTest::addColumn<bool>("connects");
    QTest::newRow("CA from www-ca-file") << true << false << true;
    QTest::newRow("unknown CA, errors not ignored") << false << false << false;
    QTest::newRow("unknown CA, errors ignored") << false << true << true;
}

void tst_LegacyHttpCabinet::tls()
{
    QFETCH(bool, trustCa);
    QFETCH(bool, ignoreErrors);
    QFETCH(bool, connects);
    QSettings settings;
    settings.setValue(Configuration::Key::AccountSiteCaFile, trustCa ? m_reference.caFile : QString());
    settings.setValue(Configuration::Key::AccountSiteIgnoreSslErrors, ignoreErrors);
    settings.sync();
    LogCapture log;
    auto cabinet = signIn();
    if (connects) {
        QTRY_COMPARE_WITH_TIMEOUT(cabinet->state(), int(Cabinet::Connected), 10000);
        QVERIFY2(!log.contains(QStringLiteral("SSL Errors:")), qPrintable(log.dump()));
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(cabinet->lastError().code(), 31, 10000);
    QCOMPARE(cabinet->state(), int(Cabinet::Disconnected));
    const QStringList warnings = log.warnings();
    const int at = warnings.indexOf(QStringLiteral("SSL Errors:"));
    QVERIFY2(at >= 0 && at + 1 < warnings.size(), qPrintable(log.dump()));
    // "<code> \"<text>\" (\"<issuer common name>\")"
    QVERIFY2(warnings.at(at + 1).contains(QLatin1String("(\"Corvane reference cabinet CA\")")),
             qPrintable(warnings.at(at + 1)));
}

void tst_LegacyHttpCabinet::plainHttpStaysConnecting()
{
    QSettings().setValue(Configuration::Key::AccountSite, m_reference.http);
    auto cabinet = signIn();
    QSignalSpy states(cabinet.get(), &Cabinet::stateChanged);
    QTRY_VERIFY_WITH_TIMEOUT(allDataLoaded(*cabinet), 10000);
    QCOMPARE(cabinet->state(), int(Cabinet::Connecting));
    QCOMPARE(cabinet->lastError().code(), 0);
    for (int i = 0; i < states.count(); ++i)
        QVERIFY(cabinet->state() != Cabinet::Connected);
}

void tst_LegacyHttpCabinet::addDomainParameters()
{
    auto cabinet = signIn();
    QTRY_VERIFY_WITH_TIMEOUT(allDataLoaded(*cabinet), 10000);
    QSignalSpy changed(cabinet.get(), &Cabinet::domainsChanged);
    cabinet->addDomain(101, CabinetDomain::BlackList, QStringLiteral("three.example"));
    cabinet->addDomain(101, CabinetDomain::AliasList, QStringLiteral("four.example"), QHostAddress("192.0.2.9"));
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 2, 10000);
    const QList<QJsonObject> sent = m_reference.callsOf("addDomain");
    QCOMPARE(sent.size(), 2);
    // Two exchanges at once: they may reach the service in either order.
    const QList<QJsonArray> params { sent.at(0).value("params").toArray(), sent.at(1).value("params").toArray() };
    QVERIFY(params.contains(QJsonArray { 101, "black", "three.example" }));
    QVERIFY(params.contains(QJsonArray { 101, "alias", "four.example", "192.0.2.9" }));
    const CabinetDomains aliases = cabinet->domainsOf(101, CabinetDomain::AliasList);
    QCOMPARE(aliases.last().domain(), QStringLiteral("four.example"));
    QVERIFY(aliases.last().id() >= 1000);
}

void tst_LegacyHttpCabinet::loopbackOnlyMachine()
{
    LogCapture log;
    auto cabinet = std::make_unique<LegacyHttpCabinet>();
    cabinet->setInterfaceSource([] {
        LocalAddress::Interface loopback;
        loopback.up = loopback.running = loopback.loopback = true;
        loopback.addresses = { QHostAddress::LocalHost };
        LocalAddress::Interface down;
        down.addresses = { QHostAddress("192.0.2.44") };
        return QList<LocalAddress::Interface> { loopback, down };
    });
    QCoreApplication::processEvents();
    const int before = m_reference.callsOf("getProfile").size();
    cabinet->setCredentials(DemoUser, DemoPassword);
    QTRY_COMPARE_WITH_TIMEOUT(m_reference.callsOf("getProfile").size(), before + 1, 10000);
    QCOMPARE(m_reference.callsOf("getProfile").last().value("params").toArray().at(4).toString(),
             QStringLiteral("127.0.0.1"));
    QVERIFY(log.contains(QStringLiteral("failed to find a correct network interface \r\n(requirements: "
                                        "it's not loopback, it's up, it's running)")));
}

void tst_LegacyHttpCabinet::staleAnswersAfterNewCredentials()
{
    auto cabinet = std::make_unique<LegacyHttpCabinet>();
    QCoreApplication::processEvents();
    const QString second = QStringLiteral("second-%1@corvane.test").arg(QDateTime::currentMSecsSinceEpoch());
    Outcome registration;
    registration.watch(cabinet->registerUser(second, QStringLiteral("two")));
    QTRY_COMPARE_WITH_TIMEOUT(registration.finishes, 1, 10000);
    QCOMPARE(registration.error.code(), 0);

    cabinet->setCredentials(DemoUser, DemoPassword);
    QTRY_COMPARE(cabinet->state(), int(Cabinet::Connecting)); // the first sign-in's exchanges left
    QSignalSpy errors(cabinet.get(), &Cabinet::error);
    QVERIFY(cabinet->setCredentials(second, QStringLiteral("two")));
    QTRY_VERIFY_WITH_TIMEOUT(allDataLoaded(*cabinet), 10000);
    QCOMPARE(cabinet->profileList().size(), 1);
    QTRY_VERIFY(!cabinet->findChild<LegacyCabinetHttpRequest *>()); // every exchange has ended
    QCOMPARE(errors.count(), 0);
    QCOMPARE(cabinet->lastError().code(), 0);
    QCOMPARE(cabinet->profileList().size(), 1);
    QVERIFY(!cabinet->profileData(101));
    QCOMPARE(cabinet->state(), int(Cabinet::Connected));
}

void tst_LegacyHttpCabinet::backoffAgainstClosedPort()
{
    QSettings().setValue(Configuration::Key::AccountSite,
                         QStringLiteral("https://127.0.0.1:%1").arg(TestSupport::freeLoopbackPort()));
    LogCapture log;
    auto cabinet = signIn();
    QTimer *reconnect = timerOf(cabinet.get(), QStringLiteral("reconnectTimer"));
    QSignalSpy errors(cabinet.get(), &Cabinet::error);
    for (int expected : { 30000, 60000 }) {
        // systemInfo, profiles and userInfo all fail: one round, one doubling.
        QTRY_VERIFY_WITH_TIMEOUT(errors.count() >= 3 && !cabinet->findChild<LegacyCabinetHttpRequest *>(), 10000);
        QCOMPARE(cabinet->lastError().code(), 31);
        QCOMPARE(reconnect->interval(), expected);
        QVERIFY(reconnect->isActive());
        errors.clear();
        reconnect->stop();
        cabinet->connectToServer();
    }
}

void tst_LegacyHttpCabinet::timeout_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("no answer at all") << QByteArray();
    QTest::newRow("a body that never ends")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: 1000\r\n\r\n[");
}

void tst_LegacyHttpCabinet::timeout()
{
    QFETCH(QByteArray, reply);
    MisbehavingPeer peer(reply);
    peer.closeAfterReply = false;
    QSettings().setValue(Configuration::Key::AccountSite, peer.url());
    fakeNow = QDateTime::currentMSecsSinceEpoch();
    TestHooks::setMonotonicTimeSource(&fakeClock);
    LogCapture log;
    auto cabinet = std::make_unique<LegacyHttpCabinet>();
    QCoreApplication::processEvents();
    Outcome probe;
    probe.watch(cabinet->testAuth(DemoUser, DemoPassword));
    QTRY_VERIFY(peer.requests >= 1);

    fakeNow += 31 * 1000;
    QTimer *expiry = timerOf(RequestManager::instance());
    expiry->stop();
    QVERIFY(QMetaObject::invokeMethod(expiry, "timeout"));
    TestHooks::setMonotonicTimeSource(nullptr);
    QCOMPARE(probe.finishes, 1);
    QCOMPARE(probe.error.code(), 31);
    QCOMPARE(probe.error.message(), QStringLiteral("request timeout"));
    QCOMPARE(cabinet->lastError().message(), QStringLiteral("request timeout"));
    QCOMPARE(cabinet->state(), int(Cabinet::Disconnected));
    QCOMPARE(timerOf(cabinet.get(), QStringLiteral("reconnectTimer"))->interval(), 30000);
    QVERIFY(log.contains(QStringLiteral("cabinet request abort with reason: 2: <no message>")));
}

void tst_LegacyHttpCabinet::hostileReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QByteArray json = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n";
    QTest::newRow("announced body over the limit")
            << json + "Content-Length: 5000000\r\n\r\n" << 31 << "reply too large (over 4194304 bytes)";
    QTest::newRow("unannounced body over the limit")
            << json + "\r\n" + QByteArray(5 * 1024 * 1024, ' ') << 31 << "reply too large (over 4194304 bytes)";
    QTest::newRow("redirect")
            << QByteArray("HTTP/1.1 302 Found\r\nLocation: http://192.0.2.1/\r\nContent-Length: 0\r\n\r\n")
            << 31 << "redirect refused (HTTP status 302)";
    QTest::newRow("a page instead of JSON")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 6\r\n\r\n<html>")
            << 31 << "unexpected content type \"text/html\"";
    QTest::newRow("deeply nested JSON")
            << json + "Content-Length: 200000\r\n\r\n" + QByteArray(200000, '[') << 9
            << "No valid JSON-RPC response received";
    QTest::newRow("server error")
            << QByteArray("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n") << 31
            << "server replied: Internal Server Error";
}

void tst_LegacyHttpCabinet::hostileReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, code);
    QFETCH(QString, message);
    MisbehavingPeer peer(reply);
    QSettings().setValue(Configuration::Key::AccountSite, peer.url());
    LogCapture log;
    auto cabinet = std::make_unique<LegacyHttpCabinet>();
    Outcome probe;
    probe.watch(cabinet->testAuth(DemoUser, DemoPassword));
    QTRY_COMPARE_WITH_TIMEOUT(probe.finishes, 1, 10000);
    QVERIFY2(probe.error.code() == code, qPrintable(probe.error.toString()));
    QVERIFY2(probe.error.message().contains(message), qPrintable(probe.error.message()));
}

QTEST_GUILESS_MAIN(tst_LegacyHttpCabinet)
#include "tst_legacyhttpcabinet.moc"

// The orchestration: its notifications, the greeting, the protection switch, the settings
// lock per connection and the stop order. The account state is a scripted fake (the
// account service's answers are the test's to choose); the adapter control is the real one
// on its ini backend, the IPC server and the clients are real, on a scratch socket.
#include "../account/fakecabinet.h"

#include "changeusermessanger.h"
#include "consoleuser.h"
#include "dnsproxy.h"
#include "guiconnector.h"
#include "identification.h"
#include "ipcrequesthandler.h"
#include "ipcserver.h"
#include "jsoncache.h"
#include "server.h"
#include "serviceclient.h"
#include "testsupport.h"

#include <QDir>
#include <QSettings>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const QString Login = QStringLiteral("parent@example.com");
const QString Password = QStringLiteral("secret");
const QString OwnServer = QStringLiteral("192.0.2.1");

class FakeConsoleUser : public ConsoleUser
{
public:
    explicit FakeConsoleUser(QString *name) : m_name(name) {}
    QString userName() override { return *m_name; }

private:
    QString *m_name;
};

CabinetProfile profile(quint32 id, const QString &name, bool isDefault)
{
    CabinetProfile p;
    p.setId(id);
    p.setName(name);
    p.setToken(1000 + id);
    p.setDefault(isDefault);
    return p;
}

CabinetProfiles demoProfiles()
{
    CabinetProfiles list;
    for (const CabinetProfile &p : { profile(101, "Default", true), profile(102, "Kids", false) })
        list.insert(p.id(), QSharedPointer<CabinetProfile>::create(p));
    return list;
}

// A signed-in account whose data has arrived, a started server, and its adapter file.
struct Rig
{
    QString folder = TestSupport::scratchDirectory(QStringLiteral("server"));
    QString adapters = folder + QStringLiteral("/adapters.ini");
    QString socket = folder + QStringLiteral("/ipc");
    QString console;
    FakeCabinet *cabinet = nullptr;
    std::unique_ptr<Server> server;
    QList<ServiceClient *> clients;

    Rig()
    {
        TestSupport::writeFile(adapters, "[Adapters]\neth0\\FriendlyName=Office LAN\neth0\\Type=ethernet\neth0\\Up=true\n"
                                         "[Tcpip]\nParameters\\Interfaces\\eth0\\NameServer=192.0.2.1\n");
        qputenv("CORVANE_DNS_BACKEND", "ini");
        qputenv("CORVANE_DNS_BACKEND_INI", QFile::encodeName(adapters));
        qputenv("CORVANE_IPC_SOCKET", QFile::encodeName(socket));
        qputenv("CORVANE_BLOCKPAGE_PORT", QByteArray::number(TestSupport::freeLoopbackPort()));
        QSettings store;
        store.setValue("localproxy-port", TestSupport::freeLoopbackPort());
        store.setValue("tarnwickproxy-port", 9);
        store.setValue("settings-protected", false);
        cabinet = new FakeCabinet;
        QCoreApplication::processEvents();
        cabinet->setCredentials(Login, Password);
        cabinet->setConnectionState(Cabinet::Connected);
        cabinet->answer(QStringLiteral("profiles"), demoProfiles());
        CabinetDomains black;
        black.append(CabinetDomain(7, QStringLiteral("blocked.example")));
        cabinet->answer(QStringLiteral("domains"), black, { 101u, 1 });
        cabinet->answerProfileData();
        server.reset(new Server(cabinet, new FakeConsoleUser(&console), nullptr));
    }
    ~Rig() { qDeleteAll(clients); }

    ServiceClient *connect()
    {
        auto *client = new ServiceClient;
        clients.append(client);
        if (!client->connectTo(socket) || !client->waitFor(QStringLiteral("setIdentification")))
            return nullptr;
        return client;
    }
    QString nameServer() const
    {
        return QSettings(adapters, QSettings::IniFormat).value("Tcpip/Parameters/Interfaces/eth0/NameServer").toString();
    }
    IPCRequestHandler *handlerOf(int connection) const
    {
        return server->ipcServer()->connections().at(connection)->findChild<IPCRequestHandler *>();
    }
};

} // namespace

class tst_Server : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void greetingComesFirstWithoutPassword();
    void identificationNotificationsCoalesce();
    void protectionPause();
    void settingsProtectionReachesTheOthers();
    void unlockSettings_data();
    void unlockSettings();
    void lockedConnection_data();
    void lockedConnection();
    void setSettingWritesOnlyTheClientsKey_data();
    void setSettingWritesOnlyTheClientsKey();
    void cachedReadsAnswerAtOnce_data();
    void cachedReadsAnswerAtOnce();
    void mappingSelectsTheUsersProfile_data();
    void mappingSelectsTheUsersProfile();
    void blockPageHosts_data();
    void blockPageHosts();
    void stopRestoresAdaptersBeforeTheProxy();
};

void tst_Server::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
}

void tst_Server::init()
{
    QSettings().clear();
    QDir(JsonCache::directoryFor(CacheEntry::CacheName)).removeRecursively();
}

void tst_Server::greetingComesFirstWithoutPassword()
{
    Rig rig;
    QVERIFY(rig.server->start());
    QCOMPARE(rig.nameServer(), QStringLiteral("127.0.0.1"));
    ServiceClient *client = rig.connect();
    QVERIFY(client);
    const QStringList expected { "setSettings", "setNetworks", "setCredentials", "setSettingsLocked",
                                 "setGlobalFiltering", "setUserInfo", "setProfiles",
                                 "setProfileScheduleActivity", "setIdentification" };
    QCOMPARE(client->methods(), expected);
    QCOMPARE(client->last("setCredentials"), (QVariantList { Login, QString() }));
    QCOMPARE(client->last("setIdentification"), (QVariantList { 1, 101 }));
    QCOMPARE(client->last("setProfileScheduleActivity"), (QVariantList { 101, true }));
    const QVariantMap settings = client->last("setSettings").value(0).toMap();
    QCOMPARE(settings.keys(), (QStringList { "local_user_to_profile_mapping_status", "localproxy-addr", "user_to_prof_map" }));
}

// Several changes in one pass of the event loop give each client one notification.
void tst_Server::identificationNotificationsCoalesce()
{
    Rig rig;
    QVERIFY(rig.server->start());
    ServiceClient *a = rig.connect();
    ServiceClient *b = rig.connect();
    QVERIFY(a && b);
    a->notes.clear();
    b->notes.clear();
    rig.server->identification()->stop();
    rig.server->identification()->start();
    rig.cabinet->selectProfile(102, true);
    QVERIFY(a->waitFor("setIdentification"));
    QVERIFY(b->waitFor("setIdentification"));
    QTest::qWait(100);
    QCOMPARE(a->count("setIdentification"), 1);
    QCOMPARE(b->count("setIdentification"), 1);
    QCOMPARE(a->last("setIdentification"), (QVariantList { 1, 102 }));
}

void tst_Server::protectionPause()
{
    Rig rig;
    QVERIFY(rig.server->start());
    ServiceClient *a = rig.connect();
    ServiceClient *b = rig.connect();
    QVERIFY(a && b);
    QCOMPARE(a->call("setGlobalFiltering", { false, 15 }).error.code(), 0);
    QVERIFY(b->waitFor("setGlobalFiltering", 5000, 1));
    QCOMPARE(b->last("setGlobalFiltering"), QVariantList { false });
    QCOMPARE(rig.nameServer(), OwnServer);
    auto *pause = rig.server->findChild<QTimer *>(QStringLiteral("pauseTimer"));
    QVERIFY(pause && pause->isActive());
    QCOMPARE(pause->interval(), 15 * 60000);

    // The 15 minutes pass (made short here): protection comes back by itself.
    pause->start(1);
    QVERIFY(b->waitFor("setGlobalFiltering", 5000, 2));
    QCOMPARE(b->last("setGlobalFiltering"), QVariantList { true });
    QCOMPARE(rig.nameServer(), QStringLiteral("127.0.0.1"));

    const Error same = rig.server->setGlobalFiltering(true, 0);
    QCOMPARE(same.code(), 1);
    QCOMPARE(same.message(), QStringLiteral("Protection state being set is the same as the current one"));
    QTest::qWait(100);
    QCOMPARE(b->count("setGlobalFiltering"), 3);
}

void tst_Server::settingsProtectionReachesTheOthers()
{
    Rig rig;
    QVERIFY(rig.server->start());
    ServiceClient *a = rig.connect();
    ServiceClient *b = rig.connect();
    QVERIFY(a && b);
    QCOMPARE(a->call("setSettingsProtection", { true }).error.code(), 0);
    QVERIFY(b->waitFor("setSettingsLocked", 5000, 1));
    QCOMPARE(b->last("setSettingsLocked"), QVariantList { true });
    QCOMPARE(a->count("setSettingsLocked"), 1);
    QCOMPARE(QSettings().value("settings-protected").toBool(), true);
}

void tst_Server::unlockSettings_data()
{
    QTest::addColumn<bool>("protectedSettings");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("asksTheAccountService");
    QTest::newRow("the stored credentials") << true << Login << Password << 0 << false;
    QTest::newRow("a wrong password") << true << Login << "guess" << 30 << true;
    QTest::newRow("another account") << true << "child@example.com" << "own" << 30 << false;
    QTest::newRow("settings not protected") << false << "anyone" << "anything" << 0 << false;
}

void tst_Server::unlockSettings()
{
    QFETCH(bool, protectedSettings);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(int, code);
    QFETCH(bool, asksTheAccountService);
    Rig rig;
    QSettings().setValue("settings-protected", protectedSettings);
    QVERIFY(rig.server->start());
    ServiceClient *client = rig.connect();
    QVERIFY(client);
    rig.handlerOf(0)->setPeer(PeerCredentials { true, 65534, 65534, 1 });
    // The account service refuses a password it is asked about.
    QTimer::singleShot(50, rig.cabinet, [&] { rig.cabinet->fail("testAuth", Error(30, "Invalid credentials")); });
    QCOMPARE(client->call("unlockSettings", { user, password }).error.code(), code);
    QCOMPARE(rig.cabinet->count("testAuth"), asksTheAccountService ? 1 : 0);
    QCOMPARE(rig.handlerOf(0)->isLocked(), protectedSettings && code != 0);
}

void tst_Server::lockedConnection_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QVariantList>("params");
    QTest::addColumn<bool>("refused");
    QTest::newRow("filtering off") << "setGlobalFiltering" << QVariantList { false, 0 } << true;
    QTest::newRow("filtering on") << "setGlobalFiltering" << QVariantList { true, 0 } << false;
    QTest::newRow("sign in to another account") << "setCredentials" << QVariantList { "child@example.com", "x" } << true;
    QTest::newRow("the same account again") << "setCredentials" << QVariantList { Login, Password } << false;
    QTest::newRow("black list entry") << "addDomain" << QVariantList { 101, "white", "games.example" } << true;
    QTest::newRow("setting") << "setSetting" << QVariantList { "catserv-dns", "192.0.2.53" } << true;
    QTest::newRow("select profile") << "setProfile" << QVariantList { 102 } << true;
    QTest::newRow("settings protection off") << "setSettingsProtection" << QVariantList { false } << true;
    QTest::newRow("network unprotected") << "setNetworkProtection" << QVariantList { "eth0", false, QVariantList() } << true;
    QTest::newRow("network protected") << "setNetworkProtection" << QVariantList { "eth0", true, QVariantList() } << false;
    QTest::newRow("local proxy") << "setLocalDnsAddress" << QVariantList { "127.0.0.2", 53 } << true;
    QTest::newRow("read a list") << "domains" << QVariantList { 101, "black" } << false;
    QTest::newRow("refresh profiles") << "updateProfiles" << QVariantList() << false;
}

// A non-root client of a protected, signed-in service changes nothing until it unlocked
// its own connection; reading, refreshing and protecting more stay open.
void tst_Server::lockedConnection()
{
    QFETCH(QString, method);
    QFETCH(QVariantList, params);
    QFETCH(bool, refused);
    Rig rig;
    QSettings().setValue("settings-protected", true);
    QVERIFY(rig.server->start());
    ServiceClient *client = rig.connect();
    ServiceClient *other = rig.connect();
    QVERIFY(client && other);
    rig.handlerOf(0)->setPeer(PeerCredentials { true, 65534, 65534, 1 });
    const QByteArray name = method.toLatin1();
    const ServiceClient::Answer answer = client->call(name.constData(), params);
    if (refused) {
        QCOMPARE(answer.error.code(), IPCRequestHandler::LockedCode);
        QCOMPARE(answer.error.message(), IPCRequestHandler::LockedMessage);
        QTest::qWait(50);
        QCOMPARE(other->count("setGlobalFiltering"), 1);
        QCOMPARE(QSettings().value("catserv-dns").toString(), QString());
        // Unlocked with the account's credentials, the same call goes through.
        QCOMPARE(client->call("unlockSettings", { Login, Password }).error.code(), 0);
        QVERIFY(client->call(name.constData(), params, 2000).error.code() != IPCRequestHandler::LockedCode);
    } else {
        QVERIFY2(answer.error.code() != IPCRequestHandler::LockedCode, qPrintable(answer.error.toString()));
    }
    // The methods guarded whatever their parameters are the ones README lists.
    const QStringList partly { "setGlobalFiltering", "setCredentials", "setNetworkProtection" };
    if (!partly.contains(method))
        QCOMPARE(IPCRequestHandler::isGuarded(method), refused);
}

void tst_Server::setSettingWritesOnlyTheClientsKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("written");
    QTest::newRow("category server") << "catserv-dns" << true;
    QTest::newRow("account site") << "www" << false;
    QTest::newRow("resolver") << "tarnwickproxy-addr" << false;
    QTest::newRow("password") << "password" << false;
}

void tst_Server::setSettingWritesOnlyTheClientsKey()
{
    QFETCH(QString, key);
    QFETCH(bool, written);
    Rig rig;
    QVERIFY(rig.server->start());
    ServiceClient *client = rig.connect();
    QVERIFY(client);
    const QString before = QSettings().value(key).toString();
    const ServiceClient::Answer answer = client->call("setSetting", { key, "203.0.113.9" });
    QCOMPARE(answer.error.code(), written ? 0 : 1);
    QCOMPARE(QSettings().value(key).toString(), written ? QStringLiteral("203.0.113.9") : before);
}

void tst_Server::cachedReadsAnswerAtOnce_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QVariantList>("params");
    QTest::addColumn<QString>("refresh");
    QTest::newRow("black list") << "domains" << QVariantList { 101, "black" } << "domains";
    QTest::newRow("filter") << "userFilter" << QVariantList { 101 } << "userFilter";
    QTest::newRow("schedule") << "schedule" << QVariantList { 101 } << "schedule";
    QTest::newRow("unknown profile") << "domains" << QVariantList { 999, "black" } << "domains";
}

void tst_Server::cachedReadsAnswerAtOnce()
{
    QFETCH(QString, method);
    QFETCH(QVariantList, params);
    QFETCH(QString, refresh);
    Rig rig;
    QVERIFY(rig.server->start());
    ServiceClient *client = rig.connect();
    QVERIFY(client);
    const int asked = rig.cabinet->count(refresh);
    const QByteArray name = method.toLatin1();
    const ServiceClient::Answer answer = client->call(name.constData(), params);
    QCOMPARE(answer.error.code(), 0);
    QCOMPARE(rig.cabinet->count(refresh), asked + 1);
    if (method == "domains" && params.first() == 101) {
        QCOMPARE(answer.result.toList().size(), 1);
        CabinetDomains fresh;
        fresh.append(CabinetDomain(7, QStringLiteral("blocked.example")));
        fresh.append(CabinetDomain(8, QStringLiteral("games.example")));
        QVERIFY(rig.cabinet->answer(QStringLiteral("domains"), fresh, { 101u, 1 }));
        QVERIFY(client->waitFor("setDomains"));
        QCOMPARE(client->last("setDomains").value(2).toList().size(), 2);
    } else if (method == "domains") {
        QCOMPARE(answer.result.toList(), QVariantList());
    }
}

void tst_Server::mappingSelectsTheUsersProfile_data()
{
    QTest::addColumn<QString>("boundProfile");
    QTest::addColumn<quint32>("storedDefault");
    QTest::addColumn<quint32>("selected");
    QTest::newRow("bound profile exists") << "Kids" << 101u << 102u;
    QTest::newRow("bound profile missing: stored default") << "Teens" << 102u << 102u;
    QTest::newRow("no binding, no stored default: the current one") << "" << 0u << 101u;
}

void tst_Server::mappingSelectsTheUsersProfile()
{
    QFETCH(QString, boundProfile);
    QFETCH(quint32, storedDefault);
    QFETCH(quint32, selected);
    Rig rig;
    QSettings store;
    if (!boundProfile.isEmpty())
        store.setValue("user-profile-mapping-" + Login, QVariantMap { { "WORKGROUP\\anna", boundProfile } });
    store.setValue(Login + "_standart_prof_id", storedDefault);
    store.setValue("local_user_to_profile_mapping_status", true);
    rig.console = QStringLiteral("anna");
    QVERIFY(rig.server->start());
    QVERIFY(rig.server->userMapping()->isEnabled());
    QCOMPARE(rig.cabinet->selectedProfile()->id(), selected);
}

void tst_Server::blockPageHosts_data()
{
    QTest::addColumn<QVariant>("setting");
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("default, reference host") << QVariant() << "blockpage.corvane.test" << true;
    QTest::newRow("default, tls host") << QVariant() << "BLOCKPAGE-TLS.corvane.test" << true;
    QTest::newRow("default, another host") << QVariant() << "collector.example" << false;
    QTest::newRow("suffix entry") << QVariant(QStringList { "block.example", ".pages.example" }) << "x.pages.example" << true;
    QTest::newRow("text with commas") << QVariant("block.example, other.example") << "other.example" << true;
    QTest::newRow("text with commas, not listed") << QVariant("block.example") << "blockpage.corvane.test" << false;
}

void tst_Server::blockPageHosts()
{
    QFETCH(QVariant, setting);
    QFETCH(QString, host);
    QFETCH(bool, allowed);
    if (setting.isValid())
        QSettings().setValue("blockpage-hosts", setting);
    Rig rig;
    QCOMPARE(rig.server->blockPageHosts().allows(host), allowed);
}

// The machine must never point at a proxy that has gone.
void tst_Server::stopRestoresAdaptersBeforeTheProxy()
{
    Rig rig;
    QVERIFY(rig.server->start());
    DNSProxy *proxy = rig.server->identification()->proxy();
    QVERIFY(proxy->isRunning());
    QCOMPARE(rig.nameServer(), QStringLiteral("127.0.0.1"));
    QString whenProxyStopped;
    connect(proxy, &DNSProxy::stateChanged, this, [&] { whenProxyStopped = rig.nameServer(); });
    rig.server->stop();
    QVERIFY(!proxy->isRunning());
    QCOMPARE(whenProxyStopped, OwnServer);
}

QTEST_GUILESS_MAIN(tst_Server)
#include "tst_server.moc"

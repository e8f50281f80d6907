// The identification's state rules, against a scripted account state and the real DNS proxy
// and block page server on loopback ports.
#include "fakecabinet.h"

#include "dnscontext.h"
#include "dnsproxy.h"
#include "httpserver.h"
#include "identification.h"
#include "jsoncache.h"
#include "testsupport.h"

#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QUdpSocket>
#include <QtTest>

#include <memory>

namespace {

class LoopbackContext : public DNS::DnsContext
{
public:
    DNS::Endpoint local { QHostAddress::LocalHost, TestSupport::freeLoopbackPort() };
    DNS::Endpoint localEndpoint() const override { return local; }
    DNS::Endpoint upstreamEndpoint() const override { return { QHostAddress::LocalHost, 9 }; }
    quint32 token() const override { return 0; }
};

CabinetProfiles demoProfiles()
{
    CabinetProfile profile;
    profile.setId(101);
    profile.setName(QStringLiteral("Default"));
    profile.setToken(1101);
    profile.setDefault(true);
    CabinetProfiles list;
    list.insert(profile.id(), QSharedPointer<CabinetProfile>::create(profile));
    return list;
}

struct Rig
{
    FakeCabinet cabinet;
    LoopbackContext context;
    Identification identification { &cabinet, &context, nullptr, TestSupport::freeLoopbackPort() };

    Rig()
    {
        QCoreApplication::processEvents(); // the account state's init()
        cabinet.setCredentials(QStringLiteral("user"), QStringLiteral("secret"));
    }
    // The profile list arrives; the selected profile's data has been asked for.
    void profilesArrive() { cabinet.answer(QStringLiteral("profiles"), demoProfiles()); }
};

} // namespace

class tst_Identification : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void waitsForTheSelectedProfilesData();
    void busyProxyPortStops();
    void startingTheRunningType_data();
    void startingTheRunningType();
    void credentialsRefusedWhileWaiting();
};

void tst_Identification::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
}

void tst_Identification::init()
{
    QSettings().clear();
    QDir(JsonCache::directoryFor(CacheEntry::CacheName)).removeRecursively();
}

// The proxy runs only once the resolver can be told which profile a query belongs to:
// selecting the profile is not enough, its data must be there.
void tst_Identification::waitsForTheSelectedProfilesData()
{
    Rig rig;
    rig.identification.start();
    QCOMPARE(rig.identification.state(), Identification::Waiting);
    rig.profilesArrive();
    QVERIFY(rig.cabinet.selectedProfile());
    QCOMPARE(rig.identification.state(), Identification::Waiting);
    QVERIFY(!rig.identification.proxy()->isRunning());

    QSignalSpy states(&rig.identification, &Identification::stateChanged);
    QVERIFY(rig.cabinet.answer(QStringLiteral("domains"), CabinetDomains(), { 101u, 1 }));
    QCOMPARE(rig.identification.state(), Identification::Running);
    QCOMPARE(states.count(), 1);
    QVERIFY(rig.identification.proxy()->isRunning());
    QVERIFY(rig.identification.blockPage()->isListening());

    rig.identification.stop();
    QCOMPARE(rig.identification.state(), Identification::Stopped);
    QVERIFY(!rig.identification.proxy()->isRunning());
    QVERIFY(!rig.identification.blockPage()->isListening());
}

void tst_Identification::busyProxyPortStops()
{
    Rig rig;
    QUdpSocket holder;
    QVERIFY(holder.bind(rig.context.local.address, rig.context.local.port));
    rig.identification.start();
    rig.profilesArrive();
    QSignalSpy errors(&rig.identification, &Identification::error);
    rig.cabinet.answerProfileData();
    QCOMPARE(rig.identification.state(), Identification::Stopped);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(rig.identification.lastError().code(), 1);
    QCOMPARE(rig.identification.lastError().message(), rig.identification.proxy()->lastError());
    QVERIFY(rig.identification.lastError().message().startsWith("Failed to start DNS proxy on udp://127.0.0.1:"));
    QVERIFY(!rig.identification.blockPage()->isListening());
}

void tst_Identification::startingTheRunningType_data()
{
    QTest::addColumn<bool>("switchPending");
    QTest::newRow("running: nothing happens") << false;
    QTest::newRow("switch to IP pending: cancelled") << true;
}

void tst_Identification::startingTheRunningType()
{
    QFETCH(bool, switchPending);
    Rig rig;
    rig.identification.start();
    rig.profilesArrive();
    rig.cabinet.answerProfileData();
    QCOMPARE(rig.identification.state(), Identification::Running);
    if (switchPending) {
        // The public address is not known yet: IP identification cannot take over.
        rig.identification.startWithType(Identification::IpType);
        QCOMPARE(rig.identification.state(), Identification::Switching);
        QCOMPARE(rig.identification.pendingType(), Identification::IpType);
    }
    QSignalSpy states(&rig.identification, &Identification::stateChanged);
    QSignalSpy types(&rig.identification, &Identification::typeChanged);
    rig.identification.startWithType(Identification::TokenType);
    QCOMPARE(rig.identification.state(), Identification::Running);
    QCOMPARE(rig.identification.type(), Identification::TokenType);
    QCOMPARE(states.count(), switchPending ? 1 : 0);
    QCOMPARE(types.count(), 0);
    QVERIFY(rig.identification.proxy()->isRunning());
    // A cancelled switch stays cancelled when the address arrives later.
    if (switchPending) {
        QVERIFY(rig.cabinet.answer(QStringLiteral("updateNic"), QHostAddress(QStringLiteral("192.0.2.7"))));
        QCOMPARE(rig.identification.type(), Identification::TokenType);
    }
}

void tst_Identification::credentialsRefusedWhileWaiting()
{
    Rig rig;
    rig.identification.start();
    QSignalSpy errors(&rig.identification, &Identification::error);
    // The account site refuses the credentials (as the transport reports it).
    rig.cabinet.transportError(Error(30));
    QCOMPARE(rig.identification.state(), Identification::Stopped);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(rig.identification.lastError().code(), 30);
}

QTEST_GUILESS_MAIN(tst_Identification)
#include "tst_identification.moc"

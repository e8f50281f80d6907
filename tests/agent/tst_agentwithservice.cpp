// The desktop client against the real corvane-service, which is signed in to the reference
// account service and forwards to the reference resolver: every kind of edit made in the
// settings pages reaches the service, which accepts its parameters and acts on them (what it
// forwards to the account service, with its JSON types, or what it pushes to every client).
// The rows run in order on one account.
#include "../service/account/referencecabinet.h"

#include "agenttestrig.h"
#include "categorytreemodel.h"
#include "profilelistmodel.h"
#include "serviceclient.h"

#include <QComboBox>
#include <QDialog>
#include <QJsonArray>
#include <QLineEdit>
#include <QStandardPaths>

namespace {

QString sourcePath(const QString &relative)
{
    return QStringLiteral(CORVANE_TEST_DATA_DIR "/../../") + relative;
}

QString jsonTypes(const QJsonArray &params)
{
    QStringList types;
    for (const QJsonValue &value : params) {
        types << (value.isBool() ? "bool" : value.isDouble() ? "number" : value.isString() ? "string"
                  : value.isArray()                          ? "list"
                  : value.isObject()                         ? "map"
                                                             : "null");
    }
    return types.join(QLatin1Char(','));
}

} // namespace

class TestAgentWithService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void editReachesTheService_data();
    void editReachesTheService();

private:
    void perform(const QString &action);
    ReferenceCabinet m_cabinet;
    QProcess m_resolver;
    QProcess m_service;
    QString m_scratch;
    QString m_adapters;
    std::unique_ptr<AgentTestRig> rig;
    std::unique_ptr<ServiceClient> m_observer;
};

void TestAgentWithService::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Agent"));
    initAgentResources();
    if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty())
        QSKIP("openssl is not installed");
    m_scratch = TestSupport::scratchDirectory(QStringLiteral("with-service"));
    QVERIFY(TestSupport::writeFile(m_scratch + QStringLiteral("/passwd"),
                                   "anna:x:1000:1000::/home/anna:/bin/bash\nben:x:1001:1001::/home/ben:/bin/zsh\n"));
    qputenv("CORVANE_PASSWD", QFile::encodeName(m_scratch + QStringLiteral("/passwd")));

    QVERIFY(m_cabinet.start(m_scratch + QStringLiteral("/cabinet")));
    m_resolver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_resolver.start(QStringLiteral("python3"),
                     {sourcePath("tools/corvane-reference-resolver/corvane-reference-resolver"), "--listen",
                      "127.0.0.1:0", "--data", m_scratch + "/cabinet/cabinet.json", "--state", m_scratch + "/resolver"});
    quint16 resolverPort = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QFile status(m_scratch + "/resolver/status.json");
            if (!status.open(QIODevice::ReadOnly))
                return false;
            resolverPort = QJsonDocument::fromJson(status.readAll())
                               .object()
                               .value("udp")
                               .toString()
                               .section(':', -1)
                               .toUShort();
            return resolverPort != 0;
        }(),
        20000);

    m_adapters = m_scratch + QStringLiteral("/adapters.ini");
    QVERIFY(TestSupport::writeFile(m_adapters, "[Adapters]\neth0\\FriendlyName=Office LAN\neth0\\Type=ethernet\n"
                                               "eth0\\Up=true\n[Tcpip]\nParameters\\Interfaces\\eth0\\NameServer=192.0.2.53\n"));
    const QString ini = m_scratch + QStringLiteral("/service.ini");
    QVERIFY(TestSupport::writeFile(ini, QStringLiteral("[global]\nwww=%1\nwww-ca-file=%2\ntarnwickproxy-addr=127.0.0.1\n"
                                                       "tarnwickproxy-port=%3\nlocalproxy-addr=127.0.0.1\n"
                                                       "localproxy-port=%4\n")
                                            .arg(m_cabinet.https, m_cabinet.caFile)
                                            .arg(resolverPort)
                                            .arg(TestSupport::freeLoopbackPort())
                                            .toUtf8()));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", m_scratch + "/service-config");
    environment.insert("STATE_DIRECTORY", m_scratch + "/service-state");
    environment.insert("CORVANE_SERVICE_INI", ini);
    environment.insert("CORVANE_DNS_BACKEND", "ini");
    environment.insert("CORVANE_DNS_BACKEND_INI", m_adapters);
    environment.insert("CORVANE_BLOCKPAGE_PORT", QString::number(TestSupport::freeLoopbackPort()));
    environment.insert("CORVANE_LOG_STDERR", "1");
    const QString socket = m_scratch + QStringLiteral("/en-genericipc");
    environment.insert("CORVANE_IPC_SOCKET", socket);
    m_service.setProcessEnvironment(environment);
    m_service.setStandardErrorFile(m_scratch + "/service.log");
    m_service.start(QStringLiteral(CORVANE_BINARY_DIR "/service/core/corvane-service"),
                    {"-e", "-login", "demo@corvane.test", "-pass", "demo"});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 30000);

    // What the service pushes to every client.
    m_observer = std::make_unique<ServiceClient>();
    QVERIFY(m_observer->connectTo(socket));

    AgentTestRig::resetSettings(false);
    rig = std::make_unique<AgentTestRig>();
    rig->socketPath = socket;
    rig->startAgent();
    QVERIFY2(rig->waitFor(Agent::State::Identified, 30000), qPrintable(rig->statusText()));
    QTest::mouseClick(rig->find<QAbstractButton>("settingsButton_"), Qt::LeftButton);
    // The service protects the settings with the account's password.
    QTRY_VERIFY(rig->pageName() == QLatin1String("settingsPage_") || rig->pageName() == QLatin1String("authRequestPage_"));
    if (rig->pageName() == QLatin1String("authRequestPage_"))
        rig->typePassword(QStringLiteral("demo"));
    QTRY_COMPARE(rig->pageName(), QStringLiteral("settingsPage_"));
    QTRY_COMPARE(rig->agent->profileListModel()->rowCount(), 3);
}

void TestAgentWithService::cleanupTestCase()
{
    rig.reset();
    m_observer.reset();
    if (m_service.state() != QProcess::NotRunning) {
        m_service.terminate();
        QVERIFY(m_service.waitForFinished(15000));
        QCOMPARE(m_service.exitCode(), 0);
    }
    m_resolver.terminate();
    m_resolver.waitForFinished(10000);
    m_cabinet.stop();
}

// The reference account service's demo account: Kids (102) is removed, Homework (103)
// becomes the active profile.
void TestAgentWithService::perform(const QString &action)
{
    AgentTestRig::EditTargets targets;
    targets.removedProfileRow = rig->agent->profileListModel()->rowOf(102);
    targets.activeProfileRow = rig->agent->profileListModel()->rowOf(103);
    rig->performEdit(action, targets);
}

void TestAgentWithService::editReachesTheService_data()
{
    // Either the account service's method with the JSON types of what the service sent it,
    // or a notification the service pushed to every client with a text its parameters hold.
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("types");
    QTest::addColumn<QString>("pushed");
    QTest::addColumn<QString>("holding");

    QTest::newRow("use the schedule") << "setScheduleEnabled" << "number,bool" << QString() << QString();
    QTest::newRow("block unknown sites") << "setBlockUnknownEnabled" << "number,bool" << QString() << QString();
    QTest::newRow("safe search") << "setSafeSearchEnabled" << "number,bool" << QString() << QString();
    QTest::newRow("safe YouTube") << "setSafeYoutubeEnabled" << "number,bool" << QString() << QString();
    QTest::newRow("block a category") << "setFilterCat" << "number,number,bool" << QString() << QString();
    QTest::newRow("white list only") << "setWhiteListOnly" << "number,bool" << QString() << QString();
    QTest::newRow("white list entry") << "addDomain" << "number,string,string" << QString() << QString();
    QTest::newRow("black list entry") << "addDomain" << "number,string,string" << QString() << QString();
    QTest::newRow("remove a black list entry") << "removeDomain" << "number,string,number" << QString() << QString();
    QTest::newRow("alias") << "addDomain" << "number,string,string,string" << QString() << QString();
    QTest::newRow("remove an alias") << "removeDomain" << "number,string,number" << QString() << QString();
    QTest::newRow("new profile") << "addProfile" << "string" << QString() << QString();
    QTest::newRow("remove a profile") << "removeProfile" << "number" << QString() << QString();
    QTest::newRow("choose the active profile") << QString() << QString() << "setSelectedProfile" << "103";
    QTest::newRow("bind local users") << QString() << QString() << "settings"
                                      << "local_user_to_profile_mapping_status=true";
    QTest::newRow("bind a user") << QString() << QString() << "setUserToProfMap" << "ben=Homework";
    QTest::newRow("protect a connection") << QString() << QString() << "setNetworks" << "protected=false";
}

// A notification's parameters flattened to "key=value" texts, for a look-up.
static QStringList flattened(const QVariant &value)
{
    QStringList texts;
    if (value.type() == QVariant::Map) {
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            const QStringList inner = flattened(it.value());
            texts << it.key() + QLatin1Char('=') + it.value().toString();
            texts += inner;
        }
    } else if (value.type() == QVariant::List) {
        for (const QVariant &item : value.toList())
            texts += flattened(item);
    } else {
        texts << value.toString();
    }
    return texts;
}

void TestAgentWithService::editReachesTheService()
{
    QFETCH(QString, method);
    QFETCH(QString, types);
    QFETCH(QString, pushed);
    QFETCH(QString, holding);
    const int forwarded = method.isEmpty() ? 0 : m_cabinet.callsOf(method).size();
    const int notes = pushed.isEmpty() ? 0 : m_observer->count(pushed);
    perform(QString::fromLatin1(QTest::currentDataTag()));
    if (!method.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(m_cabinet.callsOf(method).size() > forwarded, 15000);
        QCOMPARE(jsonTypes(m_cabinet.callsOf(method).last().value(QLatin1String("params")).toArray()), types);
    } else if (pushed == QLatin1String("settings")) {
        // Kept in the service's own settings store, not pushed.
        const QString store = m_scratch + QStringLiteral("/service-config/Corvane/Service.conf");
        QTRY_VERIFY_WITH_TIMEOUT(QSettings(store, QSettings::IniFormat).value(holding.section('=', 0, 0)).toString()
                                     == holding.section('=', 1),
                                 15000);
    } else {
        QVERIFY2(m_observer->waitFor(pushed, 15000, notes), qPrintable(m_observer->methods().join(' ')));
        QVERIFY2(flattened(m_observer->last(pushed)).contains(holding),
                 qPrintable(flattened(m_observer->last(pushed)).join(' ')));
    }
}

QTEST_MAIN(TestAgentWithService)
#include "tst_agentwithservice.moc"

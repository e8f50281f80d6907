// The checks of the account web service's answers, one request class per method, fed the
// JSON results (and errors) that a call can end with.
#include "legacycabinetrequests.h"

#include "jsonrpccall.h"
#include "logcapture.h"
#include "qxtjson.h"

#include <QHostInfo>
#include <QtTest>

#include <functional>

class HostInfoReceiver : public QObject
{
    Q_OBJECT
public:
    QList<QHostInfo> received;
public slots:
    void hostInfo(const QHostInfo &info) { received.append(info); }
};

class tst_LegacyCabinetRequests : public QObject
{
    Q_OBJECT

private slots:
    void checks_data();
    void checks();
    void myipDelivery_data();
    void myipDelivery();
};

namespace {

CabinetRequest *leafFor(const QString &method, JsonRPCCall *call, HostInfoReceiver *receiver)
{
    const QHash<QString, std::function<CabinetRequest *()>> factories {
        { "systemInfo", [&] { return new LegacyCabinetSystemInfoRequest(call); } },
        { "userInfo", [&] { return new LegacyCabinetUserInfoRequest(call); } },
        { "profiles", [&] { return new LegacyCabinetProfilesRequest(call); } },
        { "register", [&] { return new LegacyCabinetRegisterRequest(call); } },
        { "testAuth", [&] { return new LegacyCabinetTestAuthRequest(call); } },
        { "myip", [&] { return new LegacyCabinetMyIpRequest(call, receiver, SLOT(hostInfo(QHostInfo))); } },
        { "categories", [&] { return new LegacyCabinetCatagoriesRequest(call); } },
        { "userFilter", [&] { return new LegacyCabinetUserFilterRequest(call, 101); } },
        { "domains", [&] { return new LegacyCabinetDomainsRequest(call, 101, CabinetDomain::AliasList); } },
        { "addDomain", [&] { return new LegacyCabinetAddDomainRequest(call, 101, CabinetDomain::BlackList,
                                                                      "x.example", QHostAddress()); } },
        { "addProfile", [&] { return new LegacyCabinetAddProfileRequest(call); } },
        { "schedule", [&] { return new LegacyCabinetScheduleRequest(call, 101); } },
        { "profileScheduleActivity", [&] { return new LegacyCabinetProfileActivityRequest(call, 101); } },
        { "getProfile", [&] { return new LegacyCabinetGetTokenAgentUidProfileIdRequest(call); } },
        { "updateNic", [&] { return new LegacyCabinetUpdateNicRequest(call); } },
    };
    return factories.value(method)();
}

} // namespace

void tst_LegacyCabinetRequests::checks_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("answer"); // JSON text of the result; empty: the call failed
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("call error passed on") << "profiles" << "" << 1031 << "rejected";
    QTest::newRow("testAuth true") << "testAuth" << "true" << 0 << "";
    QTest::newRow("testAuth false") << "testAuth" << "false" << 30 << "";
    QTest::newRow("testAuth 1") << "testAuth" << "1" << 9 << "Invalid format of testAuth response";
    QTest::newRow("register [true]") << "register" << "[true]" << 0 << "";
    QTest::newRow("register [false]") << "register" << "[false]" << 33 << "Without reason";
    QTest::newRow("register [false,reason]") << "register" << "[false,\"taken\"]" << 33 << "taken";
    QTest::newRow("register [false,\"\"]") << "register" << "[false,\"\"]" << 33 << "Without reason";
    QTest::newRow("register []") << "register" << "[]" << 9 << "Invalid format of register response";
    QTest::newRow("register [\"x\"]") << "register" << "[\"x\"]" << 9 << "Invalid format of register response";
    QTest::newRow("register true") << "register" << "true" << 9 << "Invalid format of register response";
    QTest::newRow("addDomain id") << "addDomain" << "1234" << 0 << "";
    QTest::newRow("addDomain text") << "addDomain" << "\"abc\"" << 9 << "Invalid format of addDomain response";
    QTest::newRow("updateNic address") << "updateNic" << "\"192.0.2.9\"" << 0 << "";
    QTest::newRow("updateNic non-address") << "updateNic" << "\"here\"" << 9 << "Invalid format of NicUpdate";
    QTest::newRow("updateNic number") << "updateNic" << "3221225993" << 9 << "Invalid format of NicUpdate";
    QTest::newRow("userInfo rejected still succeeds") << "userInfo" << "{\"tz\":1}" << 0 << "";
    QTest::newRow("systemInfo list") << "systemInfo" << "[]" << 9 << "Invalid format of SystemInfo";
    QTest::newRow("profiles map") << "profiles" << "{}" << 9 << "Invalid format of profiles list";
    QTest::newRow("profiles empty list") << "profiles" << "[]" << 0 << "";
    QTest::newRow("categories bad group") << "categories" << "[{\"title\":\"\"}]" << 9
                                          << "Invalid format of categories response";
    QTest::newRow("userFilter 0") << "userFilter" << "[5,0]" << 9 << "Invalid format of userFilter response";
    QTest::newRow("alias without ip") << "domains" << "[{\"id\":1,\"domain\":\"a.example\"}]" << 9
                                      << "Invalid format of domains response";
    QTest::newRow("addProfile nameless") << "addProfile" << "{\"id\":5,\"token\":6}" << 9
                                         << "Invalid format of addProfile response";
    QTest::newRow("schedule six days") << "schedule" << "[{},{},{},{},{},{}]" << 9
                                       << "Invalid format of schedule response";
    QTest::newRow("activity 9 minutes") << "profileScheduleActivity" << "[true,9]" << 9
                                        << "Invalid format of profileActivity response";
    QTest::newRow("activity 10 minutes") << "profileScheduleActivity" << "[true,10]" << 0 << "";
    QTest::newRow("getProfile two items") << "getProfile" << "[\"u\",1]" << 9
                                          << "Invalid format of getProfile response";
    QTest::newRow("getProfile") << "getProfile" << "[\"u\",1,2]" << 0 << "";
    QTest::newRow("myip text") << "myip" << "\"nowhere\"" << 9 << "Invalid format of myip response";
}

void tst_LegacyCabinetRequests::checks()
{
    QFETCH(QString, method);
    QFETCH(QString, answer);
    QFETCH(int, code);
    QFETCH(QString, message);
    HostInfoReceiver receiver;
    auto *call = new JsonRPCCall(1, method.toLatin1().constData(), {});
    CabinetRequest *request = leafFor(method, call, &receiver);
    QCOMPARE(request->parent(), call);
    QSignalSpy finished(request, &Request::finished);
    LogCapture log;
    if (answer.isEmpty())
        call->abort(Error(1031, QStringLiteral("rejected")));
    else
        call->setResult(QxtJSON::parse(answer));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(request->error().code(), code);
    QCOMPARE(request->error().message(), message);
    const int warnings = log.warnings().count(
            QStringLiteral("An invalid user information is received from the site. The default one is used instead."));
    QCOMPARE(warnings, method == QLatin1String("userInfo") ? 1 : 0);
    if (method == QLatin1String("addDomain") && code == 0) {
        auto *added = static_cast<CabinetDomainAddRequest *>(request);
        QCOMPARE(added->result().id(), 1234u);
        QCOMPARE(added->result().domain(), QStringLiteral("x.example"));
    }
    if (method == QLatin1String("userInfo"))
        QCOMPARE(static_cast<CabinetFunction<CabinetUserInfo> *>(request)->result().planCode(),
                 QStringLiteral("FREE"));
    delete call;
}

void tst_LegacyCabinetRequests::myipDelivery_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("errorString");
    QTest::newRow("address") << "\"192.0.2.5\"" << "1hostInfo(QHostInfo)" << "192.0.2.5" << "";
    QTest::newRow("not an address") << "\"x\"" << "1hostInfo(QHostInfo)" << "" << "Invalid IP format";
    QTest::newRow("call failed without message") << "" << "1hostInfo(QHostInfo)" << "" << "31";
    QTest::newRow("no such slot") << "\"192.0.2.5\"" << "1missing(QHostInfo)" << "" << "";
}

void tst_LegacyCabinetRequests::myipDelivery()
{
    QFETCH(QString, answer);
    QFETCH(QString, slot);
    QFETCH(QString, address);
    QFETCH(QString, errorString);
    HostInfoReceiver receiver;
    auto *call = new JsonRPCCall(1, "myip", {});
    const QByteArray slotText = slot.toLatin1();
    new LegacyCabinetMyIpRequest(call, &receiver, slotText.constData());
    LogCapture log;
    if (answer.isEmpty())
        call->abort(Error(31));
    else
        call->setResult(QxtJSON::parse(answer));
    if (slot.startsWith(QLatin1String("1missing"))) {
        QVERIFY(receiver.received.isEmpty());
        QVERIFY(log.contains(QStringLiteral("failed to find slot 1missing(QHostInfo)")));
    } else {
        QCOMPARE(receiver.received.size(), 1);
        const QHostInfo info = receiver.received.first();
        QCOMPARE(info.lookupId(), -1);
        QCOMPARE(info.addresses().isEmpty() ? QString() : info.addresses().first().toString(), address);
        QCOMPARE(info.error() == QHostInfo::UnknownError, !errorString.isEmpty());
        if (!errorString.isEmpty())
            QCOMPARE(info.errorString(), errorString);
    }
    delete call;
}

QTEST_GUILESS_MAIN(tst_LegacyCabinetRequests)
#include "tst_legacycabinetrequests.moc"

#include "networks.h"
#include "qxtjson.h"

#include <QtTest>

namespace {

QVariant json(const QString &text)
{
    return QxtJSON::parse(text);
}

const QString TwoNetworks = QStringLiteral(
        R"([{"id":"eth0","name":"Wired","protected":true},{"id":"wlan0","name":"Home Wi-Fi","protected":false}])");

} // namespace

class tst_CabinetNetworks : public QObject
{
    Q_OBJECT

private slots:
    void network_data();
    void network();
    void networksInfo_data();
    void networksInfo();
    void roundTrip();
    void toStringForm();
    void protection();
};

void tst_CabinetNetworks::network_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::newRow("complete") << R"({"id":"eth0","name":"Wired","protected":true})" << true;
    QTest::newRow("without protected") << R"({"id":"eth0","name":"Wired"})" << true;
    QTest::newRow("empty name") << R"({"id":"eth0","name":""})" << false;
    QTest::newRow("without id") << R"({"name":"Wired"})" << false;
    QTest::newRow("list") << R"(["eth0"])" << false;
}

void tst_CabinetNetworks::network()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    Network network;
    QCOMPARE(network.fromVariant(json(text)), ok);
}

void tst_CabinetNetworks::networksInfo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("defaultRoute");
    QTest::newRow("default route listed") << QStringLiteral(R"({"defaultRouteId":"wlan0","networks":%1})").arg(TwoNetworks)
                                          << true << 2 << "wlan0";
    QTest::newRow("unknown default route") << QStringLiteral(R"({"defaultRouteId":"ppp0","networks":%1})").arg(TwoNetworks)
                                           << false << 2 << "ppp0";
    QTest::newRow("null default route") << QStringLiteral(R"({"defaultRouteId":null,"networks":%1})").arg(TwoNetworks)
                                        << true << 2 << "";
    QTest::newRow("absent default route") << QStringLiteral(R"({"networks":%1})").arg(TwoNetworks) << true << 2 << "";
    QTest::newRow("default route a number") << QStringLiteral(R"({"defaultRouteId":5,"networks":%1})").arg(TwoNetworks)
                                            << false << 0 << "";
    QTest::newRow("one invalid network") << R"({"networks":[{"id":"eth0","name":"Wired"},{"id":"x"}]})" << false << 0 << "";
    QTest::newRow("networks missing") << R"({"defaultRouteId":""})" << false << 0 << "";
    QTest::newRow("not a map") << "[]" << false << 0 << "";
}

void tst_CabinetNetworks::networksInfo()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, count);
    QFETCH(QString, defaultRoute);
    NetworksInfo info;
    QCOMPARE(info.fromVariant(json(text)), ok);
    QCOMPARE(info.networks().size(), count);
    QCOMPARE(info.defaultRouteId(), defaultRoute);
}

void tst_CabinetNetworks::roundTrip()
{
    NetworksInfo info;
    QVERIFY(info.fromVariant(json(QStringLiteral(R"({"defaultRouteId":"eth0","networks":%1})").arg(TwoNetworks))));
    NetworksInfo back;
    QVERIFY(back.fromVariant(json(QxtJSON::stringify(info.toVariant()))));
    QCOMPARE(back, info);
    QCOMPARE(back.networks().at(1), Network("wlan0", "Home Wi-Fi", false));
}

void tst_CabinetNetworks::toStringForm()
{
    NetworksInfo info;
    QVERIFY(info.fromVariant(json(QStringLiteral(R"({"defaultRouteId":"eth0","networks":%1})").arg(TwoNetworks))));
    QCOMPARE(info.toString(),
             QStringLiteral("NetworksInfo: active: eth0 networks: <id: eth0 name: Wired protected: yes>, "
                            "<id: wlan0 name: Home Wi-Fi protected: no> "));
    QCOMPARE(NetworksInfo().toString(), QStringLiteral("NetworksInfo: active:  networks:  "));
}

void tst_CabinetNetworks::protection()
{
    NetworksInfo info;
    QVERIFY(info.fromVariant(json(QStringLiteral(R"({"networks":%1})").arg(TwoNetworks))));
    QVERIFY(info.setNetworkProtection("wlan0", true));
    QVERIFY(info.networks().at(1).isProtected());
    QVERIFY(!info.setNetworkProtection("ppp0", true));
}

QTEST_GUILESS_MAIN(tst_CabinetNetworks)
#include "tst_cabinetnetworks.moc"

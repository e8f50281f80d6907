#include "cabinetuserinfo.h"
#include "qxtjson.h"

#include <QtTest>

namespace {

QVariant json(const QString &text)
{
    return QxtJSON::parse(text);
}

const QString Features = QStringLiteral(
        R"("max_profiles":5,"white_list_size":100,"black_list_size":200,"aliases_list_size":10,)"
        R"("safe_search":true,"white_list_mode":false,"agent_ip_mode":true,"show_dns_listen_addr":true)");

QString userInfo(const QString &tz, const QString &code, const QString &features)
{
    return QStringLiteral(R"({%1"plan":{%2"name":"Premium","features":{%3}}})")
            .arg(tz, code, features);
}

// A record with every field away from its default, so that "kept" is visible.
CabinetUserInfo prefilled()
{
    CabinetUserInfo info;
    info.setTimezone(3);
    info.setProfileListSize(77);
    info.setWhiteListSize(77);
    info.setBlackListSize(77);
    info.setAliasListSize(77);
    return info;
}

} // namespace

class tst_CabinetUserInfo : public QObject
{
    Q_OBJECT

private slots:
    void fromVariant_data();
    void fromVariant();
    void roundTrip();
    void equality();
    void systemInfo_data();
    void systemInfo();
    void systemInfoEquality_data();
    void systemInfoEquality();
    void metaTypeRegistration();
};

void tst_CabinetUserInfo::fromVariant_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint32>("tz");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<quint32>("profiles");
    QTest::addColumn<quint32>("white");
    QTest::addColumn<quint32>("black");
    QTest::addColumn<quint32>("alias");
    QTest::addColumn<bool>("ipMode");

    QTest::newRow("complete") << userInfo(R"("tz":-120,)", R"("code":"PREMIUM",)", Features)
                              << true << -120 << "PREMIUM" << "Premium" << 5u << 100u << 200u << 10u << true;
    QTest::newRow("empty code reads FREE") << userInfo(R"("tz":0,)", R"("code":"",)", Features)
                                           << true << 0 << "FREE" << "Premium" << 5u << 100u << 200u << 10u << true;
    QTest::newRow("absent code reads FREE") << userInfo(R"("tz":0,)", "", Features)
                                            << true << 0 << "FREE" << "Premium" << 5u << 100u << 200u << 10u << true;
    QTest::newRow("absent tz leaves it untouched") << userInfo("", R"("code":"X",)", Features)
                                                   << true << 3 << "X" << "Premium" << 5u << 100u << 200u << 10u << true;
    QTest::newRow("tz not a number reads 0") << userInfo(R"("tz":"east",)", R"("code":"X",)", Features)
                                             << true << 0 << "X" << "Premium" << 5u << 100u << 200u << 10u << true;
    QString noBlack = Features;
    noBlack.remove(QStringLiteral(R"("black_list_size":200,)"));
    QTest::newRow("missing black_list_size keeps the rest")
            << userInfo(R"("tz":1,)", R"("code":"X",)", noBlack)
            << false << 1 << "X" << "Premium" << 5u << 100u << 77u << 10u << true;
    QString abc = Features;
    abc.replace(QStringLiteral(R"("max_profiles":5)"), QStringLiteral(R"("max_profiles":"abc")"));
    QTest::newRow("max_profiles abc gives 1")
            << userInfo(R"("tz":1,)", R"("code":"X",)", abc)
            << false << 1 << "X" << "Premium" << 1u << 100u << 200u << 10u << true;
    QString negative = Features;
    negative.replace(QStringLiteral(R"("white_list_size":100)"), QStringLiteral(R"("white_list_size":-4)"));
    QTest::newRow("negative limit gives 0")
            << userInfo(R"("tz":1,)", R"("code":"X",)", negative)
            << false << 1 << "X" << "Premium" << 5u << 0u << 200u << 10u << true;
    QString text = Features;
    text.replace(QStringLiteral(R"("aliases_list_size":10)"), QStringLiteral(R"("aliases_list_size":"12")"));
    QTest::newRow("limit as decimal text")
            << userInfo(R"("tz":1,)", R"("code":"X",)", text)
            << true << 1 << "X" << "Premium" << 5u << 100u << 200u << 12u << true;
    QTest::newRow("without plan") << R"({"tz":5})" << false << 5 << "" << "" << 77u << 77u << 77u << 77u << false;
    QTest::newRow("without features") << R"({"tz":5,"plan":{"code":"A","name":""}})"
                                      << false << 5 << "A" << "Unknown" << 77u << 77u << 77u << 77u << false;
    QTest::newRow("features not a map") << R"({"plan":{"code":"A","name":"B","features":[]}})"
                                        << false << 3 << "A" << "B" << 77u << 77u << 77u << 77u << false;
    QTest::newRow("not a map") << "[1]" << false << 3 << "" << "" << 77u << 77u << 77u << 77u << false;
}

void tst_CabinetUserInfo::fromVariant()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    CabinetUserInfo info = prefilled();
    QCOMPARE(info.fromVariant(json(text)), ok);
    QTEST(info.timezone(), "tz");
    QTEST(info.planCode(), "code");
    QTEST(info.planName(), "name");
    QTEST(info.profileListSize(), "profiles");
    QTEST(info.whiteListSize(), "white");
    QTEST(info.blackListSize(), "black");
    QTEST(info.aliasListSize(), "alias");
    QTEST(info.isIpIdentificationAvailable(), "ipMode");
}

void tst_CabinetUserInfo::roundTrip()
{
    CabinetUserInfo info;
    QVERIFY(info.fromVariant(json(userInfo(R"("tz":-60,)", R"("code":"P",)", Features))));
    QCOMPARE(QxtJSON::stringify(info.toVariant()),
             QStringLiteral(R"({"plan":{"code":"P","features":{"agent_ip_mode":true,"aliases_list_size":10,)"
                            R"("black_list_size":200,"max_profiles":5,"safe_search":true,)"
                            R"("show_dns_listen_addr":true,"white_list_mode":false,"white_list_size":100},)"
                            R"("name":"Premium"},"tz":-60})"));
    CabinetUserInfo back;
    QVERIFY(back.fromVariant(json(QxtJSON::stringify(info.toVariant()))));
    QCOMPARE(back, info);
}

void tst_CabinetUserInfo::equality()
{
    CabinetUserInfo a;
    QVERIFY(a.fromVariant(json(userInfo(R"("tz":1,)", R"("code":"P",)", Features))));
    CabinetUserInfo b = a;
    QVERIFY(a == b);
    b.setProxyDnsAddressChangable(false);
    QVERIFY(a != b);
    b = a;
    b.setPlanName("Other");
    QVERIFY(a != b);
}

void tst_CabinetUserInfo::systemInfo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("blockPage");
    QTest::addColumn<int>("publicDnsCount");
    QTest::newRow("complete") << R"({"blockapi":"10.0.0.1","blockpage":"10.0.0.2","blockpage_token":"::1",)"
                                 R"("nxdomain":"10.0.0.4","public_dns":["8.8.8.8","1.1.1.1"]})"
                              << true << "10.0.0.2" << 2;
    QTest::newRow("bad public dns entries are skipped")
            << R"({"blockapi":"10.0.0.1","blockpage":"10.0.0.2","blockpage_token":"10.0.0.3",)"
               R"("nxdomain":"10.0.0.4","public_dns":["8.8.8.8","dns.example",7]})"
            << true << "10.0.0.2" << 1;
    QTest::newRow("address that does not parse")
            << R"({"blockapi":"10.0.0.1","blockpage":"blockpage.example","blockpage_token":"10.0.0.3",)"
               R"("nxdomain":"10.0.0.4","public_dns":[]})"
            << false << "" << 0;
    QTest::newRow("nxdomain missing")
            << R"({"blockapi":"10.0.0.1","blockpage":"10.0.0.2","blockpage_token":"10.0.0.3","public_dns":[]})"
            << false << "" << 0;
    QTest::newRow("public dns missing")
            << R"({"blockapi":"10.0.0.1","blockpage":"10.0.0.2","blockpage_token":"10.0.0.3","nxdomain":"10.0.0.4"})"
            << false << "" << 0;
    QTest::newRow("public dns a map")
            << R"({"blockapi":"10.0.0.1","blockpage":"10.0.0.2","blockpage_token":"10.0.0.3","nxdomain":"10.0.0.4","public_dns":{}})"
            << false << "" << 0;
    QTest::newRow("not a map") << R"(["10.0.0.1"])" << false << "" << 0;
}

void tst_CabinetUserInfo::systemInfo()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, blockPage);
    QFETCH(int, publicDnsCount);
    CabinetSystemInfo info;
    QCOMPARE(info.fromVariant(json(text)), ok);
    QCOMPARE(info.blockPageIpAddress().toString(), blockPage);
    QCOMPARE(info.publicDnsAddresses().size(), publicDnsCount);
    if (ok) {
        CabinetSystemInfo back;
        QVERIFY(back.fromVariant(json(QxtJSON::stringify(info.toVariant()))));
        QCOMPARE(back, info);
        QCOMPARE(back.nxDomainPageAddress(), info.nxDomainPageAddress());
    }
}

void tst_CabinetUserInfo::systemInfoEquality_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("equal");
    QTest::newRow("only nxdomain differs") << "nxdomain" << true;
    QTest::newRow("block api differs") << "blockapi" << false;
    QTest::newRow("block page differs") << "blockpage" << false;
    QTest::newRow("block page token differs") << "token" << false;
    QTest::newRow("public dns differs") << "publicdns" << false;
}

void tst_CabinetUserInfo::systemInfoEquality()
{
    QFETCH(QString, field);
    QFETCH(bool, equal);
    CabinetSystemInfo a;
    QVERIFY(a.fromVariant(json(R"({"blockapi":"10.0.0.1","blockpage":"10.0.0.2","blockpage_token":"10.0.0.3",)"
                               R"("nxdomain":"10.0.0.4","public_dns":["8.8.8.8"]})")));
    CabinetSystemInfo b = a;
    const QHostAddress other(QStringLiteral("192.0.2.9"));
    if (field == "nxdomain") b.setNxDomainPageAddress(other);
    if (field == "blockapi") b.setBlockApiAddress(other);
    if (field == "blockpage") b.setBlockPageIpAddress(other);
    if (field == "token") b.setBlockPageTokenAddress(other);
    if (field == "publicdns") b.setPublicDnsAddresses({other});
    QCOMPARE(a == b, equal);
}

void tst_CabinetUserInfo::metaTypeRegistration()
{
    const int id = registerCabinetUserInfoMetaType();
    QCOMPARE(QMetaType::typeName(id), "CabinetUserInfo");
    QCOMPARE(registerCabinetUserInfoMetaType(), id);
}

QTEST_GUILESS_MAIN(tst_CabinetUserInfo)
#include "tst_cabinetuserinfo.moc"

#include "cabinetdomain.h"
#include "cabinetprofile.h"
#include "cabinetschedule.h"
#include "cabinetuserfilter.h"
#include "cabinetuserinfo.h"
#include "networks.h"
#include "qxtjson.h"

#include <QFile>
#include <QtTest>

#include <functional>

// Account data as files, each named after what is wrong with it, read by the record that
// the account service would send it as.
using Reader = std::function<bool(const QVariant &)>;
Q_DECLARE_METATYPE(Reader)

namespace {

template <typename Record>
Reader reader()
{
    return [](const QVariant &value) { return Record().fromVariant(value); };
}

Reader domainsReader(CabinetDomain::Type type)
{
    return [type](const QVariant &value) { return CabinetDomains().fromVariant(value, type); };
}

} // namespace

class tst_CabinetFixtures : public QObject
{
    Q_OBJECT

private slots:
    void readFixture_data();
    void readFixture();
};

void tst_CabinetFixtures::readFixture_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Reader>("read");
    QTest::addColumn<bool>("ok");
    QTest::newRow("profiles-valid") << "profiles-valid.json" << reader<CabinetProfiles>() << true;
    QTest::newRow("profiles-one-without-name") << "profiles-one-without-name.json" << reader<CabinetProfiles>() << false;
    QTest::newRow("profiles-truncated") << "profiles-truncated.json" << reader<CabinetProfiles>() << false;
    QTest::newRow("userinfo-missing-black-list-size") << "userinfo-missing-black-list-size.json" << reader<CabinetUserInfo>() << false;
    QTest::newRow("userinfo-max-profiles-not-a-number") << "userinfo-max-profiles-not-a-number.json" << reader<CabinetUserInfo>() << false;
    QTest::newRow("userfilter-zero-id") << "userfilter-zero-id.json" << reader<CabinetUserFilter>() << false;
    QTest::newRow("aliases-without-ip as aliases") << "aliases-without-ip.json" << domainsReader(CabinetDomain::AliasList) << false;
    QTest::newRow("aliases-without-ip as black list") << "aliases-without-ip.json" << domainsReader(CabinetDomain::BlackList) << true;
    QTest::newRow("schedule-six-days") << "schedule-six-days.json" << reader<CabinetSchedule>() << false;
    QTest::newRow("networks-unknown-default-route") << "networks-unknown-default-route.json" << reader<NetworksInfo>() << false;
    QTest::newRow("activity-nine-minutes") << "activity-nine-minutes.json" << reader<CabinetProfileActivity>() << false;
}

void tst_CabinetFixtures::readFixture()
{
    QFETCH(QString, file);
    QFETCH(Reader, read);
    QFETCH(bool, ok);
    QFile fixture(QStringLiteral(CORVANE_TEST_DATA_DIR "/records/") + file);
    QVERIFY2(fixture.open(QIODevice::ReadOnly), qPrintable(fixture.fileName()));
    const QVariant value = QxtJSON::parse(QString::fromUtf8(fixture.readAll()));
    QCOMPARE(read(value), ok);
}

QTEST_GUILESS_MAIN(tst_CabinetFixtures)
#include "tst_cabinetfixtures.moc"

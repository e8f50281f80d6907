#include "cabinetschedule.h"
#include "qxtjson.h"

#include <QtTest>

namespace {

QVariant json(const QString &text)
{
    return QxtJSON::parse(text);
}

QString day(const QString &on, const QString &from, const QString &to)
{
    QString text = QStringLiteral("{") + QStringLiteral(R"("is_profile_on":)") + on;
    if (!from.isNull())
        text += QStringLiteral(R"(,"time_from":)") + from;
    if (!to.isNull())
        text += QStringLiteral(R"(,"time_to":)") + to;
    return text + QLatin1Char('}');
}

// Seven days; the first is the given one, the others plain.
QString week(const QString &first, int days = 7)
{
    QStringList list{first};
    for (int i = 1; i < days; ++i)
        list << day("false", R"("08:00")", R"("17:30")");
    return QLatin1Char('[') + list.join(QLatin1Char(',')) + QLatin1Char(']');
}

} // namespace

class tst_CabinetSchedule : public QObject
{
    Q_OBJECT

private slots:
    void schedule_data();
    void schedule();
    void scheduleRoundTrip();
    void dayWithoutDefaults();
    void activity_data();
    void activity();
};

void tst_CabinetSchedule::schedule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("firstOn");
    QTest::addColumn<QString>("firstFrom");
    QTest::addColumn<QString>("firstTo");

    QTest::newRow("seven days") << week(day("true", R"("09:15")", R"("18:00")")) << true << 7 << true << "09:15" << "18:00";
    QTest::newRow("empty schedule") << "[]" << true << 0 << false << "" << "";
    QTest::newRow("six days") << week(day("true", R"("09:15")", R"("18:00")"), 6) << false << 0 << false << "" << "";
    QTest::newRow("eight days") << week(day("true", R"("09:15")", R"("18:00")"), 8) << false << 0 << false << "" << "";
    QTest::newRow("24:00 is kept") << week(day("false", R"("00:00")", R"("24:00")")) << true << 7 << false << "00:00" << "24:00";
    QTest::newRow("hour 25 keeps 00:00") << week(day("true", R"("25:00")", R"("12:00")")) << true << 7 << true << "00:00" << "12:00";
    QTest::newRow("24:00 as start keeps 00:00") << week(day("true", R"("24:00")", R"("12:00")")) << true << 7 << true << "00:00" << "12:00";
    QTest::newRow("bad end keeps 24:00") << week(day("true", R"("01:00")", R"("12:60")")) << true << 7 << true << "01:00" << "24:00";
    QTest::newRow("single digit hour keeps default") << week(day("true", R"("7:05")", R"("12:00")")) << true << 7 << true << "00:00" << "12:00";
    QTest::newRow("times absent take the defaults") << week(day("true", QString(), QString())) << true << 7 << true << "00:00" << "24:00";
    QTest::newRow("time as number keeps default") << week(day("true", "900", R"("12:00")")) << true << 7 << true << "00:00" << "12:00";
    QTest::newRow("profile on as number") << week(day("1", R"("01:00")", R"("12:00")")) << false << 0 << false << "" << "";
    QTest::newRow("profile on as text") << week(day(R"("true")", R"("01:00")", R"("12:00")")) << false << 0 << false << "" << "";
    QTest::newRow("a day that is no map") << R"([1,2,3,4,5,6,7])" << false << 0 << false << "" << "";
    QTest::newRow("not a list") << R"({})" << false << 0 << false << "" << "";
}

void tst_CabinetSchedule::schedule()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, size);
    CabinetSchedule schedule;
    schedule.append(CabinetScheduleDay(true, "01:00", "02:00"));
    QCOMPARE(schedule.fromVariant(json(text)), ok);
    QCOMPARE(schedule.size(), size);
    if (size == 0)
        return;
    QTEST(schedule.first().isProfileOn(), "firstOn");
    QTEST(schedule.first().timeFrom(), "firstFrom");
    QTEST(schedule.first().timeTo(), "firstTo");
    QCOMPARE(schedule.at(6), CabinetScheduleDay(false, "08:00", "17:30"));
}

void tst_CabinetSchedule::scheduleRoundTrip()
{
    CabinetSchedule schedule;
    QVERIFY(schedule.fromVariant(json(week(day("true", R"("09:15")", R"("24:00")")))));
    const QString text = QxtJSON::stringify(schedule.toVariant());
    QVERIFY(text.startsWith(QStringLiteral(R"([{"is_profile_on":true,"time_from":"09:15","time_to":"24:00"},)")));
    CabinetSchedule back;
    QVERIFY(back.fromVariant(json(text)));
    QCOMPARE(back, schedule);
}

void tst_CabinetSchedule::dayWithoutDefaults()
{
    CabinetScheduleDay plain;
    QVERIFY(!plain.fromVariant(json(day("true", R"("25:00")", R"("12:00")"))));
    QCOMPARE(plain.timeFrom(), QString());
    QCOMPARE(plain.timeTo(), QStringLiteral("12:00"));
    QVERIFY(plain.fromVariant(json(day("true", R"("10:00")", R"("12:00")"))));
}

void tst_CabinetSchedule::activity_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("active");
    QTest::addColumn<qint32>("minutes");
    QTest::newRow("nine minutes") << "[true,9]" << false << false << 0;
    QTest::newRow("ten minutes") << "[true,10]" << true << true << 10;
    QTest::newRow("extra elements") << "[false,60,1]" << true << false << 60;
    QTest::newRow("minutes as text") << R"([true,"15"])" << true << true << 15;
    QTest::newRow("minutes beyond 32 bits") << "[true,5000000000]" << false << false << 0;
    QTest::newRow("flag as number") << "[1,60]" << false << false << 0;
    QTest::newRow("one element") << "[true]" << false << false << 0;
    QTest::newRow("map") << R"({"active":true})" << false << false << 0;
}

void tst_CabinetSchedule::activity()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    CabinetProfileActivity activity;
    QCOMPARE(activity.fromVariant(json(text)), ok);
    QTEST(activity.isActive(), "active");
    QTEST(activity.minutes(), "minutes");
    CabinetProfileActivity back;
    if (ok) {
        QVERIFY(back.fromVariant(json(QxtJSON::stringify(activity.toVariant()))));
        QCOMPARE(back, activity);
    }
}

QTEST_GUILESS_MAIN(tst_CabinetSchedule)
#include "tst_cabinetschedule.moc"

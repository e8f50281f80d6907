// Throughput of the QxtJSON codec against Qt's own JSON classes on the same data.
//
// The corpus imitates what crosses our wires: an account's profiles (categories, lists,
// schedules), a 20 000-entry domain list and the category groups. Figures are MB/s of the
// UTF-8 text; the ratio is ours / Qt's (above 1 means faster than Qt).
//
// Run: build-<you>-rel/bench/bench_json [seconds-per-job-and-round]  (5 rounds)

#include "qxtjson.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <QVector>

#include <cstdio>
#include <functional>

namespace {

QVariantMap schedule(int seed)
{
    QVariantList days;
    for (int day = 0; day < 7; ++day) {
        QVariantList hours;
        for (int hour = 0; hour < 24; ++hour)
            hours.append((hour + day + seed) % 3 == 0);
        days.append(QVariantMap{{QStringLiteral("day"), day}, {QStringLiteral("hours"), hours}});
    }
    return QVariantMap{{QStringLiteral("enabled"), seed % 2 == 0}, {QStringLiteral("days"), days}};
}

QVariantList domains(int count, int seed)
{
    QVariantList list;
    list.reserve(count);
    for (int i = 0; i < count; ++i) {
        list.append(QVariantMap{
                {QStringLiteral("domain"),
                 QStringLiteral("host%1.example-%2.com").arg(i).arg((i * 7 + seed) % 97)},
                {QStringLiteral("id"), 100000 + i},
                {QStringLiteral("profileId"), seed},
                {QStringLiteral("type"), i % 3 == 0 ? QStringLiteral("white") : QStringLiteral("black")},
                {QStringLiteral("comment"), i % 5 == 0 ? QStringLiteral("added by \"parent\" / rule") : QString()}});
    }
    return list;
}

QVariant corpus()
{
    QVariantList profiles;
    for (int p = 1; p <= 8; ++p) {
        QVariantList categories;
        for (int c = 0; c < 60; ++c)
            categories.append((c * p) % 140);
        profiles.append(QVariantMap{
                {QStringLiteral("id"), p},
                {QStringLiteral("name"), QString::fromUtf8("Профиль %1 – дом").arg(p)},
                {QStringLiteral("categories"), categories},
                {QStringLiteral("whitelist"), domains(25, p)},
                {QStringLiteral("blacklist"), domains(25, p + 50)},
                {QStringLiteral("safeSearch"), p % 2 == 0},
                {QStringLiteral("youtubeRestricted"), p % 3 == 0},
                {QStringLiteral("schedule"), schedule(p)},
                {QStringLiteral("ratio"), 0.25 * p}});
    }
    QVariantList groups;
    for (int g = 0; g < 12; ++g) {
        QVariantList members;
        for (int c = 0; c < 12; ++c)
            members.append(QVariantMap{
                    {QStringLiteral("id"), g * 12 + c},
                    {QStringLiteral("name"), QStringLiteral("Category %1").arg(g * 12 + c)},
                    {QStringLiteral("description"),
                     QStringLiteral("Sites about topic %1,\tlisted\nfor filtering").arg(c)}});
        groups.append(QVariantMap{{QStringLiteral("id"), g},
                                  {QStringLiteral("name"), QStringLiteral("Group %1").arg(g)},
                                  {QStringLiteral("categories"), members}});
    }
    return QVariantMap{{QStringLiteral("profiles"), profiles},
                       {QStringLiteral("domains"), domains(20000, 1)},
                       {QStringLiteral("categoryGroups"), groups},
                       {QStringLiteral("token"), qint64(4000000000LL)}};
}

// Seconds per run of one job: repeats it for at least `seconds`.
double timeOnce(double seconds, const std::function<void()> &job)
{
    QElapsedTimer timer;
    timer.start();
    int runs = 0;
    do {
        job();
        ++runs;
    } while (timer.nsecsElapsed() < qint64(seconds * 1e9));
    return timer.nsecsElapsed() / 1e9 / runs;
}

// Best time of every job over several interleaved rounds, so that a busy moment of the
// machine hits all jobs alike instead of skewing one ratio.
QVector<double> measure(double seconds, const QVector<std::function<void()>> &jobs)
{
    QVector<double> best(jobs.size(), 1e9);
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < jobs.size(); ++i)
            best[i] = qMin(best[i], timeOnce(seconds, jobs[i]));
    }
    return best;
}

volatile int sink = 0;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? QByteArray(argv[1]).toDouble() : 1.0;

    const QVariant value = corpus();
    const QString text = QxtJSON::stringify(value);
    const QByteArray utf8 = text.toUtf8();
    const double mb = utf8.size() / 1e6;
    std::printf("corpus: %d bytes of UTF-8 (%d characters)\n", utf8.size(), text.size());

    // Both parsers must agree on the corpus before timing them (compared through our text
    // form: Qt reads null as a QVariant of nullptr, we read it as an invalid QVariant).
    if (QxtJSON::stringify(QJsonDocument::fromJson(utf8).toVariant()) != text
        || QxtJSON::stringify(QxtJSON::parse(text)) != text) {
        std::printf("parsers disagree on the corpus\n");
        return 1;
    }

    const QVector<double> t = measure(seconds, {
            [&] { sink += QxtJSON::parse(text).isValid(); },
            [&] { sink += QxtJSON::parse(QString::fromUtf8(utf8)).isValid(); },
            [&] { sink += QJsonDocument::fromJson(utf8).toVariant().isValid(); },
            [&] { sink += QxtJSON::stringify(value).size(); },
            [&] { sink += QxtJSON::stringify(value).toUtf8().size(); },
            [&] { sink += QJsonDocument::fromVariant(value).toJson(QJsonDocument::Compact).size(); },
    });
    const double ourParse = t[0], ourParseUtf8 = t[1], qtParse = t[2];
    const double ourWrite = t[3], ourWriteUtf8 = t[4], qtWrite = t[5];

    std::printf("%-44s %9s %9s\n", "", "MB/s", "vs Qt");
    std::printf("%-44s %9.1f %9.2f\n", "parse QxtJSON::parse(QString)", mb / ourParse, qtParse / ourParse);
    std::printf("%-44s %9.1f %9.2f\n", "parse fromUtf8 + QxtJSON::parse", mb / ourParseUtf8,
                qtParse / ourParseUtf8);
    std::printf("%-44s %9.1f %9.2f\n", "parse QJsonDocument::fromJson().toVariant()", mb / qtParse, 1.0);
    std::printf("%-44s %9.1f %9.2f\n", "stringify QxtJSON::stringify()", mb / ourWrite, qtWrite / ourWrite);
    std::printf("%-44s %9.1f %9.2f\n", "stringify QxtJSON::stringify().toUtf8()", mb / ourWriteUtf8,
                qtWrite / ourWriteUtf8);
    std::printf("%-44s %9.1f %9.2f\n", "stringify QJsonDocument::fromVariant().toJson()", mb / qtWrite, 1.0);
    return 0;
}

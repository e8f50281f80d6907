// Writes and reads back an account cache of 50 profiles with a 5000-entry domain list each,
// and times the load of the whole cache as the service does it at start-up.
//
// Usage: bench_cache [rounds]   (default 5; the cache lives in a temporary directory)
#include "cabinetdomain.h"
#include "cabinetprofile.h"
#include "cabinetschedule.h"
#include "cabinetuserfilter.h"
#include "cabinetuserinfo.h"
#include "jsoncache.h"
#include "qxtjson.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int ProfileCount = 50;
constexpr int EntriesPerList = 5000;

CabinetDomains makeList(quint32 profileId)
{
    CabinetDomains list;
    list.reserve(EntriesPerList);
    for (int i = 0; i < EntriesPerList; ++i) {
        const quint32 id = profileId * 100000 + static_cast<quint32>(i) + 1;
        list.append(CabinetDomain(id, QStringLiteral("host-%1.blocked-site-%2.example").arg(i).arg(profileId)));
    }
    return list;
}

CabinetProfiles makeProfiles()
{
    CabinetProfiles profiles;
    for (quint32 id = 1; id <= ProfileCount; ++id) {
        auto profile = QSharedPointer<CabinetProfile>::create();
        profile->setName(QStringLiteral("Profile %1").arg(id));
        profile->setId(id);
        profile->setToken(1000 + id);
        profile->setDefault(id == 1);
        profiles.insert(id, profile);
    }
    return profiles;
}

QVariant makeSchedule()
{
    CabinetSchedule schedule;
    for (int day = 0; day < CabinetSchedule::DaysPerWeek; ++day)
        schedule.append(CabinetScheduleDay(true, QStringLiteral("07:00"), CabinetScheduleDay::EndOfDay));
    return schedule.toVariant();
}

void writeAccount(JsonCache &cache, const CabinetProfiles &profiles)
{
    cache.setValue(CacheEntry::Profiles, profiles.toVariant());
    cache.setValue(CacheEntry::SelectedProfile, 1);
    const QVariant schedule = makeSchedule();
    for (quint32 id = 1; id <= ProfileCount; ++id) {
        QVariantMap versions;
        versions.insert(CacheEntry::Version::Actual, 1);
        versions.insert(CacheEntry::Version::Schedule, 1);
        cache.setValue(CacheEntry::profileVersion(id), versions);
        cache.setValue(CacheEntry::filter(id), QVariantList{1, 2, 3});
        cache.setValue(CacheEntry::schedule(id), schedule);
    }
}

// Everything the account state restores at start-up; returns the number of list entries.
int loadAccount(JsonCache &cache)
{
    CabinetUserInfo info;
    info.fromVariant(cache.value(CacheEntry::UserInfo));
    CabinetProfiles profiles;
    if (!profiles.fromVariant(cache.value(CacheEntry::Profiles)))
        return -1;
    cache.value(CacheEntry::SelectedProfile).toUInt();
    int entries = 0;
    for (auto it = profiles.constBegin(); it != profiles.constEnd(); ++it) {
        const quint32 id = it.key();
        cache.value(CacheEntry::profileVersion(id)).toMap();
        CabinetUserFilter filter;
        filter.fromVariant(cache.value(CacheEntry::filter(id)));
        CabinetSchedule schedule;
        schedule.fromVariant(cache.value(CacheEntry::schedule(id)));
        for (auto type : {CabinetDomain::WhiteList, CabinetDomain::BlackList, CabinetDomain::AliasList}) {
            CabinetDomains list;
            list.fromVariant(cache.value(CacheEntry::domains(id, type)), type);
            entries += list.size();
        }
    }
    return entries;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    QTemporaryDir state;
    qputenv("STATE_DIRECTORY", state.path().toLocal8Bit());

    const CabinetProfiles profiles = makeProfiles();
    QVector<CabinetDomains> lists;
    qint64 textBytes = 0;
    for (quint32 id = 1; id <= ProfileCount; ++id) {
        lists.append(makeList(id));
        textBytes += QxtJSON::stringify(lists.last().toVariant()).toUtf8().size();
    }
    const double entries = double(ProfileCount) * EntriesPerList;
    const double megabytes = double(textBytes) / (1024.0 * 1024.0);

    QVector<double> writeMs, readMs, loadMs;
    for (int round = 0; round < rounds; ++round) {
        {
            JsonCache cache(CacheEntry::CacheName);
            cache.clear();
            cache.setKeyMaterial(QStringLiteral("bench@example.com"), QStringLiteral("bench-password"));
            writeAccount(cache, profiles);
            QElapsedTimer timer;
            timer.start();
            for (quint32 id = 1; id <= ProfileCount; ++id)
                cache.setValue(CacheEntry::domains(id, CabinetDomain::BlackList), lists.at(int(id) - 1).toVariant());
            writeMs.append(timer.nsecsElapsed() / 1e6);
        }
        {
            JsonCache cache(CacheEntry::CacheName);
            cache.setKeyMaterial(QStringLiteral("bench@example.com"), QStringLiteral("bench-password"));
            QElapsedTimer timer;
            timer.start();
            int read = 0;
            for (quint32 id = 1; id <= ProfileCount; ++id) {
                CabinetDomains list;
                list.fromVariant(cache.value(CacheEntry::domains(id, CabinetDomain::BlackList)), CabinetDomain::BlackList);
                read += list.size();
            }
            readMs.append(timer.nsecsElapsed() / 1e6);
            if (read != int(entries)) {
                std::fprintf(stderr, "read back %d entries, expected %d\n", read, int(entries));
                return 1;
            }
        }
        {
            QElapsedTimer timer;
            timer.start();
            JsonCache cache(CacheEntry::CacheName);
            cache.setKeyMaterial(QStringLiteral("bench@example.com"), QStringLiteral("bench-password"));
            const int loaded = loadAccount(cache);
            loadMs.append(timer.nsecsElapsed() / 1e6);
            if (loaded != int(entries)) {
                std::fprintf(stderr, "start-up load found %d entries, expected %d\n", loaded, int(entries));
                return 1;
            }
        }
    }

    QTextStream out(stdout);
    out << "account cache: " << ProfileCount << " profiles x " << EntriesPerList << " domain entries = "
        << int(entries) << " entries, " << QString::number(megabytes, 'f', 2) << " MiB of JSON text; "
        << rounds << " rounds, medians\n";
    const double w = median(writeMs), r = median(readMs), l = median(loadMs);
    out << "write (toVariant + stringify + scramble + disk): " << QString::number(w, 'f', 1) << " ms, "
        << QString::number(entries / (w / 1000.0), 'f', 0) << " entries/s, "
        << QString::number(megabytes / (w / 1000.0), 'f', 1) << " MiB/s\n";
    out << "read (disk + unscramble + parse + fromVariant):  " << QString::number(r, 'f', 1) << " ms, "
        << QString::number(entries / (r / 1000.0), 'f', 0) << " entries/s, "
        << QString::number(megabytes / (r / 1000.0), 'f', 1) << " MiB/s\n";
    out << "start-up load of the whole cache (" << ProfileCount << " profiles, all entries): "
        << QString::number(l, 'f', 1) << " ms\n";
    return 0;
}

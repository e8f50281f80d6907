#include "jsoncache.h"

#include "cabinetcategory.h"
#include "cabinetdomain.h"
#include "cabinetprofile.h"
#include "cabinetschedule.h"
#include "cabinetuserfilter.h"
#include "cabinetuserinfo.h"
#include "encrypteddiskcache.h"
#include "hostlist.h"
#include "networks.h"
#include "qxtjson.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

// Reads JSON text into a record, stores it, reads it back into a fresh record and says
// whether both hold the same data.
using RoundTrip = std::function<bool(JsonCache &, const QString &)>;

template <typename Record>
RoundTrip roundTripOf()
{
    return [](JsonCache &cache, const QString &text) {
        Record original;
        if (!original.fromVariant(QxtJSON::parse(text)))
            return false;
        if (!cache.setValue(QStringLiteral("entry"), original.toVariant()))
            return false;
        Record back;
        return back.fromVariant(cache.value(QStringLiteral("entry"))) && back == original;
    };
}

RoundTrip domainsRoundTrip(CabinetDomain::Type type)
{
    return [type](JsonCache &cache, const QString &text) {
        CabinetDomains original;
        if (!original.fromVariant(QxtJSON::parse(text), type))
            return false;
        const QString name = CacheEntry::domains(12, type);
        if (!cache.setValue(name, original.toVariant()))
            return false;
        CabinetDomains back;
        if (!back.fromVariant(cache.value(name), type) || back != original)
            return false;
        for (int i = 0; i < back.size(); ++i) {
            if (back.at(i).domain() != original.at(i).domain() || back.at(i).ip() != original.at(i).ip())
                return false;
        }
        return true;
    };
}

bool sameProfiles(const CabinetProfiles &a, const CabinetProfiles &b)
{
    if (a.size() != b.size())
        return false;
    for (auto it = a.constBegin(); it != a.constEnd(); ++it) {
        const auto other = b.value(it.key());
        if (!other || *other != *it.value() || other->name() != it.value()->name())
            return false;
    }
    return true;
}

QStringList filesUnder(const QString &directory)
{
    QStringList files;
    QDirIterator it(directory, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

// The one entry file of a cache that holds a single entry.
QString onlyEntryFile(const JsonCache &cache)
{
    QStringList files = filesUnder(cache.directory());
    files.erase(std::remove_if(files.begin(), files.end(),
                               [](const QString &f) { return f.contains("/prepared/"); }),
                files.end());
    return files.size() == 1 ? files.first() : QString();
}

} // namespace

Q_DECLARE_METATYPE(RoundTrip)

class tst_JsonCache : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void directoryIsCreatedWithParents();
    void entryNames();
    void roundTripOfEveryRecord_data();
    void roundTripOfEveryRecord();
    void profilesRoundTrip();
    void scalarsAndMaps_data();
    void scalarsAndMaps();
    void incompleteCredentials_data();
    void incompleteCredentials();
    void otherCredentialsReadAsNotCached();
    void entryIsScrambledOnDisk();
    void passwordNotRecoverableFromACopiedEntry();
    void damagedEntryReadsAsNotCached_data();
    void damagedEntryReadsAsNotCached();
    void laterWriteReplaces();
    void clearRemovesEverything();
    void uncreatableDirectorySkipsWrites();
};

void tst_JsonCache::init()
{
    // run-isolated.sh gives every program its own STATE_DIRECTORY; each test case gets a
    // fresh one below it.
    const QString state = TestSupport::scratchDirectory(QStringLiteral("state-") + QTest::currentTestFunction());
    qputenv("STATE_DIRECTORY", state.toLocal8Bit());
}

void tst_JsonCache::directoryIsCreatedWithParents()
{
    const QString base = qEnvironmentVariable("STATE_DIRECTORY") + QStringLiteral("/not/yet/there");
    qputenv("STATE_DIRECTORY", base.toLocal8Bit());
    QVERIFY(!QDir(base).exists());
    JsonCache cache(CacheEntry::CacheName);
    QCOMPARE(cache.directory(), base + QStringLiteral("/Corvane/corvane-service/cabinet"));
    QVERIFY(QDir(cache.directory()).exists());
    QVERIFY(cache.isWritable());
    cache.setKeyMaterial("u", "p");
    QVERIFY(cache.setValue("x", 1));
    QCOMPARE(cache.value("x"), QVariant(1));
}

void tst_JsonCache::entryNames()
{
    QCOMPARE(CacheEntry::profileVersion(4000000000u), QStringLiteral("profileversion-4000000000"));
    QCOMPARE(CacheEntry::filter(7), QStringLiteral("filter-7"));
    QCOMPARE(CacheEntry::domains(7, CabinetDomain::AliasList), QStringLiteral("domains-7-alias"));
    QCOMPARE(CacheEntry::domains(7, CabinetDomain::WhiteList), QStringLiteral("domains-7-white"));
    QCOMPARE(CacheEntry::schedule(7), QStringLiteral("schedule-7"));
    const QStringList versionKeys{CacheEntry::Version::Actual, CacheEntry::Version::Filter,
                                  CacheEntry::Version::WhiteList, CacheEntry::Version::BlackList,
                                  CacheEntry::Version::AliasList, CacheEntry::Version::Schedule};
    QCOMPARE(versionKeys.size(), QSet<QString>(versionKeys.begin(), versionKeys.end()).size());
    QCOMPARE(JsonCache::entryUrl("userinfo"), QUrl("json://cache/userinfo"));
}

void tst_JsonCache::roundTripOfEveryRecord_data()
{
    QTest::addColumn<RoundTrip>("roundTrip");
    QTest::addColumn<QString>("text");
    QTest::newRow("CabinetProfile") << roundTripOf<CabinetProfile>()
                                    << R"({"name":"Kids","id":7,"token":99,"default":true,"safe_search_enabled":true})";
    QTest::newRow("CabinetProfileList") << roundTripOf<CabinetProfileList>()
                                        << R"([{"name":"A","id":1,"token":2},{"name":"B","id":3,"token":4}])";
    QTest::newRow("CabinetUserInfo") << roundTripOf<CabinetUserInfo>()
                                     << R"({"tz":60,"plan":{"code":"P","name":"Plus","features":{"max_profiles":3,)"
                                        R"("white_list_size":10,"black_list_size":20,"aliases_list_size":5,"safe_search":true,)"
                                        R"("white_list_mode":true,"agent_ip_mode":false,"show_dns_listen_addr":false}}})";
    QTest::newRow("CabinetSystemInfo") << roundTripOf<CabinetSystemInfo>()
                                       << R"({"blockapi":"10.0.0.1","blockpage":"10.0.0.2","blockpage_token":"10.0.0.3",)"
                                          R"("nxdomain":"10.0.0.4","public_dns":["8.8.8.8","2001:db8::1"]})";
    QTest::newRow("CabinetCategory") << roundTripOf<CabinetCategory>() << R"({"id":3,"title":"Games","description":"Play \"hard\""})";
    QTest::newRow("CabinetCategoryGroup") << roundTripOf<CabinetCategoryGroup>()
                                          << R"({"title":"Leisure","items":[{"id":1,"title":"A"},{"id":2,"title":"B"}]})";
    QTest::newRow("CabinetCategoryIdList") << roundTripOf<CabinetCategoryIdList>() << "[1,2,4000000000]";
    QTest::newRow("CabinetUserFilter") << roundTripOf<CabinetUserFilter>() << "[1,5,255]";
    QTest::newRow("CabinetDomains white") << domainsRoundTrip(CabinetDomain::WhiteList)
                                          << R"([{"id":1,"domain":"good.example"}])";
    QTest::newRow("CabinetDomains black") << domainsRoundTrip(CabinetDomain::BlackList)
                                          << R"([{"id":1,"domain":"bad.example"},{"id":2,"domain":"worse.example"}])";
    QTest::newRow("CabinetDomains alias") << domainsRoundTrip(CabinetDomain::AliasList)
                                          << R"([{"id":1,"domain":"a.example","ip":"192.0.2.1"},{"id":2,"domain":"b.example","ip":"2001:db8::2"}])";
    QTest::newRow("CabinetSchedule") << roundTripOf<CabinetSchedule>()
                                     << R"([{"is_profile_on":true,"time_from":"08:00","time_to":"24:00"},)"
                                        R"({"is_profile_on":false,"time_from":"00:00","time_to":"12:30"},)"
                                        R"({"is_profile_on":true,"time_from":"01:00","time_to":"02:00"},)"
                                        R"({"is_profile_on":true,"time_from":"03:00","time_to":"04:00"},)"
                                        R"({"is_profile_on":true,"time_from":"05:00","time_to":"06:00"},)"
                                        R"({"is_profile_on":true,"time_from":"07:00","time_to":"08:00"},)"
                                        R"({"is_profile_on":false,"time_from":"09:00","time_to":"10:00"}])";
    QTest::newRow("CabinetSchedule empty") << roundTripOf<CabinetSchedule>() << "[]";
    QTest::newRow("CabinetProfileActivity") << roundTripOf<CabinetProfileActivity>() << "[true,45]";
    QTest::newRow("CabinetTokenAgentUidProfileId") << roundTripOf<CabinetTokenAgentUidProfileId>() << R"(["uid-1",77,3])";
    QTest::newRow("NetworksInfo") << roundTripOf<NetworksInfo>()
                                  << R"({"defaultRouteId":"eth0","networks":[{"id":"eth0","name":"Wired","protected":true}]})";
}

void tst_JsonCache::roundTripOfEveryRecord()
{
    QFETCH(RoundTrip, roundTrip);
    QFETCH(QString, text);
    JsonCache cache(CacheEntry::CacheName);
    cache.setKeyMaterial("alice@example.com", "correct horse");
    QVERIFY(roundTrip(cache, text));
}

void tst_JsonCache::profilesRoundTrip()
{
    JsonCache cache(CacheEntry::CacheName);
    cache.setKeyMaterial("alice@example.com", "correct horse");
    CabinetProfiles profiles;
    QVERIFY(profiles.fromVariant(QxtJSON::parse(
            R"([{"name":"Home","id":1,"token":10},{"name":"Kids","id":2,"token":20,"default":true}])")));
    QVERIFY(cache.setValue(CacheEntry::Profiles, profiles.toVariant()));
    CabinetProfiles back;
    QVERIFY(back.fromVariant(cache.value(CacheEntry::Profiles)));
    QVERIFY(sameProfiles(back, profiles));

    HostList hosts{QHostAddress("127.0.0.1"), QHostAddress("::1")};
    QVERIFY(cache.setValue("hosts", hosts.toVariant()));
    HostList hostsBack;
    QVERIFY(hostsBack.fromVariant(cache.value("hosts")));
    QCOMPARE(hostsBack, hosts);
}

void tst_JsonCache::scalarsAndMaps_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("selected profile id") << QVariant(5);
    QTest::newRow("no selected profile") << QVariant(0);
    QVariantMap versions;
    versions.insert(CacheEntry::Version::Actual, 3);
    versions.insert(CacheEntry::Version::Schedule, 9);
    versions.insert(CacheEntry::Version::AliasList, 1);
    QTest::newRow("version map") << QVariant(versions);
    QTest::newRow("text with non-ASCII") << QVariant(QString::fromUtf8("gr\xc3\xbcn \xe2\x82\xac"));
}

void tst_JsonCache::scalarsAndMaps()
{
    QFETCH(QVariant, value);
    JsonCache cache(CacheEntry::CacheName);
    cache.setKeyMaterial("a", "b");
    QVERIFY(cache.setValue("entry", value));
    QCOMPARE(cache.value("entry"), value);
}

void tst_JsonCache::incompleteCredentials_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::newRow("empty password") << "alice" << "";
    QTest::newRow("empty user") << "" << "secret";
    QTest::newRow("neither") << "" << "";
}

void tst_JsonCache::incompleteCredentials()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    JsonCache cache(CacheEntry::CacheName);
    cache.setKeyMaterial("alice", "secret");
    QVERIFY(cache.setValue(CacheEntry::SelectedProfile, 5));
    const QStringList before = filesUnder(cache.directory());

    cache.setKeyMaterial(user, password);
    QVERIFY(!cache.value(CacheEntry::SelectedProfile).isValid());
    QVERIFY(!cache.setValue(CacheEntry::SelectedProfile, 6));
    QVERIFY(!cache.setValue("other", 6));
    QCOMPARE(filesUnder(cache.directory()), before);

    cache.setKeyMaterial("alice", "secret");
    QCOMPARE(cache.value(CacheEntry::SelectedProfile), QVariant(5));
}

void tst_JsonCache::otherCredentialsReadAsNotCached()
{
    JsonCache cache(CacheEntry::CacheName);
    cache.setKeyMaterial("alice", "secret");
    QVERIFY(cache.setValue(CacheEntry::Profiles, QxtJSON::parse(R"([{"name":"A","id":1,"token":2}])")));
    cache.setKeyMaterial("alice", "secreT");
    QVERIFY(!cache.value(CacheEntry::Profiles).isValid());
    cache.setKeyMaterial("bob", "secret");
    QVERIFY(!cache.value(CacheEntry::Profiles).isValid());

    JsonCache again(CacheEntry::CacheName);
    again.setKeyMaterial("alice", "secret");
    CabinetProfiles profiles;
    QVERIFY(profiles.fromVariant(again.value(CacheEntry::Profiles)));
    QCOMPARE(profiles.value(1)->name(), QStringLiteral("A"));
}

void tst_JsonCache::entryIsScrambledOnDisk()
{
    JsonCache cache(CacheEntry::CacheName);
    cache.setKeyMaterial("alice", "secret");
    QVERIFY(cache.setValue("entry", QxtJSON::parse(R"({"domain":"plainly-visible.example"})")));
    QFile file(onlyEntryFile(cache));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY(!content.contains("plainly-visible"));
    QVERIFY(content.contains("json://cache/entry")); // the base class's own header
}

// The scrambling key comes from the credentials, and every entry starts with predictable
// JSON: were the scrambled bytes on disk, a copy of one file would give the key and with it
// the password. Sealing them with the machine key leaves nothing to line up.
void tst_JsonCache::passwordNotRecoverableFromACopiedEntry()
{
    const QString user = QStringLiteral("alice@example.com");
    const QString password = QStringLiteral("correct-horse-battery");
    JsonCache cache(CacheEntry::CacheName);
    cache.setKeyMaterial(user, password);
    CabinetUserInfo info;
    QVERIFY(cache.setValue(CacheEntry::UserInfo, info.toVariant()));
    QFile file(onlyEntryFile(cache));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();

    // What an attacker knows: the entry's first bytes and the login.
    const QByteArray knownStart = QxtJSON::stringify(info.toVariant()).toUtf8().left(EncryptedDiskCache::KeyLength);
    const QByteArray userBytes = user.toUtf8();
    const QByteArray passwordStart = password.toUtf8().left(EncryptedDiskCache::KeyLength);
    const QByteArray realKey = EncryptedDiskCache::makeKey(user, password);
    for (int offset = 0; offset + knownStart.size() <= content.size(); ++offset) {
        QByteArray key(knownStart.size(), Qt::Uninitialized);
        for (int i = 0; i < knownStart.size(); ++i)
            key[i] = char(content.at(offset + i) ^ knownStart.at(i));
        QVERIFY2(key != realKey, qPrintable(QStringLiteral("scrambling key found at offset %1").arg(offset)));
        QByteArray guess(key.size(), Qt::Uninitialized);
        for (int i = 0; i < key.size(); ++i)
            guess[i] = char(key.at(i) ^ userBytes.at(i % userBytes.size()) ^ char(0xA7));
        QVERIFY2(guess != passwordStart, qPrintable(QStringLiteral("password found at offset %1").arg(offset)));
    }
}

void tst_JsonCache::damagedEntryReadsAsNotCached_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("amount");
    QTest::newRow("last byte cut") << "truncate" << 1;
    QTest::newRow("tag cut") << "truncate" << 16;
    QTest::newRow("half of the text cut") << "truncate" << 60;
    QTest::newRow("cut into the header") << "truncate" << 400;
    QTest::newRow("empty file") << "truncate" << -1;
    QTest::newRow("byte flipped in the text") << "flip" << 40;
    QTest::newRow("byte flipped in the tag") << "flip" << 5;
    QTest::newRow("bytes appended") << "append" << 3;
}

void tst_JsonCache::damagedEntryReadsAsNotCached()
{
    QFETCH(QString, damage);
    QFETCH(int, amount);
    JsonCache cache(CacheEntry::CacheName);
    cache.setKeyMaterial("alice", "secret");
    const QString list = QStringLiteral(R"([{"id":1,"domain":"a.example"},{"id":2,"domain":"b.example"},)"
                                        R"({"id":3,"domain":"c.example"}])");
    QVERIFY(cache.setValue("domains-1-black", QxtJSON::parse(list)));
    const QString path = onlyEntryFile(cache);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray content = file.readAll();
    if (damage == "truncate")
        content.chop(amount < 0 ? content.size() : qMin(amount, content.size()));
    else if (damage == "flip")
        content[content.size() - amount] = static_cast<char>(content[content.size() - amount] ^ 0x01);
    else
        content.append(QByteArray(amount, 'x'));
    file.resize(0);
    file.write(content);
    file.close();

    JsonCache reopened(CacheEntry::CacheName);
    reopened.setKeyMaterial("alice", "secret");
    QCOMPARE(reopened.value("domains-1-black"), QVariant());
    CabinetDomains domains;
    QVERIFY(!domains.fromVariant(reopened.value("domains-1-black"), CabinetDomain::BlackList));
    // A fresh write repairs the entry.
    QVERIFY(reopened.setValue("domains-1-black", QxtJSON::parse(list)));
    QVERIFY(domains.fromVariant(reopened.value("domains-1-black"), CabinetDomain::BlackList));
    QCOMPARE(domains.size(), 3);
}

void tst_JsonCache::laterWriteReplaces()
{
    JsonCache cache(CacheEntry::CacheName);
    cache.setKeyMaterial("alice", "secret");
    QVERIFY(cache.setValue("entry", QVariantList{1, 2, 3}));
    QVERIFY(cache.setValue("entry", QVariantList{4}));
    QCOMPARE(cache.value("entry"), QVariant(QVariantList{4}));
    QVERIFY(!cache.value("missing").isValid());
}

void tst_JsonCache::clearRemovesEverything()
{
    JsonCache cache(CacheEntry::CacheName);
    cache.setKeyMaterial("alice", "secret");
    QVERIFY(cache.setValue("a", 1));
    QVERIFY(cache.setValue("b", 2));
    cache.clear();
    QVERIFY(!cache.value("a").isValid());
    QVERIFY(!cache.value("b").isValid());
    QVERIFY(cache.setValue("a", 3));
    QCOMPARE(cache.value("a"), QVariant(3));
}

void tst_JsonCache::uncreatableDirectorySkipsWrites()
{
    // A plain file where a parent directory should be: the directory cannot be created,
    // whoever runs the test.
    const QString blocker = qEnvironmentVariable("STATE_DIRECTORY") + QStringLiteral("/blocker");
    QVERIFY(TestSupport::writeFile(blocker, "not a directory"));
    qputenv("STATE_DIRECTORY", blocker.toLocal8Bit());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot create the account cache directory .*blocker/Corvane/corvane-service/cabinet"));
    JsonCache cache(CacheEntry::CacheName);
    QVERIFY(!cache.isWritable());
    cache.setKeyMaterial("alice", "secret");
    QVERIFY(!cache.setValue("a", 1));
    QVERIFY(!cache.value("a").isValid());
    cache.clear();
}

QTEST_GUILESS_MAIN(tst_JsonCache)
#include "tst_jsoncache.moc"

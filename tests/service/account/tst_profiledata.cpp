// A profile's data read from the cache part by part, when first needed.
#include "profiledata.h"

#include "jsoncache.h"

#include <QDir>
#include <QtTest>

namespace {

CabinetDomains listOf(quint32 id, const char *domain)
{
    CabinetDomains list;
    list.append(CabinetDomain(id, QString::fromLatin1(domain)));
    return list;
}

} // namespace

class tst_ProfileData : public QObject
{
    Q_OBJECT

private slots:
    void partsReadWhenNeeded();
};

void tst_ProfileData::partsReadWhenNeeded()
{
    QDir(JsonCache::directoryFor(QStringLiteral("profiledata"))).removeRecursively();
    JsonCache cache(QStringLiteral("profiledata"));
    cache.setKeyMaterial(QStringLiteral("user"), QStringLiteral("secret"));
    {
        ProfileData written(7, &cache);
        written.setDomains(CabinetDomain::WhiteList, listOf(1, "cached.example"));
        written.setDomains(CabinetDomain::BlackList, listOf(2, "cached.example"));
        written.setVersion(ProfileData::BlackList, 5);
        written.setActualVersion(6);
        written.saveDomains(CabinetDomain::WhiteList);
        written.saveDomains(CabinetDomain::BlackList);
        written.saveVersions();
    }
    ProfileData data(7, &cache);
    data.load();
    QCOMPARE(data.actualVersion(), 6u);
    QVERIFY(!data.isFullyRead());
    // An answer that arrives before the cached list was read is never overwritten by it.
    data.setDomains(CabinetDomain::WhiteList, listOf(9, "fresh.example"));
    while (data.readNextPart()) { }
    QVERIFY(data.isFullyRead());
    QCOMPARE(data.domains(CabinetDomain::WhiteList).first().domain(), QStringLiteral("fresh.example"));
    QCOMPARE(data.domains(CabinetDomain::BlackList).first().id(), 2u);
    QCOMPARE(data.version(ProfileData::BlackList), 5u);
    // A part missing from the cache stays unloaded with version 0.
    QVERIFY(!data.isLoaded(ProfileData::Schedule));
    QCOMPARE(data.version(ProfileData::Schedule), 0u);
    QCOMPARE(data.loadedFlags(), ProfileData::loadedFlag(ProfileData::WhiteList)
                     | ProfileData::loadedFlag(ProfileData::BlackList));
}

QTEST_GUILESS_MAIN(tst_ProfileData)
#include "tst_profiledata.moc"

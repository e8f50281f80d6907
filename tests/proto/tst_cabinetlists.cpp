#include "cabinetcategory.h"
#include "cabinetdomain.h"
#include "cabinetmetatypes.h"
#include "cabinetuserfilter.h"
#include "hostlist.h"
#include "qxtjson.h"

#include <QtTest>

#include <algorithm>

namespace {

QVariant json(const QString &text)
{
    return QxtJSON::parse(text);
}

QList<quint32> sortedFilter(const CabinetUserFilter &filter)
{
    QList<quint32> ids;
    for (quint8 id : filter)
        ids << id;
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

class tst_CabinetLists : public QObject
{
    Q_OBJECT

private slots:
    void category_data();
    void category();
    void categoryGroup_data();
    void categoryGroup();
    void categoryGroupListRoundTrip();
    void categoryIdList_data();
    void categoryIdList();
    void userFilter_data();
    void userFilter();
    void domain_data();
    void domain();
    void domains_data();
    void domains();
    void domainsJson_data();
    void domainsJson();
    void domainsPlainJson_data();
    void domainsPlainJson();
    void domainsLookups();
    void domainsEquality();
    void listTypeNames_data();
    void listTypeNames();
    void hostList_data();
    void hostList();
    void hostListFromStringList();
    void hostListConvertsFromJsonList();
};

void tst_CabinetLists::category_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<quint32>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::newRow("complete") << R"({"id":3,"title":"Games","description":"Play"})" << true << 3u << "Games" << "Play";
    QTest::newRow("without description") << R"({"id":3,"title":"Games"})" << true << 3u << "Games" << "";
    QTest::newRow("id zero") << R"({"id":0,"title":"Games"})" << false << 9u << "Old" << "";
    QTest::newRow("id absent") << R"({"title":"Games"})" << false << 9u << "Old" << "";
    QTest::newRow("title empty") << R"({"id":3,"title":""})" << false << 9u << "Old" << "";
    QTest::newRow("not a map") << R"([3])" << false << 9u << "Old" << "";
}

void tst_CabinetLists::category()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    CabinetCategory category(9, QStringLiteral("Old"));
    QCOMPARE(category.fromVariant(json(text)), ok);
    QTEST(category.id(), "id");
    QTEST(category.name(), "name");
    QTEST(category.description(), "description");
    if (ok) {
        CabinetCategory back;
        QVERIFY(back.fromVariant(json(QxtJSON::stringify(category.toVariant()))));
        QCOMPARE(back, category);
    }
}

void tst_CabinetLists::categoryGroup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("count");
    QTest::newRow("two categories") << R"({"title":"Leisure","items":[{"id":1,"title":"A"},{"id":2,"title":"B"}]})" << true << 2;
    QTest::newRow("empty items") << R"({"title":"Leisure","items":[]})" << true << 0;
    QTest::newRow("one bad category") << R"({"title":"Leisure","items":[{"id":1,"title":"A"},{"id":0,"title":"B"}]})" << false << 0;
    QTest::newRow("items missing") << R"({"title":"Leisure"})" << false << 0;
    QTest::newRow("title missing") << R"({"items":[]})" << false << 0;
}

void tst_CabinetLists::categoryGroup()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, count);
    CabinetCategoryGroup group;
    QCOMPARE(group.fromVariant(json(text)), ok);
    QCOMPARE(group.categories().size(), count);
}

void tst_CabinetLists::categoryGroupListRoundTrip()
{
    CabinetCategoryGroupList groups;
    QVERIFY(groups.fromVariant(json(R"([{"title":"L","items":[{"id":1,"title":"A","description":"d"}]},)"
                                    R"({"title":"M","items":[{"id":2,"title":"B"}]}])")));
    QCOMPARE(groups.size(), 2);
    CabinetCategoryGroupList back;
    QVERIFY(back.fromVariant(json(QxtJSON::stringify(groups.toVariant()))));
    QCOMPARE(static_cast<QList<CabinetCategoryGroup>>(back), static_cast<QList<CabinetCategoryGroup>>(groups));
    QVERIFY(!back.fromVariant(json(R"([{"title":"L","items":[]},{"title":""}])")));
    QVERIFY(back.isEmpty());
}

void tst_CabinetLists::categoryIdList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<quint32>>("ids");
    QTest::newRow("numbers") << "[3,1,4000000000]" << true << QList<quint32>{3, 1, 4000000000u};
    QTest::newRow("decimal text") << R"(["3"])" << true << QList<quint32>{3};
    QTest::newRow("one negative") << "[3,-1]" << false << QList<quint32>();
    QTest::newRow("one map") << "[3,{}]" << false << QList<quint32>();
    QTest::newRow("fraction") << "[2.5]" << false << QList<quint32>();
    QTest::newRow("not a list") << "{}" << false << QList<quint32>();
}

void tst_CabinetLists::categoryIdList()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QList<quint32>, ids);
    CabinetCategoryIdList list;
    list.append(77);
    QCOMPARE(list.fromVariant(json(text)), ok);
    QCOMPARE(static_cast<QList<quint32>>(list), ids);
    CabinetCategoryIdList back;
    QVERIFY(back.fromVariant(json(QxtJSON::stringify(list.toVariant()))));
    QCOMPARE(back, list);
}

void tst_CabinetLists::userFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<quint32>>("ids");
    QTest::newRow("in range") << "[5,255,1]" << true << QList<quint32>{1, 5, 255};
    QTest::newRow("zero is outside") << "[5,0,7]" << false << QList<quint32>();
    QTest::newRow("256 is outside") << "[5,256]" << false << QList<quint32>();
    QTest::newRow("text number") << R"(["9"])" << true << QList<quint32>{9};
    QTest::newRow("not a number") << R"(["nine"])" << false << QList<quint32>();
    QTest::newRow("empty") << "[]" << true << QList<quint32>();
    QTest::newRow("not a list") << "7" << false << QList<quint32>();
}

void tst_CabinetLists::userFilter()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QList<quint32>, ids);
    CabinetUserFilter filter;
    filter.insert(42);
    QCOMPARE(filter.fromVariant(json(text)), ok);
    QCOMPARE(sortedFilter(filter), ids);
    CabinetUserFilter back;
    QVERIFY(back.fromVariant(json(QxtJSON::stringify(filter.toVariant()))));
    QCOMPARE(sortedFilter(back), ids);
}

void tst_CabinetLists::domain_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("ok");
    QTest::newRow("black without ip") << R"({"id":4,"domain":"example.com"})" << int(CabinetDomain::BlackList) << true;
    QTest::newRow("white without ip") << R"({"id":4,"domain":"example.com"})" << int(CabinetDomain::WhiteList) << true;
    QTest::newRow("alias without ip") << R"({"id":4,"domain":"example.com"})" << int(CabinetDomain::AliasList) << false;
    QTest::newRow("alias with bad ip") << R"({"id":4,"domain":"example.com","ip":"nowhere"})" << int(CabinetDomain::AliasList) << false;
    QTest::newRow("alias with ip") << R"({"id":4,"domain":"example.com","ip":"192.0.2.1"})" << int(CabinetDomain::AliasList) << true;
    QTest::newRow("id zero") << R"({"id":0,"domain":"example.com"})" << int(CabinetDomain::BlackList) << false;
    QTest::newRow("domain empty") << R"({"id":4,"domain":""})" << int(CabinetDomain::BlackList) << false;
    QTest::newRow("not a map") << R"(["example.com"])" << int(CabinetDomain::BlackList) << false;
    QTest::newRow("domain not a text") << R"({"id":4,"domain":7})" << int(CabinetDomain::BlackList) << false;
    QTest::newRow("id missing") << R"({"domain":"example.com"})" << int(CabinetDomain::BlackList) << false;
}

void tst_CabinetLists::domain()
{
    QFETCH(QString, text);
    QFETCH(int, type);
    QFETCH(bool, ok);
    CabinetDomain entry;
    QCOMPARE(entry.fromVariant(json(text), CabinetDomain::Type(type)), ok);
    if (!ok)
        return;
    QCOMPARE(entry.id(), 4u);
    QCOMPARE(entry.domain(), QStringLiteral("example.com"));
    CabinetDomain back;
    QVERIFY(back.fromVariant(json(QxtJSON::stringify(entry.toVariant())), CabinetDomain::Type(type)));
    QCOMPARE(back.ip(), entry.ip());
    QCOMPARE(entry.toVariant().toMap().contains("ip"), !entry.ip().isNull());
}

void tst_CabinetLists::domains_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("count");
    QTest::newRow("two entries") << R"([{"id":1,"domain":"a.example"},{"id":2,"domain":"b.example"}])" << true << 2;
    QTest::newRow("one bad entry clears") << R"([{"id":1,"domain":"a.example"},{"id":2}])" << false << 0;
    QTest::newRow("not a list clears") << R"({"id":1,"domain":"a.example"})" << false << 0;
}

void tst_CabinetLists::domains()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, count);
    CabinetDomains list;
    list.append(CabinetDomain(9, QStringLiteral("stale.example")));
    QCOMPARE(list.fromVariant(json(text), CabinetDomain::BlackList), ok);
    QCOMPARE(list.size(), count);
}

// The cache entries of the lists are written without a QVariant tree; the text must stay
// what the codec writes, so that caches already on disk and new ones read alike.
void tst_CabinetLists::domainsJson_data()
{
    QTest::addColumn<CabinetDomains>("list");
    const auto of = [](std::initializer_list<CabinetDomain> entries) {
        CabinetDomains list;
        for (const CabinetDomain &entry : entries)
            list.append(entry);
        return list;
    };
    const quint32 id = 4294967295u;
    QTest::newRow("empty") << CabinetDomains();
    QTest::newRow("escaped") << of({ { id, QStringLiteral("a\"b\\c/d\b\f\n\r\t\x01e") } });
    QTest::newRow("non-ASCII, surrogate pair, lone surrogate")
            << of({ { id, QString::fromUtf8("b\xc3\xbc" "cher.example \xf0\x9f\x98\x80") + QChar(0xd800) } });
    QTest::newRow("null and empty domain") << of({ { id, QString() }, { 1, QLatin1String("") } });
    QTest::newRow("IPv4, IPv6 and none")
            << of({ { 1, "a.example", QHostAddress("192.0.2.1") },
                    { 2, "b.example", QHostAddress("2001:db8::1") },
                    { 3, "c.example" } });
}

void tst_CabinetLists::domainsJson()
{
    QFETCH(CabinetDomains, list);
    QCOMPARE(list.toJson(), QxtJSON::stringify(list.toVariant()).toUtf8());
}

// The direct reader of the lists must read what it accepts exactly as the generic path, and
// leave every other form to it.
void tst_CabinetLists::domainsPlainJson_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("direct");
    QTest::addColumn<bool>("ok");

    const int white = CabinetDomain::WhiteList;
    const int alias = CabinetDomain::AliasList;
    QTest::newRow("answer form") << QByteArray(R"([{"id":1,"domain":"a.example"},{"id":4294967295,"domain":"b"}])")
                                 << white << true << true;
    QTest::newRow("cache form, white space")
            << QByteArray("[ {\"domain\" :\"a.example\",\n\"id\": 7, \"ip\":\"192.0.2.1\"}\t]\r\n") << alias
            << true << true;
    QTest::newRow("empty") << QByteArray("[]") << white << true << true;
    QTest::newRow("IPv6 alias") << QByteArray(R"([{"id":2,"domain":"c","ip":"2001:db8::1"}])") << alias << true
                                << true;
    QTest::newRow("unparsable ip on a white list")
            << QByteArray(R"([{"id":2,"domain":"c","ip":"no address"}])") << white << true << true;
    QTest::newRow("escape") << QByteArray(R"([{"id":1,"domain":"a\/b"}])") << white << false << true;
    QTest::newRow("non-ASCII") << QByteArray("[{\"id\":1,\"domain\":\"b\xc3\xbc\"}]") << white << false << true;
    QTest::newRow("leading zero") << QByteArray(R"([{"id":07,"domain":"a"}])") << white << false << true;
    QTest::newRow("id as text") << QByteArray(R"([{"id":"7","domain":"a"}])") << white << false << true;
    QTest::newRow("key twice") << QByteArray(R"([{"id":1,"domain":"a","domain":"b"}])") << white << false << true;
    QTest::newRow("other key") << QByteArray(R"([{"id":1,"domain":"a","x":1}])") << white << false << true;
    QTest::newRow("text after") << QByteArray(R"([{"id":1,"domain":"a"}] x)") << white << false << true;
    QTest::newRow("id beyond 32 bits") << QByteArray(R"([{"id":4294967296,"domain":"a"}])") << white << false
                                       << false;
    QTest::newRow("id 0") << QByteArray(R"([{"id":0,"domain":"a"}])") << white << false << false;
    QTest::newRow("empty domain") << QByteArray(R"([{"id":1,"domain":""}])") << white << false << false;
    QTest::newRow("alias without address") << QByteArray(R"([{"id":1,"domain":"a"}])") << alias << false << false;
    QTest::newRow("null ip") << QByteArray(R"([{"id":1,"domain":"a","ip":null}])") << white << false << true;
    QTest::newRow("missing comma") << QByteArray(R"([{"id":1,"domain":"a"}{"id":2,"domain":"b"}])") << white
                                   << false << true;
    QTest::newRow("cut off") << QByteArray(R"([{"id":1,"domain":"a"})") << white << false << false;
}

void tst_CabinetLists::domainsPlainJson()
{
    QFETCH(QByteArray, text);
    QFETCH(int, type);
    QFETCH(bool, direct);
    QFETCH(bool, ok);
    const auto listType = CabinetDomain::Type(type);

    CabinetDomains generic;
    QCOMPARE(generic.fromVariant(QxtJSON::parse(QString::fromUtf8(text)), listType), ok);
    CabinetDomains read;
    read.append(CabinetDomain(9, QStringLiteral("stale.example")));
    const char *pos = text.constData();
    const char *end = pos + text.size();
    const bool accepted = read.readPlainJson(pos, end, listType);
    if (!accepted) {
        QCOMPARE(pos, text.constData());
        QCOMPARE(read.size(), 1);
    }
    QCOMPARE(accepted && QByteArray(pos, int(end - pos)).trimmed().isEmpty(), direct);
    QCOMPARE(read.fromJson(text, listType), ok);
    QCOMPARE(read.size(), generic.size());
    for (int i = 0; i < read.size(); ++i) {
        QCOMPARE(read.at(i).id(), generic.at(i).id());
        QCOMPARE(read.at(i).domain(), generic.at(i).domain());
        QCOMPARE(read.at(i).ip(), generic.at(i).ip());
    }
}

void tst_CabinetLists::domainsLookups()
{
    CabinetDomains list;
    QVERIFY(list.fromVariant(json(R"([{"id":1,"domain":"a.example","ip":"192.0.2.1"},)"
                                  R"({"id":2,"domain":"b.example","ip":"192.0.2.2"},)"
                                  R"({"id":3,"domain":"a.example","ip":"192.0.2.3"}])"),
                             CabinetDomain::AliasList));
    QCOMPARE(list.findDomain("a.example").id(), 1u);
    QCOMPARE(list.findDomain("a.example").ip(), QHostAddress("192.0.2.1"));
    const CabinetDomain none = list.findDomain("A.example");
    QCOMPARE(none.id(), 0u);
    QVERIFY(none.domain().isEmpty());
    QVERIFY(none.ip().isNull());
    QVERIFY(list.removeDomain(2));
    QVERIFY(!list.removeDomain(2));
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(1).id(), 3u);
}

void tst_CabinetLists::domainsEquality()
{
    CabinetDomains a;
    a << CabinetDomain(1, "a.example") << CabinetDomain(2, "b.example");
    CabinetDomains b;
    b << CabinetDomain(1, "other.example", QHostAddress("192.0.2.1")) << CabinetDomain(2, "b.example");
    QVERIFY(a == b);
    CabinetDomains c;
    c << CabinetDomain(2, "b.example") << CabinetDomain(1, "a.example");
    QVERIFY(a != c);
    c.removeLast();
    QVERIFY(a != c);
}

void tst_CabinetLists::listTypeNames_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("parsed");
    QTest::newRow("white") << 0 << "white" << 0;
    QTest::newRow("black") << 1 << "black" << 1;
    QTest::newRow("alias") << 2 << "alias" << 2;
    QTest::newRow("unknown type") << 3 << QString() << 0;
}

void tst_CabinetLists::listTypeNames()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(int, parsed);
    QCOMPARE(CabinetDomain::listTypeToString(type), text);
    QCOMPARE(CabinetDomain::listTypeToString(type).isNull(), text.isNull());
    QCOMPARE(int(CabinetDomain::listTypeFromString(text)), parsed);
    QCOMPARE(int(CabinetDomain::listTypeFromString("Black")), 0);
}

void tst_CabinetLists::hostList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("addresses");
    QTest::newRow("two addresses") << R"(["127.0.0.1","::1"])" << true << QStringList{"127.0.0.1", "::1"};
    QTest::newRow("one name clears") << R"(["127.0.0.1","localhost"])" << false << QStringList();
    QTest::newRow("one number clears") << R"(["127.0.0.1",5])" << false << QStringList();
    QTest::newRow("not a list") << R"("127.0.0.1")" << false << QStringList();
}

void tst_CabinetLists::hostList()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QStringList, addresses);
    HostList list{QHostAddress("192.0.2.1")};
    QCOMPARE(list.fromVariant(json(text)), ok);
    QCOMPARE(list.toStringList(), addresses);
    QCOMPARE(list.toVariant(), QVariant(QVariant(addresses).toList()));
}

void tst_CabinetLists::hostListFromStringList()
{
    const HostList list = HostList::fromStringList({"10.1.2.3", "host.example", "", "fe80::1"});
    QCOMPARE(list.toStringList(), (QStringList{"10.1.2.3", "fe80::1"}));
}

void tst_CabinetLists::hostListConvertsFromJsonList()
{
    registerCabinetMetaTypes();
    QVariant value = json(R"(["127.0.0.1","::1"])");
    QVERIFY(value.canConvert<HostList>());
    QVERIFY(value.convert(qMetaTypeId<HostList>()));
    QCOMPARE(value.value<HostList>().toStringList(), (QStringList{"127.0.0.1", "::1"}));

    // All or nothing, as fromVariant: one bad element gives an empty list, never a
    // shorter one that looks valid.
    QVariant bad = json(R"(["127.0.0.1","dns.example"])");
    QVERIFY(bad.convert(qMetaTypeId<HostList>()));
    QVERIFY(bad.value<HostList>().isEmpty());

    QVariant back = QVariant::fromValue(HostList{QHostAddress("10.0.0.1")});
    QVERIFY(back.convert(QMetaType::QVariantList));
    QCOMPARE(QxtJSON::stringify(back), QStringLiteral(R"(["10.0.0.1"])"));
    QCOMPARE(QMetaType::type("HostList"), qMetaTypeId<HostList>());
}

QTEST_GUILESS_MAIN(tst_CabinetLists)
#include "tst_cabinetlists.moc"

#include "qxtjson.h"

#include <QtTest>

#include <limits>

namespace {

// Type-tagged rendering, so that comparisons see int 7 and long long 7 as different.
QString describe(const QVariant &v)
{
    if (!v.isValid())
        return QStringLiteral("invalid");
    switch (v.userType()) {
    case QMetaType::QVariantMap: {
        QStringList parts;
        const QVariantMap map = v.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            parts << it.key() + QLatin1Char('=') + describe(it.value());
        return QStringLiteral("{") + parts.join(QLatin1Char(',')) + QStringLiteral("}");
    }
    case QMetaType::QVariantList: {
        QStringList parts;
        for (const QVariant &e : v.toList())
            parts << describe(e);
        return QStringLiteral("[") + parts.join(QLatin1Char(',')) + QStringLiteral("]");
    }
    default:
        return QString::fromLatin1(v.typeName()) + QLatin1Char(':') + v.toString();
    }
}

QVariantMap map(std::initializer_list<std::pair<QString, QVariant>> entries)
{
    QVariantMap m;
    for (const auto &e : entries)
        m.insert(e.first, e.second);
    return m;
}

QString nested(int depth, QChar open, QChar close)
{
    return QString(depth, open) + QString(depth, close);
}

} // namespace

class tst_QxtJSON : public QObject
{
    Q_OBJECT

private slots:
    void stringify_data();
    void stringify();
    void parse_data();
    void parse();
    void roundTrip_data();
    void roundTrip();
    void truncatedTexts_data();
    void truncatedTexts();
    void unescapedKeyDoesNotParseBack();
    void manyRepeatedKeys();
    void depthLimit_data();
    void depthLimit();
};

void tst_QxtJSON::stringify_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("invalid") << QVariant() << QStringLiteral("null");
    QTest::newRow("never-assigned string in map")
            << QVariant(map({{QStringLiteral("a"), QString()}})) << QStringLiteral("{\"a\":null}");
    QTest::newRow("empty assigned string in map")
            << QVariant(map({{QStringLiteral("a"), QLatin1String("")}}))
            << QStringLiteral("{\"a\":\"\"}");
    QTest::newRow("null byte array") << QVariant(QByteArray()) << QStringLiteral("null");
    QTest::newRow("byte array as text") << QVariant(QByteArray("h/i"))
                                        << QStringLiteral("\"h\\/i\"");
    QTest::newRow("true") << QVariant(true) << QStringLiteral("true");
    QTest::newRow("false") << QVariant(false) << QStringLiteral("false");
    QTest::newRow("int") << QVariant(-42) << QStringLiteral("-42");
    QTest::newRow("int min") << QVariant(std::numeric_limits<int>::min())
                             << QStringLiteral("-2147483648");
    QTest::newRow("long long") << QVariant(qint64(5000000000)) << QStringLiteral("5000000000");
    QTest::newRow("long long min") << QVariant(std::numeric_limits<qint64>::min())
                                   << QStringLiteral("-9223372036854775808");
    QTest::newRow("uint max") << QVariant(4294967295u) << QStringLiteral("4294967295");
    QTest::newRow("ulonglong max") << QVariant(std::numeric_limits<quint64>::max())
                                   << QStringLiteral("18446744073709551615");
    QTest::newRow("zero") << QVariant(0) << QStringLiteral("0");
    QTest::newRow("double 0.1") << QVariant(0.1) << QStringLiteral("0.1");
    QTest::newRow("double six digits") << QVariant(1234567.0) << QStringLiteral("1.23457e+06");
    QTest::newRow("double integral") << QVariant(3.0) << QStringLiteral("3");
    QTest::newRow("double 2.5e-7") << QVariant(2.5e-7) << QStringLiteral("2.5e-07");
    QTest::newRow("double 1e21") << QVariant(1e21) << QStringLiteral("1e+21");
    QTest::newRow("slash escaped") << QVariant(QStringLiteral("a/b"))
                                   << QStringLiteral("\"a\\/b\"");
    QTest::newRow("eight escapes")
            << QVariant(QStringLiteral("\b\f\n\r\t\\/\""))
            << QStringLiteral("\"\\b\\f\\n\\r\\t\\\\\\/\\\"\"");
    QTest::newRow("other control and non-ASCII copied")
            << QVariant(QString(QChar(1)) + QString::fromUtf8("é€"))
            << QString(QLatin1Char('"')) + QChar(1) + QString::fromUtf8("é€\"");
    QTest::newRow("map key order by code unit")
            << QVariant(map({{QStringLiteral("a"), 2}, {QStringLiteral("B"), 1}}))
            << QStringLiteral("{\"B\":1,\"a\":2}");
    QTest::newRow("map key not escaped")
            << QVariant(map({{QStringLiteral("a/b"), 1}})) << QStringLiteral("{\"a/b\":1}");
    QTest::newRow("empty map") << QVariant(QVariantMap()) << QStringLiteral("{}");
    QTest::newRow("empty list") << QVariant(QVariantList()) << QStringLiteral("[]");
    QTest::newRow("nested list")
            << QVariant(QVariantList{1, QVariantList{QStringLiteral("x"), QVariant()}, true})
            << QStringLiteral("[1,[\"x\",null],true]");
    QTest::newRow("string list not escaped")
            << QVariant(QStringList{QStringLiteral("a/b"), QStringLiteral("c\"")})
            << QStringLiteral("[\"a/b\",\"c\"\"]");
    QTest::newRow("hash of one") << QVariant(QVariantHash{{QStringLiteral("k"), 1}})
                                 << QStringLiteral("{\"k\":1}");
    QTest::newRow("other type as quoted text") << QVariant::fromValue(quint16(53))
                                               << QStringLiteral("\"53\"");
    QTest::newRow("request shape")
            << QVariant(map({{QStringLiteral("id"), 7u},
                             {QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                             {QStringLiteral("method"), QStringLiteral("setFilterCat")},
                             {QStringLiteral("params"), QVariantList{12, true}}}))
            << QStringLiteral(
                       "{\"id\":7,\"jsonrpc\":\"2.0\",\"method\":\"setFilterCat\",\"params\":[12,true]}");
}

void tst_QxtJSON::stringify()
{
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QCOMPARE(QxtJSON::stringify(value), text);
}

void tst_QxtJSON::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QString invalid = QStringLiteral("invalid");
    QTest::newRow("empty") << QString() << invalid;
    QTest::newRow("all blank") << QStringLiteral(" \t\r\n ") << invalid;
    QTest::newRow("blanks before object, text after")
            << QStringLiteral("  \n{\"a\":1} trailing [") << QStringLiteral("{a=int:1}");
    QTest::newRow("only the first value") << QStringLiteral("1 2") << QStringLiteral("int:1");
    QTest::newRow("key and value without colon")
            << QStringLiteral("{\"a\" 1 \"b\" \"x\"}") << QStringLiteral("{a=int:1,b=QString:x}");
    QTest::newRow("blanks around commas and colons")
            << QStringLiteral("{ \"a\" : 1 , \"b\" : [ 1 , 2 ] }")
            << QStringLiteral("{a=int:1,b=[int:1,int:2]}");
    QTest::newRow("number where a key belongs") << QStringLiteral("{1:2}") << invalid;
    QTest::newRow("array where a key belongs") << QStringLiteral("{[1]}") << invalid;
    QTest::newRow("duplicate key keeps last")
            << QStringLiteral("{\"a\":1,\"a\":2}") << QStringLiteral("{a=int:2}");
    QTest::newRow("keys out of order")
            << QStringLiteral("{\"b\":1,\"a\":2,\"c\":3}")
            << QStringLiteral("{a=int:2,b=int:1,c=int:3}");
    QTest::newRow("empty key") << QStringLiteral("{\"\":1}") << QStringLiteral("{=int:1}");
    QTest::newRow("double comma") << QStringLiteral("[1,,2]") << QStringLiteral("[int:1,int:2]");
    QTest::newRow("letters after t unchecked") << QStringLiteral("[txyz]")
                                               << QStringLiteral("[bool:true]");
    QTest::newRow("false null") << QStringLiteral("[false,null]")
                                << QStringLiteral("[bool:false,invalid]");
    QTest::newRow("stray characters skipped") << QStringLiteral("[x 5]") << QStringLiteral("[int:5]");
    QTest::newRow("leading zeros") << QStringLiteral("007") << QStringLiteral("int:7");
    QTest::newRow("int min") << QStringLiteral("-2147483648") << QStringLiteral("int:-2147483648");
    QTest::newRow("beyond int max") << QStringLiteral("2147483648")
                                    << QStringLiteral("qlonglong:2147483648");
    QTest::newRow("long long") << QStringLiteral("5000000000")
                               << QStringLiteral("qlonglong:5000000000");
    QTest::newRow("beyond long long") << QStringLiteral("99999999999999999999")
                                      << QStringLiteral("qlonglong:0");
    QTest::newRow("19 digits that fit") << QStringLiteral("-9223372036854775808")
                                        << QStringLiteral("qlonglong:-9223372036854775808");
    QTest::newRow("exponent with point") << QStringLiteral("1.5e3") << QStringLiteral("double:1500");
    QTest::newRow("exponent without point") << QStringLiteral("1e3") << QStringLiteral("qlonglong:0");
    QTest::newRow("minus alone") << QStringLiteral("[-]") << QStringLiteral("[qlonglong:0]");
    QTest::newRow("double") << QStringLiteral("[0.25]") << QStringLiteral("[double:0.25]");
    QTest::newRow("string escapes")
            << QStringLiteral("\"\\b\\f\\n\\r\\t\\\\\\/\\\"\\x\"")
            << QStringLiteral("QString:\b\f\n\r\t\\/\"x");
    QTest::newRow("unicode escape") << QStringLiteral("\"\\u00e9\\u20AC\"")
                                    << QString::fromUtf8("QString:é€");
    QTest::newRow("bad unicode escape appends nothing") << QStringLiteral("\"a\\u12G4b\"")
                                                        << QStringLiteral("QString:ab");
    QTest::newRow("unicode escape cut short") << QStringLiteral("\"\\u12\"") << invalid;
    QTest::newRow("unterminated string") << QStringLiteral("\"abc") << invalid;
    QTest::newRow("backslash at end") << QStringLiteral("\"abc\\") << invalid;
    QTest::newRow("unterminated array") << QStringLiteral("[1,2") << invalid;
    QTest::newRow("number at end of array") << QStringLiteral("[4") << invalid;
    QTest::newRow("unterminated object") << QStringLiteral("{\"a\":[1]") << invalid;
    QTest::newRow("nothing but letters") << QStringLiteral("abc") << invalid;
    QTest::newRow("true cut short at top") << QStringLiteral("tr") << QStringLiteral("bool:true");
    QTest::newRow("pending key dropped") << QStringLiteral("{\"a\"}") << QStringLiteral("{}");
    QTest::newRow("nested") << QStringLiteral("[\"a\",{\"b\":null,\"c\":{}}]")
                            << QStringLiteral("[QString:a,{b=invalid,c={}}]");
}

void tst_QxtJSON::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(describe(QxtJSON::parse(text)), expected);
}

void tst_QxtJSON::roundTrip_data()
{
    QTest::addColumn<QVariant>("value");

    QTest::newRow("scalars") << QVariant(QVariantList{1, qint64(-5000000000), true, false,
                                                      0.5, QStringLiteral("x\"/\\\n")});
    QTest::newRow("maps") << QVariant(map({{QStringLiteral("profiles"),
                                             QVariantList{map({{QStringLiteral("id"), 3},
                                                               {QStringLiteral("name"),
                                                                QString::fromUtf8("Дом")}})}},
                                            {QStringLiteral("token"), 123456}}));
}

void tst_QxtJSON::roundTrip()
{
    QFETCH(QVariant, value);
    const QString text = QxtJSON::stringify(value);
    QCOMPARE(describe(QxtJSON::parse(text)), describe(value));
    QCOMPARE(QxtJSON::stringify(QxtJSON::parse(text)), text);
}

void tst_QxtJSON::truncatedTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("object") << QStringLiteral(
            "{\"a\":[1,\"x\\\"y\",{\"b\":true}],\"c\":-2.5e3,\"d\":\"\\u00e9\"}");
    QTest::newRow("array") << QStringLiteral("[{\"id\":7},[],\"s\",null,false]");
}

// Every proper prefix of a container ends inside it, so it must give a clean null result.
void tst_QxtJSON::truncatedTexts()
{
    QFETCH(QString, text);
    QVERIFY(QxtJSON::parse(text).isValid());
    for (int length = 0; length < text.size(); ++length)
        QVERIFY2(!QxtJSON::parse(text.left(length)).isValid(), qPrintable(text.left(length)));
}

void tst_QxtJSON::unescapedKeyDoesNotParseBack()
{
    const QVariantMap original{{QStringLiteral("a\"b"), 1}};
    const QString text = QxtJSON::stringify(original);
    QCOMPARE(text, QStringLiteral("{\"a\"b\":1}"));
    QCOMPARE(describe(QxtJSON::parse(text)), QStringLiteral("{a=int:1}"));
}

// More distinct keys than the parser's key cache holds, repeated over several objects and
// mixed with escaped keys: every object must come back with its own keys and values.
void tst_QxtJSON::manyRepeatedKeys()
{
    QVariantList objects;
    for (int o = 0; o < 3; ++o) {
        QVariantMap object;
        for (int k = 0; k < 200; ++k)
            object.insert(QStringLiteral("k%1").arg((k * 37 + o) % 200), k * 10 + o);
        object.insert(QString(), o);
        objects.append(object);
    }
    const QString text = QxtJSON::stringify(objects);
    QCOMPARE(describe(QxtJSON::parse(text)), describe(objects));

    const QVariant escaped = QxtJSON::parse(
            QStringLiteral("[{\"ab\":1,\"a\\u0062\":2},{\"a\\u0062\":3,\"ab\":4}]"));
    QCOMPARE(describe(escaped), QStringLiteral("[{ab=int:2},{ab=int:4}]"));
}

void tst_QxtJSON::depthLimit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    QTest::newRow("arrays at limit") << nested(QxtJSON::MaxDepth, QLatin1Char('['), QLatin1Char(']'))
                                     << true;
    QTest::newRow("arrays beyond limit")
            << nested(QxtJSON::MaxDepth + 1, QLatin1Char('['), QLatin1Char(']')) << false;
    QString objects;
    for (int i = 0; i < QxtJSON::MaxDepth + 1; ++i)
        objects += QStringLiteral("{\"a\":");
    QTest::newRow("objects beyond limit") << objects + QStringLiteral("1") + QString(QxtJSON::MaxDepth + 1, QLatin1Char('}'))
                                          << false;
    QTest::newRow("hostile depth") << QString(1000000, QLatin1Char('[')) << false;
}

void tst_QxtJSON::depthLimit()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(QxtJSON::parse(text).isValid(), valid);
}

QTEST_GUILESS_MAIN(tst_QxtJSON)
#include "tst_qxtjson.moc"

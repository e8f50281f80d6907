#include "error.h"

#include <QtTest>

class DetailedError : public Error
{
public:
    DetailedError()
        : Error(4, QStringLiteral("with data"))
    {
    }
    QVariant data() const override { return QStringLiteral("detail"); }
};

class tst_Error : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void toVariant_data();
    void toVariant();
    void fromVariant_data();
    void fromVariant();
    void toString_data();
    void toString();
    void derivedData();
    void metaType();
};

void tst_Error::defaults()
{
    const Error error;
    QCOMPARE(error.code(), 0);
    QVERIFY(error.message().isNull());
    QVERIFY(!error.isError());
    QVERIFY(!error.data().isValid());
}

void tst_Error::toVariant_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<quint32>("wireCode");

    QTest::newRow("success") << 0 << QString() << 0u;
    QTest::newRow("time-out") << 2 << QString() << 2u;
    QTest::newRow("with message") << 9 << QStringLiteral("No valid JSON-RPC response received")
                                  << 9u;
    QTest::newRow("negative code is written unsigned") << -1 << QStringLiteral("x")
                                                       << 4294967295u;
}

void tst_Error::toVariant()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(quint32, wireCode);

    const QVariant v = Error(code, message).toVariant();
    QCOMPARE(v.userType(), int(QMetaType::QVariantMap));
    const QVariantMap map = v.toMap();
    QCOMPARE(map.keys(), (QStringList{QStringLiteral("code"), QStringLiteral("message")}));
    QCOMPARE(map.value(QStringLiteral("code")).userType(), int(QMetaType::UInt));
    QCOMPARE(map.value(QStringLiteral("code")).toUInt(), wireCode);
    QCOMPARE(map.value(QStringLiteral("message")).toString(), message);

    Error back;
    QVERIFY(back.fromVariant(v));
    QCOMPARE(back.code(), code);
    QCOMPARE(back.message(), message);
}

void tst_Error::fromVariant_data()
{
    QTest::addColumn<QVariant>("input");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    // The object starts as Error(5, "before").
    const QString before = QStringLiteral("before");
    QTest::newRow("not a map") << QVariant(QVariantList{1, 2}) << false << 5 << before;
    QTest::newRow("null") << QVariant() << false << 5 << before;
    QTest::newRow("hash is not a map")
            << QVariant(QVariantHash{{QStringLiteral("code"), 1}}) << false << 5 << before;
    QTest::newRow("code and message")
            << QVariant(QVariantMap{{QStringLiteral("code"), 12},
                                    {QStringLiteral("message"), QStringLiteral("m")}})
            << true << 12 << QStringLiteral("m");
    QTest::newRow("code as string converts")
            << QVariant(QVariantMap{{QStringLiteral("code"), QStringLiteral("12")}}) << true
            << 12 << QString();
    QTest::newRow("code does not convert: zero, message kept")
            << QVariant(QVariantMap{{QStringLiteral("code"), QStringLiteral("abc")},
                                    {QStringLiteral("message"), QStringLiteral("m")}})
            << false << 0 << before;
    QTest::newRow("code absent")
            << QVariant(QVariantMap{{QStringLiteral("message"), QStringLiteral("m")}})
            << false << 0 << before;
    QTest::newRow("message absent gives empty")
            << QVariant(QVariantMap{{QStringLiteral("code"), 3}}) << true << 3 << QString();
    QTest::newRow("message number converts to text")
            << QVariant(QVariantMap{{QStringLiteral("code"), 3}, {QStringLiteral("message"), 42}})
            << true << 3 << QStringLiteral("42");
}

void tst_Error::fromVariant()
{
    QFETCH(QVariant, input);
    QFETCH(bool, result);
    QFETCH(int, code);
    QFETCH(QString, message);

    Error error(5, QStringLiteral("before"));
    QCOMPARE(error.fromVariant(input), result);
    QCOMPARE(error.code(), code);
    QCOMPARE(error.message(), message);
}

void tst_Error::toString_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty message") << 2 << QString() << QStringLiteral("2: <no message>");
    QTest::newRow("message") << 9 << QStringLiteral("bad") << QStringLiteral("9: bad");
    QTest::newRow("placeholder in message stays")
            << 1 << QStringLiteral("%1 %2") << QStringLiteral("1: %1 %2");
    QTest::newRow("negative") << -7 << QStringLiteral("x") << QStringLiteral("-7: x");
}

void tst_Error::toString()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(QString, text);
    QCOMPARE(Error(code, message).toString(), text);
}

void tst_Error::derivedData()
{
    const DetailedError detailed;
    const Error &base = detailed;
    QCOMPARE(base.data(), QVariant(QStringLiteral("detail")));
}

void tst_Error::metaType()
{
    const int id = registerErrorMetaType();
    QCOMPARE(registerErrorMetaType(), id);
    QCOMPARE(QMetaType::type("Error"), id);
    const QVariant v = QVariant::fromValue(Error(3, QStringLiteral("x")));
    QCOMPARE(v.userType(), id);
    QCOMPARE(v.value<Error>().code(), 3);
}

QTEST_GUILESS_MAIN(tst_Error)
#include "tst_error.moc"

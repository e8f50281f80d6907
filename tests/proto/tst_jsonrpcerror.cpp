#include "error.h"
#include "jsonrpcerror.h"

#include <QtTest>

class DataError : public Error
{
public:
    DataError()
        : Error(70000, QStringLiteral("big"))
    {
    }
    QVariant data() const override { return 17; }
};

class tst_JsonRPCError : public QObject
{
    Q_OBJECT

private slots:
    void standardMessage_data();
    void standardMessage();
    void toVariant_data();
    void toVariant();
    void fromVariant_data();
    void fromVariant();
    void fromError();
};

void tst_JsonRPCError::standardMessage_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("parse") << -32700 << QStringLiteral("Parse error");
    QTest::newRow("request") << -32600 << QStringLiteral("Invalid Request");
    QTest::newRow("method") << -32601 << QStringLiteral("Method not found");
    QTest::newRow("params") << -32602 << QStringLiteral("Invalid params");
    QTest::newRow("internal") << -32603 << QStringLiteral("Internal error");
    QTest::newRow("reserved unassigned") << -32000 << QString();
    QTest::newRow("application") << 5 << QString();
}

void tst_JsonRPCError::standardMessage()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QCOMPARE(JsonRPCError(qint16(code), QStringLiteral("own")).standardMessage(), message);
}

void tst_JsonRPCError::toVariant_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QVariant>("data");
    QTest::addColumn<QVariantMap>("expected");

    const QString c = QStringLiteral("code");
    const QString m = QStringLiteral("message");
    const QString d = QStringLiteral("data");
    QTest::newRow("reserved code writes standard message")
            << -32601 << QStringLiteral("mine") << QVariant()
            << QVariantMap{{c, -32601}, {m, QStringLiteral("Method not found")}};
    QTest::newRow("-32000 with message writes empty message")
            << -32000 << QStringLiteral("mine") << QVariant()
            << QVariantMap{{c, -32000}, {m, QLatin1String("")}};
    QTest::newRow("-32767 is reserved") << -32767 << QStringLiteral("mine") << QVariant()
                                         << QVariantMap{{c, -32767}, {m, QLatin1String("")}};
    QTest::newRow("-32768 is not") << -32768 << QStringLiteral("mine") << QVariant()
                                   << QVariantMap{{c, -32768}, {m, QStringLiteral("mine")}};
    QTest::newRow("-31999 is not") << -31999 << QStringLiteral("mine") << QVariant()
                                   << QVariantMap{{c, -31999}, {m, QStringLiteral("mine")}};
    QTest::newRow("code 5 empty message leaves key out")
            << 5 << QString() << QVariant() << QVariantMap{{c, 5}};
    QTest::newRow("code 5 with message") << 5 << QStringLiteral("x") << QVariant()
                                         << QVariantMap{{c, 5}, {m, QStringLiteral("x")}};
    QTest::newRow("data written") << 5 << QString() << QVariant(QVariantList{1})
                                  << QVariantMap{{c, 5}, {d, QVariantList{1}}};
}

void tst_JsonRPCError::toVariant()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(QVariant, data);
    QFETCH(QVariantMap, expected);

    const QVariantMap actual = JsonRPCError(qint16(code), message, data).toVariant().toMap();
    QCOMPARE(actual, expected);
    QCOMPARE(actual.value(QStringLiteral("code")).userType(), int(QMetaType::Int));
    if (actual.contains(QStringLiteral("message")))
        QVERIFY(!actual.value(QStringLiteral("message")).toString().isNull());
}

void tst_JsonRPCError::fromVariant_data()
{
    QTest::addColumn<QVariant>("input");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QVariant>("data");

    // The object starts as (1, "old", "olddata").
    const QString c = QStringLiteral("code");
    const QString m = QStringLiteral("message");
    const QString d = QStringLiteral("data");
    const QVariant oldData = QStringLiteral("olddata");
    QTest::newRow("not a map") << QVariant(5) << false << 1 << QStringLiteral("old") << oldData;
    QTest::newRow("full") << QVariant(QVariantMap{{c, -32601}, {m, QStringLiteral("x")}, {d, 3}})
                          << true << -32601 << QStringLiteral("x") << QVariant(3);
    QTest::newRow("code as string fails, data replaced")
            << QVariant(QVariantMap{{c, QStringLiteral("12")}}) << false << 1
            << QStringLiteral("old") << QVariant();
    QTest::newRow("code absent fails") << QVariant(QVariantMap{{m, QStringLiteral("x")}})
                                       << false << 1 << QStringLiteral("old") << QVariant();
    QTest::newRow("code double fails") << QVariant(QVariantMap{{c, 1.0}}) << false << 1
                                       << QStringLiteral("old") << QVariant();
    QTest::newRow("message not string fails, code stored")
            << QVariant(QVariantMap{{c, 7}, {m, 8}}) << false << 7 << QStringLiteral("old")
            << QVariant();
    QTest::newRow("message absent is empty")
            << QVariant(QVariantMap{{c, qint64(7)}}) << true << 7 << QString() << QVariant();
}

void tst_JsonRPCError::fromVariant()
{
    QFETCH(QVariant, input);
    QFETCH(bool, result);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFETCH(QVariant, data);

    JsonRPCError error(1, QStringLiteral("old"), QStringLiteral("olddata"));
    QCOMPARE(error.fromVariant(input), result);
    QCOMPARE(int(error.code()), code);
    QCOMPARE(error.message(), message);
    QCOMPARE(error.data(), data);
}

void tst_JsonRPCError::fromError()
{
    const JsonRPCError plain{Error(9, QStringLiteral("m"))};
    QCOMPARE(int(plain.code()), 9);
    QCOMPARE(plain.message(), QStringLiteral("m"));
    QVERIFY(!plain.data().isValid());

    const JsonRPCError truncated{DataError()};
    QCOMPARE(int(truncated.code()), int(qint16(70000)));
    QCOMPARE(truncated.message(), QStringLiteral("big"));
    QCOMPARE(truncated.data(), QVariant(17));
}

QTEST_GUILESS_MAIN(tst_JsonRPCError)
#include "tst_jsonrpcerror.moc"

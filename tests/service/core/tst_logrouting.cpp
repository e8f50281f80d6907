#include "logrouting.h"

#include <QtTest>

namespace {

class RecordingSink : public LogRouting::Sink
{
public:
    void write(LogRouting::Priority priority, const QString &text) override
    {
        lines.append({ priority, text });
    }
    QList<QPair<LogRouting::Priority, QString>> lines;
};

} // namespace

Q_DECLARE_METATYPE(LogRouting::Priority)

class tst_LogRouting : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void priorityOf_data();
    void priorityOf();
    void routedUnchanged_data();
    void routedUnchanged();
};

void tst_LogRouting::priorityOf_data()
{
    using P = LogRouting::Priority;
    QTest::addColumn<int>("type");
    QTest::addColumn<P>("priority");
    QTest::newRow("debug is information") << int(QtDebugMsg) << P::Info;
    QTest::newRow("info is information") << int(QtInfoMsg) << P::Info;
    QTest::newRow("warning") << int(QtWarningMsg) << P::Warning;
    QTest::newRow("critical is an error") << int(QtCriticalMsg) << P::Error;
    QTest::newRow("fatal is an error") << int(QtFatalMsg) << P::Error;
}

void tst_LogRouting::priorityOf()
{
    QFETCH(int, type);
    QFETCH(LogRouting::Priority, priority);
    QCOMPARE(LogRouting::priorityOf(QtMsgType(type)), priority);
}

void tst_LogRouting::routedUnchanged_data()
{
    using P = LogRouting::Priority;
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<P>("priority");
    QTest::newRow("debug") << int(QtDebugMsg) << "json-rpc data received while nothing expected. ignoring.." << P::Info;
    QTest::newRow("warning with a percent sign") << int(QtWarningMsg) << "100% sure %s %d" << P::Warning;
    QTest::newRow("critical, non-ASCII") << int(QtCriticalMsg) << "сеть недоступна" << P::Error;
    QTest::newRow("empty") << int(QtWarningMsg) << "" << P::Warning;
}

void tst_LogRouting::routedUnchanged()
{
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(LogRouting::Priority, priority);

    auto *sink = new RecordingSink;
    LogRouting::install(sink);
    const QByteArray bytes = text.toUtf8();
    switch (QtMsgType(type)) {
    case QtDebugMsg:
        qDebug("%s", bytes.constData());
        break;
    case QtWarningMsg:
        qWarning("%s", bytes.constData());
        break;
    default:
        qCritical("%s", bytes.constData());
        break;
    }
    LogRouting::writeSuccess("final word");
    const auto lines = sink->lines;
    qInstallMessageHandler(nullptr);

    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).first, priority);
    QCOMPARE(lines.at(0).second, text); // no prefix, no context
    QCOMPARE(lines.at(1).first, LogRouting::Priority::Notice);
    QCOMPARE(lines.at(1).second, QString("final word"));
}

QTEST_GUILESS_MAIN(tst_LogRouting)
#include "tst_logrouting.moc"

#include "backendselection.h"

#include <QtTest>

using BackendSelection::Facts;
using BackendSelection::Kind;

Q_DECLARE_METATYPE(BackendSelection::Kind)

class tst_BackendSelection : public QObject
{
    Q_OBJECT
private slots:
    void choose_data();
    void choose();
};

void tst_BackendSelection::choose_data()
{
    QTest::addColumn<QString>("requested");
    QTest::addColumn<bool>("resolved");
    QTest::addColumn<bool>("networkManager");
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("namesStub");
    QTest::addColumn<bool>("resolvconf");
    QTest::addColumn<Kind>("expected");

    const QString stub = QStringLiteral("/run/systemd/resolve/stub-resolv.conf");
    const QString uplink = QStringLiteral("/run/systemd/resolve/resolv.conf");
    const QString resolvconfFile = QStringLiteral("/run/resolvconf/resolv.conf");
    QTest::newRow("requested ini") << "ini" << true << true << stub << false << true << Kind::Ini;
    QTest::newRow("requested file, resolved running") << "file" << true << false << stub << false << false << Kind::File;
    QTest::newRow("unknown request falls through") << "registry" << false << false << QString() << false << false << Kind::File;
    QTest::newRow("resolved, link to its stub") << QString() << true << true << stub << false << false << Kind::Resolved;
    QTest::newRow("resolved, link to its uplink file") << QString() << true << false << uplink << false << false << Kind::Resolved;
    QTest::newRow("resolved, plain file naming the stub") << QString() << true << false << QString() << true << false << Kind::Resolved;
    QTest::newRow("resolved on the bus, file by NetworkManager") << QString() << true << true << QString() << false << false
                                                                 << Kind::NetworkManager;
    QTest::newRow("resolved on the bus, plain file") << QString() << true << false << QString() << false << false << Kind::File;
    QTest::newRow("link to the stub, resolved gone") << QString() << false << false << stub << false << false << Kind::File;
    QTest::newRow("resolvconf's file") << QString() << false << true << resolvconfFile << false << true << Kind::Resolvconf;
    QTest::newRow("resolvconf's file, program missing") << QString() << false << false << resolvconfFile << false << false
                                                        << Kind::File;
    QTest::newRow("NetworkManager alone") << QString() << false << true << QString() << false << false << Kind::NetworkManager;
    QTest::newRow("nobody") << QString() << false << false << QString() << false << true << Kind::File;
}

void tst_BackendSelection::choose()
{
    QFETCH(QString, requested);
    QFETCH(bool, resolved);
    QFETCH(bool, networkManager);
    QFETCH(QString, link);
    QFETCH(bool, namesStub);
    QFETCH(bool, resolvconf);
    QFETCH(Kind, expected);
    Facts facts;
    facts.requested = requested;
    facts.resolvedOnBus = resolved;
    facts.networkManagerOnBus = networkManager;
    facts.resolvConfLinkTarget = link;
    facts.resolvConfNamesStub = namesStub;
    facts.resolvconfInstalled = resolvconf;
    const BackendSelection::Choice choice = BackendSelection::choose(facts);
    QCOMPARE(BackendSelection::kindName(choice.kind), BackendSelection::kindName(expected));
    QVERIFY(!choice.reason.isEmpty());
}

QTEST_GUILESS_MAIN(tst_BackendSelection)
#include "tst_backendselection.moc"

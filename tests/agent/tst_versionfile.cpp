#include "versionfile.h"

#include <QtTest>

// The version file of the update location and the version rule, against 3.2.1.3.
class TestVersionFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void offer_data();
    void offer();
    void downloadLine_data();
    void downloadLine();
};

void TestVersionFile::offer_data()
{
    QTest::addColumn<QByteArray>("firstLine");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("newer");

    QTest::newRow("five components") << QByteArray("3.2.1.3.1") << false << false;
    QTest::newRow("next build") << QByteArray("3.2.1.4") << true << true;
    QTest::newRow("next minor") << QByteArray("3.3") << true << true;
    QTest::newRow("same") << QByteArray("3.2.1.3") << true << false;
    QTest::newRow("older, shorter") << QByteArray("3.2") << true << false;
    QTest::newRow("five components, the last 0") << QByteArray("3.2.1.3.0") << false << false;
    QTest::newRow("same with blanks and CR") << QByteArray("  3.2.1.3 \r") << true << false;
    QTest::newRow("leading zeros") << QByteArray("03.02.01.04") << true << true;
    QTest::newRow("a component by number, not text") << QByteArray("3.2.1.10") << true << true;
    QTest::newRow("beyond 64 bits") << QByteArray("3.2.1.99999999999999999999999") << true << true;
    QTest::newRow("empty") << QByteArray("") << false << false;
    QTest::newRow("empty component") << QByteArray("3..2") << false << false;
    QTest::newRow("the literal {,3}") << QByteArray("3{,3}") << false << false;
    QTest::newRow("Arabic-Indic digits") << QByteArray("\xd9\xa4.\xd9\xa2") << false << false;
    QTest::newRow("a word") << QByteArray("<html>") << false << false;
}

void TestVersionFile::offer()
{
    QFETCH(QByteArray, firstLine);
    QFETCH(bool, valid);
    QFETCH(bool, newer);
    const VersionFile::Offer offer = VersionFile::parse(firstLine + "\nNotes\n", QStringLiteral("3.2.1.3"));
    QCOMPARE(offer.valid, valid);
    QCOMPARE(offer.newer, newer);
    QCOMPARE(offer.details, newer ? QStringLiteral("Notes") : QString());
}

void TestVersionFile::downloadLine_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("hasUrl");
    QTest::addColumn<QString>("url"); // empty: not a valid address
    QTest::addColumn<QString>("details");

    QTest::newRow("no dl line") << QByteArray("3.3\n  Faster.\nSmaller.  \n") << false << QString()
                                << QStringLiteral("Faster.\nSmaller.");
    QTest::newRow("dl line") << QByteArray("3.3\ndl: https://dl.example/a/b.deb \nNotes") << true
                             << QStringLiteral("https://dl.example/a/b.deb") << QStringLiteral("Notes");
    QTest::newRow("dl line, no notes, no line end") << QByteArray("3.3\ndl:https://dl.example/x.deb") << true
                                                    << QStringLiteral("https://dl.example/x.deb") << QString();
    QTest::newRow("dl not at the start of line 2") << QByteArray("3.3\n dl:https://dl.example/x.deb") << false
                                                   << QString() << QStringLiteral("dl:https://dl.example/x.deb");
    QTest::newRow("strictly parsed: a blank in the address") << QByteArray("3.3\ndl:https://dl.example/a b.deb\n")
                                                             << true << QString() << QString();
    QTest::newRow("only the version") << QByteArray("3.3") << false << QString() << QString();
}

void TestVersionFile::downloadLine()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, hasUrl);
    QFETCH(QString, url);
    QFETCH(QString, details);
    const VersionFile::Offer offer = VersionFile::parse(body, QStringLiteral("3.2.1.3"));
    QVERIFY(offer.newer);
    QCOMPARE(offer.hasDownloadUrl, hasUrl);
    QCOMPARE(offer.downloadUrl.isValid() ? offer.downloadUrl.toString() : QString(), url);
    QCOMPARE(offer.details, details);
}

QTEST_GUILESS_MAIN(TestVersionFile)
#include "tst_versionfile.moc"

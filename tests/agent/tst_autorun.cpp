#include "autorun.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

// The user's autostart entry against the system-wide one that the package installs.
class TestAutorun : public QObject
{
    Q_OBJECT
private slots:
    void userEntryShadowsSystemEntry_data();
    void userEntryShadowsSystemEntry();
};

void TestAutorun::userEntryShadowsSystemEntry_data()
{
    QTest::addColumn<bool>("systemEntry");
    QTest::addColumn<QByteArray>("userEntry"); // empty: none
    QTest::addColumn<bool>("enabled");

    const QByteArray hidden = "[Desktop Entry]\nType=Application\nHidden=true\n";
    const QByteArray plain = Autorun::entryText(QStringLiteral("/usr/bin/corvane-agent"));
    QTest::newRow("nothing") << false << QByteArray() << false;
    QTest::newRow("system entry only") << true << QByteArray() << true;
    QTest::newRow("system entry, user hides it") << true << hidden << false;
    QTest::newRow("user entry only") << false << plain << true;
    QTest::newRow("user entry disabled for GNOME") << true << QByteArray("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n") << false;
}

void TestAutorun::userEntryShadowsSystemEntry()
{
    QFETCH(bool, systemEntry);
    QFETCH(QByteArray, userEntry);
    QFETCH(bool, enabled);

    const QString scratch = TestSupport::scratchDirectory(QStringLiteral("autorun"));
    QDir(scratch).removeRecursively();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch + "/home"));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(scratch + "/etc-xdg"));
    const QString systemPath = scratch + "/etc-xdg/autostart/corvane-agent.desktop";
    const QByteArray systemText = Autorun::entryText(QStringLiteral("/usr/bin/corvane-agent"));
    if (systemEntry)
        QVERIFY(TestSupport::writeFile(systemPath, systemText));
    Autorun autorun(QStringLiteral("/usr/bin/corvane-agent"));
    if (!userEntry.isEmpty())
        QVERIFY(TestSupport::writeFile(autorun.entryPath(), userEntry));

    QCOMPARE(autorun.isEnabled(), enabled);
    QVERIFY(autorun.setEnabled(false));
    QCOMPARE(autorun.isEnabled(), false);
    QVERIFY(autorun.setEnabled(true));
    QCOMPARE(autorun.isEnabled(), true);
    // The package's entry is never touched: each user decides for themselves.
    if (systemEntry) {
        QFile file(systemPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), systemText);
    }
}

QTEST_GUILESS_MAIN(TestAutorun)
#include "tst_autorun.moc"

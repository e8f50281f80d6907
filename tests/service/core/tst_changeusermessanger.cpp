// The local-user to profile binding: its stored forms per account, the console user it
// follows (a fake: the machine's logind has no sessions to give a test), and the pruning.
#include "../account/fakecabinet.h"

#include "changeusermessanger.h"
#include "consoleuser.h"
#include "jsoncache.h"
#include "logcapture.h"

#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

class FakeConsoleUser : public ConsoleUser
{
public:
    explicit FakeConsoleUser(QString *name) : m_name(name) {}
    QString userName() override { return *m_name; }

private:
    QString *m_name;
};

CabinetProfiles profilesNamed(const QStringList &names)
{
    CabinetProfiles list;
    quint32 id = 100;
    for (const QString &name : names) {
        CabinetProfile profile;
        profile.setId(++id);
        profile.setName(name);
        profile.setToken(id + 1000);
        profile.setDefault(id == 101);
        list.insert(id, QSharedPointer<CabinetProfile>::create(profile));
    }
    return list;
}

} // namespace

class tst_ChangeUserMessanger : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void storedForms_data();
    void storedForms();
    void followsTheConsoleUser();
    void deletedProfileIsPruned_data();
    void deletedProfileIsPruned();
    void accountsKeepTheirOwnBinding();

private:
    FakeCabinet *signIn(const QString &login);
    QString m_console;
};

void tst_ChangeUserMessanger::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
}

void tst_ChangeUserMessanger::init()
{
    QSettings().clear();
    QDir(JsonCache::directoryFor(CacheEntry::CacheName)).removeRecursively();
    m_console.clear();
}

FakeCabinet *tst_ChangeUserMessanger::signIn(const QString &login)
{
    auto *cabinet = new FakeCabinet(this);
    QCoreApplication::processEvents();
    cabinet->setCredentials(login, QStringLiteral("secret"));
    return cabinet;
}

void tst_ChangeUserMessanger::storedForms_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariantMap>("binding");
    QTest::addColumn<int>("invalidRecords");
    QTest::newRow("domain-qualified name")
            << "user-profile-mapping-ann@example.com" << QVariant(QVariantMap { { "OFFICE\\anna", "Kids" } })
            << QVariantMap { { "anna", "Kids" } } << 0;
    QTest::newRow("older text form")
            << "ann@example.comuserstoprofmap" << QVariant("anna Kids|bob  Teens||carl")
            << QVariantMap { { "anna", "Kids" }, { "bob", "Teens" } } << 1;
    QTest::newRow("nothing stored") << "unrelated" << QVariant("x") << QVariantMap() << 0;
}

void tst_ChangeUserMessanger::storedForms()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QVariantMap, binding);
    QFETCH(int, invalidRecords);
    FakeCabinet *cabinet = signIn(QStringLiteral("ann@example.com"));
    QSettings().setValue(key, stored);
    LogCapture log;
    ChangeUserMessanger mapping(cabinet, new FakeConsoleUser(&m_console));
    QCOMPARE(mapping.userToProfileMap(), binding);
    QCOMPARE(log.warnings().count("Invalid user-to-profile binding record"), invalidRecords);
    QCOMPARE(log.contains("User-to-profile binding isn't defined"), !key.startsWith("user-profile-mapping-"));
    if (key.endsWith("userstoprofmap")) {
        // Carried over to the current key; the older one stays.
        QCOMPARE(QSettings().value("user-profile-mapping-ann@example.com").toMap(), binding);
        QVERIFY(QSettings().contains(key));
    }
}

void tst_ChangeUserMessanger::followsTheConsoleUser()
{
    FakeCabinet *cabinet = signIn(QStringLiteral("ann@example.com"));
    QSettings().setValue("user-profile-mapping-ann@example.com", QVariantMap { { "OFFICE\\anna", "Kids" } });
    m_console = QStringLiteral("anna");
    ChangeUserMessanger mapping(cabinet, new FakeConsoleUser(&m_console));
    QSignalSpy changes(&mapping, &ChangeUserMessanger::UserWasChanged);
    mapping.setEnabled(true);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.takeFirst().first().toString(), QStringLiteral("Kids"));

    // A user without binding is seen by the periodic check (its 10 s made short here).
    auto *timer = mapping.findChild<QTimer *>(QStringLiteral("consoleUserTimer"));
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), ChangeUserMessanger::CheckIntervalMs);
    timer->start(20);
    m_console = QStringLiteral("bob");
    QVERIFY(changes.wait(2000));
    QCOMPARE(changes.takeFirst().first().toString(), QString());

    // A new binding for the user at the console applies at once.
    mapping.UpdateUserToProfMap({ { "bob", "Teens" } });
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.takeFirst().first().toString(), QStringLiteral("Teens"));
    mapping.setEnabled(false);
    QVERIFY(!mapping.isEnabled());
}

void tst_ChangeUserMessanger::deletedProfileIsPruned_data()
{
    QTest::addColumn<QStringList>("profiles");
    QTest::addColumn<QVariantMap>("kept");
    QTest::newRow("Kids deleted") << QStringList { "Default", "Teens" } << QVariantMap { { "bob", "Teens" } };
    // A list not read yet is no reason to forget every binding.
    QTest::newRow("empty profile list") << QStringList()
                                        << QVariantMap { { "OFFICE\\anna", "Kids" }, { "bob", "Teens" } };
}

void tst_ChangeUserMessanger::deletedProfileIsPruned()
{
    QFETCH(QStringList, profiles);
    QFETCH(QVariantMap, kept);
    FakeCabinet *cabinet = signIn(QStringLiteral("ann@example.com"));
    QSettings().setValue("user-profile-mapping-ann@example.com",
                         QVariantMap { { "OFFICE\\anna", "Kids" }, { "bob", "Teens" } });
    ChangeUserMessanger mapping(cabinet, new FakeConsoleUser(&m_console));
    QObject::connect(cabinet, &Cabinet::profilesChanged, &mapping, &ChangeUserMessanger::ProfilesChanged);
    QSignalSpy announced(&mapping, &ChangeUserMessanger::UserToProfMapWasChanged);
    if (profiles.isEmpty())
        mapping.ProfilesChanged();
    else
        QVERIFY(cabinet->answer(QStringLiteral("profiles"), profilesNamed(profiles)));
    QCOMPARE(announced.count(), 1);
    QCOMPARE(QSettings().value("user-profile-mapping-ann@example.com").toMap(), kept);
}

void tst_ChangeUserMessanger::accountsKeepTheirOwnBinding()
{
    FakeCabinet *cabinet = signIn(QStringLiteral("ann@example.com"));
    ChangeUserMessanger mapping(cabinet, new FakeConsoleUser(&m_console));
    mapping.UpdateUserToProfMap({ { "anna", "Kids" } });
    cabinet->setCredentials(QStringLiteral("bob@example.com"), QStringLiteral("other"));
    QCOMPARE(mapping.userToProfileMap(), QVariantMap());
    mapping.UpdateUserToProfMap({ { "anna", "Homework" } });
    cabinet->setCredentials(QStringLiteral("ann@example.com"), QStringLiteral("secret"));
    QCOMPARE(mapping.userToProfileMap(), (QVariantMap { { "anna", "Kids" } }));
}

QTEST_GUILESS_MAIN(tst_ChangeUserMessanger)
#include "tst_changeusermessanger.moc"

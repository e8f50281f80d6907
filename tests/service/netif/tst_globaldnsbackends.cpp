// The two backends whose setting is global, on a scratch root: a plain resolv.conf (as a
// file and as a link) and resolvconf (a stand-in program with resolvconf's command line
// that keeps the records in a folder, since the real one would rewrite /etc/resolv.conf).
#include "filednsbackend.h"
#include "inidnsbackend.h"
#include "logcapture.h"
#include "networkinterfacemanager.h"
#include "resolvconfdnsbackend.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QtTest>

namespace {

const QByteArray OwnFile = "search corp.example\nnameserver 192.0.2.1\nnameserver 192.0.2.2\noptions edns0\n";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_GlobalDnsBackends : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void protectAndRestore_data();
    void protectAndRestore();
    void rewrittenBehindOurBack_data();
    void rewrittenBehindOurBack();
    void backupFromBeforeRebootIsDropped();

private:
    NetworkInterfaceManager *manager(const QString &kind);
    QString record() const { return m_root + QStringLiteral("/run/resolvconf/interface/lo.corvane"); }

    QString m_root;
    QString m_resolvConf;
};

void tst_GlobalDnsBackends::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
}

void tst_GlobalDnsBackends::init()
{
    m_root = TestSupport::scratchDirectory(QStringLiteral("root"));
    m_resolvConf = m_root + QStringLiteral("/etc/resolv.conf");
    QVERIFY(TestSupport::writeFile(m_resolvConf, OwnFile));
    QVERIFY(TestSupport::writeFile(m_root + QStringLiteral("/run/resolvconf/interface/eth0.dhclient"), "nameserver 192.0.2.1\n"));
    const QString program = m_root + QStringLiteral("/sbin/resolvconf");
    QVERIFY(TestSupport::writeFile(program, "#!/bin/sh\n"
                                            "dir=\"$(dirname \"$0\")/../run/resolvconf/interface\"\n"
                                            "case \"$1\" in\n"
                                            "  -a) cat > \"$dir/$2\" ;;\n"
                                            "  -d) rm -f \"$dir/$2\" ;;\n"
                                            "  *) exit 99 ;;\n"
                                            "esac\n"));
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(TestSupport::writeFile(m_root + QStringLiteral("/adapters.ini"),
            "[Adapters]\neth0\\FriendlyName=LAN\neth0\\Up=true\n"));
    QSettings().clear();
}

NetworkInterfaceManager *tst_GlobalDnsBackends::manager(const QString &kind)
{
    const QString backups = m_root + QStringLiteral("/state/dns-backup.ini");
    AdapterDnsBackend *backend = kind == QLatin1String("resolvconf")
            ? static_cast<AdapterDnsBackend *>(new ResolvconfDnsBackend(m_root + QStringLiteral("/sbin/resolvconf"),
                    m_root + QStringLiteral("/run/resolvconf"), backups))
            : new FileDnsBackend(m_resolvConf, backups);
    auto *result = new NetworkInterfaceManager(QHostAddress(QStringLiteral("127.0.0.1")), backend,
            new IniAdapterEnumerator(m_root + QStringLiteral("/adapters.ini")), QStringLiteral("test"));
    result->initialise();
    return result;
}

void tst_GlobalDnsBackends::protectAndRestore_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("link");
    QTest::newRow("plain file") << QStringLiteral("file") << false;
    QTest::newRow("file that is a link") << QStringLiteral("file") << true;
    QTest::newRow("resolvconf") << QStringLiteral("resolvconf") << false;
}

void tst_GlobalDnsBackends::protectAndRestore()
{
    QFETCH(QString, kind);
    QFETCH(bool, link);
    const QString target = m_root + QStringLiteral("/run/other/resolv.conf");
    if (link) {
        QVERIFY(TestSupport::writeFile(target, OwnFile));
        QVERIFY(QFile::remove(m_resolvConf));
        QVERIFY(QFile::link(target, m_resolvConf));
    }
    QScopedPointer<NetworkInterfaceManager> control(manager(kind));
    control->setDnsOnInterfaces(true);
    QCOMPARE(QSettings().value(QStringLiteral("interfaces/eth0/Ip4NameServer")).toString(),
            kind == QLatin1String("file") ? QStringLiteral("192.0.2.1 192.0.2.2") : QStringLiteral("192.0.2.1"));
    if (kind == QLatin1String("file")) {
        const QByteArray ours = readAll(m_resolvConf);
        QVERIFY2(ours.contains("\nnameserver 127.0.0.1\n") && !ours.contains("192.0.2.1"), ours.constData());
        QVERIFY2(ours.contains("\nsearch corp.example\n") && ours.contains("\noptions edns0\n"), ours.constData());
        QVERIFY(!QFileInfo(m_resolvConf).isSymLink());
        QCOMPARE(readAll(target), link ? OwnFile : QByteArray());
    } else {
        QTRY_COMPARE(readAll(record()), QByteArray("nameserver 127.0.0.1\n"));
    }

    control->setDnsOnInterfaces(false);
    QTRY_VERIFY(!QFileInfo::exists(record()));
    QCOMPARE(readAll(m_resolvConf), OwnFile);
    QCOMPARE(QFileInfo(m_resolvConf).symLinkTarget(), link ? target : QString());
    QCOMPARE(readAll(m_root + QStringLiteral("/run/resolvconf/interface/eth0.dhclient")), QByteArray("nameserver 192.0.2.1\n"));
    QVERIFY(!QSettings().contains(QStringLiteral("interfaces/eth0/Ip4NameServer")));
}

void tst_GlobalDnsBackends::rewrittenBehindOurBack_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file") << QStringLiteral("file");
    QTest::newRow("resolvconf") << QStringLiteral("resolvconf");
}

void tst_GlobalDnsBackends::rewrittenBehindOurBack()
{
    QFETCH(QString, kind);
    QScopedPointer<NetworkInterfaceManager> control(manager(kind));
    control->setDnsOnInterfaces(true);
    QTRY_VERIFY(QFileInfo::exists(record()) || kind == QLatin1String("file"));
    const QByteArray dhcp = "nameserver 192.0.2.50\n";
    LogCapture log;
    if (kind == QLatin1String("file")) {
        // As dhclient does: a new file renamed over the old one. The file's watch notices.
        QVERIFY(TestSupport::writeFile(m_resolvConf + QStringLiteral(".new"), dhcp));
        QVERIFY(::rename(QFile::encodeName(m_resolvConf + QStringLiteral(".new")).constData(),
                        QFile::encodeName(m_resolvConf).constData()) == 0);
        QTRY_VERIFY(readAll(m_resolvConf).contains("nameserver 127.0.0.1\n"));
    } else {
        QVERIFY(QFile::remove(record()));
        // Rechecked on every interface change.
        control->interfacesChanged();
        QTRY_COMPARE(readAll(record()), QByteArray("nameserver 127.0.0.1\n"));
    }
    QVERIFY2(log.warnings().size() == 1, qPrintable(log.dump()));
    control->setDnsOnInterfaces(false);
    QTRY_VERIFY(!QFileInfo::exists(record()));
    // The other program's newer file is what comes back.
    QCOMPARE(readAll(m_resolvConf), kind == QLatin1String("file") ? dhcp : OwnFile);
}

// A run killed while protecting, then a reboot at which another program wrote its own
// resolv.conf: the next start must not put the out-of-date backup over it.
void tst_GlobalDnsBackends::backupFromBeforeRebootIsDropped()
{
    const QString backups = m_root + QStringLiteral("/state/dns-backup.ini");
    QByteArray leftBackup;
    QString leftStore;
    {
        QScopedPointer<NetworkInterfaceManager> control(manager(QStringLiteral("file")));
        control->setDnsOnInterfaces(true);
        leftBackup = readAll(backups);
        leftStore = QSettings().value(QStringLiteral("interfaces/eth0/Ip4NameServer")).toString();
    }
    QVERIFY(!leftBackup.isEmpty() && !leftStore.isEmpty());
    const QByteArray fresh = "nameserver 192.0.2.77\n";
    QVERIFY(TestSupport::writeFile(m_resolvConf, fresh));
    QVERIFY(TestSupport::writeFile(backups, leftBackup));
    QSettings().setValue(QStringLiteral("interfaces/eth0/Ip4NameServer"), leftStore);

    QScopedPointer<NetworkInterfaceManager> control(manager(QStringLiteral("file")));
    QCOMPARE(readAll(m_resolvConf), fresh);
    QVERIFY(!QSettings(backups, QSettings::IniFormat).contains(QStringLiteral("resolv.conf/Content")));
    QVERIFY(!QSettings().contains(QStringLiteral("interfaces/eth0/Ip4NameServer")));
}

QTEST_GUILESS_MAIN(tst_GlobalDnsBackends)
#include "tst_globaldnsbackends.moc"

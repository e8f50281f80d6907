#include "agenttestrig.h"
#include "messagedialog.h"
#include "profilelistmodel.h"
#include "systeminformationdialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// A folder no one may write into: its permissions, and for a superuser, who ignores them,
// the file system's immutable flag as well.
bool setReadOnly(const QString &folder, bool readOnly)
{
    QFile::setPermissions(folder, readOnly ? QFile::ReadOwner | QFile::ExeOwner
                                           : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (::geteuid() != 0)
        return true;
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int flags = 0;
    bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = readOnly ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

} // namespace

// The support report: the client's own lines with or without the service, the service's
// part, one call at a time, and a save that is whole or nothing.
class TestSystemInformation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void report_data();
    void report();
    void oneCallAtATime();
    void save_data();
    void save();

private:
    QString requestReport();
    std::unique_ptr<AgentTestRig> rig;
};

void TestSystemInformation::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Agent"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.2.1.3"));
    initAgentResources();
    qRegisterMetaType<QDialog *>();
    // The package database as dpkg-query prints it, with packages that are not reported.
    const QString dpkg = TestSupport::scratchDirectory(QStringLiteral("dpkg")) + QStringLiteral("/dpkg-query");
    QVERIFY(TestSupport::writeFile(dpkg, "#!/bin/sh\nprintf 'ii \\tcorvane-agent\\t3.2.1.3\\n"
                                         "ii \\tcoreutils\\t9.1-1\\nii \\tsystemd-resolved\\t252.30-1\\n"
                                         "rc \\tdnsmasq\\t2.89-1\\n'\n"));
    QVERIFY(QFile::setPermissions(dpkg, QFile::ReadOwner | QFile::ExeOwner));
    qputenv("CORVANE_DPKG_QUERY", QFile::encodeName(dpkg));
}

void TestSystemInformation::init()
{
    AgentTestRig::resetSettings(false);
    rig = std::make_unique<AgentTestRig>();
}

void TestSystemInformation::cleanup()
{
    rig.reset();
}

QString TestSystemInformation::requestReport()
{
    QSignalSpy shown(rig->agent.get(), &Agent::systemInformationShown);
    QTest::mouseClick(rig->find<QAbstractButton>("helpButton_"), Qt::LeftButton);
    QTest::mouseClick(rig->find<QAbstractButton>("helpSystemInformationButton_"), Qt::LeftButton);
    if (!shown.wait(5000) && shown.isEmpty())
        return QString();
    auto *dialog = qobject_cast<SystemInformationDialog *>(shown.first().first().value<QDialog *>());
    return dialog ? dialog->text() : QString();
}

void TestSystemInformation::report_data()
{
    QTest::addColumn<QString>("account"); // "none" (no service), "sample", "empty", "failing"
    QTest::addColumn<QStringList>("lines");

    const QString software = QStringLiteral("Installed software: \nName             | Version\n"
                                            "corvane-agent    | 3.2.1.3\nsystemd-resolved | 252.30-1");
    const QString head = QStringLiteral("Agent: Corvane Agent\nVersion: 3.2.1.3\n");
    QTest::newRow("service stopped")
        << "none" << QStringList{head + QStringLiteral("Service connection: no\n") + software};
    QTest::newRow("account with profiles")
        << "sample"
        << QStringList{head + QStringLiteral("Service connection: yes\n") + software,
                       QStringLiteral("User is identified: yes\nProtection is turned on: yes\nProfiles: \n"
                                      "Active | Id | Default | Schedule | WhiteListOnly | BlockUnknown | "
                                      "SafeSearch | SafeYoutube | Name\n"
                                      "yes    | 11 | yes     | no       | no            | no           | "
                                      "no         | no          | Kids\n"),
                       QStringLiteral("Network connections: \nName  | FriendlyName       | Protected\n"
                                      "eth0  | Wired connection 1 | yes\nwlan0 | Home Wi-Fi         | no\n"
                                      "Local DNS: 127.0.0.1:53\n")};
    QTest::newRow("account without profiles")
        << "empty"
        << QStringList{QStringLiteral("Service connection: yes\n"),
                       QStringLiteral("Profiles: no\nNetwork connections: no\nLocal DNS: 127.0.0.1:53\n")};
    QTest::newRow("the service cannot collect")
        << "failing" << QStringList{QStringLiteral("\nService couldn't collect system information")};
}

void TestSystemInformation::report()
{
    QFETCH(QString, account);
    QFETCH(QStringList, lines);
    if (account == QLatin1String("sample") || account == QLatin1String("failing"))
        rig->service.useSampleAccount();
    if (account == QLatin1String("failing"))
        rig->service.failures.insert(QStringLiteral("systemInfo"), ::Error(9, QStringLiteral("no")));
    if (account != QLatin1String("none"))
        QVERIFY(rig->service.start(rig->socketPath));
    rig->startAgent();
    QVERIFY(rig->waitFor(account == QLatin1String("none") ? Agent::State::Unconnected : Agent::State::Identified));
    if (account == QLatin1String("sample"))
        QTRY_COMPARE(rig->agent->profileListModel()->rowCount(), 2);

    const QString text = requestReport();
    for (const QString &expected : qAsConst(lines))
        QVERIFY2(text.contains(expected), qPrintable(text));
    QCOMPARE(rig->service.count(QStringLiteral("systemInfo")), account == QLatin1String("none") ? 0 : 1);
    if (account == QLatin1String("none"))
        QVERIFY2(text.endsWith(QLatin1String("systemd-resolved | 252.30-1")), qPrintable(text));
}

void TestSystemInformation::oneCallAtATime()
{
    rig->service.useSampleAccount();
    rig->service.holdSystemInfo = true;
    QVERIFY(rig->service.start(rig->socketPath));
    rig->startAgent();
    QVERIFY(rig->waitFor(Agent::State::Identified));
    QSignalSpy shown(rig->agent.get(), &Agent::systemInformationShown);
    QTest::mouseClick(rig->find<QAbstractButton>("helpButton_"), Qt::LeftButton);
    for (int i = 0; i < 2; ++i)
        Q_EMIT rig->agent->window()->systemInformationRequested();
    QTRY_COMPARE(rig->service.pendingSystemInfo.size(), 1);
    QTRY_COMPARE(rig->agent->window()->findChildren<MessageDialog *>().size(), 2);
    QTest::qWait(100);
    QCOMPARE(rig->service.count(QStringLiteral("systemInfo")), 1);
    QVERIFY(shown.isEmpty());

    rig->service.pendingSystemInfo.takeFirst().callback(QStringLiteral("Collected\n"));
    QTRY_COMPARE(shown.size(), 1);
    QTRY_VERIFY(rig->agent->window()->findChildren<MessageDialog *>().isEmpty());
}

void TestSystemInformation::save_data()
{
    QTest::addColumn<QString>("planted"); // what the chosen name is before the save
    QTest::addColumn<bool>("saved");

    QTest::newRow("new file") << "nothing" << true;
    QTest::newRow("an older report replaced") << "file" << true;
    QTest::newRow("a symbolic link to another file") << "symlink" << true;
    QTest::newRow("the name is a folder") << "folder" << false;
    QTest::newRow("read-only folder") << "read-only" << false;
}

void TestSystemInformation::save()
{
    QFETCH(QString, planted);
    QFETCH(bool, saved);
    const QString root = TestSupport::scratchDirectory(QStringLiteral("save-") + QTest::currentDataTag());
    const QString folder = root + QStringLiteral("/reports");
    const QString victim = root + QStringLiteral("/victim.txt");
    const QString path = folder + QStringLiteral("/report.txt");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(TestSupport::writeFile(victim, "keep me"));
    if (planted == QLatin1String("file"))
        QVERIFY(TestSupport::writeFile(path, "an older, longer report"));
    else if (planted == QLatin1String("symlink"))
        QVERIFY(QFile::link(victim, path));
    else if (planted == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const bool readOnly = planted == QLatin1String("read-only");
    if (readOnly && !setReadOnly(folder, true)) {
        setReadOnly(folder, false);
        QSKIP("this file system cannot make the folder read-only for this user");
    }

    const QString text = QStringLiteral("Agent: Corvane Agent\nVersion: 3.2.1.3\n\u00e9");
    SystemInformationDialog dialog(text);
    const bool result = dialog.saveTo(path);
    if (readOnly)
        QVERIFY(setReadOnly(folder, false));
    QCOMPARE(result, saved);
    QFile victimFile(victim);
    QVERIFY(victimFile.open(QIODevice::ReadOnly));
    QCOMPARE(victimFile.readAll(), QByteArray("keep me"));
    // Nothing else is left in the folder: no temporary file, no partial report.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             saved ? QStringList{QStringLiteral("report.txt")} : before);
    if (saved) {
        QVERIFY(!QFileInfo(path).isSymLink());
        QFile report(path);
        QVERIFY(report.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(report.readAll()), text);
    }
}

QTEST_MAIN(TestSystemInformation)
#include "tst_systeminformation.moc"

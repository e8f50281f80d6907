#include "agentmain.h"
#include "agentsettings.h"
#include "appupdater.h"
#include "fakedownloadserver.h"
#include "sysinfo.h"
#include "testsupport.h"
#include "updatedialog.h"
#include "updateplatform_linux.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Says where the program came from and records what it is asked to open.
class FakeUpdatePlatform : public UpdatePlatform
{
public:
    bool fromRepository = false;
    QStringList opened;

    void queryInstallOrigin() override
    {
        QMetaObject::invokeMethod(this, [this] { Q_EMIT installOriginKnown(fromRepository); }, Qt::QueuedConnection);
    }
    void openInstaller(const QString &path) override
    {
        opened << path;
        Q_EMIT installerOpened(true);
    }
};

const QString VersionPath = QStringLiteral("/download/en-generic-agent.version");
const QString InstallerPath = QStringLiteral("/download/en-generic-agent.deb");

} // namespace

// The update checker against a download location on loopback (a fake one, and the
// reference account service's static folder over HTTPS), with the system's side faked.
class TestAppUpdater : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void check_data();
    void check();
    void downloadAndOpen_data();
    void downloadAndOpen();
    void downloadFailureLeavesNothing();
    void fromRepositoryOffersNoDownload();
    void certificatesAreChecked_data();
    void certificatesAreChecked();
    void installOrigin_data();
    void installOrigin();
    void installerRetriedElevated();

private:
    bool checkNow();
    FakeUpdatePlatform *m_platform = nullptr;
    std::unique_ptr<AppUpdater> m_updater;
    std::unique_ptr<FakeDownloadServer> m_server;
};

void TestAppUpdater::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Agent"));
    initAgentResources();
}

void TestAppUpdater::init()
{
    QSettings().clear();
    m_server = std::make_unique<FakeDownloadServer>();
    QVERIFY(m_server->start());
    QSettings().setValue(AgentSettings::UpdateLocationKey, m_server->url(QStringLiteral("/download/")).toString());
    m_updater = std::make_unique<AppUpdater>();
    m_platform = new FakeUpdatePlatform;
    m_updater->setPlatform(m_platform);
}

void TestAppUpdater::cleanup()
{
    m_updater.reset();
    m_server.reset();
    QFile::remove(AppUpdater::installerTarget());
}

bool TestAppUpdater::checkNow()
{
    QSignalSpy finished(m_updater.get(), &AppUpdater::checkFinished);
    m_updater->check();
    return finished.count() == 1 || finished.wait(10000);
}

void TestAppUpdater::check_data()
{
    QTest::addColumn<QByteArray>("versionFile"); // empty: none there (404)
    QTest::addColumn<QString>("location");       // empty: the fake server's
    QTest::addColumn<QString>("offeredUrl");     // empty: no dialog; "installer": the fixed one
    QTest::addColumn<QString>("error");          // the start of errorText()

    QTest::newRow("newer, no dl line: the fixed installer") << QByteArray("3.2.1.4\nNotes") << QString()
                                                            << "installer" << QString();
    QTest::newRow("newer, dl line: its address") << QByteArray("3.3\ndl:https://dl.corvane.example/a.deb\n")
                                                 << QString() << "https://dl.corvane.example/a.deb" << QString();
    QTest::newRow("dl line on loopback http") << QByteArray("3.3\ndl:http://127.0.0.1:9/a.deb\n") << QString()
                                              << "http://127.0.0.1:9/a.deb" << QString();
    QTest::newRow("dl line on plain http elsewhere: refused")
        << QByteArray("3.3\ndl:http://dl.corvane.example/a.deb\n") << QString() << QString()
        << "The address http://dl.corvane.example/a.deb is not secure";
    QTest::newRow("dl line not an address") << QByteArray("3.3\ndl:/a.deb\n") << QString() << QString()
                                            << "Invalid download url";
    QTest::newRow("the current version") << QByteArray("3.2.1.3\n") << QString() << QString() << QString();
    QTest::newRow("not a version") << QByteArray("<html>\n") << QString() << QString() << QString();
    QTest::newRow("no version file") << QByteArray() << QString() << QString() << "Error transferring";
    QTest::newRow("location on plain http elsewhere: not asked")
        << QByteArray("3.3\n") << "http://updates.corvane.example/download" << QString()
        << "The address http://updates.corvane.example/download/en-generic-agent.version is not secure";
}

void TestAppUpdater::check()
{
    QFETCH(QByteArray, versionFile);
    QFETCH(QString, location);
    QFETCH(QString, offeredUrl);
    QFETCH(QString, error);
    if (!versionFile.isEmpty())
        m_server->files.insert(VersionPath, versionFile);
    if (!location.isEmpty())
        QSettings().setValue(AgentSettings::UpdateLocationKey, location);

    QVERIFY(checkNow());
    QVERIFY2(m_updater->errorText().startsWith(error), qPrintable(m_updater->errorText()));
    QCOMPARE(m_updater->dialog() != nullptr, !offeredUrl.isEmpty());
    QCOMPARE(m_updater->hasNewVersion(), !offeredUrl.isEmpty());
    if (offeredUrl == QLatin1String("installer"))
        offeredUrl = m_server->url(InstallerPath).toString();
    if (!offeredUrl.isEmpty())
        QCOMPARE(m_updater->downloadUrl().toString(), offeredUrl);
    if (location.isEmpty())
        QCOMPARE(m_server->requests.value(0).userAgent, SysInfo::userAgent());
    else
        QVERIFY(m_server->requests.isEmpty());
}

void TestAppUpdater::downloadAndOpen_data()
{
    QTest::addColumn<bool>("contentLength");
    QTest::newRow("with content length") << true;
    QTest::newRow("no content length reported") << false;
}

// Install: the package is written whole under its target name and opened; the progress
// bar reaches 100 percent, also when the server never said how long the package is.
void TestAppUpdater::downloadAndOpen()
{
    QFETCH(bool, contentLength);
    const QByteArray package(300 * 1024 + 7, 'p');
    m_server->files.insert(VersionPath, "3.2.1.4\n");
    m_server->files.insert(InstallerPath, package);
    m_server->sendContentLength = contentLength;
    QVERIFY(checkNow());
    UpdateDialog *dialog = m_updater->dialog();
    QVERIFY(dialog && dialog->isVisible());

    QSignalSpy finished(m_updater.get(), &AppUpdater::finished);
    QTest::mouseClick(dialog->findChild<QAbstractButton *>(QStringLiteral("updateInstallButton_")), Qt::LeftButton);
    QVERIFY(finished.wait(10000));
    QTRY_COMPARE(m_platform->opened, QStringList{AppUpdater::installerTarget()});
    QFile target(AppUpdater::installerTarget());
    QVERIFY(target.open(QIODevice::ReadOnly));
    QVERIFY(target.readAll() == package);
    QCOMPARE(dialog->progress(), 100);
    QVERIFY(!dialog->isVisible());
    // Nothing but the installer is left beside it.
    const QStringList files = QFileInfo(target).dir().entryList({QStringLiteral("en-generic-agent*")}, QDir::Files);
    QCOMPARE(files, QStringList{AppUpdater::InstallerFileName});
}

void TestAppUpdater::downloadFailureLeavesNothing()
{
    m_server->files.insert(VersionPath, "3.2.1.4\n");
    QVERIFY(checkNow());
    QSignalSpy finished(m_updater.get(), &AppUpdater::finished);
    m_updater->dialog()->download();
    QVERIFY(finished.wait(10000));
    QVERIFY(m_updater->installerFileName().isEmpty());
    auto *error = m_updater->dialog()->findChild<QLabel *>(QStringLiteral("updateError_"));
    QVERIFY2(error->text().startsWith(QLatin1String("<b style=\"color:red\">Error transferring")), qPrintable(error->text()));
    QVERIFY(m_platform->opened.isEmpty());
    const QDir folder = QFileInfo(AppUpdater::installerTarget()).dir();
    QCOMPARE(folder.entryList({QStringLiteral("en-generic-agent*")}, QDir::Files), QStringList());
}

void TestAppUpdater::fromRepositoryOffersNoDownload()
{
    m_platform->fromRepository = true;
    m_server->files.insert(VersionPath, "3.2.1.4\n");
    QVERIFY(checkNow());
    UpdateDialog *dialog = m_updater->dialog();
    QVERIFY(dialog);
    QVERIFY(!dialog->findChild<QWidget *>(QStringLiteral("updateInstallButton_"))->isVisibleTo(dialog));
    QVERIFY(dialog->findChild<QWidget *>(QStringLiteral("updateRepositoryText_"))->isVisibleTo(dialog));
    m_updater->download();
    QCOMPARE(m_server->requests.size(), 1);
}

// The reference account service's download folder over HTTPS: trusted only with its CA.
void TestAppUpdater::certificatesAreChecked_data()
{
    QTest::addColumn<bool>("withCa");
    QTest::newRow("the stand-ins' CA trusted") << true;
    QTest::newRow("an unknown CA") << false;
}

void TestAppUpdater::certificatesAreChecked()
{
    QFETCH(bool, withCa);
    const QString state = TestSupport::scratchDirectory(QStringLiteral("cabinet"));
    QVERIFY(TestSupport::writeFile(state + QStringLiteral("/static/en-generic-agent.version"), "3.2.1.4\n"));
    QVERIFY(TestSupport::writeFile(state + QStringLiteral("/static/en-generic-agent.deb"), QByteArray(4096, 'd')));
    QProcess cabinet;
    cabinet.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    cabinet.start(QStringLiteral("python3"),
                  {QStringLiteral(CORVANE_TEST_DATA_DIR "/../../tools/corvane-reference-cabinet/corvane-reference-cabinet"),
                   QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--state"), state,
                   QStringLiteral("--static"), state + QStringLiteral("/static"), QStringLiteral("--exit-with-parent")});
    QString output;
    while (!output.contains(QLatin1String("sign in as")) && cabinet.waitForReadyRead(20000))
        output += QString::fromUtf8(cabinet.readAll());
    const QRegularExpressionMatch serving = QRegularExpression(QStringLiteral("serving (https://\\S+)")).match(output);
    QVERIFY2(serving.hasMatch(), qPrintable(output));
    QSettings().setValue(AgentSettings::UpdateLocationKey, serving.captured(1) + QStringLiteral("/download"));
    if (withCa)
        QSettings().setValue(AgentSettings::UpdateCaFileKey, state + QStringLiteral("/ca.pem"));

    QVERIFY(checkNow());
    QCOMPARE(m_updater->hasNewVersion(), withCa);
    if (withCa) {
        QSignalSpy finished(m_updater.get(), &AppUpdater::finished);
        m_updater->download();
        QVERIFY(finished.wait(10000));
        QTRY_COMPARE(m_platform->opened.size(), 1);
        QCOMPARE(QFileInfo(AppUpdater::installerTarget()).size(), 4096);
    } else {
        QVERIFY2(m_updater->errorText().contains(QLatin1String("SSL")),
                 qPrintable(m_updater->errorText()));
    }
    cabinet.terminate();
    cabinet.waitForFinished(10000);
}

void TestAppUpdater::installOrigin_data()
{
    QTest::addColumn<QByteArray>("policy");
    QTest::addColumn<bool>("fromRepository");

    const QByteArray head = "corvane-agent:\n  Installed: 3.2.1.3\n  Candidate: 3.2.1.3\n  Version table:\n";
    QTest::newRow("from a repository")
        << head + " *** 3.2.1.3 500\n        500 http://deb.example/debian bookworm/main amd64 Packages\n"
                  "        100 /var/lib/dpkg/status\n"
        << true;
    QTest::newRow("a local package file")
        << head + " *** 3.2.1.3 100\n        100 /var/lib/dpkg/status\n" << false;
    QTest::newRow("installed locally, a newer one in a repository")
        << head + "     3.2.1.4 500\n        500 https://deb.example/debian bookworm/main amd64 Packages\n"
                  " *** 3.2.1.3 100\n        100 /var/lib/dpkg/status\n"
        << true;
    QTest::newRow("not installed") << QByteArray("corvane-agent:\n  Installed: (none)\n  Candidate: 3.2.1.4\n"
                                                 "  Version table:\n     3.2.1.4 500\n        500 "
                                                 "http://deb.example/debian bookworm/main amd64 Packages\n")
                                   << false;
    QTest::newRow("unknown to apt") << QByteArray() << false;
}

void TestAppUpdater::installOrigin()
{
    QFETCH(QByteArray, policy);
    QFETCH(bool, fromRepository);
    QCOMPARE(LinuxUpdatePlatform::isFromRepository(policy), fromRepository);
}

// xdg-open refuses (exit 4): the package is installed through pkexec instead.
void TestAppUpdater::installerRetriedElevated()
{
    const QString folder = TestSupport::scratchDirectory(QStringLiteral("tools"));
    const QString record = folder + QStringLiteral("/pkexec.args");
    QVERIFY(TestSupport::writeFile(folder + QStringLiteral("/xdg-open"), "#!/bin/sh\nexit 4\n"));
    QVERIFY(TestSupport::writeFile(folder + QStringLiteral("/pkexec"),
                                   "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + QFile::encodeName(record) + "\n"));
    for (const char *tool : {"/xdg-open", "/pkexec"})
        QVERIFY(QFile::setPermissions(folder + QLatin1String(tool), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    qputenv("CORVANE_XDG_OPEN", QFile::encodeName(folder + QStringLiteral("/xdg-open")));
    qputenv("CORVANE_PKEXEC", QFile::encodeName(folder + QStringLiteral("/pkexec")));

    LinuxUpdatePlatform platform;
    QSignalSpy opened(&platform, &UpdatePlatform::installerOpened);
    platform.openInstaller(QStringLiteral("/run/user/1000/en-generic-agent.deb"));
    QVERIFY(opened.wait(10000));
    QCOMPARE(opened.first().first().toBool(), true);
    QFile args(record);
    QVERIFY(args.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(args.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
             LinuxUpdatePlatform::elevatedInstallArguments(QStringLiteral("/run/user/1000/en-generic-agent.deb")));
    qunsetenv("CORVANE_XDG_OPEN");
    qunsetenv("CORVANE_PKEXEC");
}

QTEST_MAIN(TestAppUpdater)
#include "tst_appupdater.moc"

// corvane-agent-screenshots --output DIR [--language TAG] [--service SOCKET --password TEXT]
//
// Runs the desktop client's Agent against a scripted fake service, puts it into each state
// and onto each page, and saves a PNG of the window (and of the tray menu) for every step.
// With --service it runs against the real service on that socket instead (signed in to the
// reference account service) and walks the pages that show the account's data, the update
// offer of the download location and the support report.
// Meant to run under a real X server (tools/agent-screenshots.sh starts Xvfb). Prints the
// files it wrote; exits non-zero when a step does not reach its state.

#include "agent.h"
#include "agentmain.h"
#include "fakeservice.h"
#include "networks.h"
#include "agentsettings.h"
#include "appupdater.h"
#include "fakedownloadserver.h"
#include "updatedialog.h"
#include "categorytreemodel.h"
#include "domainlistmodel.h"
#include "profilelistmodel.h"
#include "statusicons.h"
#include "trayicon.h"
#include "window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QDialog>
#include <QSignalSpy>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTest>

#include <cstdio>
#include <functional>

namespace {

QString g_output;
int g_failures = 0;

bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 8000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(10);
    }
    return true;
}

void settle()
{
    QDeadlineTimer deadline(300);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void save(QWidget *widget, const QString &name)
{
    settle();
    const QString path = g_output + QLatin1Char('/') + name + QStringLiteral(".png");
    if (widget->grab().save(path))
        std::printf("%s\n", qPrintable(path));
    else
        ++g_failures;
}

void expect(bool reached, const char *what)
{
    if (!reached) {
        std::fprintf(stderr, "step not reached: %s\n", what);
        ++g_failures;
    }
}

template<typename T>
T *find(Agent &agent, const char *name)
{
    return agent.window()->findChild<T *>(QLatin1String(name));
}

void click(Agent &agent, const char *name)
{
    settle(); // a tab just made current is laid out first
    QTest::mouseClick(find<QAbstractButton>(agent, name), Qt::LeftButton);
}

// A check box takes clicks on its box and text only; the box is on the right in a
// right-to-left layout.
void clickBox(Agent &agent, const char *name)
{
    settle();
    auto *box = find<QAbstractButton>(agent, name);
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

void clickIn(QWidget *parent, const char *name)
{
    settle();
    QTest::mouseClick(parent->findChild<QAbstractButton *>(QLatin1String(name)), Qt::LeftButton);
}

// A program that prints the text and exits 0, as a stand-in for a system tool.
QString script(const QString &name, const QByteArray &output)
{
    const QString path = g_output + QStringLiteral("/.") + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("#!/bin/sh\ncat <<'EOF'\n" + output + "\nEOF\n");
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return path;
}

void typeInto(Agent &agent, const char *name, const QString &text)
{
    QLineEdit *field = find<QLineEdit>(agent, name);
    field->setFocus();
    field->clear();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

void saveMenu(QMenu *menu, const QString &name, const QPoint &at)
{
    menu->popup(at);
    waitUntil([menu] { return menu->isVisible(); }, 2000);
    save(menu, name);
}

// The tray icons of the four levels and the menu icons at the panel sizes, on a light and
// on a dark panel.
void saveIconSheet(const QString &name)
{
    const QStringList resources = {":/tray/error", ":/tray/warning", ":/tray/information", ":/tray/ok",
                                   ":/tray/protection/on", ":/tray/protection/off", ":/tray/exit",
                                   ":/profileIndicator/icon", ":/control/configure/idle",
                                   ":/control/configure/hover", ":/control/configure/pressed",
                                   ":/control/configure/disabled", ":/control/remove/idle", ":/control/remove/hover",
                                   ":/control/remove/pressed", ":/control/remove/disabled"};
    const int sizes[] = {16, 22, 24};
    const QColor panels[] = {QColor(240, 240, 240), QColor(32, 32, 36)};
    QPixmap sheet(8 + resources.size() * 84, 2 * 40 + 8);
    sheet.fill(Qt::gray);
    QPainter painter(&sheet);
    for (int p = 0; p < 2; ++p) {
        painter.fillRect(QRect(0, 4 + p * 40, sheet.width(), 36), panels[p]);
        for (int r = 0; r < resources.size(); ++r) {
            const QIcon icon = StatusIcons::svgIcon(resources.at(r));
            int x = 8 + r * 84;
            for (int size : sizes) {
                painter.drawPixmap(x, 4 + p * 40 + (36 - size) / 2, icon.pixmap(size, size));
                x += size + 4;
            }
        }
    }
    painter.end();
    const QString path = g_output + QLatin1Char('/') + name + QStringLiteral(".png");
    if (sheet.scaled(sheet.size() * 2).save(path))
        std::printf("%s\n", qPrintable(path));
}

// Against the real service: the pages as they show the account it is signed in to.
int realService(const QString &socket, const QString &password, const QString &prefix)
{
    Agent agent(AgentOptions{});
    agent.setSystemTrayAvailable(true);
    agent.connection()->setSocketPath(socket);
    agent.start();
    Window *window = agent.window();
    window->show();
    expect(waitUntil([&] { return agent.state() == Agent::State::Identified; }, 30000), "identified");
    expect(waitUntil([&] { return agent.trayIcon()->statusLevel() == 3; }, 15000), "filtering on");
    save(window, prefix + QStringLiteral("real-01-home"));
    saveMenu(agent.trayIcon()->menu(), prefix + QStringLiteral("real-02-tray-menu"), QPoint(40, 40));
    agent.trayIcon()->menu()->hide();

    click(agent, "settingsButton_");
    if (waitUntil([&] { return window->isAuthRequestCurrent(); }, 2000)) {
        save(window, prefix + QStringLiteral("real-03-password-prompt"));
        typeInto(agent, "authRequestPasswordForm_", password);
    }
    expect(waitUntil([&] { return window->currentPage()->objectName() == QLatin1String("settingsPage_"); }), "settings");
    click(agent, "commonSettingsButton_");
    find<QTabWidget>(agent, "commonSettingsTabs_")->setCurrentIndex(1);
    save(window, prefix + QStringLiteral("real-04-network-connections"));

    window->showSettingsPage();
    click(agent, "filterSettingsButton_");
    auto *filterTabs = find<QTabWidget>(agent, "filterSettingsTabs_");
    expect(waitUntil([&] { return agent.categoryTreeModel()->rowCount() > 0; }, 15000), "categories");
    settle();
    save(window, prefix + QStringLiteral("real-05-filter-categories"));
    filterTabs->setCurrentIndex(1);
    expect(waitUntil([&] { return agent.blackListModel()->rowCount() > 0; }, 15000), "black list");
    save(window, prefix + QStringLiteral("real-06-filter-lists"));
    filterTabs->setCurrentIndex(2);
    expect(waitUntil([&] { return agent.aliasListModel()->rowCount() > 0; }, 15000), "aliases");
    save(window, prefix + QStringLiteral("real-07-filter-aliases"));
    filterTabs->setCurrentIndex(4);
    save(window, prefix + QStringLiteral("real-08-filter-advanced"));

    window->showSettingsPage();
    click(agent, "profilesSettingsButton_");
    expect(waitUntil([&] { return agent.profileListModel()->rowCount() > 0; }), "profiles");
    save(window, prefix + QStringLiteral("real-09-profiles"));
    find<QTabWidget>(agent, "profilesSettingsTabs_")->setCurrentIndex(1);
    save(window, prefix + QStringLiteral("real-10-profiles-local-users"));

    // The update location is the reference account service's download folder, over HTTPS
    // with its own CA (the script sets both).
    click(agent, "helpButton_");
    {
        AppUpdater *updater = agent.updater();
        QSignalSpy checked(updater, &AppUpdater::checkFinished);
        click(agent, "helpCheckUpdatesButton_");
        expect(checked.wait(15000) && updater->dialog(), "update offered by the download folder");
        if (updater->dialog()) {
            save(updater->dialog(), prefix + QStringLiteral("real-11-update-offer"));
            updater->dialog()->close();
        }
    }

    QDialog *report = nullptr;
    QObject::connect(&agent, &Agent::systemInformationShown, [&](QDialog *dialog) { report = dialog; });
    click(agent, "helpSystemInformationButton_");
    expect(waitUntil([&] { return report != nullptr; }, 130000), "the service's report");
    if (report) {
        save(report, prefix + QStringLiteral("real-12-system-information"));
        report->close();
    }
    return g_failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("output"), QStringLiteral("Folder for the pictures."), QStringLiteral("dir")});
    parser.addOption({QStringLiteral("language"), QStringLiteral("User interface language."), QStringLiteral("tag"),
                      QStringLiteral("en-US")});
    parser.addOption({QStringLiteral("service"), QStringLiteral("The real service's socket."), QStringLiteral("path")});
    parser.addOption({QStringLiteral("password"), QStringLiteral("The account's password, for the settings."),
                      QStringLiteral("text")});
    parser.process(app);
    g_output = parser.value(QStringLiteral("output"));
    const QString language = parser.value(QStringLiteral("language"));
    if (g_output.isEmpty() || !QDir().mkpath(g_output)) {
        std::fprintf(stderr, "--output DIR is needed\n");
        return 2;
    }
    initAgentResources();
    // The local users the binding tab offers.
    const QString passwd = g_output + QStringLiteral("/.passwd");
    QFile users(passwd);
    if (users.open(QIODevice::WriteOnly))
        users.write("root:x:0:0:root:/root:/bin/bash\nanna:x:1000:1000::/home/anna:/bin/bash\n"
                    "ben:x:1001:1001::/home/ben:/bin/bash\n");
    users.close();
    qputenv("CORVANE_PASSWD", QFile::encodeName(passwd));
    {
        QSettings settings(QStringLiteral("Corvane"), QStringLiteral("Agent"));
        settings.setValue(QStringLiteral("ui-lang"), language);
        settings.setValue(QStringLiteral("firststart"), false);
    }
    saveIconSheet(language + QStringLiteral("-00-icons-16-22-24-light-and-dark"));
    const QString socket = g_output + QStringLiteral("/.en-genericipc");
    const QString prefix = language + QLatin1Char('-');
    if (parser.isSet(QStringLiteral("service")))
        return realService(parser.value(QStringLiteral("service")), parser.value(QStringLiteral("password")), prefix);

    FakeService service;
    service.useSampleAccount();
    service.useSampleLists();
    Agent agent(AgentOptions{});
    agent.setSystemTrayAvailable(true);
    agent.connection()->setSocketPath(socket);
    agent.start();
    Window *window = agent.window();

    expect(waitUntil([&] { return agent.state() == Agent::State::Unconnected; }), "unconnected");
    window->show();
    save(window, prefix + QStringLiteral("01-unconnected"));

    service.identification = FakeService::Identification::None;
    expect(service.start(socket), "fake service listening");
    expect(waitUntil([&] { return agent.state() == Agent::State::Waiting; }, 12000), "waiting");
    save(window, prefix + QStringLiteral("02-waiting"));

    service.identification = FakeService::Identification::Failed;
    service.sendIdentification();
    expect(waitUntil([&] { return agent.state() == Agent::State::Unidentified; }), "unidentified");
    save(window, prefix + QStringLiteral("03-unidentified"));

    service.identification = FakeService::Identification::CredentialsRefused;
    service.sendIdentification();
    expect(waitUntil([&] { return window->isLoginFailed(); }), "sign-in failed");
    click(agent, "homeButton_"); // leads to the sign-in form while unidentified
    save(window, prefix + QStringLiteral("04-sign-in-failed"));

    typeInto(agent, "authSettingsPasswordForm_", QStringLiteral("secret"));
    expect(waitUntil([&] { return agent.state() == Agent::State::Identified; }), "identified");
    expect(waitUntil([&] { return agent.trayIcon()->statusLevel() == 3; }), "filtering on");
    save(window, prefix + QStringLiteral("05-home-filtering-on"));

    click(agent, "protectionStateButton_");
    expect(waitUntil([&] { return agent.trayIcon()->statusLevel() == 2; }), "filtering off");
    save(window, prefix + QStringLiteral("06-home-filtering-off"));
    saveMenu(agent.trayIcon()->menu(), prefix + QStringLiteral("07-tray-menu-filtering-off"), QPoint(40, 40));
    agent.trayIcon()->menu()->hide();
    click(agent, "protectionStateButton_");
    expect(waitUntil([&] { return agent.trayIcon()->statusLevel() == 3; }), "filtering on again");
    QMenu *menu = agent.trayIcon()->menu();
    saveMenu(menu, prefix + QStringLiteral("08-tray-menu"), QPoint(40, 40));
    QMenu *profiles = menu->findChild<QMenu *>(QStringLiteral("profilesMenu_"));
    saveMenu(profiles, prefix + QStringLiteral("09-tray-menu-profiles"), QPoint(40, 40));
    QMenu *pauses = menu->findChild<QMenu *>(QStringLiteral("stopFilteringMenu_"));
    saveMenu(pauses, prefix + QStringLiteral("10-tray-menu-pauses"), QPoint(40, 40));
    profiles->hide();
    pauses->hide();
    menu->hide();

    QVariantList networks = service.networks;
    service.networks = {Network(QStringLiteral("eth0"), QStringLiteral("Wired connection 1"), false).toVariant()};
    service.sendNetworks();
    expect(waitUntil([&] { return agent.trayIcon()->statusLevel() == 1; }), "no protected connection");
    save(window, prefix + QStringLiteral("11-home-no-protected-connection"));
    service.networks.clear();
    service.sendNetworks();
    settle();
    save(window, prefix + QStringLiteral("12-home-no-connections"));
    service.networks = networks;
    service.sendNetworks();
    expect(waitUntil([&] { return agent.trayIcon()->statusLevel() == 3; }), "connections back");

    service.settingsLocked = true;
    service.broadcast("setSettingsLocked", {true});
    expect(waitUntil([&] { return agent.settingsLocked(); }), "settings locked");
    click(agent, "settingsButton_");
    expect(waitUntil([&] { return window->isAuthRequestCurrent(); }), "password prompt");
    save(window, prefix + QStringLiteral("13-password-prompt"));
    typeInto(agent, "authRequestPasswordForm_", QStringLiteral("wrong"));
    expect(waitUntil([&] { return find<QLineEdit>(agent, "authRequestPasswordForm_")->property("warningStyle").toBool(); }),
           "password incorrect");
    save(window, prefix + QStringLiteral("14-password-incorrect"));
    typeInto(agent, "authRequestPasswordForm_", QStringLiteral("secret"));
    expect(waitUntil([&] { return window->currentPage()->objectName() == QLatin1String("settingsPage_"); }), "settings");
    save(window, prefix + QStringLiteral("15-settings"));

    click(agent, "commonSettingsButton_");
    auto *tabs = find<QTabWidget>(agent, "commonSettingsTabs_");
    save(window, prefix + QStringLiteral("16-common-general"));
    tabs->setCurrentIndex(1);
    save(window, prefix + QStringLiteral("17-common-network-connections"));
    tabs->setCurrentIndex(2);
    find<QLineEdit>(agent, "dnsServerForm_")->setText(QStringLiteral("256.1.1.1"));
    click(agent, "dnsServerUseButton_");
    save(window, prefix + QStringLiteral("18-common-advanced-refused-address"));

    // The filtering settings of the active profile, tab by tab.
    window->showSettingsPage();
    click(agent, "filterSettingsButton_");
    auto *filterTabs = find<QTabWidget>(agent, "filterSettingsTabs_");
    expect(waitUntil([&] { return agent.categoryTreeModel()->rowCount() > 0; }), "categories");
    save(window, prefix + QStringLiteral("22-filter-categories"));
    filterTabs->setCurrentIndex(1);
    expect(waitUntil([&] { return agent.blackListModel()->rowCount() > 0; }), "black list");
    save(window, prefix + QStringLiteral("23-filter-white-and-black-lists"));
    filterTabs->setCurrentIndex(2);
    find<QLineEdit>(agent, "aliasDomainForm_")->setText(QStringLiteral("nas.example"));
    find<QLineEdit>(agent, "aliasAddressForm_")->setText(QStringLiteral("192.0.2.300"));
    click(agent, "aliasAddButton_");
    save(window, prefix + QStringLiteral("24-filter-aliases-refused-address"));
    filterTabs->setCurrentIndex(3);
    save(window, prefix + QStringLiteral("25-filter-schedule"));
    filterTabs->setCurrentIndex(4);
    clickBox(agent, "whiteListOnlyFlag_");
    save(window, prefix + QStringLiteral("26-filter-advanced-white-list-only"));
    filterTabs->setCurrentIndex(0);
    save(window, prefix + QStringLiteral("27-filter-categories-locked"));
    clickBox(agent, "whiteListOnlyFlag_");
    // The profiles and the binding of local users.
    window->showSettingsPage();
    click(agent, "profilesSettingsButton_");
    save(window, prefix + QStringLiteral("28-profiles"));
    auto *profileTabs = find<QTabWidget>(agent, "profilesSettingsTabs_");
    profileTabs->setCurrentIndex(1);
    click(agent, "userProfileMappingAddButton_");
    save(window, prefix + QStringLiteral("29-profiles-local-users"));
    profileTabs->setCurrentIndex(0);
    auto *profileList = find<QAbstractItemView>(agent, "profileListView_");
    const QModelIndex remove = profileList->model()->index(1, ProfileListModel::RemoveColumn);
    QTest::mouseClick(profileList->viewport(), Qt::LeftButton, {}, profileList->visualRect(remove).center());
    QDialog *removeDialog = nullptr;
    expect(waitUntil([&] { return (removeDialog = window->findChild<QDialog *>(QStringLiteral("profileRemoveDialog_"))); }),
           "remove dialog");
    if (removeDialog) {
        save(removeDialog, prefix + QStringLiteral("30-profile-remove-dialog"));
        removeDialog->reject();
    }

    window->showSettingsPage();
    click(agent, "authSettingsButton_");
    save(window, prefix + QStringLiteral("19-sign-in"));
    click(agent, "helpButton_");
    save(window, prefix + QStringLiteral("20-help"));

    // An update offered by a download location on loopback.
    FakeDownloadServer downloads;
    expect(downloads.start(), "download location listening");
    downloads.files.insert(QStringLiteral("/download/en-generic-agent.version"),
                           "3.2.1.4\nA faster start, and the schedule shown for every profile.\n\n"
                           "- Categories load when their tab opens\n- Fixes for the tray menu\n");
    downloads.files.insert(QStringLiteral("/download/en-generic-agent.deb"), QByteArray(256 * 1024, 'x'));
    QSettings().setValue(AgentSettings::UpdateLocationKey, downloads.url(QStringLiteral("/download")).toString());
    qputenv("CORVANE_XDG_OPEN", "/bin/true");
    AppUpdater *updater = agent.updater();
    auto checkUpdates = [&](const char *what) {
        QSignalSpy checked(updater, &AppUpdater::checkFinished);
        click(agent, "helpCheckUpdatesButton_");
        expect(checked.wait(8000) && updater->dialog(), what);
        return updater->dialog();
    };
    if (QWidget *offer = checkUpdates("update offered")) {
        save(offer, prefix + QStringLiteral("31-update-offer"));
        clickIn(offer, "updateDetailsButton_");
        save(offer, prefix + QStringLiteral("32-update-details"));
    }
    {
        // The downloading state, held still at 45 percent.
        UpdateDialog still(updater, window);
        still.show();
        still.download();
        still.downloadProgress(45, 100);
        save(&still, prefix + QStringLiteral("33-update-downloading"));
    }
    downloads.files.remove(QStringLiteral("/download/en-generic-agent.deb"));
    if (QWidget *offer = checkUpdates("update offered again")) {
        QSignalSpy done(updater, &AppUpdater::finished);
        clickIn(offer, "updateInstallButton_");
        expect(done.wait(8000), "download failed");
        save(offer, prefix + QStringLiteral("34-update-download-failed"));
    }
    qputenv("CORVANE_APT_CACHE", QFile::encodeName(script(QStringLiteral("apt-cache"),
        "corvane-agent:\n  Installed: 3.2.1.3\n  Candidate: 3.2.1.4\n  Version table:\n"
        "     3.2.1.4 500\n        500 http://deb.corvane.example/debian bookworm/main amd64 Packages\n"
        " *** 3.2.1.3 100\n        100 /var/lib/dpkg/status")));
    if (QWidget *offer = checkUpdates("update from the repository"))
        save(offer, prefix + QStringLiteral("35-update-from-repository"));
    if (updater->dialog())
        updater->dialog()->close();

    // The support report while the service collects, and when it is done.
    service.holdSystemInfo = true;
    QDialog *report = nullptr;
    QObject::connect(&agent, &Agent::systemInformationShown, [&](QDialog *dialog) { report = dialog; });
    click(agent, "helpSystemInformationButton_");
    QDialog *wait = nullptr;
    expect(waitUntil([&] { return (wait = window->findChild<QDialog *>(QStringLiteral("messageDialog_"))); }),
           "waiting for the report");
    if (wait)
        save(wait, prefix + QStringLiteral("36-system-information-collecting"));
    expect(waitUntil([&] { return !service.pendingSystemInfo.isEmpty(); }), "report asked for");
    for (Deferred &pending : service.pendingSystemInfo)
        pending.callback(QStringLiteral("Local DNS: 127.0.0.1:53\nProfiles: name: Kids id: 11 token: 1011\n"));
    service.pendingSystemInfo.clear();
    expect(waitUntil([&] { return report != nullptr; }), "report shown");
    if (report) {
        save(report, prefix + QStringLiteral("37-system-information"));
        report->close();
        report = nullptr;
    }

    service.stop();
    expect(waitUntil([&] { return agent.state() == Agent::State::Unconnected; }), "service lost");
    save(window, prefix + QStringLiteral("21-service-lost"));
    click(agent, "helpButton_");
    click(agent, "helpSystemInformationButton_");
    expect(waitUntil([&] { return report != nullptr; }), "report without the service");
    if (report) {
        save(report, prefix + QStringLiteral("38-system-information-no-service"));
        report->close();
    }
    return g_failures == 0 ? 0 : 1;
}

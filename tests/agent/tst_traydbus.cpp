#include "fakeservice.h"
#include "networks.h"
#include "testsupport.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

// The real program's tray icon as a desktop sees it: a StatusNotifierItem on a private
// session bus (dbus-daemon started here) with its menu over com.canonical.dbusmenu, the
// program on the X11 platform of an Xvfb started here, and this test as the watcher.
namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString ItemInterface = QStringLiteral("org.kde.StatusNotifierItem");

// The panel's side: accepts registrations and says a host is there.
class Watcher : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

public:
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return m_items; }
    QStringList m_items;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service)
    {
        m_items << service;
        Q_EMIT StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString &) {}

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString &service);
};

struct MenuItem
{
    QString label;
    bool visible = true;
    bool separator = false;
};

// (ia{sv}av): id, properties, children.
QList<MenuItem> readChildren(const QDBusArgument &layout)
{
    QList<MenuItem> items;
    int id = 0;
    QVariantMap properties;
    layout.beginStructure();
    layout >> id >> properties;
    layout.beginArray();
    while (!layout.atEnd()) {
        QDBusVariant child;
        layout >> child;
        const QDBusArgument childArgument = child.variant().value<QDBusArgument>();
        QVariantMap childProperties;
        int childId = 0;
        childArgument.beginStructure();
        childArgument >> childId >> childProperties;
        childArgument.endStructure();
        MenuItem item;
        item.label = childProperties.value(QStringLiteral("label")).toString();
        item.visible = childProperties.value(QStringLiteral("visible"), true).toBool();
        item.separator = childProperties.value(QStringLiteral("type")).toString() == QLatin1String("separator");
        items << item;
    }
    layout.endArray();
    layout.endStructure();
    return items;
}

} // namespace

class TestTrayDBus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void statusFollowsLevel();
    void exitsCleanly();

private:
    void closeAgent();
    QString strictLeakOptions();
    QVariant itemProperty(const QString &name);
    QString toolTipTitle();
    // Mean colour of the largest icon pixmap (or of the icon file it names).
    QColor iconColour();
    QList<MenuItem> menu();
    bool startProcess(QProcess &process, const QString &program, const QStringList &arguments, QString *firstLine);

    QProcess m_bus;
    QProcess m_display;
    QProcess m_agent;
    QString m_busAddress;
    QString m_displayName;
    QString m_itemService;
    Watcher m_watcher;
    FakeService m_service;
    QString m_socket;
    std::unique_ptr<QDBusConnection> m_connection;
};

bool TestTrayDBus::startProcess(QProcess &process, const QString &program, const QStringList &arguments,
                                QString *firstLine)
{
    process.start(program, arguments);
    if (!process.waitForStarted(5000))
        return false;
    QDeadlineTimer deadline(10000);
    while (!process.canReadLine()) {
        if (deadline.hasExpired() || !process.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    *firstLine = QString::fromUtf8(process.readLine()).trimmed();
    return !firstLine->isEmpty();
}

void TestTrayDBus::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        QSKIP("needs dbus-daemon and Xvfb (scripts/install-deps.sh test)");
    QVERIFY(startProcess(m_bus, QStringLiteral("dbus-daemon"),
                         {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")},
                         &m_busAddress));
    QString display;
    QVERIFY(startProcess(m_display, QStringLiteral("Xvfb"),
                         {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                          QStringLiteral("800x600x24")},
                         &display));
    m_displayName = QLatin1Char(':') + display;

    m_connection = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(m_busAddress, QStringLiteral("tray-test")));
    QVERIFY(m_connection->isConnected());
    QVERIFY(m_connection->registerObject(QStringLiteral("/StatusNotifierWatcher"), &m_watcher,
                                         QDBusConnection::ExportAllContents));
    QVERIFY(m_connection->registerService(WatcherService));

    m_socket = TestSupport::scratchDirectory(QStringLiteral("tray-ipc")) + QStringLiteral("/en-genericipc");
    m_service.useSampleAccount();
    QVERIFY(m_service.start(m_socket));
}

// Closed as a second start would close it, so that it ends cleanly.
void TestTrayDBus::closeAgent()
{
    QProcess closer;
    closer.setProcessEnvironment(m_agent.processEnvironment());
    closer.start(m_agent.program(), {QStringLiteral("-c")});
    closer.waitForFinished(10000);
    if (!m_agent.waitForFinished(10000))
        m_agent.kill();
}

// The program under test runs without the project's suppressions: they name Qt Gui and
// Widgets as a whole, through which the tray's menu, actions and icons are allocated, and
// a suppressed allocation also hides everything it reaches. It leaks nothing at all when
// it ends cleanly, so any leak fails its exit status.
QString TestTrayDBus::strictLeakOptions()
{
    QString options = qEnvironmentVariable("LSAN_OPTIONS");
    options.remove(QRegularExpression(QStringLiteral("(^|:)suppressions=[^:]*")));
    return options.startsWith(QLatin1Char(':')) ? options.mid(1) : options;
}

void TestTrayDBus::cleanupTestCase()
{
    if (m_agent.state() != QProcess::NotRunning)
        closeAgent();
    for (QProcess *process : {&m_display, &m_bus}) {
        process->terminate();
        process->waitForFinished(5000);
    }
}

QVariant TestTrayDBus::itemProperty(const QString &name)
{
    QDBusMessage get = QDBusMessage::createMethodCall(m_itemService, QStringLiteral("/StatusNotifierItem"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << ItemInterface << name;
    const QDBusMessage reply = m_connection->call(get, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return QVariant();
    return reply.arguments().first().value<QDBusVariant>().variant();
}

// ToolTip is (sa(iiay)ss): icon name, icon pixmaps, title, text.
QString TestTrayDBus::toolTipTitle()
{
    const QDBusArgument argument = itemProperty(QStringLiteral("ToolTip")).value<QDBusArgument>();
    QString iconName, title, text;
    argument.beginStructure();
    argument >> iconName;
    argument.beginArray();
    while (!argument.atEnd()) {
        int width, height;
        QByteArray bytes;
        argument.beginStructure();
        argument >> width >> height >> bytes;
        argument.endStructure();
    }
    argument.endArray();
    argument >> title >> text;
    argument.endStructure();
    return title;
}

QColor TestTrayDBus::iconColour()
{
    QImage image;
    const QDBusArgument pixmaps = itemProperty(QStringLiteral("IconPixmap")).value<QDBusArgument>();
    pixmaps.beginArray();
    while (!pixmaps.atEnd()) {
        int width, height;
        QByteArray argb; // ARGB32 in network byte order
        pixmaps.beginStructure();
        pixmaps >> width >> height >> argb;
        pixmaps.endStructure();
        if (width > image.width() && argb.size() == width * height * 4) {
            image = QImage(width, height, QImage::Format_ARGB32);
            for (int i = 0; i < width * height; ++i) {
                const uchar *p = reinterpret_cast<const uchar *>(argb.constData()) + i * 4;
                image.setPixel(i % width, i / width, qRgba(p[1], p[2], p[3], p[0]));
            }
        }
    }
    pixmaps.endArray();
    if (image.isNull())
        image.load(itemProperty(QStringLiteral("IconName")).toString());
    qint64 sums[3] = {0, 0, 0};
    qint64 weight = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const int alpha = qAlpha(pixel);
            sums[0] += qRed(pixel) * alpha;
            sums[1] += qGreen(pixel) * alpha;
            sums[2] += qBlue(pixel) * alpha;
            weight += alpha;
        }
    }
    if (weight == 0)
        return QColor();
    return QColor(int(sums[0] / weight), int(sums[1] / weight), int(sums[2] / weight));
}

QList<MenuItem> TestTrayDBus::menu()
{
    const QString path = itemProperty(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    QDBusMessage call = QDBusMessage::createMethodCall(m_itemService, path, QStringLiteral("com.canonical.dbusmenu"),
                                                       QStringLiteral("GetLayout"));
    call << 0 << -1 << QStringList();
    const QDBusMessage reply = m_connection->call(call, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() < 2)
        return {};
    return readChildren(reply.arguments().at(1).value<QDBusArgument>());
}

void TestTrayDBus::statusFollowsLevel()
{
    QSignalSpy registered(&m_watcher, &Watcher::StatusNotifierItemRegistered);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
    environment.insert(QStringLiteral("DISPLAY"), m_displayName);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("CORVANE_IPC_SOCKET"), m_socket);
    environment.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORMTHEME"));
    environment.insert(QStringLiteral("LSAN_OPTIONS"), strictLeakOptions());
    m_agent.setProcessEnvironment(environment);
    m_agent.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_agent.start(QStringLiteral(CORVANE_BINARY_DIR "/agent/corvane-agent"), {QStringLiteral("-h")});
    QVERIFY(registered.wait(20000));
    m_itemService = registered.first().first().toString();

    // Identified with a protected connection, filtering on: ok, green.
    QTRY_COMPARE_WITH_TIMEOUT(toolTipTitle(), QStringLiteral("The internet is under control"), 10000);
    QColor colour = iconColour();
    QVERIFY2(colour.green() > colour.red() + 40 && colour.green() > colour.blue() + 40, qPrintable(colour.name()));

    const QList<MenuItem> items = menu();
    QStringList order;
    QStringList shown;
    for (const MenuItem &item : items) {
        order << (item.separator ? QStringLiteral("-") : item.label);
        if (item.visible)
            shown << order.last();
    }
    QCOMPARE(order, QStringList({"Start filtering", "Stop filtering", "Profiles", "-", "Exit"}));
    QCOMPARE(shown, QStringList({"Stop filtering", "Profiles", "-", "Exit"}));

    // Filtering off: information, blue; the menu offers to start it.
    m_service.globalFiltering = false;
    m_service.broadcast("setGlobalFiltering", {false});
    QTRY_COMPARE_WITH_TIMEOUT(toolTipTitle(), QStringLiteral("Filtering is turned off"), 10000);
    colour = iconColour();
    QVERIFY2(colour.blue() > colour.red() + 40 && colour.blue() > colour.green() + 40, qPrintable(colour.name()));
    QTRY_VERIFY(menu().size() == 5 && menu().at(0).visible && !menu().at(1).visible);

    // The service goes away: error, red; profiles and filtering items hidden.
    m_service.stop();
    QTRY_COMPARE_WITH_TIMEOUT(toolTipTitle(), QStringLiteral("A Corvane system service error"), 10000);
    colour = iconColour();
    QVERIFY2(colour.red() > colour.green() + 40 && colour.red() > colour.blue() + 40, qPrintable(colour.name()));
    QStringList visible;
    for (const MenuItem &item : menu()) {
        if (item.visible)
            visible << (item.separator ? QStringLiteral("-") : item.label);
    }
    QCOMPARE(visible, QStringList({"-", "Exit"}));
}

// Under LeakSanitizer a leak at exit makes the exit status non-zero.
void TestTrayDBus::exitsCleanly()
{
    QVERIFY(m_agent.state() == QProcess::Running);
    closeAgent();
    QCOMPARE(m_agent.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_agent.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestTrayDBus)
#include "tst_traydbus.moc"

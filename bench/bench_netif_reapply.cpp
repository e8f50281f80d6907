// Time from an interface change to the adapters' DNS written again, per backend: a protected
// adapter comes up while protection is on, and the clock stops when the adapter control has
// written the service's setting (configurationChanged() follows the writes). Target: under
// 200 ms for every backend.
//
//   ini:      the ini file's adapter goes up (file write -> inotify -> enumeration -> ini write)
//   file:     a veth link goes up in a private network namespace (kernel -> netlink watcher ->
//             enumeration -> resolv.conf replaced), root only
//   resolved: the same with the real systemd-resolved of the test sandbox (-> bus calls), run
//             inside tests/service/netif/resolved-sandbox.sh, root only
//
// Usage: bench_netif_reapply [rounds]   (default 20). As root the program starts itself again
// inside the sandbox, so that all three run in the same environment and the ratios compare
// like with like. Every file lives in a temporary directory.
#include "filednsbackend.h"
#include "inidnsbackend.h"
#include "networkinterfacemanager.h"
#include "resolveddnsbackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkInterface>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString Proxy = QStringLiteral("127.0.0.10");

struct Figures
{
    QString backend;
    QList<double> ms;
    QString skipped;
};

double percentile(QList<double> values, double fraction)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(qMin(values.size() - 1, int(fraction * values.size())));
}

// Runs the event loop until done() holds or timeoutMs passed; false on time-out.
template<typename Done> bool waitFor(Done done, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}

bool setLinkUp(const char *name, bool up)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    ifreq request {};
    std::strncpy(request.ifr_name, name, IFNAMSIZ - 1);
    bool ok = ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = short(up ? (request.ifr_flags | IFF_UP) : (request.ifr_flags & ~IFF_UP));
    ok = ok && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    ::close(fd);
    return ok;
}

// One round: the change, then the clock runs until configurationChanged() with the setting
// in place; afterwards the adapter goes down again and the round waits for the restore.
template<typename Change, typename Applied>
bool measure(NetworkInterfaceManager &manager, int rounds, Change change, Applied applied, Figures *figures)
{
    int changes = 0;
    QObject::connect(&manager, &NetworkInterfaceManager::configurationChanged, [&] { ++changes; });
    for (int round = 0; round < rounds; ++round) {
        const int before = changes;
        QElapsedTimer timer;
        timer.start();
        change(true);
        if (!waitFor([&] { return changes > before && applied(); }))
            return false;
        figures->ms.append(timer.nsecsElapsed() / 1e6);
        change(false);
        if (!waitFor([&] { return !applied(); }))
            return false;
    }
    return true;
}

Figures benchIni(const QString &directory, int rounds)
{
    Figures figures { QStringLiteral("ini"), {}, {} };
    const QString ini = directory + QStringLiteral("/adapters.ini");
    auto writeUp = [&](bool up) {
        QSettings file(ini, QSettings::IniFormat);
        file.setValue(QStringLiteral("Adapters/eth0/Up"), true);
        file.setValue(QStringLiteral("Adapters/eth1/Up"), up);
        file.sync();
    };
    writeUp(false);
    NetworkInterfaceManager manager(QHostAddress(Proxy), new IniDnsBackend(ini), new IniAdapterEnumerator(ini),
            QStringLiteral("bench"));
    manager.initialise();
    manager.setDnsOnInterfaces(true);
    const IniDnsBackend reader(ini);
    auto applied = [&] { return reader.value(QStringLiteral("eth1"), AdapterDnsBackend::IPv4, AdapterDnsBackend::NameServer) == Proxy; };
    if (!measure(manager, rounds, writeUp, applied, &figures))
        figures.skipped = QStringLiteral("timed out");
    return figures;
}

bool ip(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("ip"), arguments) == 0;
}

// A link of our own that is down, with its peer up so that it has carrier once up.
bool makeLink(const QString &name)
{
    return ip({ QStringLiteral("link"), QStringLiteral("add"), name, QStringLiteral("type"), QStringLiteral("veth"),
                QStringLiteral("peer"), QStringLiteral("name"), name + QLatin1Char('p') })
            && ip({ QStringLiteral("link"), QStringLiteral("set"), name + QLatin1Char('p'), QStringLiteral("up") });
}

Figures benchKernel(const QString &kind, const QString &directory, int rounds)
{
    Figures figures { kind, {}, {} };
    const QString link = kind == QLatin1String("file") ? QStringLiteral("bf0") : QStringLiteral("br0");
    if (!makeLink(link)) {
        figures.skipped = QStringLiteral("cannot create a veth link");
        return figures;
    }
    // Only this link is protected, so that its coming and going alone decides.
    QStringList others;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        if (interface.name() != link)
            others.append(interface.name());
    }
    QSettings store;
    store.clear();
    store.setValue(QStringLiteral("unprotected-networks"), others);
    store.setValue(QStringLiteral("protected-networks"), QStringList { link });
    store.sync();
    const QByteArray name = link.toLatin1();
    auto change = [&](bool up) { setLinkUp(name.constData(), up); };
    const QString resolvConf = directory + QStringLiteral("/resolv.conf");
    QFile::remove(resolvConf);
    QFile file(resolvConf);
    file.open(QIODevice::WriteOnly);
    file.write("nameserver 192.0.2.1\n");
    file.close();
    AdapterDnsBackend *backend = kind == QLatin1String("file")
            ? static_cast<AdapterDnsBackend *>(new FileDnsBackend(resolvConf, directory + QStringLiteral("/backup.ini")))
            : new ResolvedDnsBackend(directory + QStringLiteral("/backup.ini"));
    NetworkInterfaceManager manager(QHostAddress(Proxy), backend, AdapterEnumerator::createSystem(), QStringLiteral("bench"));
    manager.initialise();
    manager.setDnsOnInterfaces(true);
    std::function<bool()> applied;
    if (kind == QLatin1String("file")) {
        applied = [&] {
            QFile current(resolvConf);
            return current.open(QIODevice::ReadOnly) && current.readAll().contains("nameserver 127.0.0.10\n");
        };
    } else {
        auto *resolved = static_cast<ResolvedDnsBackend *>(backend);
        const int index = int(::if_nametoindex(name.constData()));
        applied = [resolved, index] {
            ResolvedDnsBackend::LinkSettings settings;
            return resolved->readLink(index, &settings) && !settings.servers.isEmpty()
                    && settings.servers.first().hostAddress() == QHostAddress(Proxy);
        };
    }
    if (!measure(manager, rounds, change, applied, &figures))
        figures.skipped = QStringLiteral("timed out");
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    const bool root = ::geteuid() == 0;
    const QByteArray sandbox = CORVANE_SOURCE_DIR "/tests/service/netif/resolved-sandbox.sh";
    if (root && !qEnvironmentVariableIsSet("CORVANE_IN_RESOLVED_SANDBOX")
            && !qEnvironmentVariableIsSet("CORVANE_RESOLVED_SANDBOX_UNAVAILABLE")) {
        QVector<char *> arguments { const_cast<char *>(sandbox.constData()) };
        for (int i = 0; i < argc; ++i)
            arguments.append(argv[i]);
        arguments.append(nullptr);
        ::execv(sandbox.constData(), arguments.data());
    }
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path() + QStringLiteral("/config")));
    qputenv("STATE_DIRECTORY", QFile::encodeName(scratch.path() + QStringLiteral("/state")));
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    const int rounds = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 20;
    const bool inSandbox = qEnvironmentVariableIsSet("CORVANE_IN_RESOLVED_SANDBOX");
    if (root && !inSandbox && ::unshare(CLONE_NEWNET) != 0)
        std::fprintf(stderr, "cannot make a private network namespace\n");

    QList<Figures> all;
    all.append(benchIni(scratch.path(), rounds));
    if (root)
        all.append(benchKernel(QStringLiteral("file"), scratch.path(), rounds));
    else
        all.append({ QStringLiteral("file"), {}, QStringLiteral("needs root") });
    if (inSandbox)
        all.append(benchKernel(QStringLiteral("resolved"), scratch.path(), rounds));
    else
        all.append({ QStringLiteral("resolved"), {}, qEnvironmentVariable("CORVANE_RESOLVED_SANDBOX_UNAVAILABLE", QStringLiteral("needs root")) });

    QTextStream out(stdout);
    out << "interface change -> DNS written again, " << rounds << " rounds per backend (target < 200 ms)\n";
    const double base = percentile(all.first().ms, 0.5);
    for (const Figures &figures : qAsConst(all)) {
        if (!figures.skipped.isEmpty() || figures.ms.isEmpty()) {
            out << "  " << figures.backend.leftJustified(9) << "skipped: " << figures.skipped << '\n';
            continue;
        }
        const double median = percentile(figures.ms, 0.5);
        out << "  " << figures.backend.leftJustified(9) << "median " << QString::number(median, 'f', 2) << " ms, p90 "
            << QString::number(percentile(figures.ms, 0.9), 'f', 2) << " ms, max "
            << QString::number(percentile(figures.ms, 1.0), 'f', 2) << " ms, x"
            << QString::number(base > 0 ? median / base : 0, 'f', 2) << " of ini\n";
    }
    return 0;
}

// Signs in to the reference account service with an account of 50 profiles × 5 000
// domains per list (white, black, alias) and times it until all profile data is loaded;
// then times a start from the cache alone, with the account site unreachable.
//
// Printed: wall time of the sign-in and, as the peer of the same run, of the same HTTPS
// exchanges made by a bare QNetworkAccessManager (the ratio is what the account client
// adds); the CPU time of the account client (this process) and of the reference service,
// and the client CPU of the bare exchanges (TLS and transfer, which no client can avoid),
// and both peak RSS; the cached start: until the selected profile's data is present, and
// until every profile's data has been read in the background (with the longest time the
// event loop waited meanwhile).
//
// Usage: bench_account [profiles] [domains]   (default 50 5000; everything lives in a
// temporary directory; needs python3 and openssl)
#include "configuration.h"
#include "jsoncache.h"
#include "legacyhttpcabinet.h"
#include "profiledata.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSettings>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString LoadUser = QStringLiteral("load@corvane.test");
const QString LoadPassword = QStringLiteral("load");

QByteArray peakRssOf(const QString &pid);

struct Reference
{
    QProcess process;
    QString https;
    QString ca;

    bool start(const QString &state, int profiles, int domains)
    {
        const QString script = QStringLiteral(CORVANE_SOURCE_DIR)
                + QStringLiteral("/tools/corvane-reference-cabinet/corvane-reference-cabinet");
        ca = state + QStringLiteral("/ca.pem");
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral("python3"),
                      { script, "--listen", "127.0.0.1:0", "--state", state, "--exit-with-parent",
                        "--load-account", QString::number(profiles), QString::number(domains) });
        QString output;
        while (!output.contains(QLatin1String("sign in as"))) {
            if (!process.waitForReadyRead(120000))
                return false;
            output += QString::fromUtf8(process.readAll());
        }
        const int at = output.indexOf(QLatin1String("serving "));
        https = output.mid(at + 8).section(QLatin1Char('\n'), 0, 0).trimmed();
        return true;
    }

    // User plus system CPU seconds of the service so far.
    double cpuSeconds() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
        // After the command: state is field 3; utime and stime are fields 14 and 15.
        return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
    }

    QByteArray peakRss() const { return peakRssOf(QString::number(process.processId())); }
};

double ownCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
            + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QByteArray peakRssOf(const QString &pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return "?";
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).simplified();
    }
    return "?";
}

bool allDataLoaded(const Cabinet &cabinet, int profiles)
{
    if (cabinet.profileList().size() != profiles)
        return false;
    for (quint32 id : cabinet.profileList().keys()) {
        const ProfileData *data = cabinet.profileData(id);
        if (!data || data->loadedFlags() != 31)
            return false;
    }
    return true;
}

// Runs the event loop until done() holds, looking every 10 ms: polling on every event would
// add its own cost to the figures.
void spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return;
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    look.start(10);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
}

// The exchanges of a sign-in made by a bare network access manager: the same POSTs with
// the same headers, the credentials sent up front.
double bareExchanges(const QString &base, const QSslConfiguration &tls, const QList<quint32> &ids)
{
    QList<QByteArray> bodies = { "{\"id\":1,\"jsonrpc\":\"2.0\",\"method\":\"profiles\"}",
                                 "{\"id\":2,\"jsonrpc\":\"2.0\",\"method\":\"userInfo\"}",
                                 "{\"id\":3,\"jsonrpc\":\"2.0\",\"method\":\"systemInfo\"}" };
    int id = 4;
    for (quint32 profile : ids) {
        const QByteArray p = QByteArray::number(profile);
        bodies << "{\"id\":" + QByteArray::number(id++) + ",\"jsonrpc\":\"2.0\",\"method\":\"userFilter\",\"params\":[" + p + "]}";
        for (const char *type : { "white", "black", "alias" })
            bodies << "{\"id\":" + QByteArray::number(id++) + ",\"jsonrpc\":\"2.0\",\"method\":\"domains\",\"params\":["
                            + p + ",\"" + type + "\"]}";
        bodies << "{\"id\":" + QByteArray::number(id++) + ",\"jsonrpc\":\"2.0\",\"method\":\"schedule\",\"params\":[" + p + "]}";
    }
    QNetworkAccessManager nam;
    const QByteArray authorization = "Basic " + (LoadUser + ':' + LoadPassword).toUtf8().toBase64();
    int left = bodies.size();
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray &body : qAsConst(bodies)) {
        QNetworkRequest request(QUrl(base + QStringLiteral("/api/json/v2?stamp=1")));
        request.setSslConfiguration(tls);
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json; charset=utf-8");
        request.setRawHeader("Connection", "close");
        request.setRawHeader("Authorization", authorization);
        QNetworkReply *reply = nam.post(request, body);
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, &left] {
            reply->readAll();
            reply->deleteLater();
            --left;
        });
    }
    spinUntil([&] { return left == 0; }, 300000);
    return timer.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path() + "/config"));
    qputenv("STATE_DIRECTORY", QFile::encodeName(scratch.path() + "/state"));
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Service"));
    const int profiles = argc > 1 ? atoi(argv[1]) : 50;
    const int domains = argc > 2 ? atoi(argv[2]) : 5000;

    Reference reference;
    QDir().mkpath(scratch.path() + "/reference");
    if (!reference.start(scratch.path() + "/reference", profiles, domains)) {
        fprintf(stderr, "the reference account service did not start\n");
        return 1;
    }
    QSettings settings;
    Configuration::writeDefaults(settings);
    settings.setValue(Configuration::Key::AccountSite, reference.https);
    settings.setValue(Configuration::Key::AccountSiteCaFile, reference.ca);
    settings.sync();

    printf("account: %d profiles x %d domains per list (3 lists)\n", profiles, domains);
    const double cpuBefore = reference.cpuSeconds();
    const double ownBefore = ownCpuSeconds();
    double signIn = 0;
    double ownSignIn = 0;
    QList<quint32> ids;
    QSslConfiguration tls;
    {
        LegacyHttpCabinet cabinet;
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        cabinet.setCredentials(LoadUser, LoadPassword);
        spinUntil([&] { return allDataLoaded(cabinet, profiles); }, 300000);
        signIn = timer.elapsed() / 1000.0;
        ownSignIn = ownCpuSeconds() - ownBefore;
        if (!allDataLoaded(cabinet, profiles)) {
            fprintf(stderr, "sign-in did not load all data\n");
            return 1;
        }
        ids = cabinet.profileList().keys();
        tls = cabinet.sslConfiguration();
        spinUntil([&] { return cabinet.token() != 0; }, 10000);
    }
    const double cpuSignIn = reference.cpuSeconds() - cpuBefore;

    const double cpuBareBefore = reference.cpuSeconds();
    // No cabinet may live meanwhile: one would start from the cache and sign in again.
    const double ownBareBefore = ownCpuSeconds();
    const double bare = bareExchanges(reference.https, tls, ids);
    const double ownBare = ownCpuSeconds() - ownBareBefore;
    const double cpuBare = reference.cpuSeconds() - cpuBareBefore;

    printf("sign-in to all profile data loaded: %.3f s wall; CPU: account client %.3f s, reference service %.3f s\n",
           signIn, ownSignIn, cpuSignIn);
    printf("same exchanges, bare QNetworkAccessManager: %.3f s wall; CPU: client %.3f s, reference service %.3f s\n",
           bare, ownBare, cpuBare);
    printf("ratio account client / bare exchanges: wall %.2f, client CPU %.2f (account client's own share %.3f s)\n",
           bare > 0 ? signIn / bare : 0.0, ownBare > 0 ? ownSignIn / ownBare : 0.0, ownSignIn - ownBare);
    printf("peak RSS: account client %s, reference service %s\n", peakRssOf("self").constData(),
           reference.peakRss().constData());

    // Start from the cache alone: the account site is a closed port.
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    settings.setValue(Configuration::Key::AccountSite, QStringLiteral("https://127.0.0.1:%1").arg(port));
    settings.sync();
    QList<double> starts;
    QList<double> complete;
    QList<double> stalls;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        auto cabinet = std::make_unique<LegacyHttpCabinet>();
        const quint32 selected = JsonCache(CacheEntry::CacheName).value(CacheEntry::SelectedProfile).toUInt();
        const ProfileData *data = cabinet->profileData(selected ? selected : ids.first());
        const bool present = data && data->loadedFlags() == 31;
        starts.append(timer.elapsed() / 1000.0);
        // The rest is read from the event loop, one part per turn.
        qint64 longest = 0;
        qint64 last = timer.elapsed();
        QTimer beat;
        QObject::connect(&beat, &QTimer::timeout, [&] {
            longest = std::max(longest, timer.elapsed() - last);
            last = timer.elapsed();
        });
        beat.start(0);
        spinUntil([&] {
            for (quint32 id : ids) {
                const ProfileData *d = cabinet->profileData(id);
                if (!d || !d->isFullyRead())
                    return false;
            }
            return true;
        }, 60000);
        complete.append(timer.elapsed() / 1000.0);
        stalls.append(longest / 1000.0);
        if (!present || !allDataLoaded(*cabinet, profiles)) {
            fprintf(stderr, "the cache did not hold all data\n");
            return 1;
        }
    }
    std::sort(starts.begin(), starts.end());
    std::sort(complete.begin(), complete.end());
    std::sort(stalls.begin(), stalls.end());
    printf("start from the cache alone, selected profile's data present (median of 5): %.3f s "
           "(min %.3f, max %.3f)\n", starts.at(2), starts.first(), starts.last());
    printf("every profile's data read in the background: %.3f s, longest event-loop wait %.3f s "
           "(medians of 5)\n", complete.at(2), stalls.at(2));

    reference.process.terminate();
    reference.process.waitForFinished(10000);
    return 0;
}

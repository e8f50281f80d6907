// The service's IPC methods through the real request handler and Server: the round trip of
// a cached read ("domains" of a 5 000-entry black list) and of a call forwarded to the
// account state (a new domain, answered by the scripted account on the next turn), each
// against a bare handler that answers the same over the same socket (the floor of the
// transport and codec), and the greeting of a new client for an account of 50 profiles
// (time from connecting to its last message, and its bytes). The account is scripted, so
// only the service's own work is measured. Client and service share this process's loop.
//
//   bench_service [calls]
#include "../tests/service/account/fakecabinet.h"

#include "cabinetmetatypes.h"
#include "consoleuser.h"
#include "guiconnector.h"
#include "ipcconnection.h"
#include "ipcserver.h"
#include "jsoncache.h"
#include "jsonrpccall.h"
#include "server.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalSocket>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Profiles = 50;
constexpr int Entries = 5000;

class NobodyAtTheConsole : public ConsoleUser
{
public:
    QString userName() override { return QString(); }
};

// The account answers a new domain on the next turn, as a quick account service would.
class QuickCabinet : public FakeCabinet
{
public:
    CabinetDomainAddRequest *addDomain(quint32 profileId, CabinetDomain::Type type, const QString &domain,
                                       const QHostAddress &ip) override
    {
        CabinetDomainAddRequest *request = FakeCabinet::addDomain(profileId, type, domain, ip);
        const quint32 id = ++m_nextId;
        QTimer::singleShot(0, request, [request, id] {
            request->setDomainId(id);
            request->requestFinished(Error());
        });
        sent.clear();
        return request;
    }

private:
    quint32 m_nextId = 100000;
};

// What the bare server answers: the same data, without the service behind it.
class BareHandler : public QObject
{
    Q_OBJECT
public:
    QVariant list;
public Q_SLOTS:
    QVariant domains(uint, const QString &) { return list; }
    Deferred addDomain(uint, const QString &, const QString &)
    {
        Deferred answer;
        QTimer::singleShot(0, this, [answer]() mutable { answer.callback(42u); });
        return answer;
    }
};

CabinetDomains bigList()
{
    CabinetDomains list;
    for (int i = 0; i < Entries; ++i)
        list.append(CabinetDomain(quint32(i + 1), QStringLiteral("site-%1.example.com").arg(i)));
    return list;
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

struct Figures
{
    double median = 0;
    double p99 = 0;
};

Figures roundTrips(IpcConnection *client, const char *method, const QVariantList &params, int calls)
{
    std::vector<double> ms;
    ms.reserve(size_t(calls));
    for (int i = 0; i < calls; ++i) {
        QElapsedTimer timer;
        timer.start();
        JsonRPCCall *call = client->call(method, params);
        QEventLoop loop;
        QObject::connect(call, &Request::finished, &loop, &QEventLoop::quit);
        loop.exec();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return { ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)] };
}

IpcConnection *connectClient(const QString &path, QObject *handler)
{
    auto *client = new IpcConnection;
    client->setJsonRpcHandler(handler);
    client->socket()->connectToServer(path);
    client->socket()->waitForConnected(3000);
    return client;
}

// Bytes and milliseconds from connecting to the greeting's last message.
QPair<qint64, double> greeting(const QString &path)
{
    QLocalSocket socket;
    QElapsedTimer timer;
    timer.start();
    socket.connectToServer(path);
    socket.waitForConnected(3000);
    QByteArray received;
    while (!received.contains("\"setIdentification") && timer.elapsed() < 10000) {
        QEventLoop loop;
        QObject::connect(&socket, &QLocalSocket::readyRead, &loop, &QEventLoop::quit);
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
        received += socket.readAll();
    }
    return { received.size(), double(timer.nsecsElapsed()) / 1e6 };
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("ServiceBench"));
    const int calls = argc > 1 ? qMax(10, atoi(argv[1])) : 300;
    registerCabinetMetaTypes();
    registerDeferredMetaType();
    registerErrorMetaType();

    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path() + "/config"));
    qputenv("STATE_DIRECTORY", QFile::encodeName(scratch.path() + "/state"));
    qputenv("CORVANE_DNS_BACKEND", "ini");
    qputenv("CORVANE_DNS_BACKEND_INI", QFile::encodeName(scratch.path() + "/adapters.ini"));
    qputenv("CORVANE_IPC_SOCKET", QFile::encodeName(scratch.path() + "/service.sock"));
    qputenv("CORVANE_BLOCKPAGE_PORT", QByteArray::number(freePort()));
    {
        QSettings store;
        store.setValue("localproxy-port", freePort());
        store.setValue("settings-protected", false);
    }

    auto *cabinet = new QuickCabinet;
    QCoreApplication::processEvents();
    cabinet->setCredentials(QStringLiteral("bench@corvane.test"), QStringLiteral("bench"));
    CabinetProfiles profiles;
    for (int i = 0; i < Profiles; ++i) {
        CabinetProfile profile;
        profile.setId(quint32(101 + i));
        profile.setName(QStringLiteral("Profile %1").arg(i));
        profile.setToken(quint32(5000 + i));
        profile.setDefault(i == 0);
        profiles.insert(profile.id(), QSharedPointer<CabinetProfile>::create(profile));
    }
    cabinet->answer(QStringLiteral("profiles"), profiles);
    const CabinetDomains list = bigList();
    cabinet->answer(QStringLiteral("domains"), list, { 101u, 1 });
    cabinet->answerProfileData();
    cabinet->clearSent();

    Server server(cabinet, new NobodyAtTheConsole, nullptr);
    if (!server.start()) {
        std::fprintf(stderr, "the server did not start: %s\n", qPrintable(server.lastError().toString()));
        return 1;
    }
    QObject ignoring;
    IpcConnection *client = connectClient(qEnvironmentVariable("CORVANE_IPC_SOCKET"), &ignoring);

    IpcServer bare;
    bare.setSocketPath(scratch.path() + "/bare.sock");
    bare.start();
    BareHandler bareHandler;
    bareHandler.list = list.toVariant();
    QObject::connect(&bare, &IpcServer::newConnection, &bare,
                     [&](GuiConnector *connection) { connection->setJsonRpcHandler(&bareHandler); });
    IpcConnection *bareClient = connectClient(scratch.path() + "/bare.sock", &ignoring);

    const QVariantList read { 101u, QStringLiteral("black") };
    roundTrips(client, "domains", read, 10); // warm-up, greeting out of the way
    const Figures cached = roundTrips(client, "domains", read, calls);
    const Figures cachedBare = roundTrips(bareClient, "domains", read, calls);
    // The scripted account keeps each refresh it was asked for: start afresh.
    cabinet->clearSent();
    const QVariantList add { 102u, QStringLiteral("black"), QStringLiteral("new.example") };
    const Figures forwarded = roundTrips(client, "addDomain", add, calls);
    const Figures forwardedBare = roundTrips(bareClient, "addDomain", add, calls);

    std::vector<double> greetMs;
    qint64 greetBytes = 0;
    for (int i = 0; i < 20; ++i) {
        const QPair<qint64, double> g = greeting(qEnvironmentVariable("CORVANE_IPC_SOCKET"));
        greetBytes = g.first;
        greetMs.push_back(g.second);
        QCoreApplication::processEvents();
    }
    std::sort(greetMs.begin(), greetMs.end());

    std::printf("IPC through the service's request handler, %d calls each (median / p99 ms; bare = same answer, no service)\n", calls);
    std::printf("  cached read \"domains\" of %d entries: %.3f / %.3f   bare %.3f / %.3f   ratio %.2f\n", Entries,
                cached.median, cached.p99, cachedBare.median, cachedBare.p99, cached.median / cachedBare.median);
    std::printf("  forwarded \"addDomain\", account answers next turn: %.3f / %.3f   bare %.3f / %.3f   ratio %.2f\n",
                forwarded.median, forwarded.p99, forwardedBare.median, forwardedBare.p99,
                forwarded.median / forwardedBare.median);
    std::printf("  greeting of a new client, %d profiles: %lld bytes, median %.3f ms, max %.3f ms (20 clients)\n",
                Profiles, static_cast<long long>(greetBytes), greetMs[greetMs.size() / 2], greetMs.back());
    delete client;
    delete bareClient;
    server.stop();
    return 0;
}

#include "bench_service.moc"

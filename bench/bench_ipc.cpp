// Local IPC figures: the round trip of a JSON-RPC call over the socket (median and 99th
// percentile over 10 000 calls, one at a time), and the notifications per second that a
// broadcast delivers to 50 connected clients in total. Client and service run in this one
// process on one event loop, as each real program runs on its own.
//
//   bench_ipc [calls] [clients] [notifications per client]
#include "guiconnector.h"
#include "ipcconnection.h"
#include "ipcserver.h"
#include "jsonrpc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

class ServiceHandler : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    QVariant echo(int value) { return value; }
};

class ClientHandler : public QObject
{
    Q_OBJECT

public:
    int received = 0;
    int expected = 0;
    std::function<void()> done;

public Q_SLOTS:
    void tick(int)
    {
        if (++received == expected && done)
            done();
    }
};

bool waitFor(const std::function<bool()> &condition, int timeoutMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Calls echo one after another, each sent when the previous answer arrived.
class RoundTrips : public QObject
{
public:
    RoundTrips(IpcConnection *client, int calls)
        : m_client(client)
        , m_calls(calls)
    {
        m_latencies.reserve(size_t(calls));
    }

    void run(QEventLoop *loop)
    {
        m_loop = loop;
        next();
    }

    std::vector<qint64> latencies() const { return m_latencies; }
    int failures() const { return m_failures; }

private:
    void next()
    {
        if (int(m_latencies.size()) + m_failures == m_calls) {
            m_loop->quit();
            return;
        }
        m_timer.start();
        JsonRPCCall *call = m_client->call("echo", {int(m_latencies.size())});
        // A call may be finished a second time by a later drop; only the first counts.
        auto seen = std::make_shared<bool>(false);
        connect(call, &JsonRPCCall::finished, this, [this, call, seen] {
            if (*seen)
                return;
            *seen = true;
            const qint64 elapsed = m_timer.nsecsElapsed();
            if (call->error().code() == 0)
                m_latencies.push_back(elapsed);
            else
                ++m_failures;
            // Next turn: the answer's own processing is part of what is measured, not nested.
            QTimer::singleShot(0, this, [this] { next(); });
        });
    }

    IpcConnection *m_client;
    int m_calls;
    int m_failures = 0;
    QEventLoop *m_loop = nullptr;
    QElapsedTimer m_timer;
    std::vector<qint64> m_latencies;
};

double percentileMicroseconds(std::vector<qint64> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(fraction * double(values.size())));
    return double(values[index]) / 1000.0;
}

int argument(const QStringList &arguments, int index, int fallback)
{
    bool ok = false;
    const int value = arguments.value(index).toInt(&ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int calls = argument(arguments, 1, 10000);
    const int clientCount = argument(arguments, 2, 50);
    const int perClient = argument(arguments, 3, 4000);

    QTemporaryDir directory;
    IpcServer server;
    server.setSocketPath(directory.path() + QStringLiteral("/en-genericipc"));
    ServiceHandler serviceHandler;
    QObject::connect(&server, &IpcServer::newConnection, [&](GuiConnector *connection) {
        connection->setJsonRpcHandler(&serviceHandler);
    });
    if (!server.start()) {
        std::fprintf(stderr, "cannot listen on %s\n", qPrintable(server.socketPath()));
        return 1;
    }

    // Round trips.
    {
        IpcConnection client;
        client.socket()->connectToServer(server.socketPath());
        if (!waitFor([&] { return client.isConnected() && server.connections().size() == 1; }))
            return 1;
        RoundTrips warmUp(&client, 500);
        QEventLoop loop;
        warmUp.run(&loop);
        loop.exec();

        RoundTrips measured(&client, calls);
        QElapsedTimer total;
        total.start();
        measured.run(&loop);
        loop.exec();
        const qint64 totalNs = total.nsecsElapsed();
        const std::vector<qint64> latencies = measured.latencies();
        std::printf("call round trip over %d calls: median %.1f us, p99 %.1f us, max %.1f us, "
                    "%.0f calls/s, %d failed\n",
                    calls, percentileMicroseconds(latencies, 0.5), percentileMicroseconds(latencies, 0.99),
                    percentileMicroseconds(latencies, 1.0), double(calls) * 1e9 / double(totalNs),
                    measured.failures());
        client.socket()->disconnectFromServer();
        if (!waitFor([&] { return server.connections().isEmpty(); }))
            return 1;
    }

    // Broadcast.
    {
        std::vector<std::unique_ptr<IpcConnection>> clients;
        std::vector<std::unique_ptr<ClientHandler>> handlers;
        int finishedClients = 0;
        for (int i = 0; i < clientCount; ++i) {
            clients.emplace_back(new IpcConnection);
            handlers.emplace_back(new ClientHandler);
            handlers.back()->expected = perClient;
            handlers.back()->done = [&] { ++finishedClients; };
            clients.back()->setJsonRpcHandler(handlers.back().get());
            clients.back()->socket()->connectToServer(server.socketPath());
        }
        if (!waitFor([&] { return server.connections().size() == clientCount; }))
            return 1;

        QEventLoop loop;
        int sent = 0;
        const int perTurn = 50;
        QTimer sender;
        sender.setInterval(0);
        QObject::connect(&sender, &QTimer::timeout, [&] {
            for (int i = 0; i < perTurn && sent < perClient; ++i, ++sent)
                server.broadcast("tick", {sent});
            if (sent == perClient)
                sender.stop();
        });
        QTimer checker;
        checker.setInterval(1);
        QObject::connect(&checker, &QTimer::timeout, [&] {
            if (finishedClients == clientCount)
                loop.quit();
        });
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);

        QElapsedTimer elapsed;
        elapsed.start();
        sender.start();
        checker.start();
        loop.exec();
        const qint64 ns = elapsed.nsecsElapsed();
        qint64 delivered = 0;
        for (const auto &handler : handlers)
            delivered += handler->received;
        std::printf("broadcast to %d clients: %lld of %lld notifications delivered in %.1f ms, "
                    "%.0f notifications/s in total\n",
                    clientCount, delivered, qint64(clientCount) * perClient, double(ns) / 1e6,
                    double(delivered) * 1e9 / double(ns));
    }
    return 0;
}

#include "bench_ipc.moc"

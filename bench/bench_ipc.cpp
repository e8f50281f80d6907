// Local IPC figures: the round trip of a JSON-RPC call over the socket (median and 99th
// percentile over 10 000 calls, one at a time), the notifications per second that a
// broadcast delivers to 50 connected clients in total, and how long the costliest frames
// hold the event loop: requests as large as the service accepts from a client, shaped to
// cost the most (a batch past its limit, many small values, deep nesting), and the largest
// messages the service sends a client. Client and service run in this one process on one
// event loop, as each real program runs on its own.
//
//   bench_ipc [calls] [clients] [notifications per client]
#include "guiconnector.h"
#include "ipcconnection.h"
#include "ipcframe.h"
#include "ipcserver.h"
#include "jsonrpc.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

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
    void take(const QVariant &) {}
    void setDomains(quint32, int, const QVariantList &) {}
};

// Text of at most length bytes: head, then pieces (piece(i) for i = 0, 1, ...) joined by
// separator as long as they fit, then tail.
QByteArray filled(const QByteArray &head, const std::function<QByteArray(int)> &piece, const QByteArray &separator,
                  const QByteArray &tail, int length)
{
    QByteArray text = head;
    for (int i = 0;; ++i) {
        const QByteArray next = (i ? separator : QByteArray()) + piece(i);
        if (text.size() + next.size() + tail.size() > length)
            break;
        text += next;
    }
    return text + tail;
}

QByteArray worstRequest(const char *shape, int length)
{
    const QByteArray kind(shape);
    const auto same = [](const QByteArray &piece) { return [piece](int) { return piece; }; };
    if (kind == "batch past the limit")
        return filled("[", same(R"({"jsonrpc":"2.0","method":"x"})"), ",", "]", length);
    if (kind == "batch of 64 calls")
        return filled("[", same(R"({"jsonrpc":"2.0","id":1,"method":"take","params":[")" + QByteArray(length / 64 - 60, 'x') + "\"]}"),
                      ",", "]", length);
    if (kind == "many small values")
        return filled(R"({"jsonrpc":"2.0","method":"take","params":[[)", same("0"), ",", "]]}", length);
    if (kind == "many distinct keys")
        return filled(R"({"jsonrpc":"2.0","method":"take","params":[{)",
                      [](int i) { return "\"k" + QByteArray::number(i) + "\":0"; }, ",", "}]}", length);
    // 1024 levels are the codec's limit; past it the text reads as null.
    return filled(R"({"jsonrpc":"2.0","method":"take","params":[)" + QByteArray(1000, '['), same("0"), ",",
                  QByteArray(1000, ']') + "]}", length);
}

QByteArray largestDomainList()
{
    // 5000 alias entries, each with the longest name DNS allows.
    QByteArray name;
    while (name.size() < 240)
        name += QByteArray(62, 'a') + '.';
    name += "example";
    QByteArray text = R"({"jsonrpc":"2.0","method":"setDomains","params":[7,2,[)";
    for (int i = 0; i < 5000; ++i)
        text += (i ? "," : "") + QByteArray(R"({"domain":")") + name + R"(","id":)" + QByteArray::number(1000000 + i)
            + R"(,"ip":"192.168.100.100"})";
    return text + "]]}";
}

long peakRssKib()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Milliseconds the engine takes to handle text (median of five), as one frame holds the
// event loop for that long.
void timeFrame(const char *label, const QByteArray &text)
{
    ServiceHandler handler;
    std::vector<qint64> runs;
    const long rssBefore = peakRssKib();
    for (int i = 0; i < 5; ++i) {
        JsonRPC engine;
        engine.setRequestHandler(&handler);
        QElapsedTimer timer;
        timer.start();
        engine.incomingRequest(text);
        runs.push_back(timer.nsecsElapsed());
    }
    std::sort(runs.begin(), runs.end());
    std::printf("%-52s %8d bytes  %7.2f ms  (peak RSS +%ld KiB)\n", label, text.size(), double(runs[2]) / 1e6,
                peakRssKib() - rssBefore);
}


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
    // Frames are timed last: each run may raise the peak RSS that the others would report.
    {
        QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        std::printf("\nevent-loop hold of the costliest frames (request limit %d bytes, frame limit %d bytes):\n",
                    IpcFrame::MaximumRequestLength, IpcFrame::MaximumLength);
        for (const char *shape : {"batch past the limit", "batch of 64 calls", "many small values", "many distinct keys",
                                  "nesting at the depth limit"})
            timeFrame(qPrintable(QStringLiteral("request: ") + QLatin1String(shape)),
                      worstRequest(shape, IpcFrame::MaximumRequestLength - 1));
        timeFrame("to a client: 5000 aliases with the longest names", largestDomainList());
        timeFrame("to a client: many small values at the frame limit", worstRequest("many small values", IpcFrame::MaximumLength - 1));
        qInstallMessageHandler(previous);
    }
    return 0;
}

#include "bench_ipc.moc"

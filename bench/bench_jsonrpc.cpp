// In-process JSON-RPC round trips: call -> serializeOutgoingRequest -> incomingRequest on a
// second engine -> response text -> incomingResponse -> the call finishes.
//
// Allocations are counted by interposing malloc (operator new ends in malloc too), so the
// figure covers QObject, QVariant, container and string buffers alike.
//
// Run: build-<you>-rel/bench/bench_jsonrpc [round-trips]

#include "jsonrpc.h"
#include "requestmanager.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <cstdio>
#include <cstdlib>

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *pointer, size_t size);
}

namespace {
std::atomic<long long> allocations{0};
}

extern "C" void *malloc(size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

extern "C" void *calloc(size_t count, size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

extern "C" void *realloc(void *pointer, size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(pointer, size);
}

class Handler : public QObject
{
    Q_OBJECT

public slots:
    int setFilterCat(int category, bool enabled) { return enabled ? category : -category; }
    QVariant getProfile(quint32 id)
    {
        return QVariantMap{{QStringLiteral("id"), id},
                           {QStringLiteral("name"), QStringLiteral("Home")},
                           {QStringLiteral("categories"), QVariantList{1, 2, 3, 5, 8, 13}}};
    }
};

namespace {

struct Result
{
    double perSecond;
    double allocationsPerCall;
};

Result run(int count, int batch, bool heavy)
{
    JsonRPC client;
    JsonRPC server;
    Handler handler;
    server.setRequestHandler(&handler);
    QObject::connect(&server, &JsonRPC::outgoingResponseReady, &client,
                     [&client](const QString &text) { client.incomingResponse(text.toUtf8()); });
    int succeeded = 0;

    QElapsedTimer timer;
    const long long before = allocations.load();
    timer.start();
    for (int i = 0; i < count; i += batch) {
        for (int j = 0; j < batch; ++j) {
            JsonRPCCall *call = heavy ? client.call("getProfile", {quint32(i + j)})
                                      : client.call("setFilterCat", {i + j, true});
            QObject::connect(call, &Request::finished, [&succeeded, call] {
                succeeded += call->isSucceed();
            });
        }
        server.incomingRequest(client.serializeOutgoingRequest(nullptr).toUtf8());
        // Deliver whatever else was posted first: an undelivered event at the head of the
        // queue keeps Qt from compacting it and makes every later flush slower.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const double elapsed = timer.nsecsElapsed() / 1e9;
    const long long used = allocations.load() - before;
    if (succeeded != count)
        std::printf("only %d of %d calls succeeded\n", succeeded, count);
    return Result{count / elapsed, double(used) / count};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 200000;
    RequestManager::instance();
    run(1000, 1, false); // warm up

    std::printf("%-40s %12s %16s\n", "", "round trips/s", "allocations/call");
    const struct {
        const char *name;
        int batch;
        bool heavy;
    } cases[] = {
            {"setFilterCat(int,bool), one per message", 1, false},
            {"setFilterCat(int,bool), 10 per batch", 10, false},
            {"getProfile(quint32) -> map, one per msg", 1, true},
    };
    for (const auto &c : cases) {
        const Result r = run(count, c.batch, c.heavy);
        std::printf("%-40s %12.0f %16.1f\n", c.name, r.perSecond, r.allocationsPerCall);
    }
    return 0;
}

#include "bench_jsonrpc.moc"

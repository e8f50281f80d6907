// libFuzzer target: JsonRPC::incomingRequest on arbitrary bytes, against a handler with
// typed parameters and deferred answers that fire after the message was handled.

#include "fuzzsupport.h"
#include "jsonrpc.h"

#include <QCoreApplication>
#include <QVariantList>

#include <cstddef>
#include <cstdint>

class FuzzHandler : public QObject
{
    Q_OBJECT

public:
    QList<Deferred> waiting;

public slots:
    int add(int a, int b) { return a + b; }
    QString echo(const QString &s) { return s; }
    void ping() {}
    QVariant variant(const QVariant &v) { return v; }
    quint32 takeId(quint32 id) { return id; }
    quint16 takePort(quint16 port) { return port; }
    bool flag(bool b) { return b; }
    double half(double d) { return d / 2; }
    QStringList strings(const QStringList &l) { return l; }
    QVariantMap map(const QVariantMap &m) { return m; }
    Deferred later()
    {
        Deferred d;
        waiting.append(d);
        return d;
    }
    Deferred failedNow()
    {
        Deferred d;
        d.errback(Error(7, QStringLiteral("seven")));
        return d;
    }

signals:
    void notified(int value);
};

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::silenceLog();
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    JsonRPC rpc;
    rpc.setErrorCodeOffset(size % 2 ? 1000 : 0);
    FuzzHandler handler;
    rpc.setRequestHandler(&handler);
    QString last;
    QObject::connect(&rpc, &JsonRPC::outgoingResponseReady,
                     [&last](const QString &text) { last = text; });
    rpc.incomingRequest(bytes);
    // Fire the deferred answers: some succeed, some fail, the first one twice.
    for (int i = 0; i < handler.waiting.size(); ++i) {
        if (i % 2)
            handler.waiting[i].errback(Error(i, QStringLiteral("late")));
        else
            handler.waiting[i].callback(i);
    }
    if (!handler.waiting.isEmpty())
        handler.waiting.first().callback(-1);
    FuzzSupport::flushEvents();
    return 0;
}

#include "fuzz_jsonrpc_request.moc"

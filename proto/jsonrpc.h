#pragma once

#include "jsonrpccall.h"
#include "lodestar_export.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class JsonRPCPrivate;
namespace TestHooks {
struct JsonRPCAccess;
}

// A transport-neutral JSON-RPC 2.0 peer: it calls methods of the other side and answers
// the other side's calls. It knows nothing of sockets or HTTP.
//
// Outgoing: call() and notify() queue a JsonRPCCall; outgoingRequestReady() tells the
// transport to pull the text with serializeOutgoingRequest(). With grouping on (the
// default) all calls made before control returns to the event loop leave in one message
// (a JSON array; a message holding one request is the bare object). A call serialized
// without a context is watched by the RequestManager with a 30-second time-out (its own
// time-out wins) and deleted by it after it finished; a call serialized with a context
// request belongs to whoever owns that context, and fails with the context's error when the
// context finishes.
//
// Incoming: incomingRequest() dispatches requests, notifications and batches to the
// methods of the request handler, found by name and number of params among the methods
// declared by the handler's own class (signals, slots and Q_INVOKABLE methods). The return
// value is the answer: a method returning nothing answers null, one returning a QVariant
// answers the value it holds, one returning an Error answers that error (null when its
// code is 0), one returning a Deferred answers when it fires; a message
// with deferred answers is held back until every one of them fired, then all its answers
// leave together through outgoingResponseReady().
//
// Bringing params to the declared parameter types (the conversion hook):
//   - a QVariant parameter receives the param as parsed (null included);
//   - integer parameters (int, uint, qint64, quint64, short, ushort, char types) take
//     integers, integral doubles and decimal strings whose value fits the type, unchanged;
//     a value that does not fit is refused;
//   - double parameters take any number or a numeric string; bool parameters only true or
//     false;
//   - every other type goes through QVariant::convert(), which consults the converters
//     registered with QMetaType::registerConverter(). A module that wants a JSON list to
//     reach its own list type registers, once, e.g.
//         QMetaType::registerConverter<QVariantList, HostList>(&HostList::fromVariantList);
//     and methods declaring a HostList parameter then receive the converted value.
// A param that cannot be brought to its type (null included, unless the parameter is a
// QVariant) is answered with -32602 "Invalid params" and the method is not called.
//
// Robustness: any input text is safe; the engine, the handler (held weakly: once it is
// destroyed its methods answer -32601), calls and contexts may be destroyed at any time,
// including from within the signals this class emits.
class LODESTAR_EXPORT JsonRPC : public QObject
{
    Q_OBJECT

public:
    explicit JsonRPC(QObject *parent = nullptr);
    ~JsonRPC() override;

    // Queues a call with the next id (ids wrap from 4294967295 to 1, never 0).
    JsonRPCCall *call(const char *method, const QList<QVariant> &params = QList<QVariant>());
    // Queues a notification (id 0); the counter is untouched.
    void notify(const char *method, const QList<QVariant> &params = QList<QVariant>());

    // Installs the handler and makes the methods of its own class callable: the table holds
    // the methods of the installed handler's class only (a later method with the same name
    // and count wins). Calls to a handler that was destroyed answer "Method not found".
    void setRequestHandler(QObject *handler);
    QObject *requestHandler() const;

    // Elements of one incoming batch that are handled; the rest share one -32600 answer.
    static constexpr int DefaultMaximumBatchSize = 64;
    void setMaximumBatchSize(int elements);

    void useGrouping(bool grouping);
    // Interval of the grouping timer in milliseconds (0 after construction).
    void setGrouppingDelay(int milliseconds);
    // Added (16-bit arithmetic) to the code of every error received, subtracted from the
    // code of every error answer sent.
    void setErrorCodeOffset(unsigned short offset);

    bool hasPendingOutgoingRequest() const;
    // The text of the next outgoing message (all queued calls with grouping on, one
    // otherwise); an empty string when nothing is queued. context may be null.
    QString serializeOutgoingRequest(Request *context);

public slots:
    void incomingRequest(const QByteArray &data);
    // Answers calls sent without a context; calls left unanswered wait for their time-out.
    // True when at least one call was answered (or when data is empty).
    bool incomingResponse(const QByteArray &data);
    // Answers calls sent with context; every call of the context left unanswered fails
    // with code 9 "No valid JSON-RPC response received".
    bool incomingContextedResponse(const QByteArray &data, Request *context);
    // Aborts every pending call of context (null: calls without a context) with error.
    void dropOutgoing(Request *context, const Error &error);
    void dropAllOutgoing(const Error &error);

signals:
    void outgoingRequestReady();
    void outgoingResponseReady(const QString &text);

private:
    friend class JsonRPCPrivate;
    friend struct TestHooks::JsonRPCAccess;
    JsonRPCPrivate *d;
};

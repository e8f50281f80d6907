#pragma once

#include "deferred.h"
#include "error.h"
#include "jsonrpcerror.h"
#include "lodestar_export.h"
#include "request.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>
#include <optional>

// One outgoing JSON-RPC call (id > 0) or notification (id 0), made by JsonRPC::call() or
// JsonRPC::notify().
//
// The caller learns the outcome from Request::finished(): isSucceed(), error() and
// result(). A call finishes exactly once: through setResult(), setRpcError(), abort() or the
// request manager's time-out (code 2); every later finish is ignored.
class LODESTAR_EXPORT JsonRPCCall : public Request
{
    Q_OBJECT

public:
    JsonRPCCall(quint32 id, const char *method, const QList<QVariant> &params,
                QObject *parent = nullptr);
    ~JsonRPCCall() override;

    quint32 id() const { return m_id; }
    bool isNotification() const { return m_id == 0; }
    const QString &method() const { return m_method; }
    const QList<QVariant> &params() const { return m_params; }
    const QVariant &result() const { return m_result; }
    const JsonRPCError &rpcError() const { return m_rpcError; }

    // The transport request that carried this call, or null for calls watched by the
    // request manager.
    Request *parentRequest() const { return m_parentRequest.data(); }
    void setParentRequest(Request *request) { m_parentRequest = request; }

    // Stores the result and finishes with success.
    void setResult(const QVariant &result);
    // Stores the peer's error and finishes with code 9 "Server returned JSON-RPC error
    // %1: %2" (code, standard message) when the code is negative, else with the peer's code
    // and message.
    void setRpcError(const JsonRPCError &error);
    // Stores JsonRPCError(error) and finishes with error.
    void abort(const Error &error);

    // A reader of the "result" text, for answers too large to go through the generic tree
    // of values. Called with pos at the value's first character, it either reads the whole
    // value, moves pos past it and stores it in *result, or returns false, and the answer
    // then takes the generic path. What it stores must be what the caller would make of
    // the generic value; the engine uses it only for a message answering this call alone.
    using ResultReader = std::function<bool(const char *&pos, const char *end, QVariant *result)>;
    void setResultReader(ResultReader reader) { m_resultReader = std::move(reader); }
    const ResultReader &resultReader() const { return m_resultReader; }

    // The request text: {"id":..,"jsonrpc":"2.0","method":..,"params":[..]}, "id" left out
    // for a notification and "params" when there are none.
    QString stringify() const;

    void requestFinished(const Error &error) override;

private:
    quint32 m_id;
    bool m_done = false;
    QString m_method;
    QList<QVariant> m_params;
    QVariant m_result;
    JsonRPCError m_rpcError;
    QPointer<Request> m_parentRequest;
    ResultReader m_resultReader;
};

// The answer to one incoming call. A deferred answer waits for its Deferred and emits
// ready() once it fired; later firings of the same Deferred are ignored.
class LODESTAR_EXPORT JsonRPCCallResponse : public QObject
{
    Q_OBJECT

public:
    explicit JsonRPCCallResponse(const QVariant &result, QObject *parent = nullptr);
    explicit JsonRPCCallResponse(const JsonRPCError &error, QObject *parent = nullptr);
    // An error answer when the code is not 0, else an empty (null) result.
    explicit JsonRPCCallResponse(const Error &error, QObject *parent = nullptr);
    // Waits for deferred; one that already fired answers at once, so the object is no
    // longer deferred when the constructor returns.
    explicit JsonRPCCallResponse(const Deferred &deferred, QObject *parent = nullptr);

    bool isDeferred() const { return m_isDeferred; }
    bool isError() const { return m_isError; }
    const QVariant &result() const { return m_result; }
    const JsonRPCError &error() const { return m_error; }
    void setError(const JsonRPCError &error) { m_error = error; }
    const QVariant &id() const { return m_id; }
    void setId(const QVariant &id) { m_id = id; }
    // The request's "jsonrpc" text; kept, not written (the output always says "2.0").
    const QString &version() const { return m_version; }
    void setVersion(const QString &version) { m_version = version; }

    // The response text with "id", "jsonrpc" and either "result" or "error".
    QString stringify() const;

signals:
    void ready();

public slots:
    void resultReady(const QVariant &result);
    void errorReady(const Error &error);

private:
    bool m_isError = false;
    bool m_isDeferred = false;
    QVariant m_result;
    JsonRPCError m_error;
    // Only a deferred answer holds one: a fresh Deferred costs a QObject per response.
    std::optional<Deferred> m_deferred;
    QVariant m_id;
    QString m_version;
};

// The answers to one incoming message while some of them wait for their Deferred. Owns the
// responses (they become its children); emits ready() once the last one is ready.
class LODESTAR_EXPORT DeferredResponse : public QObject
{
    Q_OBJECT

public:
    DeferredResponse(const QList<JsonRPCCallResponse *> &responses, bool batch,
                     QObject *parent = nullptr);

    bool isBatch() const { return m_batch; }
    const QList<JsonRPCCallResponse *> &responses() const { return m_responses; }
    int waiting() const { return m_waiting; }

signals:
    void ready();

public slots:
    void responseReady();

private:
    bool m_batch;
    QList<JsonRPCCallResponse *> m_responses;
    int m_waiting = 0;
};

#include "jsonrpccall.h"

#include "qxtjson.h"

// ---------------------------------------------------------------------------------------
// JsonRPCCall
// ---------------------------------------------------------------------------------------

JsonRPCCall::JsonRPCCall(quint32 id, const char *method, const QList<QVariant> &params,
                         QObject *parent)
    : Request(parent)
    , m_id(id)
    , m_method(QString::fromUtf8(method))
    , m_params(params)
{
}

JsonRPCCall::~JsonRPCCall() = default;

void JsonRPCCall::setResult(const QVariant &result)
{
    if (m_done)
        return;
    m_result = result;
    requestFinished(Error());
}

void JsonRPCCall::setRpcError(const JsonRPCError &error)
{
    if (m_done)
        return;
    m_rpcError = error;
    if (error.code() < 0) {
        requestFinished(Error(Error::InvalidAnswerCode,
                              QStringLiteral("Server returned JSON-RPC error %1: %2")
                                      .arg(QString::number(error.code()),
                                           error.standardMessage())));
    } else {
        requestFinished(Error(error.code(), error.message()));
    }
}

void JsonRPCCall::abort(const Error &error)
{
    if (m_done)
        return;
    m_rpcError = JsonRPCError(error);
    requestFinished(error);
}

void JsonRPCCall::requestFinished(const Error &error)
{
    // Time-out, answer, transport failure and engine clean-up may all reach a call; only
    // the first one counts, so receivers of finished() see one outcome.
    if (m_done)
        return;
    m_done = true;
    Request::requestFinished(error);
}

QString JsonRPCCall::stringify() const
{
    QString text;
    text.reserve(64 + m_method.size());
    text += QLatin1Char('{');
    if (m_id != 0)
        text += QLatin1String("\"id\":") + QString::number(m_id) + QLatin1Char(',');
    text += QLatin1String("\"jsonrpc\":\"2.0\",\"method\":");
    text += QxtJSON::stringify(m_method);
    if (!m_params.isEmpty())
        text += QLatin1String(",\"params\":") + QxtJSON::stringify(QVariant(m_params));
    text += QLatin1Char('}');
    return text;
}

// ---------------------------------------------------------------------------------------
// JsonRPCCallResponse
// ---------------------------------------------------------------------------------------

JsonRPCCallResponse::JsonRPCCallResponse(const QVariant &result, QObject *parent)
    : QObject(parent)
    , m_result(result)
{
}

JsonRPCCallResponse::JsonRPCCallResponse(const JsonRPCError &error, QObject *parent)
    : QObject(parent)
    , m_isError(true)
    , m_error(error)
{
}

JsonRPCCallResponse::JsonRPCCallResponse(const Error &error, QObject *parent)
    : QObject(parent)
    , m_isError(error.code() != 0)
{
    if (m_isError)
        m_error = JsonRPCError(error);
}

JsonRPCCallResponse::JsonRPCCallResponse(const Deferred &deferred, QObject *parent)
    : QObject(parent)
    , m_isDeferred(true)
    , m_deferred(deferred)
{
    m_deferred->addCallback(this, SLOT(resultReady(QVariant)));
    m_deferred->addErrback(this, SLOT(errorReady(Error)));
}

void JsonRPCCallResponse::resultReady(const QVariant &result)
{
    if (!m_isDeferred)
        return;
    m_isDeferred = false;
    m_result = result;
    emit ready();
}

void JsonRPCCallResponse::errorReady(const Error &error)
{
    if (!m_isDeferred)
        return;
    m_isDeferred = false;
    m_isError = true;
    m_error = JsonRPCError(error);
    emit ready();
}

QString JsonRPCCallResponse::stringify() const
{
    QString text;
    text += QLatin1String("{\"id\":");
    text += QxtJSON::stringify(m_id);
    text += QLatin1String(",\"jsonrpc\":\"2.0\",");
    if (m_isError) {
        text += QLatin1String("\"error\":");
        text += QxtJSON::stringify(m_error.toVariant());
    } else {
        text += QLatin1String("\"result\":");
        text += QxtJSON::stringify(m_result);
    }
    text += QLatin1Char('}');
    return text;
}

// ---------------------------------------------------------------------------------------
// DeferredResponse
// ---------------------------------------------------------------------------------------

DeferredResponse::DeferredResponse(const QList<JsonRPCCallResponse *> &responses, bool batch,
                                   QObject *parent)
    : QObject(parent)
    , m_batch(batch)
    , m_responses(responses)
{
    for (JsonRPCCallResponse *response : responses) {
        response->setParent(this);
        if (response->isDeferred()) {
            ++m_waiting;
            connect(response, &JsonRPCCallResponse::ready, this,
                    &DeferredResponse::responseReady);
        }
    }
}

void DeferredResponse::responseReady()
{
    // Each response counts once, whatever its Deferred does afterwards.
    QObject *response = sender();
    if (!response || m_waiting == 0)
        return;
    disconnect(response, nullptr, this, nullptr);
    if (--m_waiting == 0)
        emit ready();
}

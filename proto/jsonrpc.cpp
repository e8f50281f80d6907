#include "jsonrpc.h"

#include "jsonrpc_p.h"
#include "jsonscanner_p.h"
#include "testhooks.h"
#include "qxtjson.h"
#include "requestmanager.h"

#include <QVarLengthArray>
#include <QVariantList>
#include <QVariantMap>

#include <limits>

namespace {

const QString KeyId = QStringLiteral("id");
const QString KeyVersion = QStringLiteral("jsonrpc");
const QString KeyMethod = QStringLiteral("method");
const QString KeyParams = QStringLiteral("params");
const QString KeyResult = QStringLiteral("result");
const QString KeyError = QStringLiteral("error");
const QString Version = QStringLiteral("2.0");

constexpr unsigned short DefaultCallTimeout = 30; // seconds

QString noValidResponse()
{
    return QStringLiteral("No valid JSON-RPC response received");
}

// Peers send UTF-8 that may be followed by a NUL and padding; the text ends at the NUL.
QString decode(const QByteArray &data)
{
    return QString::fromUtf8(data.constData(), int(qstrnlen(data.constData(), uint(data.size()))));
}

// An id is usable when it is an integer, a double, a string or null.
bool isUsableId(const QVariant &id)
{
    switch (id.userType()) {
    case QMetaType::UnknownType:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::QString:
        return true;
    default:
        return false;
    }
}

// Ids are matched by their string form. Ours are the decimal form of 1..4294967295, so a
// received id matches a pending call exactly when its string form is that canonical text;
// the key is that number, 0 when the id cannot match any call.
quint32 canonicalId(const QString &text)
{
    if (text.isEmpty() || text.size() > 10 || text.at(0) == QLatin1Char('0'))
        return 0;
    quint64 v = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        v = v * 10 + quint64(c.unicode() - '0');
    }
    return v <= std::numeric_limits<quint32>::max() ? quint32(v) : 0;
}

quint32 idKey(const QVariant &id)
{
    switch (id.userType()) {
    case QMetaType::Int:
    case QMetaType::LongLong: {
        const qint64 v = id.toLongLong();
        return v > 0 && v <= qint64(std::numeric_limits<quint32>::max()) ? quint32(v) : 0;
    }
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        const quint64 v = id.toULongLong();
        return v <= std::numeric_limits<quint32>::max() ? quint32(v) : 0;
    }
    case QMetaType::Double:
    case QMetaType::QString:
        return canonicalId(id.toString());
    default:
        return 0;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------
// JsonRPC
// ---------------------------------------------------------------------------------------

JsonRPC::JsonRPC(QObject *parent)
    : QObject(parent)
    , d(new JsonRPCPrivate(this))
{
}

JsonRPC::~JsonRPC() = default; // d is a child and goes with us

JsonRPCCall *JsonRPC::call(const char *method, const QList<QVariant> &params)
{
    quint32 id = d->lastId + 1;
    if (id == 0)
        id = 1;
    d->lastId = id;
    return d->enqueue(id, method, params);
}

void JsonRPC::notify(const char *method, const QList<QVariant> &params)
{
    d->enqueue(0, method, params);
}

void JsonRPC::setRequestHandler(QObject *handler)
{
    d->handler = handler;
    if (!handler)
        return;
    // Method indexes belong to one class: a handler of another class gets a table of its
    // own, never the indexes of the previous one.
    const QMetaObject *meta = handler->metaObject();
    if (meta != d->methodsClass) {
        d->methods.clear();
        d->methodsClass = meta;
    }
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        const QByteArray key = QByteArray::number(method.parameterCount()) + method.name();
        d->methods.insert(key, JsonRPCPrivate::Method{method.name(), method,
                                                      method.parameterCount()});
    }
}

QObject *JsonRPC::requestHandler() const
{
    return d->handler.data();
}

void JsonRPC::setMaximumBatchSize(int elements)
{
    d->maximumBatchSize = qMax(1, elements);
}

void JsonRPC::useGrouping(bool grouping)
{
    d->grouping = grouping;
}

void JsonRPC::setGrouppingDelay(int milliseconds)
{
    d->groupingTimer.setInterval(milliseconds);
}

void JsonRPC::setErrorCodeOffset(unsigned short offset)
{
    d->errorCodeOffset = offset;
}

bool JsonRPC::hasPendingOutgoingRequest() const
{
    return !d->queue.isEmpty();
}

QString JsonRPC::serializeOutgoingRequest(Request *context)
{
    return d->serialize(context);
}

void JsonRPC::incomingRequest(const QByteArray &data)
{
    d->handleRequest(data);
}

bool JsonRPC::incomingResponse(const QByteArray &data)
{
    if (data.isEmpty())
        return true;
    const auto table = d->pending.constFind(nullptr);
    if (table == d->pending.constEnd() || table->isEmpty()) {
        qDebug("json-rpc data received while nothing expected. ignoring..");
        return false;
    }
    bool alive = true;
    return d->processResponse(data, nullptr, &alive);
}

bool JsonRPC::incomingContextedResponse(const QByteArray &data, Request *context)
{
    const auto table = d->pending.constFind(context);
    if (table == d->pending.constEnd() || table->isEmpty()) {
        if (data.isEmpty())
            return true;
        qDebug("json-rpc data received while nothing expected. ignoring..");
        return false;
    }
    if (data.isEmpty())
        qDebug("empty json-rpc response received while data expected");
    bool alive = true;
    const bool handled = d->processResponse(data, context, &alive);
    if (alive)
        d->dropOutgoing(context, Error(Error::InvalidAnswerCode, noValidResponse()));
    return handled;
}

void JsonRPC::dropOutgoing(Request *context, const Error &error)
{
    d->dropOutgoing(context, error);
}

void JsonRPC::dropAllOutgoing(const Error &error)
{
    const QPointer<JsonRPCPrivate> alive(d);
    const QList<Request *> contexts = d->pending.keys();
    for (Request *context : contexts) {
        d->dropOutgoing(context, error);
        if (!alive)
            return;
    }
}

// ---------------------------------------------------------------------------------------
// JsonRPCPrivate: outgoing calls
// ---------------------------------------------------------------------------------------

JsonRPCPrivate::JsonRPCPrivate(JsonRPC *q)
    : QObject(q)
    , q(q)
    , groupingTimer(this)
{
    registerErrorMetaType();
    registerDeferredMetaType();
    groupingTimer.setSingleShot(true);
    groupingTimer.setInterval(0);
    connect(&groupingTimer, &QTimer::timeout, q, &JsonRPC::outgoingRequestReady);
}

JsonRPCPrivate::~JsonRPCPrivate()
{
    // Calls that never left still have a caller waiting for finished(). They fail on the
    // next event-loop turn (never from inside this destructor, where the engine is half
    // gone) and, with auto-delete, are deleted after that.
    for (JsonRPCCall *call : qAsConst(queue)) {
        disconnect(call, nullptr, this, nullptr);
        QTimer::singleShot(0, call, [call] {
            call->abort(Error(Error::InvalidAnswerCode, noValidResponse()));
            if (call->autoDelete())
                call->deleteLater();
        });
    }
    for (auto it = calls.cbegin(); it != calls.cend(); ++it)
        disconnect(it.key(), nullptr, this, nullptr);
}

JsonRPCCall *JsonRPCPrivate::enqueue(quint32 id, const char *method,
                                     const QList<QVariant> &params)
{
    auto *call = new JsonRPCCall(id, method, params);
    queue.append(call);
    calls.insert(call, CallEntry{true, nullptr, id});
    // Connected at once, not when serialized: a call deleted while still queued must leave
    // the queue.
    connect(call, &QObject::destroyed, this, &JsonRPCPrivate::callDestroyed);
    if (grouping) {
        if (!groupingTimer.isActive())
            groupingTimer.start();
    } else {
        QTimer::singleShot(0, q, [engine = q] { emit engine->outgoingRequestReady(); });
    }
    return call;
}

QString JsonRPCPrivate::serialize(Request *context)
{
    QStringList texts;
    CallTable sent;
    while (!queue.isEmpty()) {
        JsonRPCCall *call = queue.takeFirst();
        texts.append(call->stringify());
        if (call->isNotification()) {
            calls.remove(call);
            disconnect(call, nullptr, this, nullptr);
            delete call;
        } else {
            calls[call] = CallEntry{false, context, call->id()};
            if (context)
                call->setParentRequest(context);
            else
                RequestManager::instance()->insert(call, DefaultCallTimeout);
            sent.insert(call->id(), call);
        }
        if (!grouping)
            break;
    }
    if (texts.isEmpty())
        return QString();

    if (!sent.isEmpty()) {
        CallTable &table = pending[context];
        for (auto it = sent.cbegin(); it != sent.cend(); ++it)
            table.insert(it.key(), it.value());
    }
    if (context) {
        connect(context, &Request::finished, this, &JsonRPCPrivate::parentRequestFinished,
                Qt::UniqueConnection);
        connect(context, &QObject::destroyed, this, &JsonRPCPrivate::contextDestroyed,
                Qt::UniqueConnection);
    }
    if (texts.size() == 1)
        return texts.first();
    return QLatin1Char('[') + texts.join(QLatin1Char(',')) + QLatin1Char(']');
}

void JsonRPCPrivate::dropOutgoing(Request *context, const Error &error)
{
    const auto table = pending.constFind(context);
    if (table == pending.constEnd())
        return;
    // Receivers of finished() may delete calls, the context or the engine: work on guarded
    // copies.
    QList<QPointer<JsonRPCCall>> victims;
    victims.reserve(table->size());
    for (JsonRPCCall *call : *table)
        victims.append(call);
    const QPointer<JsonRPCPrivate> alive(this);
    for (const QPointer<JsonRPCCall> &call : qAsConst(victims)) {
        if (call)
            call->abort(error);
        if (!alive)
            return;
    }
}

void JsonRPCPrivate::parentRequestFinished()
{
    auto *context = qobject_cast<Request *>(sender());
    if (context)
        dropOutgoing(context, context->error());
}

void JsonRPCPrivate::callDestroyed(QObject *call)
{
    const auto entry = calls.find(call);
    if (entry == calls.end())
        return;
    const CallEntry where = *entry;
    calls.erase(entry);
    if (where.queued) {
        // The object is half destroyed: compare addresses only, never cast it down.
        for (int i = 0; i < queue.size(); ++i) {
            if (static_cast<QObject *>(queue.at(i)) == call) {
                queue.removeAt(i);
                break;
            }
        }
        return;
    }
    const auto table = pending.find(where.context);
    if (table == pending.end())
        return;
    const auto it = table->find(where.id);
    if (it != table->end() && static_cast<QObject *>(it.value()) == call)
        table->erase(it);
    if (table->isEmpty())
        pending.erase(table);
}

void JsonRPCPrivate::contextDestroyed(QObject *context)
{
    // Half destroyed: find the entry by address instead of casting the object down.
    auto table = pending.begin();
    while (table != pending.end() && static_cast<QObject *>(table.key()) != context)
        ++table;
    if (table == pending.end())
        return;
    for (JsonRPCCall *call : qAsConst(*table))
        calls.remove(call);
    pending.erase(table);
}

// ---------------------------------------------------------------------------------------
// JsonRPCPrivate: incoming responses
// ---------------------------------------------------------------------------------------

JsonRPCCall *JsonRPCPrivate::takePending(Request *context, quint32 id)
{
    const auto table = pending.find(context);
    if (table == pending.end())
        return nullptr;
    JsonRPCCall *call = table->take(id);
    if (!call)
        return nullptr;
    calls.remove(call);
    if (table->isEmpty())
        pending.erase(table);
    return call;
}

// The usual answer to a call with a result reader: one object of "id", "jsonrpc" and
// "result" in the plain form, for the only call pending in the context. It is read without
// the tree of values; anything else is left to the generic path (false).
bool JsonRPCPrivate::readDirectly(const QByteArray &data, Request *context, bool *alive)
{
    const auto table = pending.constFind(context);
    if (table == pending.constEnd() || table->size() != 1)
        return false;
    JsonRPCCall *call = table->cbegin().value();
    const JsonRPCCall::ResultReader &reader = call->resultReader();
    if (!reader)
        return false;
    JsonScanner scan(data.constData(), data.constData() + data.size());
    quint64 id = 0;
    bool hasId = false;
    bool hasVersion = false;
    bool hasResult = false;
    QVariant result;
    const bool read = scan.object([&](QLatin1String key) {
        if (key == QLatin1String("id") && !hasId)
            return hasId = scan.positiveInteger(std::numeric_limits<quint32>::max(), &id);
        if (key == QLatin1String("jsonrpc") && !hasVersion) {
            QLatin1String version;
            return hasVersion = scan.plainString(&version) && version == QLatin1String("2.0");
        }
        if (key == QLatin1String("result") && !hasResult) {
            scan.skipSpace();
            const char *pos = scan.position();
            if (!reader(pos, scan.end(), &result))
                return false;
            scan.setPosition(pos);
            return hasResult = true;
        }
        return false;
    });
    if (!read || !scan.atEnd() || !hasId || !hasVersion || !hasResult || id != call->id())
        return false;
    takePending(context, call->id());
    const QPointer<JsonRPCPrivate> guard(this);
    call->setResult(result);
    if (!guard)
        *alive = false;
    return true;
}

bool JsonRPCPrivate::processResponse(const QByteArray &data, Request *context, bool *alive)
{
    if (readDirectly(data, context, alive))
        return true;
    const QString text = decode(data);
    const QVariant parsed = QxtJSON::parse(text);
    const int type = parsed.userType();
    if (type != QMetaType::QVariantList && type != QMetaType::QVariantMap) {
        qDebug("Failed to parse json data: %s", qUtf8Printable(text));
        return false;
    }
    const QVariantList elements = type == QMetaType::QVariantMap ? QVariantList{parsed}
                                                                 : parsed.toList();
    const QPointer<JsonRPCPrivate> guard(this);
    bool handled = false;
    for (const QVariant &element : elements) {
        const QVariantMap map = element.toMap();
        bool valid = element.userType() == QMetaType::QVariantMap && !map.isEmpty();
        bool hasId = false, hasVersion = false, hasResult = false, hasError = false;
        QVariant id, result;
        JsonRPCError error;
        for (auto it = map.cbegin(); valid && it != map.cend(); ++it) {
            if (it.key() == KeyId) {
                hasId = true;
                id = it.value();
                valid = isUsableId(id);
            } else if (it.key() == KeyVersion) {
                hasVersion = true;
                valid = it.value().userType() == QMetaType::QString && it.value() == Version;
            } else if (it.key() == KeyResult) {
                hasResult = true;
                result = it.value();
            } else if (it.key() == KeyError) {
                hasError = true;
                valid = error.fromVariant(it.value());
            } else {
                valid = false;
            }
        }
        if (!valid || !hasId || !hasVersion || hasResult == hasError) {
            qDebug("Invalid or unexpected json-rpc response");
            continue;
        }
        JsonRPCCall *call = takePending(context, idKey(id));
        if (!call)
            continue;
        if (hasResult) {
            call->setResult(result);
        } else {
            error.setCode(qint16(quint16(quint16(error.code()) + errorCodeOffset)));
            call->setRpcError(error);
        }
        handled = true;
        if (!guard) {
            *alive = false;
            return handled;
        }
    }
    return handled;
}

// ---------------------------------------------------------------------------------------
// JsonRPCPrivate: incoming requests
// ---------------------------------------------------------------------------------------

void JsonRPCPrivate::handleRequest(const QByteArray &data)
{
    const QVariant parsed = QxtJSON::parse(decode(data));
    if (!parsed.isValid()) {
        sendSingleError(JsonRPCError::ParseError);
        return;
    }
    const int type = parsed.userType();
    const bool batch = type == QMetaType::QVariantList;
    if ((!batch && type != QMetaType::QVariantMap) || (batch && parsed.toList().isEmpty())) {
        sendSingleError(JsonRPCError::InvalidRequest);
        return;
    }

    const QVariantList elements = batch ? parsed.toList() : QVariantList{parsed};
    QList<JsonRPCCallResponse *> responses;
    const QPointer<JsonRPCPrivate> guard(this);
    const int handled = qMin(elements.size(), maximumBatchSize);
    for (int i = 0; i < handled; ++i) {
        handleElement(elements.at(i), batch, responses);
        if (!guard) {
            qDeleteAll(responses);
            return;
        }
    }
    // Elements past the limit are not looked at, and all of them share one answer: a
    // batch of a million elements must not turn into a million calls or error answers.
    if (elements.size() > handled) {
        qWarning("JSON-RPC batch of %d elements refused past its first %d", int(elements.size()), handled);
        responses.append(new JsonRPCCallResponse(JsonRPCError(
                JsonRPCError::InvalidRequest, JsonRPCError::standardMessage(JsonRPCError::InvalidRequest),
                QStringLiteral("batch of %1 elements; only the first %2 were handled")
                        .arg(elements.size())
                        .arg(handled))));
    }

    bool deferred = false;
    for (const JsonRPCCallResponse *response : qAsConst(responses))
        deferred = deferred || response->isDeferred();
    if (deferred) {
        auto *waiting = new DeferredResponse(responses, batch, this);
        connect(waiting, &DeferredResponse::ready, this, &JsonRPCPrivate::deferredResponseReady);
        return;
    }
    if (!responses.isEmpty()) {
        sendResponses(responses, batch);
        qDeleteAll(responses);
    }
}

void JsonRPCPrivate::handleElement(const QVariant &element, bool batch,
                                   QList<JsonRPCCallResponse *> &responses)
{
    const QVariantMap map = element.toMap();
    bool valid = element.userType() == QMetaType::QVariantMap && !map.isEmpty();
    bool hasId = false, hasVersion = false;
    QVariant id;
    QString version, method;
    QVariantList params;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QVariant &value = it.value();
        if (it.key() == KeyId) {
            hasId = true;
            id = value;
            valid = valid && isUsableId(value);
        } else if (it.key() == KeyVersion) {
            hasVersion = true;
            version = value.toString();
            valid = valid && value.userType() == QMetaType::QString && version == Version;
        } else if (it.key() == KeyMethod) {
            method = value.toString();
            valid = valid && value.userType() == QMetaType::QString && !method.isEmpty();
        } else if (it.key() == KeyParams) {
            params = value.toList();
            valid = valid && value.userType() == QMetaType::QVariantList;
        } else {
            valid = false;
        }
    }
    // Without "method" the element is still a request: it names no method there is, and
    // gets "Method not found" with its id (an empty "method" is invalid, though).
    valid = valid && hasVersion;
    const bool notification = !hasId;
    if (!valid) {
        if (notification && !batch)
            qDebug("Invalid JSON-RPC notification.");
        else
            responses.append(new JsonRPCCallResponse(JsonRPCError(
                    JsonRPCError::InvalidRequest, JsonRPCError::standardMessage(
                                                          JsonRPCError::InvalidRequest))));
        return;
    }

    const QByteArray key = QByteArray::number(params.size()) + method.toUtf8();
    const auto found = methods.constFind(key);
    if (found == methods.constEnd() || !handler) {
        if (!notification || batch) {
            auto *response = new JsonRPCCallResponse(JsonRPCError(
                    JsonRPCError::MethodNotFound,
                    JsonRPCError::standardMessage(JsonRPCError::MethodNotFound)));
            response->setId(id);
            response->setVersion(version);
            responses.append(response);
        } else {
            qWarning("failed to find slot %s", qUtf8Printable(method));
        }
        return;
    }

    QVariant returned;
    const bool invoked = invoke(*found, params, notification ? nullptr : &returned);
    if (notification) {
        if (!invoked)
            qDebug("Failed to call slot %s", key.constData());
        return;
    }
    JsonRPCCallResponse *response;
    if (!invoked) {
        response = new JsonRPCCallResponse(JsonRPCError(
                JsonRPCError::InvalidParams, JsonRPCError::standardMessage(JsonRPCError::InvalidParams)));
    } else if (returned.userType() == registerDeferredMetaType()) {
        response = new JsonRPCCallResponse(returned.value<Deferred>());
    } else if (returned.userType() == registerErrorMetaType()) {
        response = new JsonRPCCallResponse(returned.value<Error>());
    } else if (returned.userType() == QMetaType::QVariant) {
        response = new JsonRPCCallResponse(returned.value<QVariant>());
    } else {
        response = new JsonRPCCallResponse(returned);
    }
    response->setId(id);
    response->setVersion(version);
    responses.append(response);
}

// Calls the method directly with each param brought to its declared type. returned is
// null for notifications (the return value is not wanted).
bool JsonRPCPrivate::invoke(const Method &method, const QVariantList &params, QVariant *returned)
{
    const int count = method.parameterCount;
    if (count != params.size() || !handler)
        return false;
    QVarLengthArray<QVariant, 8> arguments(count);
    QVarLengthArray<void *, 9> argv(count + 1);
    for (int i = 0; i < count; ++i) {
        const int type = method.method.parameterType(i);
        if (!JsonRPCParams::convert(params.at(i), type, &arguments[i]))
            return false;
        // A QVariant parameter is handed the QVariant itself, any other the value it holds.
        argv[i + 1] = type == QMetaType::QVariant ? static_cast<void *>(&arguments[i])
                                                  : arguments[i].data();
    }
    argv[0] = nullptr;
    const int returnType = method.method.returnType();
    if (returned && returnType != QMetaType::Void && returnType != QMetaType::UnknownType) {
        *returned = QVariant(returnType, nullptr);
        argv[0] = returned->data();
    }
    QMetaObject::metacall(handler.data(), QMetaObject::InvokeMetaMethod,
                          method.method.methodIndex(), argv.data());
    return true;
}

void JsonRPCPrivate::sendSingleError(qint16 code)
{
    QList<JsonRPCCallResponse *> responses{
            new JsonRPCCallResponse(JsonRPCError(code, JsonRPCError::standardMessage(code)))};
    sendResponses(responses, false);
    qDeleteAll(responses);
}

// The caller deletes the responses afterwards; this may run inside the handler's or a
// Deferred's signal, and the receiver of outgoingResponseReady() may delete the engine.
void JsonRPCPrivate::sendResponses(const QList<JsonRPCCallResponse *> &responses, bool batch)
{
    QString text;
    if (batch)
        text += QLatin1Char('[');
    bool first = true;
    for (JsonRPCCallResponse *response : responses) {
        if (response->isError()) {
            JsonRPCError error = response->error();
            error.setCode(qint16(quint16(quint16(error.code()) - errorCodeOffset)));
            response->setError(error);
        }
        if (!first)
            text += QLatin1Char(',');
        first = false;
        text += response->stringify();
    }
    if (batch)
        text += QLatin1Char(']');
    emit q->outgoingResponseReady(text);
}

void JsonRPCPrivate::deferredResponseReady()
{
    auto *waiting = qobject_cast<DeferredResponse *>(sender());
    if (!waiting)
        return;
    disconnect(waiting, nullptr, this, nullptr);
    // We are inside the signals of the response and of its Deferred: delete later.
    waiting->deleteLater();
    sendResponses(waiting->responses(), waiting->isBatch());
}

quint32 TestHooks::JsonRPCAccess::lastId(const JsonRPC &rpc)
{
    return rpc.d->lastId;
}

void TestHooks::JsonRPCAccess::setLastId(JsonRPC &rpc, quint32 id)
{
    rpc.d->lastId = id;
}

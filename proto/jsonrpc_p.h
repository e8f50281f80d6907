#pragma once

//
//  W A R N I N G
//  -------------
//
// This file is not part of the lodestar API. It exists for the implementation of JsonRPC
// only and may change from version to version without notice.
//

#include "jsonrpc.h"

#include <QHash>
#include <QMetaMethod>
#include <QPointer>
#include <QTimer>

class JsonRPCPrivate : public QObject
{
    Q_OBJECT

public:
    explicit JsonRPCPrivate(JsonRPC *q);
    ~JsonRPCPrivate() override;

    struct Method
    {
        QByteArray name;
        QMetaMethod method;
        int parameterCount;
    };

    // Where a call stands, so that its destruction can be undone in the tables without
    // touching the half-destroyed object.
    struct CallEntry
    {
        bool queued;
        Request *context;
        quint32 id;
    };

    using CallTable = QHash<quint32, JsonRPCCall *>;

    JsonRPCCall *enqueue(quint32 id, const char *method, const QList<QVariant> &params);
    QString serialize(Request *context);
    bool processResponse(const QByteArray &data, Request *context, bool *alive);
    bool readDirectly(const QByteArray &data, Request *context, bool *alive);
    JsonRPCCall *takePending(Request *context, quint32 id);
    void dropOutgoing(Request *context, const Error &error);

    void handleRequest(const QByteArray &data);
    void handleElement(const QVariant &element, bool batch,
                       QList<JsonRPCCallResponse *> &responses);
    bool invoke(const Method &method, const QVariantList &params, QVariant *returned);
    void sendResponses(const QList<JsonRPCCallResponse *> &responses, bool batch);
    void sendSingleError(qint16 code);

    JsonRPC *q;
    bool grouping = true;
    quint16 errorCodeOffset = 0;
    quint32 lastId = 0;
    QList<JsonRPCCall *> queue;
    QHash<Request *, CallTable> pending;
    QHash<QObject *, CallEntry> calls;
    QTimer groupingTimer;
    QPointer<QObject> handler;
    // The method table of the installed handler's class (methodsClass).
    QHash<QByteArray, Method> methods;
    const QMetaObject *methodsClass = nullptr;
    int maximumBatchSize = JsonRPC::DefaultMaximumBatchSize;

public slots:
    void parentRequestFinished();
    void callDestroyed(QObject *call);
    void contextDestroyed(QObject *context);
    void deferredResponseReady();
};

namespace JsonRPCParams {
// Brings a parsed param to the declared parameter type (see the conversion hook in
// jsonrpc.h); false when it cannot be done. out then holds a value of exactly that type.
bool convert(const QVariant &value, int type, QVariant *out);
} // namespace JsonRPCParams

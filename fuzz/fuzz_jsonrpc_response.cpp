// libFuzzer target: JsonRPC::incomingResponse and incomingContextedResponse on arbitrary
// bytes, with calls pending both with and without a context.

#include "fuzzsupport.h"
#include "jsonrpc.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::silenceLog();
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    {
        JsonRPC rpc;
        rpc.setErrorCodeOffset(size % 3 ? 0 : 1000);
        Request context;
        QList<JsonRPCCall *> owned;
        for (int i = 0; i < 3; ++i)
            owned.append(rpc.call("withContext", {i}));
        rpc.serializeOutgoingRequest(&context);
        for (int i = 0; i < 3; ++i)
            rpc.call("watched", {i});
        rpc.serializeOutgoingRequest(nullptr);

        rpc.incomingResponse(bytes);
        rpc.incomingContextedResponse(bytes, &context);
        // The same bytes once more: answers for ids already answered must be ignored.
        rpc.incomingResponse(bytes);
        rpc.incomingContextedResponse(bytes, &context);
        context.requestFinished(Error(31));
        rpc.dropAllOutgoing(Error(3));
        qDeleteAll(owned);
    }
    FuzzSupport::dropWatchedRequests();
    return 0;
}

// libFuzzer target: the direct reader of domain lists against the generic path. The first
// byte picks the list type (low two bits) and whether the rest is a list or a JSON-RPC
// answer to a "domains" call (bit 4). Whatever the direct reader accepts must come out
// exactly as the generic path makes it; an answer must finish the account client's request
// with the same code and the same entries with and without the reader.

#include "cabinetdomain.h"
#include "fuzzsupport.h"
#include "jsonrpc.h"
#include "legacycabinetrequests.h"
#include "qxtjson.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

namespace {

using FuzzSupport::check;

void checkSame(const CabinetDomains &a, const CabinetDomains &b)
{
    check(a.size() == b.size());
    for (int i = 0; i < a.size(); ++i) {
        check(a.at(i).id() == b.at(i).id());
        check(a.at(i).domain() == b.at(i).domain());
        check(a.at(i).ip() == b.at(i).ip());
    }
}

struct Outcome
{
    int code = -1;
    CabinetDomains list;
};

// The answer fed to a "domains" call, read by the account client's own request class, with
// its direct reader or with the reader taken away.
Outcome answer(const QByteArray &bytes, CabinetDomain::Type type, bool direct)
{
    Outcome outcome;
    JsonRPC rpc;
    Request context;
    JsonRPCCall *call = rpc.call("domains");
    call->setAutoDelete(false);
    auto *request = new LegacyCabinetDomainsRequest(call, 1, type);
    if (!direct)
        call->setResultReader(nullptr);
    rpc.serializeOutgoingRequest(&context);
    rpc.incomingContextedResponse(bytes, &context);
    check(request->hasFinished());
    outcome.code = request->error().code();
    outcome.list = request->result();
    delete call;
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::silenceLog();
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const auto type = CabinetDomain::Type(data[0] % 3);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    if (data[0] & 0x10) {
        const Outcome generic = answer(bytes, type, false);
        const Outcome direct = answer(bytes, type, true);
        check(generic.code == direct.code);
        checkSame(generic.list, direct.list);
    } else {
        CabinetDomains generic;
        const bool ok = generic.fromVariant(QxtJSON::parse(QString::fromUtf8(bytes)), type);
        CabinetDomains read;
        const char *pos = bytes.constData();
        const char *end = pos + bytes.size();
        if (read.readPlainJson(pos, end, type)) {
            check(ok && pos > bytes.constData() && pos <= end);
            checkSame(read, generic);
        } else {
            check(pos == bytes.constData() && read.isEmpty());
        }
        CabinetDomains whole;
        check(whole.fromJson(bytes, type) == ok);
        checkSame(whole, generic);
    }
    FuzzSupport::dropWatchedRequests();
    return 0;
}

// libFuzzer target: the direct reader of domain lists against the generic path. The first
// byte picks the list type (low two bits) and whether the rest is a list or a JSON-RPC
// answer to a "domains" call (bit 4). Whatever the direct reader accepts must come out
// exactly as the generic path makes it; an answer must finish the call with the same code
// and the same entries with and without the reader.

#include "cabinetdomain.h"
#include "fuzzsupport.h"
#include "jsonrpc.h"
#include "qxtjson.h"
#include "requestmanager.h"

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
    bool ok = false;
    CabinetDomains list;
};

// The answer fed to a "domains" call, read as the account client reads it.
Outcome answer(const QByteArray &bytes, CabinetDomain::Type type, bool direct)
{
    Outcome outcome;
    JsonRPC rpc;
    Request context;
    JsonRPCCall *call = rpc.call("domains");
    call->setAutoDelete(false);
    if (direct) {
        call->setResultReader([type](const char *&pos, const char *end, QVariant *result) {
            CabinetDomains list;
            if (!list.readPlainJson(pos, end, type))
                return false;
            *result = QVariant::fromValue(list);
            return true;
        });
    }
    rpc.serializeOutgoingRequest(&context);
    rpc.incomingContextedResponse(bytes, &context);
    outcome.code = call->error().code();
    if (outcome.code == 0) {
        const QVariant &result = call->result();
        if (result.userType() == qMetaTypeId<CabinetDomains>()) {
            outcome.ok = true;
            outcome.list = result.value<CabinetDomains>();
        } else {
            outcome.ok = outcome.list.fromVariant(result, type);
        }
    }
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
        check(generic.code == direct.code && generic.ok == direct.ok);
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
    const QList<Request *> left = RequestManager::instance()->requests();
    for (Request *r : left)
        RequestManager::instance()->drop(r);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

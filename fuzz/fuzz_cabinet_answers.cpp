// Feeds fuzzed JSON results to the answer check of every awaited account method, as the
// JSON-RPC call that carries the method would hand them over. The first byte picks the
// method, the rest is the JSON text of the result.
//
// Beyond "no crash, no leak": every request finishes exactly once, with 0, 9 or (for the
// methods that have one) its own refusal code, and whatever a record check accepted it
// also accepts again from its own JSON form.
#include "fuzzsupport.h"
#include "jsonrpccall.h"
#include "legacycabinetrequests.h"
#include "qxtjson.h"

#include <QCoreApplication>
#include <QHostInfo>

#include <cstdint>
#include <functional>

namespace {

class Receiver : public QObject
{
    Q_OBJECT
public slots:
    void hostInfo(const QHostInfo &info) { FuzzSupport::check(info.lookupId() == -1); }
};

template <typename Record>
void checkAgain(CabinetRequest *request)
{
    auto *typed = dynamic_cast<CabinetFunction<Record> *>(request);
    FuzzSupport::check(typed);
    Record again;
    FuzzSupport::check(again.fromVariant(typed->result().toVariant()));
}

void checkDomainsAgain(CabinetRequest *request)
{
    auto *typed = static_cast<CabinetDomainsRequest *>(request);
    CabinetDomains again;
    FuzzSupport::check(again.fromVariant(typed->result().toVariant(), typed->listType()));
    FuzzSupport::check(again == typed->result());
}

struct Method
{
    const char *name;
    std::function<CabinetRequest *(JsonRPCCall *, Receiver *)> make;
    std::function<void(CabinetRequest *)> whenAccepted;
    int refusal; // the method's own refusal code besides 9, or 0
};

const Method Methods[] = {
    { "systemInfo", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetSystemInfoRequest(c); },
      checkAgain<CabinetSystemInfo>, 0 },
    { "userInfo", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetUserInfoRequest(c); },
      nullptr, 0 },
    { "profiles", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetProfilesRequest(c); },
      checkAgain<CabinetProfiles>, 0 },
    { "register", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetRegisterRequest(c); },
      nullptr, 33 },
    { "testAuth", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetTestAuthRequest(c); },
      nullptr, 30 },
    { "myip", [](JsonRPCCall *c, Receiver *r) { return new LegacyCabinetMyIpRequest(c, r, SLOT(hostInfo(QHostInfo))); },
      nullptr, 0 },
    { "categories", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetCatagoriesRequest(c); },
      checkAgain<CabinetCategoryGroupList>, 0 },
    { "userFilter", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetUserFilterRequest(c, 1); },
      checkAgain<CabinetUserFilter>, 0 },
    { "domains", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetDomainsRequest(c, 1, CabinetDomain::WhiteList); },
      checkDomainsAgain, 0 },
    { "domains", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetDomainsRequest(c, 1, CabinetDomain::AliasList); },
      checkDomainsAgain, 0 },
    { "addDomain", [](JsonRPCCall *c, Receiver *) {
          return new LegacyCabinetAddDomainRequest(c, 1, CabinetDomain::BlackList, "x.example", QHostAddress()); },
      nullptr, 0 },
    { "addProfile", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetAddProfileRequest(c); },
      checkAgain<CabinetProfile>, 0 },
    { "schedule", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetScheduleRequest(c, 1); },
      checkAgain<CabinetSchedule>, 0 },
    { "profileScheduleActivity", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetProfileActivityRequest(c, 1); },
      checkAgain<CabinetProfileActivity>, 0 },
    { "getProfile", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetGetTokenAgentUidProfileIdRequest(c); },
      checkAgain<CabinetTokenAgentUidProfileId>, 0 },
    { "updateNic", [](JsonRPCCall *c, Receiver *) { return new LegacyCabinetUpdateNicRequest(c); },
      [](CabinetRequest *r) { FuzzSupport::check(!dynamic_cast<CabinetFunction<QHostAddress> *>(r)->result().isNull()); }, 0 },
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::silenceLog();
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > 64 * 1024)
        return 0;
    const Method &method = Methods[data[0] % (sizeof Methods / sizeof Methods[0])];
    const QVariant result = QxtJSON::parse(
            QString::fromUtf8(reinterpret_cast<const char *>(data + 1), static_cast<int>(size - 1)));

    Receiver receiver;
    auto *call = new JsonRPCCall(1, method.name, {});
    CabinetRequest *request = method.make(call, &receiver);
    int finishes = 0;
    QObject::connect(request, &Request::finished, [&finishes] { ++finishes; });
    call->setResult(result);
    FuzzSupport::check(finishes == 1 && request->hasFinished());
    const int code = request->error().code();
    FuzzSupport::check(code == 0 || code == 9 || (method.refusal && code == method.refusal));
    if (code == 0 && method.whenAccepted)
        method.whenAccepted(request);
    delete call;
    return 0;
}

#include "fuzz_cabinet_answers.moc"

// Drives the account state with fuzzed answers: the input is a sequence of steps, each a
// byte that picks what arrives (or what the user does) followed by a length-prefixed JSON
// text that becomes the arriving record. Answers that their record refuses arrive as
// failed requests, as the answer checks would make them.
//
// Beyond "no crash, no leak": the selected and the current profile are always entries of
// the profile list.
#include "cabinet.h"
#include "fuzzsupport.h"
#include "profiledata.h"
#include "qxtjson.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdint>

namespace {

// Every operation is a request that waits for the fuzzer to answer it.
class ScriptedCabinet : public Cabinet
{
public:
    QList<QPointer<CabinetRequest>> waiting;

    template <typename R>
    R *keep(R *request)
    {
        QObject::connect(request, &Request::finished, request, &QObject::deleteLater);
        waiting.append(request);
        return request;
    }
    // The oldest unanswered request of type R.
    template <typename R>
    R *next()
    {
        for (const QPointer<CabinetRequest> &request : qAsConst(waiting)) {
            if (request && !request->hasFinished())
                if (auto *typed = dynamic_cast<R *>(request.data()))
                    return typed;
        }
        return nullptr;
    }

    CabinetFunction<CabinetSystemInfo> *systemInfo() override { return keep(new CabinetFunction<CabinetSystemInfo>(this)); }
    CabinetFunction<CabinetUserInfo> *userInfo() override { return keep(new CabinetFunction<CabinetUserInfo>(this)); }
    CabinetFunction<CabinetProfiles> *profiles() override { return keep(new CabinetFunction<CabinetProfiles>(this)); }
    CabinetRequest *registerUser(const QString &, const QString &) override { return nullptr; }
    CabinetRequest *testAuth(const QString &, const QString &) override { return nullptr; }
    void myip(QObject *, const char *) override {}
    CabinetFunction<CabinetCategoryGroupList> *categories(const QString &) override
    {
        return track(keep(new CabinetFunction<CabinetCategoryGroupList>(this)), &Cabinet::request_categoriesFinished);
    }
    CabinetUserFilterRequest *userFilter(quint32 id) override { return keep(new CabinetUserFilterRequest(id, this)); }
    CabinetDomainsRequest *domains(quint32 id, CabinetDomain::Type type) override
    {
        return keep(new CabinetDomainsRequest(id, type, this));
    }
    CabinetDomainAddRequest *addDomain(quint32 id, CabinetDomain::Type type, const QString &domain,
                                       const QHostAddress &ip) override
    {
        return track(keep(new CabinetDomainAddRequest(id, type, domain, ip, this)), &Cabinet::request_domainAddFinished);
    }
    CabinetFunction<CabinetProfile> *addProfile(const QString &) override
    {
        return track(keep(new CabinetFunction<CabinetProfile>(this)), &Cabinet::request_profileAddFinished);
    }
    CabinetScheduleRequest *schedule(quint32 id) override { return keep(new CabinetScheduleRequest(id, this)); }
    CabinetProfileActivityRequest *profileScheduleActivity(quint32 id) override
    {
        return keep(new CabinetProfileActivityRequest(id, this));
    }
    CabinetFunction<CabinetTokenAgentUidProfileId> *getProfile() override
    {
        return keep(new CabinetFunction<CabinetTokenAgentUidProfileId>(this));
    }
    CabinetFunction<QHostAddress> *updateNic() override { return keep(new CabinetFunction<QHostAddress>(this)); }
};

template <typename R, typename Record, typename... Extra>
void arrive(R *request, const QVariant &value, Extra... extra)
{
    if (!request)
        return;
    Record record;
    if (record.fromVariant(value, extra...)) {
        request->setResult(record);
        request->requestFinished(Error());
    } else {
        request->requestFinished(Error(9, QStringLiteral("Invalid format")));
    }
}

void checkInvariants(const Cabinet &cabinet)
{
    const CabinetProfiles &list = cabinet.profileList();
    for (const QSharedPointer<CabinetProfile> &profile : { cabinet.selectedProfile(), cabinet.currentProfile() })
        FuzzSupport::check(!profile || list.value(profile->id()) == profile);
}

void step(ScriptedCabinet &cabinet, uint8_t what, const QVariant &value)
{
    const quint32 id = value.toMap().value(QStringLiteral("pick")).toUInt();
    switch (what % 16) {
    case 0: arrive<CabinetFunction<CabinetProfiles>, CabinetProfiles>(cabinet.next<CabinetFunction<CabinetProfiles>>(), value); break;
    case 1: arrive<CabinetFunction<CabinetUserInfo>, CabinetUserInfo>(cabinet.next<CabinetFunction<CabinetUserInfo>>(), value); break;
    case 2: arrive<CabinetFunction<CabinetSystemInfo>, CabinetSystemInfo>(cabinet.next<CabinetFunction<CabinetSystemInfo>>(), value); break;
    case 3: arrive<CabinetUserFilterRequest, CabinetUserFilter>(cabinet.next<CabinetUserFilterRequest>(), value); break;
    case 4:
        if (auto *request = cabinet.next<CabinetDomainsRequest>())
            arrive<CabinetDomainsRequest, CabinetDomains>(request, value, request->listType());
        break;
    case 5: arrive<CabinetScheduleRequest, CabinetSchedule>(cabinet.next<CabinetScheduleRequest>(), value); break;
    case 6: arrive<CabinetProfileActivityRequest, CabinetProfileActivity>(cabinet.next<CabinetProfileActivityRequest>(), value); break;
    case 7: arrive<CabinetFunction<CabinetTokenAgentUidProfileId>, CabinetTokenAgentUidProfileId>(
                cabinet.next<CabinetFunction<CabinetTokenAgentUidProfileId>>(), value); break;
    case 8: arrive<CabinetFunction<CabinetProfile>, CabinetProfile>(cabinet.next<CabinetFunction<CabinetProfile>>(), value); break;
    case 9:
        if (auto *request = cabinet.next<CabinetDomainAddRequest>()) {
            request->setDomainId(value.toUInt());
            request->requestFinished(Error());
        }
        break;
    case 10: arrive<CabinetFunction<CabinetCategoryGroupList>, CabinetCategoryGroupList>(
                 cabinet.next<CabinetFunction<CabinetCategoryGroupList>>(), value); break;
    case 11: cabinet.invalidateSettings(); break;
    case 12: cabinet.selectProfile(id, value.toMap().contains(QStringLiteral("quiet"))); break;
    case 13: cabinet.removeProfile(id); break;
    case 14:
        cabinet.addDomain(id, CabinetDomain::Type(id % 3), value.toMap().value(QStringLiteral("domain")).toString(),
                          QHostAddress(value.toMap().value(QStringLiteral("ip")).toString()));
        cabinet.addProfile(QStringLiteral("p"));
        cabinet.categories(QStringLiteral("en"));
        break;
    case 15:
        cabinet.clearDomains(id, CabinetDomain::Type(id % 3));
        cabinet.setFilterCat(id, value.toMap().value(QStringLiteral("category")).toUInt(), true);
        cabinet.removeDomain(id, CabinetDomain::Type((id + 1) % 3), 1);
        cabinet.setScheduleEnabled(id, value.toMap().contains(QStringLiteral("on")));
        break;
    }
    checkInvariants(cabinet);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::silenceLog();
    // The account cache and the settings go to a scratch folder, in memory where there is one.
    static QTemporaryDir scratch(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/fuzz-cabinet-XXXXXX")
                                                                            : QDir::tempPath() + QStringLiteral("/fuzz-cabinet-XXXXXX"));
    qputenv("STATE_DIRECTORY", QFile::encodeName(scratch.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.path()));
    static QCoreApplication app(*argc, *argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("FuzzService"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    QSettings().clear();
    {
        ScriptedCabinet cabinet;
        QCoreApplication::processEvents(); // init()
        cabinet.setCredentials(QStringLiteral("user"), QStringLiteral("secret"));
        size_t at = 0;
        while (at + 3 <= size) {
            const uint8_t what = data[at];
            const size_t length = std::min<size_t>((size_t(data[at + 1]) << 8 | data[at + 2]), size - at - 3);
            const QVariant value = QxtJSON::parse(QString::fromUtf8(reinterpret_cast<const char *>(data + at + 3),
                                                                    static_cast<int>(length)));
            step(cabinet, what, value);
            at += 3 + length;
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

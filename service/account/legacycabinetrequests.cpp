#include "legacycabinetrequests.h"

#include "cabinet.h"
#include "jsonrpccall.h"

#include <QHostInfo>
#include <QMetaMethod>

namespace {

constexpr qint32 InvalidAnswer = 9;
constexpr qint32 CredentialsRefused = 30;
constexpr qint32 RegistrationRefused = 33;

bool isBool(const QVariant &value)
{
    return value.userType() == QMetaType::Bool;
}

// Finishes request with the call's error; true when the call failed.
bool passCallError(Request *request, const JsonRPCCall *call)
{
    if (!call->error().isError())
        return false;
    request->requestFinished(call->error());
    return true;
}

void refuse(Request *request, const char *message)
{
    request->requestFinished(Error(InvalidAnswer, QString::fromLatin1(message)));
}

// The common pattern of the record answers: the record's own reader is the check. A result
// that already holds the record came from the call's direct reader, which checked it.
template <typename Record, typename Leaf, typename... Extra>
void finishWithRecord(Leaf *request, const JsonRPCCall *call, const char *message, Extra... extra)
{
    if (passCallError(request, call))
        return;
    const QVariant &result = call->result();
    if (result.userType() == qMetaTypeId<Record>()) {
        request->setResult(*static_cast<const Record *>(result.constData()));
        request->requestFinished(Error());
        return;
    }
    Record record;
    if (!record.fromVariant(result, extra...)) {
        refuse(request, message);
        return;
    }
    request->setResult(record);
    request->requestFinished(Error());
}

template <typename Leaf>
JsonRPCCall *attach(Leaf *request, JsonRPCCall *call)
{
    QObject::connect(call, &Request::finished, request, &Leaf::callFinished);
    return call;
}

} // namespace

LegacyCabinetSystemInfoRequest::LegacyCabinetSystemInfoRequest(JsonRPCCall *call)
    : CabinetFunction<CabinetSystemInfo>(call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetSystemInfoRequest::callFinished()
{
    finishWithRecord<CabinetSystemInfo>(this, m_call, "Invalid format of SystemInfo");
}

LegacyCabinetUserInfoRequest::LegacyCabinetUserInfoRequest(JsonRPCCall *call)
    : CabinetFunction<CabinetUserInfo>(call)
    , m_call(attach(this, call))
{
    m_result = Cabinet::defaultUserInfo();
}

void LegacyCabinetUserInfoRequest::callFinished()
{
    if (passCallError(this, m_call))
        return;
    CabinetUserInfo info = Cabinet::defaultUserInfo();
    if (!info.fromVariant(m_call->result()))
        qWarning("An invalid user information is received from the site. The default one is "
                 "used instead.");
    setResult(info);
    requestFinished(Error());
}

LegacyCabinetProfilesRequest::LegacyCabinetProfilesRequest(JsonRPCCall *call)
    : CabinetFunction<CabinetProfiles>(call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetProfilesRequest::callFinished()
{
    finishWithRecord<CabinetProfiles>(this, m_call, "Invalid format of profiles list");
}

LegacyCabinetRegisterRequest::LegacyCabinetRegisterRequest(JsonRPCCall *call)
    : CabinetRequest(call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetRegisterRequest::callFinished()
{
    if (passCallError(this, m_call))
        return;
    const QVariantList answer = m_call->result().userType() == QMetaType::QVariantList
            ? m_call->result().toList()
            : QVariantList();
    if (answer.isEmpty() || !isBool(answer.first())) {
        refuse(this, "Invalid format of register response");
        return;
    }
    if (answer.first().toBool()) {
        requestFinished(Error());
        return;
    }
    QString reason = answer.size() > 1 ? answer.at(1).toString() : QString();
    if (reason.isEmpty())
        reason = QStringLiteral("Without reason");
    requestFinished(Error(RegistrationRefused, reason));
}

LegacyCabinetTestAuthRequest::LegacyCabinetTestAuthRequest(JsonRPCCall *call)
    : CabinetRequest(call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetTestAuthRequest::callFinished()
{
    if (passCallError(this, m_call))
        return;
    if (!isBool(m_call->result())) {
        refuse(this, "Invalid format of testAuth response");
        return;
    }
    requestFinished(m_call->result().toBool() ? Error() : Error(CredentialsRefused));
}

LegacyCabinetMyIpRequest::LegacyCabinetMyIpRequest(JsonRPCCall *call, QObject *receiver,
                                                   const char *slot)
    : CabinetRequest(call)
    , m_call(attach(this, call))
    , m_receiver(receiver)
    , m_slot(slot)
{
}

void LegacyCabinetMyIpRequest::callFinished()
{
    QHostInfo info(-1);
    Error outcome;
    if (m_call->error().isError()) {
        outcome = m_call->error();
        info.setError(QHostInfo::UnknownError);
        info.setErrorString(outcome.message().isEmpty() ? QString::number(outcome.code())
                                                        : outcome.message());
    } else {
        const QHostAddress address(m_call->result().toString());
        if (address.isNull()) {
            info.setError(QHostInfo::UnknownError);
            info.setErrorString(QStringLiteral("Invalid IP format"));
            outcome = Error(InvalidAnswer, QStringLiteral("Invalid format of myip response"));
        } else {
            info.setAddresses({ address });
        }
    }
    if (m_receiver && m_slot.size() > 1) {
        const QByteArray signature = QMetaObject::normalizedSignature(m_slot.constData() + 1);
        const int index = m_receiver->metaObject()->indexOfSlot(signature.constData());
        if (index < 0)
            qWarning("failed to find slot %s", m_slot.constData());
        else
            m_receiver->metaObject()->method(index).invoke(m_receiver, Qt::DirectConnection,
                                                           Q_ARG(QHostInfo, info));
    }
    requestFinished(outcome);
}

LegacyCabinetCatagoriesRequest::LegacyCabinetCatagoriesRequest(JsonRPCCall *call)
    : CabinetFunction<CabinetCategoryGroupList>(call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetCatagoriesRequest::callFinished()
{
    finishWithRecord<CabinetCategoryGroupList>(this, m_call, "Invalid format of categories response");
}

LegacyCabinetUserFilterRequest::LegacyCabinetUserFilterRequest(JsonRPCCall *call, quint32 profileId)
    : CabinetUserFilterRequest(profileId, call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetUserFilterRequest::callFinished()
{
    finishWithRecord<CabinetUserFilter>(this, m_call, "Invalid format of userFilter response");
}

LegacyCabinetDomainsRequest::LegacyCabinetDomainsRequest(JsonRPCCall *call, quint32 profileId,
                                                         CabinetDomain::Type type)
    : CabinetDomainsRequest(profileId, type, call)
    , m_call(attach(this, call))
{
    // Lists of thousands of entries are read straight from the answer's text when it
    // allows; the generic path still checks every other form.
    call->setResultReader([type](const char *&pos, const char *end, QVariant *result) {
        CabinetDomains list;
        if (!list.readPlainJson(pos, end, type))
            return false;
        *result = QVariant::fromValue(list);
        return true;
    });
}

void LegacyCabinetDomainsRequest::callFinished()
{
    finishWithRecord<CabinetDomains>(this, m_call, "Invalid format of domains response", listType());
}

LegacyCabinetAddDomainRequest::LegacyCabinetAddDomainRequest(JsonRPCCall *call, quint32 profileId,
                                                             CabinetDomain::Type type,
                                                             const QString &domain,
                                                             const QHostAddress &ip)
    : CabinetDomainAddRequest(profileId, type, domain, ip, call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetAddDomainRequest::callFinished()
{
    if (passCallError(this, m_call))
        return;
    bool ok = false;
    const uint id = m_call->result().toUInt(&ok);
    if (!ok) {
        refuse(this, "Invalid format of addDomain response");
        return;
    }
    setDomainId(id);
    requestFinished(Error());
}

LegacyCabinetAddProfileRequest::LegacyCabinetAddProfileRequest(JsonRPCCall *call)
    : CabinetFunction<CabinetProfile>(call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetAddProfileRequest::callFinished()
{
    finishWithRecord<CabinetProfile>(this, m_call, "Invalid format of addProfile response");
}

LegacyCabinetScheduleRequest::LegacyCabinetScheduleRequest(JsonRPCCall *call, quint32 profileId)
    : CabinetScheduleRequest(profileId, call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetScheduleRequest::callFinished()
{
    finishWithRecord<CabinetSchedule>(this, m_call, "Invalid format of schedule response");
}

LegacyCabinetProfileActivityRequest::LegacyCabinetProfileActivityRequest(JsonRPCCall *call,
                                                                         quint32 profileId)
    : CabinetProfileActivityRequest(profileId, call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetProfileActivityRequest::callFinished()
{
    finishWithRecord<CabinetProfileActivity>(this, m_call, "Invalid format of profileActivity response");
}

LegacyCabinetGetTokenAgentUidProfileIdRequest::LegacyCabinetGetTokenAgentUidProfileIdRequest(
        JsonRPCCall *call)
    : CabinetFunction<CabinetTokenAgentUidProfileId>(call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetGetTokenAgentUidProfileIdRequest::callFinished()
{
    finishWithRecord<CabinetTokenAgentUidProfileId>(this, m_call,
                                                    "Invalid format of getProfile response");
}

LegacyCabinetUpdateNicRequest::LegacyCabinetUpdateNicRequest(JsonRPCCall *call)
    : CabinetFunction<QHostAddress>(call)
    , m_call(attach(this, call))
{
}

void LegacyCabinetUpdateNicRequest::callFinished()
{
    if (passCallError(this, m_call))
        return;
    const QHostAddress address = m_call->result().userType() == QMetaType::QString
            ? QHostAddress(m_call->result().toString())
            : QHostAddress();
    if (address.isNull()) {
        refuse(this, "Invalid format of NicUpdate");
        return;
    }
    setResult(address);
    requestFinished(Error());
}

#pragma once

#include "cabinetrequest.h"

#include <QPointer>

class JsonRPCCall;

// One request class per awaited method of the account web service. Each is created as the
// child of the JSON-RPC call that carries the method, waits for that call's finished()
// and then finishes itself: with the call's own error when the call failed, else with code
// 0 and the checked result, or code 9 and the method's message when the answer has the
// wrong form. The answer is untrusted: every check accepts or refuses any JSON value.

class LegacyCabinetSystemInfoRequest : public CabinetFunction<CabinetSystemInfo>
{
    Q_OBJECT
public:
    explicit LegacyCabinetSystemInfoRequest(JsonRPCCall *call);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

// A user information that the record refuses still finishes with code 0, holding the
// defaults for what could not be read, after one warning.
class LegacyCabinetUserInfoRequest : public CabinetFunction<CabinetUserInfo>
{
    Q_OBJECT
public:
    explicit LegacyCabinetUserInfoRequest(JsonRPCCall *call);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

class LegacyCabinetProfilesRequest : public CabinetFunction<CabinetProfiles>
{
    Q_OBJECT
public:
    explicit LegacyCabinetProfilesRequest(JsonRPCCall *call);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

// [true] finishes with code 0; [false, reason] with code 33 and the reason ("Without
// reason" when there is none).
class LegacyCabinetRegisterRequest : public CabinetRequest
{
    Q_OBJECT
public:
    explicit LegacyCabinetRegisterRequest(JsonRPCCall *call);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

// true finishes with code 0, false with code 30.
class LegacyCabinetTestAuthRequest : public CabinetRequest
{
    Q_OBJECT
public:
    explicit LegacyCabinetTestAuthRequest(JsonRPCCall *call);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

// Hands a QHostInfo (lookup id -1) to a slot of the receiver: the address, or
// QHostInfo::UnknownError with the reason.
class LegacyCabinetMyIpRequest : public CabinetRequest
{
    Q_OBJECT
public:
    // slot as SLOT() writes it (its first character is skipped).
    LegacyCabinetMyIpRequest(JsonRPCCall *call, QObject *receiver, const char *slot);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
    QPointer<QObject> m_receiver;
    QByteArray m_slot;
};

class LegacyCabinetCatagoriesRequest : public CabinetFunction<CabinetCategoryGroupList>
{
    Q_OBJECT
public:
    explicit LegacyCabinetCatagoriesRequest(JsonRPCCall *call);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

class LegacyCabinetUserFilterRequest : public CabinetUserFilterRequest
{
    Q_OBJECT
public:
    LegacyCabinetUserFilterRequest(JsonRPCCall *call, quint32 profileId);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

class LegacyCabinetDomainsRequest : public CabinetDomainsRequest
{
    Q_OBJECT
public:
    LegacyCabinetDomainsRequest(JsonRPCCall *call, quint32 profileId, CabinetDomain::Type type);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

class LegacyCabinetAddDomainRequest : public CabinetDomainAddRequest
{
    Q_OBJECT
public:
    LegacyCabinetAddDomainRequest(JsonRPCCall *call, quint32 profileId, CabinetDomain::Type type,
                                  const QString &domain, const QHostAddress &ip);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

class LegacyCabinetAddProfileRequest : public CabinetFunction<CabinetProfile>
{
    Q_OBJECT
public:
    explicit LegacyCabinetAddProfileRequest(JsonRPCCall *call);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

class LegacyCabinetScheduleRequest : public CabinetScheduleRequest
{
    Q_OBJECT
public:
    LegacyCabinetScheduleRequest(JsonRPCCall *call, quint32 profileId);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

class LegacyCabinetProfileActivityRequest : public CabinetProfileActivityRequest
{
    Q_OBJECT
public:
    LegacyCabinetProfileActivityRequest(JsonRPCCall *call, quint32 profileId);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

class LegacyCabinetGetTokenAgentUidProfileIdRequest
    : public CabinetFunction<CabinetTokenAgentUidProfileId>
{
    Q_OBJECT
public:
    explicit LegacyCabinetGetTokenAgentUidProfileIdRequest(JsonRPCCall *call);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

class LegacyCabinetUpdateNicRequest : public CabinetFunction<QHostAddress>
{
    Q_OBJECT
public:
    explicit LegacyCabinetUpdateNicRequest(JsonRPCCall *call);
public slots:
    void callFinished();
private:
    JsonRPCCall *m_call;
};

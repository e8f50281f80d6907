#pragma once

#include "cabinetcategory.h"
#include "cabinetdomain.h"
#include "cabinetprofile.h"
#include "cabinetschedule.h"
#include "cabinetuserfilter.h"
#include "cabinetuserinfo.h"
#include "request.h"

#include <QHostAddress>

// The request that a remote operation of the account state returns. It finishes once,
// when the remote call behind it ended: code 0 with its result filled in, or the call's
// error, or code 9 when the answer had the wrong form.
//
// Owned by the JSON-RPC call that carries it (it is created as the call's child) and
// destroyed with it, after its finished() has been delivered; a receiver reads the result
// during finished() and never keeps the pointer beyond it.
class CabinetRequest : public Request
{
    Q_OBJECT

public:
    explicit CabinetRequest(QObject *parent = nullptr);

    // True once requestFinished() ran: a pending-request slot of the account state that
    // still points here no longer counts as waiting.
    bool hasFinished() const { return m_finished; }

    // The sign-in the request was issued under (see Cabinet): answers of a request made
    // for earlier credentials are dropped by the account state.
    quint64 session() const { return m_session; }
    void setSession(quint64 session) { m_session = session; }

    void requestFinished(const Error &error) override;

private:
    quint64 m_session = 0;
    bool m_finished = false;
};

// A request with one result value, default-constructed until a valid answer arrived.
template <typename T>
class CabinetFunction : public CabinetRequest
{
public:
    explicit CabinetFunction(QObject *parent = nullptr)
        : CabinetRequest(parent)
    {
    }

    const T &result() const { return m_result; }
    void setResult(const T &result) { m_result = result; }

protected:
    T m_result {};
};

// The domain list of one profile and list type.
class CabinetDomainsRequest : public CabinetFunction<CabinetDomains>
{
    Q_OBJECT

public:
    CabinetDomainsRequest(quint32 profileId, CabinetDomain::Type type, QObject *parent = nullptr);

    quint32 profileId() const { return m_profileId; }
    CabinetDomain::Type listType() const { return m_type; }

private:
    quint32 m_profileId;
    CabinetDomain::Type m_type;
};

class CabinetScheduleRequest : public CabinetFunction<CabinetSchedule>
{
    Q_OBJECT

public:
    explicit CabinetScheduleRequest(quint32 profileId, QObject *parent = nullptr);

    quint32 profileId() const { return m_profileId; }

private:
    quint32 m_profileId;
};

// A new entry of a domain list; the result is the entry as the account now holds it (the
// id the account service gave it, the name and the alias address asked for).
class CabinetDomainAddRequest : public CabinetFunction<CabinetDomain>
{
    Q_OBJECT

public:
    CabinetDomainAddRequest(quint32 profileId, CabinetDomain::Type type, const QString &domain,
                            const QHostAddress &ip, QObject *parent = nullptr);

    quint32 profileId() const { return m_profileId; }
    CabinetDomain::Type listType() const { return m_type; }
    QString domain() const { return m_domain; }
    QHostAddress ip() const { return m_ip; }
    quint32 domainId() const { return m_result.id(); }
    void setDomainId(quint32 id);

private:
    quint32 m_profileId;
    CabinetDomain::Type m_type;
    QString m_domain;
    QHostAddress m_ip;
};

class CabinetUserFilterRequest : public CabinetFunction<CabinetUserFilter>
{
    Q_OBJECT

public:
    explicit CabinetUserFilterRequest(quint32 profileId, QObject *parent = nullptr);

    quint32 profileId() const { return m_profileId; }

private:
    quint32 m_profileId;
};

class CabinetProfileActivityRequest : public CabinetFunction<CabinetProfileActivity>
{
    Q_OBJECT

public:
    explicit CabinetProfileActivityRequest(quint32 profileId, QObject *parent = nullptr);

    quint32 profileId() const { return m_profileId; }

private:
    quint32 m_profileId;
};

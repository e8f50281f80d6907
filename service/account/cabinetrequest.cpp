#include "cabinetrequest.h"

CabinetRequest::CabinetRequest(QObject *parent)
    : Request(parent)
{
}

void CabinetRequest::requestFinished(const Error &error)
{
    m_finished = true;
    Request::requestFinished(error);
}

CabinetDomainsRequest::CabinetDomainsRequest(quint32 profileId, CabinetDomain::Type type,
                                             QObject *parent)
    : CabinetFunction<CabinetDomains>(parent)
    , m_profileId(profileId)
    , m_type(type)
{
}

CabinetScheduleRequest::CabinetScheduleRequest(quint32 profileId, QObject *parent)
    : CabinetFunction<CabinetSchedule>(parent)
    , m_profileId(profileId)
{
}

CabinetDomainAddRequest::CabinetDomainAddRequest(quint32 profileId, CabinetDomain::Type type,
                                                 const QString &domain, const QHostAddress &ip,
                                                 QObject *parent)
    : CabinetFunction<CabinetDomain>(parent)
    , m_profileId(profileId)
    , m_type(type)
    , m_domain(domain)
    , m_ip(ip)
{
    m_result = CabinetDomain(0, domain, ip);
}

void CabinetDomainAddRequest::setDomainId(quint32 id)
{
    m_result.setId(id);
}

CabinetUserFilterRequest::CabinetUserFilterRequest(quint32 profileId, QObject *parent)
    : CabinetFunction<CabinetUserFilter>(parent)
    , m_profileId(profileId)
{
}

CabinetProfileActivityRequest::CabinetProfileActivityRequest(quint32 profileId, QObject *parent)
    : CabinetFunction<CabinetProfileActivity>(parent)
    , m_profileId(profileId)
{
}

#include "deferredserializer.h"

#include "cabinetrequest.h"

DeferredSerializer::DeferredSerializer(CabinetRequest *request)
    : QObject(request)
    , m_request(request)
{
    connect(request, &Request::finished, this, &DeferredSerializer::serializeResultToDeferred);
}

DeferredSerializer::~DeferredSerializer()
{
    if (!m_deferred.isFired())
        m_deferred.errback(Error(Error::InvalidAnswerCode, QStringLiteral("The account request ended without an answer")));
}

void DeferredSerializer::serializeResultToDeferred()
{
    if (m_deferred.isFired())
        return;
    if (m_request->error().isError())
        m_deferred.errback(m_request->error());
    else
        m_deferred.callback(serializeResult(m_request));
}

QVariant DeferredProfileSerializer::serializeResult(const CabinetRequest *request) const
{
    return static_cast<const CabinetFunction<CabinetProfile> *>(request)->result().toVariant();
}

QVariant DeferredCategoriesSerializer::serializeResult(const CabinetRequest *request) const
{
    return static_cast<const CabinetFunction<CabinetCategoryGroupList> *>(request)->result().toVariant();
}

QVariant DeferredDomainIdSerializer::serializeResult(const CabinetRequest *request) const
{
    return static_cast<const CabinetDomainAddRequest *>(request)->domainId();
}

#pragma once

#include "cabinetrequest.h"
#include "deferred.h"

#include <QObject>
#include <QVariant>

// Answers a desktop client's call with the result of an account request: a child of the
// request, it fires its Deferred when the request finishes, with the request's error when
// that failed, else with the result in its JSON form (serializeResult(), one variant per
// result type; each takes only its own request type). A request destroyed without finishing fails the Deferred with code 9, so
// that the client's answer is never held back for good.
class DeferredSerializer : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(DeferredSerializer)

public:
    Deferred deferred() const { return m_deferred; }

public slots:
    void serializeResultToDeferred();

protected:
    explicit DeferredSerializer(CabinetRequest *request);
    ~DeferredSerializer() override;

    virtual QVariant serializeResult(const CabinetRequest *request) const = 0;

private:
    CabinetRequest *m_request;
    Deferred m_deferred;
};

// The new profile's map (addProfile).
class DeferredProfileSerializer : public DeferredSerializer
{
    Q_OBJECT
public:
    explicit DeferredProfileSerializer(CabinetFunction<CabinetProfile> *request) : DeferredSerializer(request) {}

protected:
    QVariant serializeResult(const CabinetRequest *request) const override;
};

// The category groups (categories).
class DeferredCategoriesSerializer : public DeferredSerializer
{
    Q_OBJECT
public:
    explicit DeferredCategoriesSerializer(CabinetFunction<CabinetCategoryGroupList> *request) : DeferredSerializer(request) {}

protected:
    QVariant serializeResult(const CabinetRequest *request) const override;
};

// The new domain's id (addDomain).
class DeferredDomainIdSerializer : public DeferredSerializer
{
    Q_OBJECT
public:
    explicit DeferredDomainIdSerializer(CabinetDomainAddRequest *request) : DeferredSerializer(request) {}

protected:
    QVariant serializeResult(const CabinetRequest *request) const override;
};

// A Deferred for a request: the serializer's when there is a request, else one that has
// already failed (the account state gave no request).
template <typename Serializer, typename R>
Deferred serializedDeferred(R *request)
{
    if (!request) {
        Deferred failed;
        failed.errback(Error(1, QStringLiteral("The account request could not be made")));
        return failed;
    }
    return (new Serializer(request))->deferred();
}

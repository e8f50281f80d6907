#pragma once

// A Cabinet whose remote operations are scripted by the test: every operation is recorded
// with its parameters, and the test answers the requests it chooses, in the order it
// chooses. Nothing goes to the network.

#include "cabinet.h"

#include <QPointer>
#include <QStringList>
#include <QVariantList>

class FakeCabinet : public Cabinet
{
public:
    struct Sent
    {
        QString method;
        QVariantList params;
        QPointer<CabinetRequest> request;
    };

    explicit FakeCabinet(QObject *parent = nullptr) : Cabinet(parent) {}

    QList<Sent> sent;

    // The methods sent so far, in order ("profiles", "domains", ...).
    QStringList methods() const
    {
        QStringList names;
        for (const Sent &s : sent)
            names.append(s.method);
        return names;
    }
    int count(const QString &method) const { return methods().count(method); }
    void clearSent() { sent.clear(); }

    // The oldest request of that method that is still waiting for its answer.
    CabinetRequest *waiting(const QString &method, const QVariantList &params = {}) const
    {
        for (const Sent &s : sent) {
            if (s.method == method && s.request && !s.request->hasFinished()
                && (params.isEmpty() || s.params == params))
                return s.request;
        }
        return nullptr;
    }

    template <typename T>
    bool answer(const QString &method, const T &value, const QVariantList &params = {})
    {
        auto *request = dynamic_cast<CabinetFunction<T> *>(waiting(method, params));
        if (!request)
            return false;
        request->setResult(value);
        request->requestFinished(Error());
        return true;
    }

    bool fail(const QString &method, const Error &error, const QVariantList &params = {})
    {
        CabinetRequest *request = waiting(method, params);
        if (!request)
            return false;
        request->requestFinished(error);
        return true;
    }

    // Answers every waiting request of the profile data with empty but valid data.
    void answerProfileData()
    {
        const QList<Sent> all = sent;
        for (const Sent &s : all) {
            if (!s.request || s.request->hasFinished())
                continue;
            if (s.method == QLatin1String("userFilter"))
                answer(s.method, CabinetUserFilter(), s.params);
            else if (s.method == QLatin1String("domains"))
                answer(s.method, CabinetDomains(), s.params);
            else if (s.method == QLatin1String("schedule"))
                answer(s.method, CabinetSchedule(), s.params);
        }
    }

    void transportError(const Error &error) { recordTransportError(error); }
    void setConnectionState(int state) { setState(state); }

    CabinetFunction<CabinetSystemInfo> *systemInfo() override
    {
        return record("systemInfo", {}, new CabinetFunction<CabinetSystemInfo>(this));
    }
    CabinetFunction<CabinetUserInfo> *userInfo() override
    {
        return record("userInfo", {}, new CabinetFunction<CabinetUserInfo>(this));
    }
    CabinetFunction<CabinetProfiles> *profiles() override
    {
        return record("profiles", {}, new CabinetFunction<CabinetProfiles>(this));
    }
    CabinetRequest *registerUser(const QString &user, const QString &password) override
    {
        return track(record("register", { user, password }, new CabinetRequest(this)));
    }
    CabinetRequest *testAuth(const QString &user, const QString &password) override
    {
        return track(record("testAuth", { user, password }, new CabinetRequest(this)));
    }
    void myip(QObject *, const char *) override { record("myip", {}, new CabinetRequest(this)); }
    CabinetFunction<CabinetCategoryGroupList> *categories(const QString &language) override
    {
        return track(record("categories", { language }, new CabinetFunction<CabinetCategoryGroupList>(this)),
                     &Cabinet::request_categoriesFinished);
    }
    CabinetUserFilterRequest *userFilter(quint32 profileId) override
    {
        return record("userFilter", { profileId }, new CabinetUserFilterRequest(profileId, this));
    }
    CabinetDomainsRequest *domains(quint32 profileId, CabinetDomain::Type type) override
    {
        return record("domains", { profileId, int(type) }, new CabinetDomainsRequest(profileId, type, this));
    }
    void setFilterCat(quint32 profileId, quint32 categoryId, bool blocked) override
    {
        note("setFilterCat", { profileId, categoryId, blocked });
        Cabinet::setFilterCat(profileId, categoryId, blocked);
    }
    void clearDomains(quint32 profileId, CabinetDomain::Type type) override
    {
        note("clearDomains", { profileId, int(type) });
        Cabinet::clearDomains(profileId, type);
    }
    CabinetDomainAddRequest *addDomain(quint32 profileId, CabinetDomain::Type type,
                                       const QString &domain, const QHostAddress &ip) override
    {
        return track(record("addDomain", { profileId, int(type), domain },
                            new CabinetDomainAddRequest(profileId, type, domain, ip, this)),
                     &Cabinet::request_domainAddFinished);
    }
    void removeDomain(quint32 profileId, CabinetDomain::Type type, quint32 domainId) override
    {
        note("removeDomain", { profileId, int(type), domainId });
        Cabinet::removeDomain(profileId, type, domainId);
    }
    CabinetFunction<CabinetProfile> *addProfile(const QString &name) override
    {
        return track(record("addProfile", { name }, new CabinetFunction<CabinetProfile>(this)),
                     &Cabinet::request_profileAddFinished);
    }
    void removeProfile(quint32 profileId) override
    {
        note("removeProfile", { profileId });
        Cabinet::removeProfile(profileId);
    }
    CabinetScheduleRequest *schedule(quint32 profileId) override
    {
        return record("schedule", { profileId }, new CabinetScheduleRequest(profileId, this));
    }
    void setScheduleEnabled(quint32 profileId, bool enabled) override
    {
        note("setScheduleEnabled", { profileId, enabled });
        Cabinet::setScheduleEnabled(profileId, enabled);
    }
    void setSchedule(quint32 profileId, const CabinetSchedule &schedule) override
    {
        note("setSchedule", { profileId, schedule.toVariant() });
        Cabinet::setSchedule(profileId, schedule);
    }
    void setWhiteListOnly(quint32 profileId, bool enabled) override
    {
        note("setWhiteListOnly", { profileId, enabled });
        Cabinet::setWhiteListOnly(profileId, enabled);
    }
    void setBlockUnknownEnabled(quint32 profileId, bool enabled) override
    {
        note("setBlockUnknownEnabled", { profileId, enabled });
        Cabinet::setBlockUnknownEnabled(profileId, enabled);
    }
    void setSafeSearchEnabled(quint32 profileId, bool enabled) override
    {
        note("setSafeSearchEnabled", { profileId, enabled });
        Cabinet::setSafeSearchEnabled(profileId, enabled);
    }
    void setSafeYoutubeEnabled(quint32 profileId, bool enabled) override
    {
        note("setSafeYoutubeEnabled", { profileId, enabled });
        Cabinet::setSafeYoutubeEnabled(profileId, enabled);
    }
    CabinetProfileActivityRequest *profileScheduleActivity(quint32 profileId) override
    {
        return record("profileScheduleActivity", { profileId },
                      new CabinetProfileActivityRequest(profileId, this));
    }
    CabinetFunction<CabinetTokenAgentUidProfileId> *getProfile() override
    {
        return record("getProfile", { agentUid() }, new CabinetFunction<CabinetTokenAgentUidProfileId>(this));
    }
    void setProfile() override
    {
        note("setProfile", { agentUid(), currentProfile() ? currentProfile()->id() : 0u });
        Cabinet::setProfile();
    }
    CabinetFunction<QHostAddress> *updateNic() override
    {
        return record("updateNic", {}, new CabinetFunction<QHostAddress>(this));
    }

private:
    template <typename R>
    R *record(const char *method, const QVariantList &params, R *request)
    {
        // Answered requests go on the next turn, as the real ones go with their call.
        connect(request, &Request::finished, request, &QObject::deleteLater);
        sent.append({ QString::fromLatin1(method), params, request });
        return request;
    }
    void note(const char *method, const QVariantList &params)
    {
        sent.append({ QString::fromLatin1(method), params, nullptr });
    }
};

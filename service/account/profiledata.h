#pragma once

#include "cabinetdomain.h"
#include "cabinetrequest.h"
#include "cabinetschedule.h"
#include "cabinetuserfilter.h"

#include <QPointer>
#include <QVariantMap>

class JsonCache;

// The data of one profile: its category filter, its three domain lists and its schedule,
// with the version each was loaded at, and the request under way for each.
//
// The versions decide what a refresh asks for again: a part is asked for when its version
// is below the profile's actual version, or always when the actual version is 0. Entries
// are kept in the account cache (shared with the account state) under the names of
// CacheEntry; the cache is read only by load() and written by the save functions.
class ProfileData
{
public:
    // The five parts, in the order a refresh asks for them; the list parts have the
    // numbers of their CabinetDomain::Type plus one.
    enum Part {
        Filter = 0,
        WhiteList = 1,
        BlackList = 2,
        AliasList = 3,
        Schedule = 4,
    };
    static constexpr int PartCount = 5;

    // The loaded flag of a part: 1 filter, 2 white list, 4 black list, 8 alias list,
    // 16 schedule.
    static constexpr int loadedFlag(Part part) { return 1 << int(part); }
    static Part partOf(CabinetDomain::Type type) { return Part(int(type) + 1); }

    ProfileData(quint32 profileId, JsonCache *cache);

    quint32 profileId() const { return m_profileId; }

    // Whether the profile's schedule lets it apply now; true until the account service
    // says otherwise.
    bool isScheduleActive() const { return m_scheduleActivity; }
    void setScheduleActive(bool active) { m_scheduleActivity = active; }

    quint32 actualVersion() const { return m_actualVersion; }
    void setActualVersion(quint32 version) { m_actualVersion = version; }
    quint32 version(Part part) const { return parts(part).versions[part]; }
    void setVersion(Part part, quint32 version) { writable(part).versions[part] = version; }
    bool isLoaded(Part part) const { return parts(part).loaded & loadedFlag(part); }
    void setLoaded(Part part) { writable(part).loaded |= loadedFlag(part); }
    int loadedFlags() const;

    const CabinetUserFilter &userFilter() const { return parts(Filter).filter; }
    void setUserFilter(const CabinetUserFilter &filter) { writable(Filter).filter = filter; }
    const CabinetDomains &domains(CabinetDomain::Type type) const { return parts(partOf(type)).lists[type]; }
    CabinetDomains &domains(CabinetDomain::Type type) { return writable(partOf(type)).lists[type]; }
    void setDomains(CabinetDomain::Type type, const CabinetDomains &domains) { writable(partOf(type)).lists[type] = domains; }
    const CabinetSchedule &schedule() const { return parts(Schedule).schedule; }
    void setSchedule(const CabinetSchedule &schedule) { writable(Schedule).schedule = schedule; }

    // True while a request for the part, issued for a version at least version, has not
    // finished yet.
    bool isWaiting(Part part, quint32 version) const;
    // Remembers request as the part's pending request, cancelling (deleting later) the
    // previous one.
    void setPending(Part part, CabinetRequest *request, quint32 version);
    // Cancels every pending request.
    void cancelPending();
    // Sets the actual version, every part's version and every pending version to 0.
    void forgetVersions();

    // Reads the version map from the cache. Each part is read from the cache when it is
    // first looked at or changed (or by readNextPart()), so that a change is never
    // overwritten by the cache; a part that is missing or unreadable there stays unloaded
    // with version 0.
    void load();
    // Reads one part that has not been read yet; false when every part has been.
    bool readNextPart();
    // True once every part has been read from the cache (or set).
    bool isFullyRead() const;
    // Writes the six versions under "profileversion-<id>".
    void saveVersions();
    void saveUserFilter();
    void saveDomains(CabinetDomain::Type type);
    void saveSchedule();

private:
    struct Pending
    {
        QPointer<CabinetRequest> request;
        quint32 version = 0;
    };

    // The parts as read from the cache or set since. Reading a large account's cache takes
    // about a second, so a part is read only when it is needed (looking at it is not a
    // change, hence mutable).
    struct Parts
    {
        quint32 versions[PartCount] = {};
        int loaded = 0;
        bool read[PartCount] = {};
        CabinetUserFilter filter;
        CabinetDomains lists[3];
        CabinetSchedule schedule;
    };
    const Parts &parts(Part part) const;
    Parts &writable(Part part);
    void read(Part part) const;

    bool m_scheduleActivity = true;
    quint32 m_profileId;
    quint32 m_actualVersion = 0;
    JsonCache *m_cache;
    // The cached version map, until every part has taken its version from it.
    QVariantMap m_cachedVersions;
    mutable Parts m_parts;
    Pending m_pending[PartCount];
};

#pragma once

#include "lodestar_export.h"

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

// A filtering profile of the account. Its JSON form is a map of the nine keys below; the
// same form travels on the account wire, in the cache and on the IPC wire.
class LODESTAR_EXPORT CabinetProfile
{
public:
    static const QString NameKey;                 // "name"
    static const QString IdKey;                   // "id"
    static const QString TokenKey;                // "token"
    static const QString DefaultKey;              // "default"
    static const QString ScheduleEnabledKey;      // "is_schedule_enabled"
    static const QString WhiteListOnlyEnabledKey; // "white_list_only"
    static const QString BlockUnknownEnabledKey;  // "block_unknown_enabled"
    static const QString SafeSearchEnabledKey;    // "safe_search_enabled"
    static const QString SafeYoutubeEnabledKey;   // "safe_youtube_enabled"

    CabinetProfile() = default;

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    quint32 id() const { return m_id; }
    void setId(quint32 id) { m_id = id; }
    // The profile's identification token, appended to DNS queries while it is selected.
    quint32 token() const { return m_token; }
    void setToken(quint32 token) { m_token = token; }
    bool isDefault() const { return m_default; }
    void setDefault(bool on) { m_default = on; }
    bool isScheduleEnabled() const { return m_scheduleEnabled; }
    void setScheduleEnabled(bool on) { m_scheduleEnabled = on; }
    bool isWhiteListOnlyEnabled() const { return m_whiteListOnly; }
    void setWhiteListOnlyEnabled(bool on) { m_whiteListOnly = on; }
    bool isBlockUnknownEnabled() const { return m_blockUnknown; }
    void setBlockUnknownEnabled(bool on) { m_blockUnknown = on; }
    bool isSafeSearchEnabled() const { return m_safeSearch; }
    void setSafeSearchEnabled(bool on) { m_safeSearch = on; }
    bool isSafeYoutubeEnabled() const { return m_safeYoutube; }
    void setSafeYoutubeEnabled(bool on) { m_safeYoutube = on; }

    // Needs a map with a non-empty name, an id and a token; otherwise the profile is left
    // unchanged and the result is false. Absent flags read false.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;
    QString toString() const;

    // Equality ignores the name: two profiles are the same when id, token and every flag
    // agree (a rename alone is not a change of filtering).
    bool operator==(const CabinetProfile &other) const;
    bool operator!=(const CabinetProfile &other) const { return !(*this == other); }
    // The default profile first, then locale-aware name order.
    bool operator<(const CabinetProfile &other) const;
    bool operator>(const CabinetProfile &other) const { return other < *this; }

    void swap(CabinetProfile &other) noexcept;

private:
    QString m_name;
    quint32 m_id = 0;
    quint32 m_token = 0;
    bool m_default = false;
    bool m_scheduleEnabled = false;
    bool m_whiteListOnly = false;
    bool m_blockUnknown = false;
    bool m_safeSearch = false;
    bool m_safeYoutube = false;
};

// The profiles in the order received.
class LODESTAR_EXPORT CabinetProfileList : public QList<CabinetProfile>
{
public:
    // All-or-nothing: a list whose every element is a valid profile; else empty and false.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;
};

// The account's profiles keyed by id.
class LODESTAR_EXPORT CabinetProfiles : public QHash<quint32, QSharedPointer<CabinetProfile>>
{
public:
    // All-or-nothing over a list of profiles; a later profile with the same id replaces an
    // earlier one.
    bool fromVariant(const QVariant &value);
    // The list of the profiles' maps, in the hash's iteration order.
    QVariant toVariant() const;

    // The first profile found with the default flag, or null.
    QSharedPointer<CabinetProfile> defaultProfile();
    QSharedPointer<const CabinetProfile> defaultProfile() const;
    // The profile whose name equals the given one exactly (case-sensitive), or null.
    QSharedPointer<CabinetProfile> hasName(const QString &name) const;
};

// The binding of this agent to its identification token and profile, as the account web
// service answers "getProfile": a JSON list of exactly [agent uid, token, profile id].
class LODESTAR_EXPORT CabinetTokenAgentUidProfileId
{
public:
    CabinetTokenAgentUidProfileId() = default;
    CabinetTokenAgentUidProfileId(const QString &agentUid, quint32 token, quint32 profileId)
        : m_agentUid(agentUid), m_token(token), m_profileId(profileId)
    {
    }

    QString agentUid() const { return m_agentUid; }
    quint32 token() const { return m_token; }
    quint32 profileId() const { return m_profileId; }

    // Needs a list of three: a string, then two integers that fit unsigned 32 bits.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;

    bool operator==(const CabinetTokenAgentUidProfileId &other) const;
    bool operator!=(const CabinetTokenAgentUidProfileId &other) const { return !(*this == other); }

private:
    QString m_agentUid;
    quint32 m_token = 0;
    quint32 m_profileId = 0;
};

Q_DECLARE_METATYPE(CabinetProfile)
Q_DECLARE_METATYPE(CabinetProfileList)
Q_DECLARE_METATYPE(CabinetProfiles)
Q_DECLARE_METATYPE(CabinetTokenAgentUidProfileId)

// Registers "CabinetProfiles" (and, once, every other account record and the conversions
// that the JSON-RPC engine needs; see registerCabinetMetaTypes()). Returns the type id.
LODESTAR_EXPORT int registerCabinetProfilesMetaType();

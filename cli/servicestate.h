#pragma once

#include "cabinetdomain.h"
#include "cabinetprofile.h"
#include "cabinetuserinfo.h"
#include "error.h"
#include "networks.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <optional>

// What corvanectl knows of the service: the picture that the service's notifications
// paint, from the state it sends every new client to each later change.
//
// Notifications are untrusted: apply() checks each one completely before it changes
// anything, so a malformed notification leaves the state as it was and is reported as
// code 9 with the reason. Unknown methods are refused the same way.
class ServiceState
{
public:
    struct Identification
    {
        enum State {
            Waiting,    // nothing heard yet
            Identified, // "setIdentification"
            Failed,     // "setIdentificationError"
        };
        State state = Waiting;
        uint type = 0;          // 1 token, 0 address
        quint32 profileId = 0;  // type 1
        QString address;        // type 0
        ::Error error;          // Failed
    };

    // How the state reads as a whole, the way the tray application sums it up.
    enum class Summary {
        Filtering,           // identified, a connection protected, filtering on
        Off,                 // filtering switched off
        NoProtectedNetwork,  // no connection is protected
        NoNetwork,           // no connection is known
        IdentificationFailed,
        Waiting,             // not identified yet
    };

    static constexpr qint32 MalformedCode = ::Error::InvalidAnswerCode;

    ::Error apply(const QString &method, const QVariantList &params);

    Summary summary() const;
    static QString summaryKey(Summary summary);   // "filtering", "off", ...
    static QString summaryTitle(Summary summary); // "The internet is under control", ...

    const CabinetProfile *profile(quint32 id) const;
    // The profile with exactly that name, else the one whose id the text is; null if none.
    const CabinetProfile *findProfile(const QString &nameOrId) const;
    // The network with that interface name (id), else with that display name; null if none.
    const Network *findNetwork(const QString &idOrName) const;
    // "Kids (11)", or "profile 11" when the id is not in the list.
    QString profileLabel(quint32 id) const;

    // The profile in effect: the identification's (token type), else the profile list's.
    quint32 currentProfileId() const;
    // The profile chosen: the last "setSelectedProfile", else the profile list's current one.
    quint32 selectedProfileId() const;

    // The domain list of a profile as the service last announced it ("setDomains").
    const CabinetDomains *domains(quint32 profileId, int type) const;

    std::optional<bool> filtering;
    std::optional<bool> settingsLocked;
    std::optional<QString> login;
    QString localProxy;
    std::optional<bool> userMapping;
    QVariantMap userToProfileMap;
    bool networksKnown = false;
    QList<Network> networks;
    QString defaultRouteId;
    std::optional<CabinetUserInfo> userInfo;
    bool profilesKnown = false;
    CabinetProfileList profiles;
    quint32 listCurrentProfileId = 0;
    std::optional<quint32> announcedSelectedProfileId;
    Identification identification;

private:
    using Handler = ::Error (ServiceState::*)(const QVariantList &);
    struct Method
    {
        const char *name;
        int parameters;
        Handler handler;
    };
    static const Method s_methods[];

    ::Error applySettings(const QVariantList &params);
    ::Error applyNetworks(const QVariantList &params);
    ::Error applyCredentials(const QVariantList &params);
    ::Error applySettingsLocked(const QVariantList &params);
    ::Error applyGlobalFiltering(const QVariantList &params);
    ::Error applyUserInfo(const QVariantList &params);
    ::Error applyProfiles(const QVariantList &params);
    ::Error applyScheduleActivity(const QVariantList &params);
    ::Error applySelectedProfile(const QVariantList &params);
    ::Error applyUserFilter(const QVariantList &params);
    ::Error applyDomains(const QVariantList &params);
    ::Error applyNetworkProtection(const QVariantList &params);
    ::Error applyUserToProfMap(const QVariantList &params);
    ::Error applyIdentification(const QVariantList &params);
    ::Error applyIdentificationError(const QVariantList &params);

    QHash<quint64, CabinetDomains> m_domains; // key: profile id << 2 | list type
};

// Checked reads of values from the wire.
namespace WireValue {
bool isBool(const QVariant &value);
// An integer (or a double without fraction) from 0 to 2^32 - 1.
bool toUnsigned(const QVariant &value, quint32 *result);
bool isText(const QVariant &value);
// Methods that return an Error may write it as their result, {"code": N, "message": text};
// true, with the error, when the result is such a map with a code other than 0.
bool isErrorResult(const QVariant &result, ::Error *error);
} // namespace WireValue

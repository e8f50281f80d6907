#pragma once

#include "lodestar_export.h"

#include <QHostAddress>
#include <QMetaType>
#include <QSet>
#include <QString>
#include <QVariant>

// The account owner's plan and limits. JSON form:
//   {"tz": int, "plan": {"code": text, "name": text, "features": {eight keys}}}
// These are plain account data: read, stored, compared and passed on, never acted upon here.
class LODESTAR_EXPORT CabinetUserInfo
{
public:
    static const QString TimezoneKey;                  // "tz"
    static const QString PlanKey;                      // "plan"
    static const QString PlanCodeKey;                  // "code"
    static const QString PlanNameKey;                  // "name"
    static const QString FeaturesKey;                  // "features"
    static const QString ProfileListSizeKey;           // "max_profiles"
    static const QString WhiteListSizeKey;             // "white_list_size"
    static const QString BlackListSizeKey;             // "black_list_size"
    static const QString AliasListSizeKey;             // "aliases_list_size"
    static const QString SafeSearchAvailableKey;       // "safe_search"
    static const QString WhiteListModeAvailableKey;    // "white_list_mode"
    static const QString IpIdentificationAvailableKey; // "agent_ip_mode"
    static const QString ProxyDnsAddressChangableKey;  // "show_dns_listen_addr"

    // The plan code and name that stand for an empty or absent text.
    static const QString FreePlanCode;    // "FREE"
    static const QString UnknownPlanName; // "Unknown"

    CabinetUserInfo() = default;

    qint32 timezone() const { return m_timezone; }
    void setTimezone(qint32 timezone) { m_timezone = timezone; }
    QString planCode() const { return m_planCode; }
    void setPlanCode(const QString &code) { m_planCode = code; }
    QString planName() const { return m_planName; }
    void setPlanName(const QString &name) { m_planName = name; }
    quint32 profileListSize() const { return m_profileListSize; }
    void setProfileListSize(quint32 size) { m_profileListSize = size; }
    quint32 whiteListSize() const { return m_whiteListSize; }
    void setWhiteListSize(quint32 size) { m_whiteListSize = size; }
    quint32 blackListSize() const { return m_blackListSize; }
    void setBlackListSize(quint32 size) { m_blackListSize = size; }
    quint32 aliasListSize() const { return m_aliasListSize; }
    void setAliasListSize(quint32 size) { m_aliasListSize = size; }
    bool isSafeSearchAvailable() const { return m_safeSearchAvailable; }
    void setSafeSearchAvailable(bool on) { m_safeSearchAvailable = on; }
    bool isWhiteListModeAvailable() const { return m_whiteListModeAvailable; }
    void setWhiteListModeAvailable(bool on) { m_whiteListModeAvailable = on; }
    bool isIpIdentificationAvailable() const { return m_ipIdentificationAvailable; }
    void setIpIdentificationAvailable(bool on) { m_ipIdentificationAvailable = on; }
    bool isProxyDnsAddressChangable() const { return m_proxyDnsAddressChangable; }
    void setProxyDnsAddressChangable(bool on) { m_proxyDnsAddressChangable = on; }

    // Reads "tz" (untouched when absent, 0 when not a 32-bit integer), then "plan"; false
    // when the value is not a map or "plan" is absent, else the result of parsePlanVariant.
    bool fromVariant(const QVariant &value);
    // Reads "code" and "name" (empty or absent: "FREE", "Unknown"), then "features"; false
    // when the value is not a map or "features" is absent.
    bool parsePlanVariant(const QVariant &value);
    // Reads each of the eight feature keys that is present (absent ones keep their values);
    // true only when all eight are present and every limit converted. A limit that does
    // not convert reads 1 for the profile limit and 0 for the others.
    bool parseFeaturesVariant(const QVariant &value);
    QVariant toVariant() const;

    bool operator==(const CabinetUserInfo &other) const;
    bool operator!=(const CabinetUserInfo &other) const { return !(*this == other); }

private:
    qint32 m_timezone = 0;
    QString m_planCode;
    QString m_planName;
    quint32 m_profileListSize = 0;
    quint32 m_whiteListSize = 0;
    quint32 m_blackListSize = 0;
    quint32 m_aliasListSize = 0;
    bool m_safeSearchAvailable = false;
    bool m_whiteListModeAvailable = false;
    bool m_ipIdentificationAvailable = false;
    bool m_proxyDnsAddressChangable = false;
};

// The addresses that the account service gives to every agent.
class LODESTAR_EXPORT CabinetSystemInfo
{
public:
    static const QString BlockApiAddressKey;       // "blockapi"
    static const QString BlockPageIpAddressKey;    // "blockpage"
    static const QString BlockPageTokenAddressKey; // "blockpage_token"
    static const QString NxDomainPageAddressKey;   // "nxdomain"
    static const QString PublicDnsAddressListKey;  // "public_dns"

    CabinetSystemInfo() = default;

    QHostAddress blockApiAddress() const { return m_blockApi; }
    void setBlockApiAddress(const QHostAddress &address) { m_blockApi = address; }
    QHostAddress blockPageIpAddress() const { return m_blockPage; }
    void setBlockPageIpAddress(const QHostAddress &address) { m_blockPage = address; }
    QHostAddress blockPageTokenAddress() const { return m_blockPageToken; }
    void setBlockPageTokenAddress(const QHostAddress &address) { m_blockPageToken = address; }
    QHostAddress nxDomainPageAddress() const { return m_nxDomainPage; }
    void setNxDomainPageAddress(const QHostAddress &address) { m_nxDomainPage = address; }
    QSet<QHostAddress> publicDnsAddresses() const { return m_publicDns; }
    void setPublicDnsAddresses(const QSet<QHostAddress> &addresses) { m_publicDns = addresses; }

    // Needs a map whose four address keys hold address strings and whose "public_dns" is a
    // list of strings; strings of "public_dns" that are not addresses are skipped. On
    // failure the record is left unchanged.
    bool fromVariant(const QVariant &value);
    QVariant toVariant() const;

    // The NXDOMAIN page address is not compared.
    bool operator==(const CabinetSystemInfo &other) const;
    bool operator!=(const CabinetSystemInfo &other) const { return !(*this == other); }

private:
    QHostAddress m_blockApi;
    QHostAddress m_blockPage;
    QHostAddress m_blockPageToken;
    QHostAddress m_nxDomainPage;
    QSet<QHostAddress> m_publicDns;
};

Q_DECLARE_METATYPE(CabinetUserInfo)
Q_DECLARE_METATYPE(CabinetSystemInfo)

// Registers "CabinetUserInfo" (and, once, every other account record and the conversions
// that the JSON-RPC engine needs; see registerCabinetMetaTypes()). Returns the type id.
LODESTAR_EXPORT int registerCabinetUserInfoMetaType();

// Feeds fuzzed JSON text, through the JSON codec, to the fromVariant of every account
// record. Beyond "no crash, no leak, no unbounded allocation", it checks one invariant per
// record: whatever a record accepted, it writes in a form that it accepts again, with the
// same contents.
#include "cabinetcategory.h"
#include "cabinetdomain.h"
#include "cabinetprofile.h"
#include "cabinetschedule.h"
#include "cabinetuserfilter.h"
#include "cabinetuserinfo.h"
#include "hostlist.h"
#include "networks.h"
#include "qxtjson.h"

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        abort();
}

// Reads the value; when accepted, the toVariant form must be accepted again and compare
// equal.
template <typename Record>
void check(const QVariant &value)
{
    Record record;
    if (!record.fromVariant(value))
        return;
    Record again;
    require(again.fromVariant(record.toVariant()));
    require(again == record);
}

void checkDomains(const QVariant &value, CabinetDomain::Type type)
{
    CabinetDomains domains;
    if (!domains.fromVariant(value, type))
        return;
    CabinetDomains again;
    require(again.fromVariant(domains.toVariant(), type));
    require(again == domains);
    for (int i = 0; i < domains.size(); ++i) {
        require(again.at(i).domain() == domains.at(i).domain());
        require(again.at(i).ip() == domains.at(i).ip());
    }
}

void checkProfiles(const QVariant &value)
{
    CabinetProfiles profiles;
    if (!profiles.fromVariant(value))
        return;
    CabinetProfiles again;
    require(again.fromVariant(profiles.toVariant()));
    require(again.size() == profiles.size());
    for (auto it = profiles.constBegin(); it != profiles.constEnd(); ++it)
        require(again.value(it.key()) && *again.value(it.key()) == *it.value());
    profiles.defaultProfile();
    profiles.hasName(QStringLiteral("x"));
}

void checkUserInfoParts(const QVariant &value)
{
    // The plan and feature readers are public on their own as well.
    CabinetUserInfo info;
    info.parsePlanVariant(value);
    info.parseFeaturesVariant(value);
}

void checkUserFilter(const QVariant &value)
{
    CabinetUserFilter filter;
    if (!filter.fromVariant(value))
        return;
    CabinetUserFilter again;
    require(again.fromVariant(filter.toVariant()));
    require(again == filter);
}

void checkIdList(const QVariant &value)
{
    CabinetCategoryIdList ids;
    if (!ids.fromVariant(value))
        return;
    CabinetCategoryIdList again;
    require(again.fromVariant(ids.toVariant()));
    require(again == ids);
}

void checkHostList(const QVariant &value)
{
    HostList hosts;
    if (!hosts.fromVariant(value))
        return;
    HostList again;
    require(again.fromVariant(hosts.toVariant()));
    require(again == hosts);
}

void checkNetworks(const QVariant &value)
{
    NetworksInfo info;
    const bool ok = info.fromVariant(value);
    info.toString();
    if (!ok)
        return;
    NetworksInfo again;
    require(again.fromVariant(info.toVariant()));
    require(again == info);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    const QVariant value = QxtJSON::parse(
            QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size)));

    check<CabinetProfile>(value);
    check<CabinetTokenAgentUidProfileId>(value);
    check<CabinetUserInfo>(value);
    check<CabinetSystemInfo>(value);
    check<CabinetCategory>(value);
    check<CabinetCategoryGroup>(value);
    check<CabinetScheduleDay>(value);
    check<CabinetSchedule>(value);
    check<CabinetProfileActivity>(value);
    check<Network>(value);
    checkProfiles(value);
    checkUserInfoParts(value);
    checkUserFilter(value);
    checkIdList(value);
    checkHostList(value);
    checkNetworks(value);
    checkDomains(value, CabinetDomain::WhiteList);
    checkDomains(value, CabinetDomain::BlackList);
    checkDomains(value, CabinetDomain::AliasList);

    CabinetProfileList profileList;
    profileList.fromVariant(value);
    CabinetCategoryGroupList groups;
    groups.fromVariant(value);
    return 0;
}

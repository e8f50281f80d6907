#include "cabinetmetatypes.h"

#include "cabinetcategory.h"
#include "cabinetdomain.h"
#include "cabinetprofile.h"
#include "cabinetschedule.h"
#include "cabinetuserfilter.h"
#include "cabinetuserinfo.h"
#include "hostlist.h"
#include "networks.h"

#include <QMetaType>
#include <QVariantList>

namespace {

// The same all-or-nothing rule as HostList::fromVariant(): a registered converter cannot
// report failure, so a list with one element that is not an address string converts to an
// empty list rather than to a shorter one that looks valid.
HostList hostListFromVariantList(const QVariantList &items)
{
    HostList list;
    list.fromVariant(items);
    return list;
}

QVariantList hostListToVariantList(const HostList &list)
{
    return list.toVariant().toList();
}

bool registerAll()
{
    qRegisterMetaType<CabinetProfile>("CabinetProfile");
    qRegisterMetaType<CabinetProfileList>("CabinetProfileList");
    qRegisterMetaType<CabinetProfiles>("CabinetProfiles");
    qRegisterMetaType<CabinetTokenAgentUidProfileId>("CabinetTokenAgentUidProfileId");
    qRegisterMetaType<CabinetUserInfo>("CabinetUserInfo");
    qRegisterMetaType<CabinetSystemInfo>("CabinetSystemInfo");
    qRegisterMetaType<CabinetCategory>("CabinetCategory");
    qRegisterMetaType<CabinetCategoryGroup>("CabinetCategoryGroup");
    qRegisterMetaType<CabinetCategoryGroupList>("CabinetCategoryGroupList");
    qRegisterMetaType<CabinetCategoryIdList>("CabinetCategoryIdList");
    qRegisterMetaType<CabinetUserFilter>("CabinetUserFilter");
    qRegisterMetaType<CabinetDomain>("CabinetDomain");
    qRegisterMetaType<CabinetDomains>("CabinetDomains");
    qRegisterMetaType<CabinetScheduleDay>("CabinetScheduleDay");
    qRegisterMetaType<CabinetSchedule>("CabinetSchedule");
    qRegisterMetaType<CabinetProfileActivity>("CabinetProfileActivity");
    qRegisterMetaType<HostList>("HostList");
    qRegisterMetaType<Network>("Network");
    qRegisterMetaType<NetworksInfo>("NetworksInfo");

    // Another component may have registered the same conversion first; a second
    // registration would only warn, so check before.
    if (!QMetaType::hasRegisteredConverterFunction<QVariantList, HostList>())
        QMetaType::registerConverter<QVariantList, HostList>(hostListFromVariantList);
    if (!QMetaType::hasRegisteredConverterFunction<HostList, QVariantList>())
        QMetaType::registerConverter<HostList, QVariantList>(hostListToVariantList);
    return true;
}

} // namespace

void registerCabinetMetaTypes()
{
    // A function-local static runs its initialiser exactly once, also across threads.
    static const bool registered = registerAll();
    Q_UNUSED(registered)
}

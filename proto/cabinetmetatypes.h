#pragma once

#include "lodestar_export.h"

// Registers every account record with Qt's meta-type system under its class name
// ("CabinetProfile", "CabinetProfiles", "CabinetUserInfo", "HostList", "NetworksInfo", ...)
// so that the records travel in queued signals and QVariants, and registers the conversions
// that let the JSON-RPC engine hand positional parameters to slots:
//   QVariantList -> HostList   (all or nothing, as HostList::fromVariant(): since a registered
//                               converter cannot report failure, a list with any element
//                               that is not an address string gives an empty HostList)
//   HostList -> QVariantList   (the address strings)
// Runs once per process whatever the number of calls; registerCabinetProfilesMetaType()
// and registerCabinetUserInfoMetaType() call it.
LODESTAR_EXPORT void registerCabinetMetaTypes();

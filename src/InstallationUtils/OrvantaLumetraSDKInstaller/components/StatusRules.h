// The status text of each component row: "Not Installed", "Installed", or the problem that stands between
// an installed component and the catalogue's expectation (status texts in StatusTexts.h).
#pragma once

#include "components/ComponentInfo.h"
#include "components/InstallManagerBase.h"
#include "platform/Machine.h"

namespace components {

// For an installed row: runs the status rules of its display name in order, writes the first problem found
// (or "Installed") into its status label and answers whether that was "Installed".
bool evaluateStatus(platform::Machine& machine, const dvComponentInfo& record);

// Probes rows first..last (inclusive) of the list and writes their status texts; action texts stay. 1 when
// every row of the range ends "Installed", -1 otherwise; an empty range (first > last) changes nothing and
// gives 1. Rows outside the list are passed over.
int refreshStatuses(platform::Machine& machine, dvInstallManagerBase& manager, int first, int last);

// The row's current status text is one of the four problem statuses (exact comparison; nothing is probed).
bool hasProblemStatus(const dvComponentInfo& record);

}  // namespace components

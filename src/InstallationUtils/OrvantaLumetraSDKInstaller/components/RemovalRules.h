// How each component is removed, and how a component with a problem status is repaired, by display name.
#pragma once

#include "components/ComponentInfo.h"
#include "platform/Machine.h"

namespace components {

// Removes the row's component by the rule of its display name (compared without regard to case). False for a
// name without a rule and for a rule that could not run. Runs on the uninstall dialog's worker thread.
bool uninstallProduct(platform::Machine& machine, const dvComponentInfo& record);

// 1 at once when the row's status is not a problem status; otherwise removes the component (every Python 2.6
// product for the Python row) and answers 1 when that succeeded, -1 otherwise. A problem status on a name
// without a removal gives 1.
int repairComponent(platform::Machine& machine, const dvComponentInfo& record);

}  // namespace components

// Whether a catalogue component is on the machine, by its display name.
#pragma once

#include <string>

#include "components/ComponentInfo.h"
#include "platform/Machine.h"

namespace components {

// The probe of the row's display name (compared without regard to case); false for a name without a probe
// (the camera driver archive, the help archive, content rows).
bool isInstalled(platform::Machine& machine, const dvComponentInfo& record);
bool isInstalled(platform::Machine& machine, const std::string& displayName);

// Whether the table holds a probe for this display name.
bool hasInstalledProbe(const std::string& displayName);

}  // namespace components

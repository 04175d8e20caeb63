// Where the vendor download server lives: scheme and host, one value for every file.
#pragma once

#include <string>

#include "platform/Machine.h"

namespace components {

// The compiled-in address of the vendor server.
inline constexpr const char* DefaultServerBaseUrl = "http://downloads.orvanta-vision.com";

// Tests and the demo serve the repository from loopback; this variable points the installer there.
inline constexpr const char* ServerOverrideVariable = "ORVANTA_INSTALLER_SERVER";

// The override when it is set and not empty (a trailing "/" removed, since every path begins with one),
// otherwise the compiled-in address.
std::string serverBaseUrl(platform::Machine& machine);

}  // namespace components

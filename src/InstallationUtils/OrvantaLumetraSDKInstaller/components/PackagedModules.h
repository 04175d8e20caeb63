// Components delivered as zip archives that the installer unpacks itself, and the configuration some
// installed components need afterwards.
#pragma once

#include <optional>
#include <string>

#include "components/ComponentInfo.h"
#include "components/OperationContext.h"
#include "platform/Machine.h"

namespace components {

// Display names whose download-and-install run only downloads; the file is then handled by
// processDownloadedPackage.
bool isArchivePackaged(const std::string& displayName);

// After the download-and-install dialog has closed: unpacks or sets up the downloaded file by the rule of the
// row's display name. True for names without a rule. False makes the install step end "Failed".
bool processDownloadedPackage(const OperationContext& context, const dvComponentInfo& record);

// After a successful install: the configuration the component's own installer does not do. True for names
// without a rule. False makes the install step warn and go on.
bool runCustomActions(const OperationContext& context, const dvComponentInfo& record);

// The removal of a packaged module (the OpenCV 2.x folders, IPP, Tavrel) by display name; nullopt for every
// other name.
std::optional<bool> removePackagedModule(platform::Machine& machine, const std::string& displayName);

}  // namespace components

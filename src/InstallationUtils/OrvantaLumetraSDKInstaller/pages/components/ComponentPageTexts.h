// Texts the component pages set or compare at run time (fixed layout texts stay in the page templates).
#pragma once

namespace pagetexts {

// Header texts (the banner) and page names.
inline constexpr const char* PrerequisitesHeader = "Prerequisite Installation";
inline constexpr const char* PrerequisitesStatusHeader = "Prerequisite Installation Status";
inline constexpr const char* PrerequisitesName = "Prerequisites";
inline constexpr const char* CoreComponentsHeader = "Core Component Installation";
inline constexpr const char* CoreComponentsName = "CoreComponents";
inline constexpr const char* ExtensionsHeader = "Recommended Orvanta Extensions";
inline constexpr const char* ExtensionsName = "Extensions";
inline constexpr const char* ModulesHeader = "Optional Orvanta Modules";
inline constexpr const char* ModulesName = "Modules";
inline constexpr const char* ThirdPartyHeader = "3rd Party Camera Drivers";
inline constexpr const char* ThirdPartyName = "ThirdPartySoftwares";
inline constexpr const char* IOSystemHeader = "Orvanta IO System";
inline constexpr const char* IOSystemName = "IOSystem";
inline constexpr const char* Utilities1Header = "Optional Utility Software 1";
inline constexpr const char* Utilities1Name = "Utilities";
inline constexpr const char* Utilities2Header = "Optional Utility Software 2";
inline constexpr const char* Utilities2Name = "Utilities2";

// Prerequisites status page.
inline constexpr const char* PrerequisitesProceed = "Please click on the 'Next' button to proceed";
inline constexpr const char* PrerequisitesFailed =
    "Pre-requisites are not installed successfully. Please click on the 'Back' button to try again";

// Core components page.
inline constexpr const char* UninstallSdkQuestion = "This will un-install the Orvanta Lumetra SDK.\nDo you want to proceed?";

// Utility pages.
inline constexpr const char* Utilities1StatusLine =
    "Please click on the 'Next' button to install the optional utility softwares (page 2).\n"
    "Or click on the 'Finish' button to complete the installation.";
inline constexpr const char* Utilities2StatusLine = "Please click on the 'Finish' button to exit.";

}  // namespace pagetexts

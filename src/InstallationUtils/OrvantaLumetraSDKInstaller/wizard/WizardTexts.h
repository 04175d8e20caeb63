// Texts of the wizard sheet and of the page base.
#pragma once

namespace wizardtexts {

// The product the SDK edition installs; the welcome page's title and banner name it.
inline constexpr const char* SdkDisplayName = "Orvanta Lumetra Version X 10.2.1.578 SDK";

// Page titles: the installer title fills the first "%s".
inline constexpr const char* WelcomeTitle = "%s - Welcome to %s System Management";
inline constexpr const char* WelcomeHeader = "Welcome to %s System Management";
inline constexpr const char* ReadmeTitle = "%s - Readme Notes";
inline constexpr const char* ResourcesTitle = "%s - Orvanta Vision Resources";
inline constexpr const char* PrerequisitesTitle = "%s - Prerequisite Installation";
inline constexpr const char* PrerequisitesStatusTitle = "%s - Prerequisite Installation Status";
inline constexpr const char* CoreComponentsTitle = "%s - Core Component Installation";
inline constexpr const char* ExtensionsTitle = "%s - Recommended Orvanta Extensions";
inline constexpr const char* TutorialsTitle = "%s - Orvanta Vision Tutorials";
inline constexpr const char* CompleteTitle = "%s - Installation Complete";
inline constexpr const char* ModulesTitle = "%s - Optional Orvanta Modules";
inline constexpr const char* ThirdPartyTitle = "%s - 3rd Party Camera Drivers";
inline constexpr const char* IOSystemTitle = "%s - Orvanta IO System";
inline constexpr const char* Utilities1Title = "%s - Optional Utility Software 1";
inline constexpr const char* Utilities2Title = "%s - Optional Utility Software 2";

// The sheet's navigation buttons ("Home", "Extensions", "Modules", each with its mnemonic) and the page names
// they open.
inline constexpr const char* HomeButton = "&Home";
inline constexpr const char* ExtensionsButton = "E&xtensions";
inline constexpr const char* ModulesButton = "&Modules";
inline constexpr const char* WelcomePageName = "Welcome";

// The Cancel button's two labels.
inline constexpr const char* Cancel = "Cancel";
inline constexpr const char* Finish = "Finish";

// Help.
inline constexpr const char* HelpTopicFormat = "%s\\%s\\%s\\index.htm#Page=%s";
inline constexpr const char* HelpBookFolder = "OrvantaLumetraSDK";
inline constexpr const char* HelpIndexFile = "index.htm";
inline constexpr const char* UnableToDeleteHelp =
    "Error: Unable to delete old help files. They may be in use. Please try again.";
inline constexpr const char* UnableToExtractHelp = "Error: Unable to extract the help files. Please try again.";

// A row operation that threw.
inline constexpr const char* UnexpectedError101 = "Unexpected Error 101";

// Tooltips and the download label most pages use.
inline constexpr const char* InstallTip = "Install";
inline constexpr const char* UninstallTip = "Uninstall";
inline constexpr const char* RemoveTip = "Remove";
inline constexpr const char* DownloadInstallables = "Download Installables";

// The first problem status of a page's rows is explained once.
inline constexpr const char* VersionMismatchWarning =
    "Warning: Incorrect version is currently installed for one or more components.\n"
    "Please click on the 'Install' button to install the required version.";
inline constexpr const char* ReinstallNeededWarning =
    "Warning: All the dependencies are not installed for one or more components.\n"
    "Please click on the 'Install' button to install the required dependencies.";
inline constexpr const char* MultipleVersionsWarning =
    "Warning: Multiple versions are currently installed for one or more components.\n"
    "Please click on the 'Install' button to repair the installation.";
inline constexpr const char* IncompleteModuleWarning =
    "Warning: Installation for one or more components is incomplete.\n"
    "Please click on the 'Install' button to repair the installation.";

// Run log lines: how long the wizard took to appear, and each page's activation with its rows' refresh.
inline constexpr const char* WizardShownLog = "Wizard shown %lu ms after the program started";
inline constexpr const char* PageShownLog = "Page %s (%s) activated in %.1f ms";

}  // namespace wizardtexts

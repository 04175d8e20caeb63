// Texts of the welcome page and of its installer copies.
#pragma once

namespace welcometexts {

// %s: the installer title.
inline constexpr const char* Heading = "Welcome to the %s.";
// The welcome text is these lines in this order, each %s filled with the SDK's display name.
inline constexpr const char* WelcomeLines[] = {
    "This application will help you in installing and managing all the components associated with the %s System, on this computer.\n\n",
    "This application will also assist you in quickly getting started with the %s by\n",
    "=> Providing access to the Orvanta Online Resources\n",
    "=> Installing the required Microsoft Runtime Libraries\n",
    "=> Installing the Orvanta Runtime and the Orvanta Lumetra SDK\n",
    "=> Providing interface to manage the Python Framework\n",
    "=> Providing interface to install the Open Source Libraries - OpenCV, NumPy, SciPy and more\n",
    "=> Suggesting the optional Orvanta Extensions, Orvanta Modules and Utility Softwares\n",
};
inline constexpr const char* StatusAreaHint =
    "The status messages and the information about the possible actions are displayed in the status area available at the bottom of the wizard pages.";
inline constexpr const char* StatusBarText = "Please click on the 'Next' button to proceed.";
inline constexpr const char* VersionLabel = "Select Installer Version:";

inline constexpr const char* CreateCopyTip = "Create Installer Copy";
inline constexpr const char* DeleteCopyTip = "Delete Copy";
inline constexpr const char* BrowseTip = "Browse Installer Files";

inline constexpr const char* NewVersionLink = "New Installer Version Available";
// %s: the latest version number.
inline constexpr const char* NewVersionLinkFormat = "New Installer Version %s Available";

inline constexpr const char* DpiCaption = "Warning";
// %s: the installer title ("%%" prints one percent sign).
inline constexpr const char* DpiWarning =
    "Display settings on this computer are not compliant with the '%s' requirements.\n\nThe installer user interface may look cropped.\n\n\nPlease reset the display settings from the 'Control Panel -> Display' console.\nRequired settings for Windows XP : 'DPI settings' should be set to 'Normal size (96 DPI)'.\nRequired settings for Windows 7 : Display 'size'/scale should be set to '100%%'.";

// The version selector's entries.
inline constexpr const char* CurrentlyUsedVersion = "Currently used version";
inline constexpr const char* EntryWithBuild = "%s (%s)";
inline constexpr const char* BuildSeparator = " (";
inline constexpr const char* VersionFormat = "%d.%d.%d.%d";
inline constexpr const char* PrivateBuildBlock = "\\StringFileInfo\\%04x%04x\\PrivateBuild";

// What names an installer program: it begins with the prefix, contains the marker and ends with the extension.
inline constexpr const char* InstallerNamePrefix = "OrvantaLumetraSDK";
inline constexpr const char* InstallerNameMarker = "Installer";
inline constexpr const char* ProgramExtension = ".exe";
inline constexpr const char* ProgramPattern = "*.exe";

inline constexpr const char* SwitchFailed = "Error: Unable to switch to the selected installer. Please try again.";
inline constexpr const char* CopyFailed = "Error: Unable to copy the selected installer file. Please try again.";
// %d: the shell's result.
inline constexpr const char* LaunchFailed = "Unable to launch the selected installer. Error code - %d";
inline constexpr const char* BrowseFailed = "Unable to browse the installer files. Error code - %d";
inline constexpr const char* OpenVerb = "open";

}  // namespace welcometexts

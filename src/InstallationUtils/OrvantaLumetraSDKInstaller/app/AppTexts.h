// The application's own names and the texts it shows before the wizard opens.
#pragma once

namespace apptexts {

inline constexpr const char* InstallerTitle = "Orvanta Lumetra SDK Version X 10.2.1.578 Installer";
// The release file name: one instance of the installer runs under it at a time.
inline constexpr const char* ReleaseFileName = "OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe";

inline constexpr const char* UnableToGetAppPath =
    "Unexpected Error. Unable to get the application path.\nSome of the features may not be available.";
inline constexpr const char* AnotherInstanceRunning =
    "Error: Another instance of the installer is already running. Unable to load the second instance.\n\n"
    "Please close all other instances of the installer application and try again.\n\n";

}  // namespace apptexts

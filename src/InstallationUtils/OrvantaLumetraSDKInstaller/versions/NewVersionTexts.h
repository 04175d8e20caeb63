// Names and texts of the new-version check.
#pragma once

namespace newversiontexts {

inline constexpr const char* UpgradeInfoFile = "578UpgradeInfoLumetraSDK.ini.txt";
inline constexpr const char* UpgradeInfoServerPath = "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/";
inline constexpr const char* Section = "Version Upgrade Info";
inline constexpr const char* LatestVersionName = "LatestVersionName";
inline constexpr const char* LatestVersionNumber = "LatestVersionNumber";
inline constexpr const char* ReleaseNotesFileName = "ReleaseNotesFileName";
inline constexpr const char* ReleaseNotesFilePath = "ReleaseNotesFilePath";
inline constexpr const char* InstallerFileName = "InstallerFileName";
inline constexpr const char* InstallerFilePath = "InstallerFilePath";

// The private temporary folder: the system's temporary folder, then the local time as seventeen digits.
inline constexpr const char* TempFolderFormat = "%s%.4d%.2d%.2d%.2d%.2d%.2d%.3d";
inline constexpr const char* FallbackTempFolder = "C:\\temp\\";

// Showing and fetching the newer installer.
inline constexpr const char* UnableToDownload = "Unable to download new version. Please try again";
inline constexpr const char* SelectDownloadDirectory = "Select Download Directory";
inline constexpr const char* NewInstallerDisplayName = "New Version Installer";
inline constexpr const char* NewInstallerCategory = "Installer Application";
inline constexpr const char* DownloadedToCopies =
    "Successfully downloaded the new installer version %s.\n%s\\%s\n\nPlease go to the 'Home' page of this wizard and "
    "select the new installer version %s to switch to the new installer.";
inline constexpr const char* DownloadedToFolder = "Successfully downloaded the new installer version %s.\n%s\\%s";

}  // namespace newversiontexts

// The texts a row's action shows while an operation runs, and the messages of the operations themselves.
// Pages compare action texts literally, so every comparison must use these constants.
#pragma once

#include <cstddef>

namespace components::action {

inline constexpr const char* Idle = "";
inline constexpr const char* Pending = "Pending";
inline constexpr const char* Installing = "Installing...";
inline constexpr const char* Uninstalling = "Uninstalling...";
inline constexpr const char* Downloading = "Downloading...";
inline constexpr const char* Ok = "Ok";
inline constexpr const char* Failed = "Failed";
inline constexpr const char* UninstallError = "Uninstall Error";
inline constexpr const char* Downloaded = "Downloaded";
inline constexpr const char* DownloadError = "Download Error";

}  // namespace components::action

namespace components::operationtexts {

inline constexpr const char* RepairQuestion =
    "Errors are observed in existing installations. \nDo you want to repair these components?\n\n"
    "Click 'Yes' to repair and proceed.\nClick 'No' to abort the installation.";
inline constexpr const char* CustomActionsFailed =
    "Warning: Unable to excute custom actions. Continuing with the further installations.";
// %s = the row's file name.
inline constexpr const char* UnableToDownloadComponent = "Error - Unable to download the component '%s'";
// %s = the data folder path.
inline constexpr const char* DownloadReport = "Successfully downloaded the files.\nDownload directory - %s";
inline constexpr const char* DeleteReport = "Successfully deleted the old downloads.\nFrom directory - %s";
// Framed around the row's display name.
inline constexpr const char* UnableToDeleteOldDownloadBefore = "Error - Unable to delete the old download file for the component '";
inline constexpr const char* UnableToDeleteOldDownloadAfter = "'. Please confirm whether the file is in use.";
// Report messages are cut to this many characters.
inline constexpr std::size_t MaxReportChars = 512;

}  // namespace components::operationtexts

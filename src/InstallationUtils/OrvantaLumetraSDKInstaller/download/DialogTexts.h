// Every text the progress and wait dialogs show: the captions, the header lines, the lines a run fills in as
// its worker reports, the confirmation questions and the labels of the dialogs' own controls.
#pragma once

namespace dialogtexts {

// Download-and-install run. Header's first line; %d = the row's position and the number of rows.
inline constexpr const char* DownloadingComponentOf = "Downloading component %d of %d";
inline constexpr const char* InstallingComponentOf = "Installing component %d of %d";
// Captions; %s = the installer's title.
inline constexpr const char* DownloadOnlyCaption = "%s - Download Component Installables";
inline constexpr const char* DownloadAndInstallCaption = "%s - Download and Install Components";

inline constexpr const char* DownloadingPleaseWait = "Downloading component... Please wait...";
inline constexpr const char* InstallingPleaseWait = "Installing... Please wait...";
// %ld received, %ld total (whole KB).
inline constexpr const char* DownloadedOf = "Downloaded %ld KB from %ld KB";
inline constexpr const char* DownloadCompleted = "Download completed";
inline constexpr const char* DownloadFailedDownloadOnly =
    "Download failed. Please abort the current operation and try again.";
inline constexpr const char* DownloadFailedInstall = "Download failed. Please abort the installation and try again.";
inline constexpr const char* InstallationCompleted = "Installation completed";

inline constexpr const char* ConfirmationCaption = "Confirmation";
inline constexpr const char* AbortDownloadQuestion = "Do you want to abort download of the selected components?";
inline constexpr const char* AbortInstallQuestion = "Do you want to abort installation of the selected components?";
inline constexpr const char* AbortUninstallQuestion =
    "Do you want to abort uninstallation of the selected components?";

// Uninstall run.
inline constexpr const char* UninstallingComponentOf = "Uninstalling component %d of %d";
inline constexpr const char* UninstallCaption = "%s - Uninstall Components";
inline constexpr const char* UninstallingPleaseWait = "Uninstalling... Please wait...";
inline constexpr const char* UnableToUninstall =
    "Unable to uninstall the product. Please click on the 'Abort' button to cancel the operation.";

// The download error choice after a failed download in a list.
inline constexpr const char* DownloadErrorCaption = "Unabe to Download Component";
inline constexpr const char* RetryLabel = "Retry";
inline constexpr const char* IgnoreLabel = "Ignore";
inline constexpr const char* IgnoreAllLabel = "Ignore All";
inline constexpr const char* QuitLabel = "Quit";

inline constexpr const char* AbortLabel = "Abort";

// The two "Please wait..." boxes.
inline constexpr const char* PleaseWaitCaption = "Please wait...";
inline constexpr const char* FinishingPleaseWait = "Finishing the installation.\nPlease wait...";

}  // namespace dialogtexts

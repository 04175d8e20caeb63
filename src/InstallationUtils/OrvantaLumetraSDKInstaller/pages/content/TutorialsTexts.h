// Texts of the tutorials page and its tab dialog.
#pragma once

namespace tutorialtexts {

inline constexpr const char* Header = "Orvanta Vision Tutorials";
inline constexpr const char* PageName = "Tutorials";
inline constexpr const char* RefreshTip = "Refresh Tutorials List";
inline constexpr const char* StatusLine =
    "Please click on the 'Next' button to view the quick start links.\nOr click on the 'Finish' button to complete "
    "the installation.";
inline constexpr const char* Fallback = "Using default list of tutorials.";
inline constexpr const char* NotAvailable =
    "Error: Unable to get the list of tutorials from the server.\nPlease try again.";
inline constexpr const char* NoTutorials = "No demo tutorials are available.";
inline constexpr const char* TabCtrlName = "DTutorialsTabCtrl";

// Folders below the documents folder.
inline constexpr const char* ProfilesFolderFormat = "%s\\%s\\Profiles\\";
inline constexpr const char* TutorialsFolderFormat = "%s\\%s\\Tutorials\\";
inline constexpr const char* ProductFolder = "Orvanta 10.2";

// Row controls.
inline constexpr const char* NotInstalled = "Not Installed";
inline constexpr const char* Installed = "Installed";
inline constexpr const char* Install = "Install";
inline constexpr const char* Remove = "Remove";
inline constexpr const char* Browse = "Browse";
inline constexpr const char* Pdf = "PDF";
inline constexpr const char* Video = "Video";
inline constexpr const char* Info = "Info";

// Failures of the row operations.
inline constexpr const char* UnableToLocateRow =
    "Error: Unable to locate the download path for the selected tutorial. Please try again.";
inline constexpr const char* UnexpectedOperation = "Error: Unexpected operation. Please try again.";
inline constexpr const char* UnableToParse =
    "Error: Unable to parse the download path for the selected tutorial. Please try again.";
inline constexpr const char* UnableToExtract = "Error: Unable to extract the tutorial files. Please try again.";
inline constexpr const char* UnableToBrowse = "Unable to browse the folder. Error code - %d";
inline constexpr const char* UnableToRemove = "Unable to remove the tutorial. Please try again.";
inline constexpr const char* UnableToOpenPdf = "Unable to access the tutorial PDF file. Please try again.";
inline constexpr const char* UnableToOpenVideo = "Unable to access the tutorial video URL. Please try again.";
inline constexpr const char* UnableToOpenInfo = "Unable to access the tutorial information URL. Please try again.";
// A list entry whose folder or document name would leave its folder (separators, "..", drive letters).
inline constexpr const char* UnsafeTutorialName =
    "Error: The tutorial list names a folder or file that is not allowed. The tutorial was not changed.";

}  // namespace tutorialtexts

// Texts of the readme page and of the installation complete page.
#pragma once

namespace readmetexts {

inline constexpr const char* Header = "Readme Notes";
inline constexpr const char* PageName = "Readme";
inline constexpr const char* RefreshTip = "Refresh Readme File";
inline constexpr const char* StatusLine = "Please click on the 'Next' button to browse the Orvanta resources.";
inline constexpr const char* UsingDefaultCopy = "Using default copy of the Readme file.";
inline constexpr const char* NotAvailable =
    "Error: Unable to get the 'Readme Notes' from the server.\nPlease try again.";

}  // namespace readmetexts

namespace summarytexts {

inline constexpr const char* Header = "Installation Complete";
inline constexpr const char* PageName = "Complete";
inline constexpr const char* StatusLine =
    "Please click on the 'Next' button to install the optional Orvanta Modules.\n"
    "Or click on the 'Finish' button to complete the installation.";
inline constexpr const char* UnableToAccessLink = "Unable to access the link. Error code - %d";

// What the quick links open: the file and working-folder formats are filled with the product's folder.
inline constexpr const char* TestContainerFile = "%sPictoraTestContainer.exe";
inline constexpr const char* ReadmeFile = "%sReadMe.txt";
inline constexpr const char* RedistributionFile = "%s_Redistributable\\ReadMe.txt";
inline constexpr const char* RedistributionFolder = "%s\\_Redistributable";
inline constexpr const char* CaptureFile = "%sOrvantaCapture.exe";
inline constexpr const char* PlainFolder = "%s";
inline constexpr const char* BarcodeDemoArguments = "Demo\\Quintro\\DLVImage.opb";
inline constexpr const char* LabelDemoArguments = "Demo\\Sendari\\DLVImage.opb";

}  // namespace summarytexts

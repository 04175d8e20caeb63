// Texts the extensions, modules, camera-driver and IO pages set, compare or show (labels fixed by a template
// stay in the templates).
#pragma once

namespace pagetexts {

// The combo boxes' "nothing installed" entry and the status text beside them ("Status: " + row status).
inline constexpr const char* NoneChoice = "None";
inline constexpr const char* ChoiceStatusFormat = "Status: %s";

// Extensions page.
inline constexpr const char* ExtensionsStatusLine =
    "Please click on the 'Next' button to install the Orvanta Lumetra SDK tutorials.\n"
    "Or click on the 'Finish' button to complete the installation.";
inline constexpr const char* OpenCV231 = "OpenCV 2.3.1";
inline constexpr const char* OpenCV246 = "OpenCV 2.4.6";
inline constexpr const char* OpenCV248 = "OpenCV 2.4.8";
inline constexpr const char* OpenCV2XQuestion =
    "Only one of the OpenCV 2.X Extensions can be installed on a computer.\n\n"
    "Do you want to un-install existing OpenCV 2.X extensions and install %s extensions?\n\n"
    "Please click on 'Yes' button to proceed and install %s extensions.\n"
    "Please click on 'No' to abort and to continue using existing OpenCV 2.X extensions.\n";
inline constexpr const char* OpenCV2XNoSelectionDebug =
    "ovDInstallExtensions::processNewOpenCV2XExtInstallation - Unable to get new selection\n";
inline constexpr const char* OpenCV2XInstallNoSelectionDebug =
    "ovDInstallExtensions::installNewOpenCV2XExt - Unable to get new selection\n";
inline constexpr const char* RuntimePathMissing =
    "Error: Unable to get Orvanta Runtime installation path. Please try again.";
inline constexpr const char* PythonDllRenameFailed =
    "Error: Unable to rename the Python DLL. It may be in use.\n"
    "Please close the Orvanta Vision Software, if its open; and try again.";
// The parked DLL cannot go back because another "python26.dll" took its place: it is kept, not deleted.
inline constexpr const char* PythonDllKeptParked =
    "Warning: The Orvanta Runtime's own Python DLL could not be restored, because another 'python26.dll' is "
    "in the Runtime folder.\nThe Runtime's DLL is kept as 'py26.dll' in that folder.";
inline constexpr const char* PythonDllKeptParkedDebug =
    "ovDInstallExtensions::syncPythonDll - python26.dll exists, the parked py26.dll is kept\n";

// Modules page.
inline constexpr const char* ModulesStatusLine =
    "Please click on the 'Next' button to install the 3rd party camera drivers.\n"
    "Or click on the 'Finish' button to complete the installation.";
inline constexpr const char* ModulesNote =
    "Note: IPP is an option to speed up image processing. It can be important with large system or images "
    "where image resampling is applied.";
inline constexpr const char* DownloadModules = "Download Modules";
inline constexpr const char* ChangeTip = "Change";
inline constexpr const char* RuntimeGuardFormat =
    "Error - %s should installed on the computer before installing or removing the modules.\n"
    "Please install %s and try again.";
inline constexpr const char* VariantNotOkWarning =
    "Warning: Correct Vexlib version is not selected.\n"
    "It is recommended to select correct Vexlib version before proceeding.";
inline constexpr const char* VexlibNotSelected = "Error: Vexlib version not selected. Please try again.";
inline constexpr const char* VexlibDeleteFailed =
    "Error: Unable to delete current Vexlib.dll. It may be in use.\n"
    "Please close the Orvanta Vision Software, if its open; and try again.";
inline constexpr const char* VexlibCopyFailed = "Error: Unable to use the selected file. Please try again.";
inline constexpr const char* VexlibSelectAVersion = "Please select a version.";
// Variant texts (index = variant number; 0 = no build matches) and statuses.
inline constexpr const char* VariantTexts[] = {"Unknown Version",       "Intel Compiler DLL",
                                               "Intel with IPP",        "Visual C Compiler DLL",
                                               "Visual C with IPP",     "Visual C Beta DLL for test purposes"};
inline constexpr const char* VariantOk = "Ok";
inline constexpr const char* VariantIncorrect = "Incorrect Version";
inline constexpr const char* VexlibDllMissing = "DLL Not Available";
inline constexpr const char* VexlibError = "Error";

// Camera-driver page.
inline constexpr const char* ThirdPartyStatusLine =
    "Please click on the 'Next' button to install the Orvanta IO system softwares.\n"
    "Or click on the 'Finish' button to complete the installation.";
inline constexpr const char* DownloadThirdParty = "Download 3rd Party Installers";
inline constexpr const char* UbCoreInfo =
    "ubCore - Reliable camera driver for 32bit and 64bit windows support for firewire cameras using Unibrain Stack";
inline constexpr const char* FireIInfo =
    "Fire-i - DirectShow Camera Driver for 32bit and 64bit windows support for firewire cameras";
inline constexpr const char* SonyZclInfo = "Sony ZCL is used with Sony XCG camera 32 bit and 64 bit operating system";
inline constexpr const char* ImagingSourceDriverInfo =
    "Please connect the camera and then start the driver installation. The driver needs to be installed for every "
    "camera connected";
inline constexpr const char* BaslerInfo =
    "Please close all applications which are accessing network (eg browsers, Skype etc), before installing Basler "
    "Pylon SDK. The installation may wait indefinitely otherwise.";
inline constexpr const char* BaslerQuestion =
    "Only one of the Basler Pylon SDKs can be installed on a computer.\n\n"
    "Do you want to un-install existing Basler Pylon SDKs and install %s extensions?\n\n"
    "Please click on 'Yes' button to proceed and install %s extensions.\n"
    "Please click on 'No' to abort and to continue using existing Basler Pylon SDK.\n";
inline constexpr const char* BaslerNoSelectionDebug =
    "ovDInstall3rdPartyInstallations::processNewBaslerPylonSDKInstallation - Unable to get new selection\n";
inline constexpr const char* BaslerInstallNoSelectionDebug =
    "ovDInstall3rdPartyInstallations::installNewBaslerPylonSDK - Unable to get new selection\n";

// IO page.
inline constexpr const char* IOSystemStatusLine =
    "Please click on the 'Next' button to install the optional utility softwares.\n"
    "Or click on the 'Finish' button to complete the installation.";
inline constexpr const char* DownloadIOSystem = "Download IO System Installers";

}  // namespace pagetexts

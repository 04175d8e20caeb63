// What the packaged-module rules and the machine configuration tell the user. Every box has the installer's
// caption and an OK button.
#pragma once

namespace components::moduletexts {

inline constexpr const char* UnableToExtractOpenCV231 = "Error: Unable to extract the OpenCV 2.3.1 files. Please try again.";
inline constexpr const char* UnableToExtractOpenCV246 = "Error: Unable to extract the OpenCV 2.4.6 files. Please try again.";
inline constexpr const char* UnableToExtractOpenCV248 = "Error: Unable to extract the OpenCV 2.4.8 files. Please try again.";
inline constexpr const char* UnableToExtractIpp = "Error: Unable to extract the IPP module files. Please try again.";

inline constexpr const char* UnableToLocateDownload = "Error: Unable to locate the downloaded file. Please try again.";
inline constexpr const char* UnableToLocateTargetFolder = "Error: Unable to locate the target directory. Please try again.";
inline constexpr const char* UnableToExtractTavrel = "Error: Unable to extract the Tavrel files. Please try again.";
inline constexpr const char* UnableToCreateVersionFile =
    "Error: Unable to create the version info file. Please try again.";

inline constexpr const char* UnableToExtractOpcScout = "Error: Unable to extract the OPC Scout files. Please try again.";
inline constexpr const char* UnableToLocateOpcScoutSetup =
    "Error: Unable to locate OPC Scout setup file. Please try again.";

inline constexpr const char* UnableToCopyPlexorModule =
    "Warning: Unable to copy 'plexorx.py' file to '[Orvanta Runtime]\\Python' directory.";

inline constexpr const char* UnableToExtractImagingSourceDriver =
    "Error: Unable to extract the Imaging Source Camera Driver files. Please try again.";

inline constexpr const char* PythonInstallPathMissing =
    "Warning: Unable to retrieve the Python 2.6.5 installation path.\nContinuing with the remaining installations.";

}  // namespace components::moduletexts

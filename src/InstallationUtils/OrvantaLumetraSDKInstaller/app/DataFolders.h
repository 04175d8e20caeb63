// Names of the folders the installer keeps beside itself.
#pragma once

namespace datafolders {

inline constexpr const char* DataFolder = "_OrvantaInstallData";
inline constexpr const char* CopiesFolder = "_OrvantaInstallers";

// Sub-folders of the data folder.
inline constexpr const char* Prerequisites = "Prerequisites";
inline constexpr const char* OrvantaRuntime = "OrvantaRuntime";
inline constexpr const char* OrvantaLumetraSDK = "OrvantaLumetraSDK";
inline constexpr const char* Python2D = "Extensions\\Python2D";
inline constexpr const char* Python3D = "Extensions\\Python3D";
inline constexpr const char* OpenCV = "Extensions\\OpenCV";
inline constexpr const char* PythonMySQL = "Extensions\\PythonMySQL";
inline constexpr const char* Modules = "Modules";
inline constexpr const char* Utilities = "Utilities";
inline constexpr const char* Installations3rdParty = "Installations3rdParty";
inline constexpr const char* IOSystem = "IOSystem";
inline constexpr const char* Readme = "Readme";
inline constexpr const char* Tutorials = "Tutorials";
inline constexpr const char* Resources = "Resources";
inline constexpr const char* Help = "_Help";

}  // namespace datafolders

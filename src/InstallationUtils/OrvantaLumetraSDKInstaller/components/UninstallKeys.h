// Names of the Uninstall registry keys (below UninstallRoot) that the components' own setup programs leave,
// and by which the installer recognises them.
#pragma once

namespace components::uninstallkeys {

inline constexpr const char* Pywin32 = "pywin32-py2.6";
inline constexpr const char* Pyserial = "pyserial-py3k-py2.6";
inline constexpr const char* Scipy = "scipy-py2.6";
inline constexpr const char* Numpy = "numpy-py2.6";
inline constexpr const char* OpenCV11 = "Open Source Computer Vision Library_is1";
inline constexpr const char* CtypesOpenCV = "ctypes-opencv-py2.6";
inline constexpr const char* ICCapture = "ICCapture22_is1";
inline constexpr const char* MySQLPython = "MySQL-python-py2.6";
inline constexpr const char* TightVnc = "TightVNC";
inline constexpr const char* PerformanceTest = "PerformanceTest 8_is1";
inline constexpr const char* TeamViewer = "TeamViewer 8 Host";
inline constexpr const char* Speccy = "Speccy";
inline constexpr const char* AdamApax = "{C2E6E999-4516-40D2-8191-79B5CB4B987B}";
inline constexpr const char* OpcClient = "OPC CLIENT";

}  // namespace components::uninstallkeys

// Machine-wide settings that some components need and whose own installers do not make: folders on the
// machine PATH, the module search paths of Python 2.6, and shortcuts to the Tavrel controller.
#pragma once

#include <string>

#include "app/UserInterface.h"
#include "platform/Machine.h"

namespace components {

// The machine environment (HKLM) and its search path value.
inline constexpr const char* EnvironmentKey = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
inline constexpr const char* PathValue = "Path";
// Told to every top-level window once the machine environment has changed.
inline constexpr const char* EnvironmentChangedText = "Environment";
inline constexpr unsigned EnvironmentBroadcastTimeoutMs = 100;

// Where Python 2.6 says it is installed (default value, HKLM, else HKCU), and the keys whose default values
// tell it where to look for modules.
inline constexpr const char* PythonInstallPathKey = "Software\\Python\\PythonCore\\2.6\\InstallPath";
inline constexpr const char* PythonPathKey = "SOFTWARE\\Python\\PythonCore\\2.6\\PythonPath";
inline constexpr const char* PythonPathPythonwinKey = "SOFTWARE\\Python\\PythonCore\\2.6\\PythonPath\\Pythonwin";
inline constexpr const char* PythonPathWin32Key = "SOFTWARE\\Python\\PythonCore\\2.6\\PythonPath\\win32";
inline constexpr const char* PythonPathWin32comKey = "SOFTWARE\\Python\\PythonCore\\2.6\\PythonPath\\win32com";

// The Tavrel shortcuts are named after its catalogue row.
inline constexpr const char* TavrelLinkName = "Tavrel 1.0.0.1(3587)";

// Appends entry to the machine PATH unless the PATH already holds it, then tells every window that the
// environment changed. Entries compare whole (split at ";", blanks around them and one trailing separator
// ignored, letter case ignored). The whole value is kept, whatever its length, and keeps its registry type; a
// missing value is created expandable. False when the environment key cannot be opened, the value is not a
// string, or the new value cannot be stored.
bool addToSystemPath(platform::Machine& machine, const std::string& entry);

// Points Python 2.6's module search paths at its own folders and pywin32's. Without an installation path of
// Python 2.6, warns the user and gives false; also false when a key could not be written (the others are
// still written).
bool setPythonPaths(platform::Machine& machine, ui::UserInterface& ui);

// folder + "\" + TavrelLinkName + ".lnk".
std::string tavrelLinkPath(const std::string& folder);

// Saves the Tavrel shortcut in folder: target without arguments, started in workingFolder. True when the link
// was written.
bool createShortcut(platform::Machine& machine, const std::string& folder, const std::string& target,
                    const std::string& workingFolder);

}  // namespace components

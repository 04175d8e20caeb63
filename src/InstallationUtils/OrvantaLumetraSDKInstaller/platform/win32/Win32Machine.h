// The real machine: the platform interfaces over the Win32 API.
#pragma once

#include "platform/Machine.h"

namespace platform::win32 {

class Win32Registry;
class Win32WindowsInstaller;
class Win32FileSystem;
class Win32Processes;
class Win32Environment;
class Win32Http;  // WinINet, in Win32Http.h/.cpp
class Win32Clock;
class Win32DebugOutput;
class Win32Profile;
class Win32VersionResources;
class Win32ShellLinks;

// The one real machine of the process (constructed on first use, never destroyed).
Machine& realMachine();

}  // namespace platform::win32

#include "platform/win32/Win32Machine.h"

#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Http.h"
#include "platform/win32/Win32Misc.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32WindowsInstaller.h"

namespace platform::win32 {

namespace {

struct Win32Parts {
    Win32Registry registry;
    Win32WindowsInstaller msi;
    Win32FileSystem files;
    Win32Processes processes;
    Win32Environment environment;
    Win32Http http;
    Win32Clock clock;
    Win32DebugOutput debug;
    Win32Profile profile;
    Win32VersionResources versions;
    Win32ShellLinks links;
};

}  // namespace

Machine& realMachine() {
    // Never destroyed: worker threads that outlive the wizard (the detached auto-confirm thread) may still
    // use it while the process ends.
    static Win32Parts* parts = new Win32Parts;
    static Machine* machine = new Machine{parts->registry,    parts->msi,   parts->files,   parts->processes,
                                          parts->environment, parts->http,  parts->clock,   parts->debug,
                                          parts->profile,     parts->versions, parts->links};
    return *machine;
}

}  // namespace platform::win32

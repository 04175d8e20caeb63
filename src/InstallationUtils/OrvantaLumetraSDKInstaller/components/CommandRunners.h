// The ways a component's own uninstaller is started, and Windows Installer removals.
//
// Commands come from the component's Uninstall key (HKLM first, then HKCU), in the shape its setup program
// registers them. Every start-and-wait waits for the uninstaller to end and ignores its exit code: the
// caller judges the removal by probing the machine afterwards. A runner that cannot read its value, or whose
// command does not have the shape it takes apart, starts nothing and answers false.
//
// These run on the uninstall dialog's worker thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "components/Probes.h"
#include "platform/Machine.h"

namespace components {

// A 64-bit product's key is read in the 64-bit view (see ProductBits); every other key in the program's own.
//
// Registered values are read into a buffer of this many bytes; a longer value is unreadable.
inline constexpr std::size_t UninstallCommandBuffer = 4096;

// The named value of the key: "\"<program>\" <parameters>". Starts the program with only the parameters as its
// command line and waits.
bool runQuotedCommand(platform::Machine& machine, const std::string& key, const std::string& valueName,
                      ProductBits bits = ProductBits::ThirtyTwo);

// "UninstallString" of the key: "\"<program>\" <parameters>". Starts the auto-confirm helper, then the program
// with "<program> <parameters>", and waits.
bool runWithAutoConfirm(platform::Machine& machine, const std::string& key);

// The helper's body: answers Yes in the uninstaller's "Please confirm" box, then closes its "Uninstall
// Finished!" window, each looked for a limited time.
void autoConfirmUninstaller(platform::Machine& machine);

// "UninstallString" of the key, one surrounding pair of quotes dropped, started as it is. With a window
// title, waits further for that window to appear and then to go away (uninstallers that hand the work to a
// second process and return at once).
bool runAndWatch(platform::Machine& machine, const std::string& key, const std::optional<std::string>& windowTitle,
                 ProductBits bits = ProductBits::ThirtyTwo);

// "UninstallString" of the key: "<program> <parameters>", split at the first blank.
bool runSplitCommand(platform::Machine& machine, const std::string& key);

// "UninstallString" of the key: "<anything> <parameters>"; RunDll32 started through the shell with the
// parameters.
bool runShellCommand(platform::Machine& machine, const std::string& key);

// MsiConfigureProduct(code, default level, absent) succeeds, a success that asks for a restart included.
bool removeWithWindowsInstaller(platform::Machine& machine, const std::string& productCode);

// The system's msiexec with "/x <code> /passive", waited for.
bool removeWithMsiexec(platform::Machine& machine, const std::string& productCode);

// TightVNC's own uninstaller (watched by its window when its display name is registered under HKLM, in the
// product's view), then the Windows Installer product when it is still registered.
bool removeTightVnc(platform::Machine& machine, const std::string& productCode, ProductBits bits);

}  // namespace components

#include "components/CommandRunners.h"

#include <cstdint>

#include "app/RunLog.h"
#include "app/RunLogTexts.h"

#include "components/Probes.h"
#include "components/RemovalTexts.h"
#include "components/UninstallKeys.h"

using namespace platform;

namespace components {

namespace {

constexpr uint32_t WaitForever = UINT32_MAX;

// The auto-confirm helper gives the uninstaller about 10 s to ask and 20 s more to finish.
constexpr int ConfirmPolls = 1000;
constexpr int FinishedPolls = 2000;
constexpr uint32_t ConfirmPollMs = 10;
constexpr uint32_t YesCommand = 6;  // IDYES

// A watched uninstaller window gets 60 s to appear and 10 minutes to go away.
constexpr int AppearPolls = 2400;
constexpr uint32_t AppearPollMs = 25;
constexpr int DisappearPolls = 600;
constexpr uint32_t DisappearPollMs = 1000;

std::optional<std::string> registeredCommand(Machine& machine, const std::string& key, const std::string& valueName,
                                             ProductBits bits = ProductBits::ThirtyTwo) {
    // uninstallValue reads with the probes' buffer, which is the runners' buffer as well.
    static_assert(probebuffer::RegistryValue == UninstallCommandBuffer);
    return uninstallValue(machine, key, valueName, bits);
}

bool startAndWait(Machine& machine, const std::string& program, const std::string& commandLine) {
    return runlog::startAndWait(machine, program, commandLine, WaitForever) != nullptr;
}

// Polls for a top-level window; true when it was seen within polls attempts.
bool windowAppears(Machine& machine, const std::string& title, int polls, uint32_t intervalMs) {
    for (int i = 0; i < polls; ++i) {
        if (machine.processes.findTopLevelWindow(title)) return true;
        machine.clock.sleep(intervalMs);
    }
    return false;
}

void waitForWindowToGo(Machine& machine, const std::string& title) {
    for (int i = 0; i < DisappearPolls; ++i) {
        machine.clock.sleep(DisappearPollMs);
        if (!machine.processes.findTopLevelWindow(title)) return;
    }
}

}  // namespace

bool runQuotedCommand(Machine& machine, const std::string& key, const std::string& valueName, ProductBits bits) {
    auto command = registeredCommand(machine, key, valueName, bits);
    if (!command) return false;
    // "\"C:\\dir\\unins000.exe\" /SILENT": the program between the quotes, the parameters after the blank.
    std::size_t quote = command->find('"', 1);
    if (quote == std::string::npos) return false;
    std::string program = command->substr(1, quote - 1);
    std::string parameters = quote + 2 < command->size() ? command->substr(quote + 2) : std::string();
    // The switches alone make up the command line; the program path is not repeated in front of them.
    return startAndWait(machine, program, parameters);
}

void autoConfirmUninstaller(Machine& machine) {
    for (int i = 0; i < ConfirmPolls; ++i) {
        if (WindowId box = machine.processes.findTopLevelWindow(removaltexts::PleaseConfirm)) {
            machine.processes.sendCommand(box, YesCommand);
            break;
        }
        machine.clock.sleep(ConfirmPollMs);
    }
    for (int i = 0; i < FinishedPolls; ++i) {
        if (WindowId done = machine.processes.findTopLevelWindow(removaltexts::UninstallFinished)) {
            machine.processes.requestClose(done);
            break;
        }
        machine.clock.sleep(ConfirmPollMs);
    }
}

bool runWithAutoConfirm(Machine& machine, const std::string& key) {
    auto command = registeredCommand(machine, key, "UninstallString");
    if (!command) return false;
    // "\"C:\\Python26\\Removepywin32.exe\" -u \"C:\\Python26\\pywin32-wininst.log\"": the blank ends the quoted
    // program; the quotes around it are dropped.
    std::size_t blank = command->find(' ');
    if (blank == std::string::npos || blank < 2) return false;
    std::string program = command->substr(1, blank - 2);
    std::string parameters = command->substr(blank + 1);
    // The helper answers the uninstaller's windows while this thread waits for it; it is not joined and
    // gives up on its own.
    machine.processes.startDetached([&machine] { autoConfirmUninstaller(machine); });
    return startAndWait(machine, program, program + " " + parameters);
}

bool runAndWatch(Machine& machine, const std::string& key, const std::optional<std::string>& windowTitle,
                 ProductBits bits) {
    auto command = registeredCommand(machine, key, "UninstallString", bits);
    if (!command) return false;
    std::string program = *command;
    if (!program.empty() && program.front() == '"') program.erase(0, 1);
    if (!program.empty() && program.back() == '"') program.pop_back();
    if (program.empty()) return false;
    startAndWait(machine, program, program);
    // These uninstallers return while a copy of themselves does the work in its own window.
    if (windowTitle && windowAppears(machine, *windowTitle, AppearPolls, AppearPollMs))
        waitForWindowToGo(machine, *windowTitle);
    return true;
}

bool runSplitCommand(Machine& machine, const std::string& key) {
    auto command = registeredCommand(machine, key, "UninstallString");
    if (!command) return false;
    std::size_t blank = command->find(' ');
    if (blank == std::string::npos) return false;
    std::string program = command->substr(0, blank);
    std::string parameters = command->substr(blank + 1);
    return startAndWait(machine, program, program + " " + parameters);
}

bool runShellCommand(Machine& machine, const std::string& key) {
    auto command = registeredCommand(machine, key, "UninstallString");
    if (!command) return false;
    // "RunDll32 <dll>,<entry> <arguments>": RunDll32 is found by the shell, so only what follows it is kept.
    std::size_t blank = command->find(' ', 1);
    if (blank == std::string::npos) return false;
    const uint32_t started = machine.clock.tickCount();
    auto process = machine.processes.shellExecute("open", "RunDll32", command->substr(blank + 1), "",
                                                  ShowCommand::Normal);
    if (process) process->wait(WaitForever);
    runlog::commandLine(runlogtexts::ShellCommand, "RunDll32", command->substr(blank + 1), process.get(),
                        machine.clock.tickCount() - started);
    return process != nullptr;
}

bool removeWithWindowsInstaller(Machine& machine, const std::string& productCode) {
    const uint32_t result = machine.msi.configureProductAbsent(productCode);
    runlog::line(std::string(runlogtexts::WindowsInstallerRemoval) + productCode + runlogtexts::ExitCode +
                 std::to_string(result));
    return win32error::installerSucceeded(result);
}

bool removeWithMsiexec(Machine& machine, const std::string& productCode) {
    auto system = machine.environment.systemFolder();
    if (!system) return false;
    std::string folder = *system;
    for (char& c : folder)
        if (c == '\\') c = '/';
    if (!folder.empty() && folder.back() == '/') folder.pop_back();
    std::string program = folder + "\\msiexec.exe";
    return startAndWait(machine, program, program + " /x " + productCode + " /passive");
}

bool removeTightVnc(Machine& machine, const std::string& productCode, ProductBits bits) {
    // Its setup program shows "<display name> Uninstall " while a second process removes it; the title can
    // only be known from the machine-wide key.
    std::optional<std::string> title;
    for (Hive hive : uninstallMachineHives(bits)) {
        auto name = machine.registry.readValue(hive, std::string(UninstallRoot) + uninstallkeys::TightVnc,
                                               "DisplayName", UninstallCommandBuffer);
        if (!name) continue;
        std::string format = removaltexts::TightVncUninstallTitleFormat;
        title = format.replace(format.find("%s"), 2, name->text());
        break;
    }
    runAndWatch(machine, uninstallkeys::TightVnc, title, bits);
    // An installation from the Windows Installer package is removed, and judged, through Windows Installer.
    if (msiRegistered(machine, productCode)) return removeWithWindowsInstaller(machine, productCode);
    return true;
}

}  // namespace components

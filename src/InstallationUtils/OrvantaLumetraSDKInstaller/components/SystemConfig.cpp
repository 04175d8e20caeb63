#include "components/SystemConfig.h"

#include <cstddef>
#include <optional>
#include <string_view>

#include "app/AppTexts.h"
#include "components/ModuleTexts.h"
#include "platform/TextCompare.h"

using platform::Hive;
using platform::Machine;
using platform::RegistryValue;

namespace components {

namespace {

// The PATH is read whole: a value cut to a fixed buffer and written back would lose every folder past the cut.
// The buffer grows until the value fits; past the ceiling (far beyond anything Windows can use as a variable)
// the value counts as absent.
constexpr std::size_t FirstPathBuffer = 4096;
constexpr std::size_t LargestPathBuffer = std::size_t(16) << 20;

// Python's own installer records its folder in a buffer of this size.
constexpr std::size_t PythonInstallPathChars = 260;

std::optional<RegistryValue> readWholeValue(Machine& machine, Hive hive, const std::string& key,
                                            const std::string& name) {
    for (std::size_t size = FirstPathBuffer; size <= LargestPathBuffer; size *= 2)
        if (auto value = machine.registry.readValue(hive, key, name, size)) return value;
    return std::nullopt;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// How a PATH element is compared: "C:\Tools\ " and "c:\tools" name the same folder.
std::string comparable(std::string_view element) {
    element = trimBlanks(element);
    if (!element.empty() && (element.back() == '\\' || element.back() == '/')) element.remove_suffix(1);
    return text::toLowerAscii(element);
}

bool pathHolds(std::string_view path, const std::string& wanted) {
    while (true) {
        const std::size_t end = path.find(';');
        if (comparable(path.substr(0, end)) == wanted) return true;
        if (end == std::string_view::npos) return false;
        path.remove_prefix(end + 1);
    }
}

std::optional<std::string> pythonInstallPath(Machine& machine) {
    for (Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
        auto value = machine.registry.readValue(hive, PythonInstallPathKey, "", PythonInstallPathChars);
        if (value && !value->text().empty()) return value->text();
    }
    return std::nullopt;
}

std::string fillEvery(std::string format, const std::string& with) {
    for (std::size_t at = format.find("%s"); at != std::string::npos; at = format.find("%s", at + with.size()))
        format.replace(at, 2, with);
    return format;
}

struct PythonPathSetting {
    const char* key;
    const char* format;  // every %s is Python's folder, ending with a separator
};

const PythonPathSetting PythonPathSettings[] = {
    {PythonPathKey, "%sLib;%sDLLs;%sLib\\lib-tk"},
    {PythonPathPythonwinKey, "%slib\\site-packages\\Pythonwin"},
    {PythonPathWin32Key, "%slib\\site-packages\\win32;%slib\\site-packages\\win32\\lib"},
    {PythonPathWin32comKey, "%slib\\site-packages"},
};

}  // namespace

bool addToSystemPath(Machine& machine, const std::string& entry) {
    const std::string wanted = comparable(entry);
    if (wanted.empty()) return false;
    if (!machine.registry.keyExists(Hive::LocalMachine, EnvironmentKey)) return false;

    std::string path;
    uint32_t type = platform::RegExpandSz;
    if (auto current = readWholeValue(machine, Hive::LocalMachine, EnvironmentKey, PathValue)) {
        // Anything but a string cannot be extended without guessing what it means.
        if (current->type != platform::RegSz && current->type != platform::RegExpandSz) return false;
        type = current->type;
        path = current->text();
    }

    if (pathHolds(path, wanted)) return true;

    if (!path.empty() && path.back() != ';') path += ';';
    path += entry;
    if (!machine.registry.writeString(Hive::LocalMachine, EnvironmentKey, PathValue, path, type)) return false;

    machine.processes.broadcastSettingChange(EnvironmentChangedText, EnvironmentBroadcastTimeoutMs);
    return true;
}

bool setPythonPaths(Machine& machine, ui::UserInterface& ui) {
    auto python = pythonInstallPath(machine);
    if (!python) {
        ui.messageBox(moduletexts::PythonInstallPathMissing, apptexts::InstallerTitle, ui::Buttons::Ok,
                      ui::Icon::None, true);
        return false;
    }
    // The paths are the folder's items appended directly; a folder recorded without its separator would
    // turn "C:\Python26" + "Lib" into a folder that does not exist.
    std::string folder = *python;
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';

    bool allWritten = true;
    for (const PythonPathSetting& setting : PythonPathSettings) {
        const bool written = machine.registry.createKey(Hive::LocalMachine, setting.key) &&
                             machine.registry.writeString(Hive::LocalMachine, setting.key, "",
                                                          fillEvery(setting.format, folder), platform::RegSz);
        allWritten = allWritten && written;
    }
    return allWritten;
}

std::string tavrelLinkPath(const std::string& folder) { return folder + "\\" + TavrelLinkName + ".lnk"; }

bool createShortcut(Machine& machine, const std::string& folder, const std::string& target,
                    const std::string& workingFolder) {
    return machine.links.save(tavrelLinkPath(folder), platform::ShellLink{target, "", workingFolder});
}

}  // namespace components

#include "app/FileUtils.h"

#include <cstring>

#include "app/DataFolders.h"

using namespace platform;

namespace {
// Junctions and symbolic links to folders: removing one must not reach into what it points at.
constexpr uint32_t ReparsePoint = 0x400;
}  // namespace

bool fileExists(Machine& machine, const std::string& path) { return machine.files.exists(path); }

bool deleteFileIfPresent(Machine& machine, const std::string& path) {
    if (!fileExists(machine, path)) return true;
    machine.files.setAttributes(path, attr::Archive);
    return machine.files.deleteFile(path);
}

bool deleteFolderTree(Machine& machine, const char* path, const char* guard) {
    if (!path || !guard) return false;
    return deleteFolderTree(machine, std::string(path), std::string(guard));
}

bool deleteFolderTree(Machine& machine, const std::string& path, const std::string& guard) {
    if (path.size() < 7 || path.find(guard) == std::string::npos) return false;

    // The path itself may be a link to a folder: walking it would empty the folder it points at.
    std::optional<uint32_t> own = machine.files.attributes(path);
    if (own && (*own & attr::Directory) && (*own & ReparsePoint)) {
        machine.files.removeFolder(path);
        return !machine.files.attributes(path);
    }

    auto entries = machine.files.find(path + "\\*.*");
    if (!entries) return false;
    for (const FindEntry& entry : *entries) {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string full = path + "/" + entry.name;
        if (entry.isFolder() && !(entry.attributes & ReparsePoint)) {
            deleteFolderTree(machine, full, guard);
        } else if (entry.isFolder()) {
            // A link to a folder is removed as an empty folder; its target stays untouched.
            machine.files.removeFolder(full);
        } else {
            machine.files.setAttributes(full, attr::Archive);
            if (!machine.files.deleteFile(full)) machine.files.removeFolder(full);
        }
    }
    machine.files.removeFolder(path);
    // Success means the folder is gone. Whatever could not be removed (a file another program holds open, an
    // entry access is denied to) keeps it in place, and a caller told otherwise would build on a removal that
    // did not happen. A folder that is only marked for deletion, because another program still has it open
    // with delete sharing, counts as gone: Windows removes it when that program lets go.
    return !machine.files.attributes(path);
}

bool deleteDataFolder(Machine& machine, const std::string& folder) {
    const std::string data = folder + "\\" + datafolders::DataFolder;
    if (!fileExists(machine, data)) return true;
    return deleteFolderTree(machine, data, data);
}

std::optional<std::string> getProgramFilesFolder(Machine& machine) {
    // An empty value is no folder: every path built on it would hang off the root of the current drive.
    auto usable = [](std::optional<std::string> value) -> std::optional<std::string> {
        if (!value) return std::nullopt;
        if (!value->empty() && (value->back() == '\\' || value->back() == '/')) value->pop_back();
        if (value->empty()) return std::nullopt;
        return value;
    };
    if (auto folder = usable(machine.environment.variable("ProgramFiles", 1024))) return folder;
    return usable(machine.environment.variable("ProgramFiles(x86)", 1024));
}

std::optional<std::string> getCommonDesktopFolder(Machine& machine) {
    return machine.environment.knownFolder(KnownFolder::CommonDesktop);
}

std::optional<std::string> getCommonProgramsFolder(Machine& machine) {
    return machine.environment.knownFolder(KnownFolder::CommonPrograms);
}

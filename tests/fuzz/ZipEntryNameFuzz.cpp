// Any bytes as the name of an archive entry. Whatever the name check accepts must, resolved the way Windows
// resolves a path, stay strictly below the target folder and name an ordinary file; and extracting an archive
// holding that entry on the in-memory machine must create nothing that resolves outside the target.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "components/unzip/Unzipper.h"
#include "platform/fake/FakeMachine.h"
#include "unzip/ZipBuilder.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// Resolves a path below "C:\t" as Windows would open it and tells whether it stays strictly below that
// folder and names nothing special. Pessimistic where Windows is obscure: a component that Windows might turn
// into "." or ".." by dropping trailing dots and blanks counts as leaving, as does anything that could name a
// drive, a stream or a device.
bool staysBelowTarget(const std::string& relative) {
    if (relative.empty()) return false;
    if (relative[0] == '\\' || relative[0] == '/') return false;  // rooted or UNC: not relative to the target
    std::vector<std::string> stack;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find_first_of("\\/", start);
        if (end == std::string::npos) end = relative.size();
        std::string part = relative.substr(start, end - start);
        start = end + 1;
        if (part.empty()) continue;
        for (char c : part)
            if (c == ':' || static_cast<unsigned char>(c) < 0x20) return false;
        std::string trimmed = part;
        while (!trimmed.empty() && (trimmed.back() == '.' || trimmed.back() == ' ')) trimmed.pop_back();
        if (trimmed.empty()) return false;  // ".", "..", "...", ". ." and the like
        std::string device = trimmed.substr(0, trimmed.find('.'));
        while (!device.empty() && device.back() == ' ') device.pop_back();
        for (char& c : device) c = upper(c);
        static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
        for (const char* d : devices)
            if (device == d) return false;
        if (device.size() == 4 && (device.rfind("COM", 0) == 0 || device.rfind("LPT", 0) == 0) &&
            ((device[3] >= '0' && device[3] <= '9') || device[3] == '\xB9' || device[3] == '\xB2' ||
             device[3] == '\xB3'))
            return false;
        stack.push_back(trimmed);
    }
    return !stack.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 300) return 0;
    const std::string name(reinterpret_cast<const char*>(data), size);
    const bool accepted = CUnzipper::isSafeEntryName(name);
    if (accepted) require(staysBelowTarget(name));

    // The same name in a real archive, extracted: a file entry, and the same name marked as a folder.
    for (uint32_t attributes : {0x20u, 0x10u}) {
        platform::fake::FakeMachine m;
        ziptest::Entry entry;
        entry.name = name;
        entry.data = "x";
        entry.externalAttributes = attributes;
        m.files.addFile("C:\\a.zip", ziptest::buildZip({entry}));
        const auto before = m.files.tree("C:");
        const bool extracted = extractArchive(m, "C:\\a.zip", "C:\\t");
        if (extracted) require(accepted);
        for (const std::string& path : m.files.tree("C:")) {
            bool existed = false;
            for (const std::string& old : before) existed = existed || old == path;
            if (existed || path == "C:\\t") continue;
            require(path.size() > 4 && path.compare(0, 4, "C:\\t") == 0 && (path[4] == '\\' || path[4] == '/'));
            require(staysBelowTarget(path.substr(5)));
        }
    }
    return 0;
}

#include "components/Probes.h"

#include <algorithm>
#include <span>

#include "app/FileUtils.h"
#include "components/FileLists.h"
#include "components/OrvantaProducts.h"
#include "platform/TextCompare.h"
#include "components/UninstallKeys.h"

using namespace platform;

namespace components {

using text::equalsIgnoringCase;

namespace {

constexpr Hive UninstallHives[] = {Hive::LocalMachine, Hive::CurrentUser};
// A 64-bit product's key is in the 64-bit view; the 32-bit build of the same product (installed on a 64-bit
// machine all the same) left its own in the program's view.
constexpr Hive UninstallHives64[] = {Hive::LocalMachine64, Hive::LocalMachine, Hive::CurrentUser};

std::span<const Hive> uninstallHives(ProductBits bits) {
    if (bits == ProductBits::SixtyFour) return UninstallHives64;
    return UninstallHives;
}

std::optional<std::string> readText(Machine& machine, Hive hive, const std::string& key, const std::string& name,
                                    std::size_t bufferBytes) {
    auto value = machine.registry.readValue(hive, key, name, bufferBytes);
    if (!value) return std::nullopt;
    return value->text();
}

// A walk over every product must end even when the installer service keeps failing instead of answering
// "no more items": after this many failures in a row nothing more is coming.
constexpr int MaxConsecutiveEnumFailures = 64;

// The first line of a text file, without its line end; none when the file cannot be opened or read.
std::optional<std::string> firstLine(Machine& machine, const std::string& path) {
    auto file = machine.files.open(path, Access::Read, Disposition::OpenExisting);
    if (!file) return std::nullopt;
    // A version line is short; a "line" longer than this is no version line either way.
    constexpr std::size_t MaxLine = 64 * 1024;
    std::string line;
    char buffer[512];
    for (;;) {
        long long got = file->read(buffer, sizeof buffer);
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        std::string_view chunk(buffer, static_cast<std::size_t>(got));
        auto end = chunk.find('\n');
        line.append(chunk.substr(0, end));
        if (end != std::string_view::npos || line.size() > MaxLine) break;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

// ---- Windows Installer ------------------------------------------------------------------------------------

bool msiRegistered(Machine& machine, const std::string& productCode) {
    for (MsiContext context : ProbeContexts)
        if (machine.msi.productInfoEx(productCode, context, "VersionString", probebuffer::RegistrationQuery))
            return true;
    return false;
}

bool msiVersionIs(Machine& machine, const std::string& productCode, const std::string& version) {
    if (!msiRegistered(machine, productCode)) return false;
    auto installed = machine.msi.productInfo(productCode, "VersionString", probebuffer::ProductInfo);
    return installed && equalsIgnoringCase(*installed, version);
}

bool msiNameDiffers(Machine& machine, const std::string& productCode, const std::string& name) {
    if (!msiRegistered(machine, productCode)) return false;
    auto installed = machine.msi.productInfo(productCode, "InstalledProductName", probebuffer::ProductInfo);
    return !installed || !equalsIgnoringCase(*installed, name);
}

namespace {
thread_local PythonProductsOnce* currentPythonProductsOnce = nullptr;

std::vector<std::string> walkPythonProducts(Machine& machine) {
    std::vector<std::string> found;
    int failuresInARow = 0;
    for (uint32_t index = 0;; ++index) {
        std::string code;
        uint32_t result = machine.msi.enumProducts(index, code);
        if (result == win32error::NoMoreItems) break;
        if (result != win32error::Success) {
            if (++failuresInARow >= MaxConsecutiveEnumFailures) break;
            continue;
        }
        failuresInARow = 0;
        for (MsiContext context : ProbeContexts) {
            auto name = machine.msi.productInfoEx(code, context, "InstalledProductName", probebuffer::EnumeratedName);
            if (!name) continue;
            if (name->starts_with(PythonProductPrefix)) found.push_back(code);
            break;
        }
    }
    return found;
}
}  // namespace

PythonProductsOnce::PythonProductsOnce(Machine& machine) : machine_(machine), outer_(currentPythonProductsOnce) {
    currentPythonProductsOnce = this;
}

PythonProductsOnce::~PythonProductsOnce() { currentPythonProductsOnce = outer_; }

std::vector<std::string> pythonProducts(Machine& machine) {
    PythonProductsOnce* once = currentPythonProductsOnce;
    if (!once || &once->machine_ != &machine) return walkPythonProducts(machine);
    if (!once->products_) once->products_ = walkPythonProducts(machine);
    return *once->products_;
}

int pythonProductCount(Machine& machine) { return static_cast<int>(pythonProducts(machine).size()); }

// ---- Uninstall keys ---------------------------------------------------------------------------------------

std::vector<Hive> uninstallMachineHives(ProductBits bits) {
    std::vector<Hive> hives;
    for (Hive hive : uninstallHives(bits))
        if (hive != Hive::CurrentUser) hives.push_back(hive);
    return hives;
}

bool uninstallKeyExists(Machine& machine, const std::string& key, ProductBits bits) {
    for (Hive hive : uninstallHives(bits))
        if (machine.registry.keyExists(hive, UninstallRoot + key)) return true;
    return false;
}

bool uninstallValuePresent(Machine& machine, const std::string& key, const std::string& value) {
    return uninstallValue(machine, key, value).has_value();
}

bool uninstallValueEquals(Machine& machine, const std::string& key, const std::string& value,
                          const std::string& expected) {
    for (Hive hive : UninstallHives) {
        auto text = readText(machine, hive, UninstallRoot + key, value, probebuffer::RegistryValue);
        if (text && *text == expected) return true;
    }
    return false;
}

std::optional<std::string> uninstallValue(Machine& machine, const std::string& key, const std::string& value,
                                          ProductBits bits) {
    for (Hive hive : uninstallHives(bits))
        if (auto text = readText(machine, hive, UninstallRoot + key, value, probebuffer::RegistryValue)) return text;
    return std::nullopt;
}

// ---- The Orvanta Runtime ----------------------------------------------------------------------------------

bool isRuntimeRegistered(Machine& machine) { return msiRegistered(machine, products::Runtime.productCode); }

std::optional<std::string> getRuntimeFolder(Machine& machine) {
    // Another build registered under the Runtime's code keeps its folder under its own name; its modules are
    // not ours to judge.
    if (!isRuntimeRegistered(machine) ||
        msiNameDiffers(machine, products::Runtime.productCode, products::Runtime.displayName))
        return std::nullopt;
    auto folder = readText(machine, Hive::LocalMachine, products::installPathKey(products::Runtime.displayName),
                           products::InstallPathValue, probebuffer::InstallPath);
    // Items are appended to the folder as they are: an empty folder would turn every item into a path relative
    // to whatever the current folder happens to be.
    if (!folder || folder->empty()) return std::nullopt;
    return folder;
}

bool runtimeItemExists(Machine& machine, const std::string& item) {
    auto folder = getRuntimeFolder(machine);
    return folder && fileExists(machine, *folder + item);
}

bool olderOpenCV24Present(Machine& machine) {
    for (const char* item : {"OpenCV242", "OpenCV243", "OpenCV244", "OpenCV245"})
        if (runtimeItemExists(machine, item)) return true;
    return false;
}

bool filesComplete(Machine& machine, const std::string& folder, const std::vector<std::string>& list) {
    if (!fileExists(machine, folder)) return false;
    return std::all_of(list.begin(), list.end(),
                       [&](const std::string& f) { return fileExists(machine, folder + "\\" + f); });
}

// ---- Special checks ---------------------------------------------------------------------------------------

bool dotNet20Installed(Machine& machine) {
    if (!machine.registry.keyExists(Hive::LocalMachine, DotNet20SetupKey)) return false;
    auto value = machine.registry.readValue(Hive::LocalMachine, DotNet20SetupKey, "Install", probebuffer::RegistryValue);
    if (!value) return false;
    auto first = value->firstDword();
    return first && *first == 1;
}

bool windowsInstallerAtLeast3(Machine& machine) {
    auto system = machine.environment.systemFolder();
    if (!system) return false;
    std::string folder = *system;
    std::replace(folder.begin(), folder.end(), '\\', '/');
    if (!folder.empty() && folder.back() == '/') folder.pop_back();
    auto version = machine.msi.fileVersion(folder + "\\Msi.dll", probebuffer::FileVersion);
    if (!version || version->empty()) return false;
    auto point = version->find('.');
    if (point == std::string::npos || point == 0) return false;
    unsigned long major = 0;
    for (std::size_t i = 0; i < point; ++i) {
        char c = (*version)[i];
        if (c < '0' || c > '9') return false;
        major = std::min(major * 10 + static_cast<unsigned long>(c - '0'), 1000000ul);
    }
    return major >= 3;
}

std::optional<std::string> tavrelFolder(Machine& machine) {
    auto programFiles = getProgramFilesFolder(machine);
    if (!programFiles) return std::nullopt;
    return *programFiles + "\\" + TavrelParentFolder + "\\" + TavrelFolderName;
}

bool tavrelFilesComplete(Machine& machine) {
    auto folder = tavrelFolder(machine);
    return folder && filesComplete(machine, *folder, filelists::tavrel());
}

bool tavrelVersionDiffers(Machine& machine) {
    auto folder = tavrelFolder(machine);
    if (!folder || !fileExists(machine, *folder)) return false;
    auto line = firstLine(machine, *folder + "\\" + TavrelVersionFile);
    return line && *line != TavrelVersion;
}

std::optional<std::string> tightVncVersion(Machine& machine, const std::string& productCode, ProductBits bits) {
    if (auto version = uninstallValue(machine, uninstallkeys::TightVnc, "DisplayVersion", bits)) return version;
    if (!msiRegistered(machine, productCode)) return std::nullopt;
    return machine.msi.productInfo(productCode, "VersionString", probebuffer::ProductInfo);
}

bool tightVncVersionDiffers(Machine& machine, const std::string& productCode, ProductBits bits) {
    auto version = tightVncVersion(machine, productCode, bits);
    return !version || *version != TightVncVersionWanted;
}

}  // namespace components

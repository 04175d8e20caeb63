// The building blocks that tell whether a component is on the machine and in which shape: Windows Installer
// product queries, Uninstall registry keys, files below the Runtime folder, and a few checks of their own.
//
// A probe never reports an error: a key that does not open, a value that cannot be read (also one that does
// not fit its buffer), a failing product query or a missing file is simply a "no". Nothing is cached, every
// call reads the machine afresh.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/Machine.h"

namespace components {

// Uninstall keys live below this root, under HKLM and, for per-user installations, under HKCU.
inline constexpr const char* UninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Buffer sizes of the queries (characters for Windows Installer, bytes for the registry).
namespace probebuffer {
inline constexpr std::size_t RegistrationQuery = 64;  // "VersionString" when only registration matters
inline constexpr std::size_t ProductInfo = 512;       // MsiGetProductInfoA queries
inline constexpr std::size_t EnumeratedName = 256;    // product names while walking every product
inline constexpr std::size_t RegistryValue = 4096;    // every registry value read by a probe
inline constexpr std::size_t InstallPath = 260;       // the Runtime's "InstallPath"
inline constexpr std::size_t FileVersion = 256;       // MsiGetFileVersionA
}  // namespace probebuffer

// What the probes compare against.
inline constexpr const char* PythonProductPrefix = "Python 2.6";
inline constexpr const char* TightVncVersionWanted = "2.6.4.0";
inline constexpr const char* DotNet20SetupKey = "SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727";

// The Tavrel controller is unpacked into Program Files + "\" + TavrelParentFolder + "\" + TavrelFolderName,
// which then holds TavrelVersionFile with exactly TavrelVersion in it.
inline constexpr const char* TavrelParentFolder = "Dalvoren AS";
inline constexpr const char* TavrelFolderName = "Tavrel";
inline constexpr const char* TavrelVersionFile = "version.txt";
inline constexpr const char* TavrelVersion = "Tavrel 1.0.0.1(3587)";

// Installation contexts in the order they are tried: per machine, then the user's managed and unmanaged ones.
inline constexpr platform::MsiContext ProbeContexts[] = {platform::MsiContext::Machine,
                                                         platform::MsiContext::UserManaged,
                                                         platform::MsiContext::UserUnmanaged};

// ---- Windows Installer ------------------------------------------------------------------------------------

// The product's "VersionString" can be read in one of the three contexts.
bool msiRegistered(platform::Machine& machine, const std::string& productCode);
// Registered, and its "VersionString" equals version ignoring case.
bool msiVersionIs(platform::Machine& machine, const std::string& productCode, const std::string& version);
// Registered, and its "InstalledProductName" is unreadable or differs from name ignoring case. A product that
// is not registered does not differ.
bool msiNameDiffers(platform::Machine& machine, const std::string& productCode, const std::string& name);

// Product codes of every registered product whose installed name begins with "Python 2.6" (case-sensitive),
// in enumeration order. Products whose name cannot be read in any context are passed over.
std::vector<std::string> pythonProducts(platform::Machine& machine);
// pythonProducts(machine).size().
int pythonProductCount(platform::Machine& machine);

// While one exists on this thread, the walk over every product is done once for its machine and its answer
// reused. A row's refresh asks whether Python 2.6 is installed and then how many there are, a moment apart;
// one walk answers both, and a walk costs as much as every other probe of a page together. Scope it to one
// row so that nothing outlives the refresh that read it.
class PythonProductsOnce {
public:
    explicit PythonProductsOnce(platform::Machine& machine);
    ~PythonProductsOnce();
    PythonProductsOnce(const PythonProductsOnce&) = delete;
    PythonProductsOnce& operator=(const PythonProductsOnce&) = delete;

private:
    friend std::vector<std::string> pythonProducts(platform::Machine& machine);
    platform::Machine& machine_;
    std::optional<std::vector<std::string>> products_;
    PythonProductsOnce* outer_;
};

// ---- Uninstall keys (HKLM first, then HKCU) ---------------------------------------------------------------

// The registry view a product writes its Uninstall key in: a 32-bit product the view this 32-bit program sees
// (below Wow6432Node on a 64-bit Windows), a 64-bit product the machine's 64-bit view, which the program must
// ask for or it never sees the key. A 64-bit product's key is looked for there first, then in the program's
// view (its 32-bit build, installed on the same machine), then under HKCU.
enum class ProductBits { ThirtyTwo, SixtyFour };

bool uninstallKeyExists(platform::Machine& machine, const std::string& key,
                        ProductBits bits = ProductBits::ThirtyTwo);
bool uninstallValuePresent(platform::Machine& machine, const std::string& key, const std::string& value);
// The value's text equals expected exactly (case-sensitive) under HKLM; failing that, under HKCU.
bool uninstallValueEquals(platform::Machine& machine, const std::string& key, const std::string& value,
                          const std::string& expected);
// The value's text under HKLM, else under HKCU.
std::optional<std::string> uninstallValue(platform::Machine& machine, const std::string& key,
                                          const std::string& value, ProductBits bits = ProductBits::ThirtyTwo);
// The machine-wide places uninstallValue looks in, in its order: HKLM in the product's view first.
std::vector<platform::Hive> uninstallMachineHives(ProductBits bits);

// ---- The Orvanta Runtime ----------------------------------------------------------------------------------

bool isRuntimeRegistered(platform::Machine& machine);
// The Runtime's "InstallPath" as stored (expected to end with a backslash). None unless the Runtime is
// registered under exactly its catalogue name (ignoring case) and the value can be read and is not empty.
std::optional<std::string> getRuntimeFolder(platform::Machine& machine);
// The Runtime folder is known and runtime folder + item (appended as it is) exists.
bool runtimeItemExists(platform::Machine& machine, const std::string& item);
// Any of the OpenCV 2.4.2 to 2.4.5 folders below the Runtime folder.
bool olderOpenCV24Present(platform::Machine& machine);

// folder exists and so does folder + "\" + f for every f of list (stops at the first missing one).
bool filesComplete(platform::Machine& machine, const std::string& folder, const std::vector<std::string>& list);

// ---- Special checks ---------------------------------------------------------------------------------------

// HKLM's .NET 2.0 setup key says "Install" = 1.
bool dotNet20Installed(platform::Machine& machine);
// The system's Msi.dll has a file version whose major number is 3 or more.
bool windowsInstallerAtLeast3(platform::Machine& machine);

// Program Files\Dalvoren AS\Tavrel; none when the Program Files folder is unknown.
std::optional<std::string> tavrelFolder(platform::Machine& machine);
bool tavrelFilesComplete(platform::Machine& machine);
// The first line of the Tavrel folder's "version.txt" is not the catalogue's version. A missing folder or file
// is no difference.
bool tavrelVersionDiffers(platform::Machine& machine);

// TightVNC's version: "DisplayVersion" of the "TightVNC" Uninstall key (left by its own setup program), else
// the Windows Installer product's "VersionString" when productCode is registered. The 64-bit TightVNC's key is
// in the 64-bit view.
std::optional<std::string> tightVncVersion(platform::Machine& machine, const std::string& productCode,
                                           ProductBits bits = ProductBits::ThirtyTwo);
bool tightVncVersionDiffers(platform::Machine& machine, const std::string& productCode,
                            ProductBits bits = ProductBits::ThirtyTwo);

}  // namespace components

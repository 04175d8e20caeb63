// Machines for the detection tests: an empty one, and one on which every catalogue component is installed
// exactly as the catalogue wants it. A test breaks one thing on the well-kept machine and checks that the
// status rules see it.
#pragma once

#include <string>
#include <vector>

#include "components/ComponentInfo.h"
#include "components/FileLists.h"
#include "components/InstallManagerBase.h"
#include "components/OrvantaProducts.h"
#include "components/ProductCodes.h"
#include "components/Probes.h"
#include "components/StatusRules.h"
#include "platform/fake/FakeMachine.h"

namespace detectiontest {

using platform::Hive;
using platform::MsiContext;
using platform::fake::FakeMachine;
using platform::fake::FakeProduct;

inline const std::string ProgramFiles = "C:\\Program Files";
inline const std::string RuntimeFolder = "C:\\Program Files\\Dalvoren AS\\Orvanta Runtime\\";
inline const std::string TavrelFolder = "C:\\Program Files\\Dalvoren AS\\Tavrel";
inline const std::string OtherPythonCode = "{0A2C5854-557E-48C8-835A-3B9F074BDCAA}";

// The Uninstall root and the key names the components' setup programs leave, written out here rather than
// taken from the engine's constants, so that a misspelt constant shows as a component not found.
inline const std::string UninstallRootKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
namespace keys {
inline constexpr const char* Pywin32 = "pywin32-py2.6";
inline constexpr const char* Pyserial = "pyserial-py3k-py2.6";
inline constexpr const char* Scipy = "scipy-py2.6";
inline constexpr const char* Numpy = "numpy-py2.6";
inline constexpr const char* OpenCV11 = "Open Source Computer Vision Library_is1";
inline constexpr const char* CtypesOpenCV = "ctypes-opencv-py2.6";
inline constexpr const char* ICCapture = "ICCapture22_is1";
inline constexpr const char* MySQLPython = "MySQL-python-py2.6";
inline constexpr const char* TightVnc = "TightVNC";
inline constexpr const char* PerformanceTest = "PerformanceTest 8_is1";
inline constexpr const char* TeamViewer = "TeamViewer 8 Host";
inline constexpr const char* Speccy = "Speccy";
inline constexpr const char* AdamApax = "{C2E6E999-4516-40D2-8191-79B5CB4B987B}";
inline constexpr const char* OpcClient = "OPC CLIENT";
}  // namespace keys

inline std::string uninstallKey(const std::string& name) { return UninstallRootKey + name; }

inline void registerProduct(FakeMachine& m, const std::string& code, const std::string& name,
                            const std::string& version = "1.0.0", MsiContext context = MsiContext::Machine) {
    m.msi.registerProduct(code, context, FakeProduct{name, version, {}});
}

inline void setUninstallValue(FakeMachine& m, const std::string& key, const std::string& value,
                              const std::string& text, Hive hive = Hive::LocalMachine) {
    m.registry.setString(hive, uninstallKey(key), value, text);
}

inline void registerRuntime(FakeMachine& m, const std::string& name = components::products::Runtime.displayName) {
    registerProduct(m, components::products::Runtime.productCode, name, "10.2.578");
    m.registry.setString(Hive::LocalMachine, components::products::installPathKey(name), "InstallPath",
                         RuntimeFolder);
    m.files.addFolder(RuntimeFolder);
}

inline void addModule(FakeMachine& m, const std::string& folder, const std::vector<std::string>& files) {
    m.files.addFolder(folder);
    for (const std::string& f : files) m.files.addFile(folder + "\\" + f, "module file");
}

inline void addTavrel(FakeMachine& m, bool withVersionFile = true) {
    addModule(m, TavrelFolder, components::filelists::tavrel());
    if (withVersionFile) m.files.addFile(TavrelFolder + "\\version.txt", "Tavrel 1.0.0.1(3587)");
}

// Everything the catalogue offers, installed as the catalogue wants it.
inline void installEverything(FakeMachine& m) {
    namespace codes = components::codes;
    using namespace components::products;
    m.environment.variables["PROGRAMFILES"] = ProgramFiles;

    registerProduct(m, codes::VcRedist2005, "Microsoft Visual C++ 2005 Redistributable");
    registerProduct(m, codes::VcRedist2008, "Microsoft Visual C++ 2008 Redistributable - x86 9.0.30729.17");
    registerProduct(m, codes::VcRedist2010, "Microsoft Visual C++ 2010  x86 Redistributable - 10.0.40219");
    m.registry.setDword(Hive::LocalMachine, components::DotNet20SetupKey, "Install", 1);
    m.msi.setFileVersion("C:\\windows\\system32\\Msi.dll", "3.1.4001.5512");

    registerProduct(m, codes::Python266, "Python 2.6.6", "2.6.6150");
    setUninstallValue(m, keys::Pywin32, "DisplayName", "Python 2.6 pywin32-218");
    setUninstallValue(m, keys::Pyserial, "DisplayName", "Python 2.6 pyserial-py3k-2.5");
    setUninstallValue(m, keys::Scipy, "DisplayName", "Python 2.6 scipy-0.14.0b1");
    setUninstallValue(m, keys::Numpy, "DisplayName", "Python 2.6 numpy-1.8.1");
    setUninstallValue(m, keys::OpenCV11, "InstallLocation", "C:\\Program Files\\OpenCV\\");
    setUninstallValue(m, keys::CtypesOpenCV, "DisplayName", "Python 2.6 ctypes-opencv-0.8.0");
    setUninstallValue(m, keys::ICCapture, "DisplayName", "IC Capture 2.3");
    setUninstallValue(m, keys::MySQLPython, "DisplayName", "Python 2.6 MySQL-python-1.2.2");

    registerRuntime(m);
    registerProduct(m, LumetraSdk.productCode, LumetraSdk.displayName, "10.2.578");
    registerProduct(m, codes::Watchdog, "Orvanta Watchdog - Vivantor 2.0.0.6", "2.0.6");
    addModule(m, RuntimeFolder + "IPP924", components::filelists::ipp());
    addModule(m, RuntimeFolder + "OpenCV23", components::filelists::openCV231());
    addModule(m, RuntimeFolder + "OpenCV246", components::filelists::openCV246());
    addModule(m, RuntimeFolder + "OpenCV248", components::filelists::openCV248());

    registerProduct(m, codes::TightVnc32, "TightVNC", "2.6.4.0");
    registerProduct(m, codes::TightVnc64, "TightVNC", "2.6.4.0");
    addTavrel(m);
    setUninstallValue(m, keys::PerformanceTest, "QuietUninstallString", "\"C:\\PT\\unins000.exe\" /SILENT");
    setUninstallValue(m, keys::PerformanceTest, "DisplayVersion", "8.0.1022.0");
    setUninstallValue(m, keys::TeamViewer, "UninstallString", "C:\\TV\\uninstall.exe");
    setUninstallValue(m, keys::TeamViewer, "DisplayVersion", "8.0.18930");
    setUninstallValue(m, keys::Speccy, "DisplayVersion", "1.25");

    registerProduct(m, codes::UbCore, "ubCore 6.00 Pro");
    registerProduct(m, codes::FireI32, "Fire-i Application");
    registerProduct(m, codes::FireI64, "Fire-i Application");
    registerProduct(m, codes::SonyZcl, "ZCL for SONYGigECAM", "2.12");
    registerProduct(m, codes::PylonSdk2_32, "Basler pylon SDK", "2.3.2633");
    registerProduct(m, codes::PylonSdk2_64, "Basler pylon SDK", "2.3.2633");
    registerProduct(m, codes::PylonSdk3, "Basler pylon SDK", "3.2.3215");
    registerProduct(m, codes::Pylon4Runtime, "Basler pylon 4 Runtime", "4.0.3425");
    registerProduct(m, codes::DaqNaviPci1730, "DAQNavi PCI-1730", "3.1.1.0");
    registerProduct(m, codes::DaqNaviUsb4711A, "DAQNavi USB-4711A", "3.1.3.0");
    registerProduct(m, codes::DaqNaviUsb4750, "DAQNavi USB-4750", "3.1.1.0");
    registerProduct(m, codes::DaqNaviSdk, "DAQNavi SDK and Drivers", "3.1.4.0");
    setUninstallValue(m, keys::AdamApax, "UninstallString", "C:\\Adam\\uninstall.exe");
    setUninstallValue(m, keys::AdamApax, "DisplayVersion", "2.04.04");
    setUninstallValue(m, keys::OpcClient, "DisplayName", "SIMATIC NET OPC CLIENT V6.2 Build 3133");
    registerProduct(m, PlexorClient.productCode, PlexorClient.displayName, "1.9.24");
}

// The status text a one-row list shows for displayName after a refresh.
struct RowStatus {
    std::string text;
    int refreshResult = 0;
};

inline RowStatus refreshOne(FakeMachine& m, const std::string& displayName) {
    std::string name, status, action = "Pending";
    dvInstallManagerBase manager;
    manager.setComponents({dvComponentInfo(displayName, "", "", "", "", false, false, &name, &status, &action, "")});
    RowStatus r;
    r.refreshResult = components::refreshStatuses(m, manager, 0, 0);
    r.text = status;
    return r;
}

}  // namespace detectiontest

#include "components/InstalledTable.h"

#include "components/OrvantaProducts.h"
#include "components/ProductCodes.h"
#include "components/Probes.h"
#include "platform/TextCompare.h"
#include "components/UninstallKeys.h"

using platform::Machine;

namespace components {

using text::equalsIgnoringCase;

namespace {

struct InstalledProbe {
    const char* displayName;
    bool (*probe)(Machine&);
};

// One probe per catalogue name, scanned top to bottom; the names are distinct, so the order only fixes the
// cost of a lookup. Both forms of the 32/64-bit rows are listed.
// clang-format off
const InstalledProbe InstalledProbes[] = {
    {"MS VC++ 2005 SP1 Redist",              [](Machine& m) { return msiRegistered(m, codes::VcRedist2005); }},
    {"MS VC++ 2008 SP1 Redist",              [](Machine& m) { return msiRegistered(m, codes::VcRedist2008); }},
    {"MS VC++ 2010 SP1 Redist",              [](Machine& m) { return msiRegistered(m, codes::VcRedist2010); }},
    {"Microsoft .Net 2.0.50727.42 Redist",   [](Machine& m) { return dotNet20Installed(m); }},
    {"Windows Installer 3.1",                [](Machine& m) { return windowsInstallerAtLeast3(m); }},
    {"Python 2.6.6",                         [](Machine& m) { return pythonProductCount(m) > 0; }},
    {"pywin32-218.win32-py2.6",              [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::Pywin32); }},
    {"pyserial-py3k-2.5.win32",              [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::Pyserial); }},
    {"scipy-0.14.0b1-python2.6",             [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::Scipy); }},
    {"numpy-1.8.1-python2.6",                [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::Numpy); }},
    {"OpenCV_1.1pre1a",                      [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::OpenCV11); }},
    {"ctypes-opencv-0.8.0-python26",         [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::CtypesOpenCV); }},
    {"OpenCV 2.3.1",                         [](Machine& m) { return runtimeItemExists(m, "OpenCV23"); }},
    {"OpenCV 2.4.6",                         [](Machine& m) { return olderOpenCV24Present(m) || runtimeItemExists(m, "OpenCV246"); }},
    {"OpenCV 2.4.8",                         [](Machine& m) { return runtimeItemExists(m, "OpenCV248"); }},
    {"Imaging Source - IC Capture 2.3",      [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::ICCapture); }},
    {"MySQL-python-1.2.2.win32-py2.6",       [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::MySQLPython); }},
    {"Orvanta 9.3.0.524 IPP",                [](Machine& m) { return runtimeItemExists(m, "IPP924"); }},
    {"Orvanta Watchdog - Vivantor 2.0.0.6",  [](Machine& m) { return msiRegistered(m, codes::Watchdog); }},
    {"Orvanta Version X 10.2.1.578 Runtime", [](Machine& m) { return msiRegistered(m, products::Runtime.productCode); }},
    {"Orvanta Lumetra Version X 10.2.1.578 SDK", [](Machine& m) { return msiRegistered(m, products::LumetraSdk.productCode); }},
    {"TightVNC 2.6.4 - 32 bit",              [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::TightVnc) || msiRegistered(m, codes::TightVnc32); }},
    {"TightVNC 2.6.4 - 64 bit",              [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::TightVnc, ProductBits::SixtyFour) || msiRegistered(m, codes::TightVnc64); }},
    {"Tavrel 1.0.0.1(3587)",                 [](Machine& m) { return tavrelFilesComplete(m); }},
    {"PerformanceTest 8.0",                  [](Machine& m) { return uninstallValuePresent(m, uninstallkeys::PerformanceTest, "QuietUninstallString"); }},
    {"Orvanta TeamViewer 8 Host.exe",        [](Machine& m) { return uninstallValuePresent(m, uninstallkeys::TeamViewer, "UninstallString"); }},
    {"Speccy v1.25",                         [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::Speccy); }},
    {"ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", [](Machine& m) { return msiRegistered(m, codes::UbCore); }},
    {"ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", [](Machine& m) { return msiRegistered(m, codes::UbCore); }},
    {"Fire-i Application 4.0 - 32 bit",      [](Machine& m) { return msiRegistered(m, codes::FireI32); }},
    {"Fire-i Application 4.0 - 64 bit",      [](Machine& m) { return msiRegistered(m, codes::FireI64); }},
    {"ZCL for SONYGigECAM 2.12 - 32 bit",    [](Machine& m) { return msiRegistered(m, codes::SonyZcl); }},
    {"ZCL for SONYGigECAM 2.12 - 64 bit",    [](Machine& m) { return msiRegistered(m, codes::SonyZcl); }},
    {"Basler pylon SDK 2.3.5.2633 - 32 bit", [](Machine& m) { return msiRegistered(m, codes::PylonSdk2_32); }},
    {"Basler pylon SDK 3.2.3.3215 - 32 bit", [](Machine& m) { return msiRegistered(m, codes::PylonSdk3); }},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 32 bit", [](Machine& m) { return msiRegistered(m, codes::Pylon4Runtime); }},
    {"Basler pylon SDK 2.3.5.2633 - 64 bit", [](Machine& m) { return msiRegistered(m, codes::PylonSdk2_64); }},
    {"Basler pylon SDK 3.2.3.3215 - 64 bit", [](Machine& m) { return msiRegistered(m, codes::PylonSdk3); }},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 64 bit", [](Machine& m) { return msiRegistered(m, codes::Pylon4Runtime); }},
    {"DAQNavi PCI-1730 3.1.1.0",             [](Machine& m) { return msiRegistered(m, codes::DaqNaviPci1730); }},
    {"DAQNavi USB-4711A 3.1.3.0",            [](Machine& m) { return msiRegistered(m, codes::DaqNaviUsb4711A); }},
    {"DAQNavi USB-4750 3.1.1.0",             [](Machine& m) { return msiRegistered(m, codes::DaqNaviUsb4750); }},
    {"DAQNavi SDK and Drivers 3.1.4.0",      [](Machine& m) { return msiRegistered(m, codes::DaqNaviSdk); }},
    {"Adam/Apax .NET Utility 2.04.04",       [](Machine& m) { return uninstallValuePresent(m, uninstallkeys::AdamApax, "UninstallString"); }},
    {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", [](Machine& m) { return uninstallKeyExists(m, uninstallkeys::OpcClient); }},
    {"Orvanta Plexor 1.9.0.24",              [](Machine& m) { return msiRegistered(m, products::PlexorClient.productCode); }},
};
// clang-format on

const InstalledProbe* findProbe(const std::string& displayName) {
    for (const InstalledProbe& entry : InstalledProbes)
        if (equalsIgnoringCase(entry.displayName, displayName)) return &entry;
    return nullptr;
}

}  // namespace

bool isInstalled(Machine& machine, const std::string& displayName) {
    const InstalledProbe* entry = findProbe(displayName);
    return entry && entry->probe(machine);
}

bool isInstalled(Machine& machine, const dvComponentInfo& record) { return isInstalled(machine, record.displayName()); }

bool hasInstalledProbe(const std::string& displayName) { return findProbe(displayName) != nullptr; }

}  // namespace components

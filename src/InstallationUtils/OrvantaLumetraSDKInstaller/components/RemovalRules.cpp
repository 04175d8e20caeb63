#include "components/RemovalRules.h"

#include "components/CommandRunners.h"
#include "components/OrvantaProducts.h"
#include "components/PackagedModules.h"
#include "components/ProductCodes.h"
#include "components/Probes.h"
#include "components/RemovalTexts.h"
#include "components/StatusRules.h"
#include "components/UninstallKeys.h"
#include "platform/TextCompare.h"

using platform::Machine;

namespace components {

namespace {

// Speccy's uninstaller window closes a moment before its files are gone.
constexpr uint32_t SpeccySettleMs = 10000;

using Remover = bool (*)(Machine&);

struct RemovalRule {
    const char* displayName;
    // nullptr: the component cannot be removed (and is never repaired).
    Remover remove;
    // A repair that differs from the removal; nullptr: the repair is the removal.
    Remover repair = nullptr;
};

bool packagedModule(Machine& m, const char* displayName) { return removePackagedModule(m, displayName).value_or(false); }

// Every Python 2.6 build on the machine, not only the catalogue's: two of them side by side are the problem a
// repair is asked to clear.
bool removeEveryPython26(Machine& m) {
    for (const std::string& code : pythonProducts(m)) removeWithMsiexec(m, code);
    return true;
}

// InstallShield setups register their uninstaller under "InstallShield_" + their product code; the 64-bit
// setups in the 64-bit view.
bool installShield(Machine& m, const char* productCode, ProductBits bits = ProductBits::ThirtyTwo) {
    return runQuotedCommand(m, std::string("InstallShield_") + productCode, "UninstallString", bits);
}

// Read top to bottom; the first entry with the row's name (compared without regard to case) decides. A name
// that is not here cannot be removed.
// clang-format off
const RemovalRule RemovalRules[] = {
    {"MS VC++ 2005 SP1 Redist",                      [](Machine& m) { return removeWithWindowsInstaller(m, codes::VcRedist2005); }},
    {"MS VC++ 2008 SP1 Redist",                      [](Machine& m) { return removeWithWindowsInstaller(m, codes::VcRedist2008); }},
    {"MS VC++ 2010 SP1 Redist",                      [](Machine& m) { return removeWithWindowsInstaller(m, codes::VcRedist2010); }},
    {"Microsoft .Net 2.0.50727.42 Redist",           nullptr},
    {"Windows Installer 3.1",                        nullptr},
    {"Python 2.6.6",                                 [](Machine& m) { return removeWithMsiexec(m, codes::Python266); }, removeEveryPython26},
    {"pywin32-218.win32-py2.6",                      [](Machine& m) { return runWithAutoConfirm(m, uninstallkeys::Pywin32); }},
    {"pyserial-py3k-2.5.win32",                      [](Machine& m) { return runWithAutoConfirm(m, uninstallkeys::Pyserial); }},
    {"scipy-0.14.0b1-python2.6",                     [](Machine& m) { return runWithAutoConfirm(m, uninstallkeys::Scipy); }},
    {"numpy-1.8.1-python2.6",                        [](Machine& m) { return runWithAutoConfirm(m, uninstallkeys::Numpy); }},
    {"OpenCV_1.1pre1a",                              [](Machine& m) { return runAndWatch(m, uninstallkeys::OpenCV11, std::nullopt); }},
    {"ctypes-opencv-0.8.0-python26",                 [](Machine& m) { return runWithAutoConfirm(m, uninstallkeys::CtypesOpenCV); }},
    {"OpenCV 2.3.1",                                 [](Machine& m) { return packagedModule(m, "OpenCV 2.3.1"); }},
    {"OpenCV 2.4.6",                                 [](Machine& m) { return packagedModule(m, "OpenCV 2.4.6"); }},
    {"OpenCV 2.4.8",                                 [](Machine& m) { return packagedModule(m, "OpenCV 2.4.8"); }},
    {"Orvanta 9.3.0.524 IPP",                        [](Machine& m) { return packagedModule(m, "Orvanta 9.3.0.524 IPP"); }},
    {"Tavrel 1.0.0.1(3587)",                         [](Machine& m) { return packagedModule(m, "Tavrel 1.0.0.1(3587)"); }},
    {"Imaging Source - IC Capture 2.3",              [](Machine& m) { return runQuotedCommand(m, uninstallkeys::ICCapture, "QuietUninstallString"); }},
    {"MySQL-python-1.2.2.win32-py2.6",               [](Machine& m) { return runWithAutoConfirm(m, uninstallkeys::MySQLPython); }},
    {"Orvanta Watchdog - Vivantor 2.0.0.6",          [](Machine& m) { return removeWithWindowsInstaller(m, codes::Watchdog); }},
    {"Orvanta Version X 10.2.1.578 Runtime",         [](Machine& m) { return removeWithWindowsInstaller(m, products::Runtime.productCode); }},
    {"Orvanta Lumetra Version X 10.2.1.578 SDK",     [](Machine& m) { return removeWithWindowsInstaller(m, products::LumetraSdk.productCode); }},
    {"TightVNC 2.6.4 - 32 bit",                      [](Machine& m) { return removeTightVnc(m, codes::TightVnc32, ProductBits::ThirtyTwo); }},
    {"TightVNC 2.6.4 - 64 bit",                      [](Machine& m) { return removeTightVnc(m, codes::TightVnc64, ProductBits::SixtyFour); }},
    {"PerformanceTest 8.0",                          [](Machine& m) { return runQuotedCommand(m, uninstallkeys::PerformanceTest, "QuietUninstallString"); }},
    {"Orvanta TeamViewer 8 Host.exe",                [](Machine& m) { return runAndWatch(m, uninstallkeys::TeamViewer, removaltexts::TeamViewerUninstallTitle); }},
    {"Speccy v1.25",                                 [](Machine& m) {
        bool ran = runAndWatch(m, uninstallkeys::Speccy, removaltexts::SpeccyUninstallTitle);
        m.clock.sleep(SpeccySettleMs);
        return ran; }},
    {"ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", [](Machine& m) { return installShield(m, codes::UbCore); }},
    {"ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", [](Machine& m) { return installShield(m, codes::UbCore, ProductBits::SixtyFour); }},
    {"Fire-i Application 4.0 - 32 bit",              [](Machine& m) { return installShield(m, codes::FireI32); }},
    {"Fire-i Application 4.0 - 64 bit",              [](Machine& m) { return installShield(m, codes::FireI64, ProductBits::SixtyFour); }},
    {"ZCL for SONYGigECAM 2.12 - 32 bit",            [](Machine& m) { return removeWithWindowsInstaller(m, codes::SonyZcl); }},
    {"ZCL for SONYGigECAM 2.12 - 64 bit",            [](Machine& m) { return removeWithWindowsInstaller(m, codes::SonyZcl); }},
    {"Basler pylon SDK 2.3.5.2633 - 32 bit",         [](Machine& m) { return removeWithWindowsInstaller(m, codes::PylonSdk2_32); }},
    {"Basler pylon SDK 3.2.3.3215 - 32 bit",         [](Machine& m) { return removeWithWindowsInstaller(m, codes::PylonSdk3); }},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 32 bit",   [](Machine& m) { return removeWithWindowsInstaller(m, codes::Pylon4Runtime); }},
    {"Basler pylon SDK 2.3.5.2633 - 64 bit",         [](Machine& m) { return removeWithWindowsInstaller(m, codes::PylonSdk2_64); }},
    {"Basler pylon SDK 3.2.3.3215 - 64 bit",         [](Machine& m) { return removeWithWindowsInstaller(m, codes::PylonSdk3); }},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 64 bit",   [](Machine& m) { return removeWithWindowsInstaller(m, codes::Pylon4Runtime); }},
    {"DAQNavi PCI-1730 3.1.1.0",                     [](Machine& m) { return installShield(m, codes::DaqNaviPci1730); }},
    {"DAQNavi USB-4711A 3.1.3.0",                    [](Machine& m) { return installShield(m, codes::DaqNaviUsb4711A); }},
    {"DAQNavi USB-4750 3.1.1.0",                     [](Machine& m) { return installShield(m, codes::DaqNaviUsb4750); }},
    {"DAQNavi SDK and Drivers 3.1.4.0",              [](Machine& m) { return installShield(m, codes::DaqNaviSdk); }},
    {"Adam/Apax .NET Utility 2.04.04",               [](Machine& m) { return runShellCommand(m, uninstallkeys::AdamApax); }},
    {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", [](Machine& m) { return runSplitCommand(m, uninstallkeys::OpcClient); }},
    {"Orvanta Plexor 1.9.0.24",                      [](Machine& m) { return removeWithWindowsInstaller(m, products::PlexorClient.productCode); }},
};
// clang-format on

const RemovalRule* findRule(const std::string& displayName) {
    for (const RemovalRule& rule : RemovalRules)
        if (text::equalsIgnoringCase(rule.displayName, displayName)) return &rule;
    return nullptr;
}

}  // namespace

bool uninstallProduct(Machine& machine, const dvComponentInfo& record) {
    const RemovalRule* rule = findRule(record.displayName());
    return rule && rule->remove && rule->remove(machine);
}

int repairComponent(Machine& machine, const dvComponentInfo& record) {
    if (!hasProblemStatus(record)) return 1;
    const RemovalRule* rule = findRule(record.displayName());
    // A problem nothing here can remove is left to the component's own installer.
    if (!rule || !rule->remove) return 1;
    Remover repair = rule->repair ? rule->repair : rule->remove;
    return repair(machine) ? 1 : -1;
}

}  // namespace components

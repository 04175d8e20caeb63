// isInstalled over every display name of the catalogue, both forms of the 32/64-bit rows.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "DetectionMachine.h"
#include "components/Catalogue.h"
#include "components/InstalledTable.h"

using namespace components;
using namespace detectiontest;

namespace {

using SetUp = std::function<void(FakeMachine&)>;

SetUp product(const char* code) {
    return [=](FakeMachine& m) { registerProduct(m, code, "Some build", "0.1", MsiContext::UserUnmanaged); };
}
SetUp uninstallKey(const char* key) {
    return [=](FakeMachine& m) { m.registry.createKey(Hive::LocalMachine, detectiontest::uninstallKey(key)); };
}
SetUp uninstallValue(const char* key, const char* value) {
    return [=](FakeMachine& m) { setUninstallValue(m, key, value, "x", Hive::CurrentUser); };
}
SetUp runtimeFolder(const char* item) {
    return [=](FakeMachine& m) {
        registerRuntime(m);
        m.files.addFolder(RuntimeFolder + item);
    };
}

// The least that makes each name read as installed.
const std::map<std::string, SetUp>& presentMachines() {
    static const std::map<std::string, SetUp> table = {
        {"MS VC++ 2005 SP1 Redist", product("{7299052B-02A4-4627-81F2-1818DA5D550D}")},
        {"MS VC++ 2008 SP1 Redist", product(codes::VcRedist2008)},
        {"MS VC++ 2010 SP1 Redist", product(codes::VcRedist2010)},
        {"Microsoft .Net 2.0.50727.42 Redist",
         [](FakeMachine& m) { m.registry.setDword(Hive::LocalMachine, DotNet20SetupKey, "Install", 1); }},
        {"Windows Installer 3.1",
         [](FakeMachine& m) { m.msi.setFileVersion("C:\\windows\\system32\\msi.dll", "3.1.4000.2435"); }},
        {"Python 2.6.6",
         [](FakeMachine& m) { registerProduct(m, OtherPythonCode, "Python 2.6.5", "2.6.5150", MsiContext::UserManaged); }},
        {"pywin32-218.win32-py2.6", uninstallKey(keys::Pywin32)},
        {"pyserial-py3k-2.5.win32", uninstallKey(keys::Pyserial)},
        {"scipy-0.14.0b1-python2.6", uninstallKey(keys::Scipy)},
        {"numpy-1.8.1-python2.6", uninstallKey(keys::Numpy)},
        {"OpenCV_1.1pre1a", uninstallKey(keys::OpenCV11)},
        {"ctypes-opencv-0.8.0-python26", uninstallKey(keys::CtypesOpenCV)},
        {"OpenCV 2.3.1", runtimeFolder("OpenCV23")},
        {"OpenCV 2.4.6", runtimeFolder("OpenCV246")},
        {"OpenCV 2.4.8", runtimeFolder("OpenCV248")},
        {"Imaging Source - IC Capture 2.3", uninstallKey(keys::ICCapture)},
        {"MySQL-python-1.2.2.win32-py2.6", uninstallKey(keys::MySQLPython)},
        {"Orvanta 9.3.0.524 IPP", runtimeFolder("IPP924")},
        {"Orvanta Watchdog - Vivantor 2.0.0.6", product(codes::Watchdog)},
        {"Orvanta Version X 10.2.1.578 Runtime", product(products::Runtime.productCode)},
        {"Orvanta Lumetra Version X 10.2.1.578 SDK", product(products::LumetraSdk.productCode)},
        {"TightVNC 2.6.4 - 32 bit", product(codes::TightVnc32)},
        {"TightVNC 2.6.4 - 64 bit", product(codes::TightVnc64)},
        {"Tavrel 1.0.0.1(3587)",
         [](FakeMachine& m) {
             m.environment.variables["PROGRAMFILES"] = ProgramFiles;
             addTavrel(m, false);
         }},
        {"PerformanceTest 8.0", uninstallValue(keys::PerformanceTest, "QuietUninstallString")},
        {"Orvanta TeamViewer 8 Host.exe", uninstallValue(keys::TeamViewer, "UninstallString")},
        {"Speccy v1.25", uninstallKey(keys::Speccy)},
        {"ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", product(codes::UbCore)},
        {"ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", product(codes::UbCore)},
        {"Fire-i Application 4.0 - 32 bit", product(codes::FireI32)},
        {"Fire-i Application 4.0 - 64 bit", product(codes::FireI64)},
        {"ZCL for SONYGigECAM 2.12 - 32 bit", product(codes::SonyZcl)},
        {"ZCL for SONYGigECAM 2.12 - 64 bit", product(codes::SonyZcl)},
        {"Basler pylon SDK 2.3.5.2633 - 32 bit", product(codes::PylonSdk2_32)},
        {"Basler pylon SDK 2.3.5.2633 - 64 bit", product(codes::PylonSdk2_64)},
        {"Basler pylon SDK 3.2.3.3215 - 32 bit", product(codes::PylonSdk3)},
        {"Basler pylon SDK 3.2.3.3215 - 64 bit", product(codes::PylonSdk3)},
        {"Basler pylon 4 Runtime 4.0.1.3425 - 32 bit", product(codes::Pylon4Runtime)},
        {"Basler pylon 4 Runtime 4.0.1.3425 - 64 bit", product(codes::Pylon4Runtime)},
        {"DAQNavi PCI-1730 3.1.1.0", product(codes::DaqNaviPci1730)},
        {"DAQNavi USB-4711A 3.1.3.0", product(codes::DaqNaviUsb4711A)},
        {"DAQNavi USB-4750 3.1.1.0", product(codes::DaqNaviUsb4750)},
        {"DAQNavi SDK and Drivers 3.1.4.0", product(codes::DaqNaviSdk)},
        {"Adam/Apax .NET Utility 2.04.04", uninstallValue(keys::AdamApax, "UninstallString")},
        {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", uninstallKey(keys::OpcClient)},
        {"Orvanta Plexor 1.9.0.24", product(products::PlexorClient.productCode)},
    };
    return table;
}

std::set<std::string> allCatalogueNames() {
    std::set<std::string> names;
    for (CataloguePage page : AllCataloguePages)
        for (bool is64Bit : {false, true})
            for (const CatalogueRow& row : catalogueRows(page, is64Bit)) names.insert(row.displayName);
    return names;
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

TEST(IsInstalled, EveryCatalogueNameIsAbsentOnAnEmptyMachineAndPresentOnceItsProbeHolds) {
    const auto& present = presentMachines();
    for (const std::string& name : allCatalogueNames()) {
        FakeMachine empty;
        EXPECT_FALSE(isInstalled(empty, name)) << name;
        auto it = present.find(name);
        if (it == present.end()) {
            // Only the camera driver archive has no probe: it reads "Not Installed" whatever the machine holds.
            EXPECT_EQ(name, "Imaging Source Camera Driver");
            EXPECT_FALSE(hasInstalledProbe(name));
            continue;
        }
        FakeMachine m;
        it->second(m);
        EXPECT_TRUE(isInstalled(m, name)) << name;
        EXPECT_TRUE(isInstalled(m, upper(name))) << "names compare without case: " << name;
    }
}

TEST(IsInstalled, EachProbeLooksOnlyAtItsOwnComponent) {
    // A machine holding one component shows no other row as installed, apart from rows that share a probe.
    const std::map<std::string, std::set<std::string>> sharing = {
        {"ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", {"ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit"}},
        {"ZCL for SONYGigECAM 2.12 - 32 bit", {"ZCL for SONYGigECAM 2.12 - 64 bit"}},
        {"Basler pylon SDK 3.2.3.3215 - 32 bit", {"Basler pylon SDK 3.2.3.3215 - 64 bit"}},
        {"Basler pylon 4 Runtime 4.0.1.3425 - 32 bit", {"Basler pylon 4 Runtime 4.0.1.3425 - 64 bit"}},
    };
    auto shares = [&](const std::string& a, const std::string& b) {
        for (const auto& [x, ys] : sharing)
            if ((x == a && ys.count(b)) || (x == b && ys.count(a))) return true;
        return false;
    };
    // The Runtime-based modules need the Runtime registered, so their set-ups show the Runtime row too.
    const std::set<std::string> sideEffects = {"Orvanta Version X 10.2.1.578 Runtime"};
    for (const auto& [name, setUp] : presentMachines()) {
        FakeMachine m;
        setUp(m);
        for (const auto& [other, unused] : presentMachines()) {
            if (other == name || shares(name, other) || sideEffects.count(other)) continue;
            EXPECT_FALSE(isInstalled(m, other)) << other << " on a machine holding only " << name;
        }
    }
}

TEST(IsInstalled, NamesWithoutAProbeAreNeverInstalled) {
    FakeMachine m;
    installEverything(m);
    for (const char* name : {"Imaging Source Camera Driver", "578help.zip", "New Version Installer", "", "Python 2.6",
                             "Python 2.6.6 ", "OpenCV 2.4"})
        EXPECT_FALSE(isInstalled(m, name)) << name;
}

TEST(IsInstalled, RuntimeUnderAnotherNameHidesEveryRuntimeModule) {
    FakeMachine m;
    installEverything(m);
    m.msi.unregisterProduct(products::Runtime.productCode);
    registerProduct(m, products::Runtime.productCode, "Orvanta Version X 10.2.1.577 Runtime", "10.2.577");
    for (const char* name : {"Orvanta 9.3.0.524 IPP", "OpenCV 2.3.1", "OpenCV 2.4.6", "OpenCV 2.4.8"})
        EXPECT_FALSE(isInstalled(m, name)) << name;
    EXPECT_TRUE(isInstalled(m, "Orvanta Version X 10.2.1.578 Runtime"));
}

TEST(IsInstalled, AnOlderOpenCV24FolderAloneCountsAsOpenCV246) {
    FakeMachine m;
    registerRuntime(m);
    m.files.addFolder(RuntimeFolder + "OpenCV242");
    EXPECT_TRUE(isInstalled(m, "OpenCV 2.4.6"));
    EXPECT_FALSE(isInstalled(m, "OpenCV 2.4.8"));
}

// The 64-bit setup's key is in the machine's 64-bit view: it counts for the 64-bit form only.
TEST(IsInstalled, TightVncKeyInThe64BitViewCountsForThe64BitForm) {
    FakeMachine m;
    setUninstallValue(m, keys::TightVnc, "DisplayVersion", "2.6.4.0", Hive::LocalMachine64);
    EXPECT_FALSE(isInstalled(m, "TightVNC 2.6.4 - 32 bit"));
    EXPECT_TRUE(isInstalled(m, "TightVNC 2.6.4 - 64 bit"));
}

TEST(IsInstalled, TightVncOldSetupKeyCountsForBothForms) {
    FakeMachine m;
    setUninstallValue(m, keys::TightVnc, "DisplayVersion", "2.5.2.0", Hive::CurrentUser);
    EXPECT_TRUE(isInstalled(m, "TightVNC 2.6.4 - 32 bit"));
    EXPECT_TRUE(isInstalled(m, "TightVNC 2.6.4 - 64 bit"));
}

// The status rules: on a machine where everything is installed as the catalogue wants it, each case breaks
// one or more things and checks the status the row then shows. The cases run through each rule's conditions
// in order, including those that decide which of two problems is reported.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "DetectionMachine.h"
#include "app/FileUtils.h"
#include "components/Catalogue.h"
#include "components/InstalledTable.h"
#include "components/StatusTexts.h"

using namespace components;
using namespace detectiontest;

namespace {

using Change = std::function<void(FakeMachine&)>;

struct StatusCase {
    const char* displayName;
    const char* what;
    Change change;
    const char* status;
};

void unregisterPython(FakeMachine& m) { m.msi.unregisterProduct(codes::Python266); }
Change uninstallText(const char* key, const char* value, const char* text, Hive hive = Hive::LocalMachine) {
    return [=](FakeMachine& m) { setUninstallValue(m, key, value, text, hive); };
}
Change deleteUninstallKey(const char* key) {
    return [=](FakeMachine& m) { m.registry.deleteKeyTree(Hive::LocalMachine, uninstallKey(key)); };
}
Change reRegister(const std::string& code, const std::string& name, const std::string& version,
                  MsiContext context = MsiContext::Machine) {
    return [=](FakeMachine& m) {
        m.msi.unregisterProduct(code);
        registerProduct(m, code, name, version, context);
    };
}
Change removeRuntimeFile(const std::string& relative) {
    return [=](FakeMachine& m) { ASSERT_TRUE(m.files.deleteFile(RuntimeFolder + relative)) << relative; };
}
Change both(Change a, Change b) {
    return [=](FakeMachine& m) {
        a(m);
        b(m);
    };
}
const Change Nothing = [](FakeMachine&) {};

using namespace components::status;

// clang-format off
const StatusCase Cases[] = {
    // 1: Python 2.6.6
    {"Python 2.6.6", "the catalogue's Python alone", Nothing, Installed},
    {"Python 2.6.6", "registered per user only", reRegister(codes::Python266, "Python 2.6.6", "2.6.6150", MsiContext::UserUnmanaged), Installed},
    {"Python 2.6.6", "a second Python 2.6 under another code",
     [](FakeMachine& m) { registerProduct(m, OtherPythonCode, "Python 2.6.5", "2.6.5150"); }, MultipleVersions},
    {"Python 2.6.6", "two Python 2.6 products, neither the catalogue's",
     both(unregisterPython, [](FakeMachine& m) {
         registerProduct(m, OtherPythonCode, "Python 2.6.5", "2.6.5150");
         registerProduct(m, "{0A2C5854-557E-48C8-835A-3B9F074BDCAB}", "Python 2.6.4", "2.6.4150", MsiContext::UserManaged); }),
     MultipleVersions},
    {"Python 2.6.6", "one Python 2.6 under another code",
     both(unregisterPython, [](FakeMachine& m) { registerProduct(m, OtherPythonCode, "Python 2.6.5", "2.6.5150"); }), VersionMismatch},
    {"Python 2.6.6", "the catalogue's code carrying another 2.6 release",
     reRegister(codes::Python266, "Python 2.6.5", "2.6.5150"), Installed},
    {"Python 2.6.6", "a product with \"Python 2.6\" later in its name is not counted",
     [](FakeMachine& m) { registerProduct(m, OtherPythonCode, "Extras for Python 2.6", "1.0"); }, Installed},
    {"Python 2.6.6", "the prefix is case-sensitive",
     [](FakeMachine& m) { registerProduct(m, OtherPythonCode, "python 2.6.5", "2.6.5150"); }, Installed},
    {"Python 2.6.6", "no Python 2.6 product", unregisterPython, NotInstalled},
    {"Python 2.6.6", "only a product with \"Python 2.6\" later in its name",
     both(unregisterPython, [](FakeMachine& m) { registerProduct(m, OtherPythonCode, "Extras for Python 2.6", "1.0"); }), NotInstalled},

    // 2-5: the Python packages
    {"pywin32-218.win32-py2.6", "as installed", Nothing, Installed},
    {"pywin32-218.win32-py2.6", "Python gone", unregisterPython, ReinstallNeeded},
    {"pywin32-218.win32-py2.6", "Python gone and another build", both(unregisterPython, uninstallText(keys::Pywin32, "DisplayName", "Python 2.6 pywin32-217")), ReinstallNeeded},
    {"pywin32-218.win32-py2.6", "another build", uninstallText(keys::Pywin32, "DisplayName", "Python 2.6 pywin32-217"), VersionMismatch},
    {"pywin32-218.win32-py2.6", "its name in other letter case", uninstallText(keys::Pywin32, "DisplayName", "python 2.6 pywin32-218"), VersionMismatch},
    {"pywin32-218.win32-py2.6", "no DisplayName", [](FakeMachine& m) { m.registry.deleteValue(Hive::LocalMachine, uninstallKey(keys::Pywin32), "DisplayName"); }, VersionMismatch},
    {"pywin32-218.win32-py2.6", "wrong under HKLM, right under HKCU",
     both(uninstallText(keys::Pywin32, "DisplayName", "Python 2.6 pywin32-217"), uninstallText(keys::Pywin32, "DisplayName", "Python 2.6 pywin32-218", Hive::CurrentUser)), Installed},
    {"pywin32-218.win32-py2.6", "installed for the user only",
     both(deleteUninstallKey(keys::Pywin32), uninstallText(keys::Pywin32, "DisplayName", "Python 2.6 pywin32-218", Hive::CurrentUser)), Installed},
    {"pywin32-218.win32-py2.6", "key gone", deleteUninstallKey(keys::Pywin32), NotInstalled},
    {"pyserial-py3k-2.5.win32", "as installed", Nothing, Installed},
    {"pyserial-py3k-2.5.win32", "Python gone", unregisterPython, ReinstallNeeded},
    {"pyserial-py3k-2.5.win32", "another build", uninstallText(keys::Pyserial, "DisplayName", "Python 2.6 pyserial-2.5"), VersionMismatch},
    {"scipy-0.14.0b1-python2.6", "as installed", Nothing, Installed},
    {"scipy-0.14.0b1-python2.6", "Python gone", unregisterPython, ReinstallNeeded},
    {"scipy-0.14.0b1-python2.6", "another build", uninstallText(keys::Scipy, "DisplayName", "Python 2.6 scipy-0.13.2"), VersionMismatch},
    {"numpy-1.8.1-python2.6", "as installed", Nothing, Installed},
    {"numpy-1.8.1-python2.6", "Python gone", unregisterPython, ReinstallNeeded},
    {"numpy-1.8.1-python2.6", "Python gone, another numpy", both(unregisterPython, uninstallText(keys::Numpy, "DisplayName", "Python 2.6 numpy-1.8.0")), ReinstallNeeded},
    {"numpy-1.8.1-python2.6", "another build", uninstallText(keys::Numpy, "DisplayName", "Python 2.6 numpy-1.8.0"), VersionMismatch},

    // 6: ctypes-opencv
    {"ctypes-opencv-0.8.0-python26", "as installed", Nothing, Installed},
    {"ctypes-opencv-0.8.0-python26", "Python gone", unregisterPython, ReinstallNeeded},
    {"ctypes-opencv-0.8.0-python26", "OpenCV 1.1 gone", deleteUninstallKey(keys::OpenCV11), ReinstallNeeded},
    {"ctypes-opencv-0.8.0-python26", "OpenCV 1.1 only under HKCU",
     both(deleteUninstallKey(keys::OpenCV11), uninstallText(keys::OpenCV11, "DisplayName", "OpenCV", Hive::CurrentUser)), Installed},

    // 7: OpenCV 2.3.1
    {"OpenCV 2.3.1", "complete", Nothing, Installed},
    {"OpenCV 2.3.1", "scipy is not needed", deleteUninstallKey(keys::Scipy), Installed},
    {"OpenCV 2.3.1", "a module file missing", removeRuntimeFile("OpenCV23\\opencv_video231d.dll"), IncompleteModule},
    {"OpenCV 2.3.1", "the FFmpeg wrapper missing", removeRuntimeFile("OpenCV23\\opencv_ffmpeg.dll"), IncompleteModule},
    {"OpenCV 2.3.1", "another numpy", uninstallText(keys::Numpy, "DisplayName", "Python 2.6 numpy-1.8.0"), IncompleteModule},
    {"OpenCV 2.3.1", "Python gone", unregisterPython, IncompleteModule},
    {"OpenCV 2.3.1", "pywin32 gone", deleteUninstallKey(keys::Pywin32), IncompleteModule},
    {"OpenCV 2.3.1", "another pyserial", uninstallText(keys::Pyserial, "DisplayName", "x"), IncompleteModule},

    // 8: OpenCV 2.4.6
    {"OpenCV 2.4.6", "complete", Nothing, Installed},
    {"OpenCV 2.4.6", "scipy is not needed", deleteUninstallKey(keys::Scipy), Installed},
    {"OpenCV 2.4.6", "an OpenCV 2.4.3 folder beside a complete 2.4.6",
     [](FakeMachine& m) { m.files.addFolder(RuntimeFolder + "OpenCV243"); }, VersionMismatch},
    {"OpenCV 2.4.6", "an older folder wins over missing files",
     both([](FakeMachine& m) { m.files.addFolder(RuntimeFolder + "OpenCV245"); }, removeRuntimeFile("OpenCV246\\opencv_ts246.dll")), VersionMismatch},
    {"OpenCV 2.4.6", "only an OpenCV 2.4.2 folder",
     [](FakeMachine& m) {
         deleteFolderTree(m, RuntimeFolder + "OpenCV246", RuntimeFolder + "OpenCV246");
         ASSERT_FALSE(m.files.exists(RuntimeFolder + "OpenCV246"));
         m.files.addFolder(RuntimeFolder + "OpenCV242"); }, VersionMismatch},
    {"OpenCV 2.4.6", "the test module missing", removeRuntimeFile("OpenCV246\\opencv_ts246.dll"), IncompleteModule},
    {"OpenCV 2.4.6", "another numpy", uninstallText(keys::Numpy, "DisplayName", "Python 2.6 numpy-1.7.0"), IncompleteModule},
    {"OpenCV 2.4.6", "Python gone", unregisterPython, IncompleteModule},
    {"OpenCV 2.4.6", "another pywin32", uninstallText(keys::Pywin32, "DisplayName", "x"), IncompleteModule},
    {"OpenCV 2.4.6", "pyserial gone", deleteUninstallKey(keys::Pyserial), IncompleteModule},

    // 9: OpenCV 2.4.8
    {"OpenCV 2.4.8", "complete", Nothing, Installed},
    {"OpenCV 2.4.8", "an older 2.4 folder does not matter", [](FakeMachine& m) { m.files.addFolder(RuntimeFolder + "OpenCV243"); }, Installed},
    {"OpenCV 2.4.8", "a module file missing", removeRuntimeFile("OpenCV248\\opencv_videostab248.dll"), IncompleteModule},
    {"OpenCV 2.4.8", "scipy gone", deleteUninstallKey(keys::Scipy), IncompleteModule},
    {"OpenCV 2.4.8", "another scipy", uninstallText(keys::Scipy, "DisplayName", "Python 2.6 scipy-0.13.2"), IncompleteModule},
    {"OpenCV 2.4.8", "another numpy", uninstallText(keys::Numpy, "DisplayName", "x"), IncompleteModule},
    {"OpenCV 2.4.8", "Python gone", unregisterPython, IncompleteModule},
    {"OpenCV 2.4.8", "pywin32 gone", deleteUninstallKey(keys::Pywin32), IncompleteModule},
    {"OpenCV 2.4.8", "pyserial gone", deleteUninstallKey(keys::Pyserial), IncompleteModule},

    // 10, 11
    {"Imaging Source - IC Capture 2.3", "as installed", Nothing, Installed},
    {"Imaging Source - IC Capture 2.3", "another release", uninstallText(keys::ICCapture, "DisplayName", "IC Capture 2.2"), VersionMismatch},
    {"MySQL-python-1.2.2.win32-py2.6", "as installed", Nothing, Installed},
    {"MySQL-python-1.2.2.win32-py2.6", "Python gone", unregisterPython, ReinstallNeeded},
    {"MySQL-python-1.2.2.win32-py2.6", "another build", uninstallText(keys::MySQLPython, "DisplayName", "Python 2.6 MySQL-python-1.2.3"), VersionMismatch},

    // 12: IPP
    {"Orvanta 9.3.0.524 IPP", "complete", Nothing, Installed},
    {"Orvanta 9.3.0.524 IPP", "a message catalogue missing", removeRuntimeFile("IPP924\\1041\\ippmsg.dll"), IncompleteModule},
    {"Orvanta 9.3.0.524 IPP", "a processor build missing", removeRuntimeFile("IPP924\\ippvmw7-7.0.dll"), IncompleteModule},

    // 13-15: Orvanta products by installed name
    {"Orvanta Version X 10.2.1.578 Runtime", "as installed", Nothing, Installed},
    {"Orvanta Version X 10.2.1.578 Runtime", "its name in other letter case",
     reRegister(products::Runtime.productCode, "orvanta version x 10.2.1.578 runtime", "10.2.578"), Installed},
    {"Orvanta Version X 10.2.1.578 Runtime", "another build under the same code",
     reRegister(products::Runtime.productCode, "Orvanta Version X 10.2.1.577 Runtime", "10.2.577"), VersionMismatch},
    {"Orvanta Version X 10.2.1.578 Runtime", "another build, per user",
     reRegister(products::Runtime.productCode, "Orvanta Version X 10.2.1.577 Runtime", "10.2.577", MsiContext::UserManaged), VersionMismatch},
    {"Orvanta Lumetra Version X 10.2.1.578 SDK", "as installed", Nothing, Installed},
    {"Orvanta Lumetra Version X 10.2.1.578 SDK", "another build",
     reRegister(products::LumetraSdk.productCode, "Orvanta Lumetra Version X 10.2.1.560 SDK", "10.2.560"), VersionMismatch},
    {"Orvanta Watchdog - Vivantor 2.0.0.6", "as installed", Nothing, Installed},
    {"Orvanta Watchdog - Vivantor 2.0.0.6", "another build",
     reRegister(codes::Watchdog, "Orvanta Watchdog - Vivantor 2.0.0.5", "2.0.5"), VersionMismatch},

    // 16, 17: TightVNC
    {"TightVNC 2.6.4 - 32 bit", "package 2.6.4.0", Nothing, Installed},
    {"TightVNC 2.6.4 - 32 bit", "package 2.5.2.0", reRegister(codes::TightVnc32, "TightVNC", "2.5.2.0"), VersionMismatch},
    {"TightVNC 2.6.4 - 32 bit", "old setup key says 2.5.2, package says 2.6.4", uninstallText(keys::TightVnc, "DisplayVersion", "2.5.2.0"), VersionMismatch},
    {"TightVNC 2.6.4 - 32 bit", "old setup key 2.6.4.0 only",
     both([](FakeMachine& m) { m.msi.unregisterProduct(codes::TightVnc32); }, uninstallText(keys::TightVnc, "DisplayVersion", "2.6.4.0", Hive::CurrentUser)), Installed},
    {"TightVNC 2.6.4 - 32 bit", "old setup key without a version",
     both([](FakeMachine& m) { m.msi.unregisterProduct(codes::TightVnc32); }, uninstallText(keys::TightVnc, "DisplayName", "TightVNC")), VersionMismatch},
    {"TightVNC 2.6.4 - 64 bit", "package 2.6.4.0", Nothing, Installed},
    {"TightVNC 2.6.4 - 64 bit", "package 2.6.3.0", reRegister(codes::TightVnc64, "TightVNC", "2.6.3.0"), VersionMismatch},
    {"TightVNC 2.6.4 - 64 bit", "its setup's key in the 64-bit view says 2.5.2", uninstallText(keys::TightVnc, "DisplayVersion", "2.5.2.0", Hive::LocalMachine64), VersionMismatch},
    {"TightVNC 2.6.4 - 32 bit", "a key in the 64-bit view is not its own", uninstallText(keys::TightVnc, "DisplayVersion", "2.5.2.0", Hive::LocalMachine64), Installed},
    {"TightVNC 2.6.4 - 64 bit", "only the 32-bit package",
     both([](FakeMachine& m) { m.msi.unregisterProduct(codes::TightVnc64); }, uninstallText(keys::TightVnc, "DisplayName", "TightVNC")), VersionMismatch},

    // 18: Tavrel
    {"Tavrel 1.0.0.1(3587)", "with its version file", Nothing, Installed},
    {"Tavrel 1.0.0.1(3587)", "without a version file", [](FakeMachine& m) { m.files.deleteFile(TavrelFolder + "\\version.txt"); }, Installed},
    {"Tavrel 1.0.0.1(3587)", "another version",
     [](FakeMachine& m) { ASSERT_TRUE(m.files.deleteFile(TavrelFolder + "\\version.txt")); m.files.addFile(TavrelFolder + "\\version.txt", "Tavrel 1.0.0.0(3500)"); }, VersionMismatch},

    // 19-21: version values of Uninstall keys
    {"PerformanceTest 8.0", "as installed", Nothing, Installed},
    {"PerformanceTest 8.0", "another build", uninstallText(keys::PerformanceTest, "DisplayVersion", "8.0.1020.0"), VersionMismatch},
    {"Orvanta TeamViewer 8 Host.exe", "as installed", Nothing, Installed},
    {"Orvanta TeamViewer 8 Host.exe", "another build", uninstallText(keys::TeamViewer, "DisplayVersion", "8.0.17396"), VersionMismatch},
    {"Speccy v1.25", "as installed", Nothing, Installed},
    {"Speccy v1.25", "another version", uninstallText(keys::Speccy, "DisplayVersion", "1.26"), VersionMismatch},
    {"Speccy v1.25", "no version", [](FakeMachine& m) { m.registry.deleteValue(Hive::LocalMachine, uninstallKey(keys::Speccy), "DisplayVersion"); }, VersionMismatch},

    // 22-30: package versions
    {"ZCL for SONYGigECAM 2.12 - 32 bit", "2.12", Nothing, Installed},
    {"ZCL for SONYGigECAM 2.12 - 64 bit", "2.12", Nothing, Installed},
    {"ZCL for SONYGigECAM 2.12 - 32 bit", "2.11", reRegister(codes::SonyZcl, "ZCL", "2.11"), VersionMismatch},
    {"ZCL for SONYGigECAM 2.12 - 64 bit", "2.11", reRegister(codes::SonyZcl, "ZCL", "2.11"), VersionMismatch},
    {"Basler pylon SDK 2.3.5.2633 - 32 bit", "2.3.2633", Nothing, Installed},
    {"Basler pylon SDK 2.3.5.2633 - 32 bit", "2.3.2600", reRegister(codes::PylonSdk2_32, "pylon", "2.3.2600"), VersionMismatch},
    {"Basler pylon SDK 3.2.3.3215 - 32 bit", "3.2.3215", Nothing, Installed},
    {"Basler pylon SDK 3.2.3.3215 - 64 bit", "3.2.3215", Nothing, Installed},
    {"Basler pylon SDK 3.2.3.3215 - 32 bit", "3.2.3.3215", reRegister(codes::PylonSdk3, "pylon", "3.2.3.3215"), VersionMismatch},
    {"Basler pylon SDK 3.2.3.3215 - 64 bit", "3.1.3215", reRegister(codes::PylonSdk3, "pylon", "3.1.3215"), VersionMismatch},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 32 bit", "4.0.3425", Nothing, Installed},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 64 bit", "4.0.3425", Nothing, Installed},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 32 bit", "4.1.3425", reRegister(codes::Pylon4Runtime, "pylon", "4.1.3425"), VersionMismatch},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 64 bit", "4.1.3425", reRegister(codes::Pylon4Runtime, "pylon", "4.1.3425"), VersionMismatch},
    {"Basler pylon SDK 2.3.5.2633 - 64 bit", "2.3.2633", Nothing, Installed},
    {"Basler pylon SDK 2.3.5.2633 - 64 bit", "2.3.2634", reRegister(codes::PylonSdk2_64, "pylon", "2.3.2634"), VersionMismatch},
    {"DAQNavi PCI-1730 3.1.1.0", "as installed", Nothing, Installed},
    {"DAQNavi PCI-1730 3.1.1.0", "3.1.0.0", reRegister(codes::DaqNaviPci1730, "DAQNavi", "3.1.0.0"), VersionMismatch},
    {"DAQNavi USB-4711A 3.1.3.0", "as installed", Nothing, Installed},
    {"DAQNavi USB-4711A 3.1.3.0", "3.1.1.0", reRegister(codes::DaqNaviUsb4711A, "DAQNavi", "3.1.1.0"), VersionMismatch},
    {"DAQNavi USB-4750 3.1.1.0", "as installed", Nothing, Installed},
    {"DAQNavi USB-4750 3.1.1.0", "3.1.1", reRegister(codes::DaqNaviUsb4750, "DAQNavi", "3.1.1"), VersionMismatch},
    {"DAQNavi SDK and Drivers 3.1.4.0", "as installed", Nothing, Installed},
    {"DAQNavi SDK and Drivers 3.1.4.0", "3.1.4.1", reRegister(codes::DaqNaviSdk, "DAQNavi", "3.1.4.1"), VersionMismatch},

    // 31, 32
    {"Adam/Apax .NET Utility 2.04.04", "as installed", Nothing, Installed},
    {"Adam/Apax .NET Utility 2.04.04", "another version", uninstallText(keys::AdamApax, "DisplayVersion", "2.04.03"), VersionMismatch},
    {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", "as installed", Nothing, Installed},
    {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", "another build", uninstallText(keys::OpcClient, "DisplayName", "SIMATIC NET OPC CLIENT V6.2 Build 3100"), VersionMismatch},

    // 33: Plexor
    {"Orvanta Plexor 1.9.0.24", "as installed", Nothing, Installed},
    {"Orvanta Plexor 1.9.0.24", "OPC Scout gone", deleteUninstallKey(keys::OpcClient), ReinstallNeeded},
    {"Orvanta Plexor 1.9.0.24", "OPC Scout gone and another build",
     both(deleteUninstallKey(keys::OpcClient), reRegister(products::PlexorClient.productCode, "Orvanta Plexor 1.9.0.20", "1.9.20")), ReinstallNeeded},
    {"Orvanta Plexor 1.9.0.24", "another OPC Scout build is still OPC Scout", uninstallText(keys::OpcClient, "DisplayName", "SIMATIC NET OPC CLIENT V6.1"), Installed},
    {"Orvanta Plexor 1.9.0.24", "another build", reRegister(products::PlexorClient.productCode, "Orvanta Plexor 1.9.0.20", "1.9.20"), VersionMismatch},

    // Names without a rule
    {"MS VC++ 2005 SP1 Redist", "installed", Nothing, Installed},
    {"Windows Installer 3.1", "version 4.5", [](FakeMachine& m) { m.msi.setFileVersion("C:\\windows\\system32\\Msi.dll", "4.5.6001.22159"); }, Installed},
    {"Windows Installer 3.1", "version 2.0", [](FakeMachine& m) { m.msi.setFileVersion("C:\\windows\\system32\\Msi.dll", "2.0.2600.2"); }, NotInstalled},
    {"OpenCV_1.1pre1a", "installed", Nothing, Installed},
    {"Fire-i Application 4.0 - 64 bit", "any build", reRegister(codes::FireI64, "Fire-i 3.0", "3.0"), Installed},
    {"Imaging Source Camera Driver", "no probe", Nothing, NotInstalled},
};
// clang-format on

}  // namespace

TEST(StatusRules, EachRuleReportsTheFirstProblemItFinds) {
    for (const StatusCase& c : Cases) {
        FakeMachine m;
        installEverything(m);
        c.change(m);
        RowStatus row = refreshOne(m, c.displayName);
        EXPECT_EQ(row.text, c.status) << c.displayName << ": " << c.what;
        EXPECT_EQ(row.refreshResult, row.text == Installed ? 1 : -1) << c.displayName << ": " << c.what;
    }
}

TEST(StatusRules, EveryCatalogueRowIsInstalledOnTheWellKeptMachine) {
    FakeMachine m;
    installEverything(m);
    for (CataloguePage page : AllCataloguePages)
        for (bool is64Bit : {false, true})
            for (const CatalogueRow& row : catalogueRows(page, is64Bit)) {
                const bool hasProbe = std::string(row.displayName) != "Imaging Source Camera Driver";
                EXPECT_EQ(refreshOne(m, row.displayName).text, hasProbe ? Installed : NotInstalled) << row.displayName;
            }
}

TEST(StatusRules, RuntimeUnderAnotherNameMakesEveryRuntimeModuleNotInstalled) {
    FakeMachine m;
    installEverything(m);
    m.msi.unregisterProduct(products::Runtime.productCode);
    registerRuntime(m, "Orvanta Version X 10.2.1.577 Runtime");
    for (const char* name : {"Orvanta 9.3.0.524 IPP", "OpenCV 2.3.1", "OpenCV 2.4.6", "OpenCV 2.4.8"})
        EXPECT_EQ(refreshOne(m, name).text, NotInstalled) << name;
    EXPECT_EQ(refreshOne(m, "Orvanta Version X 10.2.1.578 Runtime").text, VersionMismatch);
}

TEST(StatusRules, RuleNamesCompareWithoutCase) {
    FakeMachine m;
    installEverything(m);
    registerProduct(m, OtherPythonCode, "Python 2.6.5", "2.6.5150");
    EXPECT_EQ(refreshOne(m, "PYTHON 2.6.6").text, MultipleVersions);
    setUninstallValue(m, keys::Speccy, "DisplayVersion", "1.20");
    EXPECT_EQ(refreshOne(m, "speccy V1.25").text, VersionMismatch);
}

TEST(StatusRules, EvaluateStatusAnswersWhetherItWroteInstalled) {
    FakeMachine m;
    installEverything(m);
    std::string name, statusText = "old", action = "Pending";
    dvComponentInfo speccy("Speccy v1.25", "", "", "", "", false, false, &name, &statusText, &action, "");
    action = "Installing...";
    EXPECT_TRUE(evaluateStatus(m, speccy));
    EXPECT_EQ(statusText, Installed);
    setUninstallValue(m, keys::Speccy, "DisplayVersion", "1.24");
    EXPECT_FALSE(evaluateStatus(m, speccy));
    EXPECT_EQ(statusText, VersionMismatch);
    EXPECT_EQ(action, "Installing...") << "the action label is not the status rules' business";
}

TEST(RefreshStatuses, EvaluatesEveryRowOfTheRangeAndReportsWhetherAllAreInstalled) {
    FakeMachine m;
    installEverything(m);
    m.registry.deleteKeyTree(Hive::LocalMachine, uninstallKey(keys::Pywin32));
    setUninstallValue(m, keys::Numpy, "DisplayName", "Python 2.6 numpy-1.7.0");

    const char* names[] = {"Python 2.6.6", "pywin32-218.win32-py2.6", "pyserial-py3k-2.5.win32",
                           "numpy-1.8.1-python2.6", "Speccy v1.25"};
    std::string nameLabels[5], statusLabels[5], actionLabels[5];
    std::vector<dvComponentInfo> rows;
    for (int i = 0; i < 5; ++i)
        rows.emplace_back(names[i], "", "", "", "", false, false, &nameLabels[i], &statusLabels[i], &actionLabels[i], "");
    for (int i = 0; i < 5; ++i) {
        statusLabels[i] = "stale";
        actionLabels[i] = "Ok";
    }
    dvInstallManagerBase manager;
    manager.setComponents(rows);

    EXPECT_EQ(refreshStatuses(m, manager, 0, 4), -1);
    EXPECT_EQ(statusLabels[0], Installed);
    EXPECT_EQ(statusLabels[1], NotInstalled);
    EXPECT_EQ(statusLabels[2], Installed) << "rows after a \"Not Installed\" one are still evaluated";
    EXPECT_EQ(statusLabels[3], VersionMismatch);
    EXPECT_EQ(statusLabels[4], Installed);
    for (const std::string& action : actionLabels) EXPECT_EQ(action, "Ok");

    // A range that holds only good rows.
    statusLabels[2] = "stale";
    EXPECT_EQ(refreshStatuses(m, manager, 2, 2), 1);
    EXPECT_EQ(statusLabels[2], Installed);
    EXPECT_EQ(refreshStatuses(m, manager, 4, 4), 1);

    // An empty range changes nothing.
    for (std::string& s : statusLabels) s = "untouched";
    EXPECT_EQ(refreshStatuses(m, manager, 3, 2), 1);
    EXPECT_EQ(refreshStatuses(m, manager, 0, -1), 1);
    for (const std::string& s : statusLabels) EXPECT_EQ(s, "untouched");
}

TEST(RefreshStatuses, RowsBeyondTheListArePassedOver) {
    FakeMachine m;
    installEverything(m);
    std::string name, statusText, action;
    dvInstallManagerBase manager;
    manager.setComponents({dvComponentInfo("Speccy v1.25", "", "", "", "", false, false, &name, &statusText, &action, "")});
    EXPECT_EQ(refreshStatuses(m, manager, 0, 5), 1);
    EXPECT_EQ(statusText, Installed);
    dvInstallManagerBase empty;
    EXPECT_EQ(refreshStatuses(m, empty, 0, 0), 1);
}

TEST(HasProblemStatus, OnlyTheFourProblemTextsCount) {
    struct Case {
        const char* text;
        bool problem;
    } cases[] = {
        {"", false},
        {"Not Installed", false},
        {"Installed", false},
        {"Reinstall Needed", true},
        {"Version Mismatch", true},
        {"Multiple Versions", true},
        {"Incomplete Module", true},
        {"version mismatch", false},
        {"Version Mismatch ", false},
        {"Pending", false},
    };
    for (const Case& c : cases) {
        std::string name, statusText = c.text, action;
        dvComponentInfo row("Python 2.6.6", "", "", "", "", false, false, &name, &statusText, &action, "");
        EXPECT_EQ(hasProblemStatus(row), c.problem) << '"' << c.text << '"';
    }
    // A row without a status string has never been refreshed.
    dvComponentInfo unlabelled("Python 2.6.6", "", "", "", "", false, false, nullptr, nullptr, nullptr, "");
    EXPECT_FALSE(hasProblemStatus(unlabelled));
}

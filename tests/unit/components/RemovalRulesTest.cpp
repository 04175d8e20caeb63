// Which removal each component gets, and the repair of components with a problem status. Each case sets up
// only what its runner reads, under the names written out here, so a rule that reads another key, value or
// product starts nothing and fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DetectionMachine.h"
#include "components/InstalledTable.h"
#include "components/RemovalRules.h"
#include "components/StatusTexts.h"

using namespace components;
using namespace detectiontest;

namespace {

const std::string Remover = "C:\\Removers\\remove.exe";
const std::string Msiexec = "C:/windows/system32\\msiexec.exe";

enum class Runner { WindowsInstaller, Msiexec, Quoted, AutoConfirm, Watch, Split, Shell, TightVnc, Module, None };

struct RemovalCase {
    const char* displayName;
    Runner runner;
    const char* key;   // Uninstall key name, or the product code for the Windows Installer runners
    const char* value; // the quoted runner's value; the watched runner's window title (or nullptr)
};

// clang-format off
const RemovalCase Cases[] = {
    {"MS VC++ 2005 SP1 Redist",                     Runner::WindowsInstaller, "{7299052b-02a4-4627-81f2-1818da5d550d}", nullptr},
    {"MS VC++ 2008 SP1 Redist",                     Runner::WindowsInstaller, "{9A25302D-30C0-39D9-BD6F-21E6EC160475}", nullptr},
    {"MS VC++ 2010 SP1 Redist",                     Runner::WindowsInstaller, "{F0C3E5D1-1ADE-321E-8167-68EF0DE699A5}", nullptr},
    {"Microsoft .Net 2.0.50727.42 Redist",          Runner::None, nullptr, nullptr},
    {"Windows Installer 3.1",                       Runner::None, nullptr, nullptr},
    {"Python 2.6.6",                                Runner::Msiexec, "{6151CF20-0BD8-4023-A4A0-6A86DCFE58E5}", nullptr},
    {"pywin32-218.win32-py2.6",                     Runner::AutoConfirm, "pywin32-py2.6", nullptr},
    {"pyserial-py3k-2.5.win32",                     Runner::AutoConfirm, "pyserial-py3k-py2.6", nullptr},
    {"scipy-0.14.0b1-python2.6",                    Runner::AutoConfirm, "scipy-py2.6", nullptr},
    {"numpy-1.8.1-python2.6",                       Runner::AutoConfirm, "numpy-py2.6", nullptr},
    {"OpenCV_1.1pre1a",                             Runner::Watch, "Open Source Computer Vision Library_is1", nullptr},
    {"ctypes-opencv-0.8.0-python26",                Runner::AutoConfirm, "ctypes-opencv-py2.6", nullptr},
    {"OpenCV 2.3.1",                                Runner::Module, nullptr, nullptr},
    {"OpenCV 2.4.6",                                Runner::Module, nullptr, nullptr},
    {"OpenCV 2.4.8",                                Runner::Module, nullptr, nullptr},
    {"Orvanta 9.3.0.524 IPP",                       Runner::Module, nullptr, nullptr},
    {"Tavrel 1.0.0.1(3587)",                        Runner::Module, nullptr, nullptr},
    {"Imaging Source - IC Capture 2.3",             Runner::Quoted, "ICCapture22_is1", "QuietUninstallString"},
    {"MySQL-python-1.2.2.win32-py2.6",              Runner::AutoConfirm, "MySQL-python-py2.6", nullptr},
    {"Orvanta Watchdog - Vivantor 2.0.0.6",         Runner::WindowsInstaller, "{0339BD1D-BA38-4F90-A2FD-CC136286A463}", nullptr},
    {"Orvanta Version X 10.2.1.578 Runtime",        Runner::WindowsInstaller, "{9343AC02-FF75-439C-BF54-3F89BBDC82B5}", nullptr},
    {"Orvanta Lumetra Version X 10.2.1.578 SDK",    Runner::WindowsInstaller, "{D4BDBA34-FFBC-4494-9EE1-E13ED9CB827B}", nullptr},
    {"TightVNC 2.6.4 - 32 bit",                     Runner::TightVnc, "{981B8EDC-E693-4F22-9694-C0FF8E56F134}", nullptr},
    {"TightVNC 2.6.4 - 64 bit",                     Runner::TightVnc, "{D71C967C-8709-4334-BF16-952469E96DCD}", nullptr},
    {"PerformanceTest 8.0",                         Runner::Quoted, "PerformanceTest 8_is1", "QuietUninstallString"},
    {"Orvanta TeamViewer 8 Host.exe",               Runner::Watch, "TeamViewer 8 Host", "TeamViewer 8 Host Uninstall"},
    {"Speccy v1.25",                                Runner::Watch, "Speccy", "Speccy v1.25 Uninstall"},
    {"ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", Runner::Quoted, "InstallShield_{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}", "UninstallString"},
    {"ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", Runner::Quoted, "InstallShield_{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}", "UninstallString"},
    {"Fire-i Application 4.0 - 32 bit",             Runner::Quoted, "InstallShield_{1AAA20E7-B683-4F94-A14C-C8186D0EC55F}", "UninstallString"},
    {"Fire-i Application 4.0 - 64 bit",             Runner::Quoted, "InstallShield_{7FC31537-1378-4B54-9BB6-1F43F4C6AE46}", "UninstallString"},
    {"ZCL for SONYGigECAM 2.12 - 32 bit",           Runner::WindowsInstaller, "{1A23CB3F-7B04-4CFD-80BE-81D2ACB10167}", nullptr},
    {"ZCL for SONYGigECAM 2.12 - 64 bit",           Runner::WindowsInstaller, "{1A23CB3F-7B04-4CFD-80BE-81D2ACB10167}", nullptr},
    {"Basler pylon SDK 2.3.5.2633 - 32 bit",        Runner::WindowsInstaller, "{2393D986-319B-40BF-AEBD-6E0EFC5B5F57}", nullptr},
    {"Basler pylon SDK 3.2.3.3215 - 32 bit",        Runner::WindowsInstaller, "{7701C433-7FAB-43ED-B117-762AC408A61C}", nullptr},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 32 bit",  Runner::WindowsInstaller, "{37A8A264-ADAE-4226-BA66-B9FE9FFB1F89}", nullptr},
    {"Basler pylon SDK 2.3.5.2633 - 64 bit",        Runner::WindowsInstaller, "{D7F97581-F17B-48AD-B4BB-634AF0F78D39}", nullptr},
    {"Basler pylon SDK 3.2.3.3215 - 64 bit",        Runner::WindowsInstaller, "{7701C433-7FAB-43ED-B117-762AC408A61C}", nullptr},
    {"Basler pylon 4 Runtime 4.0.1.3425 - 64 bit",  Runner::WindowsInstaller, "{37A8A264-ADAE-4226-BA66-B9FE9FFB1F89}", nullptr},
    {"DAQNavi PCI-1730 3.1.1.0",                    Runner::Quoted, "InstallShield_{6D3F63BF-82B3-402C-B904-19970D4718F6}", "UninstallString"},
    {"DAQNavi USB-4711A 3.1.3.0",                   Runner::Quoted, "InstallShield_{6D87DA37-CBC4-46E2-9183-91B52DC60D02}", "UninstallString"},
    {"DAQNavi USB-4750 3.1.1.0",                    Runner::Quoted, "InstallShield_{E8881CC8-EB89-49FA-B2A5-986488C75164}", "UninstallString"},
    {"DAQNavi SDK and Drivers 3.1.4.0",             Runner::Quoted, "InstallShield_{88B93413-6464-4DBB-AFDF-400AEEB20E7D}", "UninstallString"},
    {"Adam/Apax .NET Utility 2.04.04",              Runner::Shell, "{C2E6E999-4516-40D2-8191-79B5CB4B987B}", nullptr},
    {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", Runner::Split, "OPC CLIENT", nullptr},
    {"Orvanta Plexor 1.9.0.24",                     Runner::WindowsInstaller, "{FC84F31D-53C5-49CC-A799-80BFF4724731}", nullptr},
    {"Imaging Source Camera Driver",                Runner::None, nullptr, nullptr},
    {"New Version Installer",                       Runner::None, nullptr, nullptr},
};
// clang-format on

dvComponentInfo row(const std::string& displayName, std::string* status) {
    static std::string name, action;
    return dvComponentInfo(displayName, "", "", "", "", false, false, &name, status, &action, "");
}

void programsRun(FakeMachine& m) {
    m.processes.onStart(Remover, [](FakeMachine&, const std::string&) { return 0u; });
    // msiexec /x <code> /passive removes the product.
    m.processes.onStart("msiexec.exe", [](FakeMachine& fm, const std::string& commandLine) {
        auto at = commandLine.find("/x ");
        if (at != std::string::npos) fm.msi.unregisterProduct(commandLine.substr(at + 3, 38));
        return 0u;
    });
    m.processes.onShellOpen("RunDll32", [](FakeMachine&, const std::string&) { return 0u; });
}

// The rows of 64-bit products whose removal reads an Uninstall key: their setups write it in the machine's
// 64-bit view.
bool writesThe64BitView(const std::string& displayName) {
    return displayName == "TightVNC 2.6.4 - 64 bit" || displayName == "ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit" ||
           displayName == "Fire-i Application 4.0 - 64 bit";
}

void setCommand(FakeMachine& m, const std::string& key, const std::string& value, const std::string& command,
                Hive hive = Hive::LocalMachine) {
    m.registry.setString(hive, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + key, value, command);
}

void expectStarted(const FakeMachine& m, const std::string& program, const std::string& commandLine) {
    ASSERT_EQ(m.processes.started.size(), 1u);
    EXPECT_EQ(m.processes.started[0].program, program);
    EXPECT_EQ(m.processes.started[0].commandLine, commandLine);
}

// A 64-bit product's uninstaller is registered in the machine's 64-bit view; its 32-bit build, installed on a
// 64-bit machine all the same, in the program's own view. The 32-bit rows never read the 64-bit view.
TEST(RemovalRules, Each64BitProductsCommandIsReadInTheViewItsSetupWrites) {
    const std::string Other = "C:\\Removers\\other.exe";
    struct Case {
        const char* displayName;
        const char* key;
        bool in64;  // the command in HKLM's 64-bit view (Remover)
        bool in32;  // the command in HKLM's 32-bit view (Other)
        const char* started;  // the program started, or nullptr for none
    } cases[] = {
        {"ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", "InstallShield_{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}", true, false, "remove"},
        {"ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", "InstallShield_{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}", true, true, "remove"},
        {"ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", "InstallShield_{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}", false, true, "other"},
        {"ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", "InstallShield_{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}", true, false, nullptr},
        {"Fire-i Application 4.0 - 64 bit", "InstallShield_{7FC31537-1378-4B54-9BB6-1F43F4C6AE46}", true, false, "remove"},
        {"Fire-i Application 4.0 - 64 bit", "InstallShield_{7FC31537-1378-4B54-9BB6-1F43F4C6AE46}", false, true, "other"},
        {"TightVNC 2.6.4 - 64 bit", "TightVNC", true, true, "remove"},
        {"TightVNC 2.6.4 - 64 bit", "TightVNC", false, true, "other"},
        {"TightVNC 2.6.4 - 32 bit", "TightVNC", true, false, nullptr},
        {"DAQNavi PCI-1730 3.1.1.0", "InstallShield_{6D3F63BF-82B3-402C-B904-19970D4718F6}", true, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.displayName) + (c.in64 ? " 64" : "") + (c.in32 ? " 32" : ""));
        FakeMachine m;
        programsRun(m);
        m.processes.onStart(Other, [](FakeMachine&, const std::string&) { return 0u; });
        const bool tightVnc = std::string(c.key) == "TightVNC";
        if (c.in64) setCommand(m, c.key, "UninstallString", "\"" + Remover + "\"" + (tightVnc ? "" : " /S"), Hive::LocalMachine64);
        if (c.in32) setCommand(m, c.key, "UninstallString", "\"" + Other + "\"" + (tightVnc ? "" : " /S"), Hive::LocalMachine);
        std::string status;
        uninstallProduct(m, row(c.displayName, &status));
        if (!c.started) {
            EXPECT_TRUE(m.processes.started.empty());
            continue;
        }
        ASSERT_EQ(m.processes.started.size(), 1u);
        EXPECT_EQ(m.processes.started[0].program, std::string(c.started) == "remove" ? Remover : Other);
    }
}

TEST(RemovalRules, EachComponentIsRemovedByItsRunnerFromItsKey) {
    for (const RemovalCase& c : Cases) {
        SCOPED_TRACE(c.displayName);
        FakeMachine m;
        programsRun(m);
        std::string status;
        const std::string key = c.key ? c.key : "";
        const Hive hive = writesThe64BitView(c.displayName) ? Hive::LocalMachine64 : Hive::LocalMachine;
        bool removed = false;
        switch (c.runner) {
            case Runner::WindowsInstaller:
            case Runner::Msiexec:
                registerProduct(m, key, c.displayName);
                break;
            case Runner::Quoted:
                setCommand(m, key, c.value, "\"" + Remover + "\" /S", hive);
                break;
            case Runner::AutoConfirm:
                setCommand(m, key, "UninstallString", "\"" + Remover + "\" -u log");
                break;
            case Runner::Watch:
            case Runner::TightVnc:
                setCommand(m, c.runner == Runner::TightVnc ? "TightVNC" : key, "UninstallString", "\"" + Remover + "\"", hive);
                if (c.runner == Runner::TightVnc) registerProduct(m, key, "TightVNC", "2.6.4.0");
                break;
            case Runner::Split:
                setCommand(m, key, "UninstallString", Remover + " -remove");
                break;
            case Runner::Shell:
                setCommand(m, key, "UninstallString", "RunDll32 ctor.dll,LaunchSetup -removeonly");
                break;
            case Runner::Module:
                installEverything(m);
                // Removing a newer OpenCV hands the Python binding back to the older one, which must be there.
                m.files.addFile(RuntimeFolder + "Python\\OpenCV2_4_3OrOlder\\cv2.pyd", "binding");
                break;
            case Runner::None:
                installEverything(m);
                break;
        }
        // A watched window shows at once and goes after the first second.
        if (c.runner == Runner::Watch && c.value) {
            m.processes.addWindow(c.value);
            m.clock.onSleep = [&](uint32_t ms) {
                if (ms == 1000) m.processes.removeWindow(c.value);
            };
        }
        removed = uninstallProduct(m, row(c.displayName, &status));

        switch (c.runner) {
            case Runner::WindowsInstaller:
                EXPECT_TRUE(removed);
                EXPECT_FALSE(m.msi.isRegistered(key));
                EXPECT_TRUE(m.processes.started.empty());
                break;
            case Runner::Msiexec:
                EXPECT_TRUE(removed);
                expectStarted(m, Msiexec, Msiexec + " /x " + key + " /passive");
                EXPECT_FALSE(m.msi.isRegistered(key));
                break;
            case Runner::Quoted:
                EXPECT_TRUE(removed);
                expectStarted(m, Remover, "/S");
                break;
            case Runner::AutoConfirm:
                EXPECT_TRUE(removed);
                expectStarted(m, Remover, Remover + " -u log");
                EXPECT_EQ(m.processes.detachedTasks.size(), 1u);
                break;
            case Runner::Watch: {
                EXPECT_TRUE(removed);
                expectStarted(m, Remover, Remover);
                // Only a titled watch waits a second for the window to go; Speccy then settles for 10 s.
                std::vector<uint32_t> expected;
                if (c.value) expected.push_back(1000);
                if (std::string(c.displayName) == "Speccy v1.25") expected.push_back(10000);
                EXPECT_EQ(m.clock.sleeps, expected);
                break;
            }
            case Runner::TightVnc:
                EXPECT_TRUE(removed);
                expectStarted(m, Remover, Remover);
                EXPECT_FALSE(m.msi.isRegistered(key));
                break;
            case Runner::Split:
                EXPECT_TRUE(removed);
                expectStarted(m, Remover, Remover + " -remove");
                break;
            case Runner::Shell:
                EXPECT_TRUE(removed);
                ASSERT_EQ(m.processes.shellCalls.size(), 1u);
                EXPECT_EQ(m.processes.shellCalls[0].file, "RunDll32");
                EXPECT_EQ(m.processes.shellCalls[0].parameters, "ctor.dll,LaunchSetup -removeonly");
                break;
            case Runner::Module:
                EXPECT_TRUE(removed);
                EXPECT_FALSE(isInstalled(m, c.displayName)) << "the module is still there";
                EXPECT_TRUE(m.processes.started.empty());
                break;
            case Runner::None:
                EXPECT_FALSE(removed);
                EXPECT_TRUE(m.processes.started.empty());
                EXPECT_TRUE(m.processes.shellCalls.empty());
                break;
        }
    }
}

TEST(RemovalRules, NamesAreComparedWithoutRegardToCase) {
    FakeMachine m;
    std::string status;
    registerProduct(m, "{FC84F31D-53C5-49CC-A799-80BFF4724731}", "Orvanta Plexor 1.9.0.24");
    EXPECT_TRUE(uninstallProduct(m, row("ORVANTA PLEXOR 1.9.0.24", &status)));
    EXPECT_FALSE(m.msi.isRegistered("{FC84F31D-53C5-49CC-A799-80BFF4724731}"));
}

TEST(RemovalRules, ARunnerThatFindsNothingToStartFails) {
    FakeMachine m;
    programsRun(m);
    std::string status;
    for (const char* name : {"pywin32-218.win32-py2.6", "PerformanceTest 8.0", "Orvanta TeamViewer 8 Host.exe",
                             "Adam/Apax .NET Utility 2.04.04", "OPC Scout (SIMATIC NET OPC-Client V6.2-3133)",
                             "MS VC++ 2005 SP1 Redist"})
        EXPECT_FALSE(uninstallProduct(m, row(name, &status))) << name;
    EXPECT_TRUE(m.processes.started.empty());
}

// ---- Python: the removal takes the catalogue's product, a repair every Python 2.6 ----------------------------

struct PythonMachine {
    PythonMachine() {
        programsRun(m);
        registerProduct(m, "{6151CF20-0BD8-4023-A4A0-6A86DCFE58E5}", "Python 2.6.6", "2.6.6150");
        registerProduct(m, OtherPythonCode, "Python 2.6.5", "2.6.5150");
        registerProduct(m, "{11111111-2222-3333-4444-555555555555}", "Tools for Python 2.6", "1.0");
    }
    std::vector<std::string> msiexecCodes() const {
        std::vector<std::string> codes;
        for (const auto& s : m.processes.started) codes.push_back(s.commandLine.substr(s.commandLine.find("/x ") + 3, 38));
        return codes;
    }
    FakeMachine m;
};

TEST(RemovalRules, RemovingPythonTakesOnlyTheCataloguesProduct) {
    PythonMachine p;
    std::string status = status::MultipleVersions;
    EXPECT_TRUE(uninstallProduct(p.m, row("Python 2.6.6", &status)));
    EXPECT_EQ(p.msiexecCodes(), std::vector<std::string>{"{6151CF20-0BD8-4023-A4A0-6A86DCFE58E5}"});
    EXPECT_TRUE(p.m.msi.isRegistered(OtherPythonCode));
}

TEST(RepairComponent, RepairingPythonRemovesEveryPython26Product) {
    PythonMachine p;
    std::string status = status::MultipleVersions;
    EXPECT_EQ(repairComponent(p.m, row("Python 2.6.6", &status)), 1);
    EXPECT_EQ(p.msiexecCodes(), (std::vector<std::string>{"{6151CF20-0BD8-4023-A4A0-6A86DCFE58E5}", OtherPythonCode}));
    EXPECT_EQ(pythonProductCount(p.m), 0);
    EXPECT_TRUE(p.m.msi.isRegistered("{11111111-2222-3333-4444-555555555555}"));
}

TEST(RepairComponent, RepairingPythonSucceedsEvenWhenMsiexecCannotStart) {
    FakeMachine m;
    m.environment.system.reset();
    registerProduct(m, OtherPythonCode, "Python 2.6.5", "2.6.5150");
    std::string status = status::VersionMismatch;
    EXPECT_EQ(repairComponent(m, row("Python 2.6.6", &status)), 1);
}

TEST(RepairComponent, OnlyAProblemStatusIsRepairedAndTheRemovalDecides) {
    const struct {
        const char* what;
        const char* displayName;
        const char* status;
        bool registered;  // the Watchdog's product is there to remove
        int result;
        bool removed;
    } cases[] = {
        {"installed", "Orvanta Watchdog - Vivantor 2.0.0.6", status::Installed, true, 1, false},
        {"not installed", "Orvanta Watchdog - Vivantor 2.0.0.6", status::NotInstalled, true, 1, false},
        {"never refreshed", "Orvanta Watchdog - Vivantor 2.0.0.6", "", true, 1, false},
        {"version mismatch", "Orvanta Watchdog - Vivantor 2.0.0.6", status::VersionMismatch, true, 1, true},
        {"removal fails", "Orvanta Watchdog - Vivantor 2.0.0.6", status::VersionMismatch, false, -1, false},
        {"a name without removal", "Imaging Source Camera Driver", status::IncompleteModule, true, 1, false},
        {"a name that cannot be removed", "Microsoft .Net 2.0.50727.42 Redist", status::ReinstallNeeded, true, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeMachine m;
        const std::string code = "{0339BD1D-BA38-4F90-A2FD-CC136286A463}";
        if (c.registered) registerProduct(m, code, "Orvanta Watchdog - Vivantor 2.0.0.5");
        std::string status = c.status;
        EXPECT_EQ(repairComponent(m, row(c.displayName, &status)), c.result);
        EXPECT_EQ(c.registered && !m.msi.isRegistered(code), c.removed);
        EXPECT_EQ(status, c.status) << "a repair does not write the status";
    }
}

}  // namespace

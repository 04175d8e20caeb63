// The stand-in products of the vendor tree (FIXTURES/server) on the real machine: each one is started the way
// the installer starts its catalogue row, must then be recognised by the installer's own probes and status
// rules, and must go away again through the command it registered, started the way the removal rule for that
// product starts it. A stand-in that registers a command of the wrong shape, forgets a value the status
// rules compare, or leaves its product behind fails here, not later in the wizard.
#include "PlatformTestSupport.h"

#include <psapi.h>
#include <shellapi.h>

#include <atomic>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "components/Catalogue.h"
#include "components/ComponentInfo.h"
#include "components/InstallManagerBase.h"
#include "components/InstalledTable.h"
#include "components/Probes.h"
#include "components/ProductCodes.h"
#include "components/StatusRules.h"
#include "components/StatusTexts.h"
#include "components/UninstallKeys.h"
#include "components/unzip/Unzipper.h"
#include "platform/win32/Win32Machine.h"

namespace {

namespace keys = components::uninstallkeys;
namespace codes = components::codes;
using platform_test::pathPresent;

// How the removal rule of the row starts the command its product registered.
enum class Removal {
    Quoted,       // "<program>" <parameters>: the parameters alone are the command line
    AutoConfirm,  // "<program>" <parameters>: program + " " + parameters, with its two windows answered
    Watched,      // "<program>": started as it is, then its window watched until it has come and gone
    Split,        // <program> <parameters>
    RunDll,       // <anything> <parameters>: RunDll32 through the shell with the parameters
    TightVnc,     // Watched with the title "<DisplayName> Uninstall ", then Windows Installer if still there
};

struct StandInCase {
    const char* label;
    const char* displayName;  // the catalogue row
    Removal removal;
    const char* key;          // the Uninstall key the rule reads
    const char* value;        // the value holding the command
    const char* windowTitle;  // Watched: the window the rule waits for
    const char* productCode;  // the package the product brings along ("" for none)
    bool needsPython;         // installed over the catalogue's Python, as the wizard's order has it
};

const char* const None = "";

// clang-format off
const StandInCase Cases[] = {
    {"InstallShieldSetupWithPackage", "ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", Removal::Quoted,
     "InstallShield_{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}", "UninstallString", nullptr, codes::UbCore, false},
    {"InnoSetupQuietCommand", "PerformanceTest 8.0", Removal::Quoted, keys::PerformanceTest,
     "QuietUninstallString", nullptr, None, false},
    {"PythonPackageConfirmsAndReports", "numpy-1.8.1-python2.6", Removal::AutoConfirm, keys::Numpy,
     "UninstallString", nullptr, None, true},
    {"UninstallerHandsOverToItsWindow", "Orvanta TeamViewer 8 Host.exe", Removal::Watched, keys::TeamViewer,
     "UninstallString", "TeamViewer 8 Host Uninstall", None, false},
    {"OpcClientFromItsArchive", "OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", Removal::Split, keys::OpcClient,
     "UninstallString", nullptr, None, false},
    {"RemovalDllThroughRunDll32", "Adam/Apax .NET Utility 2.04.04", Removal::RunDll, keys::AdamApax,
     "UninstallString", nullptr, None, false},
    {"TightVncPackageWithItsUninstaller", "TightVNC 2.6.4 - 32 bit", Removal::TightVnc, keys::TightVnc,
     "UninstallString", nullptr, codes::TightVnc32, false},
};
// clang-format on

// Failure messages name the case, not its bytes.
void PrintTo(const StandInCase& c, std::ostream* out) { *out << c.label << " (" << c.displayName << ")"; }

const char* const PythonRow = "Python 2.6.6";
const char* const OpcScoutRow = "OPC Scout (SIMATIC NET OPC-Client V6.2-3133)";

std::optional<components::CatalogueRow> catalogueRow(const std::string& displayName) {
    for (components::CataloguePage page : components::AllCataloguePages)
        for (const components::CatalogueRow& row : components::catalogueRows(page, false))
            if (displayName == row.displayName) return row;
    return std::nullopt;
}

// Uninstall value under HKLM, else HKCU, read into a 4096-byte buffer as the removal rules read it.
std::optional<std::string> uninstallValue(const std::string& key, const std::string& name) {
    const std::string path = std::string(components::UninstallRoot) + key;
    for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) continue;
        char buffer[4096] = {};
        DWORD size = sizeof(buffer) - 1;
        LONG result = RegQueryValueExA(handle, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(handle);
        if (result == ERROR_SUCCESS) return std::string(buffer);
    }
    return std::nullopt;
}

bool processRunning(const std::string& fullPath) {
    DWORD ids[4096];
    DWORD bytes = 0;
    if (!EnumProcesses(ids, sizeof(ids), &bytes)) return false;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
        if (!process) continue;
        char path[MAX_PATH] = {};
        DWORD length = GetModuleFileNameExA(process, nullptr, path, MAX_PATH);
        CloseHandle(process);
        if (length && lstrcmpiA(path, fullPath.c_str()) == 0) return true;
    }
    return false;
}

class StandIns : public ::testing::TestWithParam<StandInCase> {
protected:
    platform::Machine& machine = platform::win32::realMachine();

    void SetUp() override {
        const std::string fixtures = platform_test::fixturesFolder();
        ASSERT_FALSE(fixtures.empty()) << "INSTALLER_FIXTURES is not set";
        server_ = fixtures + "\\server";
        ASSERT_TRUE(pathPresent(server_)) << server_ << " is missing: run tests/fixtures/generate.sh";
        removeEverything();  // whatever an interrupted earlier run left behind
    }

    void TearDown() override { removeEverything(); }

    // The row's file in the vendor tree, where the installer would download it from.
    std::string serverFile(const components::CatalogueRow& row) {
        std::string path = server_ + row.serverPath + row.fileName;
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }

    std::optional<uint32_t> startAndWait(const std::string& program, const std::string& commandLine,
                                         uint32_t timeoutMs = 180000) {
        auto process = machine.processes.start(program, commandLine);
        if (!process) return std::nullopt;
        if (!process->wait(timeoutMs)) return std::nullopt;
        return process->exitCode();
    }

    std::string msiexec() { return machine.environment.systemFolder().value_or("C:\\windows\\system32") + "\\msiexec.exe"; }

    // As the download-and-install run starts a row: msiexec for a package, otherwise the file with the
    // catalogue's argument text as its whole command line.
    void installRow(const components::CatalogueRow& row) {
        const std::string file = serverFile(row);
        ASSERT_TRUE(pathPresent(file)) << file;
        if (row.isMsiPackage) {
            const std::string program = msiexec();
            EXPECT_EQ(startAndWait(program, program + " /i \"" + file + "\" /passive"), 0u) << file;
        } else {
            EXPECT_EQ(startAndWait(file, row.installArguments), 0u) << file;
        }
    }

    // The OPC client arrives as an archive: its setup is started without waiting, and leaves its clean-up
    // program running for a moment, which the installer's wait box watches for.
    void installOpcScout(const components::CatalogueRow& row) {
        ASSERT_TRUE(extractArchive(machine, serverFile(row), scratch_.path())) << serverFile(row);
        const std::string setup = scratch_.path() + "\\disk1\\setup.exe";
        const std::string isDel = scratch_.path() + "\\disk1\\_isdel.exe";
        ASSERT_TRUE(pathPresent(setup));
        ASSERT_TRUE(pathPresent(isDel));
        auto process = machine.processes.start(setup, setup + " " + row.installArguments);
        ASSERT_TRUE(process);
        EXPECT_TRUE(platform_test::waitFor([&] { return processRunning(isDel); }, 10000))
            << "the setup did not start its clean-up program";
        EXPECT_TRUE(process->wait(30000));
        EXPECT_TRUE(platform_test::waitFor([&] { return !processRunning(isDel); }, 30000))
            << "the clean-up program does not end";
    }

    std::string status(const std::string& displayName) {
        std::string name, text, action;
        dvInstallManagerBase manager;
        manager.setComponents({dvComponentInfo(displayName, "", "", "", "", false, false, &name, &text, &action, "")});
        components::refreshStatuses(machine, manager, 0, 0);
        return text;
    }

    // ---- the removal rules' ways of starting the registered command -------------------------------------

    void runQuoted(const std::string& command) {
        const size_t quote = command.find('"', 1);
        ASSERT_EQ(command.front(), '"') << command;
        ASSERT_NE(quote, std::string::npos) << command;
        ASSERT_EQ(command.substr(quote + 1, 1), " ") << "one blank between program and parameters: " << command;
        const std::string program = command.substr(1, quote - 1);
        EXPECT_TRUE(startAndWait(program, command.substr(quote + 2))) << command;
    }

    void runAutoConfirm(const std::string& command) {
        const size_t blank = command.find(' ');
        ASSERT_NE(blank, std::string::npos) << command;
        ASSERT_GE(blank, 2u);
        ASSERT_EQ(command.front(), '"') << command;
        ASSERT_EQ(command[blank - 1], '"') << "the program path must not hold a blank: " << command;
        const std::string program = command.substr(1, blank - 2);
        const std::string parameters = command.substr(blank + 1);
        // Answers the uninstaller's two windows as the installer's auto-confirm helper does.
        std::atomic<bool> confirmed{false}, closed{false};
        std::thread answerer([&] {
            for (int i = 0; i < 1000 && !confirmed; ++i, Sleep(10))
                if (HWND box = FindWindowA(nullptr, "Please confirm")) {
                    SendMessageA(box, WM_COMMAND, IDYES, 0);
                    confirmed = true;
                }
            for (int i = 0; i < 2000 && confirmed && !closed; ++i, Sleep(10))
                if (HWND box = FindWindowA(nullptr, "Uninstall Finished!")) {
                    SendMessageA(box, WM_CLOSE, 0, 0);
                    closed = true;
                }
        });
        auto ended = startAndWait(program, program + " " + parameters, 120000);
        answerer.join();
        EXPECT_TRUE(ended) << command;
        EXPECT_TRUE(confirmed) << "no \"Please confirm\" window";
        EXPECT_TRUE(closed) << "no \"Uninstall Finished!\" window";
    }

    void runWatched(std::string command, const std::string& title) {
        ASSERT_GE(command.size(), 2u);
        ASSERT_EQ(command.front(), '"') << command;
        ASSERT_EQ(command.back(), '"') << command;
        command = command.substr(1, command.size() - 2);
        EXPECT_TRUE(startAndWait(command, command)) << command;
        bool appeared = false;
        for (int i = 0; i < 2400 && !appeared; ++i, Sleep(25)) appeared = FindWindowA(nullptr, title.c_str()) != nullptr;
        EXPECT_TRUE(appeared) << "no window \"" << title << "\" after the uninstaller returned";
        for (int i = 0; i < 600 && appeared && FindWindowA(nullptr, title.c_str()); ++i) Sleep(1000);
        EXPECT_FALSE(FindWindowA(nullptr, title.c_str())) << "\"" << title << "\" stays open";
    }

    void runSplit(const std::string& command) {
        const size_t blank = command.find(' ');
        ASSERT_NE(blank, std::string::npos) << command;
        const std::string program = command.substr(0, blank);
        ASSERT_TRUE(pathPresent(program)) << "split at the first blank, the program is " << program;
        EXPECT_TRUE(startAndWait(program, program + " " + command.substr(blank + 1))) << command;
    }

    void runThroughRunDll32(const std::string& command) {
        const size_t blank = command.find(' ', 1);
        ASSERT_NE(blank, std::string::npos) << command;
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_DOENVSUBST;
        info.lpVerb = "open";
        info.lpFile = "RunDll32";
        const std::string parameters = command.substr(blank + 1);
        info.lpParameters = parameters.c_str();
        info.nShow = SW_SHOWNORMAL;
        ASSERT_TRUE(ShellExecuteExA(&info)) << command;
        ASSERT_TRUE(info.hProcess);
        EXPECT_EQ(WaitForSingleObject(info.hProcess, 60000), WAIT_OBJECT_0);
        CloseHandle(info.hProcess);
    }

    void removeThroughRegisteredCommand(const StandInCase& c) {
        auto command = uninstallValue(c.key, c.value);
        ASSERT_TRUE(command) << c.key << " has no " << c.value;
        switch (c.removal) {
            case Removal::Quoted: runQuoted(*command); break;
            case Removal::AutoConfirm: runAutoConfirm(*command); break;
            case Removal::Watched: runWatched(*command, c.windowTitle); break;
            case Removal::Split: runSplit(*command); break;
            case Removal::RunDll: runThroughRunDll32(*command); break;
            case Removal::TightVnc: {
                auto displayName = uninstallValue(c.key, "DisplayName");
                ASSERT_TRUE(displayName);
                runWatched(*command, *displayName + " Uninstall ");
                EXPECT_FALSE(uninstallValue(c.key, "DisplayName")) << "the uninstaller left its key";
                if (components::msiRegistered(machine, c.productCode)) {
                    EXPECT_EQ(machine.msi.configureProductAbsent(c.productCode), 0u);
                }
                break;
            }
        }
    }

private:
    // Every product and key the cases can leave, under both hives.
    void removeEverything() {
        std::vector<std::string> packages = {codes::Python266};
        for (const StandInCase& c : Cases)
            if (*c.productCode) packages.push_back(c.productCode);
        const std::string program = msiexec();
        for (const std::string& code : packages)
            for (int attempt = 0; attempt < 3 && components::msiRegistered(machine, code); ++attempt)
                startAndWait(program, program + " /x " + code + " /qn");
        for (const StandInCase& c : Cases)
            for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
                RegDeleteKeyA(hive, (std::string(components::UninstallRoot) + c.key).c_str());
    }

    std::string server_;
    platform_test::ScratchFolder scratch_;
};

TEST_P(StandIns, InstallAsTheInstallerDoesAndRemoveByTheRegisteredCommand) {
    const StandInCase& c = GetParam();
    auto row = catalogueRow(c.displayName);
    ASSERT_TRUE(row) << c.displayName << " is not in the catalogue";
    ASSERT_FALSE(components::isInstalled(machine, c.displayName)) << "installed before the test";

    if (c.needsPython) {
        auto python = catalogueRow(PythonRow);
        ASSERT_TRUE(python);
        ASSERT_NO_FATAL_FAILURE(installRow(*python));
        ASSERT_TRUE(components::isInstalled(machine, PythonRow));
    }
    if (c.displayName == std::string(OpcScoutRow)) {
        ASSERT_NO_FATAL_FAILURE(installOpcScout(*row));
    } else {
        ASSERT_NO_FATAL_FAILURE(installRow(*row));
    }

    ASSERT_TRUE(components::isInstalled(machine, c.displayName)) << "not recognised after its setup ran";
    EXPECT_EQ(status(c.displayName), components::status::Installed);
    if (*c.productCode) {
        EXPECT_TRUE(components::msiRegistered(machine, c.productCode));
    }

    ASSERT_NO_FATAL_FAILURE(removeThroughRegisteredCommand(c));
    EXPECT_FALSE(components::isInstalled(machine, c.displayName)) << "still recognised after its removal";
    if (*c.productCode) {
        EXPECT_FALSE(components::msiRegistered(machine, c.productCode)) << "package left behind";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StandIns, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<StandInCase>& info) { return std::string(info.param.label); });

}  // namespace

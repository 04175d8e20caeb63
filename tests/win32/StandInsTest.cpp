// The stand-in products of the vendor tree (FIXTURES/server) on the real machine: each one is started the way
// the installer starts its catalogue row, must then be recognised by the installer's own probes and status
// rules, and must go away again through the removal rule of its row (components::uninstallProduct), run as
// the uninstall dialog's worker runs it, with nobody at the screen. A stand-in that registers a command of
// the wrong shape, forgets a value the status rules compare, shows a window its rule does not answer, or
// leaves its product behind fails here, not later in the wizard.
//
// The Uninstall key names and product codes are written out here as the products register them, so that a
// wrong name in the installer's own tables shows as a failure instead of being compared with itself.
#include "OperationCyclesSupport.h"

#include <ostream>
#include <string>
#include <vector>

#include "components/InstalledTable.h"
#include "components/RemovalRules.h"
#include "components/StatusTexts.h"
#include "components/unzip/Unzipper.h"

namespace {

using namespace cycles;

struct StandInCase {
    const char* label;
    const char* displayName;  // the catalogue row
    bool is64Bit;             // which form of the catalogue the row is taken from
    const char* key;          // the Uninstall key the product registers ("" for none)
    const char* productCode;  // the package the product brings along ("" for none)
    const char* folder;       // the stand-in's install folder leaf ("" for none)
    bool needsPython;         // installed over the catalogue's Python, as the wizard's order has it
};

const char* const None = "";
const char* const PythonCode = "{6151CF20-0BD8-4023-A4A0-6A86DCFE58E5}";

// One row for every form of removal the rules use.
// clang-format off
const StandInCase Cases[] = {
    // "<uninstaller>" <parameters>, the parameters alone started as the command line.
    {"QuotedInstallShieldCommand", "ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", false,
     "InstallShield_{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}", "{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}", "ubCore", false},
    {"QuotedInnoSetupQuietCommand", "PerformanceTest 8.0", false, "PerformanceTest 8_is1", None, "PerformanceTest",
     false},
    // The uninstaller asks "Please confirm" and reports "Uninstall Finished!": only the rule's helper answers.
    {"AutoConfirmedPythonPackage", "numpy-1.8.1-python2.6", false, "numpy-py2.6", None, None, true},
    // Started as registered; the work is done by a second process whose window the rule watches.
    {"WatchedUninstallerWindow", "Orvanta TeamViewer 8 Host.exe", false, "TeamViewer 8 Host", None,
     "TeamViewer 8 Host", false},
    {"WatchedWithoutWindowTitle", "OpenCV_1.1pre1a", false, "Open Source Computer Vision Library_is1", None, "OpenCV",
     false},
    // <uninstaller> <parameters>, split at the first blank.
    {"SplitCommandFromArchive", "OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", false, "OPC CLIENT", None,
     "OPC Scout", false},
    // RunDll32 through the shell with the registered parameters.
    {"RemovalDllThroughRunDll32", "Adam/Apax .NET Utility 2.04.04", false, "{C2E6E999-4516-40D2-8191-79B5CB4B987B}",
     None, "AdamApax", false},
    // Windows Installer removals: the product itself, and the system's msiexec.
    {"WindowsInstallerProduct", "Orvanta Watchdog - Vivantor 2.0.0.6", false, None,
     "{0339BD1D-BA38-4F90-A2FD-CC136286A463}", None, false},
    {"MsiexecRemoval", "Python 2.6.6", false, None, PythonCode, None, false},
    // The package's own uninstaller, watched by its window, then the package if it is still there.
    {"TightVnc32BitPackage", "TightVNC 2.6.4 - 32 bit", false, "TightVNC", "{981B8EDC-E693-4F22-9694-C0FF8E56F134}",
     None, false},
    {"TightVnc64BitPackage", "TightVNC 2.6.4 - 64 bit", true, "TightVNC", "{D71C967C-8709-4334-BF16-952469E96DCD}",
     None, false},
};
// clang-format on

// Failure messages name the case, not its bytes.
void PrintTo(const StandInCase& c, std::ostream* out) { *out << c.label << " (" << c.displayName << ")"; }

const char* const PythonRow = "Python 2.6.6";
const char* const OpcScoutRow = "OPC Scout (SIMATIC NET OPC-Client V6.2-3133)";

bool keyPresent(const std::string& key) {
    for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(hive, (std::string(components::UninstallRoot) + key).c_str(), 0, KEY_READ, &handle) ==
            ERROR_SUCCESS) {
            RegCloseKey(handle);
            return true;
        }
    }
    return false;
}

bool processNamed(platform::Machine& machine, const std::string& fullPath) {
    for (const auto& process : machine.processes.list(4096).value_or(std::vector<platform::ProcessEntry>{}))
        if (lstrcmpiA(process.fullPath.c_str(), fullPath.c_str()) == 0) return true;
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
        const StandInCase& c = GetParam();
        leftovers_.products = {PythonCode};
        if (*c.productCode) leftovers_.products.push_back(c.productCode);
        if (*c.key) leftovers_.uninstallKeys.push_back(c.key);
        if (*c.folder) leftovers_.folders = standInFolders(c.folder);
        leftovers_.clear(machine);  // whatever an interrupted earlier run left behind
    }

    void TearDown() override { leftovers_.clear(machine); }

    // The row's file in the vendor tree, where the installer would download it from.
    std::string serverFile(const components::CatalogueRow& row) {
        return server_ + backslashed(std::string(row.serverPath) + row.fileName);
    }

    std::optional<uint32_t> startAndWait(const std::string& program, const std::string& commandLine,
                                         uint32_t timeoutMs = 180000) {
        auto process = machine.processes.start(program, commandLine);
        if (!process) return std::nullopt;
        if (!process->wait(timeoutMs)) return std::nullopt;
        return process->exitCode();
    }

    // As the download-and-install run starts a row: msiexec for a package, otherwise the file with the
    // catalogue's argument text as its whole command line.
    void installRow(const components::CatalogueRow& row) {
        const std::string file = serverFile(row);
        ASSERT_TRUE(pathPresent(file)) << file;
        if (row.isMsiPackage) {
            const std::string program =
                machine.environment.systemFolder().value_or("C:\\windows\\system32") + "\\msiexec.exe";
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
        EXPECT_TRUE(platform_test::waitFor([&] { return processNamed(machine, isDel); }, 10000))
            << "the setup did not start its clean-up program";
        EXPECT_TRUE(process->wait(30000));
        EXPECT_TRUE(platform_test::waitFor([&] { return !processNamed(machine, isDel); }, 30000))
            << "the clean-up program does not end";
    }

    std::string status(const std::string& displayName) {
        std::string name, text, action;
        dvInstallManagerBase manager;
        manager.setComponents({dvComponentInfo(displayName, "", "", "", "", false, false, &name, &text, &action, "")});
        components::refreshStatuses(machine, manager, 0, 0);
        return text;
    }

    // Python's folder keeps what its packages' setups put there.
    void forgetPythonFolderLater() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Python\\PythonCore\\2.6\\InstallPath", 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return;
        char folder[MAX_PATH] = {};
        DWORD size = sizeof(folder) - 1;
        if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(folder), &size) == ERROR_SUCCESS) {
            std::string path = folder;
            while (!path.empty() && path.back() == '\\') path.pop_back();
            leftovers_.folders.push_back(path);
        }
        RegCloseKey(key);
    }

private:
    std::string server_;
    Leftovers leftovers_;
    platform_test::ScratchFolder scratch_;
};

TEST_P(StandIns, InstallAsTheInstallerDoesAndRemoveByTheRowsRemovalRule) {
    const StandInCase& c = GetParam();
    auto row = catalogueRow(c.displayName, c.is64Bit);
    ASSERT_TRUE(row) << c.displayName << " is not in the catalogue";
    ASSERT_FALSE(components::isInstalled(machine, c.displayName)) << "installed before the test";

    if (c.needsPython) {
        auto python = catalogueRow(PythonRow, false);
        ASSERT_TRUE(python);
        ASSERT_NO_FATAL_FAILURE(installRow(*python));
        ASSERT_TRUE(components::isInstalled(machine, PythonRow));
    }
    if (c.displayName == std::string(OpcScoutRow)) {
        ASSERT_NO_FATAL_FAILURE(installOpcScout(*row));
    } else {
        ASSERT_NO_FATAL_FAILURE(installRow(*row));
    }

    if (c.needsPython || c.displayName == std::string(PythonRow)) forgetPythonFolderLater();
    ASSERT_TRUE(components::isInstalled(machine, c.displayName)) << "not recognised after its setup ran";
    EXPECT_EQ(status(c.displayName), components::status::Installed);
    if (*c.key) {
        EXPECT_TRUE(keyPresent(c.key)) << "the setup did not register " << c.key;
    }
    if (*c.productCode) {
        EXPECT_TRUE(components::msiRegistered(machine, c.productCode));
    }

    const dvComponentInfo record(c.displayName, "", row->fileName, row->installArguments, "", row->isMsiPackage,
                                 false, nullptr, nullptr, nullptr, row->category);
    // The stand-ins give up on an unanswered question after 30 seconds, keeping their product.
    DWORD started = GetTickCount();
    EXPECT_TRUE(components::uninstallProduct(machine, record));
    EXPECT_LT(GetTickCount() - started, 30000u) << "a window of the uninstaller was left unanswered";

    EXPECT_FALSE(components::isInstalled(machine, c.displayName)) << "still recognised after its removal";
    if (*c.key) {
        EXPECT_FALSE(keyPresent(c.key)) << "the uninstaller left " << c.key;
    }
    if (*c.productCode) {
        EXPECT_FALSE(components::msiRegistered(machine, c.productCode)) << "package left behind";
    }
    if (c.needsPython) {
        EXPECT_TRUE(components::isInstalled(machine, PythonRow)) << "the package's removal took Python along";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StandIns, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<StandInCase>& info) { return std::string(info.param.label); });

}  // namespace

// Whole operations of a page on the real machine: the rows' files come from the loopback vendor server, the
// real progress and wait dialogs run with their worker threads, the stand-in products really install and
// really go away through the removal rule of their row, and the probes judge every step. A stand-in whose
// setup or uninstaller does not fit its rule, a dialog that does not hand back control, or a step that
// reports success for a component the probes do not see fails here.
#include "OperationCyclesSupport.h"

#include <string>
#include <vector>

#include "components/ActionTexts.h"
#include "components/InstalledTable.h"
#include "components/StatusTexts.h"

using namespace cycles;
using platform_test::readRaw;

namespace {

namespace action = components::action;
namespace status = components::status;

const char* const TightVnc64Code = "{D71C967C-8709-4334-BF16-952469E96DCD}";
const char* const Python266Code = "{6151CF20-0BD8-4023-A4A0-6A86DCFE58E5}";
const char* const RuntimeCode = "{9343AC02-FF75-439C-BF54-3F89BBDC82B5}";
const char* const RuntimeName = "Orvanta Version X 10.2.1.578 Runtime";

std::string registryDefault(const std::string& key, const char* value = nullptr) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return "";
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1;
    RegQueryValueExA(handle, value, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(handle);
    return buffer;
}

bool uninstallKeyPresent(const std::string& key) {
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

bool processNamed(platform::Machine& machine, const std::string& baseName) {
    for (const auto& process : machine.processes.list(4096).value_or(std::vector<platform::ProcessEntry>{}))
        if (lstrcmpiA(process.baseName.c_str(), baseName.c_str()) == 0) return true;
    return false;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

class OperationCycles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!vendor.available()) GTEST_SKIP() << "no vendor server or fixtures (run under run-with-server.sh)";
    }
    void TearDown() override {
        if (vendor.available()) leftovers.clear(machine);
    }

    // Clears what an earlier run may have left and serves the rows' files.
    void prepare(const std::vector<std::string>& names, bool is64Bit) {
        leftovers.clear(machine);
        for (const std::string& name : names) {
            auto row = catalogueRow(name, is64Bit);
            ASSERT_TRUE(row) << name;
            ASSERT_TRUE(vendor.publish(*row)) << vendor.fixturePath(*row);
            ASSERT_FALSE(components::isInstalled(machine, name)) << name << " is installed before the test";
        }
    }

    // Every row of the page shows "Ok", and the probes say what the step claims.
    void expectRows(RealPage& page, int first, int last, const std::string& claimed) {
        for (int i = first; i <= last; ++i) {
            SCOPED_TRACE(page.row(i).displayName);
            EXPECT_EQ(page.action(i), action::Ok);
            EXPECT_EQ(page.status(i), claimed);
            EXPECT_EQ(page.probedStatus(i), claimed);
            EXPECT_EQ(components::isInstalled(machine, page.row(i).displayName), claimed == status::Installed);
        }
    }

    platform::Machine& machine = platform::win32::realMachine();
    VendorTree vendor;
    ScriptedUi ui;
    Leftovers leftovers;
};

}  // namespace

TEST_F(OperationCycles, MsiRowInstallsThroughMsiexecAndGoesThroughItsOwnUninstaller) {
    leftovers = {{TightVnc64Code}, {"TightVNC"}, {}, {}};
    ASSERT_NO_FATAL_FAILURE(prepare({"TightVNC 2.6.4 - 64 bit"}, true));
    RealPage page(vendor, {"TightVNC 2.6.4 - 64 bit"}, true, ui);
    ScreenUser user;

    EXPECT_EQ(page.manager.installComponents(0, 0, false), 1);
    expectRows(page, 0, 0, status::Installed);
    EXPECT_TRUE(components::msiRegistered(machine, TightVnc64Code));
    EXPECT_EQ(readRaw(page.downloaded(0)), readRaw(vendor.fixturePath(page.row(0)))) << "not the served package";

    EXPECT_EQ(page.manager.uninstallComponents(0, 0), 1);
    expectRows(page, 0, 0, status::NotInstalled);
    EXPECT_FALSE(components::msiRegistered(machine, TightVnc64Code));
    EXPECT_FALSE(uninstallKeyPresent("TightVNC"));

    user.stop();
    EXPECT_TRUE(user.workerBoxes().empty()) << user.workerBoxes().front();
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front();
}

// The package is removed by its uninstaller, whose two windows only the removal's own helper answers: the
// screen user here answers worker boxes only, and the stand-in gives up (keeping the package) when nobody
// confirms within 30 seconds.
TEST_F(OperationCycles, PythonAndItsPackageInstallInOneRangeAndGoLastFirst) {
    leftovers = {{Python266Code}, {"numpy-py2.6"}, {}, {}};
    ASSERT_NO_FATAL_FAILURE(prepare({"Python 2.6.6", "numpy-1.8.1-python2.6"}, false));
    RealPage page(vendor, {"Python 2.6.6", "numpy-1.8.1-python2.6"}, false, ui);
    ScreenUser user;

    EXPECT_EQ(page.manager.installComponents(0, 1, false), 1);
    expectRows(page, 0, 1, status::Installed);
    const std::string pythonFolder = registryDefault("Software\\Python\\PythonCore\\2.6\\InstallPath");
    ASSERT_FALSE(pythonFolder.empty());
    leftovers.folders.push_back(pythonFolder.substr(0, pythonFolder.find_last_not_of('\\') + 1));
    ASSERT_TRUE(uninstallKeyPresent("numpy-py2.6"));

    DWORD started = GetTickCount();
    EXPECT_EQ(page.manager.uninstallComponents(0, 1), 1);
    EXPECT_LT(GetTickCount() - started, 30000u) << "the uninstaller's confirmation was left to time out";
    expectRows(page, 0, 1, status::NotInstalled);
    EXPECT_FALSE(uninstallKeyPresent("numpy-py2.6"));
    EXPECT_FALSE(components::msiRegistered(machine, Python266Code));

    user.stop();
    EXPECT_TRUE(user.workerBoxes().empty()) << user.workerBoxes().front();
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front();
}

// The module's status asks for the Python packages it works with, so the range holds them as the modules
// page has them, with the Runtime it unpacks into.
TEST_F(OperationCycles, OpenCvModuleUnpacksIntoTheRuntimeAndLeavesWithItsFolder) {
    SystemPathGuard pathGuard;
    const std::vector<std::string> rows = {"Python 2.6.6",          "pywin32-218.win32-py2.6",
                                           "pyserial-py3k-2.5.win32", "numpy-1.8.1-python2.6",
                                           RuntimeName,             "OpenCV 2.4.6"};
    const int openCv = 5, runtimeRow = 4;
    // pywin32's search paths are the one thing no removal takes back.
    leftovers = {{RuntimeCode, Python266Code},
                 {"pywin32-py2.6", "pyserial-py3k-py2.6", "numpy-py2.6"},
                 {},
                 {"SOFTWARE\\Python\\PythonCore\\2.6\\PythonPath"}};
    ASSERT_NO_FATAL_FAILURE(prepare(rows, false));
    RealPage page(vendor, rows, false, ui);
    ScreenUser user;

    EXPECT_EQ(page.manager.installComponents(0, openCv, false), 1);
    expectRows(page, 0, openCv, status::Installed);
    auto runtime = components::getRuntimeFolder(machine);
    ASSERT_TRUE(runtime);
    leftovers.folders.push_back(runtime->substr(0, runtime->find_last_not_of('\\') + 1));
    const std::string pythonFolder = registryDefault("Software\\Python\\PythonCore\\2.6\\InstallPath");
    if (!pythonFolder.empty()) leftovers.folders.push_back(pythonFolder.substr(0, pythonFolder.find_last_not_of('\\') + 1));
    const std::string module = *runtime + "OpenCV246";
    EXPECT_TRUE(pathPresent(module + "\\Python\\cv2.pyd"));
    // The module's binding replaced the Runtime's own.
    const std::string binding = *runtime + "Python\\cv2.pyd";
    EXPECT_EQ(readRaw(binding), readRaw(module + "\\Python\\cv2.pyd"));
    DWORD type = 0;
    std::string path = SystemPathGuard::text(type);
    EXPECT_EQ(type, DWORD(REG_EXPAND_SZ));
    EXPECT_EQ(occurrences(platform_test::lower(path), platform_test::lower(module)), 1u) << path;

    EXPECT_EQ(page.manager.uninstallComponents(openCv, openCv), 1);
    expectRows(page, openCv, openCv, status::NotInstalled);
    EXPECT_FALSE(pathPresent(module));
    // The older binding is back, and the PATH entry stays (removals never take PATH entries away).
    EXPECT_EQ(readRaw(binding), readRaw(*runtime + "Python\\OpenCV2_4_3OrOlder\\cv2.pyd"));
    EXPECT_EQ(occurrences(platform_test::lower(SystemPathGuard::text(type)), platform_test::lower(module)), 1u);
    EXPECT_EQ(page.action(runtimeRow), action::Idle) << "only the range is marked";

    // The rest through their own rules, packages before their Python.
    EXPECT_EQ(page.manager.uninstallComponents(0, runtimeRow), 1);
    expectRows(page, 0, runtimeRow, status::NotInstalled);
    EXPECT_FALSE(components::msiRegistered(machine, RuntimeCode));

    user.stop();
    EXPECT_TRUE(user.workerBoxes().empty()) << user.workerBoxes().front();
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front();
}

TEST_F(OperationCycles, OpcScoutWaitsForTheSetupsCleanUpAndLeavesBySplitCommand) {
    leftovers = {{}, {"OPC CLIENT"}, standInFolders("OPC Scout"), {}};
    ASSERT_NO_FATAL_FAILURE(prepare({"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)"}, false));
    RealPage page(vendor, {"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)"}, false, ui);
    ScreenUser user;

    EXPECT_EQ(page.manager.installComponents(0, 0, false), 1);
    // The install step ended only after the setup's clean-up program had come and gone.
    EXPECT_TRUE(user.sawProgramWait()) << "no wait box for the clean-up program";
    const std::string utilities = page.appFolder() + "\\_OrvantaInstallData\\Utilities";
    std::vector<std::string> left;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((utilities + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (lstrcmpA(found.cFileName, ".") && lstrcmpA(found.cFileName, "..")) left.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(left, std::vector<std::string>{page.row(0).fileName}) << "the unpack folder stays behind";
    EXPECT_FALSE(processNamed(machine, "_isdel.exe"));
    expectRows(page, 0, 0, status::Installed);

    EXPECT_EQ(page.manager.uninstallComponents(0, 0), 1);
    expectRows(page, 0, 0, status::NotInstalled);
    EXPECT_FALSE(uninstallKeyPresent("OPC CLIENT"));

    user.stop();
    EXPECT_TRUE(user.workerBoxes().empty()) << user.workerBoxes().front();
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front();
}

// ---- a list download with a file missing on the server -------------------------------------------------------

namespace {

const char* const PresentFirst = "PerformanceTest 8.0";
const char* const Missing = "pywin32-218.win32-py2.6";
const char* const PresentLast = "numpy-1.8.1-python2.6";

struct DownloadCase {
    const char* label;
    std::vector<const char*> rows;     // the list, in order
    std::vector<const char*> missing;  // rows whose file the server does not have
    int button;                        // the answer in the error dialog
    int result;
    std::vector<const char*> actions;  // per row afterwards
    std::size_t dialogs;               // error dialogs shown
    unsigned char ignoreAll;           // the caller's byte afterwards
};

void PrintTo(const DownloadCase& c, std::ostream* out) { *out << c.label; }

const std::string NotFound = "Error. Unable to download file - Server responded with HTTP error - 404";

// clang-format off
const DownloadCase DownloadCases[] = {
    // The file is put in place before Retry: the same row is fetched again and the list goes on.
    {"Retry", {PresentFirst, Missing, PresentLast}, {Missing}, IDC_DLERR_RETRY, 1,
     {"Downloaded", "Downloaded", "Downloaded"}, 1, 0},
    {"Ignore", {PresentFirst, Missing, PresentLast}, {Missing}, IDC_DLERR_IGNORE, 1,
     {"Downloaded", "Download Error", "Downloaded"}, 1, 0},
    // The second failure passes without a dialog.
    {"IgnoreAll", {Missing, PresentLast, PresentFirst}, {Missing, PresentLast}, IDC_DLERR_IGNORE_ALL, 1,
     {"Download Error", "Download Error", "Downloaded"}, 1, 1},
    {"Quit", {PresentFirst, Missing, PresentLast}, {Missing}, IDC_DLERR_QUIT, -1,
     {"Downloaded", "Download Error", "Pending"}, 1, 0},
};
// clang-format on

class DownloadListErrors : public ::testing::TestWithParam<DownloadCase> {
protected:
    void SetUp() override {
        if (!vendor.available()) GTEST_SKIP() << "no vendor server or fixtures (run under run-with-server.sh)";
    }
    VendorTree vendor;
    ScriptedUi ui;
};

}  // namespace

TEST_P(DownloadListErrors, ErrorDialogAnswerDecidesHowTheListGoesOn) {
    const DownloadCase& c = GetParam();
    std::vector<std::string> names(c.rows.begin(), c.rows.end());
    for (const std::string& name : names) {
        auto row = catalogueRow(name, false);
        ASSERT_TRUE(row);
        bool missing = false;
        for (const char* m : c.missing) missing = missing || name == m;
        if (missing)
            vendor.withdraw(*row);
        else
            ASSERT_TRUE(vendor.publish(*row));
    }
    RealPage page(vendor, names, false, ui);
    const components::CatalogueRow firstMissing = *catalogueRow(c.missing.front(), false);

    std::vector<int> list;
    for (int i = 0; i < int(names.size()); ++i) list.push_back(i);
    unsigned char ignoreAll = 0;
    int result;
    std::vector<std::string> workerBoxes, errorDialogs;
    {
        // Before Retry the file is put on the server, so that the second try finds it.
        std::function<void()> before;
        if (c.button == IDC_DLERR_RETRY) before = [&] { vendor.publish(firstMissing); };
        ScreenUser user({{c.button, before}});
        result = page.manager.downloadComponentList(list.data(), int(list.size()), true, &ignoreAll);
        user.stop();
        workerBoxes = user.workerBoxes();
        errorDialogs = user.errorDialogs();
    }
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(ignoreAll, c.ignoreAll);
    ASSERT_EQ(errorDialogs.size(), c.dialogs);
    EXPECT_EQ(errorDialogs.front(), "Error - Unable to download the component '" + std::string(firstMissing.fileName) + "'");
    // Every failed fetch told the user, the silently passed one too.
    const std::size_t failures = c.button == IDC_DLERR_IGNORE_ALL ? c.missing.size() : 1;
    EXPECT_EQ(workerBoxes, std::vector<std::string>(failures, NotFound));
    for (int i = 0; i < int(names.size()); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(page.action(i), c.actions[i]);
        const bool downloaded = page.action(i) == action::Downloaded;
        EXPECT_EQ(pathPresent(page.downloaded(i)), downloaded);
        if (downloaded) {
            EXPECT_EQ(readRaw(page.downloaded(i)), readRaw(vendor.fixturePath(page.row(i))));
        }
    }
    const std::string report = "Successfully downloaded the files.\nDownload directory - " + page.appFolder() +
                               "\\_OrvantaInstallData";
    EXPECT_EQ(ui.shown, c.result == 1 ? std::vector<std::string>{report} : std::vector<std::string>{});

    if (c.ignoreAll) {
        // The same byte keeps the next list quiet as well.
        ScreenUser user;
        const int again[] = {0};
        EXPECT_EQ(page.manager.downloadComponentList(again, 1, false, &ignoreAll), 1);
        user.stop();
        EXPECT_TRUE(user.errorDialogs().empty());
        EXPECT_EQ(page.action(0), action::DownloadError);
    }
}

INSTANTIATE_TEST_SUITE_P(OperationCycles, DownloadListErrors, ::testing::ValuesIn(DownloadCases),
                         [](const ::testing::TestParamInfo<DownloadCase>& info) { return std::string(info.param.label); });

// Start-up of the application object: its folder, the write test and the single-instance rule.
#include <gtest/gtest.h>

#include "app/AppTexts.h"
#include "app/InstallerApp.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"

using namespace platform;
using platform::fake::FakeMachine;

namespace {

struct RecordingShell : ApplicationShell {
    uintptr_t startGraphics() override {
        calls.push_back("startGraphics");
        return 77;
    }
    void stopGraphics(uintptr_t token) override { calls.push_back("stopGraphics " + std::to_string(token)); }
    void registerControlClasses() override { calls.push_back("registerControlClasses"); }
    void runWizard() override { calls.push_back("runWizard"); }
    std::vector<std::string> calls;
};

const std::string kRelease = apptexts::ReleaseFileName;

}  // namespace

TEST(InstallerApp, FolderOfPathCutsAtTheLastSeparatorOfEitherKind) {
    struct Case {
        const char* path;
        const char* folder;
    } cases[] = {
        {"C:\\Setup\\Installer.exe", "C:\\Setup"},
        {"C:\\Setup/Sub/Installer.exe", "C:\\Setup/Sub"},
        {"C:/a\\b/c.exe", "C:/a\\b"},
        {"Installer.exe", "Installer.exe"},
        {"\\Installer.exe", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(COrvantaLumetraSDKInstallerApp::folderOfPath(c.path), c.folder) << c.path;
}

TEST(InstallerApp, ConstructionFindsTheFolderTestsItAndStartsGraphics) {
    FakeMachine m;
    m.files.addFolder("C:\\Vision\\Setup");
    m.environment.exePath = "C:\\Vision\\Setup\\" + kRelease;
    RecordingUi ui;
    RecordingShell shell;
    {
        COrvantaLumetraSDKInstallerApp app(m, ui, shell);
        EXPECT_EQ(app.appFolder(), "C:\\Vision\\Setup");
        EXPECT_TRUE(app.folderWritable());
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_FALSE(m.files.exists("C:\\Vision\\Setup\\testFile.txt"));
        EXPECT_EQ(app.ExitInstance(), 0);
    }
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"startGraphics", "stopGraphics 77"}));
}

TEST(InstallerApp, LeftoverReadOnlyTestFileIsRemovedAndNeverLeftBehind) {
    FakeMachine m;
    m.files.addFile("C:\\Setup\\testFile.txt", "from a crash", attr::ReadOnly);
    EXPECT_TRUE(COrvantaLumetraSDKInstallerApp::writeTest(m, "C:\\Setup"));
    EXPECT_FALSE(m.files.exists("C:\\Setup\\testFile.txt"));
}

TEST(InstallerApp, WriteProtectedOrMissingFolderIsNotWritable) {
    FakeMachine m;
    m.files.writeProtect("D:\\CdRom");
    EXPECT_FALSE(COrvantaLumetraSDKInstallerApp::writeTest(m, "D:\\CdRom"));
    EXPECT_FALSE(COrvantaLumetraSDKInstallerApp::writeTest(m, "C:\\Missing"));
    EXPECT_EQ(m.files.tree("D:\\CdRom"), (std::vector<std::string>{"D:\\CdRom"}));
}

TEST(InstallerApp, NoExecutablePathShowsTheMessageAndWritesNothing) {
    FakeMachine m;
    m.environment.exePath.reset();
    RecordingUi ui;
    RecordingShell shell;
    COrvantaLumetraSDKInstallerApp app(m, ui, shell);
    EXPECT_EQ(app.appFolder(), "");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Unexpected Error. Unable to get the application path.\nSome of the features may not be available.");
    EXPECT_EQ(ui.messages[0].caption, "Orvanta Lumetra SDK Version X 10.2.1.578 Installer");
    EXPECT_FALSE(app.folderWritable());
    // Only the run log is written, and it goes to the user's temporary folder.
    for (auto& line : m.files.journal) EXPECT_NE(line.find("C:\\users\\admin\\Temp\\"), std::string::npos) << line;
    m.files.journal.clear();
    EXPECT_FALSE(COrvantaLumetraSDKInstallerApp::writeTest(m, ""));
    EXPECT_EQ(m.files.journal.size(), 0u);
}

TEST(InstallerApp, CountsProcessesByTheReleaseNameOnly) {
    struct Case {
        std::vector<std::string> running;
        int expected;
    } cases[] = {
        {{"C:\\a\\" + kRelease}, 1},
        {{"C:\\a\\" + kRelease, "D:\\b\\ORVANTALUMETRASDK_10_2_1_578_INSTALLER_140411.EXE"}, 2},
        {{"C:\\a\\" + kRelease, "C:\\a\\Copy of installer.exe", "C:\\windows\\explorer.exe"}, 1},
        {{}, 0},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        for (auto& p : c.running) m.processes.addRunning(p);
        RecordingUi ui;
        RecordingShell shell;
        COrvantaLumetraSDKInstallerApp app(m, ui, shell);
        EXPECT_EQ(app.countInstances(), c.expected);
    }
}

TEST(InstallerApp, OnlyTheFirst1024ProcessIdentifiersAreExamined) {
    FakeMachine m;
    for (int i = 0; i < 1024; ++i) m.processes.addRunning("C:\\windows\\svc" + std::to_string(i) + ".exe");
    m.processes.addRunning("C:\\a\\" + kRelease);
    m.processes.addRunning("C:\\b\\" + kRelease);
    RecordingUi ui;
    RecordingShell shell;
    COrvantaLumetraSDKInstallerApp app(m, ui, shell);
    EXPECT_EQ(app.countInstances(), 0);
}

TEST(InstallerApp, SecondInstanceIsRefusedWithoutTheWizard) {
    FakeMachine m;
    m.processes.addRunning("C:\\a\\" + kRelease);
    m.processes.addRunning("C:\\b\\" + kRelease);
    RecordingUi ui;
    RecordingShell shell;
    COrvantaLumetraSDKInstallerApp app(m, ui, shell);
    EXPECT_FALSE(app.InitInstance());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Error: Another instance of the installer is already running. Unable to load the second instance.\n\n"
              "Please close all other instances of the installer application and try again.\n\n");
    EXPECT_EQ(ui.messages[0].caption, "Orvanta Lumetra SDK Version X 10.2.1.578 Installer");
    EXPECT_EQ(std::count(shell.calls.begin(), shell.calls.end(), "runWizard"), 0);
}

TEST(InstallerApp, LoneInstanceOrFailedEnumerationRunsTheWizard) {
    struct Case {
        int running;
        bool enumerationFails;
    } cases[] = {{1, false}, {2, true}};
    for (const Case& c : cases) {
        FakeMachine m;
        for (int i = 0; i < c.running; ++i) m.processes.addRunning("C:\\a" + std::to_string(i) + "\\" + kRelease);
        m.processes.failEnumeration(c.enumerationFails);
        RecordingUi ui;
        RecordingShell shell;
        COrvantaLumetraSDKInstallerApp app(m, ui, shell);
        EXPECT_FALSE(app.InitInstance());
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(std::count(shell.calls.begin(), shell.calls.end(), "runWizard"), 1) << c.running;
    }
}

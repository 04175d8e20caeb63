// The welcome page on the in-memory machine: its texts and buttons, the version selector built from the
// installer copies, tidying up copies left beside the installer, switching to another version, Delete Copy,
// Browse Installers, the display warning and the new-version indicator.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "PageFixture.h"
#include "app/AppTexts.h"
#include "pages/welcome/InstallerCopies.h"
#include "pages/welcome/WelcomePage.h"
#include "pages/welcome/WelcomePageRes.h"
#include "pages/welcome/WelcomeTexts.h"
#include "wizard/InstallerSheet.h"

namespace {

using pagetest::PageBench;

const std::string App = "C:\\Installer";
const std::string Copies = App + "\\_OrvantaInstallers";
const std::string Data = App + "\\_OrvantaInstallData";
const std::string Running = App + "\\OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe";
const std::string Title = "Orvanta Lumetra SDK Version X 10.2.1.578 Installer";

constexpr uint32_t PrivateBuildFlag = 0x08;

// The window work only the welcome page asks for.
class RecordingWelcomeWindow : public WelcomeWindow {
public:
    explicit RecordingWelcomeWindow(RecordingPageView& view) : view_(view) {}
    void createNewVersionIndicator() override { ++indicatorsCreated; }
    void showNewVersionIndicator(bool shown, const std::string& text) override {
        indicatorShown = shown;
        linkText = text;
    }
    void clearCombo(int id) override {
        view_.combos[id].clear();
        view_.comboSelected.erase(id);
    }
    void closeWizard() override { ++closeRequests; }

    int indicatorsCreated = 0;
    std::optional<bool> indicatorShown;
    std::string linkText;
    int closeRequests = 0;

private:
    RecordingPageView& view_;
};

// An installer program: the file and its version resource (version a.b.c.d, optionally a private build).
struct Version {
    uint16_t a, b, c, d;
    std::optional<std::string> privateBuild;  // flagged as a private build with this text
};

class WelcomeBench : public PageBench {
public:
    WelcomeBench() : window(view) {
        m.environment.exePath = Running;
        m.files.addFolder(App);
    }

    void putProgram(const std::string& path, std::optional<Version> version, const std::string& content = "program") {
        m.files.addFile(path, content);
        if (!version) return;
        platform::fake::FakeVersionResources::Resource resource;
        resource.fixed.fileVersionMS = (uint32_t(version->a) << 16) | version->b;
        resource.fixed.fileVersionLS = (uint32_t(version->c) << 16) | version->d;
        resource.fixed.fileFlagsMask = 0x3F;
        resource.translations = {(0x0409u << 16) | 1200u};
        if (version->privateBuild) {
            resource.fixed.fileFlags = PrivateBuildFlag;
            resource.strings["\\StringFileInfo\\040904b0\\PrivateBuild"] = *version->privateBuild;
        }
        m.versions.set(path, resource);
    }

    std::unique_ptr<ovDInstallWelcomeBase> openPage() {
        auto page = std::make_unique<ovDInstallWelcomeBase>(env(), "title");
        page->attachWindow(&window);
        page->attachView(&view);
        page->onInitDialog();
        return page;
    }

    std::vector<std::string> entries() { return view.combos[IDC_WELCOME_VERSION]; }
    std::string selected() { return view.comboSelection(IDC_WELCOME_VERSION).value_or("<none>"); }
    void pick(ovDInstallWelcomeBase& page, const std::string& entry) {
        view.pick(IDC_WELCOME_VERSION, entry);
        page.onCommand(IDC_WELCOME_VERSION);
    }
    bool shown(int id) { return !view.shownState.count(id) || view.shownState.at(id); }

    RecordingWelcomeWindow window;
};

class Welcome : public ::testing::Test, public WelcomeBench {};

// ---------------------------------------------------------------------------------------------------------
// Texts and buttons

TEST_F(Welcome, ShowsItsTextsAndPlacesItsThreeButtonsInTheBottomStrip) {
    putProgram(Running, Version{10, 2, 1, 578, std::nullopt});
    auto page = openPage();
    EXPECT_EQ(page->pageName(), "Welcome");
    EXPECT_EQ(page->headerText(), "Welcome to Orvanta Lumetra Version X 10.2.1.578 SDK System Management");
    EXPECT_EQ(view.text(IDC_WELCOME_HEADING), "Welcome to the " + Title + ".");
    const std::string text = view.text(IDC_WELCOME_TEXT);
    EXPECT_EQ(text.rfind("This application will help you in installing and managing all the components associated "
                         "with the Orvanta Lumetra Version X 10.2.1.578 SDK System, on this computer.\n\nThis "
                         "application will also assist you in quickly getting started with the Orvanta Lumetra "
                         "Version X 10.2.1.578 SDK by\n=> Providing access",
                         0),
              0u)
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 9);
    EXPECT_NE(text.find("=> Suggesting the optional Orvanta Extensions, Orvanta Modules and Utility Softwares\n"),
              std::string::npos);
    EXPECT_EQ(view.text(IDC_WELCOME_STATUS_BAR), "Please click on the 'Next' button to proceed.");
    EXPECT_EQ(view.text(IDC_WELCOME_VERSION_LABEL), "Select Installer Version:");
    EXPECT_NE(view.text(IDC_WELCOME_STATUS_HINT).find("status area available at the bottom"), std::string::npos);

    struct Expected {
        int id;
        wizard::PageImage image;
        int x;
        const char* tip;
    };
    for (const Expected& e : {Expected{IDC_WELCOME_CREATE_COPY, wizard::PageImage::Change, 628, "Create Installer Copy"},
                              Expected{IDC_WELCOME_DELETE_COPY, wizard::PageImage::Install, 662, "Delete Copy"},
                              Expected{IDC_WELCOME_BROWSE, wizard::PageImage::Browse, 696, "Browse Installer Files"}}) {
        ASSERT_TRUE(view.placed.count(e.id)) << e.tip;
        EXPECT_EQ(view.placed[e.id].image, e.image) << e.tip;
        EXPECT_EQ(view.placed[e.id].x, e.x) << e.tip;
        EXPECT_EQ(view.placed[e.id].tooltip, e.tip);
    }
    EXPECT_EQ(window.indicatorsCreated, 1);

    ASSERT_TRUE(page->onSetActive());
    EXPECT_FALSE(view.back);
    EXPECT_TRUE(view.next);
    EXPECT_EQ(view.cancelText, "Cancel");
}

// ---------------------------------------------------------------------------------------------------------
// The version selector

TEST_F(Welcome, SelectorListsTheRunningInstallerFirstThenEveryQualifyingCopy) {
    struct Case {
        const char* what;
        std::optional<Version> running;
        std::string runningEntry;
    };
    const Case cases[] = {
        {"no private build: brackets stay", Version{10, 2, 1, 578, std::nullopt}, "10.2.1.578 ()"},
        {"private build", Version{10, 2, 1, 578, std::string("Lab 7")}, "10.2.1.578 (Lab 7)"},
        {"no version resource", std::nullopt, "Currently used version"},
        {"private build flagged but unreadable", Version{10, 2, 1, 578, std::string()}, "Currently used version"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PageBench bench;
        bench.m.environment.exePath = Running;
        RecordingWelcomeWindow w(bench.view);
        auto put = [&](const std::string& path, std::optional<Version> v) {
            bench.m.files.addFile(path, "program");
            if (!v) return;
            platform::fake::FakeVersionResources::Resource r;
            r.fixed.fileVersionMS = (uint32_t(v->a) << 16) | v->b;
            r.fixed.fileVersionLS = (uint32_t(v->c) << 16) | v->d;
            r.fixed.fileFlagsMask = 0x3F;
            r.translations = {(0x0409u << 16) | 1200u};
            if (v->privateBuild) {
                r.fixed.fileFlags = PrivateBuildFlag;
                if (!v->privateBuild->empty()) r.strings["\\StringFileInfo\\040904b0\\PrivateBuild"] = *v->privateBuild;
            }
            bench.m.versions.set(path, r);
        };
        put(Running, c.running);
        put(Copies + "\\OrvantaLumetraSDK_10_1_0_400_Installer_130101.exe", Version{10, 1, 0, 400, std::string("beta")});
        put(Copies + "\\OrvantaLumetraSDK_10_0_0_100_Installer_120101.exe", Version{10, 0, 0, 100, std::nullopt});
        put(Copies + "\\orvantalumetrasdk_9_0_0_1_Installer_110101.exe", Version{9, 0, 0, 1, std::nullopt});
        put(Copies + "\\OrvantaLumetraSDK_9_0_0_2_Setup.exe", Version{9, 0, 0, 2, std::nullopt});
        put(Copies + "\\OrvantaLumetraSDK_9_0_0_3_installer.exe", Version{9, 0, 0, 3, std::nullopt});
        put(Copies + "\\OrvantaLumetraSDK_9_0_0_4_Installer_nores.exe", std::nullopt);
        put(Copies + "\\OrvantaLumetraSDK_9_0_0_5_Installer_flagged.exe", Version{9, 0, 0, 5, std::string()});
        put(Copies + "\\OrvantaLumetraSDK_9_0_0_6_Installer.txt", Version{9, 0, 0, 6, std::nullopt});
        bench.m.files.addFolder(Copies + "\\OrvantaLumetraSDK_9_0_0_7_Installer.exe");

        auto page = std::make_unique<ovDInstallWelcomeBase>(bench.env(), "title");
        page->attachWindow(&w);
        page->attachView(&bench.view);
        page->onInitDialog();
        page->onSetActive();
        std::vector<std::string> got = bench.view.combos[IDC_WELCOME_VERSION];
        ASSERT_FALSE(got.empty());
        EXPECT_EQ(got.front(), c.runningEntry);
        std::vector<std::string> copies(got.begin() + 1, got.end());
        std::sort(copies.begin(), copies.end());  // the folder's enumeration order is the file system's
        EXPECT_EQ(copies, (std::vector<std::string>{"10.0.0.100", "10.1.0.400 (beta)"}));
        EXPECT_EQ(page->currentVersionEntry(), c.runningEntry);
        EXPECT_EQ(bench.view.comboSelection(IDC_WELCOME_VERSION).value_or(""), c.runningEntry);

        // A second activation fills the list anew rather than appending to it.
        page->onSetActive();
        EXPECT_EQ(bench.view.combos[IDC_WELCOME_VERSION].size(), 3u);
    }
}

TEST_F(Welcome, VersionLabelsComeFromTheFixedFileVersionAndTheFirstTranslation) {
    const std::string path = App + "\\x.exe";
    m.files.addFile(path);
    platform::fake::FakeVersionResources::Resource r;
    r.fixed.fileVersionMS = 0x000A0002;
    r.fixed.fileVersionLS = 0xFFFF0001;
    r.fixed.fileFlagsMask = PrivateBuildFlag;
    r.fixed.fileFlags = PrivateBuildFlag | 0x01;
    r.translations = {(0x0407u << 16) | 0x04E4u, (0x0409u << 16) | 1200u};
    r.strings["\\StringFileInfo\\040704e4\\PrivateBuild"] = "Werk";
    r.strings["\\StringFileInfo\\040904b0\\PrivateBuild"] = "Works";
    m.versions.set(path, r);
    auto label = welcome::readVersionLabel(m.versions, path);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->version, "10.2.65535.1");
    EXPECT_EQ(label->privateBuild, "Werk");

    // The flag counts only where the mask lets it through.
    r.fixed.fileFlagsMask = 0x01;
    m.versions.set(path, r);
    label = welcome::readVersionLabel(m.versions, path);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->privateBuild, "");

    // Flagged without a translation: no label at all.
    r.fixed.fileFlagsMask = 0x3F;
    r.translations.clear();
    m.versions.set(path, r);
    EXPECT_FALSE(welcome::readVersionLabel(m.versions, path));
}

TEST_F(Welcome, InstallerNamesFollowTheCaseSensitivePattern) {
    struct Case {
        const char* name;
        bool installer;
    };
    for (const Case& c : {Case{"OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe", true},
                          Case{"OrvantaLumetraSDKInstaller.EXE", true},
                          Case{"orvantalumetrasdk_10_2_1_578_Installer_140411.exe", false},
                          Case{"OrvantaLumetraSDK_10_2_1_578_installer_140411.exe", false},
                          Case{"OrvantaLumetraSDK_10_2_1_578_140411.exe", false},
                          Case{"My_OrvantaLumetraSDK_Installer.exe", false},
                          Case{"OrvantaLumetraSDK_Installer.exe.txt", false}})
        EXPECT_EQ(welcome::isInstallerName(c.name), c.installer) << c.name;
}

// ---------------------------------------------------------------------------------------------------------
// The read-only folder

TEST_F(Welcome, ReadOnlyFolderHidesTheSelectorAndCopyButtonsAndMovesNothing) {
    putProgram(Running, Version{10, 2, 1, 578, std::nullopt});
    const std::string beside = App + "\\OrvantaLumetraSDK_10_1_0_400_Installer_130101.exe";
    putProgram(beside, Version{10, 1, 0, 400, std::nullopt});
    env().folderWritable = false;
    auto page = openPage();
    page->onSetActive();
    for (int id : {IDC_WELCOME_VERSION, IDC_WELCOME_VERSION_LABEL, IDC_WELCOME_CREATE_COPY, IDC_WELCOME_DELETE_COPY})
        EXPECT_FALSE(shown(id)) << id;
    EXPECT_TRUE(shown(IDC_WELCOME_BROWSE));
    EXPECT_TRUE(m.files.exists(beside));
    EXPECT_FALSE(m.files.exists(Copies));
    EXPECT_TRUE(entries().empty());
    EXPECT_TRUE(dialogs.of("pleaseWait").empty());

    // Writable again: everything shows.
    env().folderWritable = true;
    page->onSetActive();
    for (int id : {IDC_WELCOME_VERSION, IDC_WELCOME_VERSION_LABEL, IDC_WELCOME_CREATE_COPY, IDC_WELCOME_DELETE_COPY,
                   IDC_WELCOME_BROWSE})
        EXPECT_TRUE(shown(id)) << id;
}

// ---------------------------------------------------------------------------------------------------------
// Tidying up copies beside the installer

TEST_F(Welcome, CopiesBesideTheInstallerMoveIntoTheCopiesFolderAfterOnePause) {
    putProgram(Running, Version{10, 2, 1, 578, std::nullopt});
    const std::string older = "OrvantaLumetraSDK_10_1_0_400_Installer_130101.exe";
    const std::string oldest = "OrvantaLumetraSDK_10_0_0_100_Installer_120101.exe";
    putProgram(App + "\\" + older, Version{10, 1, 0, 400, std::nullopt});
    putProgram(App + "\\" + oldest, Version{10, 0, 0, 100, std::string("rc")});
    const std::string lower = App + "\\orvantalumetrasdk_9_0_0_1_Installer.exe";
    const std::string noMarker = App + "\\OrvantaLumetraSDK_9_0_0_2_Setup.exe";
    const std::string noResource = App + "\\OrvantaLumetraSDK_9_0_0_3_Installer.exe";
    putProgram(lower, Version{9, 0, 0, 1, std::nullopt});
    putProgram(noMarker, Version{9, 0, 0, 2, std::nullopt});
    putProgram(noResource, std::nullopt);
    // The copies keep their resources where they land (the fake keeps resources by path).
    putProgram(Copies + "\\" + older, Version{10, 1, 0, 400, std::nullopt});
    putProgram(Copies + "\\" + oldest, Version{10, 0, 0, 100, std::string("rc")});
    m.files.deleteFile(Copies + "\\" + older);
    m.files.deleteFile(Copies + "\\" + oldest);
    m.files.removeFolder(Copies);
    ASSERT_FALSE(m.files.exists(Copies));

    int openWhileSleeping = -1;
    m.clock.onSleep = [&](uint32_t) { openWhileSleeping = dialogs.pleaseWaitOpen; };
    auto page = openPage();
    page->onSetActive();

    EXPECT_TRUE(m.files.isFolder(Copies));
    for (const std::string& name : {older, oldest}) {
        EXPECT_FALSE(m.files.exists(App + "\\" + name)) << name;
        EXPECT_TRUE(m.files.exists(Copies + "\\" + name)) << name;
    }
    for (const std::string& stays : {Running, lower, noMarker, noResource}) EXPECT_TRUE(m.files.exists(stays)) << stays;
    EXPECT_EQ(dialogs.of("pleaseWait").size(), 1u) << "one pause for the whole pass";
    EXPECT_EQ(m.clock.sleeps, (std::vector<uint32_t>{5000}));
    EXPECT_EQ(openWhileSleeping, 1) << "the box stands during the pause";
    EXPECT_EQ(dialogs.pleaseWaitOpen, 0) << "and is closed afterwards";
    const std::vector<std::string> listed = entries();
    ASSERT_EQ(listed.size(), 3u);
    std::vector<std::string> copies(listed.begin() + 1, listed.end());
    std::sort(copies.begin(), copies.end());
    EXPECT_EQ(copies, (std::vector<std::string>{"10.0.0.100 (rc)", "10.1.0.400"})) << "the moved copies are listed";

    // Nothing left to move: no pause at the next activation.
    page->onSetActive();
    EXPECT_EQ(dialogs.of("pleaseWait").size(), 1u);
    EXPECT_EQ(m.clock.sleeps.size(), 1u);
}

TEST_F(Welcome, AMoveThatFailsLeavesTheCopyWhereItWas) {
    putProgram(Running, Version{10, 2, 1, 578, std::nullopt});
    const std::string clash = "OrvantaLumetraSDK_10_1_0_400_Installer_130101.exe";
    const std::string blocked = "OrvantaLumetraSDK_10_0_0_100_Installer_120101.exe";
    putProgram(App + "\\" + clash, Version{10, 1, 0, 400, std::nullopt}, "beside");
    putProgram(Copies + "\\" + clash, Version{10, 1, 0, 400, std::nullopt}, "kept");
    putProgram(App + "\\" + blocked, Version{10, 0, 0, 100, std::nullopt}, "blocked");
    m.files.fault = [&](const std::string& op, const std::string& path) {
        return op == "move" && path.find(blocked) != std::string::npos;
    };
    auto page = openPage();
    page->onSetActive();
    EXPECT_EQ(m.files.content(App + "\\" + clash), "beside") << "never replaces a copy";
    EXPECT_EQ(m.files.content(Copies + "\\" + clash), "kept");
    EXPECT_EQ(m.files.content(App + "\\" + blocked), "blocked");
    EXPECT_FALSE(m.files.exists(Copies + "\\" + blocked));
    EXPECT_EQ(m.files.content(Running), "program");
    EXPECT_TRUE(ui.messages.empty()) << "a failed move is silent";
}

// ---------------------------------------------------------------------------------------------------------
// Switching versions

// A running installer 10.2.1.578 and one copy 10.1.0.400 (beta), the page activated once.
class SwitchingBench : public WelcomeBench {
public:
    SwitchingBench() {
        putProgram(Running, Version{10, 2, 1, 578, std::nullopt});
        putProgram(Copies + "\\" + Older, Version{10, 1, 0, 400, std::string("beta")}, "older");
        page = openPage();
        page->onSetActive();
    }
    static constexpr const char* Older = "OrvantaLumetraSDK_10_1_0_400_Installer_130101.exe";
    std::unique_ptr<ovDInstallWelcomeBase> page;
};

class Switching : public ::testing::Test, public SwitchingBench {};

TEST_F(Switching, ToACopyStartsItFromTheInstallerFolderAndClosesTheWizard) {
    // The resource travels with the file.
    putProgram(App + "\\" + Older, Version{10, 1, 0, 400, std::string("beta")}, "placeholder");
    m.files.deleteFile(App + "\\" + Older);
    pick(*page, "10.1.0.400 (beta)");
    EXPECT_FALSE(m.files.exists(Copies + "\\" + Older));
    EXPECT_EQ(m.files.content(App + "\\" + Older), "older");
    ASSERT_EQ(m.processes.shellCalls.size(), 1u);
    EXPECT_EQ(m.processes.shellCalls[0].verb, "open");
    EXPECT_EQ(m.processes.shellCalls[0].file, App + "\\" + Older);
    EXPECT_EQ(m.processes.shellCalls[0].parameters, "");
    EXPECT_EQ(m.processes.shellCalls[0].directory, App);
    EXPECT_EQ(window.closeRequests, 1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(m.files.content(Running), "program") << "the running installer stays until the new one moves it";
}

TEST_F(Switching, FailuresTellThePersonAndReturnToTheRunningInstallersEntry) {
    struct Case {
        const char* what;
        std::function<void(WelcomeBench&)> arrange;
        std::string message;
        bool copyStaysInCopies;
    };
    const Case cases[] = {
        {"the copy was deleted meanwhile",
         [](WelcomeBench& t) { t.m.files.deleteFile(Copies + "\\" + Older); },
         "Error: Unable to switch to the selected installer. Please try again.", false},
        {"the move fails",
         [](WelcomeBench& t) { t.m.files.fault = [](const std::string& op, const std::string&) { return op == "move"; }; },
         "Error: Unable to copy the selected installer file. Please try again.", true},
        {"the launch fails",
         [](WelcomeBench& t) {
             t.m.processes.onShellOpen(App + "\\" + Older, [](platform::fake::FakeMachine&, const std::string&) { return 5u; });
         },
         "Unable to launch the selected installer. Error code - 5", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SwitchingBench t;
        c.arrange(t);
        t.pick(*t.page, "10.1.0.400 (beta)");
        ASSERT_EQ(t.ui.messages.size(), 1u);
        EXPECT_EQ(t.ui.messages[0].text, c.message);
        EXPECT_EQ(t.ui.messages[0].caption, Title);
        EXPECT_EQ(t.selected(), "10.2.1.578 ()");
        EXPECT_EQ(t.window.closeRequests, 0);
        EXPECT_EQ(t.m.files.exists(Copies + "\\" + Older), c.copyStaysInCopies);
        EXPECT_EQ(t.m.files.content(Running), "program");
    }
}

TEST_F(Switching, ARunningInstallerIsNeverReplacedByACopyOfTheSameName) {
    const std::string sameName = Copies + "\\OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe";
    putProgram(sameName, Version{10, 2, 1, 578, std::string("other")}, "same name");
    page->onSetActive();
    pick(*page, "10.2.1.578 (other)");
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Error: Unable to copy the selected installer file. Please try again."}));
    EXPECT_EQ(m.files.content(Running), "program");
    EXPECT_EQ(m.files.content(sameName), "same name");
    EXPECT_EQ(window.closeRequests, 0);
    EXPECT_TRUE(m.processes.shellCalls.empty());
}

TEST_F(Switching, TheRunningEntryNeedsACopyOfItsVersionAndTheUnlabelledEntryDoesNothing) {
    pick(*page, "10.2.1.578 ()");
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Error: Unable to switch to the selected installer. Please try again."}));
    EXPECT_TRUE(m.processes.shellCalls.empty());

    WelcomeBench unlabelled;
    unlabelled.putProgram(Copies + "\\" + Older, Version{10, 1, 0, 400, std::nullopt});
    auto other = unlabelled.openPage();
    other->onSetActive();
    unlabelled.pick(*other, "Currently used version");
    EXPECT_TRUE(unlabelled.ui.messages.empty());
    EXPECT_TRUE(unlabelled.m.processes.shellCalls.empty());
    EXPECT_EQ(unlabelled.window.closeRequests, 0);
}

// ---------------------------------------------------------------------------------------------------------
// Delete Copy and Browse Installers

TEST_F(Welcome, DeleteCopyRemovesTheDataFolderAndTheHelpFilesWithoutAsking) {
    putProgram(Running, Version{10, 2, 1, 578, std::nullopt});
    m.files.addFile(Data + "\\Prerequisites\\vcredist.exe", "x");
    m.files.addFile(Data + "\\Modules\\module.zip", "y");
    auto page = openPage();
    int helpDeletions = 0;
    page->deleteHelpFiles = [&] { ++helpDeletions; };
    page->onCommand(IDC_WELCOME_DELETE_COPY);
    EXPECT_FALSE(m.files.exists(Data));
    EXPECT_EQ(helpDeletions, 1);
    for (const auto& message : ui.messages) EXPECT_NE(message.buttons, ui::Buttons::YesNo) << "no confirmation";
    EXPECT_TRUE(m.files.exists(Running));
}

TEST_F(Welcome, DeleteCopyNeverRemovesTheRunningInstaller) {
    const std::string inside = Data + "\\OrvantaLumetraSDK_10_2_1_578_Installer_140411.exe";
    m.environment.exePath = inside;
    putProgram(inside, Version{10, 2, 1, 578, std::nullopt});
    auto page = openPage();
    page->onCommand(IDC_WELCOME_DELETE_COPY);
    EXPECT_TRUE(m.files.exists(inside));
}

TEST_F(Welcome, BrowseInstallersOpensTheDataFolderAndReportsAFailure) {
    auto page = openPage();
    page->onCommand(IDC_WELCOME_BROWSE);
    EXPECT_TRUE(m.files.isFolder(Data));
    ASSERT_EQ(m.processes.shellCalls.size(), 1u);
    EXPECT_EQ(m.processes.shellCalls[0].verb, "open");
    EXPECT_EQ(m.processes.shellCalls[0].file, Data);
    EXPECT_TRUE(ui.messages.empty());

    m.processes.onShellOpen(Data, [](platform::fake::FakeMachine&, const std::string&) { return 31u; });
    page->onCommand(IDC_WELCOME_BROWSE);
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"Unable to browse the installer files. Error code - 31"}));
    EXPECT_EQ(ui.messages[0].caption, Title);
}

TEST_F(Welcome, CreateInstallerCopyRunsItsHook) {
    auto page = openPage();
    page->onCommand(IDC_WELCOME_CREATE_COPY);  // no hook: nothing happens
    int runs = 0;
    page->createInstallerCopy = [&] { ++runs; };
    page->onCommand(IDC_WELCOME_CREATE_COPY);
    EXPECT_EQ(runs, 1);
}

// ---------------------------------------------------------------------------------------------------------
// The display warning and the new-version indicator

TEST_F(Welcome, DisplayWarningOnceWhenTheScreenIsNot96Dpi) {
    for (int dpi : {96, 120, 144}) {
        SCOPED_TRACE(dpi);
        WelcomeBench t;
        t.m.environment.dpi = dpi;
        auto page = t.openPage();
        page->onSetActive();
        page->onSetActive();
        if (dpi == 96) {
            EXPECT_TRUE(t.ui.messages.empty());
            continue;
        }
        ASSERT_EQ(t.ui.messages.size(), 1u);
        EXPECT_EQ(t.ui.messages[0].caption, "Warning");
        EXPECT_EQ(t.ui.messages[0].text,
                  "Display settings on this computer are not compliant with the '" + Title +
                      "' requirements.\n\nThe installer user interface may look cropped.\n\n\nPlease reset the "
                      "display settings from the 'Control Panel -> Display' console.\nRequired settings for Windows "
                      "XP : 'DPI settings' should be set to 'Normal size (96 DPI)'.\nRequired settings for Windows 7 "
                      ": Display 'size'/scale should be set to '100%'.");
    }
}

TEST_F(Welcome, NewVersionIndicatorFollowsTheCheckAndOpensTheDialog) {
    auto page = openPage();
    std::optional<std::string> latest;
    page->newerVersion = [&] { return latest; };
    page->onSetActive();
    EXPECT_EQ(window.indicatorShown, false);

    latest = "10.3.0.100";
    page->onSetActive();
    EXPECT_EQ(window.indicatorShown, true);
    EXPECT_EQ(window.linkText, "New Installer Version 10.3.0.100 Available");

    int opened = 0;
    page->openNewVersionDialog = [&] { ++opened; };
    page->onNewVersionClicked();
    EXPECT_EQ(opened, 1);
}

// ---------------------------------------------------------------------------------------------------------
// The rows handed over by the sheet

TEST_F(Welcome, HandedOverRowsWriteIntoTheHiddenSinkOnly) {
    std::string name = "shown name", status = "shown status", action = "shown action";
    dvComponentInfo record("Orvanta Runtime", "http://vendor/x/OrvantaRuntime.exe", "OrvantaRuntime.exe", "",
                           Data, false, false, &name, &status, &action, "Runtime");
    status = "shown status";
    name = "shown name";
    auto page = openPage();
    const dvInstallManagerBase* changed = nullptr;
    page->componentsChanged = [&](const dvInstallManagerBase& list) { changed = &list; };
    page->setPageComponents(1, &record);
    ASSERT_EQ(page->rowCount(), 1u);
    EXPECT_EQ(changed, &page->components());
    page->components().component(0).setStatusText("Not Installed");
    EXPECT_EQ(status, "shown status") << "the page's own row is untouched";
    EXPECT_EQ(record.statusLabel(), &status) << "the caller's record keeps its labels";
    page->onSetActive();
    EXPECT_EQ(name, "shown name");
    EXPECT_EQ(status, "shown status");

    page->setPageComponents(0, nullptr);
    EXPECT_EQ(page->rowCount(), 0u);
}

TEST_F(Welcome, TheSheetHandsOverTheRowsOfElevenPagesInItsOrder) {
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    auto& page = static_cast<ovDInstallWelcomeBase&>(sheet.page(0));
    const int order[] = {1, 3, 5, 9, 6, 7, 12, 13, 2, 10, 11};
    std::vector<std::string> expected;
    for (int index : order)
        for (unsigned r = 0; r < sheet.page(index).rowCount(); ++r)
            expected.push_back(sheet.page(index).components().component(r).displayName());
    std::vector<std::string> got;
    for (unsigned r = 0; r < page.rowCount(); ++r) got.push_back(page.components().component(r).displayName());
    EXPECT_GT(got.size(), 40u);
    EXPECT_EQ(got, expected);

    // Status updates through the copies reach none of the other pages' strings.
    const std::string before = sheet.page(5).row(0).status;
    page.components().component(static_cast<unsigned>(sheet.page(1).rowCount() + sheet.page(3).rowCount()))
        .setStatusText("Changed Through The Copy");
    EXPECT_EQ(sheet.page(5).row(0).status, before);
}

}  // namespace

// The wizard's pages and sheet on the in-memory machine, seen through the views they declare: which pages Next
// and Back pass over, which buttons the rows enable, what the status lines and the Cancel label say, and what
// the person is asked and told.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "../components/DetectionMachine.h"
#include "RecordingViews.h"
#include "components/ActionTexts.h"
#include "components/StatusTexts.h"
#include "pages/components/ComponentPageTexts.h"
#include "pages/components/CoreComponentsPage.h"
#include "pages/components/CoreComponentsPageRes.h"
#include "pages/components/PreRequisitesPages.h"
#include "pages/components/PreRequisitesPagesRes.h"
#include "pages/components/UtilitiesPages.h"
#include "pages/components/UtilitiesPagesRes.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"
#include "support/ScriptedDialogs.h"
#include "wizard/InstallerSheet.h"
#include "wizard/WizardIds.h"
#include "wizard/WizardTexts.h"

using namespace detectiontest;
using components::DialogEnd;
namespace status = components::status;

namespace {

const std::string Title = "Orvanta Lumetra SDK Version X 10.2.1.578 Installer";
enum Page { Welcome, Readme, Resources, Prereq, PrereqStatus, Core, Extensions, Tutorials, Complete, Modules,
            ThirdParty, IOSystem, Utilities1, Utilities2 };

class Wizard : public ::testing::Test {
protected:
    Wizard() { m.environment.variables["PROGRAMFILES"] = ProgramFiles; }

    wizard::PageEnvironment& env() {
        if (!environment_)
            environment_.reset(new wizard::PageEnvironment{m, ui, dialogs, "C:\\Installer", writable,
                                                           "http://vendor", is64Bit});
        return *environment_;
    }
    // What an installer or uninstaller does to the machine, by row name.
    void installersRegisterTheirProducts() {
        dialogs.onDownloadAndInstall = [this](const dvComponentInfo& record, const components::DownloadRunFlags&) {
            installed.push_back(record.displayName());
            return DialogEnd::Ok;
        };
    }

    FakeMachine m;
    RecordingUi ui;
    ScriptedDialogs dialogs;
    bool writable = true;
    bool is64Bit = false;
    std::vector<std::string> installed;

private:
    std::unique_ptr<wizard::PageEnvironment> environment_;
};

// ---------------------------------------------------------------------------------------------------------
// The sheet

TEST_F(Wizard, FourteenPagesInOrderWithTheirTitlesAndNames) {
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    const struct {
        const char* title;
        const char* name;
    } expected[] = {
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Welcome to Orvanta Lumetra Version X 10.2.1.578 SDK System Management",
         "Welcome"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Readme Notes", "Readme"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Orvanta Vision Resources", "Resources"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Prerequisite Installation", "Prerequisites"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Prerequisite Installation Status", "Prerequisites"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Core Component Installation", "CoreComponents"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Recommended Orvanta Extensions", "Extensions"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Orvanta Vision Tutorials", "Tutorials"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Installation Complete", "Complete"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Optional Orvanta Modules", "Modules"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - 3rd Party Camera Drivers", "ThirdPartySoftwares"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Orvanta IO System", "IOSystem"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Optional Utility Software 1", "Utilities"},
        {"Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Optional Utility Software 2", "Utilities2"},
    };
    ASSERT_EQ(sheet.pageCount(), 14);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(sheet.page(i).title(), expected[i].title) << i;
        EXPECT_EQ(sheet.page(i).pageName(), expected[i].name) << i;
    }
    EXPECT_EQ(sheet.caption(), Title);
    EXPECT_EQ(sheet.page(Welcome).headerText(),
              "Welcome to Orvanta Lumetra Version X 10.2.1.578 SDK System Management");
}

TEST_F(Wizard, PrerequisitesPageIsPassedOverOnlyWhileEveryPrerequisiteIsInPlace) {
    installEverything(m);
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);

    window.active = Resources;
    EXPECT_EQ(sheet.page(Resources).onWizardNext(), -1) << "the sheet moved, the framework must not";
    EXPECT_EQ(window.active, PrereqStatus);
    EXPECT_EQ(window.view(PrereqStatus).text(IDC_PREREQ_STATUS_LINE), pagetexts::PrerequisitesProceed);
    EXPECT_TRUE(window.view(PrereqStatus).next);

    // Back from the status page passes over the skipped page too.
    EXPECT_EQ(sheet.page(PrereqStatus).onWizardBack(), -1);
    EXPECT_EQ(window.active, Resources);

    // The rule is evaluated at the moment of navigation: a prerequisite gone since makes the page show.
    m.msi.unregisterProduct(components::codes::VcRedist2008);
    sheet.page(Resources).onWizardNext();
    EXPECT_EQ(window.active, Prereq);
    EXPECT_EQ(sheet.page(Prereq).row(1).status, status::NotInstalled) << "the skip test refreshed the rows";
}

TEST_F(Wizard, NavigationByNameJumpsWithoutRunningAnyPagesNext) {
    wizard::ovDLumetraSDKInstallerSheet sheet(env());  // nothing installed: Next on the prerequisites would install
    RecordingSheetView window(sheet);
    sheet.gotoPageByName("Modules");
    EXPECT_EQ(window.active, Modules);
    sheet.gotoPageByName("Welcome");
    EXPECT_EQ(window.active, Welcome);
    sheet.gotoPageByName("modules");  // exact comparison
    sheet.gotoPageByName("Nowhere");
    EXPECT_EQ(window.active, Welcome);
    EXPECT_TRUE(dialogs.opened.empty());
    // Two pages share a name: the first in sheet order wins.
    sheet.gotoPageByName("Prerequisites");
    EXPECT_EQ(window.active, Prereq);
}

TEST_F(Wizard, NextOnTheLastPageAndBackOnTheFirstLetTheFrameworkDecide) {
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);
    window.active = Utilities2;
    EXPECT_EQ(sheet.gotoNextPage(), -1);
    EXPECT_EQ(sheet.page(Utilities2).onWizardNext(), 0);
    window.active = Welcome;
    EXPECT_EQ(sheet.page(Welcome).onWizardBack(), 0);
    EXPECT_TRUE(window.activations.empty());
}

TEST_F(Wizard, ReactivationRunsTheShownPagesActivationAgain) {
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);
    window.activatePage(Utilities1);
    const int before = window.view(Utilities1).buttonRequests;
    registerProduct(m, components::codes::Watchdog, "Orvanta Watchdog - Vivantor 2.0.0.6", "2.0.6");
    sheet.reactivateCurrentPage();
    EXPECT_EQ(window.view(Utilities1).buttonRequests, before + 1);
    EXPECT_EQ(window.view(Utilities1).text(IDC_UTIL_ROW0_STATUS), status::Installed) << "the rows were probed again";
    EXPECT_EQ(window.view(Welcome).buttonRequests, 0) << "only the shown page";
}

TEST_F(Wizard, SdkSelectedFollowsTheSdkProductRegistration) {
    {
        wizard::ovDLumetraSDKInstallerSheet sheet(env());
        EXPECT_FALSE(sheet.sdkSelected());
    }
    registerProduct(m, components::products::LumetraSdk.productCode, "anything", "1.0", platform::MsiContext::UserUnmanaged);
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    EXPECT_TRUE(sheet.sdkSelected()) << "any installation context counts";
}

// ---------------------------------------------------------------------------------------------------------
// Help

TEST_F(Wizard, HelpShowsTheTopicAtOnceWhenTheHelpIsUnpacked) {
    m.files.addFile("C:\\Installer\\_OrvantaInstallData\\_Help\\OrvantaLumetraSDK\\index.htm", "<html>");
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);
    window.active = Core;
    sheet.showHelp();
    EXPECT_TRUE(dialogs.opened.empty()) << "no download";
    ASSERT_EQ(window.helpTopics.size(), 1u);
    EXPECT_EQ(window.helpTopics[0],
              "C:\\Installer\\_OrvantaInstallData\\_Help\\OrvantaLumetraSDK\\index.htm#Page=CoreComponents");
}

TEST_F(Wizard, HelpFailuresShowNoTopic) {
    const std::string archive = "C:\\Installer\\_OrvantaInstallData\\578help.zip";
    const struct {
        const char* name;
        DialogEnd downloadEnd;
        bool leaveDamagedArchive;
        int expected;
        const char* message;
    } cases[] = {
        {"download fails", DialogEnd::Cancel, false, -2, nullptr},
        {"archive damaged", DialogEnd::Ok, true, -3, wizardtexts::UnableToExtractHelp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachine fresh;
        RecordingUi freshUi;
        ScriptedDialogs freshDialogs;
        wizard::PageEnvironment e{fresh, freshUi, freshDialogs, "C:\\Installer", true, "http://vendor", false};
        freshDialogs.onDownloadAndInstall = [&](const dvComponentInfo& record, const components::DownloadRunFlags& f) {
            EXPECT_TRUE(f.downloadOnly);
            EXPECT_EQ(record.displayName(), "578help.zip");
            if (c.leaveDamagedArchive) fresh.files.addFile(archive, "this is not a zip archive");
            return c.downloadEnd;
        };
        wizard::ovDLumetraSDKInstallerSheet sheet(e);
        RecordingSheetView window(sheet);
        unsigned char ignoreAll = 0;
        EXPECT_EQ(sheet.prepareHelpFiles(false, &ignoreAll), c.expected);
        if (c.message) {
            EXPECT_NE(std::find(freshUi.texts().begin(), freshUi.texts().end(), c.message), freshUi.texts().end());
        }
        sheet.showHelp();
        EXPECT_TRUE(window.helpTopics.empty());
    }
}

TEST_F(Wizard, HelpThatCannotBeRemovedIsReportedNotReplaced) {
    const std::string help = "C:\\Installer\\_OrvantaInstallData\\_Help";
    m.files.addFile(help + "\\OrvantaLumetraSDK\\index.htm", "<html>");
    m.files.fault = [](const std::string& op, const std::string& path) {
        return op == "delete" && path.find("index.htm") != std::string::npos;  // the help is open in a viewer
    };
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    unsigned char ignoreAll = 0;
    EXPECT_EQ(sheet.prepareHelpFiles(true, &ignoreAll), -1);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{wizardtexts::UnableToDeleteHelp});
    EXPECT_TRUE(dialogs.opened.empty());
}

// ---------------------------------------------------------------------------------------------------------
// Prerequisites

TEST_F(Wizard, NextOnThePrerequisitesPageInstallsRowsZeroToThreeOnly) {
    installEverything(m);
    m.msi.unregisterProduct(components::codes::VcRedist2008);
    m.msi.setFileVersion("C:\\windows\\system32\\Msi.dll", "2.0.2600.0");  // Windows Installer 3.1 missing
    dialogs.onDownloadAndInstall = [this](const dvComponentInfo& record, const components::DownloadRunFlags&) {
        installed.push_back(record.displayName());
        if (record.displayName() == "MS VC++ 2008 SP1 Redist")
            registerProduct(m, components::codes::VcRedist2008, "Microsoft Visual C++ 2008 Redistributable");
        return DialogEnd::Ok;
    };
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);
    window.activatePage(Prereq);
    EXPECT_EQ(window.view(Prereq).cancelText, "Cancel");
    EXPECT_TRUE(window.view(Prereq).next);

    EXPECT_EQ(sheet.page(Prereq).onWizardNext(), -1);
    EXPECT_EQ(installed, std::vector<std::string>{"MS VC++ 2008 SP1 Redist"}) << "row 4 is never installed here";
    EXPECT_EQ(window.active, PrereqStatus);
    RecordingPageView& status = window.view(PrereqStatus);
    EXPECT_EQ(status.text(IDC_PREREQ_ROW1_STATUS), status::Installed);
    EXPECT_EQ(status.text(IDC_PREREQ_ROW4_STATUS), status::NotInstalled);
    EXPECT_EQ(status.text(IDC_PREREQ_STATUS_LINE), pagetexts::PrerequisitesFailed);
    EXPECT_TRUE(status.back);
    EXPECT_FALSE(status.next);
}

TEST_F(Wizard, UninstallingAPrerequisiteOnTheStatusPageClosesNextAtOnce) {
    installEverything(m);
    dialogs.onUninstall = [this](const dvComponentInfo& record, const components::DownloadRunFlags&) {
        EXPECT_EQ(record.displayName(), "MS VC++ 2008 SP1 Redist");
        m.msi.unregisterProduct(components::codes::VcRedist2008);
        return DialogEnd::Ok;
    };
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);
    window.activatePage(PrereqStatus);
    RecordingPageView& view = window.view(PrereqStatus);
    EXPECT_TRUE(view.next);
    EXPECT_TRUE(view.enabled(IDC_PREREQ_ROW1_UNINSTALL));

    sheet.page(PrereqStatus).onCommand(IDC_PREREQ_ROW1_UNINSTALL);
    EXPECT_FALSE(view.next);
    EXPECT_EQ(view.text(IDC_PREREQ_STATUS_LINE), pagetexts::PrerequisitesFailed);
    EXPECT_FALSE(view.enabled(IDC_PREREQ_ROW1_UNINSTALL));
    EXPECT_TRUE(view.enabled(IDC_PREREQ_ROW0_UNINSTALL));
    sheet.page(PrereqStatus).onWizardBack();
    EXPECT_EQ(window.active, Prereq) << "no longer passed over";
}

TEST_F(Wizard, TheRepairQuestionCoversAllRowsOnTheCorePageAndOneRowOnTheUtilityPages) {
    installEverything(m);
    m.msi.unregisterProduct(components::codes::Watchdog);  // utilities row 0: Not Installed
    m.msi.unregisterProduct(components::products::Runtime.productCode);
    m.msi.unregisterProduct(components::products::LumetraSdk.productCode);
    registerProduct(m, components::products::LumetraSdk.productCode, "Orvanta Lumetra 10.1 SDK");  // core row 1
    m.files.addFile(TavrelFolder + "\\version.txt", "Tavrel 0.9");  // utilities row 1: Version Mismatch
    ui.answers.push_back(ui::Answer::No);
    installersRegisterTheirProducts();
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);

    window.activatePage(Core);
    ASSERT_EQ(sheet.page(Core).row(1).status, status::VersionMismatch);
    sheet.page(Core).onCommand(IDC_CORE_ROW0_INSTALL);
    EXPECT_EQ(ui.messages.size(), 1u) << "the SDK row's problem is asked about when the Runtime is installed";
    EXPECT_TRUE(installed.empty()) << "No installs nothing";

    window.activatePage(Utilities1);
    const std::size_t before = ui.messages.size();  // the page's own warning about Tavrel
    sheet.page(Utilities1).onCommand(IDC_UTIL_ROW0_INSTALL);
    EXPECT_EQ(ui.messages.size(), before) << "only the row itself is checked";
    EXPECT_EQ(installed, std::vector<std::string>{"Orvanta Watchdog - Vivantor 2.0.0.6"});
}

TEST_F(Wizard, PrerequisitePagesPlaceOnlyUninstallButtons) {
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingPageView view;
    sheet.page(Prereq).attachView(&view);
    sheet.page(Prereq).onInitDialog();
    EXPECT_EQ(view.placed.size(), 4u);
    for (int id : {IDC_PREREQ_ROW0_UNINSTALL, IDC_PREREQ_ROW1_UNINSTALL, IDC_PREREQ_ROW2_UNINSTALL}) {
        EXPECT_EQ(view.placed[id].x, 700);
        EXPECT_EQ(view.placed[id].tooltip, "Uninstall");
        EXPECT_EQ(view.placed[id].image, wizard::PageImage::Remove);
    }
    EXPECT_EQ(view.placed[IDC_PREREQ_DOWNLOAD].x, 696);
    EXPECT_EQ(view.placed[IDC_PREREQ_DOWNLOAD].tooltip, "Download Installables");
    EXPECT_EQ(view.text(IDC_PREREQ_ROW3_NAME), "Microsoft .Net 2.0.50727.42 Redist");
    sheet.page(Prereq).attachView(nullptr);
}

// ---------------------------------------------------------------------------------------------------------
// The row rule, the frame and the download button

TEST_F(Wizard, RowButtonsFollowTheExactStatusText) {
    const struct {
        const char* status;
        bool install;
        bool uninstall;
    } cases[] = {
        {status::Installed, false, true},
        {status::NotInstalled, true, false},
        {status::VersionMismatch, true, true},
        {status::ReinstallNeeded, true, true},
        {status::MultipleVersions, true, true},
        {status::IncompleteModule, true, true},
        {"installed", true, true},      // differs in case only: not "Installed"
        {"Not installed", true, true},  // nor "Not Installed"
        {"", true, true},
    };
    ovDInstallUtilities page(env(), "title");
    RecordingPageView view;
    page.attachView(&view);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        page.components().component(2).setStatusText(c.status);
        page.updateControls();
        EXPECT_EQ(view.enabled(IDC_UTIL_ROW2_INSTALL), c.install);
        EXPECT_EQ(view.enabled(IDC_UTIL_ROW2_UNINSTALL), c.uninstall);
    }
    page.attachView(nullptr);
}

TEST_F(Wizard, AnOperationThatThrowsIsReportedAndLeavesTheRowsConsistent) {
    ovDInstallUtilities page(env(), "title");
    RecordingPageView view;
    page.attachView(&view);
    page.onSetActive();
    dialogs.onDownloadAndInstall = [this](const dvComponentInfo&, const components::DownloadRunFlags&) -> DialogEnd {
        registerProduct(m, components::codes::Watchdog, "Orvanta Watchdog - Vivantor 2.0.0.6", "2.0.6");
        throw std::runtime_error("broken");
    };
    EXPECT_EQ(page.installComponents(0, 0, false), 0);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, "Unexpected Error 101");
    EXPECT_TRUE(ui.messages.back().applicationBox) << "the program's own caption";
    EXPECT_EQ(view.text(IDC_UTIL_ROW0_STATUS), status::Installed) << "refreshed after the failure";
    EXPECT_FALSE(view.enabled(IDC_UTIL_ROW0_INSTALL));
    EXPECT_TRUE(view.enabled(IDC_UTIL_ROW0_UNINSTALL));
    EXPECT_TRUE(view.runningTimers.empty()) << "the refresh timer ends with the operation";
    page.attachView(nullptr);
}

TEST_F(Wizard, TheRefreshTimerShowsTheRowTextsWhileTheOperationRuns) {
    ovDInstallUtilities page(env(), "title");
    RecordingPageView view;
    page.attachView(&view);
    page.onSetActive();
    std::string shownDuringRun, actionDuringRun;
    dialogs.onDownloadAndInstall = [&](const dvComponentInfo&, const components::DownloadRunFlags&) {
        EXPECT_EQ(view.runningTimers.count(wizardids::RefreshTimer), 1u);
        EXPECT_EQ(view.text(IDC_UTIL_ROW2_ACTION), "") << "not shown before the timer";
        page.onTimer(wizardids::RefreshTimer);  // the dialog's message loop delivers the page's timer
        shownDuringRun = view.text(IDC_UTIL_ROW2_ACTION);
        actionDuringRun = page.row(2).action;
        return DialogEnd::Ok;
    };
    page.onCommand(IDC_UTIL_ROW2_INSTALL);
    EXPECT_FALSE(actionDuringRun.empty());
    EXPECT_EQ(shownDuringRun, actionDuringRun);
    EXPECT_EQ(view.runningTimers.count(wizardids::RefreshTimer), 0u);
    EXPECT_EQ(view.timerLog.front(), "start 983 2000");
    EXPECT_EQ(view.timerLog.back(), "stop 983");
    page.attachView(nullptr);
}

TEST_F(Wizard, DownloadButtonShowsOnlyWithAWritableFolder) {
    for (bool folderWritable : {true, false}) {
        SCOPED_TRACE(folderWritable);
        FakeMachine fresh;
        wizard::PageEnvironment e{fresh, ui, dialogs, "C:\\Installer", folderWritable, "http://vendor", false};
        wizard::ovDLumetraSDKInstallerSheet sheet(e);
        RecordingSheetView window(sheet);
        const struct {
            int page;
            int button;
        } pages[] = {{Prereq, IDC_PREREQ_DOWNLOAD}, {PrereqStatus, IDC_PREREQ_DOWNLOAD}, {Core, IDC_CORE_DOWNLOAD},
                     {Utilities1, IDC_UTIL_DOWNLOAD}, {Utilities2, IDC_UTIL_DOWNLOAD}};
        for (const auto& p : pages) {
            window.activatePage(p.page);
            EXPECT_EQ(window.view(p.page).shownState.at(p.button), folderWritable) << p.page;
        }
    }
}

TEST_F(Wizard, DownloadButtonDownloadsEveryRowWithTheReport) {
    ovDInstallUtilities2 page(env(), "title");
    RecordingPageView view;
    page.attachView(&view);
    page.onCommand(IDC_UTIL_DOWNLOAD);
    const auto runs = dialogs.of("downloadAndInstall");
    ASSERT_EQ(runs.size(), 3u);
    for (const auto& run : runs) EXPECT_TRUE(run.flags.downloadOnly);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_NE(ui.messages.back().text.find("Successfully downloaded the files."), std::string::npos);
    page.attachView(nullptr);
}

// ---------------------------------------------------------------------------------------------------------
// Core components

class CorePage : public Wizard {
protected:
    void SetUp() override { registerRuntime(m); }
    void installSdk() {
        registerProduct(m, components::products::LumetraSdk.productCode, components::products::LumetraSdk.displayName,
                        "10.2.578");
    }
};

TEST_F(CorePage, TheCoreGatesNextAndTheFinishLabel) {
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);
    sheet.setSdkSelected(true);
    auto& page = static_cast<ovDInstallCoreComponents&>(sheet.page(Core));
    window.view(Core).checks[IDC_CORE_SDK_WANTED] = true;
    page.onCommand(IDC_CORE_SDK_WANTED);  // the person ticks the box: SDK wanted, SDK not installed
    RecordingPageView& view = window.view(Core);
    EXPECT_FALSE(view.next);
    EXPECT_EQ(view.cancelText, "Cancel");
    EXPECT_TRUE(view.enabled(IDC_CORE_ROW1_INSTALL));

    dialogs.onDownloadAndInstall = [this](const dvComponentInfo& record, const components::DownloadRunFlags&) {
        EXPECT_EQ(record.displayName(), "Orvanta Lumetra Version X 10.2.1.578 SDK");
        installSdk();
        return DialogEnd::Ok;
    };
    page.onCommand(IDC_CORE_ROW1_INSTALL);
    EXPECT_TRUE(view.back);
    EXPECT_TRUE(view.next);
    EXPECT_EQ(view.cancelText, "Finish");
    EXPECT_FALSE(view.enabled(IDC_CORE_ROW1_INSTALL));
}

TEST_F(CorePage, ClearingTheSdkBox) {
    const struct {
        const char* name;
        bool sdkInstalled;
        ui::Answer answer;
        bool asked;
        bool uninstalled;
        bool wantedAfter;
        bool nextAfter;
    } cases[] = {
        {"SDK absent: no question, core complete", false, ui::Answer::No, false, false, false, true},
        {"SDK installed, answer No: box ticked again", true, ui::Answer::No, true, false, true, true},
        {"SDK installed, answer Yes: SDK removed", true, ui::Answer::Yes, true, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachine fresh;
        RecordingUi freshUi;
        ScriptedDialogs freshDialogs;
        registerRuntime(fresh);
        if (c.sdkInstalled)
            fresh.msi.registerProduct(components::products::LumetraSdk.productCode, platform::MsiContext::Machine,
                                      platform::fake::FakeProduct{components::products::LumetraSdk.displayName,
                                                                  "10.2.578", {}});
        freshUi.answers.push_back(c.answer);
        freshDialogs.onUninstall = [&](const dvComponentInfo& record, const components::DownloadRunFlags&) {
            fresh.msi.unregisterProduct(components::products::LumetraSdk.productCode);
            return DialogEnd::Ok;
        };
        wizard::PageEnvironment e{fresh, freshUi, freshDialogs, "C:\\Installer", true, "http://vendor", false};
        wizard::ovDLumetraSDKInstallerSheet sheet(e);
        RecordingSheetView window(sheet);
        window.activatePage(Core);
        auto& page = static_cast<ovDInstallCoreComponents&>(sheet.page(Core));
        RecordingPageView& view = window.view(Core);
        EXPECT_EQ(page.sdkWanted(), c.sdkInstalled) << "the box starts from the SDK's registration";

        view.checks[IDC_CORE_SDK_WANTED] = false;
        page.onCommand(IDC_CORE_SDK_WANTED);
        EXPECT_EQ(!freshUi.messages.empty(), c.asked);
        if (c.asked) {
            EXPECT_EQ(freshUi.messages[0].text, pagetexts::UninstallSdkQuestion);
        }
        EXPECT_EQ(freshDialogs.of("uninstall").size(), c.uninstalled ? 1u : 0u);
        EXPECT_EQ(page.sdkWanted(), c.wantedAfter);
        EXPECT_EQ(sheet.sdkSelected(), c.wantedAfter) << "the sheet keeps the same choice";
        EXPECT_EQ(view.checks[IDC_CORE_SDK_WANTED], c.wantedAfter);
        EXPECT_EQ(view.next, c.nextAfter);
        EXPECT_EQ(view.cancelText, c.nextAfter ? "Finish" : "Cancel");
        if (!c.wantedAfter) {
            EXPECT_FALSE(view.enabled(IDC_CORE_ROW1_INSTALL));
            EXPECT_FALSE(view.enabled(IDC_CORE_ROW1_UNINSTALL));
        }
    }
}

TEST_F(CorePage, WithoutTheSdkOnlyAnExactlyInstalledRuntimeCompletesTheCore) {
    m.msi.unregisterProduct(components::products::Runtime.productCode);
    registerProduct(m, components::products::Runtime.productCode, "Orvanta Version X 10.1 Runtime");  // another build
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);
    window.activatePage(Core);
    auto& page = static_cast<ovDInstallCoreComponents&>(sheet.page(Core));
    ASSERT_FALSE(page.sdkWanted());
    RecordingPageView& view = window.view(Core);
    EXPECT_EQ(view.text(IDC_CORE_ROW0_STATUS), status::VersionMismatch);
    EXPECT_FALSE(view.next);
    EXPECT_EQ(view.cancelText, "Cancel");
    EXPECT_TRUE(view.enabled(IDC_CORE_ROW0_INSTALL));
    EXPECT_TRUE(view.enabled(IDC_CORE_ROW0_UNINSTALL));
}

// ---------------------------------------------------------------------------------------------------------
// Utility pages

TEST_F(Wizard, UtilityPagesLabelsAndNext) {
    installEverything(m);
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);
    window.activatePage(Utilities1);
    EXPECT_TRUE(window.view(Utilities1).next);
    EXPECT_EQ(window.view(Utilities1).cancelText, "Finish");
    EXPECT_EQ(window.view(Utilities1).text(IDC_UTIL_STATUS_LINE), pagetexts::Utilities1StatusLine);
    window.activatePage(Utilities2);
    EXPECT_FALSE(window.view(Utilities2).next) << "the last page never offers Next";
    EXPECT_TRUE(window.view(Utilities2).back);
    EXPECT_EQ(window.view(Utilities2).text(IDC_UTIL_STATUS_LINE), "Please click on the 'Finish' button to exit.");
    EXPECT_TRUE(ui.messages.empty()) << "nothing to warn about";
}

TEST_F(Wizard, OnlyTheFirstProblemRowIsExplainedOncePerActivation) {
    installEverything(m);
    m.files.addFile(TavrelFolder + "\\version.txt", "Tavrel 0.9");  // row 1: another build
    m.registry.setString(platform::Hive::LocalMachine, uninstallKey(keys::OpcClient), "DisplayName",
                         "SIMATIC NET OPC CLIENT V6.1");  // row 3
    ovDInstallUtilities page(env(), "title");
    RecordingPageView view;
    page.attachView(&view);
    page.onSetActive();
    ASSERT_NE(page.row(1).status, status::Installed);
    ASSERT_NE(page.row(3).status, status::Installed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(view.deferred, 1) << "the warning waits until the page is on screen";
    page.onSetActive();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, ui.messages[1].text);
    EXPECT_EQ(ui.messages[0].caption, Title);
    page.attachView(nullptr);
}

TEST_F(Wizard, StatusWarningsNameTheFirstProblemStatus) {
    const struct {
        const char* status;
        const char* warning;
    } cases[] = {
        {status::VersionMismatch, wizardtexts::VersionMismatchWarning},
        {status::ReinstallNeeded, wizardtexts::ReinstallNeededWarning},
        {status::MultipleVersions, wizardtexts::MultipleVersionsWarning},
        {status::IncompleteModule, wizardtexts::IncompleteModuleWarning},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        RecordingUi freshUi;
        wizard::PageEnvironment e{m, freshUi, dialogs, "C:\\Installer", true, "http://vendor", false};
        ovDInstallUtilities page(e, "title");
        page.components().component(1).setStatusText(status::Installed);
        page.components().component(2).setStatusText(c.status);
        page.components().component(3).setStatusText(status::VersionMismatch);
        page.showStatusWarnings();
        ASSERT_EQ(freshUi.messages.size(), 1u);
        EXPECT_EQ(freshUi.messages[0].text, c.warning);
    }
}

TEST_F(Wizard, SecondUtilityPageOffersTheRemoteControlOfTheMachinesWidth) {
    for (bool wide : {false, true}) {
        wizard::PageEnvironment e{m, ui, dialogs, "C:\\Installer", true, "http://vendor", wide};
        ovDInstallUtilities2 page(e, "title");
        EXPECT_EQ(page.row(0).name, wide ? "TightVNC 2.6.4 - 64 bit" : "TightVNC 2.6.4 - 32 bit");
        EXPECT_EQ(page.row(1).name, "Orvanta TeamViewer 8 Host.exe");
        EXPECT_EQ(page.row(2).name, "Speccy v1.25");
    }
}

TEST_F(Wizard, UtilityRowsInstallOnlyThemselves) {
    installEverything(m);
    m.registry.deleteKeyTree(platform::Hive::LocalMachine, uninstallKey(keys::Speccy));
    m.msi.unregisterProduct(components::codes::Watchdog);  // another row with a problem: not this row's concern
    ui.answers.push_back(ui::Answer::Yes);
    installersRegisterTheirProducts();
    ovDInstallUtilities2 page(env(), "title");
    RecordingPageView view;
    page.attachView(&view);
    page.onSetActive();
    page.onCommand(IDC_UTIL_ROW2_INSTALL);
    EXPECT_EQ(installed, std::vector<std::string>{"Speccy v1.25"});
    page.onCommand(IDC_UTIL_ROW1_UNINSTALL);
    EXPECT_EQ(dialogs.of("uninstall").size(), 1u);
    EXPECT_EQ(dialogs.of("uninstall")[0].subject, "Orvanta TeamViewer 8 Host.exe");
    page.attachView(nullptr);
}

}  // namespace

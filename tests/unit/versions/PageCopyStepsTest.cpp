// "Create Installer Copy" on the wizard's welcome page, on the in-memory machine: the page's copies of every
// page's rows are downloaded through the page, the files that always download are deleted first, and the help
// is prepared afresh through the sheet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../wizard/RecordingViews.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"
#include "support/ScriptedDialogs.h"
#include "versions/InstallerCopy.h"
#include "versions/PageCopySteps.h"
#include "wizard/InstallerSheet.h"

using components::DialogEnd;
using platform::fake::FakeMachine;

namespace {

const std::string AppFolder = "C:\\Installer";
const std::string Data = AppFolder + "\\_OrvantaInstallData";

// The user's choice: only the named categories, or Cancel.
class ChoosingDialog : public versions::SelectionDialog {
public:
    explicit ChoosingDialog(std::vector<std::string> categories) : categories_(std::move(categories)) {}
    bool run(versions::DownloadCategoryList& list) override {
        ++opened;
        if (categories_.empty()) return false;
        EXPECT_EQ(list.selectOnlyCategories(categories_), std::nullopt);
        return true;
    }
    int opened = 0;

private:
    std::vector<std::string> categories_;
};

class WelcomeCopy : public ::testing::Test {
protected:
    WelcomeCopy() {
        dialogs.onDownloadAndInstall = [this](const dvComponentInfo& row, const components::DownloadRunFlags& flags) {
            EXPECT_TRUE(flags.downloadOnly) << row.displayName();
            fetched.push_back(row.displayName());
            m.files.addFolder(row.downloadFolder());
            m.files.addFile(row.downloadFolder() + "\\" + row.fileName(), "fetched");
            return DialogEnd::Ok;
        };
        m.files.addFolder(AppFolder);
    }
    versions::CopyResult run(ChoosingDialog& dialog) {
        wizard::ovDLumetraSDKInstallerSheet sheet(environment);
        wizard::ovDPropertyPageBase& welcome = sheet.page(0);
        RecordingPageView view;
        welcome.attachView(&view);
        versions::DownloadCategoryList list;
        list.buildFromComponents(welcome.components());
        versions::PageCopySteps steps(welcome, dialog, [this](bool force, unsigned char* ignoreAll) {
            helpRequests.push_back(force);
            EXPECT_NE(ignoreAll, nullptr);
            return 1;
        });
        const versions::CopyResult result = versions::createInstallerCopy(list, steps, environment.operationContext(), nullptr);
        welcome.attachView(nullptr);
        return result;
    }

    FakeMachine m;
    RecordingUi ui;
    ScriptedDialogs dialogs;
    wizard::PageEnvironment environment{m, ui, dialogs, AppFolder, true, "http://vendor", false};
    std::vector<std::string> fetched;
    std::vector<bool> helpRequests;
};

TEST_F(WelcomeCopy, OnlyTheHelpFilesPrepareTheHelpAfreshAndFetchNoRow) {
    // A readme of an earlier copy (always fetched afresh) and an installer downloaded earlier.
    m.files.addFile(Data + "\\Readme\\578readmeLumetraSDK.rtf", "old readme");
    m.files.addFile(Data + "\\Installations3rdParty\\spsetup125.exe", "earlier download");
    ChoosingDialog dialog({"Help Files"});
    EXPECT_EQ(run(dialog), versions::CopyResult::Done);
    EXPECT_EQ(dialog.opened, 1);
    EXPECT_TRUE(fetched.empty());
    EXPECT_EQ(helpRequests, std::vector<bool>{true}) << "the help is prepared once, with force";
    EXPECT_FALSE(m.files.exists(Data + "\\Readme\\578readmeLumetraSDK.rtf")) << "files that always download go";
    EXPECT_TRUE(m.files.exists(Data + "\\Installations3rdParty\\spsetup125.exe")) << "other downloads stay";
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(WelcomeCopy, ChosenCategoriesAreFetchedThroughThePageAndCancelFetchesNothing) {
    ChoosingDialog dialog({"core components"});
    EXPECT_EQ(run(dialog), versions::CopyResult::Done);
    EXPECT_EQ(fetched, (std::vector<std::string>{"Orvanta Version X 10.2.1.578 Runtime",
                                                 "Orvanta Lumetra Version X 10.2.1.578 SDK"}));
    EXPECT_TRUE(helpRequests.empty());
    EXPECT_TRUE(m.files.exists(Data + "\\OrvantaRuntime\\OrvantaRuntime_10_2_1_578_ReDist_140411.exe"));

    fetched.clear();
    ChoosingDialog cancelled({});
    EXPECT_EQ(run(cancelled), versions::CopyResult::NotSelected);
    EXPECT_TRUE(fetched.empty());
    EXPECT_TRUE(helpRequests.empty());
}

}  // namespace

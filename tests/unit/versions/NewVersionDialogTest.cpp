// Showing a newer installer and fetching it, on the in-memory machine: what the dialog is shown, where the new
// program lands (the copies folder, or a folder the user picks when the installer's folder is read-only), what
// the user is told, and what happens on Ignore, on a cancelled folder choice and on a failed download.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "../download/FetchTestSupport.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"
#include "support/ScriptedDialogs.h"
#include "versions/NewVersionInfo.h"

using components::DialogEnd;
using components::DownloadErrorChoice;
using platform::fake::FakeMachine;

namespace {

const std::string Base = "http://vendor.test";
const std::string InfoObject =
    "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/578UpgradeInfoLumetraSDK.ini.txt";
const std::string Title = "Orvanta Lumetra SDK Version X 10.2.1.578 Installer";
const std::string NewTitle = "Orvanta Lumetra SDK Version X 10.2.1.600 Installer";
const std::string AppFolder = "C:\\Installer";

std::string info(const std::string& installerName = "OrvantaLumetraSDK_10_2_1_600_Installer_150101.exe") {
    return "[Version Upgrade Info]\r\nLatestVersionName=" + NewTitle +
           "\r\nLatestVersionNumber=10.2.1.600\r\nReleaseNotesFileName=notes.rtf\r\n"
           "ReleaseNotesFilePath=http://vendor.test/orvanta/notes/\r\nInstallerFileName=" +
           installerName + "\r\nInstallerFilePath=http://vendor.test/orvanta/new/\r\n";
}

class ScriptedView : public NewVersionView {
public:
    DialogEnd newVersionAvailable(const std::string& notes, const std::string& current,
                                  const std::string& latest) override {
        shown.push_back({notes, current, latest});
        return answer;
    }
    std::optional<std::string> browseForFolder(const std::string& title) override {
        browseTitles.push_back(title);
        return folder;
    }
    void reactivateCurrentPage() override { ++reactivations; }

    std::vector<std::vector<std::string>> shown;
    std::vector<std::string> browseTitles;
    DialogEnd answer = DialogEnd::Ok;
    std::optional<std::string> folder;
    int reactivations = 0;
};

class NewVersionDialog : public ::testing::Test {
protected:
    NewVersionDialog() {
        m.clock.now = {2026, 12, 10, 6, 15, 2};
        m.files.addFolder("C:\\users\\admin\\Temp");
        m.files.addFolder(AppFolder);
        m.http.addServer("vendor.test", 80);
        m.http.serve("vendor.test", 80, "/orvanta/notes/notes.rtf", fetchtest::ok("{\\rtf1 notes}"));
        // The download dialog puts what it fetched where the row says.
        dialogs.onDownloadAndInstall = [this](const dvComponentInfo& row, const components::DownloadRunFlags& flags) {
            EXPECT_TRUE(flags.downloadOnly);
            urls.push_back(row.downloadUrl());
            if (!downloadWorks) return DialogEnd::Cancel;
            m.files.addFolder(row.downloadFolder());
            m.files.addFile(row.downloadFolder() + "\\" + row.fileName(), "new installer");
            return DialogEnd::Ok;
        };
    }
    // A check that found the newer installer.
    std::unique_ptr<NewVersionInfo> checked(const std::string& infoText = info()) {
        m.http.serve("vendor.test", 80, InfoObject, fetchtest::ok(infoText));
        auto check = std::make_unique<NewVersionInfo>(m, Base);
        EXPECT_EQ(check->checkForNewVersion(nullptr), NewVersionInfo::Found);
        return check;
    }
    components::OperationContext context() { return {m, ui, dialogs, AppFolder}; }

    FakeMachine m;
    RecordingUi ui;
    ScriptedDialogs dialogs;
    ScriptedView view;
    std::vector<std::string> urls;
    bool downloadWorks = true;
};

TEST_F(NewVersionDialog, WithoutANewerVersionOnlyTheMessageShows) {
    m.http.serve("vendor.test", 80, InfoObject, fetchtest::ok(info()));
    NewVersionInfo check(m, Base);  // not checked yet
    EXPECT_EQ(check.showNewVersionDialog(context(), true, view), -1);
    check.checkForNewVersion(nullptr);
    m.http.serve("vendor.test", 80, InfoObject, fetchtest::ok("[Version Upgrade Info]\r\nLatestVersionName=" + Title));
    NewVersionInfo same(m, Base);
    EXPECT_EQ(same.checkForNewVersion(nullptr), NewVersionInfo::NoDifferentVersion);
    EXPECT_EQ(same.showNewVersionDialog(context(), true, view), -1);

    ASSERT_EQ(ui.messages.size(), 2u);
    for (const auto& message : ui.messages) {
        EXPECT_EQ(message.text, "Unable to download new version. Please try again");
        EXPECT_EQ(message.caption, Title);
    }
    EXPECT_TRUE(view.shown.empty());
    EXPECT_TRUE(dialogs.opened.empty());
}

TEST_F(NewVersionDialog, DownloadIntoTheCopiesFolderOfAWritableInstallerFolder) {
    auto check = checked();
    EXPECT_EQ(check->showNewVersionDialog(context(), true, view), 1);
    ASSERT_EQ(view.shown.size(), 1u);
    EXPECT_EQ(view.shown[0], (std::vector<std::string>{check->releaseNotesPath(), Title, NewTitle}));
    EXPECT_TRUE(view.browseTitles.empty()) << "a writable folder needs no question";

    const std::string target = AppFolder + "\\_OrvantaInstallers\\OrvantaLumetraSDK_10_2_1_600_Installer_150101.exe";
    EXPECT_EQ(m.files.content(target), "new installer");
    EXPECT_EQ(urls, (std::vector<std::string>{"http://vendor.test/orvanta/new/OrvantaLumetraSDK_10_2_1_600_Installer_150101.exe"}));
    ASSERT_EQ(dialogs.of("downloadAndInstall").size(), 1u);
    EXPECT_EQ(dialogs.of("downloadAndInstall")[0].subject, "New Version Installer");
    EXPECT_EQ(view.reactivations, 1);
    ASSERT_EQ(ui.messages.size(), 1u) << "only the success message, no download report";
    EXPECT_EQ(ui.messages[0].text,
              "Successfully downloaded the new installer version 10.2.1.600.\nC:\\Installer\\_OrvantaInstallers\\"
              "OrvantaLumetraSDK_10_2_1_600_Installer_150101.exe\n\nPlease go to the 'Home' page of this wizard and "
              "select the new installer version 10.2.1.600 to switch to the new installer.");
    EXPECT_EQ(ui.messages[0].caption, Title);
}

TEST_F(NewVersionDialog, AReadOnlyInstallerFolderAsksForTheTarget) {
    const struct {
        const char* name;
        std::optional<std::string> folder;
        bool fetched;
    } cases[] = {
        {"cancelled", std::nullopt, false},
        {"a folder", "D:\\Downloads", true},
        {"a drive's root", "D:\\", true},
    };
    auto check = checked();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        view = ScriptedView();
        view.folder = c.folder;
        ui.messages.clear();
        dialogs.opened.clear();
        EXPECT_EQ(check->downloadNewInstaller(context(), false, view), c.fetched);
        EXPECT_EQ(view.browseTitles, (std::vector<std::string>{"Select Download Directory"}));
        EXPECT_EQ(dialogs.opened.size(), c.fetched ? 1u : 0u);
        EXPECT_EQ(view.reactivations, c.fetched ? 1 : 0);
        EXPECT_FALSE(m.files.exists(AppFolder + "\\_OrvantaInstallers"));
        if (!c.fetched) {
            EXPECT_TRUE(ui.messages.empty()) << "cancelling does nothing further";
            continue;
        }
        const std::string folder = *c.folder == "D:\\" ? "D:" : *c.folder;
        EXPECT_EQ(m.files.content(folder + "\\OrvantaLumetraSDK_10_2_1_600_Installer_150101.exe"), "new installer");
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Successfully downloaded the new installer version 10.2.1.600.\n" + folder +
                                           "\\OrvantaLumetraSDK_10_2_1_600_Installer_150101.exe");
    }
}

TEST_F(NewVersionDialog, NothingIsFetchedOnIgnoreOrWithoutReleaseNotes) {
    auto check = checked();
    view.answer = DialogEnd::Cancel;
    EXPECT_EQ(check->showNewVersionDialog(context(), true, view), 1);
    EXPECT_EQ(view.shown.size(), 1u);

    // Release notes removed from the temporary folder after the check.
    m.files.deleteFile(check->releaseNotesPath());
    view.answer = DialogEnd::Ok;
    EXPECT_EQ(check->showNewVersionDialog(context(), true, view), 1);
    EXPECT_EQ(view.shown.size(), 1u) << "the dialog does not stay open";

    EXPECT_TRUE(dialogs.opened.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(view.reactivations, 0);
    EXPECT_FALSE(m.files.exists(AppFolder + "\\_OrvantaInstallers"));
}

TEST_F(NewVersionDialog, AFailedDownloadEndsWithTheDownloadDialogsWordsOnly) {
    auto check = checked();
    downloadWorks = false;
    dialogs.errorChoices = {DownloadErrorChoice::Retry, DownloadErrorChoice::Quit};
    EXPECT_FALSE(check->downloadNewInstaller(context(), true, view));
    EXPECT_EQ(urls.size(), 2u) << "Retry fetches again";
    EXPECT_EQ(dialogs.of("downloadError").size(), 2u);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(view.reactivations, 0);
}

TEST_F(NewVersionDialog, AnIncompleteAnnouncementFetchesNothing) {
    const struct {
        const char* name;
        std::string infoText;
    } cases[] = {
        {"no installer file name", info("")},
        {"a file name that would leave the folder", info("..\\..\\Windows\\evil.exe")},
        {"no installer address",
         "[Version Upgrade Info]\r\nLatestVersionName=Newer\r\nReleaseNotesFileName=notes.rtf\r\n"
         "ReleaseNotesFilePath=http://vendor.test/orvanta/notes/\r\nInstallerFileName=new.exe\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto check = checked(c.infoText);
        EXPECT_FALSE(check->downloadNewInstaller(context(), true, view));
        EXPECT_TRUE(dialogs.opened.empty());
        EXPECT_TRUE(ui.messages.empty());
    }
}

}  // namespace

// The readme page and the installation complete page on the in-memory machine, seen through their view: the
// readme fetched and shown (or the copy on disk, or the error text), and the quick links that follow the
// sheet's SDK choice and start what the products installed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../wizard/PageFixture.h"
#include "app/AppTexts.h"
#include "components/OrvantaProducts.h"
#include "pages/content/ReadmePage.h"
#include "pages/content/ReadmeSummaryTexts.h"
#include "pages/content/ReleaseNotesPageRes.h"
#include "pages/content/SummaryPage.h"
#include "pages/content/SummaryPageRes.h"
#include "wizard/WizardTexts.h"

using components::DialogEnd;
using platform::Hive;

namespace {

const std::string ReadmeFile = "C:\\Installer\\_OrvantaInstallData\\Readme\\578readmeLumetraSDK.rtf";
const std::string ServerReadme = "{\\rtf1 Release notes from the server\\par}";
const std::string OldReadme = "{\\rtf1 Release notes on disk\\par}";

// The download dialog against the server: a copy on disk is kept unless the download is forced; a forced
// download replaces it when the server is up and leaves it when not.
ScriptedDialogs::RowScript serverScript(pagetest::FakeMachine& m, bool up) {
    return [&m, up](const dvComponentInfo& record, const components::DownloadRunFlags& flags) {
        const std::string path = record.downloadFolder() + "\\" + record.fileName();
        if (!flags.forceDownload && m.files.exists(path)) return DialogEnd::Ok;
        if (!up) return DialogEnd::Cancel;
        m.files.addFile(path, ServerReadme);
        return DialogEnd::Ok;
    };
}

class ReadmePage : public pagetest::PageTest {
protected:
    // The server: with up set, a download leaves its file (replacing an earlier copy); without it, the download
    // fails and an earlier copy stays.
    void serverIs(bool up) {
        dialogs.onDownloadAndInstall = serverScript(m, up);
    }
};

TEST_F(ReadmePage, TheReadmeRecordAsTheWelcomePageOffersIt) {
    auto page = std::make_unique<ovDInstallReleaseNotes>(env(), "title");
    EXPECT_EQ(page->pageName(), "Readme");
    EXPECT_EQ(page->headerText(), "Readme Notes");
    ASSERT_EQ(page->rowCount(), 1u);
    const dvComponentInfo& record = page->components().component(0);
    EXPECT_EQ(record.displayName(), "Readme Notes");
    EXPECT_EQ(record.category(), "Readme Notes");
    EXPECT_EQ(record.fileName(), "578readmeLumetraSDK.rtf");
    EXPECT_EQ(record.downloadUrl(), "http://vendor/orvanta/files/InstallerRepositories/Orvanta10.2/578/"
                                    "OrvantaLumetraSDK/578readmeLumetraSDK.rtf");
    EXPECT_EQ(record.downloadFolder(), "C:\\Installer\\_OrvantaInstallData\\Readme");
    EXPECT_TRUE(record.alwaysDownload());
    EXPECT_FALSE(record.isMsiPackage());
}

// What the page shows when its window is made and when Refresh is pressed, for each state of the server, the
// disk and the installer folder.
TEST_F(ReadmePage, ShownFromTheServerTheDiskOrNotAtAll) {
    struct Case {
        const char* name;
        bool writable;
        bool serverUp;
        bool copyOnDisk;
        // opening the page
        bool openForced;
        std::string openShows;
        // then Refresh
        std::string refreshShows;
        std::vector<std::string> refreshMessages;
    };
    const std::string missing = readmetexts::NotAvailable;
    const std::vector<std::string> none;
    const std::vector<std::string> fallback{readmetexts::UsingDefaultCopy};
    const Case cases[] = {
        {"writable, server up", true, true, false, true, ServerReadme, ServerReadme, none},
        {"writable, server down, copy on disk", true, false, true, true, OldReadme, OldReadme, fallback},
        {"writable, server down, nothing on disk", true, false, false, true, missing, missing, none},
        {"read-only folder, copy on disk", false, true, true, false, OldReadme, ServerReadme, none},
        {"read-only folder, nothing on disk", false, false, false, false, missing, missing, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pagetest::PageBench b;
        b.env().folderWritable = c.writable;
        if (c.copyOnDisk) b.m.files.addFile(ReadmeFile, OldReadme);
        b.dialogs.onDownloadAndInstall = serverScript(b.m, c.serverUp);
        auto page = b.open<ovDInstallReleaseNotes>();
        ASSERT_EQ(b.dialogs.opened.size(), 1u);
        EXPECT_TRUE(b.dialogs.opened[0].flags.downloadOnly);
        EXPECT_EQ(b.dialogs.opened[0].flags.forceDownload, c.openForced);
        EXPECT_FALSE(b.dialogs.opened[0].flags.reportErrors) << "opening the page reports nothing";
        EXPECT_EQ(b.view.text(IDC_README_TEXT), c.openShows);
        EXPECT_TRUE(b.ui.messages.empty());

        page->onCommand(IDC_README_REFRESH);
        ASSERT_EQ(b.dialogs.opened.size(), 2u);
        EXPECT_TRUE(b.dialogs.opened[1].flags.forceDownload);
        EXPECT_TRUE(b.dialogs.opened[1].flags.reportErrors);
        EXPECT_EQ(b.view.text(IDC_README_TEXT), c.refreshShows);
        EXPECT_EQ(b.ui.texts(), c.refreshMessages);
        for (const auto& message : b.ui.messages) EXPECT_EQ(message.caption, apptexts::InstallerTitle);
    }
}

TEST_F(ReadmePage, RefreshListAnswersWhetherThereWasAReadmeToShow) {
    serverIs(false);
    auto page = open<ovDInstallReleaseNotes>();
    EXPECT_EQ(page->refreshList(true, false), 0);
    m.files.addFile(ReadmeFile, OldReadme);
    EXPECT_EQ(page->refreshList(true, false), 1);
    EXPECT_TRUE(ui.messages.empty()) << "without reportErrors the fallback is silent";
}

TEST_F(ReadmePage, AHugeReadmeIsShownOnlyUpToTheLimit) {
    m.files.addFile(ReadmeFile, std::string(static_cast<std::size_t>(ovDInstallReleaseNotes::MaxShownBytes) + 12345,
                                            '\xff'));
    serverIs(false);
    view.streamBlockBytes = 1 << 20;
    auto page = open<ovDInstallReleaseNotes>();
    EXPECT_EQ(view.text(IDC_README_TEXT).size(), static_cast<std::size_t>(ovDInstallReleaseNotes::MaxShownBytes));
    EXPECT_EQ(view.streams[IDC_README_TEXT], 1);
}

TEST_F(ReadmePage, ActivationShowsTheRefreshButtonOnlyWithAWritableFolder) {
    for (bool writable : {true, false}) {
        SCOPED_TRACE(writable ? "writable" : "read-only");
        pagetest::PageBench b;
        b.env().folderWritable = writable;
        auto page = b.open<ovDInstallReleaseNotes>();
        page->onSetActive();
        EXPECT_TRUE(b.view.back);
        EXPECT_TRUE(b.view.next);
        EXPECT_EQ(b.view.shownState.at(IDC_README_REFRESH), writable);
        EXPECT_EQ(b.view.text(IDC_README_STATUS_LINE), readmetexts::StatusLine);
        ASSERT_TRUE(b.view.placed.count(IDC_README_REFRESH));
        EXPECT_EQ(b.view.placed.at(IDC_README_REFRESH).x, 696);
        EXPECT_EQ(b.view.placed.at(IDC_README_REFRESH).tooltip, "Refresh Readme File");
        EXPECT_EQ(b.dialogs.opened.size(), 1u) << "activation does not fetch the readme again";
    }
}

// ---------------------------------------------------------------------------------------------------------
// Installation complete

const std::string SdkFolder = "C:\\Program Files\\Orvanta\\LumetraSDK\\";
const std::string RuntimeFolder = "C:\\Program Files\\Orvanta\\Runtime\\";

class CompletePage : public pagetest::PageTest {
protected:
    void installFolders(bool sdk, bool runtime) {
        if (sdk)
            m.registry.setString(Hive::LocalMachine,
                                 components::products::installPathKey(components::products::LumetraSdk.displayName),
                                 "InstallPath", SdkFolder);
        if (runtime)
            m.registry.setString(Hive::LocalMachine,
                                 components::products::installPathKey(components::products::Runtime.displayName),
                                 "InstallPath", RuntimeFolder);
    }
};

TEST_F(CompletePage, TheLinksFollowTheSheetsSdkChoiceAtEveryActivation) {
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);
    const int complete = 8;
    ASSERT_EQ(sheet.page(complete).pageName(), "Complete");
    for (bool sdk : {false, true, false}) {
        SCOPED_TRACE(sdk ? "SDK selected" : "SDK not selected");
        sheet.setSdkSelected(sdk);
        window.activatePage(complete);
        RecordingPageView& v = window.view(complete);
        for (int i = 0; i < ovDInstallSummarySDK::SdkOnlyControlCount; ++i) {
            const int id = ovDInstallSummarySDK::SdkOnlyControls[i];
            ASSERT_TRUE(v.shownState.count(id)) << id;
            EXPECT_EQ(v.shownState.at(id), sdk) << id;
        }
        EXPECT_FALSE(v.shownState.count(IDC_SUMMARY_CONFIRMATION)) << "the confirmation always shows";
        EXPECT_EQ(v.text(IDC_SUMMARY_STATUS_LINE), summarytexts::StatusLine);
        EXPECT_EQ(v.cancelText, wizardtexts::Finish);
        EXPECT_TRUE(v.back);
        EXPECT_TRUE(v.next);
    }
    EXPECT_EQ(ovDInstallSummarySDK::SdkOnlyControlCount, 14) << "note, frame, six links, six markers";
}

TEST_F(CompletePage, EachLinkStartsItsEntryFromTheFolderReadAtActivation) {
    auto page = open<ovDInstallSummarySDK>();
    EXPECT_EQ(page->sdkFolder(), "") << "nothing installed when the page was made";
    installFolders(true, true);
    page->onSetActive();
    ASSERT_EQ(page->sdkFolder(), SdkFolder);
    ASSERT_EQ(page->runtimeFolder(), RuntimeFolder);

    struct Case {
        int link;
        std::string file, parameters, directory;
    };
    const Case cases[] = {
        {IDC_SUMMARY_LINK_TEST_CONTAINER, SdkFolder + "PictoraTestContainer.exe", "", SdkFolder},
        {IDC_SUMMARY_LINK_README, SdkFolder + "ReadMe.txt", "", SdkFolder},
        {IDC_SUMMARY_LINK_REDISTRIBUTION, SdkFolder + "_Redistributable\\ReadMe.txt", "",
         SdkFolder + "\\_Redistributable"},
        {IDC_SUMMARY_LINK_CAPTURE, RuntimeFolder + "OrvantaCapture.exe", "", RuntimeFolder},
        {IDC_SUMMARY_LINK_BARCODE_DEMO, SdkFolder + "PictoraTestContainer.exe", "Demo\\Quintro\\DLVImage.opb",
         SdkFolder},
        {IDC_SUMMARY_LINK_LABEL_DEMO, SdkFolder + "PictoraTestContainer.exe", "Demo\\Sendari\\DLVImage.opb",
         SdkFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        m.files.addFile(c.file, "program");
        m.processes.shellCalls.clear();
        page->onCommand(c.link);
        ASSERT_EQ(m.processes.shellCalls.size(), 1u);
        EXPECT_EQ(m.processes.shellCalls[0].verb, "open");
        EXPECT_EQ(m.processes.shellCalls[0].file, c.file);
        EXPECT_EQ(m.processes.shellCalls[0].parameters, c.parameters);
        EXPECT_EQ(m.processes.shellCalls[0].directory, c.directory);
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CompletePage, ALinkWhoseProductIsMissingSaysSoWithTheShellsResult) {
    installFolders(true, false);
    m.files.addFile(SdkFolder + "PictoraTestContainer.exe", "program");
    auto page = open<ovDInstallSummarySDK>();
    page->onCommand(IDC_SUMMARY_LINK_TEST_CONTAINER);
    EXPECT_TRUE(ui.messages.empty());
    page->onCommand(IDC_SUMMARY_LINK_CAPTURE);
    ASSERT_EQ(m.processes.shellCalls.size(), 2u);
    EXPECT_EQ(m.processes.shellCalls[1].file, "OrvantaCapture.exe") << "an empty Runtime folder";
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Unable to access the link. Error code - 2"});
    EXPECT_EQ(ui.messages[0].caption, apptexts::InstallerTitle);
}

TEST_F(CompletePage, AFolderKeepsItsValueWhileItsKeyIsMissingAndEmptiesWithoutTheValue) {
    installFolders(true, true);
    auto page = open<ovDInstallSummarySDK>();
    const std::string sdkKey = components::products::installPathKey(components::products::LumetraSdk.displayName);
    m.registry.deleteKeyTree(Hive::LocalMachine, sdkKey);
    page->onSetActive();
    EXPECT_EQ(page->sdkFolder(), SdkFolder) << "the key could not be opened";
    m.registry.createKey(Hive::LocalMachine, sdkKey);
    page->onSetActive();
    EXPECT_EQ(page->sdkFolder(), "") << "the key without its value";
    EXPECT_EQ(page->runtimeFolder(), RuntimeFolder);
}

}  // namespace

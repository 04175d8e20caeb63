// The tutorials page through its window: tabs and rows from the list on disk, the row buttons and what they
// do to the documents folder, refreshing with its fallback, and lists that try to reach outside their folders.
#include <gtest/gtest.h>

#include "../unzip/ZipBuilder.h"
#include "ContentPageBench.h"
#include "pages/content/TutorialsPage.h"
#include "pages/content/TutorialsPageRes.h"

using namespace contenttest;
using content::TutorialRowIds;

namespace {

struct Tutorial {
    std::string section;
    std::map<std::string, std::string> keys;
};

std::string listText(const std::vector<Tutorial>& tutorials) {
    std::string text;
    for (const auto& t : tutorials) {
        text += "[" + t.section + "]\r\n";
        for (const auto& [k, v] : t.keys) text += k + "=" + v + "\r\n";
    }
    return text;
}

// A complete tutorial entry: archive at http://vendor/t/<name>.zip with <name>.pdf inside.
Tutorial tutorial(const std::string& section, const std::string& name) {
    return {section,
            {{"Caption", "Caption " + name},
             {"Name", name},
             {"ProfileName", name + "Profile"},
             {"URL", "http://vendor/t/" + name + ".zip"},
             {"PDFName", name + ".pdf"},
             {"VideoURL", "http://video/" + name},
             {"InfoText", "About " + name},
             {"InfoURL", "http://info/" + name}}};
}

class TutorialsPageTest : public ::testing::Test, public ContentBench {
protected:
    void serveList(const std::vector<Tutorial>& tutorials) { server[TutorialsListUrl] = listText(tutorials); }
    void serveArchive(const std::string& name) {
        server["http://vendor/t/" + name + ".zip"] =
            ziptest::buildZip({{name + ".pdf", "%PDF-1.4 " + name}, {"data/" + name + ".bin", "data"}});
    }
    std::vector<std::string> rowCaptions() {
        std::vector<std::string> captions;
        for (int i = 0; tabsView.has(TutorialRowIds::of(i).name); ++i)
            captions.push_back(tabsView.at(TutorialRowIds::of(i).name).text);
        return captions;
    }
    std::vector<std::string> messages() const { return ui.texts(); }
};

TEST_F(TutorialsPageTest, TabsFollowTheCategoriesAndATabShowsAtMostEightRows) {
    std::vector<Tutorial> list;
    for (int i = 1; i <= 9; ++i)
        list.push_back(tutorial("T0" + std::to_string(i) + " Getting Started", "gs" + std::to_string(i)));
    list.push_back(tutorial("A1 Advanced", "adv1"));
    list.push_back(tutorial("A2 ADVANCED", "adv2"));
    list.push_back(tutorial("Overview", "ov"));
    list.push_back(tutorial("X1 More overview", "ov2"));
    serveList(list);
    auto page = openPage<ovDInstallTutorials>();

    EXPECT_EQ(tabsView.tabs, (std::vector<std::string>{" Getting Started", " Advanced", "Overview", " More overview"}));
    EXPECT_EQ(tabsView.selected, 0);
    EXPECT_EQ(tabsView.kind, content::TabContents::Tutorials);
    EXPECT_TRUE(tabsView.finished);
    EXPECT_EQ(page->tabDialog().categoryFilter, " getting started");
    std::vector<std::string> first8;
    for (int i = 1; i <= 8; ++i) first8.push_back("Caption gs" + std::to_string(i));
    EXPECT_EQ(rowCaptions(), first8);
    EXPECT_FALSE(tabsView.messageShown);
    EXPECT_TRUE(tabsView.duplicateIds.empty());

    tabsView.pickTab(1);
    EXPECT_EQ(rowCaptions(), (std::vector<std::string>{"Caption adv1", "Caption adv2"}));
    // A category without a blank matches every section that contains it, in any case.
    tabsView.pickTab(2);
    EXPECT_EQ(rowCaptions(), (std::vector<std::string>{"Caption ov", "Caption ov2"}));
    EXPECT_EQ(page->tabControl().selectedCategory(), "Overview");
}

TEST_F(TutorialsPageTest, RowControlsHangOffTheAnchorWithTheirIdentifiersCodesAndTooltips) {
    serveList({tutorial("T1 Basics", "one"), tutorial("T2 Basics", "two")});
    tabsView.originX = 180;  // the dialog's client area starts at x = 180 in the page: X = 520
    auto page = openPage<ovDInstallTutorials>();
    const int X = 520, y = 5 + 28;
    struct Expected {
        int id;
        std::string text;
        content::ControlRect rect;
        content::RowImage image;
        std::string tooltip;
        int code;
    };
    const Expected expected[] = {
        {45007, "Remove", {X, y, X + 24, y + 25}, content::RowImage::Remove, "Remove", 2},
        {45008, "Video", {X - 25, y, X - 1, y + 25}, content::RowImage::Video, "Video", 4},
        {45009, "PDF", {X - 50, y, X - 26, y + 25}, content::RowImage::Pdf, "PDF", 3},
        {45010, "Browse", {X - 75, y, X - 51, y + 25}, content::RowImage::Browse, "Browse", 1},
        {45011, "Install", {X - 100, y, X - 76, y + 25}, content::RowImage::Install, "Install", 0},
        {45012, "Info", {5, y, 29, y + 25}, content::RowImage::Info, "About two", 5},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.text);
        const auto& c = tabsView.at(e.id);
        EXPECT_EQ(c.kind, "button");
        EXPECT_EQ(c.text, e.text);
        EXPECT_EQ(std::tie(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom),
                  std::tie(e.rect.left, e.rect.top, e.rect.right, e.rect.bottom));
        EXPECT_EQ(c.image, e.image);
        EXPECT_EQ(c.tooltip, e.tooltip);
        EXPECT_EQ(c.row, 1);
        EXPECT_EQ(c.code, e.code);
    }
    const auto& picture = tabsView.at(45013);
    EXPECT_EQ(picture.kind, "info");
    EXPECT_EQ(picture.tooltip, "About two");
    const auto& status = tabsView.at(TutorialRowIds::of(1).status);
    EXPECT_EQ(std::tie(status.rect.left, status.rect.top, status.rect.right, status.rect.bottom),
              std::make_tuple(X - 171, y + 5, X - 101, y + 30));
    const auto& name = tabsView.at(TutorialRowIds::of(1).name);
    EXPECT_EQ(std::tie(name.rect.left, name.rect.right), std::make_tuple(30, X - 202));
}

TEST_F(TutorialsPageTest, ButtonStatesFollowTheDocumentOnDisk) {
    Tutorial noPdf = tutorial("T3 Basics", "nopdf");
    noPdf.keys.erase("PDFName");
    Tutorial noVideo = tutorial("T4 Basics", "novideo");
    noVideo.keys.erase("VideoURL");
    Tutorial tipOnly = tutorial("T5 Basics", "tiponly");
    tipOnly.keys.erase("InfoURL");
    Tutorial noInfo = tutorial("T6 Basics", "noinfo");
    noInfo.keys.erase("InfoURL");
    noInfo.keys.erase("InfoText");
    serveList({tutorial("T1 Basics", "installed"), tutorial("T2 Basics", "absent"), noPdf, noVideo, tipOnly, noInfo});
    const std::string tutorials = TutorialsFolder;
    m.files.addFile(tutorials + "installed\\installed.pdf", "%PDF");
    m.files.addFile(tutorials + "nopdf\\nopdf.pdf", "%PDF");  // there, but the list names no document
    m.files.addFile(tutorials + "novideo\\novideo.pdf", "%PDF");
    m.files.addFile(tutorials + "tiponly\\tiponly.pdf", "%PDF");
    auto page = openPage<ovDInstallTutorials>();

    struct Case {
        const char* what;
        bool installed, videoEnabled;
        bool infoButton, infoPicture;
    };
    const Case cases[] = {
        {"installed", true, true, true, false},   {"not installed", false, false, true, false},
        {"without PDFName", false, false, true, false}, {"without VideoURL", true, false, true, false},
        {"tooltip only", true, true, false, true}, {"no information", false, false, false, false},
    };
    for (int r = 0; r < 6; ++r) {
        const Case& c = cases[r];
        SCOPED_TRACE(c.what);
        const TutorialRowIds ids = TutorialRowIds::of(r);
        EXPECT_EQ(page->tabDialog().rows()[r].installed, c.installed);
        EXPECT_EQ(tabsView.at(ids.status).text, c.installed ? "Installed" : "Not Installed");
        EXPECT_EQ(tabsView.at(ids.install).enabled, !c.installed);
        for (int id : {ids.remove, ids.browse, ids.pdf, ids.video}) EXPECT_EQ(tabsView.at(id).shown, c.installed);
        if (c.installed) {
            EXPECT_TRUE(tabsView.at(ids.remove).enabled);
            EXPECT_TRUE(tabsView.at(ids.pdf).enabled);
            EXPECT_EQ(tabsView.at(ids.video).enabled, c.videoEnabled);
        }
        EXPECT_EQ(tabsView.at(ids.info).shown, c.infoButton);
        EXPECT_EQ(tabsView.at(ids.infoPicture).shown, c.infoPicture);
    }
}

TEST_F(TutorialsPageTest, InstallUnpacksIntoTheDocumentsAndRemoveTakesTutorialAndProfileAway) {
    serveList({tutorial("T1 Basics", "alpha")});
    serveArchive("alpha");
    auto page = openPage<ovDInstallTutorials>();
    const TutorialRowIds ids = TutorialRowIds::of(0);
    const std::string folder = std::string(TutorialsFolder) + "alpha";

    tabsView.click(ids.install);
    ASSERT_EQ(dialogs.of("downloadAndInstall").back().subject, "Caption alpha");
    EXPECT_TRUE(dialogs.of("downloadAndInstall").back().flags.downloadOnly);
    EXPECT_FALSE(dialogs.of("downloadAndInstall").back().flags.forceDownload);
    EXPECT_EQ(m.files.content(std::string(TutorialsData) + "\\alpha.zip").has_value(), true);
    EXPECT_EQ(m.files.content(folder + "\\alpha.pdf"), "%PDF-1.4 alpha");
    EXPECT_TRUE(m.files.isFolder("C:\\users\\admin\\Documents\\Orvanta 10.2\\Profiles"));
    EXPECT_EQ(tabsView.at(ids.status).text, "Installed");
    EXPECT_FALSE(tabsView.at(ids.install).enabled);
    EXPECT_TRUE(messages().empty());

    // Opening: the document, the folder, the video and the information address go to the shell.
    tabsView.click(ids.pdf);
    tabsView.click(ids.browse);
    tabsView.click(ids.video);
    tabsView.click(ids.info);
    ASSERT_EQ(m.processes.shellCalls.size(), 4u);
    EXPECT_EQ(m.processes.shellCalls[0].file, folder + "\\alpha.pdf");
    EXPECT_EQ(m.processes.shellCalls[0].directory, "");
    EXPECT_EQ(m.processes.shellCalls[1].file, folder);
    EXPECT_EQ(m.processes.shellCalls[1].directory, folder);
    EXPECT_EQ(m.processes.shellCalls[2].file, "http://video/alpha");
    EXPECT_EQ(m.processes.shellCalls[3].file, "http://info/alpha");
    for (const auto& call : m.processes.shellCalls) EXPECT_EQ(call.verb, "open");

    m.files.addFile(std::string(ProfilesFolder) + "alphaProfile\\settings.ini", "x");
    m.files.addFile(std::string(ProfilesFolder) + "other\\keep.ini", "x");
    tabsView.click(ids.remove);
    EXPECT_FALSE(m.files.exists(folder));
    EXPECT_FALSE(m.files.exists(std::string(ProfilesFolder) + "alphaProfile"));
    EXPECT_TRUE(m.files.exists(std::string(ProfilesFolder) + "other\\keep.ini"));
    EXPECT_EQ(tabsView.at(ids.status).text, "Not Installed");
    // The archive stays: installing again unpacks it without fetching it again.
    const int fetchedBefore = fetched;
    tabsView.click(ids.install);
    EXPECT_EQ(fetched, fetchedBefore);
    EXPECT_EQ(tabsView.at(ids.status).text, "Installed");
}

TEST_F(TutorialsPageTest, EveryFailureOfARowOperationIsReported) {
    Tutorial bare = tutorial("T2 Basics", "bare");
    bare.keys["URL"] = "bare.zip";
    Tutorial broken = tutorial("T3 Basics", "broken");
    serveList({tutorial("T1 Basics", "gone"), bare, broken});
    server["http://vendor/t/broken.zip"] = "this is no zip archive";
    const std::string tutorials = TutorialsFolder;
    m.files.addFile(tutorials + "gone\\gone.pdf", "%PDF");
    auto page = openPage<ovDInstallTutorials>();
    m.processes.onShellOpen("http://video/gone", [](auto&, auto&) { return 31u; });
    m.processes.onShellOpen("http://info/gone", [](auto&, auto&) { return 5u; });
    m.processes.onShellOpen(tutorials + "gone", [](auto&, auto&) { return 3u; });
    m.processes.onShellOpen(tutorials + "gone\\gone.pdf", [](auto&, auto&) { return 2u; });

    const TutorialRowIds gone = TutorialRowIds::of(0);
    struct Case {
        std::function<void()> act;
        std::string message;
    };
    const Case cases[] = {
        {[&] { tabsView.click(gone.pdf); }, "Unable to access the tutorial PDF file. Please try again."},
        {[&] { tabsView.click(gone.video); }, "Unable to access the tutorial video URL. Please try again."},
        {[&] { tabsView.click(gone.info); }, "Unable to access the tutorial information URL. Please try again."},
        {[&] { tabsView.click(gone.browse); }, "Unable to browse the folder. Error code - 3"},
        {[&] { tabsView.click(TutorialRowIds::of(1).install); },
         "Error: Unable to parse the download path for the selected tutorial. Please try again."},
        {[&] { tabsView.click(TutorialRowIds::of(2).install); },
         "Error: Unable to extract the tutorial files. Please try again."},
        {[&] { tabsView.listener->onRowButton(3, 0); },
         "Error: Unable to locate the download path for the selected tutorial. Please try again."},
        {[&] { tabsView.listener->onRowButton(0, 6); }, "Error: Unexpected operation. Please try again."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ui.messages.clear();
        const auto downloadsBefore = downloads.size();
        c.act();
        ASSERT_EQ(messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(ui.messages[0].caption, "Orvanta Lumetra SDK Version X 10.2.1.578 Installer");
        if (c.message.find("parse") != std::string::npos) {
            EXPECT_EQ(downloads.size(), downloadsBefore);
        }
    }
    EXPECT_EQ(tabsView.at(TutorialRowIds::of(2).status).text, "Not Installed");

    // A removal that cannot finish is reported and the row is not refreshed.
    m.files.fault = [&](const std::string& op, const std::string& path) {
        return op == "delete" && path.find("gone.pdf") != std::string::npos;
    };
    ui.messages.clear();
    tabsView.click(gone.remove);
    EXPECT_EQ(messages(), std::vector<std::string>{"Unable to remove the tutorial. Please try again."});
    EXPECT_EQ(tabsView.at(gone.status).text, "Installed");
}

TEST_F(TutorialsPageTest, NamesThatWouldLeaveTheirFolderAreRefused) {
    struct Case {
        const char* what;
        std::map<std::string, std::string> overrides;
        std::size_t refusals;  // Install and Remove refused, or only Install (the archive's name)
    };
    const Case cases[] = {
        {"parent name", {{"Name", ".."}}, 2},
        {"name with a path", {{"Name", "..\\..\\Windows"}}, 2},
        {"name with a slash", {{"Name", "a/b"}}, 2},
        {"drive name", {{"Name", "C:evil"}}, 2},
        {"device name", {{"Name", "NUL"}}, 2},
        {"no name, no caption", {{"Name", ""}, {"Caption", ""}}, 2},
        {"profile parent", {{"ProfileName", ".."}}, 2},
        {"profile path", {{"ProfileName", "x\\..\\.."}}, 2},
        {"archive named ..", {{"URL", "http://vendor/t/.."}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ContentBench bench;
        Tutorial t = tutorial("T1 Basics", "safe");
        for (const auto& [k, v] : c.overrides) t.keys[k] = v;
        bench.server[TutorialsListUrl] = listText({t});
        bench.server["http://vendor/t/safe.zip"] = ziptest::buildZip({{"safe.pdf", "%PDF"}});
        bench.server["http://vendor/t/.."] = ziptest::buildZip({{"safe.pdf", "%PDF"}});
        // Everything that exists before: a removal must leave all of it.
        bench.m.files.addFile(std::string(TutorialsFolder) + "keep\\keep.pdf", "%PDF");
        bench.m.files.addFile(std::string(ProfilesFolder) + "keep\\keep.ini", "x");
        bench.m.files.addFile("C:\\Windows\\win.ini", "x");
        auto page = bench.openPage<ovDInstallTutorials>();
        const auto before = bench.m.files.tree("C:\\");
        const TutorialRowIds ids = TutorialRowIds::of(0);
        bench.tabsView.click(ids.remove);
        bench.tabsView.click(ids.install);
        EXPECT_EQ(bench.ui.texts(), (std::vector<std::string>(
                                        c.refusals, "Error: The tutorial list names a folder or file that is not "
                                                    "allowed. The tutorial was not changed.")));
        EXPECT_EQ(bench.m.files.tree("C:\\"), before);
    }
}

TEST_F(TutorialsPageTest, AnArchiveWithEscapingEntriesWritesNothing) {
    serveList({tutorial("T1 Basics", "evil")});
    server["http://vendor/t/evil.zip"] =
        ziptest::buildZip({{"evil.pdf", "%PDF"}, {"../../escaped.txt", "x"}, {"sub/../../../x.txt", "y"}});
    auto page = openPage<ovDInstallTutorials>();
    tabsView.click(TutorialRowIds::of(0).install);
    EXPECT_EQ(messages(), std::vector<std::string>{"Error: Unable to extract the tutorial files. Please try again."});
    for (const std::string& path : m.files.tree("C:\\"))
        EXPECT_EQ(path.find("escaped"), std::string::npos) << path;
    EXPECT_FALSE(m.files.exists(std::string(TutorialsFolder) + "evil\\evil.pdf"));
    EXPECT_EQ(tabsView.at(TutorialRowIds::of(0).status).text, "Not Installed");
}

TEST_F(TutorialsPageTest, RefreshFallsBackToTheListOnDiskWhenTheServerIsDown) {
    serveList({tutorial("T1 Basics", "a"), tutorial("T2 Extras", "b")});
    auto page = openPage<ovDInstallTutorials>();
    tabsView.pickTab(1);
    ASSERT_EQ(tabsView.tabs, (std::vector<std::string>{" Basics", " Extras"}));

    serverDown = true;
    page->onCommand(IDC_TUTORIALS_REFRESH);
    EXPECT_EQ(messages(), std::vector<std::string>{"Using default list of tutorials."});
    EXPECT_EQ(ui.messages[0].caption, "Orvanta Lumetra SDK Version X 10.2.1.578 Installer");
    const auto refresh = dialogs.of("downloadAndInstall").back();
    EXPECT_TRUE(refresh.flags.forceDownload);
    EXPECT_TRUE(refresh.flags.reportErrors);
    EXPECT_EQ(tabsView.tabs, (std::vector<std::string>{" Basics", " Extras"}));
    EXPECT_EQ(tabsView.selected, 1);  // the person's tab stays
    EXPECT_EQ(rowCaptions(), std::vector<std::string>{"Caption b"});

    // Without a copy on disk: no fallback message, one blank tab and the "not available" dialog.
    m.files.deleteFile(TutorialsList);
    ui.messages.clear();
    EXPECT_EQ(page->refreshList(true, true), -1);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(tabsView.tabs, std::vector<std::string>{" "});
    EXPECT_EQ(tabsView.kind, content::TabContents::TutorialsNotAvailable);
    EXPECT_EQ(tabsView.messageLine, "Error: Unable to get the list of tutorials from the server.\nPlease try again.");
    EXPECT_TRUE(tabsView.messageShown);
    EXPECT_EQ(page->tabControl().selectedCategory(), "");

    // The server is back: a category of the same name in another case is selected again.
    serverDown = false;
    serveList({tutorial("T1 Basics", "a"), tutorial("T2 EXTRAS", "c")});
    tabsView.selected = 1;
    EXPECT_EQ(page->refreshList(true, true), 1);
    EXPECT_EQ(tabsView.tabs, (std::vector<std::string>{" Basics", " EXTRAS"}));
}

TEST_F(TutorialsPageTest, ActivationShowsTheListOnDiskWithoutTheNetwork) {
    serveList({tutorial("T1 Basics", "a")});
    auto page = openPage<ovDInstallTutorials>();
    const int fetchedBefore = fetched;
    server[TutorialsListUrl] = listText({tutorial("T1 Other", "z")});
    page->onSetActive();
    EXPECT_EQ(fetched, fetchedBefore);
    EXPECT_FALSE(dialogs.of("downloadAndInstall").back().flags.forceDownload);
    EXPECT_EQ(tabsView.tabs, std::vector<std::string>{" Basics"});
    EXPECT_TRUE(tabsView.back);
    EXPECT_TRUE(tabsView.next);
    EXPECT_EQ(tabsView.cancelText, "Finish");
    EXPECT_EQ(tabsView.text(IDC_TUTORIALS_STATUS),
              "Please click on the 'Next' button to view the quick start links.\nOr click on the 'Finish' button to "
              "complete the installation.");
    EXPECT_TRUE(tabsView.shownState[IDC_TUTORIALS_REFRESH]);
    EXPECT_EQ(tabsView.placed[IDC_TUTORIALS_REFRESH].x, 696);
    EXPECT_EQ(tabsView.placed[IDC_TUTORIALS_REFRESH].tooltip, "Refresh Tutorials List");
    EXPECT_EQ(page->pageName(), "Tutorials");
    EXPECT_EQ(page->headerText(), "Orvanta Vision Tutorials");
    const dvComponentInfo& record = page->components().component(0);
    EXPECT_EQ(record.downloadUrl(), TutorialsListUrl);
    EXPECT_EQ(record.downloadFolder(), TutorialsData);
    EXPECT_EQ(record.category(), "Tutorials");
}

TEST_F(TutorialsPageTest, AReadOnlyInstallerFolderHidesRefreshAndFetchesNothingAtStart) {
    serveList({tutorial("T1 Basics", "a")});
    env().folderWritable = false;
    auto page = openPage<ovDInstallTutorials>();
    EXPECT_TRUE(dialogs.of("downloadAndInstall").empty());
    page->onSetActive();
    EXPECT_FALSE(tabsView.shownState[IDC_TUTORIALS_REFRESH]);
}

TEST_F(TutorialsPageTest, HostileListsStayBounded) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "[S" + std::to_string(i) + " Cat" + std::to_string(i % 7) + "]\nCaption=" +
                                           std::string(1100, 'x') + "\nURL=http://v/" + std::to_string(i) + ".zip\n";
    text += "[Z " + std::string(400, 'L') + "]\nCaption=long\n";
    server[TutorialsListUrl] = text;
    auto page = openPage<ovDInstallTutorials>();
    // The names that fit into the section-names buffer only; at most eight rows, every value cut to 1023.
    EXPECT_LE(tabsView.tabs.size(), 7u);
    EXPECT_LE(page->tabDialog().rows().size(), 8u);
    for (const auto& row : page->tabDialog().rows()) EXPECT_EQ(row.caption.size(), 1023u);

    // A category longer than a tab caption holds is shortened on its tab only.
    ContentBench bench;
    bench.server[TutorialsListUrl] = listText({tutorial("Z " + std::string(400, 'L'), "long")});
    auto other = bench.openPage<ovDInstallTutorials>();
    ASSERT_EQ(bench.tabsView.tabs.size(), 1u);
    EXPECT_EQ(bench.tabsView.tabs[0].size(), 255u);
    EXPECT_EQ(other->tabDialog().rows().size(), 1u);
}

TEST_F(TutorialsPageTest, AFailedTabInsertionIsReportedAndTheOthersStillCome) {
    serveList({tutorial("T1 One", "a"), tutorial("T2 Two", "b"), tutorial("T3 Three", "c")});
    tabsView.failTabInsertion = 1;
    auto page = openPage<ovDInstallTutorials>();
    EXPECT_EQ(messages(), std::vector<std::string>{"Unable to add Tab item. Please try again."});
    EXPECT_EQ(tabsView.tabs, (std::vector<std::string>{" One", " Three"}));
}

TEST_F(TutorialsPageTest, ADialogThatCannotBeMadeLeavesTheTabsWithoutContents) {
    serveList({tutorial("T1 One", "a")});
    tabsView.failContents = true;
    auto page = openPage<ovDInstallTutorials>();
    EXPECT_EQ(tabsView.tabs, std::vector<std::string>{" One"});
    EXPECT_TRUE(tabsView.controls.empty());
    EXPECT_EQ(m.debug.lines.back(), "DTutorialsTabCtrl::createTabContents() - Unable to create tab dialog");
}

TEST_F(TutorialsPageTest, CollectsTheArchivesOfTheListWithoutAWindow) {
    Tutorial bare = tutorial("T2 Basics", "bare");
    bare.keys["URL"] = "bare.zip";
    Tutorial back = tutorial("T3 Basics", "back");
    back.keys["URL"] = "ftp:\\\\host\\dir\\back.zip";
    ovDInstallTutorials page(env(), "title");  // no window
    dvInstallManagerBase target;
    target.setComponents({dvComponentInfo("old", "u", "f", "", "d", false, false, nullptr, nullptr, nullptr, "")});
    EXPECT_EQ(page.collectTutorialArchives(target), -1);
    EXPECT_EQ(target.componentCount(), 1u);

    m.files.addFile(TutorialsList, listText({tutorial("T1 Basics", "alpha"), bare, back}));
    EXPECT_EQ(page.collectTutorialArchives(target), 1);
    ASSERT_EQ(target.componentCount(), 2u);
    const dvComponentInfo& a = target.component(0);
    EXPECT_EQ(a.displayName(), "Caption alpha");
    EXPECT_EQ(a.downloadUrl(), "http://vendor/t/alpha.zip");
    EXPECT_EQ(a.fileName(), "alpha.zip");
    EXPECT_EQ(a.downloadFolder(), TutorialsData);
    EXPECT_EQ(a.category(), "Tutorials");
    EXPECT_FALSE(a.alwaysDownload());
    EXPECT_FALSE(a.isMsiPackage());
    EXPECT_EQ(target.component(1).fileName(), "back.zip");
    EXPECT_TRUE(dialogs.opened.empty());
}

}  // namespace

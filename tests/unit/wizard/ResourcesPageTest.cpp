// The resources page through its window: the picture grid or the two link columns of a tab, the pictures
// fetched at a refresh, links that open addresses or documents fetched once, and the repaint timer.
#include <gtest/gtest.h>

#include <algorithm>

#include "ContentPageBench.h"
#include "pages/content/ResourcesPage.h"
#include "pages/content/ResourcesPageRes.h"

using namespace contenttest;

namespace {

struct Resource {
    std::string section;
    std::map<std::string, std::string> keys;
};

std::string listText(const std::vector<Resource>& resources) {
    std::string text;
    for (const auto& r : resources) {
        text += "[" + r.section + "]\r\n";
        for (const auto& [k, v] : r.keys) text += k + "=" + v + "\r\n";
    }
    return text;
}

Resource link(const std::string& section, const std::string& name, const std::string& column = "") {
    Resource r{section, {{"Name", name}, {"URL", "http://web/" + name}}};
    if (!column.empty()) r.keys["Column"] = column;
    return r;
}

class ResourcesPageTest : public ::testing::Test, public ContentBench {
protected:
    void serveList(const std::vector<Resource>& resources) { server[ResourcesListUrl] = listText(resources); }
    std::vector<std::string> linksIn(int firstId) {
        std::vector<std::string> names;
        for (int id : tabsView.idsOfKind("link"))
            if (id >= firstId && id < firstId + 100) names.push_back(tabsView.at(id).text);
        return names;
    }
};

TEST_F(ResourcesPageTest, LinksGoToTheColumnTheirColumnKeyNames) {
    serveList({link("R1 Docs", "left1"), link("R2 Docs", "right1", "2"), link("R3 Docs", "left2", "1"),
               link("R4 Docs", "right2", "2"), link("R5 Docs", "odd", "7")});
    auto page = openPage<ovDInstallOrvantaResourcesDynamic>();
    EXPECT_EQ(page->tabDialog().layout(), content::ResourceLayout::Links);
    EXPECT_EQ(linksIn(44000), (std::vector<std::string>{"left1", "left2", "odd"}));
    EXPECT_EQ(linksIn(44500), (std::vector<std::string>{"right1", "right2"}));
    // Row j keeps its identifier; each column advances 25 pixels per placed row from y = 20.
    struct Expected {
        int linkId, markerId;
        content::ControlRect link, marker;
    };
    const Expected expected[] = {
        {44000, 44250, {28, 20, 228, 35}, {10, 20, 25, 35}},
        {44501, 44751, {261, 20, 461, 35}, {243, 20, 258, 35}},
        {44002, 44252, {28, 45, 228, 60}, {10, 45, 25, 60}},
        {44503, 44753, {261, 45, 461, 60}, {243, 45, 258, 60}},
        {44004, 44254, {28, 70, 228, 85}, {10, 70, 25, 85}},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.linkId);
        const auto& l = tabsView.at(e.linkId);
        EXPECT_EQ(std::tie(l.rect.left, l.rect.top, l.rect.right, l.rect.bottom),
                  std::tie(e.link.left, e.link.top, e.link.right, e.link.bottom));
        const auto& mk = tabsView.at(e.markerId);
        EXPECT_EQ(mk.text, "=>");
        EXPECT_EQ(std::tie(mk.rect.left, mk.rect.top, mk.rect.right, mk.rect.bottom),
                  std::tie(e.marker.left, e.marker.top, e.marker.right, e.marker.bottom));
    }
    EXPECT_EQ(tabsView.at(44501).url, "http://web/right1");
    EXPECT_FALSE(tabsView.messageShown);
}

TEST_F(ResourcesPageTest, AFullColumnDropsItsFurtherRowsAndATabTakesAtMost64) {
    std::vector<Resource> list;
    for (int i = 0; i < 11; ++i) list.push_back(link("R" + std::to_string(i) + " Right", "r" + std::to_string(i), "2"));
    for (int i = 0; i < 70; ++i) list.push_back(link("M" + std::to_string(i) + " Many", "m" + std::to_string(i)));
    serveList(list);
    auto page = openPage<ovDInstallOrvantaResourcesDynamic>();
    EXPECT_EQ(linksIn(44500).size(), 10u);
    EXPECT_TRUE(linksIn(44000).empty());
    EXPECT_EQ(m.debug.lines.back(),
              "DTabResources::updateResourcesList() -  right. Unable to display all elements from column 2.\n");

    m.debug.lines.clear();
    tabsView.pickTab(1);
    EXPECT_EQ(page->tabDialog().rows().size(), 64u);
    EXPECT_EQ(linksIn(44000).size(), 10u);
    EXPECT_EQ(m.debug.lines.front(),
              "DTabResources::updateResourcesList() -  many. Unable to use all resources from INI file. List too "
              "long.\n");
}

TEST_F(ResourcesPageTest, OnePictureTurnsTheTabIntoAGridOfAtMostTwelve) {
    std::vector<Resource> list;
    Resource withPicture = link("P0 Gallery", "pic");
    withPicture.keys["ImageURL"] = "http://vendor/img/pic.PNG";
    Resource notAFile = link("P1 Gallery", "page");
    notAFile.keys["ImageURL"] = "http://vendor/img/page.html";
    list.push_back(withPicture);
    list.push_back(notAFile);
    for (int i = 2; i < 14; ++i) list.push_back(link("P" + std::to_string(i) + " Gallery", "g" + std::to_string(i)));
    serveList(list);
    server["http://vendor/img/pic.PNG"] = "png bytes";
    auto page = openPage<ovDInstallOrvantaResourcesDynamic>();

    // The refresh fetched the one picture file; the page address was not fetched.
    EXPECT_EQ(m.files.content(std::string(ResourcesData) + "\\pic.PNG"), "png bytes");
    EXPECT_EQ(std::count(downloads.begin(), downloads.end(), "http://vendor/img/page.html"), 0);
    EXPECT_EQ(page->tabDialog().layout(), content::ResourceLayout::Pictures);
    EXPECT_EQ(tabsView.idsOfKind("picture").size(), 12u);
    EXPECT_TRUE(tabsView.idsOfKind("link").empty());
    EXPECT_EQ(tabsView.at(45000).picture, std::string(ResourcesData) + "\\pic.PNG");
    EXPECT_EQ(tabsView.at(45001).picture, "");  // the default picture
    // Cell 7: second line, second column.
    const auto& cell = tabsView.at(45007);
    EXPECT_EQ(std::tie(cell.rect.left, cell.rect.top, cell.rect.right, cell.rect.bottom),
              std::make_tuple(79 + 30, 120 + 30, 79 + 94, 120 + 94));
    EXPECT_EQ(cell.row, 7);
    EXPECT_EQ(cell.code, 0);
    const auto& caption = tabsView.at(45057);
    EXPECT_EQ(caption.text, "g7");
    EXPECT_TRUE(caption.centred);
    EXPECT_EQ(std::tie(caption.rect.left, caption.rect.top, caption.rect.right, caption.rect.bottom),
              std::make_tuple(79 + 22, 120 + 97, 79 + 102, 120 + 125));
    EXPECT_EQ(m.debug.lines.back(),
              "DTabResources::updateResourcesList() -  gallery. Unable to display all elements.\n");
}

TEST_F(ResourcesPageTest, ADocumentIsFetchedOnceAndThenOpenedFromDisk) {
    Resource doc = link("D1 Docs", "Manual");
    doc.keys["URL"] = "http://vendor/docs/Manual.PDF";
    Resource picture = link("D2 Docs", "Shot");
    picture.keys["URL"] = "http://vendor/docs/shot.png";
    picture.keys["ImageURL"] = "http://vendor/docs/shot.png";
    serveList({doc, picture});
    server["http://vendor/docs/Manual.PDF"] = "%PDF manual";
    server["http://vendor/docs/shot.png"] = "png";
    auto page = openPage<ovDInstallOrvantaResourcesDynamic>();
    const std::string local = std::string(ResourcesData) + "\\Manual.PDF";

    const int fetchedBefore = fetched;
    tabsView.click(45000);
    tabsView.click(45000);
    EXPECT_EQ(fetched, fetchedBefore + 1);
    EXPECT_EQ(m.files.content(local), "%PDF manual");
    ASSERT_EQ(m.processes.shellCalls.size(), 2u);
    EXPECT_EQ(m.processes.shellCalls[0].file, local);
    EXPECT_EQ(m.processes.shellCalls[1].file, local);
    EXPECT_TRUE(ui.messages.empty());

    // Other codes are ignored; a row that does not exist is reported.
    tabsView.listener->onRowButton(0, 1);
    EXPECT_EQ(m.processes.shellCalls.size(), 2u);
    tabsView.listener->onRowButton(2, 0);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Error: Unable to locate the link. Please try again."});

    // A document the server does not have: the link's failure code.
    ui.messages.clear();
    server.erase("http://vendor/docs/shot.png");
    m.files.deleteFile(std::string(ResourcesData) + "\\shot.png");
    tabsView.click(45001);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Unable to access the link. Error code - -2"});
}

TEST_F(ResourcesPageTest, HyperlinksOpenTheirAddressAndReportFailures) {
    serveList({link("L1 Web", "site"), link("L2 Web", "broken")});
    auto page = openPage<ovDInstallOrvantaResourcesDynamic>();
    m.processes.onShellOpen("http://web/broken", [](auto&, auto&) { return 31u; });
    tabsView.click(44000);
    ASSERT_EQ(m.processes.shellCalls.size(), 1u);
    EXPECT_EQ(m.processes.shellCalls[0].file, "http://web/site");
    EXPECT_TRUE(ui.messages.empty());
    tabsView.click(44001);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{
                              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given "
                              "filename extension."});
}

TEST_F(ResourcesPageTest, TheRepaintTimerRepaintsFourTimesAfterEachBuild) {
    serveList({link("L1 Web", "site")});
    auto page = openPage<ovDInstallOrvantaResourcesDynamic>();
    EXPECT_EQ(tabsView.contentsTimers[content::RepaintTimer], 500u);
    const int before = tabsView.invalidations;
    for (int i = 0; i < 6 && tabsView.contentsTimers.count(content::RepaintTimer); ++i)
        tabsView.tick(content::RepaintTimer);
    EXPECT_EQ(tabsView.invalidations - before, 4);
    EXPECT_EQ(page->tabDialog().repaintCount(), 4);
    EXPECT_FALSE(tabsView.contentsTimers.count(content::RepaintTimer));
    tabsView.tick(99);  // other timers are not its business
    EXPECT_EQ(tabsView.invalidations - before, 4);
}

TEST_F(ResourcesPageTest, RefreshFallsBackToTheListOnDiskAndActivationLeavesCancelAlone) {
    serveList({link("L1 Web", "site"), link("L2 Mail", "mail")});
    auto page = openPage<ovDInstallOrvantaResourcesDynamic>();
    ASSERT_EQ(tabsView.tabs, (std::vector<std::string>{" Web", " Mail"}));
    serverDown = true;
    page->onCommand(IDC_RESOURCES_REFRESH);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"Using default list of resources."});
    EXPECT_EQ(tabsView.tabs, (std::vector<std::string>{" Web", " Mail"}));

    ui.messages.clear();
    m.files.deleteFile(ResourcesList);
    EXPECT_EQ(page->refreshList(true, true), -1);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(tabsView.kind, content::TabContents::ResourcesNotAvailable);
    EXPECT_EQ(tabsView.messageLine, "Error: Unable to get the list of resources from the server.\nPlease try again.");

    tabsView.cancelText = "untouched";
    page->onSetActive();
    EXPECT_EQ(tabsView.cancelText, "untouched");
    EXPECT_TRUE(tabsView.back && tabsView.next);
    EXPECT_TRUE(tabsView.shownState[IDC_RESOURCES_REFRESH]);
    EXPECT_EQ(tabsView.placed[IDC_RESOURCES_REFRESH].tooltip, "Refresh Resources List");
    EXPECT_EQ(page->pageName(), "Resources");
    EXPECT_EQ(page->components().component(0).downloadUrl(), ResourcesListUrl);
}

TEST_F(ResourcesPageTest, PicturesWithNamesThatWouldLeaveTheFolderAreNotFetched) {
    Resource a = link("P1 Gallery", "a");
    a.keys["ImageURL"] = "http://vendor/img/a:b.png";
    Resource b = link("P2 Gallery", "b");
    b.keys["ImageURL"] = "http://vendor/img/a<b>.png";
    Resource c = link("P3 Gallery", "c");
    c.keys["ImageURL"] = "http://vendor/img/con.png";
    serveList({a, b, c});
    auto page = openPage<ovDInstallOrvantaResourcesDynamic>();
    dvInstallManagerBase pictures;
    EXPECT_EQ(page->prefetchResourceImages(pictures), 1);
    EXPECT_EQ(pictures.componentCount(), 0u);
    for (int id : tabsView.idsOfKind("picture")) EXPECT_EQ(tabsView.at(id).picture, "");
    EXPECT_EQ(downloads, std::vector<std::string>{ResourcesListUrl});
}

TEST_F(ResourcesPageTest, AnEmptyCategoryShowsTheMessageLine) {
    serveList({link("L1 Web", "site")});
    auto page = openPage<ovDInstallOrvantaResourcesDynamic>();
    page->tabDialog().categoryFilter = "nothing here";
    page->tabDialog().updateResourcesList(tabsView);
    EXPECT_TRUE(tabsView.messageShown);
    EXPECT_EQ(tabsView.messageLine, "No resources are available in this category.");
}

}  // namespace

// "Create Installer Copy" on the in-memory machine: the category list built from the welcome page's rows, the
// check-box tree's propagation, and which downloads the selection leads to (rows, tutorials, help files) and
// where the sequence stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "wizard/InstallerSheet.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"
#include "support/ScriptedDialogs.h"
#include "versions/InstallerCopy.h"

using components::DialogEnd;
using components::DownloadErrorChoice;
using platform::fake::FakeMachine;
using versions::CopyResult;
using versions::DownloadCategoryList;
using versions::DownloadItem;
using versions::SelectionTree;

namespace {

const std::string AppFolder = "C:\\Installer";
const std::string DataFolder = "C:\\Installer\\_OrvantaInstallData";

struct Row {
    std::string name;
    std::string category;
};

// A component list of the given rows, every label writing into one string.
class Rows {
public:
    explicit Rows(const std::vector<Row>& rows) {
        std::vector<dvComponentInfo> records;
        for (const Row& r : rows)
            records.emplace_back(r.name, "http://vendor/" + r.name + ".exe", r.name + ".exe", "", DataFolder + "\\Sub",
                                 false, r.name.rfind("Always", 0) == 0, &sink, &sink, &sink, r.category);
        manager.setComponents(records);
    }
    dvInstallManagerBase manager;
    std::string sink;
};

// category: item item ... | category: ...  (the selected items marked with a trailing *)
std::string describe(const DownloadCategoryList& list) {
    std::string out;
    for (const auto& c : list.categories()) {
        out += (out.empty() ? "" : " | ") + c.categoryName + ":";
        for (const auto& i : c.items) out += " " + i.text + (i.selected ? "*" : "");
    }
    return out;
}

// The tree's boxes as "text=0/1" in node order.
std::string boxes(const SelectionTree& tree) {
    std::string out;
    for (const auto& n : tree.nodes()) out += (out.empty() ? "" : " ") + n.text + "=" + (n.checked ? "1" : "0");
    return out;
}

int nodeNamed(const SelectionTree& tree, const std::string& text) {
    for (std::size_t i = 0; i < tree.nodes().size(); ++i)
        if (tree.nodes()[i].text == text) return static_cast<int>(i);
    ADD_FAILURE() << "no node " << text;
    return -1;
}

TEST(DownloadCategoryList, CategoriesInOrderOfTheirFirstRowGroupedWithoutRegardToCase) {
    Rows rows({{"Runtime", "Core Components"},
               {"Speccy", "Utilities"},
               {"SDK", "core components"},
               {"Putty", "UTILITIES"},
               {"Driver", "Drivers"}});
    DownloadCategoryList list;
    list.buildFromComponents(rows.manager);
    EXPECT_EQ(describe(list),
              "Core Components: Runtime* SDK* | Utilities: Speccy* Putty* | Drivers: Driver* | Help Files: Help Files*");
    const auto& core = list.categories()[0].items;
    EXPECT_EQ(core[1].kind, DownloadItem::Row);
    EXPECT_EQ(core[1].rowIndex, 2);
    const DownloadItem& help = list.categories().back().items.at(0);
    EXPECT_EQ(help.kind, DownloadItem::Special);
    EXPECT_EQ(help.rowIndex, -1);

    // Built again from scratch: the earlier selection and categories go.
    list.categories()[0].items[0].selected = 0;
    Rows other(std::vector<Row>{{"Tool", "Utilities"}});
    list.buildFromComponents(other.manager);
    EXPECT_EQ(describe(list), "Utilities: Tool* | Help Files: Help Files*");
}

TEST(DownloadCategoryList, NothingIsDroppedBeyondSixtyFourCategoriesOrItems) {
    std::vector<Row> specs;
    for (int i = 0; i < 70; ++i) specs.push_back({"Row " + std::to_string(i), "Category " + std::to_string(i)});
    for (int i = 0; i < 100; ++i) specs.push_back({"Big " + std::to_string(i), "Big"});
    Rows rows(specs);
    DownloadCategoryList list;
    list.buildFromComponents(rows.manager);
    ASSERT_EQ(list.categories().size(), 72u) << "70 + Big + Help Files";
    EXPECT_EQ(list.categories()[69].categoryName, "Category 69");
    EXPECT_EQ(list.findCategory("big")->items.size(), 100u);
    EXPECT_EQ(list.selectedRows().size(), 170u);
    EXPECT_EQ(list.selectedRows().back(), 169);

    SelectionTree tree(list);
    EXPECT_EQ(tree.nodes().size(), 1u + 72u + 171u) << "every category and item has its node";
    EXPECT_EQ(tree.checkedItems(), 171);
}

TEST(DownloadCategoryList, FindsCategoriesAndItemsWithoutRegardToCase) {
    Rows rows(std::vector<Row>{{"Orvanta Lumetra SDK Tutorials", "Tutorials"}});
    DownloadCategoryList list;
    list.buildFromComponents(rows.manager);
    ASSERT_NE(list.findCategory("TUTORIALS"), nullptr);
    EXPECT_NE(versions::findItem(*list.findCategory("tutorials"), "orvanta lumetra sdk tutorials"), nullptr);
    EXPECT_EQ(versions::findItem(*list.findCategory("tutorials"), "Orvanta Lumetra SDK Tutorial"), nullptr);
    EXPECT_EQ(list.findCategory("Tutorial"), nullptr);
    EXPECT_TRUE(list.isSelected("help files", "HELP FILES"));
    EXPECT_FALSE(list.isSelected("Tutorials", "Help Files"));
}

TEST(DownloadCategoryList, SelectingOnlyNamedCategories) {
    Rows rows({{"A", "One"}, {"B", "Two"}, {"C", "one"}});
    DownloadCategoryList list;
    list.buildFromComponents(rows.manager);
    EXPECT_EQ(list.selectOnlyCategories({"ONE", "help files"}), std::nullopt);
    EXPECT_EQ(describe(list), "One: A* C* | Two: B | Help Files: Help Files*");
    EXPECT_EQ(list.selectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(list.selectOnlyCategories({"Two", "Three"}), std::optional<std::string>("Three"));
    EXPECT_EQ(describe(list), "One: A* C* | Two: B | Help Files: Help Files*") << "unchanged by an unknown name";
}

TEST(DownloadCategoryList, TheWelcomePagesRowsGroupAsTheSheetHandsThemOver) {
    FakeMachine m;
    RecordingUi ui;
    ScriptedDialogs dialogs;
    wizard::PageEnvironment environment{m, ui, dialogs, AppFolder, true, "http://vendor", false};
    wizard::ovDLumetraSDKInstallerSheet sheet(environment);
    DownloadCategoryList list;
    list.buildFromComponents(sheet.page(0).components());
    std::vector<std::string> names;
    std::size_t items = 0;
    for (const auto& c : list.categories()) {
        names.push_back(c.categoryName);
        items += c.items.size();
    }
    // The readme first, the help files last; every page's rows are there once.
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(names.front(), "Readme Notes");
    EXPECT_EQ(names[1], "Prerequisites");
    EXPECT_EQ(names.back(), "Help Files");
    std::size_t rows = 0;
    // Every page but the welcome page, the prerequisites status page (the prerequisites page's rows again) and
    // the installation complete page.
    for (int p = 1; p < sheet.pageCount(); ++p)
        if (p != 4 && p != 8) rows += sheet.page(p).rowCount();
    EXPECT_EQ(items, rows + 1);
    EXPECT_TRUE(list.isSelected("Tutorials", "Orvanta Lumetra SDK Tutorials"));
    bool speccy = false;
    for (const auto& c : list.categories()) speccy = speccy || versions::findItem(c, "Speccy v1.25");
    EXPECT_TRUE(speccy);
}

class Tree : public ::testing::Test {
protected:
    Tree() : rows({{"A1", "A"}, {"A2", "A"}, {"B1", "B"}}) {
        list.buildFromComponents(rows.manager);
        list.addItem("Empty", {});  // a category without items is made, then emptied below
        list.categories().back().items.clear();
    }
    Rows rows;
    DownloadCategoryList list;
};

TEST_F(Tree, OpensWithTheItemsSelectionAndUncheckedParents) {
    list.categories()[0].items[1].selected = 0;
    SelectionTree tree(list);
    EXPECT_EQ(boxes(tree), "All=0 A=0 A1=1 A2=0 B=0 B1=1 Help Files=0 Help Files=1") << "no node for Empty";
    EXPECT_EQ(tree.node(nodeNamed(tree, "A2")).parent, nodeNamed(tree, "A"));
    EXPECT_EQ(tree.node(SelectionTree::Root).children.size(), 3u);
}

TEST_F(Tree, ATogglePassesDownAndParentsFollowTheirChildren) {
    const struct {
        const char* node;
        bool checked;
        const char* after;
    } steps[] = {
        // Everything starts checked in the items; toggling a category sets its items and recomputes "All".
        {"A", true, "All=1 A=1 A1=1 A2=1 B=1 B1=1 Help Files=1 Help Files=1"},
        {"A2", false, "All=0 A=0 A1=1 A2=0 B=1 B1=1 Help Files=1 Help Files=1"},
        {"A2", true, "All=1 A=1 A1=1 A2=1 B=1 B1=1 Help Files=1 Help Files=1"},
        {"B", false, "All=0 A=1 A1=1 A2=1 B=0 B1=0 Help Files=1 Help Files=1"},
        {"All", false, "All=0 A=0 A1=0 A2=0 B=0 B1=0 Help Files=0 Help Files=0"},
        {"B1", true, "All=0 A=0 A1=0 A2=0 B=1 B1=1 Help Files=0 Help Files=0"},
        {"All", true, "All=1 A=1 A1=1 A2=1 B=1 B1=1 Help Files=1 Help Files=1"},
    };
    SelectionTree tree(list);
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.node) + (s.checked ? " checked" : " unchecked"));
        tree.toggled(nodeNamed(tree, s.node), s.checked);
        EXPECT_EQ(boxes(tree), s.after);
    }
}

TEST_F(Tree, OnlyItemBoxesAreWrittenBack) {
    SelectionTree tree(list);
    tree.toggled(nodeNamed(tree, "All"), false);
    EXPECT_EQ(tree.checkedItems(), 0);
    tree.toggled(nodeNamed(tree, "A1"), true);
    tree.toggled(nodeNamed(tree, "B1"), true);
    EXPECT_EQ(tree.checkedItems(), 2);
    tree.writeBack(list);
    EXPECT_EQ(describe(list), "A: A1* A2 | B: B1* | Help Files: Help Files | Empty:");
    // Opening again shows the stored choice.
    EXPECT_EQ(boxes(SelectionTree(list)), "All=0 A=0 A1=1 A2=0 B=0 B1=1 Help Files=0 Help Files=0");
}

// The page and the sheet as the copy sequence sees them: the rows download through the real list operation and
// its scripted dialogs; the selection, the deletion and the help preparation are recorded.
class CopySteps : public versions::InstallerCopySteps {
public:
    CopySteps(dvInstallManagerBase& rows, std::vector<std::string>& log) : rows_(rows), log_(log) {}
    bool selectComponents(DownloadCategoryList& list) override {
        log_.push_back("select");
        if (choose) choose(list);
        return confirm;
    }
    void deleteAlwaysDownloadedFiles() override {
        log_.push_back("delete");
        rows_.deleteOldDownloads(true, false);
    }
    int downloadComponentList(const int* indices, int count, unsigned char* ignoreAll) override {
        std::string line = "rows";
        for (int i = 0; i < count; ++i) line += " " + std::to_string(indices[i]);
        log_.push_back(line);
        ignoreAlls.push_back(ignoreAll);
        return rows_.downloadComponentList(indices, count, false, ignoreAll);
    }
    int prepareHelpFiles(unsigned char* ignoreAll) override {
        log_.push_back("help");
        ignoreAlls.push_back(ignoreAll);
        return 1;
    }
    std::function<void(DownloadCategoryList&)> choose;
    bool confirm = true;
    std::vector<unsigned char*> ignoreAlls;

private:
    dvInstallManagerBase& rows_;
    std::vector<std::string>& log_;
};

class CreateCopy : public ::testing::Test {
protected:
    CreateCopy()
        : rows({{"Always Runtime", "Core"}, {"Speccy", "Utilities"}, {"SDK", "Core"},
                {"Orvanta Lumetra SDK Tutorials", "Tutorials"}}),
          steps(rows.manager, log) {
        rows.manager.setContext(context());
        list.buildFromComponents(rows.manager);
        dialogs.onDownloadAndInstall = [this](const dvComponentInfo& row, const components::DownloadRunFlags& flags) {
            EXPECT_TRUE(flags.downloadOnly);
            log.push_back("fetch " + row.fileName());
            for (const auto& f : failing)
                if (f == row.fileName()) return DialogEnd::Cancel;
            m.files.addFile(row.downloadFolder() + "\\" + row.fileName(), "fetched");
            return DialogEnd::Ok;
        };
        m.files.addFolder(DataFolder + "\\Sub");
    }
    components::OperationContext context() { return {m, ui, dialogs, AppFolder}; }
    // Two tutorial archives.
    versions::CollectTutorialArchives tutorials() {
        return [this](dvInstallManagerBase& target) {
            log.push_back("collect");
            std::vector<dvComponentInfo> records;
            for (const char* name : {"tut1.zip", "tut2.zip"})
                records.emplace_back(name, std::string("http://vendor/") + name, name, "", DataFolder + "\\Tutorials",
                                     false, false, &sink, &sink, &sink, "Tutorials");
            target.setComponents(records);
            return 1;
        };
    }
    CopyResult run() { return versions::createInstallerCopy(list, steps, context(), tutorials()); }

    FakeMachine m;
    RecordingUi ui;
    ScriptedDialogs dialogs;
    std::string sink;
    std::vector<std::string> log;
    std::vector<std::string> failing;
    Rows rows;
    CopySteps steps;
    DownloadCategoryList list;
};

TEST_F(CreateCopy, EverythingSelectedFetchesRowsByCategoryThenTutorialsThenHelp) {
    m.files.addFile(DataFolder + "\\Sub\\Always Runtime.exe", "old");
    m.files.addFile(DataFolder + "\\Sub\\Speccy.exe", "kept");
    EXPECT_EQ(run(), CopyResult::Done);
    EXPECT_EQ(log, (std::vector<std::string>{"select", "delete", "rows 0 2 1 3", "fetch Always Runtime.exe",
                                             "fetch SDK.exe", "fetch Orvanta Lumetra SDK Tutorials.exe", "collect",
                                             "fetch tut1.zip", "fetch tut2.zip", "help"}))
        << "Speccy's file was there already";
    EXPECT_EQ(m.files.content(DataFolder + "\\Sub\\Always Runtime.exe"), "fetched") << "fetched afresh";
    EXPECT_EQ(m.files.content(DataFolder + "\\Tutorials\\tut2.zip"), "fetched");
    ASSERT_EQ(steps.ignoreAlls.size(), 2u);
    EXPECT_EQ(steps.ignoreAlls[0], steps.ignoreAlls[1]) << "one Ignore All answer for the whole sequence";
    EXPECT_TRUE(ui.messages.empty()) << "no reports";
}

TEST_F(CreateCopy, TheSelectionDecidesWhatIsFetched) {
    const struct {
        const char* name;
        std::vector<std::string> categories;
        std::vector<std::string> expected;
    } cases[] = {
        {"only the help files", {"Help Files"}, {"select", "delete", "help"}},
        {"only the utilities", {"utilities"}, {"select", "delete", "rows 1", "fetch Speccy.exe"}},
        {"only the tutorials",
         {"Tutorials"},
         {"select", "delete", "rows 3", "fetch Orvanta Lumetra SDK Tutorials.exe", "collect", "fetch tut1.zip",
          "fetch tut2.zip"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        m.files.deleteFile(DataFolder + "\\Sub\\Speccy.exe");
        m.files.deleteFile(DataFolder + "\\Sub\\Orvanta Lumetra SDK Tutorials.exe");
        m.files.deleteFile(DataFolder + "\\Tutorials\\tut1.zip");
        m.files.deleteFile(DataFolder + "\\Tutorials\\tut2.zip");
        steps.choose = [&](DownloadCategoryList& l) { ASSERT_EQ(l.selectOnlyCategories(c.categories), std::nullopt); };
        EXPECT_EQ(run(), CopyResult::Done);
        EXPECT_EQ(log, c.expected);
    }
}

TEST_F(CreateCopy, CancelOrQuitStopsTheSequence) {
    steps.confirm = false;
    EXPECT_EQ(run(), CopyResult::NotSelected);
    EXPECT_EQ(log, (std::vector<std::string>{"select"}));

    // Quit on a row's failure: neither tutorials nor help.
    steps.confirm = true;
    log.clear();
    failing = {"SDK.exe"};
    dialogs.errorChoices = {DownloadErrorChoice::Quit};
    EXPECT_EQ(run(), CopyResult::RowsFailed);
    EXPECT_EQ(log, (std::vector<std::string>{"select", "delete", "rows 0 2 1 3", "fetch Always Runtime.exe",
                                             "fetch SDK.exe"}));

    // Quit on a tutorial's failure: no help.
    log.clear();
    failing = {"tut1.zip"};
    dialogs.errorChoices = {DownloadErrorChoice::Quit};
    EXPECT_EQ(run(), CopyResult::TutorialsFailed);
    EXPECT_EQ(log.back(), "fetch tut1.zip");

    // Ignore All on a row holds for the tutorials as well; the help still comes.
    log.clear();
    dialogs.opened.clear();
    failing = {"SDK.exe", "tut1.zip"};
    m.files.deleteFile(DataFolder + "\\Sub\\SDK.exe");
    dialogs.errorChoices = {DownloadErrorChoice::IgnoreAll};
    EXPECT_EQ(run(), CopyResult::Done);
    EXPECT_EQ(dialogs.of("downloadError").size(), 1u);
    EXPECT_EQ(log.back(), "help");
}

TEST_F(CreateCopy, WithoutATutorialsCollectorOnlyTheRowIsFetched) {
    EXPECT_EQ(versions::createInstallerCopy(list, steps, context(), nullptr), CopyResult::Done);
    EXPECT_EQ(std::count(log.begin(), log.end(), "collect"), 0);
    EXPECT_EQ(log.back(), "help");
}

}  // namespace

// "Create Installer Copy": the selection of what to download (every row of the welcome page's component list
// grouped by category, plus the help files), the check-box tree the user edits it in, and the download sequence
// that turns the installer's folder into an offline copy without installing anything.
//
// The lists grow as needed: a category or a row is never dropped, however many there are, since a silently
// missing component would only show months later on a computer that is offline.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "components/InstallManagerBase.h"
#include "components/OperationContext.h"

namespace versions {

struct DownloadItem {
    enum Kind { Special = 0, Row = 1 };
    int kind = Row;
    int rowIndex = -1;  // 0-based row of the component list; -1 for a special entry
    int selected = 1;   // 0 or 1
    std::string text;   // the row's display name, or "Help Files"
};

struct DownloadCategory {
    std::string categoryName;
    std::vector<DownloadItem> items;
};

class DownloadCategoryList {
public:
    // Empties the list, then adds every row in row order to the category its record names, all selected, and
    // the help files last in their own category.
    void buildFromComponents(const dvInstallManagerBase& components);
    void clear() { categories_.clear(); }
    // Appends the item to the category of that name (compared without regard to case), which is appended
    // first when there is none yet.
    void addItem(const std::string& categoryName, DownloadItem item);

    DownloadCategory* findCategory(const std::string& name);
    const DownloadCategory* findCategory(const std::string& name) const;

    std::vector<DownloadCategory>& categories() { return categories_; }
    const std::vector<DownloadCategory>& categories() const { return categories_; }

    // Selects exactly the items of the named categories (without regard to case). The first name that is not a
    // category is returned and nothing is changed then.
    std::optional<std::string> selectOnlyCategories(const std::vector<std::string>& names);
    // The rows of the selected items, category by category in list order.
    std::vector<int> selectedRows() const;
    // Whether the category exists and holds the item with selected 1.
    bool isSelected(const std::string& categoryName, const std::string& itemText) const;

private:
    std::vector<DownloadCategory> categories_;
};

DownloadItem* findItem(DownloadCategory& category, const std::string& text);
const DownloadItem* findItem(const DownloadCategory& category, const std::string& text);

// The selection tree: "All" at the top, a node per category that holds items, a node per item. It follows
// what the tree control does: the control toggles a box, then the tree is told (toggled) and passes the new
// state down to every descendant and recomputes the parents. Node 0 is "All".
class SelectionTree {
public:
    struct Node {
        std::string text;
        int parent = -1;
        std::vector<int> children;
        bool checked = false;
        int category = -1;  // the list's category of a category or item node
        int item = -1;      // the category's item of an item node
    };

    // The boxes of the items show their selection; "All" and the categories start unchecked.
    explicit SelectionTree(const DownloadCategoryList& list);

    const std::vector<Node>& nodes() const { return nodes_; }
    const Node& node(int index) const { return nodes_.at(static_cast<std::size_t>(index)); }
    static constexpr int Root = 0;

    // The box of node now shows checked (the control has toggled it): the node's descendants take the state,
    // then every node with children is checked exactly when all its children are.
    void toggled(int index, bool checked);

    // The number of checked item nodes.
    int checkedItems() const;
    // Writes the item nodes' states into the list's selected values. The boxes of "All" and of the categories
    // are not read.
    void writeBack(DownloadCategoryList& list) const;

private:
    void setSubtree(int index, bool checked);
    bool recompute(int index);

    std::vector<Node> nodes_;
};

// The selection dialog: true when the user confirmed a choice holding at least one item, which is then in
// the list's selected values; false leaves the list as it was.
class SelectionDialog {
public:
    virtual ~SelectionDialog() = default;
    virtual bool run(DownloadCategoryList& list) = 0;
};

// What the copy sequence asks of the welcome page and the sheet.
class InstallerCopySteps {
public:
    virtual ~InstallerCopySteps() = default;
    // Lets the user choose (the dialog above); false stops the sequence.
    virtual bool selectComponents(DownloadCategoryList& list) = 0;
    // The page's old downloads of the rows that always download, without a report; the result is not used.
    virtual void deleteAlwaysDownloadedFiles() = 0;
    // The page's rows, download only, no report.
    virtual int downloadComponentList(const int* indices, int count, unsigned char* ignoreAll) = 0;
    // Fetches and unpacks the help archive afresh.
    virtual int prepareHelpFiles(unsigned char* ignoreAll) = 0;
};

// Fills the list with one record per tutorial archive; a positive result when it did. The records may write
// into strings of the object that made them (a tutorials page without a window), which must therefore live
// until createInstallerCopy has returned.
using CollectTutorialArchives = std::function<int(dvInstallManagerBase& target)>;

// The result of createInstallerCopy.
enum class CopyResult {
    NotSelected,      // the selection was cancelled
    RowsFailed,       // the rows' download failed or the user quit it
    TutorialsFailed,  // the tutorials' download failed or the user quit it
    Done,             // everything chosen was fetched or ignored (the help files may still have failed)
};

// The sequence behind "Create Installer Copy". context serves the tutorials' temporary list; collect may be
// empty (then no tutorials are fetched).
CopyResult createInstallerCopy(DownloadCategoryList& list, InstallerCopySteps& steps,
                               const components::OperationContext& context, const CollectTutorialArchives& collect);

}  // namespace versions

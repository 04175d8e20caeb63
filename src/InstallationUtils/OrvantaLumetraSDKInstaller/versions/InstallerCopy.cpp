#include "versions/InstallerCopy.h"

#include "platform/TextCompare.h"
#include "versions/InstallerCopyTexts.h"

namespace versions {

namespace texts = installercopytexts;

void DownloadCategoryList::buildFromComponents(const dvInstallManagerBase& components) {
    clear();
    for (unsigned i = 0; i < components.componentCount(); ++i) {
        const dvComponentInfo& row = components.component(i);
        addItem(row.category(), {DownloadItem::Row, static_cast<int>(i), 1, row.displayName()});
    }
    addItem(texts::HelpFiles, {DownloadItem::Special, -1, 1, texts::HelpFiles});
}

void DownloadCategoryList::addItem(const std::string& categoryName, DownloadItem item) {
    DownloadCategory* category = findCategory(categoryName);
    if (!category) {
        categories_.push_back({categoryName, {}});
        category = &categories_.back();
    }
    category->items.push_back(std::move(item));
}

DownloadCategory* DownloadCategoryList::findCategory(const std::string& name) {
    for (DownloadCategory& category : categories_)
        if (text::equalsIgnoringCase(category.categoryName, name)) return &category;
    return nullptr;
}

const DownloadCategory* DownloadCategoryList::findCategory(const std::string& name) const {
    return const_cast<DownloadCategoryList*>(this)->findCategory(name);
}

std::optional<std::string> DownloadCategoryList::selectOnlyCategories(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (!findCategory(name)) return name;
    for (DownloadCategory& category : categories_) {
        bool named = false;
        for (const std::string& name : names) named = named || text::equalsIgnoringCase(category.categoryName, name);
        for (DownloadItem& item : category.items) item.selected = named ? 1 : 0;
    }
    return std::nullopt;
}

std::vector<int> DownloadCategoryList::selectedRows() const {
    std::vector<int> rows;
    for (const DownloadCategory& category : categories_)
        for (const DownloadItem& item : category.items)
            if (item.rowIndex >= 0 && item.selected == 1) rows.push_back(item.rowIndex);
    return rows;
}

bool DownloadCategoryList::isSelected(const std::string& categoryName, const std::string& itemText) const {
    const DownloadCategory* category = findCategory(categoryName);
    const DownloadItem* item = category ? findItem(*category, itemText) : nullptr;
    return item && item->selected == 1;
}

DownloadItem* findItem(DownloadCategory& category, const std::string& text) {
    for (DownloadItem& item : category.items)
        if (text::equalsIgnoringCase(item.text, text)) return &item;
    return nullptr;
}

const DownloadItem* findItem(const DownloadCategory& category, const std::string& text) {
    return findItem(const_cast<DownloadCategory&>(category), text);
}

SelectionTree::SelectionTree(const DownloadCategoryList& list) {
    nodes_.push_back({texts::AllNode, -1, {}, false, -1, -1});
    const auto& categories = list.categories();
    for (std::size_t c = 0; c < categories.size(); ++c) {
        if (categories[c].items.empty()) continue;
        const int categoryNode = static_cast<int>(nodes_.size());
        nodes_.push_back({categories[c].categoryName, Root, {}, false, static_cast<int>(c), -1});
        nodes_[Root].children.push_back(categoryNode);
        for (std::size_t i = 0; i < categories[c].items.size(); ++i) {
            const DownloadItem& item = categories[c].items[i];
            const int itemNode = static_cast<int>(nodes_.size());
            nodes_.push_back({item.text, categoryNode, {}, item.selected == 1, static_cast<int>(c), static_cast<int>(i)});
            nodes_[static_cast<std::size_t>(categoryNode)].children.push_back(itemNode);
        }
    }
}

void SelectionTree::setSubtree(int index, bool checked) {
    Node& n = nodes_.at(static_cast<std::size_t>(index));
    n.checked = checked;
    for (int child : n.children) setSubtree(child, checked);
}

bool SelectionTree::recompute(int index) {
    Node& n = nodes_.at(static_cast<std::size_t>(index));
    if (n.children.empty()) return n.checked;
    bool all = true;
    for (int child : n.children) all = recompute(child) && all;
    nodes_[static_cast<std::size_t>(index)].checked = all;
    return all;
}

void SelectionTree::toggled(int index, bool checked) {
    if (index < 0 || static_cast<std::size_t>(index) >= nodes_.size()) return;
    setSubtree(index, checked);
    recompute(Root);
}

int SelectionTree::checkedItems() const {
    int count = 0;
    for (const Node& n : nodes_)
        if (n.item >= 0 && n.checked) ++count;
    return count;
}

void SelectionTree::writeBack(DownloadCategoryList& list) const {
    auto& categories = list.categories();
    for (const Node& n : nodes_) {
        if (n.item < 0 || static_cast<std::size_t>(n.category) >= categories.size()) continue;
        auto& items = categories[static_cast<std::size_t>(n.category)].items;
        if (static_cast<std::size_t>(n.item) < items.size()) items[static_cast<std::size_t>(n.item)].selected = n.checked ? 1 : 0;
    }
}

CopyResult createInstallerCopy(DownloadCategoryList& list, InstallerCopySteps& steps,
                               const components::OperationContext& context, const CollectTutorialArchives& collect) {
    if (!steps.selectComponents(list)) return CopyResult::NotSelected;
    // Files that always download are fetched afresh rather than copied from an older run.
    steps.deleteAlwaysDownloadedFiles();

    const std::vector<int> rows = list.selectedRows();
    // One answer of "Ignore All" holds for the rows, the tutorials and the help files alike.
    unsigned char ignoreAll = 0;
    if (!rows.empty() &&
        steps.downloadComponentList(rows.data(), static_cast<int>(rows.size()), &ignoreAll) <= 0)
        return CopyResult::RowsFailed;

    if (collect && list.isSelected(texts::TutorialsCategory, texts::TutorialsItem)) {
        dvInstallManagerBase tutorials;
        tutorials.setContext(context);
        // A list that names no archive has nothing to fetch, which is no failure.
        if (collect(tutorials) > 0 && tutorials.componentCount() > 0 &&
            tutorials.downloadAllComponents(false, &ignoreAll) < 1)
            return CopyResult::TutorialsFailed;
    }

    if (list.isSelected(texts::HelpFiles, texts::HelpFiles)) steps.prepareHelpFiles(&ignoreAll);
    return CopyResult::Done;
}

}  // namespace versions

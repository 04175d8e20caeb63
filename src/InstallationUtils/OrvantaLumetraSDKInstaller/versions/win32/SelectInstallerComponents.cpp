#include "versions/win32/SelectInstallerComponents.h"

#include "app/AppTexts.h"
#include "versions/InstallerCopyTexts.h"
#include "versions/win32/SelectInstallerComponentsRes.h"

namespace versions::win32 {

namespace {

// Posted to the dialog after the tree control has toggled a box (lParam: the item), so that the control's own
// toggle has happened when the dialog reads the box.
constexpr UINT BoxToggledMessage = WM_APP + 1;

}  // namespace

DSelectInstallerComponents::DSelectInstallerComponents(ui::UserInterface& ui, HWND owner)
    : ModalDialog("DSelectInstallerComponents"), ui_(ui), owner_(owner) {}

bool DSelectInstallerComponents::run(DownloadCategoryList& list) {
    list_ = &list;
    tree_ = std::make_unique<SelectionTree>(list);
    items_.clear();
    const bool ok = runModal(IDD_SELECT_INSTALLER_COMPONENTS, owner_) == components::DialogEnd::Ok;
    items_.clear();  // the control's items are gone with the window
    tree_.reset();
    list_ = nullptr;
    return ok;
}

void DSelectInstallerComponents::onInitDialog(HWND dialog) {
    HWND tree = GetDlgItem(dialog, IDC_SELECT_TREE);
    // The check boxes' image list is made when the style is added to the existing control, before it is filled.
    SetWindowLongPtrA(tree, GWL_STYLE, GetWindowLongPtrA(tree, GWL_STYLE) | TVS_CHECKBOXES);
    TreeView_DeleteAllItems(tree);

    const auto& nodes = tree_->nodes();
    items_.assign(nodes.size(), nullptr);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = nodes[i].parent < 0 ? TVI_ROOT : items_[static_cast<std::size_t>(nodes[i].parent)];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<char*>(nodes[i].text.c_str());
        insert.item.lParam = static_cast<LPARAM>(i);
        items_[i] = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    // Categories first, then "All", so that every item is in view.
    for (int child : nodes[SelectionTree::Root].children)
        TreeView_Expand(tree, items_[static_cast<std::size_t>(child)], TVE_EXPAND);
    TreeView_Expand(tree, items_[SelectionTree::Root], TVE_EXPAND);
    showChecks(tree);
}

void DSelectInstallerComponents::showChecks(HWND tree) {
    const auto& nodes = tree_->nodes();
    for (std::size_t i = 0; i < nodes.size() && i < items_.size(); ++i)
        if (items_[i]) TreeView_SetCheckState(tree, items_[i], nodes[i].checked ? TRUE : FALSE);
}

int DSelectInstallerComponents::nodeOf(HTREEITEM item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == item) return static_cast<int>(i);
    return -1;
}

void DSelectInstallerComponents::onToggled(HWND dialog, HTREEITEM item) {
    const int node = nodeOf(item);
    if (node < 0) return;
    HWND tree = GetDlgItem(dialog, IDC_SELECT_TREE);
    tree_->toggled(node, TreeView_GetCheckState(tree, item) == 1);
    showChecks(tree);
}

INT_PTR DSelectInstallerComponents::handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom != IDC_SELECT_TREE) return FALSE;
            if (header->code == NM_CLICK) {
                TVHITTESTINFO hit = {};
                const DWORD position = GetMessagePos();
                hit.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
                ScreenToClient(header->hwndFrom, &hit.pt);
                HTREEITEM item = TreeView_HitTest(header->hwndFrom, &hit);
                if (item && (hit.flags & TVHT_ONITEMSTATEICON))
                    PostMessageA(dialog, BoxToggledMessage, 0, reinterpret_cast<LPARAM>(item));
            } else if (header->code == TVN_KEYDOWN) {
                const auto* key = reinterpret_cast<const NMTVKEYDOWN*>(lParam);
                HTREEITEM item = TreeView_GetSelection(header->hwndFrom);
                if (key->wVKey == VK_SPACE && item)
                    PostMessageA(dialog, BoxToggledMessage, 0, reinterpret_cast<LPARAM>(item));
            }
            return FALSE;
        }
        case BoxToggledMessage:
            onToggled(dialog, reinterpret_cast<HTREEITEM>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                // Only the components' boxes count; the category boxes merely summarise them.
                if (tree_->checkedItems() < 1) {
                    ui_.messageBox(installercopytexts::NothingSelected, apptexts::InstallerTitle, ui::Buttons::Ok,
                                   ui::Icon::None, true);
                    return TRUE;
                }
                tree_->writeBack(*list_);
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace versions::win32

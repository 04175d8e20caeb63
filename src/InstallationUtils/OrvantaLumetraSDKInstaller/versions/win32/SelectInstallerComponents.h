// DSelectInstallerComponents: the tree of the installer copy's categories and components with check boxes.
// The portable SelectionTree decides what a click does; this dialog shows it and reads the user's clicks.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "app/UserInterface.h"
#include "download/win32/ModalDialog.h"
#include "versions/InstallerCopy.h"

namespace versions::win32 {

class DSelectInstallerComponents : public download::win32::ModalDialog, public versions::SelectionDialog {
public:
    // ui shows "nothing selected"; owner is the dialog's owner window.
    DSelectInstallerComponents(ui::UserInterface& ui, HWND owner);

    bool run(DownloadCategoryList& list) override;

protected:
    void onInitDialog(HWND dialog) override;
    INT_PTR handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The tree control has toggled node's box; the model passes it on and the boxes show the result.
    void onToggled(HWND dialog, HTREEITEM item);
    void showChecks(HWND tree);
    int nodeOf(HTREEITEM item) const;

    ui::UserInterface& ui_;
    HWND owner_;
    DownloadCategoryList* list_ = nullptr;
    std::unique_ptr<SelectionTree> tree_;
    std::vector<HTREEITEM> items_;  // the tree control's item of every node
};

}  // namespace versions::win32

#include "pages/components/win32/VexlibVersionDialog.h"

#include "pages/components/VexlibVersionSelectionRes.h"
#include "platform/win32/OwnerWindow.h"

namespace vexlib::win32 {

namespace {

class Dialog : public download::win32::ModalDialog, public SelectionView {
public:
    Dialog(int current, bool ipp, ui::UserInterface& ui)
        : ModalDialog("DVexlibVersionSelection"), logic_(current, ipp), ui_(ui) {}

    std::optional<int> run() {
        if (runModal(IDD_VEXLIB_VERSION_SELECTION, platform::win32::mainWindow()) != components::DialogEnd::Ok)
            return std::nullopt;
        return chosen_;
    }

    void setChecked(int id, bool checked) override { CheckDlgButton(dialog_, id, checked ? BST_CHECKED : BST_UNCHECKED); }
    bool isChecked(int id) override { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
    void enableControl(int id, bool enabled) override { EnableWindow(GetDlgItem(dialog_, id), enabled); }
    void showControl(int id, bool shown) override { ShowWindow(GetDlgItem(dialog_, id), shown ? SW_SHOW : SW_HIDE); }

private:
    void onInitDialog(HWND dialog) override {
        dialog_ = dialog;
        logic_.onInitDialog(*this);
    }
    INT_PTR handle(HWND dialog, UINT message, WPARAM wParam, LPARAM) override {
        if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
        const int id = LOWORD(wParam);
        switch (id) {
        case IDOK:
            if (auto variant = logic_.onSelect(*this, ui_)) {
                chosen_ = *variant;
                EndDialog(dialog, static_cast<INT_PTR>(components::DialogEnd::Ok));
            }
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, static_cast<INT_PTR>(components::DialogEnd::Cancel));
            return TRUE;
        case IDC_VEXLIB_VC8:
        case IDC_VEXLIB_INTEL:
        case IDC_VEXLIB_VC8_IPP:
        case IDC_VEXLIB_INTEL_IPP:
        case IDC_VEXLIB_BETA:
            logic_.onRadioClicked(*this, id);
            return TRUE;
        default:
            return FALSE;
        }
    }

    DVexlibVersionSelection logic_;
    ui::UserInterface& ui_;
    HWND dialog_ = nullptr;
    std::optional<int> chosen_;
};

}  // namespace

std::optional<int> VexlibVersionDialog::chooseVariant(int currentVariant, bool ippInstalled) {
    Dialog dialog(currentVariant, ippInstalled, ui_);
    return dialog.run();
}

}  // namespace vexlib::win32

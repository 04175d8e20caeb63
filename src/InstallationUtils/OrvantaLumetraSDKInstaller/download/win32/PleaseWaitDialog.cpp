#include "download/win32/PleaseWaitDialog.h"

#include "download/DialogTexts.h"
#include "download/win32/PleaseWaitDialogRes.h"
#include "download/win32/WorkerThread.h"

namespace download::win32 {

void centreOn(HWND window, HWND owner) {
    RECT area = {}, own = {};
    if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &area))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(window, &own);
    int width = own.right - own.left, height = own.bottom - own.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

PleaseWaitDialog::PleaseWaitDialog(HWND owner) {
    window_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PLEASE_WAIT), owner, dialogProc,
                                 reinterpret_cast<LPARAM>(owner));
    if (!window_) {
        debugLine("DPleaseWaitDlg::DPleaseWaitDlg", "unable to create the box");
        return;
    }
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

PleaseWaitDialog::~PleaseWaitDialog() {
    if (window_) DestroyWindow(window_);
}

INT_PTR CALLBACK PleaseWaitDialog::dialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            SetWindowTextA(dialog, dialogtexts::PleaseWaitCaption);
            SetDlgItemTextA(dialog, IDC_PLEASE_WAIT_TEXT, dialogtexts::FinishingPleaseWait);
            centreOn(dialog, reinterpret_cast<HWND>(lParam));
            return TRUE;
        }
    } catch (...) {
        debugLine("DPleaseWaitDlg::dialogProc", "unexpected exception");
    }
    return FALSE;
}

}  // namespace download::win32

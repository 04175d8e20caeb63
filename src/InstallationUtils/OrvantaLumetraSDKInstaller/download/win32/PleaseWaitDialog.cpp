#include "download/win32/PleaseWaitDialog.h"

#include "download/DialogTexts.h"
#include "download/win32/PleaseWaitDialogRes.h"
#include "download/win32/WorkerThread.h"

namespace download::win32 {

void centreOn(HWND window, HWND owner) {
    RECT work = {}, area = {}, own = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (!owner || !IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &area)) area = work;
    GetWindowRect(window, &own);
    int width = own.right - own.left, height = own.bottom - own.top;
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    // An owner near the edge of the screen must not push the window off it.
    if (left + width > work.right) left = work.right - width;
    if (left < work.left) left = work.left;
    if (top + height > work.bottom) top = work.bottom - height;
    if (top < work.top) top = work.top;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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

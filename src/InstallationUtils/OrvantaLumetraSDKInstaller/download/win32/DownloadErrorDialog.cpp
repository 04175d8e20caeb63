#include "download/win32/DownloadErrorDialog.h"

#include "download/DialogTexts.h"
#include "download/win32/DownloadErrorDialogRes.h"
#include "download/win32/PleaseWaitDialog.h"
#include "download/win32/WorkerThread.h"

namespace download::win32 {

namespace {

using components::DownloadErrorChoice;

// Button, the choice it stands for, and how the dialog ends.
struct ChoiceButton {
    int id;
    const char* label;
    DownloadErrorChoice choice;
    INT_PTR end;
};
constexpr ChoiceButton Buttons[] = {
    {IDC_DLERR_RETRY, dialogtexts::RetryLabel, DownloadErrorChoice::Retry, IDOK},
    {IDC_DLERR_IGNORE, dialogtexts::IgnoreLabel, DownloadErrorChoice::Ignore, IDOK},
    {IDC_DLERR_IGNORE_ALL, dialogtexts::IgnoreAllLabel, DownloadErrorChoice::IgnoreAll, IDOK},
    {IDC_DLERR_QUIT, dialogtexts::QuitLabel, DownloadErrorChoice::Quit, IDCANCEL},
};

}  // namespace

components::DownloadErrorChoice DownloadErrorDialog::doModal(HWND owner) {
    choice_ = 0;
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DOWNLOAD_ERROR), owner,
                                     dialogProc, reinterpret_cast<LPARAM>(this));
    return result == IDOK ? static_cast<DownloadErrorChoice>(choice_) : DownloadErrorChoice::Quit;
}

INT_PTR DownloadErrorDialog::handle(HWND dialog, UINT message, WPARAM wParam) {
    if (message == WM_INITDIALOG) {
        SetWindowTextA(dialog, dialogtexts::DownloadErrorCaption);
        SetDlgItemTextA(dialog, IDC_DLERR_MESSAGE, messageText_.c_str());
        for (const ChoiceButton& button : Buttons) SetDlgItemTextA(dialog, button.id, button.label);
        // Over the middle of the progress dialog (or the wizard) that asks, as the other modal dialogs.
        centreOn(dialog, GetWindow(dialog, GW_OWNER));
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    int id = LOWORD(wParam);
    if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    for (const ChoiceButton& button : Buttons) {
        if (button.id != id) continue;
        choice_ = static_cast<int>(button.choice);
        EndDialog(dialog, button.end);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK DownloadErrorDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<DownloadErrorDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
        return self ? self->handle(dialog, message, wParam) : FALSE;
    } catch (...) {
        debugLine("DDownloadErrorHandlingOption::dialogProc", "unexpected exception");
    }
    return FALSE;
}

}  // namespace download::win32

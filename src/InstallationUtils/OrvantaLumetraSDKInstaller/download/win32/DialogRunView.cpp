#include "download/win32/DialogRunView.h"

#include <commctrl.h>

#include "download/DialogIds.h"

namespace download::win32 {

void DialogRunView::setCaption(const std::string& caption) { SetWindowTextA(dialog_, caption.c_str()); }

void DialogRunView::setHeader(const std::string& firstLine, const std::string& secondLine) {
    if (header_) header_->setLines(firstLine, secondLine);
}

void DialogRunView::setText(int control, const std::string& text, std::string& shown) {
    if (!control || text == shown) return;
    if (SetDlgItemTextA(dialog_, control, text.c_str())) shown = text;
}

bool DialogRunView::refreshDue() { return GetTickCount() - lastRefresh_ >= RefreshMs; }

void DialogRunView::armRefresh() {
    if (!refreshArmed_) refreshArmed_ = SetTimer(dialog_, RefreshTimer, RefreshMs, nullptr) != 0;
}

void DialogRunView::setLines(const std::string& status, const std::string& size, const std::string& install) {
    const bool phaseChanged = status != shownStatus_ || install != shownInstall_;
    if (!phaseChanged && size != shownSize_ && !refreshDue()) {
        wantedSize_ = size;
        sizeWaiting_ = true;
        armRefresh();
        if (refreshArmed_) return;
    }
    sizeWaiting_ = false;
    setText(controls_.status, status, shownStatus_);
    setText(controls_.size, size, shownSize_);
    setText(controls_.install, install, shownInstall_);
    lastRefresh_ = GetTickCount();
}

// https://learn.microsoft.com/windows/win32/controls/pbm-setpos
void DialogRunView::setProgress(int position) {
    if (!controls_.progress) return;
    // The bar's ends (0 and full) mark phases and show at once; positions between them may wait.
    if (position != 0 && position != dialogids::ProgressMax && !refreshDue()) {
        wantedProgress_ = position;
        progressWaiting_ = true;
        armRefresh();
        if (refreshArmed_) return;
    }
    progressWaiting_ = false;
    if (position == shownProgress_) return;
    SendDlgItemMessageA(dialog_, controls_.progress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    shownProgress_ = position;
}

void DialogRunView::flush() {
    KillTimer(dialog_, RefreshTimer);
    refreshArmed_ = false;
    if (sizeWaiting_) setText(controls_.size, wantedSize_, shownSize_);
    if (progressWaiting_ && wantedProgress_ != shownProgress_) {
        SendDlgItemMessageA(dialog_, controls_.progress, PBM_SETPOS, static_cast<WPARAM>(wantedProgress_), 0);
        shownProgress_ = wantedProgress_;
    }
    sizeWaiting_ = progressWaiting_ = false;
    lastRefresh_ = GetTickCount();
}

void DialogRunView::startTimer(unsigned id, unsigned periodMs) { SetTimer(dialog_, id, periodMs, nullptr); }

void DialogRunView::stopTimer(unsigned id) { KillTimer(dialog_, id); }

void DialogRunView::pause(unsigned ms) {
    // Let the last texts reach the screen before the pause, or the user never sees them: the statics are child
    // windows, which UpdateWindow of the dialog alone does not paint.
    RedrawWindow(dialog_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(ms);
}

bool DialogRunView::askYesNo(const std::string& text, const std::string& caption) {
    return MessageBoxA(dialog_, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void DialogRunView::end(components::DialogEnd code) { EndDialog(dialog_, static_cast<INT_PTR>(code)); }

}  // namespace download::win32

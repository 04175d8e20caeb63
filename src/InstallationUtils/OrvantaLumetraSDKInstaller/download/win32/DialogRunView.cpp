#include "download/win32/DialogRunView.h"

#include <commctrl.h>

namespace download::win32 {

void DialogRunView::setCaption(const std::string& caption) { SetWindowTextA(dialog_, caption.c_str()); }

void DialogRunView::setHeader(const std::string& firstLine, const std::string& secondLine) {
    if (header_) header_->setLines(firstLine, secondLine);
}

void DialogRunView::setLines(const std::string& status, const std::string& size, const std::string& install) {
    if (controls_.status) SetDlgItemTextA(dialog_, controls_.status, status.c_str());
    if (controls_.size) SetDlgItemTextA(dialog_, controls_.size, size.c_str());
    if (controls_.install) SetDlgItemTextA(dialog_, controls_.install, install.c_str());
}

// https://learn.microsoft.com/windows/win32/controls/pbm-setpos
void DialogRunView::setProgress(int position) {
    if (controls_.progress) SendDlgItemMessageA(dialog_, controls_.progress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void DialogRunView::startTimer(unsigned id, unsigned periodMs) { SetTimer(dialog_, id, periodMs, nullptr); }

void DialogRunView::stopTimer(unsigned id) { KillTimer(dialog_, id); }

void DialogRunView::pause(unsigned ms) {
    // Let the last texts reach the screen before the pause, or the user never sees them.
    UpdateWindow(dialog_);
    Sleep(ms);
}

bool DialogRunView::askYesNo(const std::string& text, const std::string& caption) {
    return MessageBoxA(dialog_, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void DialogRunView::end(components::DialogEnd code) { EndDialog(dialog_, static_cast<INT_PTR>(code)); }

}  // namespace download::win32

// The modeless "Please wait..." box: shown while the object lives, centred on its owner (or the screen).
#pragma once

#include <windows.h>

#include "components/OperationDialogs.h"

namespace download::win32 {

class PleaseWaitDialog : public components::PleaseWaitBox {
public:
    explicit PleaseWaitDialog(HWND owner);
    ~PleaseWaitDialog() override;
    PleaseWaitDialog(const PleaseWaitDialog&) = delete;
    PleaseWaitDialog& operator=(const PleaseWaitDialog&) = delete;

    HWND window() const { return window_; }

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};

// Centres window on owner, or on the work area when there is no visible owner; the window stays inside the work
// area.
void centreOn(HWND window, HWND owner);

}  // namespace download::win32

// "Unabe to Download Component": Retry, Ignore, Ignore All or Quit after a failed download in a list.
#pragma once

#include <windows.h>

#include <string>

#include "components/OperationDialogs.h"

namespace download::win32 {

class DownloadErrorDialog {
public:
    explicit DownloadErrorDialog(std::string messageText) : messageText_(std::move(messageText)) {}

    // Quit, also when the dialog was closed by Escape or the system menu.
    components::DownloadErrorChoice doModal(HWND owner);

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(HWND dialog, UINT message, WPARAM wParam);

    std::string messageText_;
    int choice_ = 0;
};

}  // namespace download::win32

#include "platform/win32/OwnerWindow.h"

#include <atomic>

namespace platform::win32 {

namespace {
// Set on the user interface's thread, read on the download workers'.
std::atomic<HWND> theMainWindow{nullptr};
}  // namespace

HWND mainWindow() { return theMainWindow.load(); }

void setMainWindow(HWND window) { theMainWindow.store(window); }

HWND ownerWindow() {
    // A sheet that has closed without saying so must not be handed out: a dialog owned by a window that no
    // longer exists fails to show at all.
    HWND window = mainWindow();
    return window && IsWindow(window) ? window : GetDesktopWindow();
}

}  // namespace platform::win32

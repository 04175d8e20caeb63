// The window that owns what the platform layer shows by itself, such as WinINet's proxy or server login: the
// program's main window (the wizard sheet) once the user interface has one. The user interface sets it; the
// platform layer only reads it, so that it needs nothing of the user interface.
#pragma once

#include <windows.h>

namespace platform::win32 {

// The main window as the user interface set it; nullptr when it has none (before the sheet exists, after it
// is gone, and in programs without one). Any thread may ask.
HWND mainWindow();
void setMainWindow(HWND window);

// The owner for a window the platform layer shows: the main window while it is a window, else the desktop.
HWND ownerWindow();

}  // namespace platform::win32

// Message boxes for the engine's questions and reports.
#pragma once

#include <windows.h>

#include "app/UserInterface.h"

// The window that owns message boxes: the wizard sheet once it exists, none before. The platform layer keeps it
// (platform/win32/OwnerWindow.h), so that the windows it shows by itself are owned by the sheet too.
HWND mainWindow();
void setMainWindow(HWND window);

class Win32UserInterface : public ui::UserInterface {
public:
    ui::Answer messageBox(const std::string& text, const std::string& caption, ui::Buttons buttons, ui::Icon icon,
                          bool owned) override;
    void applicationMessage(const std::string& text) override;
};

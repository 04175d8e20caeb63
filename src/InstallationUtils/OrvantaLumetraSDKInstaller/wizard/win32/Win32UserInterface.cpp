#include "wizard/win32/Win32UserInterface.h"

#include "platform/win32/OwnerWindow.h"

namespace {

// The framework's application message box is captioned with the program file's base name.
std::string applicationName() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n);
    std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name = name.substr(0, dot);
    return name;
}

}  // namespace

// One holder for the whole program: the platform layer owns its own windows (the download login) by it too.
HWND mainWindow() { return platform::win32::mainWindow(); }
void setMainWindow(HWND window) { platform::win32::setMainWindow(window); }

ui::Answer Win32UserInterface::messageBox(const std::string& text, const std::string& caption, ui::Buttons buttons,
                                          ui::Icon icon, bool owned) {
    UINT type = buttons == ui::Buttons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
        case ui::Icon::Exclamation: type |= MB_ICONEXCLAMATION; break;
        case ui::Icon::Question: type |= MB_ICONQUESTION; break;
        case ui::Icon::Information: type |= MB_ICONINFORMATION; break;
        case ui::Icon::None: break;
    }
    int answer = MessageBoxA(owned ? mainWindow() : nullptr, text.c_str(), caption.c_str(), type);
    if (answer == IDYES) return ui::Answer::Yes;
    if (answer == IDNO) return ui::Answer::No;
    return ui::Answer::Ok;
}

void Win32UserInterface::applicationMessage(const std::string& text) {
    MessageBoxA(mainWindow(), text.c_str(), applicationName().c_str(), MB_OK | MB_ICONEXCLAMATION);
}

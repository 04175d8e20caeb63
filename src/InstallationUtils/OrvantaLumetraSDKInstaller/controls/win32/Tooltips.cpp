#include "controls/win32/Tooltips.h"

#include <commctrl.h>

#include "controls/win32/ImageButton.h"
#include "wizard/WizardIds.h"

HWND createTooltip(HWND owner, HFONT font) {
    HWND tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    if (!tooltip) return nullptr;
    SendMessageA(tooltip, TTM_ACTIVATE, TRUE, 0);
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(wizardids::TooltipDelayMs, 0));
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(wizardids::TooltipDelayMs, 0));
    if (font) SendMessageA(tooltip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return tooltip;
}

bool addTooltip(HWND tooltip, HWND control, const std::string& text) {
    if (!tooltip || !control) return false;
    if (dynamic_cast<dvImageButton*>(dvReflectedControl::fromWindow(control)))
        SetWindowTextA(control, text.c_str());

    TOOLINFOA tool = {};
    // The size every common-controls version accepts (the full structure needs version 6).
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text.c_str());  // copied by the tooltip
    return SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

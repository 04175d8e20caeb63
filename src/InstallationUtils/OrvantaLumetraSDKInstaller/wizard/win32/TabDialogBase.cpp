#include "wizard/win32/TabDialogBase.h"

#include "download/win32/WorkerThread.h"

#include "controls/win32/ControlReflection.h"
#include "controls/win32/Tooltips.h"

ovDTabDialogBase::~ovDTabDialogBase() {
    if (window_) DestroyWindow(window_);
    release();
}

bool ovDTabDialogBase::create(int templateId, HWND parent) {
    if (window_) return true;
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), parent, dialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void ovDTabDialogBase::initDialog(HWND window) {
    window_ = window;
    release();
    auto dialogFont = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA description = {};
    if (dialogFont && GetObjectA(dialogFont, sizeof(description), &description))
        font_ = CreateFontIndirectA(&description);
    tooltip_ = createTooltip(window, font_);
    onInitDialog();
}

void ovDTabDialogBase::release() {
    if (tooltip_ && IsWindow(tooltip_)) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    if (font_) DeleteObject(font_);
    font_ = nullptr;
}

INT_PTR CALLBACK ovDTabDialogBase::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<ovDTabDialogBase*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
            self->initDialog(window);
            return TRUE;
        }
        auto* self = reinterpret_cast<ovDTabDialogBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!self) return FALSE;
        LRESULT result = 0;
        if (reflectToControl(window, message, wParam, lParam, &result)) {
            if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return static_cast<INT_PTR>(result);
            SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
            return TRUE;
        }
        if (message == WM_DESTROY) {
            // A popup's owner is always a top-level window, so the tooltip belongs to the page's sheet rather
            // than to this child dialog: it has to go explicitly, and its font with it.
            self->release();
            return FALSE;
        }
        if (message == WM_NCDESTROY) {
            self->window_ = nullptr;
            return FALSE;
        }
        if (self->onMessage(message, wParam, lParam, &result)) {
            SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
            return TRUE;
        }
    } catch (...) {
        download::win32::debugLine("ovDTabDialogBase::dialogProc", "an exception was stopped at the dialog's window");
    }
    return FALSE;
}

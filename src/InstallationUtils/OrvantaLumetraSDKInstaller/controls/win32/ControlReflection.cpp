#include "controls/win32/ControlReflection.h"

#include "download/win32/WorkerThread.h"

namespace {

const char* const ControlProperty = "OrvantaDrawnControl";

// The child a parent's message is about; nullptr for the messages that are not reflected (and for menus).
HWND childOf(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_COMMAND:
            return reinterpret_cast<HWND>(lParam);
        default:
            return nullptr;
    }
}

}  // namespace

dvReflectedControl* dvReflectedControl::fromWindow(HWND window) {
    if (!window) return nullptr;
    return static_cast<dvReflectedControl*>(GetPropA(window, ControlProperty));
}

void dvReflectedControl::bindWindow(HWND window) { SetPropA(window, ControlProperty, this); }

void dvReflectedControl::unbindWindow(HWND window) {
    if (window) RemovePropA(window, ControlProperty);
}

bool reflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    try {
        HWND child = childOf(message, wParam, lParam);
        if (!child || !IsChild(parent, child)) return false;
        dvReflectedControl* control = dvReflectedControl::fromWindow(child);
        if (!control) return false;
        LRESULT answer = 0;
        if (!control->onReflected(message, wParam, lParam, &answer)) return false;
        if (result) *result = answer;
        return true;
    } catch (...) {
        download::win32::debugLine("reflectToControl", "unexpected exception");
        return false;
    }
}

// Notifications a parent window receives about its drawn controls, handed back to the control objects.
//
// Owner-drawn buttons, statics and links report to their parent (WM_DRAWITEM, WM_CTLCOLOR*, WM_COMMAND), but
// the drawing and the click belong to the control. Each control object binds itself to its window with a
// window property; the parent's dialog or window procedure calls reflectToControl first and returns its
// result when it says the message was handled.
#pragma once

#include <windows.h>

class dvReflectedControl {
public:
    virtual ~dvReflectedControl() = default;

    // One of the parent's messages about this control: WM_DRAWITEM, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN or
    // WM_COMMAND. True when handled, with what the parent's procedure should answer in *result.
    virtual bool onReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) = 0;

    // The control object bound to window, or nullptr.
    static dvReflectedControl* fromWindow(HWND window);

protected:
    // The window property that names the object; removed again before the window or the object goes away.
    void bindWindow(HWND window);
    static void unbindWindow(HWND window);
};

// Called first in a parent's dialog or window procedure. Hands WM_DRAWITEM, WM_CTLCOLORSTATIC, WM_CTLCOLORBTN
// and WM_COMMAND from a child control to the object that owns that child. True when the object handled it;
// *result then holds the answer (for a dialog procedure: the brush of WM_CTLCOLOR* is returned directly, the
// other results go through DWLP_MSGRESULT). An exception of the control's handler is stopped here.
bool reflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// The base of the tab dialogs that content pages place inside themselves: a modeless child dialog with its own
// tooltip control and a copy of its dialog font, both made when the dialog is initialised and released with it.
// The tooltip's tools subclass their controls, so no message pre-translation is needed.
#pragma once

#include <windows.h>

class ovDTabDialogBase {
public:
    ovDTabDialogBase() = default;
    virtual ~ovDTabDialogBase();
    ovDTabDialogBase(const ovDTabDialogBase&) = delete;
    ovDTabDialogBase& operator=(const ovDTabDialogBase&) = delete;

    // Creates the dialog from the program's template as a child of parent; false when it could not be made.
    bool create(int templateId, HWND parent);
    HWND window() const { return window_; }
    HWND tooltip() const { return tooltip_; }
    HFONT font() const { return font_; }

protected:
    // After the tooltip and the font exist.
    virtual void onInitDialog() {}
    // Every other message; true when handled (the result then goes through DWLP_MSGRESULT).
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) { return false; }

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void initDialog(HWND window);
    void release();

    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    HFONT font_ = nullptr;
};

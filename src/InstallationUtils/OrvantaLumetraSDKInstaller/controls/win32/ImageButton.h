// Owner-drawn push buttons that show a PNG picture: the row and page buttons (dvImageButton) and the content
// rows' buttons that tell their owner which row and operation was clicked (DDynamicButton).
//
// The parent's procedure must hand its messages to reflectToControl (ControlReflection.h) so that
// WM_DRAWITEM, WM_CTLCOLORBTN and the dynamic button's BN_CLICKED reach the object.
#pragma once

#include <windows.h>

#include <string>

#include "controls/win32/ControlReflection.h"
#include "controls/win32/PngPicture.h"
#include "wizard/WizardIds.h"

// The message a DDynamicButton sends its notify target: wParam = row, lParam = operation code.
inline constexpr UINT DynamicButtonNotifyMessage = WM_USER + wizardids::DynamicButtonOffset;

class dvImageButton : public dvReflectedControl {
public:
    dvImageButton();
    ~dvImageButton() override;
    dvImageButton(const dvImageButton&) = delete;
    dvImageButton& operator=(const dvImageButton&) = delete;

    // Takes over a button of a dialog template: makes it owner-drawn and subclasses it (SetWindowSubclass).
    // The window stays the dialog's; the object lets go of it when either goes away.
    bool attach(HWND button);
    // Creates an owner-drawn child button of parent (visible, tab stop, plus extraStyle), subclassed as above.
    // The object destroys that window when it goes away first.
    bool create(HWND parent, int id, int x, int y, int w, int h, const char* text, DWORD extraStyle = 0);

    // Loads the picture from the program's "PNG" resource: 1 loaded (the window takes the picture's size
    // without moving and is redrawn), -1 resource missing or empty, 0 memory or decoding failure. A failed
    // load leaves no picture and a size of 0 x 0, and the button then draws nothing.
    int loadImage(int pngResourceId);
    // The same from a PNG file (path in the thread's ANSI code page): 1 or 0.
    int loadImageFromFile(const std::string& path);

    HWND hwnd() const { return window_; }
    bool hovering() const { return hovering_; }
    bool tracking() const { return tracking_; }
    // 32 x 32 before any load, 0 x 0 after a failed one.
    int imageWidth() const { return imageWidth_; }
    int imageHeight() const { return imageHeight_; }

    // Draws the item: the picture at the top left in its own size, or when disabled the whole picture scaled
    // into the item rectangle in the grey look; then, while the mouse rests on the button, the orange frame
    // at (2, 2), imageWidth - 5 by imageHeight - 5.
    virtual void draw(const DRAWITEMSTRUCT& item);

    // WM_DRAWITEM draws; WM_CTLCOLORBTN gives a transparent background and the hollow brush; BN_CLICKED goes
    // to onClicked.
    bool onReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    // The button was clicked (BN_CLICKED reached the parent). True when the click is handled here and the
    // parent should not see it; the plain image button leaves clicks to its parent.
    virtual bool onClicked() { return false; }

private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool takeOver(HWND button);
    void letGo();
    int afterLoad(int result);
    // Repaints the button and the part of the parent under it, background included: the picture is
    // transparent, so a frame that goes away must be painted over by the parent.
    void redrawWithParent();

    HWND window_ = nullptr;
    bool ownsWindow_ = false;
    dvPngPicture picture_;
    int imageWidth_ = 32, imageHeight_ = 32;
    bool hovering_ = false;
    bool tracking_ = false;
    gdip::GpPen* hoverPen_ = nullptr;  // made at the first hover frame, when GDI+ is surely running
};

// An image button that, when clicked, sends its notify target DynamicButtonNotifyMessage (WM_USER + 6) with
// notifyRow and notifyCode and waits for it to be handled. The owner sets the three after creating it.
class DDynamicButton : public dvImageButton {
public:
    HWND notifyTarget = nullptr;
    int notifyRow = -1;
    int notifyCode = -1;

protected:
    bool onClicked() override;
};

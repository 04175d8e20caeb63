// A static control that shows a PNG picture (the info image), drawn like the image button: in its own size,
// or in the grey look while disabled. It reports clicks (SS_NOTIFY) to its parent.
#pragma once

#include <windows.h>

#include <string>

#include "controls/win32/ControlReflection.h"
#include "controls/win32/PngPicture.h"

class dvImageStatic : public dvReflectedControl {
public:
    dvImageStatic();
    ~dvImageStatic() override;
    dvImageStatic(const dvImageStatic&) = delete;
    dvImageStatic& operator=(const dvImageStatic&) = delete;

    // Takes over a static of a dialog template (adds SS_NOTIFY, subclasses it); the window stays the dialog's.
    bool attach(HWND control);
    // Creates a visible child static of parent with SS_NOTIFY plus extraStyle; destroyed with the object.
    bool create(HWND parent, int id, int x, int y, int w, int h, DWORD extraStyle = 0);

    // Loads the info image (PNG resource 206): 1, -1 or 0 as the image button's loadImage, and the same
    // resizing to the picture.
    int loadImage();
    // Any PNG resource of the program, with the same results.
    int loadImage(int pngResourceId);

    HWND hwnd() const { return window_; }
    // 32 x 32 before any load, 0 x 0 after a failed one.
    int imageWidth() const { return imageWidth_; }
    int imageHeight() const { return imageHeight_; }

    // Paints the picture into dc over the client rectangle (nothing without a picture).
    void paint(HDC dc);

    // WM_CTLCOLORSTATIC: transparent background, hollow brush.
    bool onReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool takeOver(HWND control);
    void letGo();
    void redrawWithParent();

    HWND window_ = nullptr;
    bool ownsWindow_ = false;
    dvPngPicture picture_;
    int imageWidth_ = 32, imageHeight_ = 32;
};

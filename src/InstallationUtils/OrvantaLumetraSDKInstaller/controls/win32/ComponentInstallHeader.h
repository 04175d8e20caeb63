// The drawn band at the top of the progress dialogs and pages: a bitmap from the program's resources, a thin
// black frame around it and two lines of bold text.
#pragma once

#include <windows.h>

#include <string>

class dvComponentInstallHeader {
public:
    // bitmapId names a bitmap resource of the program; it is loaded here and released with the object.
    dvComponentInstallHeader(std::string firstLine, std::string secondLine, int bitmapId);
    ~dvComponentInstallHeader();
    dvComponentInstallHeader(const dvComponentInstallHeader&) = delete;
    dvComponentInstallHeader& operator=(const dvComponentInstallHeader&) = delete;

    // Creates the visible child window; false when the window could not be made.
    bool create(HWND parent);
    void setLines(const std::string& firstLine, const std::string& secondLine);
    // Top left of the parent's client area, as wide as it, bandHeight pixels high (no move when already so).
    void placeAtTop(HWND parent, int bandHeight = 100);

    HWND window() const { return window_; }
    const std::string& firstLine() const { return firstLine_; }
    const std::string& secondLine() const { return secondLine_; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void nameWindow();
    void paint(HDC dc);

    std::string firstLine_, secondLine_;
    HBITMAP bitmap_ = nullptr;
    HFONT textFont_ = nullptr;
    HPEN framePen_ = nullptr;
    HWND window_ = nullptr;
};

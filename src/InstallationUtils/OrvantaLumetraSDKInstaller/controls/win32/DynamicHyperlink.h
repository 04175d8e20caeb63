// Link texts: an underlined static in the system's link colour with a hand cursor. A click opens the link's
// address, or downloads the linked document and opens it (openLink); the welcome page's new-version link
// calls its owner instead.
//
// The parent's procedure must hand its messages to reflectToControl (ControlReflection.h) so that the colour
// request and the click (STN_CLICKED) reach the object.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "components/OperationContext.h"
#include "controls/win32/ControlReflection.h"

class DDynamicHyperlink : public dvReflectedControl {
public:
    // Takes the link colour: the system's colour for hot-tracked items (COLOR_HOTLIGHT).
    DDynamicHyperlink();
    ~DDynamicHyperlink() override;
    DDynamicHyperlink(const DDynamicHyperlink&) = delete;
    DDynamicHyperlink& operator=(const DDynamicHyperlink&) = delete;

    // Stores url, makes the link font from `font` with underline on, creates the static (style plus WS_CHILD
    // and SS_NOTIFY) at rect in parent, sets the font, fits the window to its text and takes the hand cursor.
    bool create(const char* text, DWORD style, RECT rect, HWND parent, const std::string& url,
                const LOGFONTA& font, int id);

    // Resizes the window to its text in the link font plus its frame: the vertical centre style grows or
    // shrinks it equally at top and bottom, else the bottom moves; the centre style grows or shrinks it equally
    // left and right, the right style keeps the right edge, else the left edge stays. The z-order is kept.
    void fitToText();

    HWND hwnd() const { return window_; }
    const std::string& url() const { return url_; }
    void setUrl(const std::string& url) { url_ = url; }
    COLORREF linkColor() const { return linkColor_; }
    HFONT linkFont() const { return linkFont_; }
    HCURSOR linkCursor() const { return linkCursor_; }

    // What a click needs to open the link: the machine, the message boxes and the download dialog. The owner
    // sets it after creating the link; without it a click only writes a diagnostic line.
    const components::OperationContext* context = nullptr;

    // A click: openLink(url, window text, context); on failure the box "Unable to open hyperlink:" with the
    // failure's explanation (installer title, OK).
    virtual void onClick();

    // WM_CTLCOLORSTATIC: link colour, transparent background, hollow brush. WM_COMMAND/STN_CLICKED: onClick.
    bool onReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void letGo();

    HWND window_ = nullptr;
    COLORREF linkColor_;
    std::string url_;
    HFONT linkFont_ = nullptr;
    HCURSOR linkCursor_ = nullptr;
};

// The welcome page's "New Installer Version %s Available" link: a click opens the new-version dialog through
// the callback its owner sets; no address is used.
class DDynamicHyperlinkNewVersionAvailable : public DDynamicHyperlink {
public:
    std::function<void()> onOpen;
    void onClick() override;
};

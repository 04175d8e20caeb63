#include "controls/win32/DynamicHyperlink.h"

#include <commctrl.h>

#include <vector>

#include "app/AppTexts.h"
#include "controls/OpenLink.h"
#include "download/win32/WorkerThread.h"

namespace {

constexpr UINT_PTR SubclassId = 1;

RECT rectInParent(HWND window, bool client) {
    RECT r;
    if (client) {
        GetClientRect(window, &r);
        MapWindowPoints(window, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    } else {
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

std::string windowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::vector<char> text(static_cast<size_t>(length) + 1);
    int copied = GetWindowTextA(window, text.data(), length + 1);
    return std::string(text.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

}  // namespace

DDynamicHyperlink::DDynamicHyperlink() : linkColor_(GetSysColor(COLOR_HOTLIGHT)) {}

DDynamicHyperlink::~DDynamicHyperlink() {
    HWND window = window_;
    letGo();
    if (window && IsWindow(window)) DestroyWindow(window);
    if (linkFont_) DeleteObject(linkFont_);
}

void DDynamicHyperlink::letGo() {
    if (!window_) return;
    RemoveWindowSubclass(window_, subclassProc, SubclassId);
    unbindWindow(window_);
    window_ = nullptr;
}

bool DDynamicHyperlink::create(const char* text, DWORD style, RECT rect, HWND parent, const std::string& url,
                               const LOGFONTA& font, int id) {
    if (window_) return false;
    url_ = url;
    LOGFONTA underlined = font;
    underlined.lfUnderline = TRUE;
    if (linkFont_) DeleteObject(linkFont_);
    linkFont_ = CreateFontIndirectA(&underlined);

    HWND window = CreateWindowExA(0, "STATIC", text ? text : "", style | WS_CHILD | SS_NOTIFY, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                  nullptr);
    if (!window) return false;
    if (!SetWindowSubclass(window, subclassProc, SubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        DestroyWindow(window);
        return false;
    }
    window_ = window;
    bindWindow(window);
    if (linkFont_) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
    fitToText();
    // Any pointing hand serves; the system's own is there on every supported Windows.
    linkCursor_ = LoadCursor(nullptr, IDC_HAND);
    return true;
}

void DDynamicHyperlink::fitToText() {
    if (!window_) return;
    RECT outer = rectInParent(window_, false);
    RECT inner = rectInParent(window_, true);

    std::string text = windowText(window_);
    SIZE extent = {0, 0};
    HDC dc = GetDC(window_);
    HGDIOBJ oldFont = linkFont_ ? SelectObject(dc, linkFont_) : nullptr;
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    if (oldFont) SelectObject(dc, oldFont);
    ReleaseDC(window_, dc);

    LONG style = static_cast<LONG>(GetWindowLongPtrA(window_, GWL_STYLE));
    RECT fitted = outer;

    int height = extent.cy + (inner.top - outer.top) + (outer.bottom - inner.bottom);
    if (style & SS_CENTERIMAGE) {
        int grow = height - (outer.bottom - outer.top);
        fitted.top = outer.top - grow / 2;
        fitted.bottom = fitted.top + height;
    } else {
        fitted.bottom = outer.top + height;
    }

    int width = extent.cx + (inner.left - outer.left) + (outer.right - inner.right);
    switch (style & SS_TYPEMASK) {
        case SS_CENTER: {
            int grow = width - (outer.right - outer.left);
            fitted.left = outer.left - grow / 2;
            fitted.right = fitted.left + width;
            break;
        }
        case SS_RIGHT:
            fitted.left = outer.right - width;
            break;
        default:
            fitted.right = outer.left + width;
            break;
    }
    SetWindowPos(window_, nullptr, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void DDynamicHyperlink::onClick() {
    if (!context) {
        download::win32::debugLine("DDynamicHyperlink::onClick", ("no operation context for " + url_).c_str());
        return;
    }
    int code = 0;
    if (openLink(url_, windowText(window_), *context, &code) != 1)
        context->ui.messageBox(hyperlinkFailureText(code), apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None,
                               true);
}

bool DDynamicHyperlink::onReflected(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    switch (message) {
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, linkColor_);
            SetBkMode(dc, TRANSPARENT);
            *result = reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
            return true;
        }
        case WM_COMMAND:
            if (HIWORD(wParam) != STN_CLICKED) return false;
            onClick();
            *result = 0;
            return true;
        default:
            return false;
    }
}

LRESULT DDynamicHyperlink::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
            return TRUE;
        }
        case WM_SETCURSOR:
            if (linkCursor_ && LOWORD(lParam) == HTCLIENT) {
                SetCursor(linkCursor_);
                return TRUE;
            }
            break;
        case WM_NCDESTROY:
            letGo();
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK DDynamicHyperlink::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR self) {
    try {
        return reinterpret_cast<DDynamicHyperlink*>(self)->handle(message, wParam, lParam);
    } catch (...) {
        download::win32::debugLine("DDynamicHyperlink::subclassProc", "unexpected exception");
        return DefSubclassProc(window, message, wParam, lParam);
    }
}

void DDynamicHyperlinkNewVersionAvailable::onClick() {
    if (onOpen) onOpen();
}

#include "controls/win32/ImageButton.h"

#include <commctrl.h>

#include "download/win32/WorkerThread.h"

namespace {

constexpr UINT_PTR SubclassId = 1;
// Opaque light orange.
constexpr gdip::ARGB HoverColour = 0xFFF8CA7Fu;

}  // namespace

dvImageButton::dvImageButton() = default;

dvImageButton::~dvImageButton() {
    HWND window = window_;
    bool owned = ownsWindow_;
    letGo();
    if (owned && window && IsWindow(window)) DestroyWindow(window);
    picture_.release();
    if (hoverPen_) gdip::GdipDeletePen(hoverPen_);
}

bool dvImageButton::takeOver(HWND button) {
    if (!button || window_) return false;
    if (!SetWindowSubclass(button, subclassProc, SubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    window_ = button;
    bindWindow(button);
    return true;
}

void dvImageButton::letGo() {
    if (!window_) return;
    RemoveWindowSubclass(window_, subclassProc, SubclassId);
    unbindWindow(window_);
    window_ = nullptr;
    ownsWindow_ = false;
    hovering_ = tracking_ = false;
}

bool dvImageButton::attach(HWND button) {
    if (!button || window_) return false;
    LONG_PTR style = GetWindowLongPtrA(button, GWL_STYLE);
    SetWindowLongPtrA(button, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
    return takeOver(button);
}

bool dvImageButton::create(HWND parent, int id, int x, int y, int w, int h, const char* text, DWORD extraStyle) {
    if (window_) return false;
    HWND button = CreateWindowExA(0, "BUTTON", text ? text : "",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW | extraStyle, x, y, w, h,
                                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleA(nullptr), nullptr);
    if (!button) return false;
    if (!takeOver(button)) {
        DestroyWindow(button);
        return false;
    }
    ownsWindow_ = true;
    return true;
}

int dvImageButton::afterLoad(int result) {
    imageWidth_ = picture_.width();
    imageHeight_ = picture_.height();
    if (result == 1 && window_ && imageWidth_ > 0 && imageHeight_ > 0) {
        SetWindowPos(window_, nullptr, 0, 0, imageWidth_, imageHeight_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (window_) InvalidateRect(window_, nullptr, TRUE);
    return result;
}

int dvImageButton::loadImage(int pngResourceId) {
    return afterLoad(picture_.loadResource(GetModuleHandleA(nullptr), pngResourceId));
}

int dvImageButton::loadImageFromFile(const std::string& path) { return afterLoad(picture_.loadFile(path)); }

void dvImageButton::draw(const DRAWITEMSTRUCT& item) {
    if (!picture_.loaded() || picture_.width() <= 0 || picture_.height() <= 0) return;
    // A keyboard user sees which button has the focus (the dotted frame is drawn by inverting, so drawing it
    // again on a focus change takes it away). Mouse users do not get it (ODS_NOFOCUSRECT).
    const bool focusFrame = !(item.itemState & ODS_NOFOCUSRECT);
    if (item.itemAction == ODA_FOCUS) {
        if (focusFrame) DrawFocusRect(item.hDC, &item.rcItem);
        return;
    }
    gdip::GpGraphics* graphics = nullptr;
    if (gdip::GdipCreateFromHDC(item.hDC, &graphics) != gdip::Ok) return;
    if (item.itemState & ODS_DISABLED)
        picture_.drawDisabled(graphics, item.rcItem);
    else
        picture_.drawNormal(graphics, item.rcItem.left, item.rcItem.top);
    if (hovering_) {
        if (!hoverPen_) gdip::GdipCreatePen1(HoverColour, 1.0f, Gdiplus::UnitWorld, &hoverPen_);
        if (hoverPen_)
            gdip::GdipDrawRectangleI(graphics, hoverPen_, item.rcItem.left + 2, item.rcItem.top + 2, imageWidth_ - 5,
                                     imageHeight_ - 5);
    }
    gdip::GdipDeleteGraphics(graphics);
    if (focusFrame && (item.itemState & ODS_FOCUS)) DrawFocusRect(item.hDC, &item.rcItem);
}

bool dvImageButton::onReflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_DRAWITEM:
            draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            *result = TRUE;
            return true;
        case WM_CTLCOLORBTN:
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            *result = reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
            return true;
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED || !onClicked()) return false;
            *result = 0;
            return true;
        default:
            return false;
    }
}

void dvImageButton::redrawWithParent() {
    if (!window_) return;
    HWND parent = GetParent(window_);
    if (!parent) {
        InvalidateRect(window_, nullptr, TRUE);
        return;
    }
    RECT area;
    GetWindowRect(window_, &area);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT dvImageButton::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
        case WM_MOUSEMOVE:
            if (!tracking_) {
                TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, window, 1};
                tracking_ = TrackMouseEvent(&track) != FALSE;
            }
            break;
        case WM_MOUSEHOVER:
            hovering_ = true;
            redrawWithParent();
            break;
        case WM_MOUSELEAVE:
            tracking_ = false;
            hovering_ = false;
            redrawWithParent();
            break;
        case WM_ENABLE: {
            LRESULT answer = DefSubclassProc(window, message, wParam, lParam);
            redrawWithParent();
            return answer;
        }
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT) break;
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        case WM_NCDESTROY:
            letGo();
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK dvImageButton::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) {
    try {
        return reinterpret_cast<dvImageButton*>(self)->handle(message, wParam, lParam);
    } catch (...) {
        download::win32::debugLine("dvImageButton::subclassProc", "unexpected exception");
        return DefSubclassProc(window, message, wParam, lParam);
    }
}

bool DDynamicButton::onClicked() {
    if (!notifyTarget) return false;
    SendMessageA(notifyTarget, DynamicButtonNotifyMessage, static_cast<WPARAM>(notifyRow),
                 static_cast<LPARAM>(notifyCode));
    return true;
}

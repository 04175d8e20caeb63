#include "controls/win32/ImageStatic.h"

#include <commctrl.h>

#include "download/win32/WorkerThread.h"
#include "resources/resource.h"

namespace {

constexpr UINT_PTR SubclassId = 1;

}  // namespace

dvImageStatic::dvImageStatic() = default;

dvImageStatic::~dvImageStatic() {
    HWND window = window_;
    bool owned = ownsWindow_;
    letGo();
    if (owned && window && IsWindow(window)) DestroyWindow(window);
}

bool dvImageStatic::takeOver(HWND control) {
    if (!control || window_) return false;
    if (!SetWindowSubclass(control, subclassProc, SubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    window_ = control;
    bindWindow(control);
    return true;
}

void dvImageStatic::letGo() {
    if (!window_) return;
    RemoveWindowSubclass(window_, subclassProc, SubclassId);
    unbindWindow(window_);
    window_ = nullptr;
    ownsWindow_ = false;
}

bool dvImageStatic::attach(HWND control) {
    if (!control || window_) return false;
    SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | SS_NOTIFY);
    return takeOver(control);
}

bool dvImageStatic::create(HWND parent, int id, int x, int y, int w, int h, DWORD extraStyle) {
    if (window_) return false;
    HWND control = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY | extraStyle, x, y, w, h, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                   nullptr);
    if (!control) return false;
    if (!takeOver(control)) {
        DestroyWindow(control);
        return false;
    }
    ownsWindow_ = true;
    return true;
}

int dvImageStatic::loadImage() { return loadImage(IDP_INFO); }

int dvImageStatic::loadImage(int pngResourceId) {
    int result = picture_.loadResource(GetModuleHandleA(nullptr), pngResourceId);
    imageWidth_ = picture_.width();
    imageHeight_ = picture_.height();
    if (result == 1 && window_ && imageWidth_ > 0 && imageHeight_ > 0)
        SetWindowPos(window_, nullptr, 0, 0, imageWidth_, imageHeight_, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (window_) InvalidateRect(window_, nullptr, TRUE);
    return result;
}

void dvImageStatic::paint(HDC dc) {
    if (!window_ || !picture_.loaded() || picture_.width() <= 0 || picture_.height() <= 0) return;
    gdip::GpGraphics* graphics = nullptr;
    if (gdip::GdipCreateFromHDC(dc, &graphics) != gdip::Ok) return;
    RECT client;
    GetClientRect(window_, &client);
    if (IsWindowEnabled(window_))
        picture_.drawNormal(graphics, client.left, client.top);
    else
        picture_.drawDisabled(graphics, client);
    gdip::GdipDeleteGraphics(graphics);
}

bool dvImageStatic::onReflected(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    if (message != WM_CTLCOLORSTATIC) return false;
    SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    *result = reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
    return true;
}

void dvImageStatic::redrawWithParent() {
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

LRESULT dvImageStatic::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            paint(dc);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ENABLE: {
            LRESULT answer = DefSubclassProc(window, message, wParam, lParam);
            redrawWithParent();
            return answer;
        }
        case WM_NCDESTROY:
            letGo();
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK dvImageStatic::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) {
    try {
        return reinterpret_cast<dvImageStatic*>(self)->handle(message, wParam, lParam);
    } catch (...) {
        download::win32::debugLine("dvImageStatic::subclassProc", "unexpected exception");
        return DefSubclassProc(window, message, wParam, lParam);
    }
}

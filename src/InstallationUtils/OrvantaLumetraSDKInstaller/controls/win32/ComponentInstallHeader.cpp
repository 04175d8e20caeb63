#include "controls/win32/ComponentInstallHeader.h"

namespace {

const char* const HeaderClass = "OrvantaComponentInstallHeader";

// Registered once per process; a second registration of the same class only fails harmlessly.
bool registerHeaderClass(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = HeaderClass;
        return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

dvComponentInstallHeader::dvComponentInstallHeader(std::string firstLine, std::string secondLine, int bitmapId)
    : firstLine_(std::move(firstLine)), secondLine_(std::move(secondLine)) {
    bitmap_ = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    textFont_ = CreateFontA(16, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma");
    framePen_ = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
}

dvComponentInstallHeader::~dvComponentInstallHeader() {
    if (window_ && IsWindow(window_)) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    if (textFont_) DeleteObject(textFont_);
    if (framePen_) DeleteObject(framePen_);
}

bool dvComponentInstallHeader::create(HWND parent) {
    if (!registerHeaderClass(windowProc)) return false;
    window_ = CreateWindowExA(0, HeaderClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!window_) return false;
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    nameWindow();
    placeAtTop(parent);
    return true;
}

// The band paints its lines itself; its window text carries them too, so that what reads windows (screen
// readers, test drivers) finds them.
void dvComponentInstallHeader::nameWindow() {
    if (window_) SetWindowTextA(window_, (firstLine_ + "\n" + secondLine_).c_str());
}

void dvComponentInstallHeader::setLines(const std::string& firstLine, const std::string& secondLine) {
    firstLine_ = firstLine;
    secondLine_ = secondLine;
    nameWindow();
    if (window_) InvalidateRect(window_, nullptr, TRUE);
}

void dvComponentInstallHeader::placeAtTop(HWND parent, int bandHeight) {
    if (!window_) return;
    RECT client = {}, now = {};
    GetClientRect(parent, &client);
    GetWindowRect(window_, &now);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&now), 2);
    int width = client.right - client.left;
    // Moving on every paint of the parent would start the next paint; only a change moves the band.
    if (now.left == 0 && now.top == 0 && now.right - now.left == width && now.bottom - now.top == bandHeight) return;
    MoveWindow(window_, 0, 0, width, bandHeight, TRUE);
}

void dvComponentInstallHeader::paint(HDC dc) {
    int width = 0, height = 0;
    if (bitmap_) {
        BITMAP info = {};
        GetObjectA(bitmap_, sizeof(info), &info);
        width = info.bmWidth;
        height = info.bmHeight;
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap_);
        BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    HGDIOBJ oldPen = SelectObject(dc, framePen_);
    POINT outline[] = {{0, 0}, {0, height}, {width, height}, {width, 0}, {0, 0}};
    Polyline(dc, outline, 5);
    SelectObject(dc, oldPen);
    HGDIOBJ oldFont = SelectObject(dc, textFont_);
    TextOutA(dc, 20, 15, firstLine_.c_str(), static_cast<int>(firstLine_.size()));
    TextOutA(dc, 20, 35, secondLine_.c_str(), static_cast<int>(secondLine_.size()));
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK dvComponentInstallHeader::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        auto* self = reinterpret_cast<dvComponentInstallHeader*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_PAINT && self) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            self->paint(dc);
            EndPaint(window, &ps);
            return 0;
        }
    } catch (...) {
        OutputDebugStringA("dvComponentInstallHeader::windowProc - unexpected exception\n");
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

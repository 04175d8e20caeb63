#include "pages/welcome/win32/WelcomeHost.h"

#include <commctrl.h>

#include "download/win32/WorkerThread.h"
#include "pages/welcome/WelcomePageRes.h"
#include "pages/welcome/WelcomeTexts.h"
#include "resources/resource.h"

namespace {

constexpr UINT_PTR SubclassId = 0x7E1C;
// Where the indicator stands when the layout has no version selector (page pixels).
constexpr int DefaultLeft = 100, DefaultTop = 50;
// The icon's and the link's offsets from the selector's top left corner, and the link's first size.
constexpr int IconLeftOffset = -25, IconTopOffset = 20, IconRoom = 23;
constexpr int LinkTopOffset = 25, LinkWidth = 250, LinkHeight = 20;

}  // namespace

WelcomeHost::WelcomeHost(ovDInstallWelcomeBase& page, PageHost& pageHost) : page_(page), pageHost_(pageHost) {
    page_.attachWindow(this);
}

WelcomeHost::~WelcomeHost() {
    page_.attachWindow(nullptr);
    release();
}

void WelcomeHost::release() {
    if (window_) RemoveWindowSubclass(window_, subclassProc, SubclassId);
    link_.reset();
    icon_.reset();
    window_ = nullptr;
}

void WelcomeHost::createNewVersionIndicator() {
    release();
    HWND page = pageHost_.window();
    if (!page) return;
    window_ = page;
    SetWindowSubclass(page, subclassProc, SubclassId, reinterpret_cast<DWORD_PTR>(this));

    int left = DefaultLeft, top = DefaultTop;
    if (HWND selector = GetDlgItem(page, IDC_WELCOME_VERSION)) {
        RECT rect;
        GetWindowRect(selector, &rect);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
        left = rect.left;
        top = rect.top;
    }

    icon_ = std::make_unique<DDynamicButton>();
    if (icon_->create(page, IDC_WELCOME_NEW_VERSION_ICON, left + IconLeftOffset, top + IconTopOffset, 32, 32, "")) {
        icon_->loadImage(IDP_NEW);
        // The offset suits an icon up to IconRoom pixels wide; a wider badge moves left so that it ends where
        // such an icon would and never covers the link's first letters.
        const int wider = icon_->imageWidth() - IconRoom;
        if (wider > 0)
            SetWindowPos(icon_->hwnd(), nullptr, left + IconLeftOffset - wider, top + IconTopOffset, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        icon_->notifyTarget = page;
        ShowWindow(icon_->hwnd(), SW_HIDE);
    }

    LOGFONTA font = {};
    auto pageFont = reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
    if (!pageFont || !GetObjectA(pageFont, sizeof(font), &font)) GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    link_ = std::make_unique<DDynamicHyperlinkNewVersionAvailable>();
    const RECT rect = {left, top + LinkTopOffset, left + LinkWidth, top + LinkTopOffset + LinkHeight};
    if (link_->create(welcometexts::NewVersionLink, SS_LEFT, rect, page, "", font, IDC_WELCOME_NEW_VERSION_LINK))
        link_->onOpen = [this] { page_.onNewVersionClicked(); };
}

void WelcomeHost::showNewVersionIndicator(bool shown, const std::string& linkText) {
    if (link_ && link_->hwnd()) {
        if (shown) {
            SetWindowTextA(link_->hwnd(), linkText.c_str());
            link_->fitToText();
            InvalidateRect(link_->hwnd(), nullptr, TRUE);
        }
        ShowWindow(link_->hwnd(), shown ? SW_SHOW : SW_HIDE);
    }
    if (icon_ && icon_->hwnd()) ShowWindow(icon_->hwnd(), shown ? SW_SHOW : SW_HIDE);
}

void WelcomeHost::clearCombo(int comboId) {
    if (HWND page = pageHost_.window()) SendDlgItemMessageA(page, comboId, CB_RESETCONTENT, 0, 0);
}

void WelcomeHost::closeWizard() {
    if (HWND page = pageHost_.window()) PostMessageA(GetParent(page), WM_CLOSE, 0, 0);
}

LRESULT CALLBACK WelcomeHost::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
    auto* self = reinterpret_cast<WelcomeHost*>(data);
    try {
        if (message == DynamicButtonNotifyMessage) {
            self->page_.onNewVersionClicked();
            return 0;
        }
        if (message == WM_NCDESTROY) {
            // The controls die with the page; the objects let go of their windows.
            LRESULT result = DefSubclassProc(window, message, wParam, lParam);
            self->release();
            return result;
        }
    } catch (...) {
        download::win32::debugLine("WelcomeHost::subclassProc", "an exception was stopped at the welcome page");
        return 0;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

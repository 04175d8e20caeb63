#include "wizard/win32/PageHost.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "controls/win32/ControlReflection.h"
#include "controls/win32/Tooltips.h"
#include "resources/resource.h"
#include "wizard/WizardIds.h"
#include "wizard/win32/SheetHost.h"

namespace {

int pictureOf(wizard::PageImage image) {
    switch (image) {
    case wizard::PageImage::Install: return IDP_INSTALL;
    case wizard::PageImage::Remove: return IDP_REMOVE;
    case wizard::PageImage::Download: return IDP_DOWNLOAD;
    case wizard::PageImage::Change: return IDP_CHANGE;
    case wizard::PageImage::Info: return IDP_INFO;
    }
    return IDP_INFO;
}

// A copy of the font the page's template asked for.
HFONT copyFont(HWND window) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA description = {};
    if (!font || !GetObjectA(font, sizeof(description), &description)) return nullptr;
    return CreateFontIndirectA(&description);
}

}  // namespace

PageHost::PageHost(wizard::ovDPropertyPageBase& page, SheetHost& sheet) : page_(page), sheet_(sheet) {}

PageHost::~PageHost() {
    page_.attachView(nullptr);
    if (font_) DeleteObject(font_);
}

HPROPSHEETPAGE PageHost::create() {
    PROPSHEETPAGEA sheetPage = {};
    sheetPage.dwSize = sizeof(sheetPage);
    sheetPage.dwFlags = PSP_USETITLE | PSP_HASHELP;
    sheetPage.hInstance = GetModuleHandleA(nullptr);
    sheetPage.pszTemplate = MAKEINTRESOURCEA(page_.templateId());
    sheetPage.pszTitle = page_.title().c_str();
    sheetPage.pfnDlgProc = dialogProc;
    sheetPage.lParam = reinterpret_cast<LPARAM>(this);
    return CreatePropertySheetPageA(&sheetPage);
}

INT_PTR CALLBACK PageHost::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        PageHost* self = nullptr;
        if (message == WM_INITDIALOG) {
            self = reinterpret_cast<PageHost*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->initDialog(window);
            return TRUE;
        }
        self = reinterpret_cast<PageHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!self) return FALSE;
        LRESULT reflected = 0;
        if (reflectToControl(window, message, wParam, lParam, &reflected)) {
            if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) return static_cast<INT_PTR>(reflected);
            SetWindowLongPtrA(window, DWLP_MSGRESULT, reflected);
            return TRUE;
        }
        return self->handle(message, wParam, lParam);
    } catch (...) {
        OutputDebugStringA("PageHost::dialogProc - an exception was stopped at the page's window\n");
        return FALSE;
    }
}

INT_PTR PageHost::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
            page_.onCommand(LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_TIMER:
        page_.onTimer(static_cast<unsigned>(wParam));
        return FALSE;  // and on to default handling
    case WM_SIZE:
        placeBands();
        return FALSE;
    case WM_HELP:
        sheet_.showHelp();
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        LONG_PTR result = 0;
        switch (header->code) {
        case PSN_SETACTIVE:
            result = page_.onSetActive() ? 0 : -1;
            break;
        case PSN_WIZNEXT:
            result = page_.onWizardNext();
            break;
        case PSN_WIZBACK:
            result = page_.onWizardBack();
            break;
        case PSN_HELP:
            sheet_.showHelp();
            break;
        default:
            return FALSE;
        }
        SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_DESTROY:
        destroyed();
        return FALSE;
    default:
        return FALSE;
    }
}

void PageHost::initDialog(HWND window) {
    window_ = window;
    if (font_) DeleteObject(font_);
    font_ = copyFont(window);
    banner_ = std::make_unique<dvComponentInstallHeader>(page_.headerText(), "", IDB_PAGE_BANNER);
    side_ = std::make_unique<dvComponentInstallHeader>("", "", IDB_PAGE_SIDE);
    banner_->create(window);
    side_->create(window);
    placeBands();
    tooltip_ = createTooltip(window, font_);
    page_.attachView(this);
    page_.onInitDialog();
}

void PageHost::placeBands() {
    if (!window_ || !banner_ || !side_) return;
    RECT client;
    GetClientRect(window_, &client);
    SetWindowPos(banner_->window(), HWND_BOTTOM, 0, 0, client.right, wizardids::BannerHeight, SWP_NOACTIVATE);
    SetWindowPos(side_->window(), HWND_BOTTOM, 0, wizardids::BannerHeight, wizardids::SideStripWidth,
                 client.bottom - wizardids::BannerHeight, SWP_NOACTIVATE);
}

void PageHost::destroyed() {
    page_.attachView(nullptr);
    buttons_.clear();
    banner_.reset();
    side_.reset();
    tooltip_ = nullptr;  // a child of the page: destroyed with it
    window_ = nullptr;
}

void PageHost::setText(int controlId, const std::string& text) {
    HWND control = GetDlgItem(window_, controlId);
    if (!control) return;
    // Unchanged texts are left alone: the refresh timer would otherwise make every row flicker.
    std::vector<char> current(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 2);
    GetWindowTextA(control, current.data(), static_cast<int>(current.size()));
    if (text == current.data()) return;
    SetWindowTextA(control, text.c_str());
}

void PageHost::setChecked(int controlId, bool checked) {
    CheckDlgButton(window_, controlId, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool PageHost::isChecked(int controlId) { return IsDlgButtonChecked(window_, controlId) == BST_CHECKED; }

void PageHost::enableControl(int controlId, bool enabled) {
    if (HWND control = GetDlgItem(window_, controlId)) EnableWindow(control, enabled);
}

void PageHost::showControl(int controlId, bool shown) {
    if (HWND control = GetDlgItem(window_, controlId)) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

void PageHost::placeImageButton(int controlId, wizard::PageImage image, int x, const std::string& tooltip) {
    HWND control = GetDlgItem(window_, controlId);
    if (!control) return;
    auto button = std::make_unique<dvImageButton>();
    if (!button->attach(control)) return;
    button->loadImage(pictureOf(image));
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(control, nullptr, x, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (tooltip_) addTooltip(tooltip_, control, tooltip);
    buttons_[controlId] = std::move(button);
}

void PageHost::setWizardButtons(bool back, bool next) {
    PropSheet_SetWizButtons(sheetWindow(), (back ? PSWIZB_BACK : 0) | (next ? PSWIZB_NEXT : 0));
}

void PageHost::setCancelText(const std::string& text) {
    if (HWND cancel = GetDlgItem(sheetWindow(), IDCANCEL)) SetWindowTextA(cancel, text.c_str());
}

void PageHost::startTimer(unsigned timerId, unsigned periodMs) { SetTimer(window_, timerId, periodMs, nullptr); }

void PageHost::stopTimer(unsigned timerId) { KillTimer(window_, timerId); }

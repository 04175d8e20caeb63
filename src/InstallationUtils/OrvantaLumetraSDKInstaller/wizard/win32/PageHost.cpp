#include "wizard/win32/PageHost.h"

#include "download/win32/WorkerThread.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "app/RunLog.h"
#include "controls/win32/ControlReflection.h"
#include "controls/win32/Tooltips.h"
#include "pages/content/win32/ContentTabsHost.h"
#include "pages/content/win32/RichTextStream.h"
#include "resources/resource.h"
#include "platform/TextFormat.h"
#include "wizard/WizardIds.h"
#include "wizard/WizardTexts.h"
#include "wizard/win32/SheetHost.h"

namespace {

// Posted to the page when it has painted for the first time: by the time it arrives, the page is on screen.
constexpr UINT PaintedMessage = WM_APP + 1;
// Posted by an activation that left work for when the page is on screen.
constexpr UINT AfterShownMessage = WM_APP + 2;

double millisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

int pictureOf(wizard::PageImage image) {
    switch (image) {
    case wizard::PageImage::Install: return IDP_INSTALL;
    case wizard::PageImage::Remove: return IDP_REMOVE;
    case wizard::PageImage::Download: return IDP_DOWNLOAD;
    case wizard::PageImage::Change: return IDP_CHANGE;
    case wizard::PageImage::Info: return IDP_INFO;
    case wizard::PageImage::Browse: return IDP_BROWSE;
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

bool isSysLink(HWND control) {
    char name[16] = {};
    GetClassNameA(control, name, sizeof(name));
    return lstrcmpiA(name, "SysLink") == 0;
}

bool isComboBox(HWND control) {
    char name[16] = {};
    GetClassNameA(control, name, sizeof(name));
    return lstrcmpiA(name, "ComboBox") == 0;
}

}  // namespace

PageHost::PageHost(wizard::ovDPropertyPageBase& page, SheetHost& sheet) : page_(page), sheet_(sheet) {}

PageHost::~PageHost() {
    page_.attachView(nullptr);
    contentTabs_.reset();
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
        download::win32::debugLine("PageHost::dialogProc", "an exception was stopped at the page's window");
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
        // A new entry picked in a drop-down list reaches the page as its command.
        if (HIWORD(wParam) == CBN_SELCHANGE && lParam != 0 && isComboBox(reinterpret_cast<HWND>(lParam))) {
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
    case WM_PAINT:
        if (!painted_) {
            painted_ = true;
            PostMessageA(window_, PaintedMessage, 0, 0);
        }
        return FALSE;
    case PaintedMessage:
        sheet_.pageShown();
        return TRUE;
    case AfterShownMessage: {
        // Posted messages come before painting: let the page paint first.
        UpdateWindow(sheetWindow());
        auto work = std::move(afterShown_);
        afterShown_.clear();
        for (auto& item : work) item();
        return TRUE;
    }
    case WM_HELP:
        sheet_.showHelp();
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        // The category tabs' selection change belongs to the tutorials or resources page's tab part.
        if (contentTabs_ && contentTabs_->onNotify(*header)) return TRUE;
        LONG_PTR result = 0;
        switch (header->code) {
        case PSN_SETACTIVE: {
            LARGE_INTEGER start;
            QueryPerformanceCounter(&start);
            result = page_.onSetActive() ? 0 : -1;
            runlog::line(text::format(wizardtexts::PageShownLog, page_.pageName().c_str(), page_.headerText().c_str(),
                                      millisecondsSince(start)));
            break;
        }
        case PSN_WIZNEXT:
            result = page_.onWizardNext();
            break;
        case PSN_WIZBACK:
            result = page_.onWizardBack();
            break;
        case PSN_HELP:
            sheet_.showHelp();
            break;
        // A link control's click (or Enter on it) reaches the page as the link's command; the result is 0.
        case NM_CLICK:
        case NM_RETURN:
            if (!isSysLink(header->hwndFrom)) return FALSE;
            page_.onCommand(static_cast<int>(header->idFrom));
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
    contentTabs_.reset();
    buttons_.clear();
    infoIcons_.clear();
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
    if (image == wizard::PageImage::Info) {
        // Info icons are statics of the layout that show the info image and explain through their tooltip.
        auto icon = std::make_unique<dvImageStatic>();
        if (!icon->attach(control)) return;
        icon->loadImage(IDP_INFO);
        RECT rect;
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(control, nullptr, x, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (tooltip_) addTooltip(tooltip_, control, tooltip);
        infoIcons_[controlId] = std::move(icon);
        return;
    }
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

void PageHost::afterShown(std::function<void()> work) {
    if (afterShown_.empty()) PostMessageA(window_, AfterShownMessage, 0, 0);
    afterShown_.push_back(std::move(work));
}

void PageHost::startTimer(unsigned timerId, unsigned periodMs) { SetTimer(window_, timerId, periodMs, nullptr); }

void PageHost::stopTimer(unsigned timerId) { KillTimer(window_, timerId); }

void PageHost::addComboItem(int comboId, const std::string& text) {
    SendDlgItemMessageA(window_, comboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PageHost::selectComboText(int comboId, const std::string& text) {
    SendDlgItemMessageA(window_, comboId, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(text.c_str()));
}

std::optional<std::string> PageHost::comboSelection(int comboId) {
    const LRESULT index = SendDlgItemMessageA(window_, comboId, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return std::nullopt;
    const LRESULT length = SendDlgItemMessageA(window_, comboId, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return std::nullopt;
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    if (SendDlgItemMessageA(window_, comboId, CB_GETLBTEXT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(text.data())) == CB_ERR)
        return std::nullopt;
    return std::string(text.data());
}

// --- Readme page ---
void PageHost::streamRichText(int controlId, const std::function<long long(char*, long long)>& read) {
    streamIntoRichEdit(GetDlgItem(window_, controlId), read);
}

// --- Tutorials and resources pages ---
content::ContentTabsView* PageHost::contentTabs() {
    if (!contentTabs_ && window_) {
        if (HWND tabs = ContentTabsHost::findTabControl(window_))
            contentTabs_ = std::make_unique<ContentTabsHost>(window_, tabs);
    }
    return contentTabs_.get();
}

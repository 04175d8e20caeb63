#include "pages/content/win32/ContentTabsHost.h"

#include <commctrl.h>

#include "controls/win32/Tooltips.h"
#include "download/win32/WorkerThread.h"
#include "pages/content/ResourcesPageRes.h"
#include "pages/content/TutorialsPageRes.h"
#include "resources/resource.h"

namespace {

int pictureOf(content::RowImage image) {
    switch (image) {
    case content::RowImage::Install: return IDP_INSTALL;
    case content::RowImage::Remove: return IDP_REMOVE;
    case content::RowImage::Browse: return IDP_ROW_BROWSE;
    case content::RowImage::Pdf: return IDP_ROW_PDF;
    case content::RowImage::Video: return IDP_ROW_VIDEO;
    case content::RowImage::Info: return IDP_INFO;
    case content::RowImage::DefaultPicture: return IDP_RESOURCE_PICTURE;
    }
    return IDP_INFO;
}

struct ContentsTemplate {
    int dialog;
    int messageLine;
    bool linkColoured;  // the resources dialog draws its texts in the links' colour
};

ContentsTemplate templateOf(content::TabContents kind) {
    switch (kind) {
    case content::TabContents::Tutorials: return {IDD_TUTORIALS_TAB, IDC_TUTORIALS_TAB_MESSAGE, false};
    case content::TabContents::Resources: return {IDD_RESOURCES_TAB, IDC_RESOURCES_TAB_MESSAGE, true};
    case content::TabContents::TutorialsNotAvailable:
        return {IDD_TUTORIALS_NOT_AVAILABLE, IDC_TUTORIALS_NOT_AVAILABLE_TEXT, false};
    case content::TabContents::ResourcesNotAvailable:
        return {IDD_RESOURCES_NOT_AVAILABLE, IDC_RESOURCES_NOT_AVAILABLE_TEXT, false};
    }
    return {IDD_TUTORIALS_NOT_AVAILABLE, IDC_TUTORIALS_NOT_AVAILABLE_TEXT, false};
}

LOGFONTA fontOf(HWND window) {
    LOGFONTA description = {};
    auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    if (!font || !GetObjectA(font, sizeof(description), &description)) GetObjectA(GetStockObject(DEFAULT_GUI_FONT),
                                                                                   sizeof(description), &description);
    return description;
}

}  // namespace

// The child dialog: row buttons report their row and code, its timers and the link-coloured texts.
class ContentTabsHost::ContentsDialog : public ovDTabDialogBase {
public:
    ContentsDialog(ContentTabsHost& host, bool linkColoured) : host_(host), linkColoured_(linkColoured) {}

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == DynamicButtonNotifyMessage) {
            if (host_.listener_) host_.listener_->onRowButton(static_cast<int>(wParam), static_cast<int>(lParam));
            *result = 0;
            return true;
        }
        if (message == WM_TIMER) {
            if (host_.listener_) host_.listener_->onContentsTimer(static_cast<unsigned>(wParam));
            return false;  // and on to default handling
        }
        return false;
    }

private:
    ContentTabsHost& host_;
    bool linkColoured_;
    friend class ContentTabsHost;
};

// A static drawn transparently in the links' colour (the resources dialog's markers, captions and message).
class LinkColouredStatic : public dvReflectedControl {
public:
    explicit LinkColouredStatic(HWND window) : window_(window) { bindWindow(window); }
    ~LinkColouredStatic() override {
        if (IsWindow(window_)) unbindWindow(window_);
    }
    bool onReflected(UINT message, WPARAM wParam, LPARAM, LRESULT* result) override {
        if (message != WM_CTLCOLORSTATIC) return false;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_HOTLIGHT));
        SetBkMode(dc, TRANSPARENT);
        *result = reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
        return true;
    }

private:
    HWND window_;
};

// A hyperlink whose click goes to the page, which opens the address (or fetches the document) itself.
class ContentTabsHost::ContentLink : public DDynamicHyperlink {
public:
    explicit ContentLink(ContentTabsHost& host) : host_(host) {}
    void onClick() override {
        if (!host_.listener_) return;
        char text[1024] = {};
        GetWindowTextA(hwnd(), text, sizeof text);
        const std::string address = url();
        host_.listener_->onLinkClicked(address, text);
    }

private:
    ContentTabsHost& host_;
};

ContentTabsHost::ContentTabsHost(HWND page, HWND tabs) : page_(page), tabs_(tabs) {}

ContentTabsHost::~ContentTabsHost() {
    listener_ = nullptr;
    destroyContents();
}

HWND ContentTabsHost::findTabControl(HWND page) {
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, WC_TABCONTROLA) == 0) return child;
    }
    return nullptr;
}

bool ContentTabsHost::onNotify(const NMHDR& header) {
    if (header.hwndFrom != tabs_ || header.code != static_cast<UINT>(TCN_SELCHANGE)) return false;
    if (listener_) listener_->onTabSelectionChanged();
    return true;
}

void ContentTabsHost::deleteAllTabs() { SendMessageA(tabs_, TCM_DELETEALLITEMS, 0, 0); }

bool ContentTabsHost::insertTab(int index, const std::string& caption) {
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    std::string text = caption;
    item.pszText = text.data();
    return SendMessageA(tabs_, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != -1;
}

void ContentTabsHost::selectTab(int index) { SendMessageA(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0); }

int ContentTabsHost::selectedTab() { return static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)); }

HWND ContentTabsHost::dialogWindow() const { return dialog_ ? dialog_->window() : nullptr; }

void ContentTabsHost::destroyContents() {
    // The controls first (they let go of their windows), then the dialog with whatever windows are left.
    buttons_.clear();
    pictures_.clear();
    links_.clear();
    coloured_.clear();
    dialog_.reset();
    messageLineId_ = 0;
}

void ContentTabsHost::computeDisplayArea() {
    RECT area;
    GetClientRect(tabs_, &area);
    SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabs_, page_, reinterpret_cast<POINT*>(&area), 2);
    displayArea_ = area;
}

bool ContentTabsHost::createContents(content::TabContents kind) {
    destroyContents();
    const ContentsTemplate t = templateOf(kind);
    dialog_ = std::make_unique<ContentsDialog>(*this, t.linkColoured);
    if (!dialog_->create(t.dialog, page_)) {
        dialog_.reset();
        return false;
    }
    messageLineId_ = t.messageLine;
    computeDisplayArea();
    SetWindowPos(dialog_->window(), HWND_TOP, displayArea_.left, displayArea_.top,
                 displayArea_.right - displayArea_.left, displayArea_.bottom - displayArea_.top, SWP_NOACTIVATE);
    if (t.linkColoured) {
        if (HWND line = GetDlgItem(dialog_->window(), messageLineId_))
            coloured_[line] = std::make_unique<LinkColouredStatic>(line);
    }
    return true;
}

void ContentTabsHost::addStatic(int id, const std::string& text, content::ControlRect r, bool centred) {
    HWND dialog = dialogWindow();
    if (!dialog) return;
    HWND control = CreateWindowExA(0, "STATIC", text.c_str(),
                                   WS_CHILD | WS_VISIBLE | SS_NOPREFIX | (centred ? SS_CENTER : SS_LEFT), r.left,
                                   r.top, r.right - r.left, r.bottom - r.top, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                   nullptr);
    if (!control) return;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialog_->font()), FALSE);
    if (dialog_->linkColoured_) coloured_[control] = std::make_unique<LinkColouredStatic>(control);
}

void ContentTabsHost::addRowButton(int id, const std::string& text, content::ControlRect r, content::RowImage image,
                                   const std::string& tooltip, int row, int code) {
    HWND dialog = dialogWindow();
    if (!dialog) return;
    auto button = std::make_unique<DDynamicButton>();
    if (!button->create(dialog, id, r.left, r.top, r.right - r.left, r.bottom - r.top, text.c_str())) return;
    button->loadImage(pictureOf(image));
    button->notifyTarget = dialog;
    button->notifyRow = row;
    button->notifyCode = code;
    SendMessageA(button->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(dialog_->font()), FALSE);
    if (!tooltip.empty() && dialog_->tooltip()) addTooltip(dialog_->tooltip(), button->hwnd(), tooltip);
    buttons_[id] = std::move(button);
}

void ContentTabsHost::addPictureButton(int id, content::ControlRect r, const std::string& pictureFile, int row,
                                       int code) {
    HWND dialog = dialogWindow();
    if (!dialog) return;
    auto button = std::make_unique<DDynamicButton>();
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (!button->create(dialog, id, r.left, r.top, w, h, "")) return;
    if (pictureFile.empty() || button->loadImageFromFile(pictureFile) != 1) button->loadImage(IDP_RESOURCE_PICTURE);
    // A picture from the server may be of any size: the button keeps its cell.
    if (button->imageWidth() > w || button->imageHeight() > h)
        SetWindowPos(button->hwnd(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    button->notifyTarget = dialog;
    button->notifyRow = row;
    button->notifyCode = code;
    buttons_[id] = std::move(button);
}

void ContentTabsHost::addInfoPicture(int id, content::ControlRect r, const std::string& tooltip) {
    HWND dialog = dialogWindow();
    if (!dialog) return;
    auto picture = std::make_unique<dvImageStatic>();
    if (!picture->create(dialog, id, r.left, r.top, r.right - r.left, r.bottom - r.top)) return;
    picture->loadImage();
    if (!tooltip.empty() && dialog_->tooltip()) addTooltip(dialog_->tooltip(), picture->hwnd(), tooltip);
    pictures_[id] = std::move(picture);
}

void ContentTabsHost::addHyperlink(int id, const std::string& text, const std::string& url, content::ControlRect r) {
    HWND dialog = dialogWindow();
    if (!dialog) return;
    auto link = std::make_unique<ContentLink>(*this);
    RECT rect = {r.left, r.top, r.right, r.bottom};
    if (!link->create(text.c_str(), WS_VISIBLE | SS_NOPREFIX, rect, dialog, url, fontOf(dialog), id)) return;
    links_[id] = std::move(link);
}

void ContentTabsHost::setContentsText(int id, const std::string& text) {
    if (HWND dialog = dialogWindow()) SetDlgItemTextA(dialog, id, text.c_str());
}

void ContentTabsHost::showContentsControl(int id, bool shown) {
    if (HWND dialog = dialogWindow())
        if (HWND control = GetDlgItem(dialog, id)) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

void ContentTabsHost::enableContentsControl(int id, bool enabled) {
    if (HWND dialog = dialogWindow())
        if (HWND control = GetDlgItem(dialog, id)) EnableWindow(control, enabled);
}

void ContentTabsHost::setMessageLine(const std::string& text, bool shown) {
    HWND dialog = dialogWindow();
    if (!dialog || !messageLineId_) return;
    SetDlgItemTextA(dialog, messageLineId_, text.c_str());
    if (HWND line = GetDlgItem(dialog, messageLineId_)) ShowWindow(line, shown ? SW_SHOW : SW_HIDE);
}

void ContentTabsHost::finishContents() {
    HWND dialog = dialogWindow();
    if (!dialog) return;
    EnableWindow(dialog, TRUE);
    ShowWindow(dialog, SW_SHOW);
    RedrawWindow(page_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ContentTabsHost::startContentsTimer(unsigned timerId, unsigned periodMs) {
    if (HWND dialog = dialogWindow()) SetTimer(dialog, timerId, periodMs, nullptr);
}

void ContentTabsHost::stopContentsTimer(unsigned timerId) {
    if (HWND dialog = dialogWindow()) KillTimer(dialog, timerId);
}

void ContentTabsHost::invalidateContents() {
    if (HWND dialog = dialogWindow()) InvalidateRect(dialog, nullptr, TRUE);
}

#include "wizard/win32/SheetHost.h"

#include "download/win32/WorkerThread.h"

#include <commctrl.h>
#include <prsht.h>
#include <shellapi.h>

#include <atomic>

#include "app/RunLog.h"
#include "platform/TextFormat.h"
#include "pages/components/ComponentPageTexts.h"
#include "wizard/WizardIds.h"
#include "wizard/WizardRes.h"
#include "wizard/HelpViewerTexts.h"
#include "wizard/WizardTexts.h"
#include "wizard/win32/Win32UserInterface.h"

namespace {

// PropertySheet's callback carries no data of ours; one wizard runs at a time.
std::atomic<SheetHost*> runningSheet{nullptr};

constexpr UINT ReactivateMessage = WM_USER + wizardids::ReactivateOffset;
constexpr UINT_PTR SubclassId = 1;

// The standard buttons of a wizard sheet: Back, Next, Finish, Cancel, OK, Help.
constexpr int StandardButtons[] = {0x3023, 0x3024, 0x3025, IDCANCEL, IDOK, IDHELP};
constexpr int BackButton = 0x3023;

struct NavigationButton {
    int id;
    const char* label;     // with its mnemonic
    const char* pageName;
};
constexpr NavigationButton NavigationButtons[] = {
    {IDC_NAV_HOME, wizardtexts::HomeButton, wizardtexts::WelcomePageName},
    {IDC_NAV_EXTENSIONS, wizardtexts::ExtensionsButton, pagetexts::ExtensionsName},
    {IDC_NAV_MODULES, wizardtexts::ModulesButton, pagetexts::ModulesName},
};

RECT clientRectOf(HWND control, HWND parent) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

SheetHost::SheetHost(wizard::ovDLumetraSDKInstallerSheet& sheet, std::shared_ptr<NewVersionInfo> checker)
    : sheet_(sheet), checker_(std::move(checker)) {
    for (int i = 0; i < sheet_.pageCount(); ++i) pages_.push_back(std::make_unique<PageHost>(sheet_.page(i), *this));
    sheet_.attachView(this);
}

SheetHost::~SheetHost() {
    sheet_.attachView(nullptr);
    if (navigationFont_) DeleteObject(navigationFont_);
}

void SheetHost::run() {
    std::vector<HPROPSHEETPAGE> handles;
    for (auto& page : pages_) handles.push_back(page->create());

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_WIZARD | PSH_USECALLBACK | PSH_HASHELP;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = sheet_.caption().c_str();
    header.nPages = static_cast<UINT>(handles.size());
    header.phpage = handles.data();
    header.pfnCallback = sheetCallback;
    runningSheet = this;
    PropertySheetA(&header);
    // The window is gone: the check is stopped and given a bounded time, never killed.
    if (checkThread_ && !checkThread_->stop(wizardids::CheckThreadWaitMs))
        download::win32::debugLine("SheetHost::run", "the new-version check did not end in time and was left behind");
    checkThread_.reset();
    runningSheet = nullptr;
    setMainWindow(nullptr);
    window_ = nullptr;
}

int CALLBACK SheetHost::sheetCallback(HWND window, UINT message, LPARAM) {
    try {
        if (message == PSCB_INITIALIZED) {
            if (SheetHost* self = runningSheet.load()) self->setUp(window);
        }
    } catch (...) {
        download::win32::debugLine("SheetHost::sheetCallback", "an exception was stopped at the sheet's set-up");
    }
    return 0;
}

void SheetHost::setUp(HWND window) {
    window_ = window;
    setMainWindow(window);
    SetWindowSubclass(window, subclassProc, SubclassId, reinterpret_cast<DWORD_PTR>(this));

    // The navigation buttons use a copy of the sheet's dialog font.
    auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    LOGFONTA description = {};
    if (font && GetObjectA(font, sizeof(description), &description)) {
        if (navigationFont_) DeleteObject(navigationFont_);
        navigationFont_ = CreateFontIndirectA(&description);
    }

    // Taller by a row, the standard buttons moved down with it.
    RECT frame;
    GetWindowRect(window, &frame);
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top + wizardids::SheetExtraHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int id : StandardButtons) {
        HWND button = GetDlgItem(window, id);
        if (!button) continue;
        RECT rect = clientRectOf(button, window);
        SetWindowPos(button, nullptr, rect.left, rect.top + wizardids::StandardButtonShift, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND back = GetDlgItem(window, BackButton);
    const int backTop = back ? clientRectOf(back, window).top : 0;
    int x = wizardids::NavigationButtonLeft;
    for (const auto& nav : NavigationButtons) {
        HWND button = CreateWindowExA(0, "BUTTON", nav.label, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x,
                                      backTop - wizardids::NavigationButtonTopAboveBack,
                                      wizardids::NavigationButtonWidth,
                                      wizardids::NavigationButtonTopAboveBack -
                                          wizardids::NavigationButtonBottomAboveBack,
                                      window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nav.id)),
                                      GetModuleHandleA(nullptr), nullptr);
        if (button && navigationFont_) SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(navigationFont_), TRUE);
        x += wizardids::NavigationButtonWidth + wizardids::NavigationButtonGap;
    }

    if (checker_) checkThread_ = std::make_unique<CheckThread>(checker_, window);
}

LRESULT CALLBACK SheetHost::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
    try {
        bool handled = false;
        LRESULT result = reinterpret_cast<SheetHost*>(self)->handle(message, wParam, lParam, &handled);
        if (handled) return result;
    } catch (...) {
        download::win32::debugLine("SheetHost::subclassProc", "an exception was stopped at the sheet's window");
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, subclassProc, SubclassId);
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT SheetHost::handle(UINT message, WPARAM wParam, LPARAM, bool* handled) {
    if (message == ReactivateMessage) {
        *handled = true;
        sheet_.reactivateCurrentPage();
        return 1;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        for (const auto& nav : NavigationButtons) {
            if (LOWORD(wParam) == nav.id) {
                *handled = true;
                sheet_.gotoPageByName(nav.pageName);
                return 0;
            }
        }
    }
    return 0;
}

int SheetHost::activeIndex() {
    if (!window_) return 0;
    return static_cast<int>(PropSheet_HwndToIndex(window_, PropSheet_GetCurrentPageHwnd(window_)));
}

void SheetHost::activatePage(int index) {
    if (window_) PropSheet_SetCurSel(window_, nullptr, index);
}

void SheetHost::showHelp() { sheet_.showHelp(); }

void SheetHost::pageShown() {
    if (shownLogged_) return;
    shownLogged_ = true;
    FILETIME creation, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exited, &kernel, &user)) return;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER start = {{creation.dwLowDateTime, creation.dwHighDateTime}};
    ULARGE_INTEGER end = {{now.dwLowDateTime, now.dwHighDateTime}};
    const unsigned long ms = end.QuadPart > start.QuadPart ? static_cast<unsigned long>((end.QuadPart - start.QuadPart) / 10000) : 0;
    runlog::line(text::format(wizardtexts::WizardShownLog, ms));
}

void SheetHost::showHelpTopic(const std::string& address) {
    if (!help_) {
        helpSystem_ = std::make_unique<Win32HelpSystem>(window_);
        help_ = std::make_unique<wizard::HelpPresenter>(*helpSystem_);
    }
    const bool deciding = help_->mode() == wizard::HelpPresenter::Mode::Undecided;
    help_->show(address);
    // (A browser control that cannot be hosted says why itself.)
    if (deciding && help_->fallback() == wizard::HelpPresenter::Fallback::NeverComplete)
        runlog::line(helptexts::NeverCompleteLog);
    runlog::line(text::format(help_->mode() == wizard::HelpPresenter::Mode::Viewer ? helptexts::ViewerLog
                                                                                  : helptexts::SystemHandlerLog,
                              address.c_str()));
}

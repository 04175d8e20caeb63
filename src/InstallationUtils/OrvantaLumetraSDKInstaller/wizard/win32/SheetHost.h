// The wizard's main window: a property sheet in wizard mode holding one PageHost per page. It adds the
// navigation buttons, routes help and the re-activation message to the sheet's logic, and carries out what
// the sheet asks of its window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "versions/NewVersionInfo.h"
#include "wizard/InstallerSheet.h"
#include "wizard/win32/CheckThread.h"
#include "wizard/win32/HelpViewerWindow.h"
#include "wizard/win32/PageHost.h"

class SheetHost : public wizard::SheetView {
public:
    // checker (may be null) runs in the background while the wizard is open.
    SheetHost(wizard::ovDLumetraSDKInstallerSheet& sheet, std::shared_ptr<NewVersionInfo> checker = nullptr);
    ~SheetHost() override;
    SheetHost(const SheetHost&) = delete;
    SheetHost& operator=(const SheetHost&) = delete;

    // Runs the wizard modally until it is closed.
    void run();
    HWND window() const { return window_; }
    // The host of the page at index (sheet order).
    PageHost& pageHost(int index) { return *pages_.at(static_cast<std::size_t>(index)); }

    int activeIndex() override;
    void activatePage(int index) override;
    void showHelpTopic(const std::string& address) override;
    void showHelp();
    // A page has painted for the first time; the first one tells the run log how long the start took.
    void pageShown();

private:
    static int CALLBACK sheetCallback(HWND window, UINT message, LPARAM lParam);
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    void setUp(HWND window);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);

    wizard::ovDLumetraSDKInstallerSheet& sheet_;
    std::vector<std::unique_ptr<PageHost>> pages_;
    HWND window_ = nullptr;
    HFONT navigationFont_ = nullptr;
    bool shownLogged_ = false;
    std::shared_ptr<NewVersionInfo> checker_;
    std::unique_ptr<CheckThread> checkThread_;
    // Help: the viewer (or the system's handler) chosen at the first request, kept until the sheet goes.
    std::unique_ptr<Win32HelpSystem> helpSystem_;
    std::unique_ptr<wizard::HelpPresenter> help_;
};

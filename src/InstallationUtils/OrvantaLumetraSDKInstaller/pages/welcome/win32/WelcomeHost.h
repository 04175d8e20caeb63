// The welcome page's own window work: the new-version icon and link beside the version selector, emptying
// the selector, and closing the wizard after a switch to another installer.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/win32/DynamicHyperlink.h"
#include "controls/win32/ImageButton.h"
#include "pages/welcome/WelcomePage.h"
#include "wizard/win32/PageHost.h"

class WelcomeHost : public WelcomeWindow {
public:
    // Attaches itself to the page; pageHost owns the page's dialog window.
    WelcomeHost(ovDInstallWelcomeBase& page, PageHost& pageHost);
    ~WelcomeHost() override;
    WelcomeHost(const WelcomeHost&) = delete;
    WelcomeHost& operator=(const WelcomeHost&) = delete;

    void createNewVersionIndicator() override;
    void showNewVersionIndicator(bool shown, const std::string& linkText) override;
    void clearCombo(int comboId) override;
    void closeWizard() override;

private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    void release();

    ovDInstallWelcomeBase& page_;
    PageHost& pageHost_;
    HWND window_ = nullptr;  // the page's window while the indicator exists
    std::unique_ptr<DDynamicButton> icon_;
    std::unique_ptr<DDynamicHyperlinkNewVersionAvailable> link_;
};

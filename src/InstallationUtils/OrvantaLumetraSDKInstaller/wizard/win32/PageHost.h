// The window of one wizard page: its dialog procedure turns the property sheet's messages into the page's
// calls, and it carries out what the page asks of its view (texts, buttons, pictures, timers).
#pragma once

#include <windows.h>
#include <prsht.h>

#include <map>
#include <memory>
#include <functional>
#include <string>
#include <vector>

#include "controls/win32/ComponentInstallHeader.h"
#include "controls/win32/ImageButton.h"
#include "controls/win32/ImageStatic.h"
#include "wizard/PageView.h"
#include "wizard/PropertyPageBase.h"

class SheetHost;
class ContentTabsHost;

class PageHost : public wizard::PageView {
public:
    PageHost(wizard::ovDPropertyPageBase& page, SheetHost& sheet);
    ~PageHost() override;
    PageHost(const PageHost&) = delete;
    PageHost& operator=(const PageHost&) = delete;

    // The property sheet page for this page (the title string lives as long as the host).
    HPROPSHEETPAGE create();
    HWND window() const { return window_; }
    wizard::ovDPropertyPageBase& page() { return page_; }

    void setText(int controlId, const std::string& text) override;
    void setChecked(int controlId, bool checked) override;
    bool isChecked(int controlId) override;
    void enableControl(int controlId, bool enabled) override;
    void showControl(int controlId, bool shown) override;
    void placeImageButton(int controlId, wizard::PageImage image, int x, const std::string& tooltip) override;
    void setWizardButtons(bool back, bool next) override;
    void setCancelText(const std::string& text) override;
    void afterShown(std::function<void()> work) override;
    void startTimer(unsigned timerId, unsigned periodMs) override;
    void stopTimer(unsigned timerId) override;
    void addComboItem(int comboId, const std::string& text) override;
    void selectComboText(int comboId, const std::string& text) override;
    std::optional<std::string> comboSelection(int comboId) override;
    // --- Readme page ---
    void streamRichText(int controlId, const std::function<long long(char*, long long)>& read) override;
    // --- Tutorials and resources pages: their tab control and the dialog under it (made on first use) ---
    content::ContentTabsView* contentTabs() override;

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void initDialog(HWND window);
    void placeBands();
    void destroyed();
    HWND sheetWindow() const { return GetParent(window_); }

    wizard::ovDPropertyPageBase& page_;
    SheetHost& sheet_;
    HWND window_ = nullptr;
    bool painted_ = false;
    std::vector<std::function<void()>> afterShown_;
    HFONT font_ = nullptr;
    HWND tooltip_ = nullptr;
    std::unique_ptr<dvComponentInstallHeader> banner_;
    std::unique_ptr<dvComponentInstallHeader> side_;
    std::map<int, std::unique_ptr<dvImageButton>> buttons_;
    std::map<int, std::unique_ptr<dvImageStatic>> infoIcons_;
    std::unique_ptr<ContentTabsHost> contentTabs_;  // tutorials and resources pages
};

// The window part of the tutorials and resources pages: the page's tab control and the modeless child dialog
// placed over its display area, with the rows of drawn controls the page creates in it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "controls/win32/DynamicHyperlink.h"
#include "controls/win32/ImageButton.h"
#include "controls/win32/ImageStatic.h"
#include "pages/content/ContentTabsView.h"
#include "wizard/win32/TabDialogBase.h"

class ContentTabsHost : public content::ContentTabsView {
public:
    // page: the page's window; tabs: its tab control.
    ContentTabsHost(HWND page, HWND tabs);
    ~ContentTabsHost() override;
    ContentTabsHost(const ContentTabsHost&) = delete;
    ContentTabsHost& operator=(const ContentTabsHost&) = delete;

    // The first tab control among the page's children, or null.
    static HWND findTabControl(HWND page);
    // A notification the page received; true when it was the tab control's selection change (handled here).
    bool onNotify(const NMHDR& header);

    void setListener(content::ContentTabsListener* listener) override { listener_ = listener; }
    void deleteAllTabs() override;
    bool insertTab(int index, const std::string& caption) override;
    void selectTab(int index) override;
    int selectedTab() override;
    void destroyContents() override;
    bool createContents(content::TabContents kind) override;
    int contentsOriginX() override { return displayArea_.left; }
    void addStatic(int id, const std::string& text, content::ControlRect rect, bool centred) override;
    void addRowButton(int id, const std::string& text, content::ControlRect rect, content::RowImage image,
                      const std::string& tooltip, int row, int code) override;
    void addPictureButton(int id, content::ControlRect rect, const std::string& pictureFile, int row,
                          int code) override;
    void addInfoPicture(int id, content::ControlRect rect, const std::string& tooltip) override;
    void addHyperlink(int id, const std::string& text, const std::string& url, content::ControlRect rect) override;
    void setContentsText(int id, const std::string& text) override;
    void showContentsControl(int id, bool shown) override;
    void enableContentsControl(int id, bool enabled) override;
    void setMessageLine(const std::string& text, bool shown) override;
    void finishContents() override;
    void startContentsTimer(unsigned timerId, unsigned periodMs) override;
    void stopContentsTimer(unsigned timerId) override;
    void invalidateContents() override;

private:
    class ContentsDialog;
    class ContentLink;
    HWND dialogWindow() const;
    void computeDisplayArea();

    HWND page_;
    HWND tabs_;
    RECT displayArea_ = {};
    content::ContentTabsListener* listener_ = nullptr;
    std::unique_ptr<ContentsDialog> dialog_;
    int messageLineId_ = 0;
    std::map<int, std::unique_ptr<DDynamicButton>> buttons_;
    std::map<int, std::unique_ptr<dvImageStatic>> pictures_;
    std::map<int, std::unique_ptr<DDynamicHyperlink>> links_;
    std::map<HWND, std::unique_ptr<dvReflectedControl>> coloured_;  // statics drawn in the links' colour
};

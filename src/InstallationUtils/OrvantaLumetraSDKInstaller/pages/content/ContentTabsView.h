// What the tutorials and resources pages ask of the window part that shows their category tabs: the tab control
// of the page and the child dialog shown over its display area, filled at run time with rows of controls.
//
// The Win32 host implements it with a real tab control and modeless child dialogs; the native tests implement
// it with a recorder. Rectangles are in the child dialog's client pixels.
#pragma once

#include <string>

namespace content {

struct ControlRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The pictures of the content rows' buttons.
enum class RowImage { Install, Remove, Browse, Pdf, Video, Info, DefaultPicture };

// Which dialog fills the display area.
enum class TabContents { Tutorials, Resources, TutorialsNotAvailable, ResourcesNotAvailable };

// What the window reports back to the page.
class ContentTabsListener {
public:
    virtual ~ContentTabsListener() = default;
    // The person selected another tab.
    virtual void onTabSelectionChanged() = 0;
    // A row button of the child dialog was clicked (its row and operation code).
    virtual void onRowButton(int row, int code) = 0;
    // A hyperlink of the child dialog was clicked.
    virtual void onLinkClicked(const std::string& url, const std::string& text) = 0;
    // A timer of the child dialog fired.
    virtual void onContentsTimer(unsigned timerId) = 0;
};

class ContentTabsView {
public:
    virtual ~ContentTabsView() = default;
    virtual void setListener(ContentTabsListener* listener) = 0;

    // The tab control.
    virtual void deleteAllTabs() = 0;
    // False when the tab could not be inserted.
    virtual bool insertTab(int index, const std::string& caption) = 0;
    virtual void selectTab(int index) = 0;
    // -1 when no tab is selected.
    virtual int selectedTab() = 0;

    // The child dialog: destroys the one shown (if any); creates a new one (disabled) over the tab control's
    // display area, false when it could not be created.
    virtual void destroyContents() = 0;
    virtual bool createContents(TabContents kind) = 0;
    // Where the child dialog's client area starts, in the page's client pixels.
    virtual int contentsOriginX() = 0;
    // Controls created in the child dialog, visible, with the dialog's font.
    virtual void addStatic(int id, const std::string& text, ControlRect rect, bool centred) = 0;
    // A row button; a click reports (row, code). An empty tooltip adds none.
    virtual void addRowButton(int id, const std::string& text, ControlRect rect, RowImage image,
                              const std::string& tooltip, int row, int code) = 0;
    // A picture button showing the PNG file at pictureFile, or the default picture when it is empty or cannot
    // be loaded.
    virtual void addPictureButton(int id, ControlRect rect, const std::string& pictureFile, int row, int code) = 0;
    // The info picture: carries only its tooltip.
    virtual void addInfoPicture(int id, ControlRect rect, const std::string& tooltip) = 0;
    virtual void addHyperlink(int id, const std::string& text, const std::string& url, ControlRect rect) = 0;
    virtual void setContentsText(int id, const std::string& text) = 0;
    virtual void showContentsControl(int id, bool shown) = 0;
    virtual void enableContentsControl(int id, bool enabled) = 0;
    // The dialog's message line.
    virtual void setMessageLine(const std::string& text, bool shown) = 0;
    // Enables the child dialog and redraws the page at once.
    virtual void finishContents() = 0;
    virtual void startContentsTimer(unsigned timerId, unsigned periodMs) = 0;
    virtual void stopContentsTimer(unsigned timerId) = 0;
    // Invalidates the whole child dialog, background included.
    virtual void invalidateContents() = 0;
};

}  // namespace content

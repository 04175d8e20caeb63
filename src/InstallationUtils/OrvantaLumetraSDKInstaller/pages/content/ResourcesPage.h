// The resources page: links to documents, web pages and pictures from the resources list, by category on
// tabs. A tab shows a grid of pictures when any of its resources has one, else two columns of hyperlinks.
// A link to a ".pdf" or ".png" file is downloaded into the data folder first and opened from there.
#pragma once

#include <string>
#include <vector>

#include "components/InstallManagerBase.h"
#include "pages/content/ContentTabs.h"
#include "wizard/PropertyPageBase.h"

namespace content {

// A tab uses at most this many resources; the picture grid shows 12 of them, each link column 10.
inline constexpr std::size_t MaxResourceRows = 64;
inline constexpr int MaxPictureCells = 12;
inline constexpr int MaxColumnRows = 10;
// The repaint timer of the tab dialog: four repaints, half a second apart, after the dialog is made.
inline constexpr unsigned RepaintTimer = 741;
inline constexpr unsigned RepaintPeriodMs = 500;
inline constexpr int RepaintTicks = 3;

// Identifiers of the run-time controls of the tab dialog.
namespace resourceid {
inline constexpr int FirstPicture = 45000;    // + cell
inline constexpr int FirstCaption = 45050;    // + cell
inline constexpr int FirstLink1 = 44000;      // + row, left column
inline constexpr int FirstLink2 = 44500;      // + row, right column
inline constexpr int FirstMarker1 = 44250;    // + row
inline constexpr int FirstMarker2 = 44750;    // + row
}  // namespace resourceid

struct ResourceRow {
    std::string section;
    std::string name, url, imageUrl;
    std::string localPicture;  // the downloaded picture's path; empty when ImageURL names no file
    int column = -1;
};

enum class ResourceLayout { None, Pictures, Links };

// Whether text names a document or picture to download: it ends in ".pdf" or ".png" (any case) and holds a
// "\" or "/".
bool isFileLink(const std::string& text);

// The tab dialog of the resources page.
class DTabResources {
public:
    explicit DTabResources(wizard::PageEnvironment& environment);

    // The dialog was made: starts the repaint timer.
    void onInitDialog(ContentTabsView& view);
    // Fills the dialog with the resources of categoryFilter, read from the list file on disk.
    void updateResourcesList(ContentTabsView& view);
    // A picture button (row, code): code 0 opens the row's URL.
    void onPictureButton(int row, int code);
    void onTimer(ContentTabsView& view, unsigned timerId);

    std::string categoryFilter;
    const std::vector<ResourceRow>& rows() const { return rows_; }
    ResourceLayout layout() const { return layout_; }
    int repaintCount() const { return repaintCount_; }
    const std::string& messageText() const { return messageText_; }

private:
    void debugLine(const std::string& line);

    wizard::PageEnvironment& environment_;
    std::vector<ResourceRow> rows_;
    ResourceLayout layout_ = ResourceLayout::None;
    int repaintCount_ = 0;
    std::string messageText_;
};

}  // namespace content

class ovDInstallOrvantaResourcesDynamic : public wizard::ovDPropertyPageBase, private content::ContentTabsListener {
public:
    ovDInstallOrvantaResourcesDynamic(wizard::PageEnvironment& environment, std::string title);

    bool isPageSkipped() override { return false; }
    void updateControls() override {}
    void initControls() override;
    void onInitDialog() override;
    bool onSetActive() override;
    void onCommand(int controlId) override;

    // Downloads the list file as the flags ask, fetches the pictures it names and shows the tabs of the copy on
    // disk: 1 when there was a list to show, -1 when not.
    int refreshList(bool forceDownload, bool reportErrors);
    // Fills pictures with one record per resource whose ImageURL names a picture file: 1, or -1 without a list.
    int prefetchResourceImages(dvInstallManagerBase& pictures);

    content::DContentTabCtrl& tabControl() { return tabs_; }
    content::DTabResources& tabDialog() { return tabDialog_; }

private:
    void onTabSelectionChanged() override;
    void onRowButton(int row, int code) override;
    void onLinkClicked(const std::string& url, const std::string& text) override;
    void onContentsTimer(unsigned timerId) override;
    content::ContentTabsView* syncTabsView();

    std::string listName_, listStatus_, listAction_;
    std::string pictureName_, pictureStatus_, pictureAction_;
    content::DContentTabCtrl tabs_;
    content::DTabResources tabDialog_;
};

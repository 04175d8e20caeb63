// The tutorials page: the tutorials of the tutorials list by category on tabs, one row per tutorial with its
// state and its Install / Browse / Remove / PDF / Video / Info buttons. A tutorial is a zip archive fetched
// into the data folder and unpacked into the user's documents; it counts as installed while its document
// exists there.
#pragma once

#include <string>
#include <vector>

#include "components/InstallManagerBase.h"
#include "pages/content/ContentTabs.h"
#include "wizard/PropertyPageBase.h"

namespace content {

// Operation codes of the row buttons.
namespace tutorialop {
inline constexpr int Install = 0;
inline constexpr int Browse = 1;
inline constexpr int Remove = 2;
inline constexpr int Pdf = 3;
inline constexpr int Video = 4;
inline constexpr int Info = 5;
}  // namespace tutorialop

// A tab shows at most this many tutorials.
inline constexpr std::size_t MaxTutorialRows = 8;

// The identifiers of row i's controls in the tab dialog.
struct TutorialRowIds {
    int remove, video, pdf, browse, install, info, infoPicture, status, name;
    static TutorialRowIds of(int row);
};

struct TutorialRow {
    std::string section;
    std::string caption, name, profileName, url, pdfName, videoUrl, infoText, infoUrl;
    bool installed = false;
    std::string status;  // the text its status control shows
};

// The tab dialog of the tutorials page: the rows of one category.
class DTabTutorials {
public:
    explicit DTabTutorials(wizard::PageEnvironment& environment);

    // Fills the dialog with the rows of categoryFilter, read from the list file on disk.
    void updateTutorialsList(ContentTabsView& view);
    // Every row's state and buttons from the disk.
    void refreshInstalledState(ContentTabsView& view);
    // A row button (row, operation code).
    void onButton(ContentTabsView& view, int row, int code);

    // Documents folder + "\Orvanta 10.2\Profiles\" and "...\Tutorials\" (both end with a separator); kept as
    // they were when the documents folder cannot be found.
    void recomputeFolders();
    const std::string& profilesFolder() const { return profilesFolder_; }
    const std::string& tutorialsFolder() const { return tutorialsFolder_; }
    std::string tutorialFolder(const TutorialRow& row) const { return tutorialsFolder_ + row.name; }
    std::string documentPath(const TutorialRow& row) const { return tutorialsFolder_ + row.name + "\\" + row.pdfName; }
    std::string profileFolder(const TutorialRow& row) const { return profilesFolder_ + row.profileName; }

    std::string categoryFilter;
    const std::vector<TutorialRow>& rows() const { return rows_; }
    const std::string& messageText() const { return messageText_; }

private:
    void install(ContentTabsView& view, const TutorialRow& row);
    void remove(ContentTabsView& view, const TutorialRow& row);
    void open(const std::string& target, const std::string& directory, const char* failure);
    void tell(const std::string& text);

    wizard::PageEnvironment& environment_;
    std::string profilesFolder_, tutorialsFolder_;
    std::vector<TutorialRow> rows_;
    std::string messageText_;
};

}  // namespace content

class ovDInstallTutorials : public wizard::ovDPropertyPageBase, private content::ContentTabsListener {
public:
    ovDInstallTutorials(wizard::PageEnvironment& environment, std::string title);

    bool isPageSkipped() override { return false; }
    void updateControls() override {}
    void initControls() override;
    void onInitDialog() override;
    bool onSetActive() override;
    void onCommand(int controlId) override;

    // Downloads the list file as the flags ask and shows the tabs of the copy on disk: 1 when there was a list
    // to show, -1 when not.
    int refreshList(bool forceDownload, bool reportErrors);
    // Fills target with one record per tutorial archive of the list file on disk (download folder
    // "_OrvantaInstallData\Tutorials"): 1, or -1 when there is no list file (target untouched). Needs no window.
    int collectTutorialArchives(dvInstallManagerBase& target);

    content::DContentTabCtrl& tabControl() { return tabs_; }
    content::DTabTutorials& tabDialog() { return tabDialog_; }
    const std::string& statusLine() const { return statusLine_; }

private:
    void onTabSelectionChanged() override;
    void onRowButton(int row, int code) override;
    void onLinkClicked(const std::string& url, const std::string& text) override {}
    void onContentsTimer(unsigned timerId) override {}
    // Takes the window's tab part when the page has one (the window may have come or gone since).
    content::ContentTabsView* syncTabsView();

    std::string listName_, listStatus_, listAction_;
    std::string archiveName_, archiveStatus_, archiveAction_;
    std::string statusLine_;
    content::DContentTabCtrl tabs_;
    content::DTabTutorials tabDialog_;
};

// What the tutorials and resources pages share: the category tab control, the list record through which a
// page downloads its list file, and refreshing the list with its fallback to the copy on disk.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "components/ComponentInfo.h"
#include "content/ContentList.h"
#include "pages/content/ContentTabsView.h"
#include "wizard/PageEnvironment.h"

namespace content {

// The category tabs of a page and the dialog shown under the selected tab. The dialog is made anew for every
// tab shown, so a tab's contents always come from the list file as it is on disk at that moment.
class DContentTabCtrl {
public:
    // className names the control in its debug lines; contents and notAvailable are the two dialogs it shows.
    DContentTabCtrl(wizard::PageEnvironment& environment, const char* className, TabContents contents,
                    TabContents notAvailable, const char* notAvailableText);

    // The window part (null while the page has no window).
    void attach(ContentTabsView* view) { view_ = view; }
    bool attached() const { return view_ != nullptr; }
    // Fills the dialog for the selected tab's lower-cased category.
    std::function<void(const std::string& categoryFilter)> buildContents;

    // One tab per category (a single blank tab and the "not available" dialog for none); selects the one equal
    // to remembered without regard to case, else the first; then createTabContents.
    void setCategories(const std::vector<std::string>& categories, const std::string& remembered);
    // Shows the dialog of the selected tab; also when the person selects another tab.
    void createTabContents();
    // The selected tab's category; empty when none is selected or there is no list.
    std::string selectedCategory();

    const std::vector<std::string>& categories() const { return categories_; }
    bool isEmpty() const { return empty_; }

private:
    wizard::PageEnvironment& environment_;
    const char* className_;
    TabContents contents_, notAvailable_;
    const char* notAvailableText_;
    ContentTabsView* view_ = nullptr;
    std::vector<std::string> categories_;
    bool empty_ = true;
};

// The record through which a page downloads its list file (always fetched afresh from the server when a
// download is asked for); its labels point at the page's three hidden strings.
dvComponentInfo makeListRecord(const wizard::PageEnvironment& environment, const ContentListFile& list,
                               std::string* name, std::string* status, std::string* action);

// Steps 2-3 of a refresh: runs the download dialog for the list record as the flags ask and, when reporting
// errors, tells the person that the copy on disk is used after a failed download. True when the list file is
// there to show.
bool downloadListFile(wizard::PageEnvironment& environment, const dvComponentInfo& record, bool forceDownload,
                      bool reportErrors, const char* fallbackText);

// Whether a name from a list can be used as one folder or file name inside its parent: not empty, no
// separator, no drive or stream colon, no element of dots and blanks only, no device name or forbidden
// character. Names from the network that fail this must not become paths.
bool isSafeLeafName(const std::string& name);
// The same for a relative path of such names ("sub\doc.pdf").
bool isSafeRelativePath(const std::string& path);

// The text after the last "\" or "/" of url into *fileName; false when url has neither.
bool fileNameOfUrl(const std::string& url, std::string* fileName);

}  // namespace content

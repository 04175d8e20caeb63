#include "pages/content/ContentTabs.h"

#include "app/AppTexts.h"
#include "app/FileUtils.h"
#include "components/unzip/Unzipper.h"
#include "pages/content/ContentTabsTexts.h"
#include "platform/TextCompare.h"
#include "platform/TextFormat.h"

namespace content {

DContentTabCtrl::DContentTabCtrl(wizard::PageEnvironment& environment, const char* className, TabContents contents,
                                 TabContents notAvailable, const char* notAvailableText)
    : environment_(environment),
      className_(className),
      contents_(contents),
      notAvailable_(notAvailable),
      notAvailableText_(notAvailableText) {}

void DContentTabCtrl::setCategories(const std::vector<std::string>& categories, const std::string& remembered) {
    categories_ = categories;
    if (!view_) {
        empty_ = categories_.empty();
        return;
    }
    view_->deleteAllTabs();
    empty_ = categories_.empty();
    if (empty_) {
        view_->insertTab(0, contenttexts::EmptyTabCaption);
    } else {
        int index = 0;
        for (const std::string& category : categories_) {
            // A caption longer than a tab holds is shortened; the category itself stays whole for the filter.
            std::string caption = category.substr(0, contenttexts::MaxTabCaption);
            if (view_->insertTab(index, caption))
                ++index;
            else
                environment_.ui.messageBox(contenttexts::UnableToAddTab, apptexts::InstallerTitle, ui::Buttons::Ok,
                                           ui::Icon::None, true);
        }
    }
    int selected = 0;
    if (!empty_) {
        for (std::size_t i = 0; i < categories_.size(); ++i) {
            if (text::equalsIgnoringCase(categories_[i], remembered)) {
                selected = static_cast<int>(i);
                break;
            }
        }
    }
    view_->selectTab(selected);
    createTabContents();
}

void DContentTabCtrl::createTabContents() {
    if (!view_) return;
    int selected = view_->selectedTab();
    if (selected < 0) selected = 0;
    view_->destroyContents();
    if (empty_) {
        if (!view_->createContents(notAvailable_)) {
            environment_.machine.debug.write(text::format(contenttexts::UnableToCreateTabDialog, className_));
            return;
        }
        view_->setMessageLine(notAvailableText_, true);
        view_->finishContents();
        return;
    }
    if (!view_->createContents(contents_)) {
        environment_.machine.debug.write(text::format(contenttexts::UnableToCreateTabDialog, className_));
        return;
    }
    std::string category =
        static_cast<std::size_t>(selected) < categories_.size() ? categories_[static_cast<std::size_t>(selected)] : "";
    if (buildContents) buildContents(toLowerCase(category));
    view_->finishContents();
}

std::string DContentTabCtrl::selectedCategory() {
    if (!view_ || empty_) return "";
    int selected = view_->selectedTab();
    if (selected < 0 || static_cast<std::size_t>(selected) >= categories_.size()) return "";
    return categories_[static_cast<std::size_t>(selected)];
}

dvComponentInfo makeListRecord(const wizard::PageEnvironment& environment, const ContentListFile& list,
                               std::string* name, std::string* status, std::string* action) {
    return dvComponentInfo(list.displayName, contentListUrl(environment.serverBase, list), list.fileName, "",
                           contentListFolder(environment.appFolder, list), false, true, name, status, action,
                           list.category);
}

bool downloadListFile(wizard::PageEnvironment& environment, const dvComponentInfo& record, bool forceDownload,
                      bool reportErrors, const char* fallbackText) {
    components::DownloadRunFlags flags;
    flags.downloadOnly = true;
    flags.forceDownload = forceDownload;
    flags.reportErrors = reportErrors;
    components::DialogEnd end = environment.dialogs.downloadAndInstall(record, 1, 1, flags);
    const std::string listPath = record.downloadFolder() + "\\" + record.fileName();
    const bool exists = fileExists(environment.machine, listPath);
    if (reportErrors && end != components::DialogEnd::Ok && exists)
        environment.ui.messageBox(fallbackText, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, true);
    return exists;
}

bool isSafeLeafName(const std::string& name) {
    if (name.find_first_of("\\/") != std::string::npos) return false;
    return CUnzipper::isSafeEntryName(name);
}

bool isSafeRelativePath(const std::string& path) { return CUnzipper::isSafeEntryName(path); }

bool fileNameOfUrl(const std::string& url, std::string* fileName) {
    std::size_t separator = url.find_last_of("\\/");
    if (separator == std::string::npos) return false;
    *fileName = url.substr(separator + 1);
    return true;
}

}  // namespace content

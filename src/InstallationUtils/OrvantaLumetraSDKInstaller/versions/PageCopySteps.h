// "Create Installer Copy" on a wizard page's rows (the welcome page's copies of every page's rows): the page's
// list operations inside its refresh frame, the selection dialog, and the sheet's help preparation.
#pragma once

#include <functional>

#include "versions/InstallerCopy.h"
#include "wizard/PropertyPageBase.h"

namespace versions {

class PageCopySteps : public InstallerCopySteps {
public:
    // prepareHelpFiles: the sheet's (force, ignoreAll) -> result.
    PageCopySteps(wizard::ovDPropertyPageBase& page, SelectionDialog& dialog,
                  std::function<int(bool force, unsigned char* ignoreAll)> prepareHelpFiles)
        : page_(page), dialog_(dialog), prepareHelpFiles_(std::move(prepareHelpFiles)) {}

    bool selectComponents(DownloadCategoryList& list) override { return dialog_.run(list); }
    void deleteAlwaysDownloadedFiles() override { page_.components().deleteOldDownloads(true, false); }
    int downloadComponentList(const int* indices, int count, unsigned char* ignoreAll) override {
        return page_.downloadComponentList(indices, count, ignoreAll);
    }
    // The help archive is fetched afresh, so that the copy carries the server's current help.
    int prepareHelpFiles(unsigned char* ignoreAll) override {
        return prepareHelpFiles_ ? prepareHelpFiles_(true, ignoreAll) : 1;
    }

private:
    wizard::ovDPropertyPageBase& page_;
    SelectionDialog& dialog_;
    std::function<int(bool, unsigned char*)> prepareHelpFiles_;
};

}  // namespace versions

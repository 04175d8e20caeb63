// The wizard sheet: the fourteen pages in their fixed order, Next and Back that pass over skipped pages, the
// navigation to a page by name, the SDK choice the pages share, and the help for the current page.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "components/InstallManagerBase.h"
#include "wizard/PageEnvironment.h"
#include "wizard/PropertyPageBase.h"

namespace wizard {

// What the sheet asks of its window.
class SheetView {
public:
    virtual ~SheetView() = default;
    // The index of the page shown now (0-based, in sheet order).
    virtual int activeIndex() = 0;
    // Shows the page (its activation runs).
    virtual void activatePage(int index) = 0;
    // Shows a help topic (an address with the page anchor).
    virtual void showHelpTopic(const std::string& address) = 0;
};

class ovDLumetraSDKInstallerSheet : public PageSheet {
public:
    explicit ovDLumetraSDKInstallerSheet(PageEnvironment& environment);
    ~ovDLumetraSDKInstallerSheet() override;
    ovDLumetraSDKInstallerSheet(const ovDLumetraSDKInstallerSheet&) = delete;
    ovDLumetraSDKInstallerSheet& operator=(const ovDLumetraSDKInstallerSheet&) = delete;

    static constexpr int PageCount = 14;
    const std::string& caption() const { return caption_; }
    int pageCount() const { return static_cast<int>(pages_.size()); }
    ovDPropertyPageBase& page(int index) { return *pages_.at(static_cast<std::size_t>(index)); }

    void attachView(SheetView* view) { view_ = view; }

    int gotoNextPage() override;
    int gotoPreviousPage() override;
    // Shows the first page with exactly this page name; nothing happens when none has it.
    void gotoPageByName(const std::string& name);
    bool sdkSelected() const override { return sdkSelected_; }
    void setSdkSelected(bool selected) override { sdkSelected_ = selected; }

    // The help for the page shown now: prepares the help files, then shows the page's topic.
    void showHelp();
    // 1 ready, -1 old help still in place, -2 download failed, -3 unpack failed.
    int prepareHelpFiles(bool force, unsigned char* ignoreAll);
    // 1 done, -1 the old help could not be removed.
    int deleteHelpFiles(bool archive);
    // The address of a page's help topic.
    std::string helpTopicAddress(const std::string& pageName) const;
    // Runs the current page's activation again (a newer installer was found).
    void reactivateCurrentPage();

private:
    std::string helpFolder() const;
    std::string helpArchivePath();
    int activeIndex();

    PageEnvironment& environment_;
    std::string caption_;
    bool sdkSelected_ = false;
    // The help archive row's strings: never shown.
    std::string helpName_, helpStatus_, helpAction_;
    dvInstallManagerBase helpList_;
    std::vector<std::unique_ptr<ovDPropertyPageBase>> pages_;
    SheetView* view_ = nullptr;
};

}  // namespace wizard

#include "pages/content/ReadmePage.h"

#include <algorithm>

#include "app/AppTexts.h"
#include "app/FileUtils.h"
#include "content/ContentList.h"
#include "pages/content/ReadmeSummaryTexts.h"
#include "pages/content/ReleaseNotesPageRes.h"
#include "wizard/WizardIds.h"

namespace {

// The refresh button sits where the other pages keep their download button.
constexpr int RefreshButtonX = 696;

}  // namespace

ovDInstallReleaseNotes::ovDInstallReleaseNotes(wizard::PageEnvironment& environment, std::string title)
    : ovDPropertyPageBase(environment, IDD_README, std::move(title), readmetexts::Header) {
    setPageName(readmetexts::PageName);
    const ContentListFile& list = kReadmeListFile;
    // Always fetched past any cache: a download of the readme asks the server every time.
    components().setComponents({dvComponentInfo(list.displayName, contentListUrl(environment.serverBase, list),
                                                list.fileName, "", contentListFolder(environment.appFolder, list),
                                                false, true, &name_, &status_, &action_, list.category)});
    bindText(IDC_README_STATUS_LINE, &statusLine_);
}

std::string ovDInstallReleaseNotes::readmePath() {
    return contentListPath(environment().appFolder, kReadmeListFile);
}

void ovDInstallReleaseNotes::initControls() {
    view().placeImageButton(IDC_README_REFRESH, wizard::PageImage::Download, RefreshButtonX, readmetexts::RefreshTip);
}

void ovDInstallReleaseNotes::onInitDialog() {
    ovDPropertyPageBase::onInitDialog();
    // With a writable installer folder the readme is fetched afresh the first time the page is shown.
    refreshList(environment().folderWritable, false);
}

bool ovDInstallReleaseNotes::onSetActive() {
    view().setWizardButtons(true, true);
    view().showControl(IDC_README_REFRESH, environment().folderWritable);
    statusLine_ = readmetexts::StatusLine;
    return ovDPropertyPageBase::onSetActive();
}

void ovDInstallReleaseNotes::onCommand(int controlId) {
    if (controlId == IDC_README_REFRESH) {
        refreshList(true, true);
        return;
    }
    ovDPropertyPageBase::onCommand(controlId);
}

int ovDInstallReleaseNotes::refreshList(bool forceDownload, bool reportErrors) {
    wizard::PageEnvironment& env = environment();
    components::DownloadRunFlags flags;
    flags.downloadOnly = true;
    flags.forceDownload = forceDownload;
    flags.reportErrors = reportErrors;
    const components::DialogEnd end = env.dialogs.downloadAndInstall(components().component(0), 1, 1, flags);

    const std::string path = readmePath();
    const bool present = fileExists(env.machine, path);
    if (reportErrors && end != components::DialogEnd::Ok && present)
        env.ui.messageBox(readmetexts::UsingDefaultCopy, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None,
                          true);

    auto file = present ? env.machine.files.open(path, platform::Access::Read, platform::Disposition::OpenExisting)
                        : nullptr;
    if (!file) {
        view().setText(IDC_README_TEXT, readmetexts::NotAvailable);
        return 0;
    }
    // The control asks for the document block by block; the file answers until its end or the limit.
    long long shown = 0;
    view().streamRichText(IDC_README_TEXT, [&file, &shown](char* buffer, long long wanted) -> long long {
        const long long room = std::min(wanted, MaxShownBytes - shown);
        if (room <= 0) return 0;
        const long long got = file->read(buffer, static_cast<std::size_t>(room));
        if (got <= 0) return got;
        shown += got;
        return got;
    });
    return 1;
}

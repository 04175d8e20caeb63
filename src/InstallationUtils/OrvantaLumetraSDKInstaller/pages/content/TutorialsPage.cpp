#include "pages/content/TutorialsPage.h"

#include <algorithm>

#include "app/AppTexts.h"
#include "app/DataFolders.h"
#include "app/FileUtils.h"
#include "components/unzip/Unzipper.h"
#include "pages/content/TutorialsPageRes.h"
#include "pages/content/TutorialsTexts.h"
#include "platform/TextFormat.h"
#include "wizard/WizardIds.h"
#include "wizard/WizardTexts.h"

namespace content {

namespace {

// Row i's buttons count from 45001 + 7 i; the two statics of a row have identifiers of their own.
constexpr int FirstRowBase = 45001;
constexpr int RowIdStride = 7;
constexpr int FirstStatusId = 45070;
constexpr int FirstNameId = 45080;
// Rows: 28 pixels apart from y = 5; the buttons hang off the anchor (700, 1) of the page.
constexpr int AnchorX = 700;
constexpr int FirstRowTop = 5;
constexpr int RowPitch = 28;

components::DownloadRunFlags contentItemFlags() {
    components::DownloadRunFlags flags;
    flags.downloadOnly = true;
    flags.forceDownload = false;
    flags.reportErrors = true;
    return flags;
}

std::string tutorialsDataFolder(const wizard::PageEnvironment& environment) {
    return environment.appFolder + "\\" + datafolders::DataFolder + "\\" + datafolders::Tutorials;
}

}  // namespace

TutorialRowIds TutorialRowIds::of(int row) {
    const int b = FirstRowBase + RowIdStride * row;
    return {b - 1, b, b + 1, b + 2, b + 3, b + 4, b + 5, FirstStatusId + row, FirstNameId + row};
}

DTabTutorials::DTabTutorials(wizard::PageEnvironment& environment)
    : categoryFilter("Getting Started"), environment_(environment) {
    recomputeFolders();
}

void DTabTutorials::recomputeFolders() {
    auto documents = environment_.machine.environment.knownFolder(platform::KnownFolder::Documents);
    if (!documents) return;
    profilesFolder_ =
        text::format(tutorialtexts::ProfilesFolderFormat, documents->c_str(), tutorialtexts::ProductFolder);
    tutorialsFolder_ =
        text::format(tutorialtexts::TutorialsFolderFormat, documents->c_str(), tutorialtexts::ProductFolder);
}

void DTabTutorials::updateTutorialsList(ContentTabsView& view) {
    recomputeFolders();
    const std::string listPath = contentListPath(environment_.appFolder, kTutorialsListFile);
    ContentList list = ContentList::read(environment_.machine.files, listPath);
    std::vector<std::string> sections = sectionsOfCategory(list.sectionNames(), categoryFilter);
    if (sections.size() > MaxTutorialRows) sections.resize(MaxTutorialRows);

    rows_.clear();
    const int x = AnchorX - view.contentsOriginX();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const std::string& section = sections[i];
        TutorialRow row;
        row.section = section;
        row.caption = list.value(section, tutorialKey::kCaption);
        row.name = list.value(section, tutorialKey::kName);
        row.profileName = list.value(section, tutorialKey::kProfileName);
        row.url = list.value(section, tutorialKey::kUrl);
        row.pdfName = list.value(section, tutorialKey::kPdfName);
        row.videoUrl = list.value(section, tutorialKey::kVideoUrl);
        row.infoText = list.value(section, tutorialKey::kInfoText);
        row.infoUrl = list.value(section, tutorialKey::kInfoUrl);
        if (row.name.empty()) row.name = row.caption;
        row.status = tutorialtexts::NotInstalled;

        const int r = static_cast<int>(i);
        const int y = FirstRowTop + RowPitch * r;
        const TutorialRowIds ids = TutorialRowIds::of(r);
        view.addRowButton(ids.remove, tutorialtexts::Remove, {x, y, x + 24, y + 25}, RowImage::Remove,
                          tutorialtexts::Remove, r, tutorialop::Remove);
        view.addRowButton(ids.video, tutorialtexts::Video, {x - 25, y, x - 1, y + 25}, RowImage::Video,
                          tutorialtexts::Video, r, tutorialop::Video);
        view.addRowButton(ids.pdf, tutorialtexts::Pdf, {x - 50, y, x - 26, y + 25}, RowImage::Pdf, tutorialtexts::Pdf,
                          r, tutorialop::Pdf);
        view.addRowButton(ids.browse, tutorialtexts::Browse, {x - 75, y, x - 51, y + 25}, RowImage::Browse,
                          tutorialtexts::Browse, r, tutorialop::Browse);
        view.addRowButton(ids.install, tutorialtexts::Install, {x - 100, y, x - 76, y + 25}, RowImage::Install,
                          tutorialtexts::Install, r, tutorialop::Install);
        view.addStatic(ids.status, row.status, {x - 171, y + 5, x - 101, y + 30}, false);
        view.addStatic(ids.name, row.caption, {30, y + 5, x - 202, y + 30}, false);
        view.addRowButton(ids.info, tutorialtexts::Info, {5, y, 29, y + 25}, RowImage::Info, row.infoText, r,
                          tutorialop::Info);
        view.addInfoPicture(ids.infoPicture, {5, y, 29, y + 25}, row.infoText);
        rows_.push_back(std::move(row));
    }

    if (rows_.empty()) {
        messageText_ = tutorialtexts::NoTutorials;
        view.setMessageLine(messageText_, true);
    } else {
        messageText_.clear();
        view.setMessageLine(messageText_, false);
    }
    refreshInstalledState(view);
    view.invalidateContents();
}

void DTabTutorials::refreshInstalledState(ContentTabsView& view) {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        TutorialRow& row = rows_[i];
        const TutorialRowIds ids = TutorialRowIds::of(static_cast<int>(i));
        // A folder or document name that would leave the tutorials folder is never looked for.
        row.installed = !row.pdfName.empty() && isSafeLeafName(row.name) && isSafeRelativePath(row.pdfName) &&
                        fileExists(environment_.machine, documentPath(row));
        row.status = row.installed ? tutorialtexts::Installed : tutorialtexts::NotInstalled;
        view.setContentsText(ids.status, row.status);
        view.enableContentsControl(ids.install, !row.installed);
        for (int id : {ids.remove, ids.browse, ids.pdf}) {
            view.showContentsControl(id, row.installed);
            if (row.installed) view.enableContentsControl(id, true);
        }
        view.showContentsControl(ids.video, row.installed);
        if (row.installed) view.enableContentsControl(ids.video, !row.videoUrl.empty());

        const bool infoButton = !row.infoUrl.empty();
        const bool infoPicture = !infoButton && !row.infoText.empty();
        view.showContentsControl(ids.info, infoButton);
        if (infoButton) view.enableContentsControl(ids.info, true);
        view.showContentsControl(ids.infoPicture, infoPicture);
        if (infoPicture) view.enableContentsControl(ids.infoPicture, true);
    }
}

void DTabTutorials::tell(const std::string& text) {
    environment_.ui.messageBox(text, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, true);
}

void DTabTutorials::onButton(ContentTabsView& view, int row, int code) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        tell(tutorialtexts::UnableToLocateRow);
        return;
    }
    // The operation works on a copy: a refresh of the dialog during a modal download replaces the rows.
    const TutorialRow item = rows_[static_cast<std::size_t>(row)];
    switch (code) {
        case tutorialop::Install:
            install(view, item);
            break;
        case tutorialop::Browse:
            if (!isSafeLeafName(item.name)) {
                tell(tutorialtexts::UnsafeTutorialName);
                break;
            }
            {
                const std::string folder = tutorialFolder(item);
                intptr_t result = environment_.machine.processes.shellOpen("open", folder, "", folder,
                                                                           platform::ShowCommand::Normal);
                if (result <= 32) tell(text::format(tutorialtexts::UnableToBrowse, static_cast<int>(result)));
            }
            break;
        case tutorialop::Remove:
            remove(view, item);
            break;
        case tutorialop::Pdf:
            if (!isSafeLeafName(item.name) || !isSafeRelativePath(item.pdfName)) {
                tell(tutorialtexts::UnsafeTutorialName);
                break;
            }
            open(documentPath(item), "", tutorialtexts::UnableToOpenPdf);
            break;
        case tutorialop::Video:
            open(item.videoUrl, "", tutorialtexts::UnableToOpenVideo);
            break;
        case tutorialop::Info:
            open(item.infoUrl, "", tutorialtexts::UnableToOpenInfo);
            break;
        default:
            tell(tutorialtexts::UnexpectedOperation);
            break;
    }
}

void DTabTutorials::open(const std::string& target, const std::string& directory, const char* failure) {
    intptr_t result =
        environment_.machine.processes.shellOpen("open", target, "", directory, platform::ShowCommand::Normal);
    if (result <= 32) tell(failure);
}

void DTabTutorials::install(ContentTabsView& view, const TutorialRow& row) {
    std::string archiveName;
    if (!fileNameOfUrl(row.url, &archiveName)) {
        tell(tutorialtexts::UnableToParse);
        return;
    }
    // The tutorial's folder, its profile and the archive's name come from the list: none may leave its folder.
    if (!isSafeLeafName(row.name) || !isSafeLeafName(archiveName) ||
        (!row.profileName.empty() && !isSafeLeafName(row.profileName))) {
        tell(tutorialtexts::UnsafeTutorialName);
        return;
    }
    const std::string dataFolder = tutorialsDataFolder(environment_);
    dvComponentInfo archive(row.caption, row.url, archiveName, "", dataFolder, false, false, nullptr, nullptr, nullptr,
                            kTutorialsListFile.category);
    const components::DialogEnd end = environment_.dialogs.downloadAndInstall(archive, 1, 1, contentItemFlags());
    const std::string archivePath = dataFolder + "\\" + archiveName;
    if (end == components::DialogEnd::Ok && fileExists(environment_.machine, archivePath)) {
        CUnzipper folders(environment_.machine);
        const std::string target = tutorialFolder(row);
        bool ready = folders.makeFolder(profilesFolder_) && folders.makeFolder(tutorialsFolder_) &&
                     folders.makeFolder(target);
        if (!ready || !extractArchive(environment_.machine, archivePath, target)) tell(tutorialtexts::UnableToExtract);
    }
    refreshInstalledState(view);
}

void DTabTutorials::remove(ContentTabsView& view, const TutorialRow& row) {
    // An empty or escaping name would address the whole tutorials or profiles folder, or one outside it.
    if (!isSafeLeafName(row.name) || (!row.profileName.empty() && !isSafeLeafName(row.profileName))) {
        tell(tutorialtexts::UnsafeTutorialName);
        return;
    }
    platform::Machine& machine = environment_.machine;
    // Without a profile name there is no profile of its own to remove.
    if (!row.profileName.empty()) {
        const std::string profile = profileFolder(row);
        if (!deleteFolderTree(machine, profile, profile)) {
            tell(tutorialtexts::UnableToRemove);
            return;
        }
    }
    const std::string folder = tutorialFolder(row);
    if (!deleteFolderTree(machine, folder, folder)) {
        tell(tutorialtexts::UnableToRemove);
        return;
    }
    refreshInstalledState(view);
}

}  // namespace content

ovDInstallTutorials::ovDInstallTutorials(wizard::PageEnvironment& environment, std::string title)
    : ovDPropertyPageBase(environment, IDD_TUTORIALS, std::move(title), tutorialtexts::Header),
      tabs_(environment, tutorialtexts::TabCtrlName, content::TabContents::Tutorials,
            content::TabContents::TutorialsNotAvailable, tutorialtexts::NotAvailable),
      tabDialog_(environment) {
    setPageName(tutorialtexts::PageName);
    components().clearComponents();
    components().setComponents(
        {content::makeListRecord(environment, kTutorialsListFile, &listName_, &listStatus_, &listAction_)});
    bindText(IDC_TUTORIALS_STATUS, &statusLine_);
    tabs_.buildContents = [this](const std::string& categoryFilter) {
        tabDialog_.categoryFilter = categoryFilter;
        if (content::ContentTabsView* view = syncTabsView()) tabDialog_.updateTutorialsList(*view);
    };
}

content::ContentTabsView* ovDInstallTutorials::syncTabsView() {
    content::ContentTabsView* view = hasView() ? this->view().contentTabs() : nullptr;
    if (view) view->setListener(this);
    tabs_.attach(view);
    return view;
}

void ovDInstallTutorials::initControls() {
    view().placeImageButton(IDC_TUTORIALS_REFRESH, wizard::PageImage::Change, wizardids::DownloadButtonX,
                            tutorialtexts::RefreshTip);
}

void ovDInstallTutorials::onInitDialog() {
    ovDPropertyPageBase::onInitDialog();
    if (environment().folderWritable) refreshList(true, false);
}

bool ovDInstallTutorials::onSetActive() {
    view().setWizardButtons(true, true);
    view().setCancelText(wizardtexts::Finish);
    view().showControl(IDC_TUTORIALS_REFRESH, environment().folderWritable);
    refreshList(false, false);
    statusLine_ = tutorialtexts::StatusLine;
    return ovDPropertyPageBase::onSetActive();
}

void ovDInstallTutorials::onCommand(int controlId) {
    if (controlId == IDC_TUTORIALS_REFRESH) refreshList(true, true);
}

int ovDInstallTutorials::refreshList(bool forceDownload, bool reportErrors) {
    std::string remembered;
    if (syncTabsView()) remembered = tabs_.selectedCategory();
    const bool exists = content::downloadListFile(environment(), components().component(0), forceDownload,
                                                  reportErrors, tutorialtexts::Fallback);
    // The download dialog's loop may have let the window go; take it again before showing anything.
    syncTabsView();
    if (exists) {
        ContentList list = ContentList::read(environment().machine.files,
                                             contentListPath(environment().appFolder, kTutorialsListFile));
        tabs_.setCategories(distinctCategories(list.sectionNames()), remembered);
        return 1;
    }
    tabs_.setCategories({}, remembered);
    return -1;
}

int ovDInstallTutorials::collectTutorialArchives(dvInstallManagerBase& target) {
    const dvComponentInfo& record = components().component(0);
    const std::string listPath = record.downloadFolder() + "\\" + record.fileName();
    if (!fileExists(environment().machine, listPath)) return -1;
    ContentList list = ContentList::read(environment().machine.files, listPath);
    const std::string dataFolder = content::tutorialsDataFolder(environment());
    std::vector<dvComponentInfo> archives;
    for (const std::string& section : list.sectionNames()) {
        std::string caption = list.value(section, tutorialKey::kCaption);
        std::string url = list.value(section, tutorialKey::kUrl);
        std::string fileName;
        if (!content::fileNameOfUrl(url, &fileName)) continue;
        // An archive name that is no plain file name would be written outside the data folder.
        if (!content::isSafeLeafName(fileName)) continue;
        archives.emplace_back(caption, url, fileName, "", dataFolder, false, false, &archiveName_, &archiveStatus_,
                              &archiveAction_, kTutorialsListFile.category);
    }
    target.clearComponents();
    if (!archives.empty()) target.setComponents(archives);
    return 1;
}

void ovDInstallTutorials::onTabSelectionChanged() {
    syncTabsView();
    tabs_.createTabContents();
}

void ovDInstallTutorials::onRowButton(int row, int code) {
    if (content::ContentTabsView* view = syncTabsView()) tabDialog_.onButton(*view, row, code);
}

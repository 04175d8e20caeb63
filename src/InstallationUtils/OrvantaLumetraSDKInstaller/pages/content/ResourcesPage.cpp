#include "pages/content/ResourcesPage.h"

#include <cstdlib>

#include "app/AppTexts.h"
#include "app/DataFolders.h"
#include "app/FileUtils.h"
#include "controls/OpenLink.h"
#include "pages/content/ResourcesPageRes.h"
#include "pages/content/ResourcesTexts.h"
#include "platform/TextFormat.h"
#include "wizard/WizardIds.h"

namespace content {

namespace {

std::string resourcesFolder(const wizard::PageEnvironment& environment) {
    return contentListFolder(environment.appFolder, kResourcesListFile);
}

// The local copy of a picture link: the Resources folder and the link's file name; empty when the link names
// no file or its name is no plain file name (it would land outside the folder).
std::string localPictureOf(const wizard::PageEnvironment& environment, const std::string& imageUrl) {
    std::string fileName;
    if (!isFileLink(imageUrl) || !fileNameOfUrl(imageUrl, &fileName) || !isSafeLeafName(fileName)) return "";
    return resourcesFolder(environment) + "\\" + fileName;
}

// "Column" as a decimal number, as a C library read of the text gives it (garbage and overflow read as some
// number other than 2, which places the resource in the left column).
int columnOf(const std::string& text) {
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    return value == 2 ? 2 : (value == 1 ? 1 : 0);
}

// The picture grid: six cells of 79 x 120 pixels to a line.
constexpr int GridColumns = 6;
constexpr int CellWidth = 79;
constexpr int CellHeight = 120;
// The link columns.
constexpr int ColumnTop = 20;
constexpr int ColumnPitch = 25;

}  // namespace

bool isFileLink(const std::string& text) {
    return linkNamesDocument(text) && text.find_first_of("\\/") != std::string::npos;
}

DTabResources::DTabResources(wizard::PageEnvironment& environment) : environment_(environment) {}

void DTabResources::debugLine(const std::string& line) { environment_.machine.debug.write(line); }

void DTabResources::onInitDialog(ContentTabsView& view) {
    repaintCount_ = 0;
    view.startContentsTimer(RepaintTimer, RepaintPeriodMs);
}

void DTabResources::onTimer(ContentTabsView& view, unsigned timerId) {
    if (timerId != RepaintTimer) return;
    view.stopContentsTimer(RepaintTimer);
    view.invalidateContents();
    ++repaintCount_;
    if (repaintCount_ <= RepaintTicks) view.startContentsTimer(RepaintTimer, RepaintPeriodMs);
}

void DTabResources::updateResourcesList(ContentTabsView& view) {
    rows_.clear();
    layout_ = ResourceLayout::None;
    const std::string listPath = contentListPath(environment_.appFolder, kResourcesListFile);
    ContentList list = ContentList::read(environment_.machine.files, listPath);
    for (const std::string& section : list.sectionNames()) {
        if (!sectionMatchesCategory(section, categoryFilter)) continue;
        ResourceRow row;
        row.section = section;
        row.name = list.value(section, resourceKey::kName);
        row.url = list.value(section, resourceKey::kUrl);
        row.imageUrl = list.value(section, resourceKey::kImageUrl);
        row.column = columnOf(list.value(section, resourceKey::kColumn));
        if (!row.imageUrl.empty()) row.localPicture = localPictureOf(environment_, row.imageUrl);
        rows_.push_back(std::move(row));
        if (rows_.size() >= MaxResourceRows) {
            debugLine(text::format(resourcetexts::ListTooLong, categoryFilter.c_str()));
            break;
        }
    }

    if (rows_.empty()) {
        messageText_ = resourcetexts::NoResources;
        view.setMessageLine(messageText_, true);
        return;
    }
    messageText_.clear();
    view.setMessageLine(messageText_, false);
    bool pictures = false;
    for (const ResourceRow& row : rows_) pictures = pictures || !row.imageUrl.empty();
    layout_ = pictures ? ResourceLayout::Pictures : ResourceLayout::Links;

    if (pictures) {
        for (int o = 0; o < static_cast<int>(rows_.size()); ++o) {
            if (o >= MaxPictureCells) {
                debugLine(text::format(resourcetexts::GridFull, categoryFilter.c_str()));
                break;
            }
            const ResourceRow& row = rows_[static_cast<std::size_t>(o)];
            const int x0 = CellWidth * (o % GridColumns), y0 = CellHeight * (o / GridColumns);
            std::string picture;
            if (!row.localPicture.empty() && fileExists(environment_.machine, row.localPicture))
                picture = row.localPicture;
            view.addPictureButton(resourceid::FirstPicture + o, {x0 + 30, y0 + 30, x0 + 94, y0 + 94}, picture, o, 0);
            view.addStatic(resourceid::FirstCaption + o, row.name, {x0 + 22, y0 + 97, x0 + 102, y0 + 125}, true);
        }
        return;
    }

    int placed[2] = {0, 0};
    for (int j = 0; j < static_cast<int>(rows_.size()); ++j) {
        const ResourceRow& row = rows_[static_cast<std::size_t>(j)];
        const int column = row.column == 2 ? 2 : 1;
        int& count = placed[column - 1];
        if (count >= MaxColumnRows) {
            debugLine(text::format(resourcetexts::ColumnFull, categoryFilter.c_str(), column));
            continue;
        }
        const int y = ColumnTop + ColumnPitch * count;
        ++count;
        if (column == 1) {
            view.addStatic(resourceid::FirstMarker1 + j, resourcetexts::Marker, {10, y, 25, y + 15}, false);
            view.addHyperlink(resourceid::FirstLink1 + j, row.name, row.url, {28, y, 228, y + 15});
        } else {
            view.addStatic(resourceid::FirstMarker2 + j, resourcetexts::Marker, {243, y, 258, y + 15}, false);
            view.addHyperlink(resourceid::FirstLink2 + j, row.name, row.url, {261, y, 461, y + 15});
        }
    }
}

void DTabResources::onPictureButton(int row, int code) {
    if (code != 0) return;
    auto tell = [this](const std::string& text) {
        environment_.ui.messageBox(text, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, true);
    };
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        tell(resourcetexts::UnableToLocateLink);
        return;
    }
    const ResourceRow item = rows_[static_cast<std::size_t>(row)];
    int code2 = 0;
    if (openLink(item.url, item.name, environment_.operationContext(), &code2) == -1)
        tell(text::format(resourcetexts::UnableToAccessLink, code2));
}

}  // namespace content

ovDInstallOrvantaResourcesDynamic::ovDInstallOrvantaResourcesDynamic(wizard::PageEnvironment& environment,
                                                                     std::string title)
    : ovDPropertyPageBase(environment, IDD_RESOURCES, std::move(title), resourcetexts::Header),
      tabs_(environment, resourcetexts::TabCtrlName, content::TabContents::Resources,
            content::TabContents::ResourcesNotAvailable, resourcetexts::NotAvailable),
      tabDialog_(environment) {
    setPageName(resourcetexts::PageName);
    components().clearComponents();
    components().setComponents(
        {content::makeListRecord(environment, kResourcesListFile, &listName_, &listStatus_, &listAction_)});
    tabs_.buildContents = [this](const std::string& categoryFilter) {
        tabDialog_.categoryFilter = categoryFilter;
        if (content::ContentTabsView* view = syncTabsView()) {
            tabDialog_.onInitDialog(*view);
            tabDialog_.updateResourcesList(*view);
        }
    };
}

content::ContentTabsView* ovDInstallOrvantaResourcesDynamic::syncTabsView() {
    content::ContentTabsView* view = hasView() ? this->view().contentTabs() : nullptr;
    if (view) view->setListener(this);
    tabs_.attach(view);
    return view;
}

void ovDInstallOrvantaResourcesDynamic::initControls() {
    view().placeImageButton(IDC_RESOURCES_REFRESH, wizard::PageImage::Change, wizardids::DownloadButtonX,
                            resourcetexts::RefreshTip);
}

void ovDInstallOrvantaResourcesDynamic::onInitDialog() {
    ovDPropertyPageBase::onInitDialog();
    refreshList(false, false);
}

bool ovDInstallOrvantaResourcesDynamic::onSetActive() {
    view().setWizardButtons(true, true);
    view().showControl(IDC_RESOURCES_REFRESH, environment().folderWritable);
    return ovDPropertyPageBase::onSetActive();
}

void ovDInstallOrvantaResourcesDynamic::onCommand(int controlId) {
    if (controlId == IDC_RESOURCES_REFRESH) refreshList(true, true);
}

int ovDInstallOrvantaResourcesDynamic::prefetchResourceImages(dvInstallManagerBase& pictures) {
    const std::string listPath = contentListPath(environment().appFolder, kResourcesListFile);
    if (!fileExists(environment().machine, listPath)) return -1;
    ContentList list = ContentList::read(environment().machine.files, listPath);
    const std::string folder = content::resourcesFolder(environment());
    std::vector<dvComponentInfo> records;
    for (const std::string& section : list.sectionNames()) {
        std::string name = list.value(section, resourceKey::kName);
        std::string imageUrl = list.value(section, resourceKey::kImageUrl);
        std::string fileName;
        if (!content::isFileLink(imageUrl) || !content::fileNameOfUrl(imageUrl, &fileName)) continue;
        if (!content::isSafeLeafName(fileName)) continue;
        records.emplace_back(name, imageUrl, fileName, "", folder, false, false, &pictureName_, &pictureStatus_,
                             &pictureAction_, kResourcesListFile.category);
    }
    pictures.clearComponents();
    if (!records.empty()) pictures.setComponents(records);
    return 1;
}

int ovDInstallOrvantaResourcesDynamic::refreshList(bool forceDownload, bool reportErrors) {
    std::string remembered;
    if (syncTabsView()) remembered = tabs_.selectedCategory();
    const bool exists = content::downloadListFile(environment(), components().component(0), forceDownload,
                                                  reportErrors, resourcetexts::Fallback);
    if (exists) {
        dvInstallManagerBase pictures;
        pictures.setContext(environment().operationContext());
        if (prefetchResourceImages(pictures) > 0 && pictures.componentCount() > 0) {
            unsigned char ignoreAll = 0;
            pictures.downloadAllComponents(false, &ignoreAll);
        }
        syncTabsView();
        ContentList list = ContentList::read(environment().machine.files,
                                             contentListPath(environment().appFolder, kResourcesListFile));
        tabs_.setCategories(distinctCategories(list.sectionNames()), remembered);
        return 1;
    }
    syncTabsView();
    tabs_.setCategories({}, remembered);
    return -1;
}

void ovDInstallOrvantaResourcesDynamic::onTabSelectionChanged() {
    syncTabsView();
    tabs_.createTabContents();
}

void ovDInstallOrvantaResourcesDynamic::onRowButton(int row, int code) { tabDialog_.onPictureButton(row, code); }

void ovDInstallOrvantaResourcesDynamic::onLinkClicked(const std::string& url, const std::string& text) {
    int code = 0;
    if (openLink(url, text, environment().operationContext(), &code) != 1)
        environment().ui.messageBox(hyperlinkFailureText(code), apptexts::InstallerTitle, ui::Buttons::Ok,
                                    ui::Icon::None, true);
}

void ovDInstallOrvantaResourcesDynamic::onContentsTimer(unsigned timerId) {
    if (content::ContentTabsView* view = syncTabsView()) tabDialog_.onTimer(*view, timerId);
}

#include "wizard/InstallerSheet.h"

#include "app/AppTexts.h"
#include "app/DataFolders.h"
#include "app/FileUtils.h"
#include "components/Catalogue.h"
#include "components/OrvantaProducts.h"
#include "components/Probes.h"
#include "components/unzip/Unzipper.h"
#include "pages/components/CoreComponentsPage.h"
#include "pages/components/CameraAndIoPages.h"
#include "pages/components/ExtensionsPage.h"
#include "pages/components/ModulesPage.h"
#include "pages/components/PreRequisitesPages.h"
#include "pages/components/UtilitiesPages.h"
#include "pages/content/ContentPages.h"
#include "pages/content/ReadmePage.h"
#include "pages/content/ResourcesPage.h"
#include "pages/content/TutorialsPage.h"
#include "pages/content/SummaryPage.h"
#include "pages/welcome/WelcomePage.h"
#include "platform/TextFormat.h"
#include "wizard/WizardTexts.h"

namespace wizard {

namespace {

std::string titled(const char* format) { return text::format(format, apptexts::InstallerTitle); }

}  // namespace

ovDLumetraSDKInstallerSheet::ovDLumetraSDKInstallerSheet(PageEnvironment& environment)
    : environment_(environment), caption_(apptexts::InstallerTitle) {
    sdkSelected_ = components::msiRegistered(environment.machine, components::products::LumetraSdk.productCode);

    PageEnvironment& e = environment;
    pages_.push_back(std::make_unique<ovDInstallWelcomeBase>(
        e, text::format(wizardtexts::WelcomeTitle, apptexts::InstallerTitle, wizardtexts::SdkDisplayName)));
    pages_.push_back(std::make_unique<ovDInstallReleaseNotes>(e, titled(wizardtexts::ReadmeTitle)));
    pages_.push_back(std::make_unique<ovDInstallOrvantaResourcesDynamic>(e, titled(wizardtexts::ResourcesTitle)));
    pages_.push_back(std::make_unique<ovDInstallPreRequisites>(e, titled(wizardtexts::PrerequisitesTitle)));
    pages_.push_back(std::make_unique<ovDInstallPreRequisitesStatus>(e, titled(wizardtexts::PrerequisitesStatusTitle)));
    pages_.push_back(std::make_unique<ovDInstallCoreComponents>(e, titled(wizardtexts::CoreComponentsTitle)));
    pages_.push_back(std::make_unique<ovDInstallExtensions>(e, titled(wizardtexts::ExtensionsTitle)));
    pages_.push_back(std::make_unique<ovDInstallTutorials>(e, titled(wizardtexts::TutorialsTitle)));
    pages_.push_back(std::make_unique<ovDInstallSummarySDK>(e, titled(wizardtexts::CompleteTitle)));
    pages_.push_back(std::make_unique<ovDInstallModules>(e, titled(wizardtexts::ModulesTitle)));
    pages_.push_back(std::make_unique<ovDInstall3rdPartyInstallations>(e, titled(wizardtexts::ThirdPartyTitle)));
    pages_.push_back(std::make_unique<ovDInstallIOSystemInstallations>(e, titled(wizardtexts::IOSystemTitle)));
    pages_.push_back(std::make_unique<ovDInstallUtilities>(e, titled(wizardtexts::Utilities1Title)));
    pages_.push_back(std::make_unique<ovDInstallUtilities2>(e, titled(wizardtexts::Utilities2Title)));
    for (auto& page : pages_) page->attachSheet(this);

    // The welcome page keeps copies of the rows of eleven pages, in this order (an offline copy of the
    // installer covers them; their labels write nowhere visible).
    {
        constexpr int HandedOver[] = {1, 3, 5, 9, 6, 7, 12, 13, 2, 10, 11};
        std::vector<dvComponentInfo> records;
        for (int index : HandedOver) {
            dvInstallManagerBase& rows = pages_[static_cast<std::size_t>(index)]->components();
            for (unsigned r = 0; r < rows.componentCount(); ++r) records.push_back(rows.component(r));
        }
        auto& welcome = static_cast<ovDInstallWelcomeBase&>(*pages_.front());
        welcome.setPageComponents(static_cast<unsigned>(records.size()), records.data());
        welcome.deleteHelpFiles = [this] { deleteHelpFiles(true); };
    }

    helpList_.setComponents(
        {components::makeHelpArchiveComponent(environment.appFolder, environment.serverBase,
                                              {&helpName_, &helpStatus_, &helpAction_})});
    helpList_.setContext(environment.operationContext());
}

ovDLumetraSDKInstallerSheet::~ovDLumetraSDKInstallerSheet() = default;

int ovDLumetraSDKInstallerSheet::activeIndex() { return view_ ? view_->activeIndex() : 0; }

int ovDLumetraSDKInstallerSheet::gotoNextPage() {
    for (int i = activeIndex() + 1; i < pageCount(); ++i) {
        if (!pages_[static_cast<std::size_t>(i)]->isPageSkipped()) {
            if (view_) view_->activatePage(i);
            return i;
        }
    }
    return -1;
}

int ovDLumetraSDKInstallerSheet::gotoPreviousPage() {
    for (int i = activeIndex() - 1; i >= 0; --i) {
        if (!pages_[static_cast<std::size_t>(i)]->isPageSkipped()) {
            if (view_) view_->activatePage(i);
            return i;
        }
    }
    return -1;
}

void ovDLumetraSDKInstallerSheet::gotoPageByName(const std::string& name) {
    for (int i = 0; i < pageCount(); ++i) {
        if (pages_[static_cast<std::size_t>(i)]->pageName() == name) {
            if (view_) view_->activatePage(i);
            return;
        }
    }
}

void ovDLumetraSDKInstallerSheet::reactivateCurrentPage() {
    const int index = activeIndex();
    if (index >= 0 && index < pageCount()) pages_[static_cast<std::size_t>(index)]->onSetActive();
}

std::string ovDLumetraSDKInstallerSheet::helpFolder() const {
    return environment_.appFolder + "\\" + datafolders::DataFolder + "\\" + datafolders::Help;
}

std::string ovDLumetraSDKInstallerSheet::helpArchivePath() {
    const dvComponentInfo& record = helpList_.component(0);
    return record.downloadFolder() + "\\" + record.fileName();
}

std::string ovDLumetraSDKInstallerSheet::helpTopicAddress(const std::string& pageName) const {
    return text::format(wizardtexts::HelpTopicFormat, environment_.appFolder.c_str(),
                        (std::string(datafolders::DataFolder) + "\\" + datafolders::Help).c_str(),
                        wizardtexts::HelpBookFolder, pageName.c_str());
}

int ovDLumetraSDKInstallerSheet::deleteHelpFiles(bool archive) {
    platform::Machine& machine = environment_.machine;
    const std::string folder = helpFolder();
    // The removal carries on past entries it cannot remove; whether the help is gone is what counts.
    deleteFolderTree(machine, folder, folder);
    if (fileExists(machine, folder)) {
        environment_.ui.messageBox(wizardtexts::UnableToDeleteHelp, apptexts::InstallerTitle, ui::Buttons::Ok,
                                   ui::Icon::None, true);
        return -1;
    }
    if (archive) deleteFileIfPresent(machine, helpArchivePath());
    return 1;
}

int ovDLumetraSDKInstallerSheet::prepareHelpFiles(bool force, unsigned char* ignoreAll) {
    platform::Machine& machine = environment_.machine;
    if (force && deleteHelpFiles(true) < 1) return -1;
    const std::string index =
        helpFolder() + "\\" + wizardtexts::HelpBookFolder + "\\" + wizardtexts::HelpIndexFile;
    if (fileExists(machine, index)) return 1;
    deleteHelpFiles(true);
    if (helpList_.downloadAllComponents(false, ignoreAll) < 1) return -2;
    const std::string archive = helpArchivePath();
    if (fileExists(machine, archive)) {
        const std::string dataFolder = environment_.appFolder + "\\" + datafolders::DataFolder;
        if (!extractArchive(machine, archive, dataFolder)) {
            environment_.ui.messageBox(wizardtexts::UnableToExtractHelp, apptexts::InstallerTitle, ui::Buttons::Ok,
                                       ui::Icon::None, true);
            return -3;
        }
        deleteFileIfPresent(machine, archive);
    }
    return 1;
}

void ovDLumetraSDKInstallerSheet::showHelp() {
    unsigned char ignoreAll = 0;
    if (prepareHelpFiles(false, &ignoreAll) != 1) return;
    const int index = activeIndex();
    if (index < 0 || index >= pageCount() || !view_) return;
    view_->showHelpTopic(helpTopicAddress(pages_[static_cast<std::size_t>(index)]->pageName()));
}

}  // namespace wizard

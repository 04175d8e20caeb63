#include "pages/welcome/WelcomePage.h"

#include <vector>

#include "app/AppTexts.h"
#include "app/DataFolders.h"
#include "app/FileUtils.h"
#include "pages/welcome/InstallerCopies.h"
#include "pages/welcome/WelcomePageRes.h"
#include "pages/welcome/WelcomeTexts.h"
#include "platform/TextCompare.h"
#include "platform/TextFormat.h"
#include "wizard/WizardTexts.h"

namespace {

// Where the three image buttons stand in the page's bottom strip (page pixels).
constexpr int CreateCopyX = 628;
constexpr int DeleteCopyX = 662;
constexpr int BrowseX = 696;
constexpr int NormalDpi = 96;

bool startsWithIgnoringCase(const std::string& text, const std::string& start) {
    return text.size() >= start.size() && text::equalsIgnoringCase(text.substr(0, start.size()), start);
}

bool isInside(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path[folder.size()] == '\\' && startsWithIgnoringCase(path, folder);
}

}  // namespace

ovDInstallWelcomeBase::ovDInstallWelcomeBase(wizard::PageEnvironment& environment, std::string title)
    : ovDPropertyPageBase(environment, IDD_WELCOME, std::move(title),
                          text::format(wizardtexts::WelcomeHeader, wizardtexts::SdkDisplayName)),
      heading_(text::format(welcometexts::Heading, apptexts::InstallerTitle)),
      statusHint_(welcometexts::StatusAreaHint),
      statusBar_(welcometexts::StatusBarText),
      versionLabel_(welcometexts::VersionLabel),
      currentVersionEntry_(welcometexts::CurrentlyUsedVersion) {
    setPageName(wizardtexts::WelcomePageName);
    for (const char* line : welcometexts::WelcomeLines) welcomeText_ += text::format(line, wizardtexts::SdkDisplayName);
    bindText(IDC_WELCOME_HEADING, &heading_);
    bindText(IDC_WELCOME_TEXT, &welcomeText_);
    bindText(IDC_WELCOME_STATUS_HINT, &statusHint_);
    bindText(IDC_WELCOME_STATUS_BAR, &statusBar_);
    bindText(IDC_WELCOME_VERSION_LABEL, &versionLabel_);
}

void ovDInstallWelcomeBase::setPageComponents(unsigned count, const dvComponentInfo* records) {
    std::vector<dvComponentInfo> copies;
    copies.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        copies.push_back(records[i]);
        copies.back().setLabels(&labelSink_, &labelSink_, &labelSink_);
    }
    components().clearComponents();
    if (!copies.empty()) components().setComponents(copies);
    if (componentsChanged) componentsChanged(components());
}

std::string ovDInstallWelcomeBase::copiesFolder() {
    return environment().appFolder + "\\" + datafolders::CopiesFolder;
}

std::string ovDInstallWelcomeBase::dataFolder() {
    return environment().appFolder + "\\" + datafolders::DataFolder;
}

std::string ovDInstallWelcomeBase::runningPath() {
    return welcome::backslashed(environment().machine.environment.executablePath().value_or(""));
}

void ovDInstallWelcomeBase::initControls() {
    view().placeImageButton(IDC_WELCOME_CREATE_COPY, wizard::PageImage::Change, CreateCopyX,
                            welcometexts::CreateCopyTip);
    view().placeImageButton(IDC_WELCOME_DELETE_COPY, wizard::PageImage::Install, DeleteCopyX,
                            welcometexts::DeleteCopyTip);
    view().placeImageButton(IDC_WELCOME_BROWSE, wizard::PageImage::Browse, BrowseX, welcometexts::BrowseTip);
    if (window_) window_->createNewVersionIndicator();
    if (environment().machine.environment.screenDpi() != NormalDpi) {
        // Asked once the page is on screen, so that the box does not stand over an empty sheet.
        view().afterShown([this] {
            environment().ui.messageBox(text::format(welcometexts::DpiWarning, apptexts::InstallerTitle),
                                        welcometexts::DpiCaption, ui::Buttons::Ok, ui::Icon::None, true);
        });
    }
}

bool ovDInstallWelcomeBase::onSetActive() {
    view().setWizardButtons(false, true);
    view().setCancelText(wizardtexts::Cancel);
    const bool writable = environment().folderWritable;
    view().showControl(IDC_WELCOME_DELETE_COPY, writable);
    view().showControl(IDC_WELCOME_CREATE_COPY, writable);
    view().showControl(IDC_WELCOME_VERSION_LABEL, writable);
    view().showControl(IDC_WELCOME_VERSION, writable);
    if (writable) {
        const std::string running = runningPath();
        if (!running.empty())
            welcome::tidyUpInstallerCopies(environment().machine, environment().dialogs, running, copiesFolder(),
                                           HandOverPauseMs);
        fillVersionSelector();
    }
    const std::optional<std::string> latest = newerVersion ? newerVersion() : std::nullopt;
    if (window_)
        window_->showNewVersionIndicator(
            latest.has_value(), latest ? text::format(welcometexts::NewVersionLinkFormat, latest->c_str()) : "");
    return ovDPropertyPageBase::onSetActive();
}

void ovDInstallWelcomeBase::fillVersionSelector() {
    if (window_) window_->clearCombo(IDC_WELCOME_VERSION);
    const std::string running = runningPath();
    currentVersionEntry_ = welcome::runningEntry(
        running.empty() ? std::nullopt : welcome::readVersionLabel(environment().machine.versions, running));
    view().addComboItem(IDC_WELCOME_VERSION, currentVersionEntry_);
    for (const welcome::InstallerCopy& copy : welcome::findInstallerCopies(environment().machine, copiesFolder()))
        view().addComboItem(IDC_WELCOME_VERSION, welcome::copyEntry(copy.label));
    selectRunningEntry();
}

void ovDInstallWelcomeBase::selectRunningEntry() {
    // The running installer's entry is the first one, so the first entry beginning with its text is itself.
    view().selectComboText(IDC_WELCOME_VERSION, currentVersionEntry_);
}

void ovDInstallWelcomeBase::tell(const std::string& message) {
    environment().ui.messageBox(message, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, true);
}

void ovDInstallWelcomeBase::onCommand(int controlId) {
    switch (controlId) {
    case IDC_WELCOME_VERSION: switchVersion(); break;
    case IDC_WELCOME_CREATE_COPY:
        if (createInstallerCopy) createInstallerCopy();
        break;
    case IDC_WELCOME_DELETE_COPY: deleteCopy(); break;
    case IDC_WELCOME_BROWSE: browseInstallers(); break;
    default: ovDPropertyPageBase::onCommand(controlId);
    }
}

void ovDInstallWelcomeBase::onNewVersionClicked() {
    if (openNewVersionDialog) openNewVersionDialog();
}

void ovDInstallWelcomeBase::switchVersion() {
    const std::optional<std::string> selected = view().comboSelection(IDC_WELCOME_VERSION);
    if (!selected || text::equalsIgnoringCase(*selected, welcometexts::CurrentlyUsedVersion)) return;
    std::string wantedVersion = *selected, wantedBuild;
    if (const auto split = selected->find(welcometexts::BuildSeparator); split != std::string::npos) {
        wantedVersion = selected->substr(0, split);
        wantedBuild = selected->substr(split + std::string(welcometexts::BuildSeparator).size());
        if (!wantedBuild.empty()) wantedBuild.pop_back();  // the closing bracket
    }
    std::optional<welcome::InstallerCopy> wanted;
    for (welcome::InstallerCopy& copy : welcome::findInstallerCopies(environment().machine, copiesFolder())) {
        if (text::equalsIgnoringCase(copy.label.version, wantedVersion) &&
            text::equalsIgnoringCase(copy.label.privateBuild, wantedBuild)) {
            wanted = std::move(copy);
            break;
        }
    }
    if (!wanted) {
        tell(welcometexts::SwitchFailed);
        selectRunningEntry();
        return;
    }
    platform::Machine& machine = environment().machine;
    const std::string target = environment().appFolder + "\\" + welcome::fileNameOf(wanted->path);
    // A copy named like the running installer would replace the program that is running: it stays where it
    // is, and so does the running installer.
    if (text::equalsIgnoringCase(target, runningPath()) ||
        !machine.files.moveFile(wanted->path, target,
                                platform::moveflag::ReplaceExisting | platform::moveflag::WriteThrough)) {
        tell(welcometexts::CopyFailed);
        selectRunningEntry();
        return;
    }
    const intptr_t result = machine.processes.shellOpen(welcometexts::OpenVerb, target, "", environment().appFolder,
                                                        platform::ShowCommand::Normal);
    if (result <= 32) {
        // The program stays in the installer folder; the next tidy-up moves it back among the copies.
        tell(text::format(welcometexts::LaunchFailed, static_cast<int>(result)));
        selectRunningEntry();
        return;
    }
    if (window_) window_->closeWizard();
}

void ovDInstallWelcomeBase::deleteCopy() {
    components().deleteOldDownloads(false, true);
    if (deleteHelpFiles) deleteHelpFiles();
    platform::Machine& machine = environment().machine;
    const std::string data = dataFolder();
    // The running installer is never removed with the data folder (it may have been started from there).
    if (fileExists(machine, data) && !isInside(runningPath(), data)) deleteFolderTree(machine, data, data);
}

void ovDInstallWelcomeBase::browseInstallers() {
    platform::Machine& machine = environment().machine;
    const std::string data = dataFolder();
    if (!fileExists(machine, data)) machine.files.createFolder(data);
    const intptr_t result =
        machine.processes.shellOpen(welcometexts::OpenVerb, data, "", "", platform::ShowCommand::Normal);
    if (result <= 32) tell(text::format(welcometexts::BrowseFailed, static_cast<int>(result)));
}

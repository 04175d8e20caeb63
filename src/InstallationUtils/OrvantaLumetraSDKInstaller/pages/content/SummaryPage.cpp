#include "pages/content/SummaryPage.h"

#include "app/AppTexts.h"
#include "components/OrvantaProducts.h"
#include "components/Probes.h"
#include "pages/content/ReadmeSummaryTexts.h"
#include "pages/content/SummaryPageRes.h"
#include "platform/TextFormat.h"
#include "wizard/WizardTexts.h"

namespace {

namespace products = components::products;

enum class Folder { Sdk, Runtime };

// One quick link: the file it opens, its arguments and its working folder, each filled with its folder.
struct QuickLink {
    int controlId;
    Folder folder;
    const char* file;
    const char* arguments;  // none when empty
    const char* workingFolder;
};

constexpr QuickLink QuickLinks[] = {
    {IDC_SUMMARY_LINK_TEST_CONTAINER, Folder::Sdk, summarytexts::TestContainerFile, "", summarytexts::PlainFolder},
    {IDC_SUMMARY_LINK_README, Folder::Sdk, summarytexts::ReadmeFile, "", summarytexts::PlainFolder},
    {IDC_SUMMARY_LINK_REDISTRIBUTION, Folder::Sdk, summarytexts::RedistributionFile, "",
     summarytexts::RedistributionFolder},
    {IDC_SUMMARY_LINK_CAPTURE, Folder::Runtime, summarytexts::CaptureFile, "", summarytexts::PlainFolder},
    {IDC_SUMMARY_LINK_BARCODE_DEMO, Folder::Sdk, summarytexts::TestContainerFile, summarytexts::BarcodeDemoArguments,
     summarytexts::PlainFolder},
    {IDC_SUMMARY_LINK_LABEL_DEMO, Folder::Sdk, summarytexts::TestContainerFile, summarytexts::LabelDemoArguments,
     summarytexts::PlainFolder},
};

// ShellExecute's results up to 32 are failures.
constexpr intptr_t LastShellFailure = 32;

// The product's "InstallPath"; the folder keeps its value when the key cannot be opened, and is empty when
// the key is there without the value.
void readInstallPath(platform::Machine& machine, const char* displayName, std::string& folder) {
    const std::string key = products::installPathKey(displayName);
    if (!machine.registry.keyExists(platform::Hive::LocalMachine, key)) return;
    auto value = machine.registry.readValue(platform::Hive::LocalMachine, key, products::InstallPathValue,
                                            components::probebuffer::InstallPath);
    folder = value ? value->text() : std::string();
}

}  // namespace

const int ovDInstallSummarySDK::SdkOnlyControls[] = {
    IDC_SUMMARY_LINKS_NOTE,           IDC_SUMMARY_LINKS_FRAME,           IDC_SUMMARY_LINK_TEST_CONTAINER,
    IDC_SUMMARY_LINK_README,          IDC_SUMMARY_LINK_REDISTRIBUTION,   IDC_SUMMARY_LINK_CAPTURE,
    IDC_SUMMARY_LINK_BARCODE_DEMO,    IDC_SUMMARY_LINK_LABEL_DEMO,       IDC_SUMMARY_MARKER_TEST_CONTAINER,
    IDC_SUMMARY_MARKER_README,        IDC_SUMMARY_MARKER_REDISTRIBUTION, IDC_SUMMARY_MARKER_CAPTURE,
    IDC_SUMMARY_MARKER_BARCODE_DEMO,  IDC_SUMMARY_MARKER_LABEL_DEMO,
};
const int ovDInstallSummarySDK::SdkOnlyControlCount =
    static_cast<int>(sizeof(SdkOnlyControls) / sizeof(SdkOnlyControls[0]));

ovDInstallSummarySDK::ovDInstallSummarySDK(wizard::PageEnvironment& environment, std::string title)
    : ovDPropertyPageBase(environment, IDD_SUMMARY, std::move(title), summarytexts::Header) {
    setPageName(summarytexts::PageName);
    bindText(IDC_SUMMARY_STATUS_LINE, &statusLine_);
    readFolders();
}

void ovDInstallSummarySDK::readFolders() {
    readInstallPath(environment().machine, products::LumetraSdk.displayName, sdkFolder_);
    readInstallPath(environment().machine, products::Runtime.displayName, runtimeFolder_);
}

bool ovDInstallSummarySDK::onSetActive() {
    // The products may have been installed since the page was last shown.
    readFolders();
    view().setWizardButtons(true, true);
    statusLine_ = summarytexts::StatusLine;
    view().setCancelText(wizardtexts::Finish);
    const bool links = sheet().sdkSelected();
    for (int id : SdkOnlyControls) view().showControl(id, links);
    return ovDPropertyPageBase::onSetActive();
}

void ovDInstallSummarySDK::onCommand(int controlId) {
    for (const QuickLink& link : QuickLinks) {
        if (link.controlId != controlId) continue;
        const std::string& folder = link.folder == Folder::Sdk ? sdkFolder_ : runtimeFolder_;
        const std::string file = text::format(link.file, folder.c_str());
        const std::string working = text::format(link.workingFolder, folder.c_str());
        const intptr_t result = environment().machine.processes.shellOpen("open", file, link.arguments, working,
                                                                          platform::ShowCommand::Normal);
        if (result <= LastShellFailure)
            environment().ui.messageBox(text::format(summarytexts::UnableToAccessLink, static_cast<int>(result)),
                                        apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, true);
        return;
    }
    ovDPropertyPageBase::onCommand(controlId);
}

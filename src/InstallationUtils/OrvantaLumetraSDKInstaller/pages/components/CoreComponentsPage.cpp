#include "pages/components/CoreComponentsPage.h"

#include "app/AppTexts.h"
#include "components/Probes.h"
#include "components/OrvantaProducts.h"
#include "components/StatusTexts.h"
#include "pages/components/ComponentPageTexts.h"
#include "pages/components/CoreComponentsPageRes.h"
#include "wizard/WizardTexts.h"

namespace status = components::status;

ovDInstallCoreComponents::ovDInstallCoreComponents(wizard::PageEnvironment& environment, std::string title)
    : ovDPropertyPageBase(environment, IDD_CORE_COMPONENTS, std::move(title), pagetexts::CoreComponentsHeader),
      sdkWanted_(components::msiRegistered(environment.machine, components::products::LumetraSdk.productCode)) {
    setPageName(pagetexts::CoreComponentsName);
    setRows(components::CataloguePage::CoreComponents,
            {{IDC_CORE_ROW0_NAME, IDC_CORE_ROW0_STATUS, IDC_CORE_ROW0_ACTION, IDC_CORE_ROW0_INSTALL,
              IDC_CORE_ROW0_UNINSTALL},
             {IDC_CORE_ROW1_NAME, IDC_CORE_ROW1_STATUS, IDC_CORE_ROW1_ACTION, IDC_CORE_ROW1_INSTALL,
              IDC_CORE_ROW1_UNINSTALL}});
    bindCheck(IDC_CORE_SDK_WANTED, &sdkWanted_);
    setDownloadButton(IDC_CORE_DOWNLOAD, wizardtexts::DownloadInstallables);
}

bool ovDInstallCoreComponents::updateFinishButton() {
    const bool complete = sdkWanted_ ? refreshAllRows() == 1 : rowStatus(RuntimeRow) == status::Installed;
    view().setWizardButtons(true, complete);
    view().setCancelText(complete ? wizardtexts::Finish : wizardtexts::Cancel);
    return complete;
}

void ovDInstallCoreComponents::updateControls() {
    enableRowButtons(IDC_CORE_ROW0_INSTALL, IDC_CORE_ROW0_UNINSTALL, RuntimeRow, RuntimeRow);
    if (sdkWanted_) {
        enableRowButtons(IDC_CORE_ROW1_INSTALL, IDC_CORE_ROW1_UNINSTALL, SdkRow, SdkRow);
    } else {
        view().enableControl(IDC_CORE_ROW1_INSTALL, false);
        view().enableControl(IDC_CORE_ROW1_UNINSTALL, false);
    }
}

void ovDInstallCoreComponents::initControls() {
    placeRowButtons(wizardtexts::InstallTip, wizardtexts::UninstallTip);
    placeDownloadButton();
}

void ovDInstallCoreComponents::onInitDialog() {
    ovDPropertyPageBase::onInitDialog();
    showData();
}

bool ovDInstallCoreComponents::onSetActive() {
    activateComponentPage(true, true, wizardtexts::Cancel);
    updateFinishButton();
    return true;
}

void ovDInstallCoreComponents::onCommand(int controlId) {
    switch (controlId) {
    case IDC_CORE_ROW0_INSTALL:
        installComponents(RuntimeRow, RuntimeRow, true);
        break;
    case IDC_CORE_ROW0_UNINSTALL:
        uninstallComponents(RuntimeRow, RuntimeRow);
        break;
    case IDC_CORE_ROW1_INSTALL:
        installComponents(SdkRow, SdkRow, true);
        break;
    case IDC_CORE_ROW1_UNINSTALL:
        uninstallComponents(SdkRow, SdkRow);
        break;
    case IDC_CORE_SDK_WANTED:
        sdkBoxClicked();
        return;
    default:
        ovDPropertyPageBase::onCommand(controlId);
        break;
    }
    updateFinishButton();
}

void ovDInstallCoreComponents::sdkBoxClicked() {
    readData();
    sheet().setSdkSelected(sdkWanted_);
    if (!sdkWanted_ && rowStatus(SdkRow) != status::NotInstalled) {
        const ui::Answer answer = environment().ui.messageBox(pagetexts::UninstallSdkQuestion,
                                                              apptexts::InstallerTitle, ui::Buttons::YesNo,
                                                              ui::Icon::None, true);
        if (answer != ui::Answer::Yes) {
            sdkWanted_ = true;
            sheet().setSdkSelected(true);
            showData();
            return;
        }
        uninstallComponents(SdkRow, SdkRow);
        updateFinishButton();
    }
    updateControls();
    updateFinishButton();
}

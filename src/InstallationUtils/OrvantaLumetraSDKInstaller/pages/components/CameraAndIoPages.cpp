#include "pages/components/CameraAndIoPages.h"

#include "app/AppTexts.h"
#include "components/Catalogue.h"
#include "components/ProductCodes.h"
#include "components/Probes.h"
#include "pages/components/ComponentPageTexts.h"
#include "pages/components/IOSystemPageRes.h"
#include "pages/components/OptionalPageTexts.h"
#include "pages/components/ThirdPartyPageRes.h"
#include "platform/TextFormat.h"
#include "wizard/WizardIds.h"
#include "wizard/WizardTexts.h"

namespace {

using Camera = ovDInstall3rdPartyInstallations;

// Row 7's Install button stands where the other rows show their status.
constexpr int DriverInstallButtonX = 532;
constexpr int InfoIconX = 200;

// Rows with an Install/Remove pair of their own, and the info icon some of them have.
struct CameraRow {
    int row;
    int info;
    int install;
    int remove;
    const char* infoTip;
};
constexpr CameraRow CameraRows[] = {
    {Camera::UbCore, IDC_TP_ROW0_INFO, IDC_TP_ROW0_INSTALL, IDC_TP_ROW0_REMOVE, pagetexts::UbCoreInfo},
    {Camera::FireI, IDC_TP_ROW1_INFO, IDC_TP_ROW1_INSTALL, IDC_TP_ROW1_REMOVE, pagetexts::FireIInfo},
    {Camera::SonyZcl, IDC_TP_ROW2_INFO, IDC_TP_ROW2_INSTALL, IDC_TP_ROW2_REMOVE, pagetexts::SonyZclInfo},
    {Camera::ICCapture, 0, IDC_TP_ROW6_INSTALL, IDC_TP_ROW6_REMOVE, nullptr},
};

// The Basler packages in the order their installation is looked for: their rows and the product codes that
// recognise them on a 64-bit machine and on others.
struct BaslerPackage {
    int row;
    const char* code64;
    const char* code32;
};
constexpr BaslerPackage BaslerPackages[] = {
    {Camera::PylonSdk2, components::codes::PylonSdk2_64, components::codes::PylonSdk2_32},
    {Camera::PylonSdk3, components::codes::PylonSdk3, components::codes::PylonSdk3},
    {Camera::Pylon4Runtime, components::codes::Pylon4Runtime, components::codes::Pylon4Runtime},
};

// The Basler row a combo box text names, in either machine's form; -1 for any other text.
int baslerRow(const std::string& name) {
    for (bool wide : {false, true}) {
        const auto rows = components::catalogueRows(components::CataloguePage::ThirdPartySoftwares, wide);
        for (const auto& package : BaslerPackages)
            if (name == rows[static_cast<std::size_t>(package.row)].displayName) return package.row;
    }
    return -1;
}

wizard::RowControls pairedRow(int name) { return {name, name + 1, name + 2, name + 3, name + 4}; }

}  // namespace

ovDInstall3rdPartyInstallations::ovDInstall3rdPartyInstallations(wizard::PageEnvironment& environment,
                                                                 std::string title)
    : ovDPropertyPageBase(environment, IDD_THIRD_PARTY, std::move(title), pagetexts::ThirdPartyHeader),
      is64Bit_(environment.is64Bit),
      baslerChoice_(pagetexts::NoneChoice) {
    setPageName(pagetexts::ThirdPartyName);
    // Row 7 shows its name only: its status and action strings stay unbound.
    setRows(components::CataloguePage::ThirdPartySoftwares,
            {pairedRow(IDC_TP_ROW0_NAME), pairedRow(IDC_TP_ROW1_NAME), pairedRow(IDC_TP_ROW2_NAME), {}, {}, {},
             pairedRow(IDC_TP_ROW6_NAME), {IDC_TP_ROW7_NAME, 0, 0, IDC_TP_ROW7_INSTALL, 0}});
    bindText(IDC_TP_BASLER_STATUS, &baslerStatus_);
    bindText(IDC_TP_STATUS_LINE, &statusLine_);
    setDownloadButton(IDC_TP_DOWNLOAD, pagetexts::DownloadThirdParty);
}

void ovDInstall3rdPartyInstallations::updateControls() {
    for (const auto& row : CameraRows) enableRowButtons(row.install, row.remove, row.row, row.row);
    // The driver is installed once per connected camera: its button never closes.
    view().enableControl(IDC_TP_ROW7_INSTALL, true);
}

void ovDInstall3rdPartyInstallations::initControls() {
    for (const auto& row : CameraRows) {
        if (row.info) view().placeImageButton(row.info, wizard::PageImage::Info, InfoIconX, row.infoTip);
        view().placeImageButton(row.install, wizard::PageImage::Install, wizardids::InstallButtonX,
                                wizardtexts::InstallTip);
        view().placeImageButton(row.remove, wizard::PageImage::Remove, wizardids::UninstallButtonX,
                                wizardtexts::RemoveTip);
    }
    view().placeImageButton(IDC_TP_ROW7_INFO, wizard::PageImage::Info, InfoIconX, pagetexts::ImagingSourceDriverInfo);
    view().placeImageButton(IDC_TP_ROW7_INSTALL, wizard::PageImage::Install, DriverInstallButtonX,
                            wizardtexts::InstallTip);
    view().placeImageButton(IDC_TP_BASLER_INFO, wizard::PageImage::Info, InfoIconX, pagetexts::BaslerInfo);
    placeDownloadButton();
}

void ovDInstall3rdPartyInstallations::onInitDialog() {
    ovDPropertyPageBase::onInitDialog();
    for (const auto& package : BaslerPackages)
        view().addComboItem(IDC_TP_BASLER_COMBO, row(static_cast<unsigned>(package.row)).name);
    view().addComboItem(IDC_TP_BASLER_COMBO, pagetexts::NoneChoice);
}

bool ovDInstall3rdPartyInstallations::onSetActive() {
    view().setWizardButtons(true, true);
    view().setCancelText(wizardtexts::Finish);
    showDownloadButton();
    statusLine_ = pagetexts::ThirdPartyStatusLine;
    refreshAllRows();
    showData();
    updateControls();
    showCurrentBaslerPylonSDK();
    return true;
}

void ovDInstall3rdPartyInstallations::onCommand(int controlId) {
    for (const auto& row : CameraRows) {
        if (controlId == row.install) {
            installComponents(row.row, row.row, false);
            return;
        }
        if (controlId == row.remove) {
            uninstallComponents(row.row, row.row);
            return;
        }
    }
    if (controlId == IDC_TP_ROW7_INSTALL) {
        installComponents(ImagingSourceDriver, ImagingSourceDriver, false);
        return;
    }
    if (controlId == IDC_TP_BASLER_COMBO) {
        if (processNewBaslerPylonSDKInstallation() == 1) showCurrentBaslerPylonSDK();
        return;
    }
    ovDPropertyPageBase::onCommand(controlId);
}

void ovDInstall3rdPartyInstallations::showCurrentBaslerPylonSDK() {
    std::string installed = pagetexts::NoneChoice;
    for (const auto& package : BaslerPackages) {
        if (components::msiRegistered(environment().machine, is64Bit_ ? package.code64 : package.code32)) {
            installed = row(static_cast<unsigned>(package.row)).name;
            break;
        }
    }
    view().selectComboText(IDC_TP_BASLER_COMBO, installed);
    baslerChoice_ = view().comboSelection(IDC_TP_BASLER_COMBO).value_or(pagetexts::NoneChoice);
    const int choiceRow = baslerRow(baslerChoice_);
    baslerStatus_ = choiceRow < 0 ? std::string()
                                  : text::format(pagetexts::ChoiceStatusFormat,
                                                 rowStatus(static_cast<unsigned>(choiceRow)).c_str());
    view().setText(IDC_TP_BASLER_STATUS, baslerStatus_);
}

int ovDInstall3rdPartyInstallations::processNewBaslerPylonSDKInstallation() {
    std::string choice;
    if (auto selected = view().comboSelection(IDC_TP_BASLER_COMBO)) {
        choice = *selected;
    } else {
        environment().machine.debug.write(pagetexts::BaslerNoSelectionDebug);
        choice = pagetexts::NoneChoice;
    }
    if (choice == baslerChoice_) return -1;
    if (baslerChoice_ != pagetexts::NoneChoice) {
        if (choice != pagetexts::NoneChoice) {
            const ui::Answer answer = environment().ui.messageBox(
                text::format(pagetexts::BaslerQuestion, choice.c_str(), choice.c_str()), apptexts::InstallerTitle,
                ui::Buttons::YesNo, ui::Icon::None, true);
            if (answer == ui::Answer::Yes) {
                uninstallCurrentBaslerPylonSDK();
                installNewBaslerPylonSDK();
            }
            return 1;
        }
        uninstallCurrentBaslerPylonSDK();
        return 1;
    }
    installNewBaslerPylonSDK();
    return 1;
}

void ovDInstall3rdPartyInstallations::uninstallCurrentBaslerPylonSDK() {
    const int choiceRow = baslerRow(baslerChoice_);
    if (choiceRow >= 0) uninstallComponents(choiceRow, choiceRow);
}

void ovDInstall3rdPartyInstallations::installNewBaslerPylonSDK() {
    const auto selected = view().comboSelection(IDC_TP_BASLER_COMBO);
    if (!selected) {
        environment().machine.debug.write(pagetexts::BaslerInstallNoSelectionDebug);
        return;
    }
    const int choiceRow = baslerRow(*selected);
    if (choiceRow >= 0) installComponents(choiceRow, choiceRow, false);  // the package alone
}

// ---------------------------------------------------------------------------------------------------------

ovDInstallIOSystemInstallations::ovDInstallIOSystemInstallations(wizard::PageEnvironment& environment,
                                                                 std::string title)
    : ovDPropertyPageBase(environment, IDD_IO_SYSTEM, std::move(title), pagetexts::IOSystemHeader) {
    setPageName(pagetexts::IOSystemName);
    setRows(components::CataloguePage::IOSystem,
            {pairedRow(IDC_IO_ROW0_NAME), pairedRow(IDC_IO_ROW1_NAME), pairedRow(IDC_IO_ROW2_NAME),
             pairedRow(IDC_IO_ROW3_NAME), pairedRow(IDC_IO_ROW4_NAME)});
    bindText(IDC_IO_STATUS_LINE, &statusLine_);
    setDownloadButton(IDC_IO_DOWNLOAD, pagetexts::DownloadIOSystem);
}

void ovDInstallIOSystemInstallations::updateControls() { enableEveryRowsButtons(); }

void ovDInstallIOSystemInstallations::initControls() {
    placeRowButtons(wizardtexts::InstallTip, wizardtexts::UninstallTip);
    placeDownloadButton();
}

bool ovDInstallIOSystemInstallations::onSetActive() {
    statusLine_ = pagetexts::IOSystemStatusLine;
    activateComponentPage(true, true, wizardtexts::Finish);
    return true;
}

void ovDInstallIOSystemInstallations::onCommand(int controlId) {
    const auto& rows = rowControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int r = static_cast<int>(i);
        if (controlId == rows[i].install) {
            installComponents(r, r, false);
            return;
        }
        if (controlId == rows[i].uninstall) {
            uninstallComponents(r, r);
            return;
        }
    }
    ovDPropertyPageBase::onCommand(controlId);
}

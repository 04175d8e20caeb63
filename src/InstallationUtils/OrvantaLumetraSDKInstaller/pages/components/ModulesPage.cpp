#include "pages/components/ModulesPage.h"

#include <iterator>
#include <optional>
#include <vector>

#include "app/AppTexts.h"
#include "app/FileUtils.h"
#include "components/OrvantaProducts.h"
#include "components/Probes.h"
#include "components/StatusTexts.h"
#include "pages/components/ComponentPageTexts.h"
#include "pages/components/ModulesPageRes.h"
#include "pages/components/OptionalPageTexts.h"
#include "pages/components/VexlibVersionSelection.h"
#include "platform/TextFormat.h"
#include "wizard/WizardIds.h"
#include "wizard/WizardTexts.h"

namespace runtime = components::products::runtime;

namespace {

// The library files in the order a build is copied into place ("VexLib.dll" first: it names the build).
constexpr const char* CopyOrder[] = {"VexLib.dll", "pyVexlib26.pyd", "OrvantaVexTools.dll", "VexLib2.dll",
                                     "Python\\vexlibct.py"};
constexpr const char* IdentifyingFile = "VexLib.dll";
constexpr const char* PythonBindingFile = "pyVexlib26.pyd";
// Builds whose files match equally are told apart by this order: the IPP build of a compiler before its plain
// build.
constexpr int DetectionOrder[] = {vexlib::IntelBlend, vexlib::IntelBlendIpp, vexlib::Vc8Ipp, vexlib::Vc8,
                                  vexlib::VexlibBeta};
// While a build is being put into place, its files arrive under this suffix and the replaced ones wait under
// the other; nothing under the real names changes until every file of the new build has arrived.
constexpr const char* ArrivingSuffix = ".new";
constexpr const char* LeavingSuffix = ".old";
constexpr uint64_t FileTimeUnitsPerSecond = 10'000'000;

std::optional<platform::FindEntry> fileStatus(platform::Machine& machine, const std::string& path) {
    auto entries = machine.files.find(path);
    if (!entries || entries->empty()) return std::nullopt;
    return entries->front();
}

bool move(platform::Machine& machine, const std::string& from, const std::string& to) {
    if (fileExists(machine, to)) machine.files.setAttributes(to, platform::attr::Archive);
    return machine.files.moveFile(from, to, platform::moveflag::ReplaceExisting | platform::moveflag::WriteThrough);
}

}  // namespace

ovDInstallModules::ovDInstallModules(wizard::PageEnvironment& environment, std::string title)
    : ovDPropertyPageBase(environment, IDD_MODULES, std::move(title), pagetexts::ModulesHeader) {
    setPageName(pagetexts::ModulesName);
    setRows(components::CataloguePage::Modules, {{IDC_MOD_ROW0_NAME, IDC_MOD_ROW0_STATUS, IDC_MOD_ROW0_ACTION,
                                                  IDC_MOD_ROW0_INSTALL, IDC_MOD_ROW0_REMOVE}});
    bindText(IDC_MOD_NOTE, &note_);
    bindText(IDC_MOD_VARIANT_TEXT, &variantText_);
    bindText(IDC_MOD_VARIANT_STATUS, &variantStatus_);
    bindText(IDC_MOD_STATUS_LINE, &statusLine_);
    setDownloadButton(IDC_MOD_DOWNLOAD, pagetexts::DownloadModules);
}

void ovDInstallModules::updateControls() {
    enableEveryRowsButtons();
    view().enableControl(IDC_MOD_CHANGE, true);
}

void ovDInstallModules::initControls() {
    placeRowButtons(wizardtexts::InstallTip, wizardtexts::RemoveTip);
    view().placeImageButton(IDC_MOD_CHANGE, wizard::PageImage::Change, wizardids::UninstallButtonX,
                            pagetexts::ChangeTip);
    placeDownloadButton();
}

bool ovDInstallModules::onSetActive() {
    view().setWizardButtons(true, true);
    view().setCancelText(wizardtexts::Finish);
    showDownloadButton();
    statusLine_ = pagetexts::ModulesStatusLine;
    note_ = pagetexts::ModulesNote;
    refreshAllRows();
    showData();
    updateControls();
    detectVexlibVariant();
    return true;
}

int ovDInstallModules::onWizardNext() {
    if (variantStatus_ != pagetexts::VariantOk) tell(pagetexts::VariantNotOkWarning);
    return ovDPropertyPageBase::onWizardNext();
}

void ovDInstallModules::onCommand(int controlId) {
    switch (controlId) {
    case IDC_MOD_ROW0_INSTALL:
        if (runtimeGuard()) installComponents(IppRow, IppRow, false);
        break;
    case IDC_MOD_ROW0_REMOVE:
        if (runtimeGuard()) {
            uninstallComponents(IppRow, IppRow);
            detectVexlibVariant();
        }
        break;
    case IDC_MOD_CHANGE:
        changeVexlibVariant();
        break;
    default:
        ovDPropertyPageBase::onCommand(controlId);
        break;
    }
}

void ovDInstallModules::tell(const std::string& text) {
    environment().ui.messageBox(text, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, true);
}

bool ovDInstallModules::runtimeGuard() {
    platform::Machine& machine = environment().machine;
    const auto& product = components::products::Runtime;
    if (components::isRuntimeRegistered(machine) &&
        !components::msiNameDiffers(machine, product.productCode, product.displayName))
        return true;
    tell(text::format(pagetexts::RuntimeGuardFormat, product.displayName, product.displayName));
    return false;
}

void ovDInstallModules::detectVexlibVariant() {
    if (!runtimeGuard()) return;
    platform::Machine& machine = environment().machine;
    const auto folder = components::getRuntimeFolder(machine);
    if (!folder) {
        tell(pagetexts::RuntimePathMissing);
        return;
    }
    const auto active = fileStatus(machine, *folder + IdentifyingFile);
    if (!active || !fileExists(machine, *folder + PythonBindingFile)) {
        variantText_ = pagetexts::VexlibDllMissing;
        variantStatus_ = pagetexts::VexlibError;
        showData();
        return;
    }
    currentVariant_ = vexlib::NoVariant;
    for (int variant : DetectionOrder) {
        const std::string build = *folder + runtime::VexLibBuildsFolder + "\\" + runtime::VexLibBuilds[variant - 1] +
                                  "\\" + IdentifyingFile;
        const auto candidate = fileStatus(machine, build);
        if (candidate && candidate->size == active->size &&
            candidate->lastWriteTime / FileTimeUnitsPerSecond == active->lastWriteTime / FileTimeUnitsPerSecond) {
            currentVariant_ = variant;
            break;
        }
    }
    variantText_ = pagetexts::VariantTexts[currentVariant_];
    const bool ippBuild = currentVariant_ == vexlib::IntelBlendIpp || currentVariant_ == vexlib::Vc8Ipp;
    if (currentVariant_ == vexlib::NoVariant ||
        (ippBuild && rowStatus(IppRow) == components::status::NotInstalled))
        variantStatus_ = pagetexts::VariantIncorrect;
    else
        variantStatus_ = pagetexts::VariantOk;
    showData();
}

void ovDInstallModules::changeVexlibVariant() {
    vexlib::VexlibVariantDialog* dialog = environment().vexlibDialog;
    if (!dialog) return;
    const auto chosen =
        dialog->chooseVariant(currentVariant_, rowStatus(IppRow) != components::status::NotInstalled);
    if (!chosen) return;
    if (*chosen < 1 || *chosen > vexlib::VariantCount) {
        tell(pagetexts::VexlibNotSelected);
        return;
    }
    const auto folder = components::getRuntimeFolder(environment().machine);
    if (!folder) {
        tell(pagetexts::RuntimePathMissing);
        return;
    }
    const std::string build =
        *folder + runtime::VexLibBuildsFolder + "\\" + runtime::VexLibBuilds[*chosen - 1];
    if (!replaceLibraryFiles(*folder, build)) return;
    currentVariant_ = *chosen;
    detectVexlibVariant();
}

bool ovDInstallModules::replaceLibraryFiles(const std::string& runtimeFolder, const std::string& buildFolder) {
    platform::Machine& machine = environment().machine;
    std::vector<std::string> arrived;  // files of the new build under their arriving names
    std::vector<std::string> left;     // files of the old build moved aside
    std::vector<std::string> placed;   // files of the new build under their real names
    const auto undo = [&] {
        for (const auto& file : placed) deleteFileIfPresent(machine, runtimeFolder + file);
        for (const auto& file : left) move(machine, runtimeFolder + file + LeavingSuffix, runtimeFolder + file);
        for (const auto& file : arrived) deleteFileIfPresent(machine, runtimeFolder + file + ArrivingSuffix);
    };

    // 1. Every file of the new build arrives beside the active one.
    for (const char* file : CopyOrder) {
        const std::string target = runtimeFolder + file + ArrivingSuffix;
        deleteFileIfPresent(machine, target);
        if (!machine.files.copyFile(buildFolder + "\\" + file, target, false) || !fileExists(machine, target)) {
            undo();
            tell(pagetexts::VexlibCopyFailed);
            return false;
        }
        arrived.emplace_back(file);
    }
    // 2. The active files step aside; one in use keeps the active build as it is.
    for (const char* file : CopyOrder) {
        const std::string current = runtimeFolder + file;
        if (!fileExists(machine, current)) continue;
        machine.files.setAttributes(current, platform::attr::Archive);
        if (!move(machine, current, current + LeavingSuffix)) {
            undo();
            tell(std::string(file) == IdentifyingFile ? pagetexts::VexlibDeleteFailed : pagetexts::VexlibCopyFailed);
            return false;
        }
        left.emplace_back(file);
    }
    // 3. The new build takes the real names.
    for (const char* file : CopyOrder) {
        if (!move(machine, runtimeFolder + file + ArrivingSuffix, runtimeFolder + file)) {
            undo();
            tell(pagetexts::VexlibCopyFailed);
            return false;
        }
        placed.emplace_back(file);
    }
    for (const auto& file : left) deleteFileIfPresent(machine, runtimeFolder + file + LeavingSuffix);
    return true;
}

#include "pages/components/ExtensionsPage.h"

#include "app/AppTexts.h"
#include "app/FileUtils.h"
#include "components/InstalledTable.h"
#include "components/OrvantaProducts.h"
#include "components/Probes.h"
#include "components/StatusTexts.h"
#include "pages/components/ComponentPageTexts.h"
#include "pages/components/ExtensionsPageRes.h"
#include "pages/components/OptionalPageTexts.h"
#include "platform/TextFormat.h"
#include "wizard/WizardIds.h"
#include "wizard/WizardTexts.h"

namespace {

// The groups that share one Install/Uninstall pair, with the rows the pair's state follows.
struct Group {
    int install;
    int uninstall;
    int firstRow;
    int lastRow;
};
constexpr Group Groups[] = {
    {IDC_EXT_PYTHON2D_INSTALL, IDC_EXT_PYTHON2D_UNINSTALL, ovDInstallExtensions::Python, ovDInstallExtensions::Pyserial},
    {IDC_EXT_PYTHON3D_INSTALL, IDC_EXT_PYTHON3D_UNINSTALL, ovDInstallExtensions::Scipy, ovDInstallExtensions::Numpy},
    {IDC_EXT_MYSQL_INSTALL, IDC_EXT_MYSQL_UNINSTALL, ovDInstallExtensions::MySQLPython, ovDInstallExtensions::MySQLPython},
    {IDC_EXT_OPENCV_INSTALL, IDC_EXT_OPENCV_UNINSTALL, ovDInstallExtensions::OpenCV11, ovDInstallExtensions::CtypesOpenCV},
};

// The OpenCV 2.X packages in the order their installation is looked for, with their rows.
struct OpenCV2X {
    const char* name;
    int row;
};
constexpr OpenCV2X OpenCV2XPackages[] = {
    {pagetexts::OpenCV231, ovDInstallExtensions::OpenCV231},
    {pagetexts::OpenCV246, ovDInstallExtensions::OpenCV246},
    {pagetexts::OpenCV248, ovDInstallExtensions::OpenCV248},
};

int openCV2XRow(const std::string& name) {
    for (const auto& package : OpenCV2XPackages)
        if (name == package.name) return package.row;
    return -1;
}

wizard::RowControls shownRow(int name) { return {name, name + 1, name + 2, 0, 0}; }

// Renames source to target, replacing target: a file is always under one of the two names.
bool renameFile(platform::Machine& machine, const std::string& source, const std::string& target) {
    if (!fileExists(machine, source)) return false;
    if (fileExists(machine, target)) machine.files.setAttributes(target, platform::attr::Archive);
    return machine.files.moveFile(source, target,
                                  platform::moveflag::ReplaceExisting | platform::moveflag::WriteThrough);
}

}  // namespace

ovDInstallExtensions::ovDInstallExtensions(wizard::PageEnvironment& environment, std::string title)
    : ovDPropertyPageBase(environment, IDD_EXTENSIONS, std::move(title), pagetexts::ExtensionsHeader),
      openCV2XChoice_(pagetexts::NoneChoice) {
    setPageName(pagetexts::ExtensionsName);
    setRows(components::CataloguePage::Extensions,
            {shownRow(IDC_EXT_ROW0_NAME), shownRow(IDC_EXT_ROW1_NAME), shownRow(IDC_EXT_ROW2_NAME),
             shownRow(IDC_EXT_ROW3_NAME), shownRow(IDC_EXT_ROW4_NAME), shownRow(IDC_EXT_ROW5_NAME),
             shownRow(IDC_EXT_ROW6_NAME), {}, {}, shownRow(IDC_EXT_ROW9_NAME), {}});
    bindText(IDC_EXT_OPENCV2X_STATUS, &openCV2XStatus_);
    bindText(IDC_EXT_STATUS_LINE, &statusLine_);
    setDownloadButton(IDC_EXT_DOWNLOAD, wizardtexts::DownloadInstallables);
}

void ovDInstallExtensions::updateControls() {
    for (const auto& group : Groups) enableRowButtons(group.install, group.uninstall, group.firstRow, group.lastRow);
}

void ovDInstallExtensions::initControls() {
    for (const auto& group : Groups) {
        view().placeImageButton(group.install, wizard::PageImage::Install, wizardids::InstallButtonX,
                                wizardtexts::InstallTip);
        view().placeImageButton(group.uninstall, wizard::PageImage::Remove, wizardids::UninstallButtonX,
                                wizardtexts::UninstallTip);
    }
    placeDownloadButton();
}

void ovDInstallExtensions::onInitDialog() {
    ovDPropertyPageBase::onInitDialog();
    for (const auto& package : OpenCV2XPackages) view().addComboItem(IDC_EXT_OPENCV2X_COMBO, package.name);
    view().addComboItem(IDC_EXT_OPENCV2X_COMBO, pagetexts::NoneChoice);
}

bool ovDInstallExtensions::onSetActive() {
    view().setWizardButtons(true, true);
    view().setCancelText(wizardtexts::Finish);
    showDownloadButton();
    statusLine_ = pagetexts::ExtensionsStatusLine;
    // One walk over the installed products serves both: the rows' refresh tells whether Python is there, and
    // parking or restoring its DLL changes nothing the rows show.
    refreshAllRows();
    syncPythonDll(false, rowStatus(Python) != components::status::NotInstalled);
    showData();
    updateControls();
    showCurrentOpenCV2XExt();
    view().afterShown([this] { showStatusWarnings(); });
    return true;
}

void ovDInstallExtensions::onCommand(int controlId) {
    switch (controlId) {
    case IDC_EXT_PYTHON2D_INSTALL:
        installComponents(Python, Pyserial, true);
        syncPythonDll(true);
        break;
    case IDC_EXT_PYTHON2D_UNINSTALL:
        uninstallComponents(Python, Pyserial);
        syncPythonDll(true);
        break;
    case IDC_EXT_PYTHON3D_INSTALL:
        installComponents(Python, Numpy, true);  // the 2D group first
        break;
    case IDC_EXT_PYTHON3D_UNINSTALL:
        uninstallComponents(Scipy, Numpy);
        break;
    case IDC_EXT_MYSQL_INSTALL: {
        const int rows[] = {Python, MySQLPython};
        installComponentList(rows, 2);
        break;
    }
    case IDC_EXT_MYSQL_UNINSTALL:
        uninstallComponents(MySQLPython, MySQLPython);
        break;
    case IDC_EXT_OPENCV_INSTALL:
        installComponents(Python, CtypesOpenCV, true);
        break;
    case IDC_EXT_OPENCV_UNINSTALL:
        uninstallComponents(OpenCV11, CtypesOpenCV);
        break;
    case IDC_EXT_OPENCV2X_COMBO:
        if (processNewOpenCV2XExtInstallation() == 1) showCurrentOpenCV2XExt();
        break;
    default:
        ovDPropertyPageBase::onCommand(controlId);
        break;
    }
}

void ovDInstallExtensions::tell(const char* text) {
    environment().ui.messageBox(text, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, true);
}

int ovDInstallExtensions::syncPythonDll(bool showMessages, std::optional<bool> knownInstalled) {
    namespace runtime = components::products::runtime;
    platform::Machine& machine = environment().machine;
    const bool pythonInstalled = knownInstalled ? *knownInstalled : components::pythonProductCount(machine) > 0;
    const auto folder = components::getRuntimeFolder(machine);
    if (!folder) {
        if (showMessages) tell(pagetexts::RuntimePathMissing);
        return -1;
    }
    const std::string dll = *folder + runtime::PythonDll;
    const std::string parked = *folder + runtime::ParkedPythonDll;
    if (pythonInstalled) {
        // The move replaces an older parked copy in the same step, so the DLL is never without a name.
        if (!fileExists(machine, dll)) return 1;
        if (!renameFile(machine, dll, parked)) {
            if (showMessages) tell(pagetexts::PythonDllRenameFailed);
            return -2;
        }
        return 1;
    }
    if (!fileExists(machine, parked)) return 1;
    if (fileExists(machine, dll)) {
        // Something else put a "python26.dll" in its place: the parked DLL is kept, never deleted.
        machine.debug.write(pagetexts::PythonDllKeptParkedDebug);
        if (showMessages) tell(pagetexts::PythonDllKeptParked);
        return -2;
    }
    if (!renameFile(machine, parked, dll)) {
        if (showMessages) tell(pagetexts::PythonDllRenameFailed);
        return -2;
    }
    return 1;
}

void ovDInstallExtensions::showCurrentOpenCV2XExt() {
    std::string installed = pagetexts::NoneChoice;
    for (const auto& package : OpenCV2XPackages) {
        if (components::isInstalled(environment().machine, package.name)) {
            installed = package.name;
            break;
        }
    }
    view().selectComboText(IDC_EXT_OPENCV2X_COMBO, installed);
    openCV2XChoice_ = view().comboSelection(IDC_EXT_OPENCV2X_COMBO).value_or(pagetexts::NoneChoice);
    const int row = openCV2XRow(openCV2XChoice_);
    openCV2XStatus_ = row < 0 ? std::string()
                              : text::format(pagetexts::ChoiceStatusFormat, rowStatus(static_cast<unsigned>(row)).c_str());
    view().setText(IDC_EXT_OPENCV2X_STATUS, openCV2XStatus_);
}

int ovDInstallExtensions::processNewOpenCV2XExtInstallation() {
    std::string choice;
    if (auto selected = view().comboSelection(IDC_EXT_OPENCV2X_COMBO)) {
        choice = *selected;
    } else {
        environment().machine.debug.write(pagetexts::OpenCV2XNoSelectionDebug);
        choice = pagetexts::NoneChoice;
    }
    if (choice == openCV2XChoice_) return -1;
    if (openCV2XChoice_ != pagetexts::NoneChoice) {
        if (choice != pagetexts::NoneChoice) {
            const ui::Answer answer = environment().ui.messageBox(
                text::format(pagetexts::OpenCV2XQuestion, choice.c_str(), choice.c_str()), apptexts::InstallerTitle,
                ui::Buttons::YesNo, ui::Icon::None, true);
            if (answer == ui::Answer::Yes) {
                uninstallCurrentOpenCV2XExt();
                installNewOpenCV2XExt();
            }
            return 1;
        }
        uninstallCurrentOpenCV2XExt();
        return 1;
    }
    installNewOpenCV2XExt();
    return 1;
}

void ovDInstallExtensions::uninstallCurrentOpenCV2XExt() {
    const int row = openCV2XRow(openCV2XChoice_);
    if (row >= 0) uninstallComponents(row, row);
}

void ovDInstallExtensions::installNewOpenCV2XExt() {
    const auto selected = view().comboSelection(IDC_EXT_OPENCV2X_COMBO);
    if (!selected) {
        environment().machine.debug.write(pagetexts::OpenCV2XInstallNoSelectionDebug);
        return;
    }
    const int row = openCV2XRow(*selected);
    if (row < 0) return;
    // The package first, then the Python stack it is used from.
    const int rows[] = {row, Python, Pywin32, Pyserial, Numpy};
    installComponentList(rows, 5);
}

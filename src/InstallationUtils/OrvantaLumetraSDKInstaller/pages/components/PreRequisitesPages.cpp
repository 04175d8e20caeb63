#include "pages/components/PreRequisitesPages.h"

#include "components/StatusTexts.h"
#include "pages/components/ComponentPageTexts.h"
#include "pages/components/PreRequisitesPagesRes.h"
#include "wizard/WizardTexts.h"

namespace {

std::vector<wizard::RowControls> prerequisiteRows() {
    const int names[] = {IDC_PREREQ_ROW0_NAME, IDC_PREREQ_ROW1_NAME, IDC_PREREQ_ROW2_NAME, IDC_PREREQ_ROW3_NAME,
                         IDC_PREREQ_ROW4_NAME};
    std::vector<wizard::RowControls> rows;
    for (int i = 0; i < 5; ++i) {
        // Each row's five identifiers follow its name's: status, action, install, uninstall.
        const int name = names[i];
        rows.push_back({name, name + 1, name + 2, 0, i < ovDPreRequisitesPageBase::RemovableRows ? name + 4 : 0});
    }
    return rows;
}

}  // namespace

ovDPreRequisitesPageBase::ovDPreRequisitesPageBase(wizard::PageEnvironment& environment, int templateId,
                                                   std::string title, std::string headerText,
                                                   components::CataloguePage page)
    : ovDPropertyPageBase(environment, templateId, std::move(title), std::move(headerText)) {
    setPageName(pagetexts::PrerequisitesName);
    setRows(page, prerequisiteRows());
    setDownloadButton(IDC_PREREQ_DOWNLOAD, wizardtexts::DownloadInstallables);
}

void ovDPreRequisitesPageBase::updateControls() {
    for (int i = 0; i < RemovableRows; ++i)
        view().enableControl(rowControls()[i].uninstall, rowStatus(i) != components::status::NotInstalled);
}

void ovDPreRequisitesPageBase::initControls() {
    placeRowButtons(wizardtexts::InstallTip, wizardtexts::UninstallTip);
    placeDownloadButton();
}

void ovDPreRequisitesPageBase::onCommand(int controlId) {
    for (int i = 0; i < RemovableRows; ++i) {
        if (controlId == rowControls()[i].uninstall) {
            uninstallComponents(i, i);
            return;
        }
    }
    ovDPropertyPageBase::onCommand(controlId);
}

ovDInstallPreRequisites::ovDInstallPreRequisites(wizard::PageEnvironment& environment, std::string title)
    : ovDPreRequisitesPageBase(environment, IDD_PREREQUISITES, std::move(title), pagetexts::PrerequisitesHeader,
                               components::CataloguePage::Prerequisites) {}

bool ovDInstallPreRequisites::isPageSkipped() { return rowCount() > 0 && refreshAllRows() == 1; }

bool ovDInstallPreRequisites::onSetActive() {
    activateComponentPage(true, true, wizardtexts::Cancel);
    return true;
}

int ovDInstallPreRequisites::onWizardNext() {
    installComponents(0, LastInstalledRow, true);
    return ovDPropertyPageBase::onWizardNext();
}

ovDInstallPreRequisitesStatus::ovDInstallPreRequisitesStatus(wizard::PageEnvironment& environment,
                                                             std::string title)
    : ovDPreRequisitesPageBase(environment, IDD_PREREQUISITES_STATUS, std::move(title),
                               pagetexts::PrerequisitesStatusHeader, components::CataloguePage::PrerequisitesStatus),
      statusLine_(pagetexts::PrerequisitesProceed) {
    bindText(IDC_PREREQ_STATUS_LINE, &statusLine_);
}

void ovDInstallPreRequisitesStatus::updateStatusLine() {
    if (refreshAllRows() == 1) {
        view().setWizardButtons(true, true);
        statusLine_ = pagetexts::PrerequisitesProceed;
    } else {
        view().setWizardButtons(true, false);
        statusLine_ = pagetexts::PrerequisitesFailed;
    }
    showData();
}

bool ovDInstallPreRequisitesStatus::onSetActive() {
    updateStatusLine();
    view().setCancelText(wizardtexts::Cancel);
    showDownloadButton();
    refreshAllRows();
    showData();
    updateControls();
    return true;
}

void ovDInstallPreRequisitesStatus::updateControls() {
    ovDPreRequisitesPageBase::updateControls();
    updateStatusLine();
}

#include "pages/components/UtilitiesPages.h"

#include "components/Catalogue.h"
#include "pages/components/ComponentPageTexts.h"
#include "pages/components/UtilitiesPagesRes.h"
#include "wizard/WizardTexts.h"

namespace {

std::vector<wizard::RowControls> utilityRows(std::size_t count) {
    const int names[] = {IDC_UTIL_ROW0_NAME, IDC_UTIL_ROW1_NAME, IDC_UTIL_ROW2_NAME, IDC_UTIL_ROW3_NAME,
                         IDC_UTIL_ROW4_NAME};
    std::vector<wizard::RowControls> rows;
    for (std::size_t i = 0; i < count; ++i) {
        // Each row's five identifiers follow its name's: status, action, install, uninstall.
        const int name = names[i];
        rows.push_back({name, name + 1, name + 2, name + 3, name + 4});
    }
    return rows;
}

}  // namespace

ovDUtilitiesPageBase::ovDUtilitiesPageBase(wizard::PageEnvironment& environment, int templateId, std::string title,
                                           std::string headerText, components::CataloguePage page,
                                           const char* statusLine)
    : ovDPropertyPageBase(environment, templateId, std::move(title), std::move(headerText)), statusLine_(statusLine) {
    setRows(page, utilityRows(components::catalogueRows(page, environment.is64Bit).size()));
    bindText(IDC_UTIL_STATUS_LINE, &statusLine_);
    setDownloadButton(IDC_UTIL_DOWNLOAD, wizardtexts::DownloadInstallables);
}

void ovDUtilitiesPageBase::updateControls() { enableEveryRowsButtons(); }

void ovDUtilitiesPageBase::initControls() {
    placeRowButtons(wizardtexts::InstallTip, wizardtexts::UninstallTip);
    placeDownloadButton();
}

bool ovDUtilitiesPageBase::onSetActive() {
    view().setWizardButtons(true, true);
    if (!offersNext()) view().setWizardButtons(true, false);
    view().setCancelText(wizardtexts::Finish);
    showDownloadButton();
    refreshAllRows();
    showData();
    updateControls();
    view().afterShown([this] { showStatusWarnings(); });
    return true;
}

void ovDUtilitiesPageBase::onCommand(int controlId) {
    const auto& rows = rowControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i);
        if (controlId == rows[i].install) {
            installComponents(row, row, false);
            return;
        }
        if (controlId == rows[i].uninstall) {
            uninstallComponents(row, row);
            return;
        }
    }
    ovDPropertyPageBase::onCommand(controlId);
}

ovDInstallUtilities::ovDInstallUtilities(wizard::PageEnvironment& environment, std::string title)
    : ovDUtilitiesPageBase(environment, IDD_UTILITIES, std::move(title), pagetexts::Utilities1Header,
                           components::CataloguePage::Utilities, pagetexts::Utilities1StatusLine) {
    setPageName(pagetexts::Utilities1Name);
}

ovDInstallUtilities2::ovDInstallUtilities2(wizard::PageEnvironment& environment, std::string title)
    : ovDUtilitiesPageBase(environment, IDD_UTILITIES2, std::move(title), pagetexts::Utilities2Header,
                           components::CataloguePage::Utilities2, pagetexts::Utilities2StatusLine),
      is64Bit_(environment.is64Bit) {
    setPageName(pagetexts::Utilities2Name);
}

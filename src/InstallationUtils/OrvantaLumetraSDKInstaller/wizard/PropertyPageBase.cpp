#include "wizard/PropertyPageBase.h"

#include <stdexcept>

#include "app/AppTexts.h"
#include "app/RunLog.h"
#include "components/StatusRules.h"
#include "components/StatusTexts.h"
#include "wizard/WizardIds.h"
#include "wizard/WizardTexts.h"

namespace wizard {

namespace {

// Stands in for the window while a page has none (before its first activation, or during navigation that
// only asks whether it is skipped): the page's strings still change, nothing is shown.
class NoWindow : public PageView {
public:
    void setText(int, const std::string&) override {}
    void setChecked(int, bool) override {}
    bool isChecked(int) override { return false; }
    void enableControl(int, bool) override {}
    void showControl(int, bool) override {}
    void placeImageButton(int, PageImage, int, const std::string&) override {}
    void setWizardButtons(bool, bool) override {}
    void setCancelText(const std::string&) override {}
    void afterShown(std::function<void()> work) override { work(); }
    void startTimer(unsigned, unsigned) override {}
    void stopTimer(unsigned) override {}
    void addComboItem(int, const std::string&) override {}
    void selectComboText(int, const std::string&) override {}
    std::optional<std::string> comboSelection(int) override { return std::nullopt; }
};

NoWindow noWindow;

// Pages that work alone (in tests) have no sheet: Next and Back then let the framework move.
class NoSheet : public PageSheet {
public:
    int gotoNextPage() override { return -1; }
    int gotoPreviousPage() override { return -1; }
    bool sdkSelected() const override { return selected_; }
    void setSdkSelected(bool selected) override { selected_ = selected; }

private:
    bool selected_ = false;
};

NoSheet noSheet;

}  // namespace

ovDPropertyPageBase::ovDPropertyPageBase(PageEnvironment& environment, int templateId, std::string title,
                                         std::string headerText)
    : environment_(environment),
      templateId_(templateId),
      title_(std::move(title)),
      headerText_(std::move(headerText)) {
    components::OperationContext context = environment_.operationContext();
    // Every status a probe changes goes into the run log under this page's name (read when it happens: the
    // page's own constructor names the page after this one has run).
    context.statusChanged = [this](const dvComponentInfo& row, const std::string& before, const std::string& after) {
        runlog::statusChange(pageName_, row.displayName(), before, after);
    };
    components_.setContext(context);
}

ovDPropertyPageBase::~ovDPropertyPageBase() = default;

PageView& ovDPropertyPageBase::view() { return view_ ? *view_ : noWindow; }

PageSheet& ovDPropertyPageBase::sheet() { return sheet_ ? *sheet_ : noSheet; }

void ovDPropertyPageBase::setRows(components::CataloguePage page, const std::vector<RowControls>& controls) {
    const std::size_t count = components::catalogueRows(page, environment_.is64Bit).size();
    if (controls.size() != count) throw std::logic_error("a page lays out every one of its rows");
    if (!rows_.empty()) throw std::logic_error("a page's rows are set once");
    rows_.resize(count);
    rowControls_ = controls;
    std::vector<components::RowLabels> labels;
    labels.reserve(count);
    for (auto& strings : rows_) labels.push_back({&strings.name, &strings.status, &strings.action});
    components_.setComponents(components::buildComponents(page, environment_.appFolder, environment_.serverBase,
                                                          environment_.is64Bit, labels));
    for (std::size_t i = 0; i < count; ++i) {
        if (controls[i].name) bindText(controls[i].name, &rows_[i].name);
        if (controls[i].status) bindText(controls[i].status, &rows_[i].status);
        if (controls[i].action) bindText(controls[i].action, &rows_[i].action);
    }
}

void ovDPropertyPageBase::bindText(int controlId, const std::string* text) { texts_.push_back({controlId, text}); }

void ovDPropertyPageBase::bindCheck(int controlId, bool* value) { checks_.push_back({controlId, value}); }

void ovDPropertyPageBase::setDownloadButton(int controlId, std::string label) {
    downloadButtonId_ = controlId;
    downloadLabel_ = std::move(label);
}

void ovDPropertyPageBase::showDownloadButton() {
    if (downloadButtonId_) view().showControl(downloadButtonId_, environment_.folderWritable);
}

void ovDPropertyPageBase::onInitDialog() {
    showData();
    initControls();
}

bool ovDPropertyPageBase::onSetActive() {
    refreshAllRows();
    showData();
    updateControls();
    return true;
}

int ovDPropertyPageBase::onWizardNext() { return sheet().gotoNextPage() >= 0 ? -1 : 0; }

int ovDPropertyPageBase::onWizardBack() { return sheet().gotoPreviousPage() >= 0 ? -1 : 0; }

void ovDPropertyPageBase::onCommand(int controlId) {
    if (controlId != 0 && controlId == downloadButtonId_) {
        unsigned char ignoreAll = 0;
        downloadAllComponents(&ignoreAll);
    }
}

void ovDPropertyPageBase::onTimer(unsigned timerId) {
    if (timerId != wizardids::RefreshTimer) return;
    view().stopTimer(wizardids::RefreshTimer);
    showData();
    updateControls();
    view().startTimer(wizardids::RefreshTimer, wizardids::RefreshPeriodMs);
}

int ovDPropertyPageBase::refreshAllRows() {
    if (rowCount() == 0) return 1;
    return components::refreshStatuses(environment_.machine, components_, 0, static_cast<int>(rowCount()) - 1);
}

void ovDPropertyPageBase::showData() {
    for (const auto& binding : texts_) view().setText(binding.controlId, *binding.text);
    for (const auto& binding : checks_) view().setChecked(binding.controlId, *binding.value);
}

void ovDPropertyPageBase::readData() {
    for (const auto& binding : checks_) *binding.value = view().isChecked(binding.controlId);
}

template <typename Operation>
int ovDPropertyPageBase::runInFrame(Operation operation) {
    view().startTimer(wizardids::RefreshTimer, wizardids::RefreshPeriodMs);
    int result = 0;
    try {
        result = operation();
    } catch (...) {
        environment_.ui.applicationMessage(wizardtexts::UnexpectedError101);
        result = 0;
    }
    view().stopTimer(wizardids::RefreshTimer);
    refreshAllRows();
    showData();
    updateControls();
    return result;
}

int ovDPropertyPageBase::installComponents(int first, int last, bool checkAll) {
    return runInFrame([&] { return components_.installComponents(first, last, checkAll); });
}

int ovDPropertyPageBase::installComponentList(const int* indices, int count) {
    return runInFrame([&] { return components_.installComponentList(indices, count); });
}

int ovDPropertyPageBase::uninstallComponents(int first, int last) {
    return runInFrame([&] { return components_.uninstallComponents(first, last); });
}

int ovDPropertyPageBase::downloadAllComponents(unsigned char* ignoreAll) {
    return runInFrame([&] { return components_.downloadAllComponents(true, ignoreAll); });
}

int ovDPropertyPageBase::downloadComponentList(const int* indices, int count, unsigned char* ignoreAll) {
    return runInFrame([&] { return components_.downloadComponentList(indices, count, false, ignoreAll); });
}

void ovDPropertyPageBase::showStatusWarnings() {
    namespace status = components::status;
    static constexpr struct {
        const char* status;
        const char* warning;
    } warnings[] = {
        {status::VersionMismatch, wizardtexts::VersionMismatchWarning},
        {status::ReinstallNeeded, wizardtexts::ReinstallNeededWarning},
        {status::MultipleVersions, wizardtexts::MultipleVersionsWarning},
        {status::IncompleteModule, wizardtexts::IncompleteModuleWarning},
    };
    for (const auto& strings : rows_) {
        for (const auto& entry : warnings) {
            if (strings.status == entry.status) {
                environment_.ui.messageBox(entry.warning, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None,
                                           true);
                return;
            }
        }
    }
}

void ovDPropertyPageBase::enableRowButtons(int installId, int uninstallId, int firstRow, int lastRow) {
    bool anyNotInstalled = false;
    bool anyInstalledAtAll = false;
    for (int i = firstRow; i <= lastRow; ++i) {
        const std::string& status = rows_.at(static_cast<std::size_t>(i)).status;
        if (status != components::status::Installed) anyNotInstalled = true;
        if (status != components::status::NotInstalled) anyInstalledAtAll = true;
    }
    if (installId) view().enableControl(installId, anyNotInstalled);
    if (uninstallId) view().enableControl(uninstallId, anyInstalledAtAll);
}

void ovDPropertyPageBase::enableEveryRowsButtons() {
    for (std::size_t i = 0; i < rowControls_.size(); ++i)
        enableRowButtons(rowControls_[i].install, rowControls_[i].uninstall, static_cast<int>(i),
                         static_cast<int>(i));
}

void ovDPropertyPageBase::placeRowButtons(const std::string& installTip, const std::string& uninstallTip) {
    for (const auto& controls : rowControls_) {
        if (controls.install)
            view().placeImageButton(controls.install, PageImage::Install, wizardids::InstallButtonX, installTip);
        if (controls.uninstall)
            view().placeImageButton(controls.uninstall, PageImage::Remove, wizardids::UninstallButtonX,
                                    uninstallTip);
    }
}

void ovDPropertyPageBase::placeDownloadButton() {
    if (downloadButtonId_)
        view().placeImageButton(downloadButtonId_, PageImage::Download, wizardids::DownloadButtonX, downloadLabel_);
}

void ovDPropertyPageBase::activateComponentPage(bool back, bool next, const char* cancelText) {
    view().setWizardButtons(back, next);
    view().setCancelText(cancelText);
    showDownloadButton();
    refreshAllRows();
    showData();
    updateControls();
}

}  // namespace wizard

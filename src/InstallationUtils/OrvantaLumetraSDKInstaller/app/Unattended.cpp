#include "app/Unattended.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <memory>

#include "app/RunLog.h"
#include "app/UnattendedTexts.h"
#include "components/InstallManagerBase.h"
#include "components/OperationContext.h"
#include "components/ServerAddress.h"
#include "components/StatusReport.h"
#include "components/StatusRules.h"
#include "components/StatusTexts.h"
#include "platform/TextCompare.h"
#include "pages/content/TutorialsPage.h"
#include "versions/InstallerCopy.h"
#include "versions/InstallerCopyTexts.h"
#include "wizard/InstallerSheet.h"

namespace cli {

using components::CataloguePage;
namespace texts = unattendedtexts;

namespace {

// The pages a name may address. The second prerequisites page shows the first one's rows again, so it has
// no rows of its own to name.
constexpr CataloguePage NamedPages[] = {
    CataloguePage::Prerequisites,       CataloguePage::CoreComponents, CataloguePage::Extensions,
    CataloguePage::Modules,             CataloguePage::ThirdPartySoftwares, CataloguePage::IOSystem,
    CataloguePage::Utilities,           CataloguePage::Utilities2,
};

bool is64BitMachine(platform::Machine& machine) {
    return machine.environment.nativeArchitecture() == platform::arch::Amd64;
}

// One page's rows as the page builds them, with the page strings they write into.
class PageRows {
public:
    PageRows(CataloguePage page, const COrvantaLumetraSDKInstallerApp& app, platform::Machine& machine,
             bool is64Bit)
        : page_(page) {
        const std::size_t count = components::catalogueRows(page, is64Bit).size();
        std::vector<components::RowLabels> labels;
        for (std::size_t i = 0; i < count; ++i) {
            strings_.resize(strings_.size() + 3);
            auto at = strings_.end() - 3;
            labels.push_back({&*at, &*(at + 1), &*(at + 2)});
        }
        manager.setComponents(components::buildComponents(page, app.appFolder(), components::serverBaseUrl(machine),
                                                          is64Bit, labels));
    }

    void refresh(platform::Machine& machine) {
        components::refreshStatuses(machine, manager, 0, static_cast<int>(manager.componentCount()) - 1);
    }

    components::StatusReportRow reportRow(int index) const {
        const dvComponentInfo& row = manager.component(static_cast<unsigned>(index));
        return {components::cataloguePageName(page_), static_cast<unsigned>(index), row.displayName(),
                row.statusText()};
    }

    dvInstallManagerBase manager;

private:
    CataloguePage page_;
    std::deque<std::string> strings_;  // a deque keeps the addresses the rows hold
};

int statusReport(const Request& request, COrvantaLumetraSDKInstallerApp& app, Output& out) {
    platform::Machine& machine = app.machine();
    std::vector<components::StatusReportRow> rows;
    for (CataloguePage page : components::AllCataloguePages) {
        auto pageRows = components::refreshPageRows(machine, page, is64BitMachine(machine), app.appFolder());
        rows.insert(rows.end(), pageRows.begin(), pageRows.end());
    }
    const std::string report = request.json ? components::formatStatusJson(rows) : components::formatStatusText(rows);
    return out.report(report) ? Success : Failure;
}

}  // namespace

ui::Answer AnsweringUi::messageBox(const std::string& text, const std::string&, ui::Buttons buttons, ui::Icon,
                                   bool) {
    messages.push_back(text);
    out_.message(text);
    if (buttons == ui::Buttons::Ok) return ui::Answer::Ok;
    if (yesLeft_ > 0) {
        --yesLeft_;
        return ui::Answer::Yes;
    }
    ++questionsDeclined;
    return ui::Answer::No;
}

void AnsweringUi::applicationMessage(const std::string& text) {
    messages.push_back(text);
    out_.message(text);
}

Resolution resolveNames(const std::vector<std::string>& names, bool is64Bit) {
    Resolution result;
    std::vector<std::vector<bool>> chosen;
    std::vector<std::vector<components::CatalogueRow>> catalogue;
    for (CataloguePage page : NamedPages) {
        catalogue.push_back(components::catalogueRows(page, is64Bit));
        chosen.emplace_back(catalogue.back().size(), false);
    }
    for (const std::string& name : names) {
        bool found = false;
        for (std::size_t p = 0; p < std::size(NamedPages) && !found; ++p) {
            if (text::equalsIgnoringCase(name, components::cataloguePageName(NamedPages[p]))) {
                std::fill(chosen[p].begin(), chosen[p].end(), true);
                found = true;
            }
        }
        // A component offered on two pages is the first page's row: installing it twice gains nothing.
        for (std::size_t p = 0; p < std::size(NamedPages) && !found; ++p) {
            for (std::size_t r = 0; r < catalogue[p].size() && !found; ++r) {
                if (text::equalsIgnoringCase(name, catalogue[p][r].displayName)) {
                    chosen[p][r] = true;
                    found = true;
                }
            }
        }
        if (!found) {
            result.unknownName = name;
            result.pages.clear();
            return result;
        }
    }
    for (std::size_t p = 0; p < std::size(NamedPages); ++p) {
        PageSelection selection{NamedPages[p], {}};
        for (std::size_t r = 0; r < chosen[p].size(); ++r)
            if (chosen[p][r]) selection.rows.push_back(static_cast<int>(r));
        if (!selection.rows.empty()) result.pages.push_back(std::move(selection));
    }
    return result;
}

Resolution everyRow(bool is64Bit) {
    Resolution result;
    for (CataloguePage page : NamedPages) {
        PageSelection selection{page, {}};
        const std::size_t count = components::catalogueRows(page, is64Bit).size();
        for (std::size_t r = 0; r < count; ++r) selection.rows.push_back(static_cast<int>(r));
        if (!selection.rows.empty()) result.pages.push_back(std::move(selection));
    }
    return result;
}

int exitCodeFor(const RunOutcome& outcome) {
    if (outcome.cancelled) return Cancelled;
    if (outcome.failed) return Failure;
    if (outcome.restartInitiated) return RestartInitiated;
    if (outcome.restartRequired) return RestartRequired;
    return Success;
}

namespace {

// A watched process: its exit code is looked at whenever it is known to have ended.
class WatchedProcess : public platform::Process {
public:
    WatchedProcess(std::unique_ptr<platform::Process> inner, RunSignals& signals)
        : inner_(std::move(inner)), signals_(signals) {}
    bool wait(uint32_t timeoutMs) override {
        const bool ended = inner_->wait(timeoutMs);
        if (ended) exitCode();
        return ended;
    }
    std::optional<uint32_t> exitCode() override {
        std::optional<uint32_t> code = inner_->exitCode();
        if (code) signals_.noteResult(*code);
        return code;
    }

private:
    std::unique_ptr<platform::Process> inner_;
    RunSignals& signals_;
};

}  // namespace

void RunSignals::noteResult(uint32_t result) {
    if (result == platform::win32error::SuccessRestartRequired) restartRequired = true;
    if (result == platform::win32error::SuccessRestartInitiated) restartInitiated = true;
}

uint32_t RestartWatchInstaller::configureProductAbsent(const std::string& productCode) {
    const uint32_t result = inner_.configureProductAbsent(productCode);
    signals_.noteResult(result);
    return result;
}

std::unique_ptr<platform::Process> RestartWatch::watched(std::unique_ptr<platform::Process> process) {
    if (!process) return nullptr;
    return std::make_unique<WatchedProcess>(std::move(process), signals_);
}

std::unique_ptr<platform::Process> RestartWatch::start(const std::string& program, const std::string& commandLine) {
    return watched(inner_.start(program, commandLine));
}

std::unique_ptr<platform::Process> RestartWatch::shellExecute(const std::string& verb, const std::string& file,
                                                              const std::string& parameters,
                                                              const std::string& directory,
                                                              platform::ShowCommand show) {
    return watched(inner_.shellExecute(verb, file, parameters, directory, show));
}

platform::Machine withWatches(const platform::Machine& m, platform::Processes& processes,
                              platform::WindowsInstaller& msi) {
    return {m.registry, msi, m.files, processes, m.environment, m.http, m.clock, m.debug, m.profile, m.versions,
            m.links};
}

namespace {

// Reinstalls, in page order, the rows whose status shows a problem, each after the repair question is
// answered Yes once: the repair removes what is wrong and the install puts the catalogue's component back.
// Each row is probed again first, since repairing an earlier one (Python) may have changed it. The rows that
// had a problem go into repaired; false when an operation failed.
bool repairRows(PageRows& rows, const std::vector<int>& selected, AnsweringUi& ui, platform::Machine& machine,
                std::vector<int>& repaired) {
    for (int index : selected) {
        components::refreshStatuses(machine, rows.manager, index, index);
        if (!components::hasProblemStatus(rows.manager.component(static_cast<unsigned>(index)))) continue;
        repaired.push_back(index);
        ui.grantYes(1);
        const bool ok = rows.manager.installComponents(index, index, false) >= 1;
        ui.grantYes(0);
        if (!ok) return false;
    }
    return true;
}

}  // namespace

namespace {

// The offline copy without the tree: the categories come from the command line, everything else is what the
// welcome page's "Create Installer Copy" does.
class LayoutSteps : public versions::InstallerCopySteps {
public:
    LayoutSteps(dvInstallManagerBase& rows, wizard::ovDLumetraSDKInstallerSheet& sheet) : rows_(rows), sheet_(sheet) {}
    bool selectComponents(versions::DownloadCategoryList&) override { return true; }
    void deleteAlwaysDownloadedFiles() override { rows_.deleteOldDownloads(true, false); }
    int downloadComponentList(const int* indices, int count, unsigned char* ignoreAll) override {
        return rows_.downloadComponentList(indices, count, false, ignoreAll);
    }
    int prepareHelpFiles(unsigned char* ignoreAll) override {
        helpResult = sheet_.prepareHelpFiles(true, ignoreAll);
        return helpResult;
    }
    int helpResult = 1;

private:
    dvInstallManagerBase& rows_;
    wizard::ovDLumetraSDKInstallerSheet& sheet_;
};

int layout(const Request& request, COrvantaLumetraSDKInstallerApp& app, components::OperationDialogs& dialogs,
           Output& out, RunSignals& signals) {
    platform::Machine& machine = app.machine();
    const bool is64Bit = is64BitMachine(machine);
    // The sheet without a window: its welcome page holds the copies of every page's rows that "Create Installer
    // Copy" offers, and the sheet prepares the help files as the wizard's does.
    wizard::PageEnvironment environment{machine, app.ui(), dialogs, app.appFolder(), app.folderWritable(),
                                        components::serverBaseUrl(machine), is64Bit};
    wizard::ovDLumetraSDKInstallerSheet sheet(environment);
    dvInstallManagerBase& rows = sheet.page(0).components();
    versions::DownloadCategoryList list;
    list.buildFromComponents(rows);
    if (!request.names.empty()) {
        if (auto unknown = list.selectOnlyCategories(request.names)) {
            out.message(texts::UnknownCategory + *unknown);
            return BadArguments;
        }
    }
    if (app.countInstances() >= 2) {
        out.message(texts::AnotherInstance);
        return AnotherInstanceRunning;
    }

    LayoutSteps steps(rows, sheet);
    // The archives' records write into the tutorials page's strings: the page lives as long as the run.
    ovDInstallTutorials tutorials(environment, installercopytexts::TutorialsTitle);
    const versions::CopyResult result = versions::createInstallerCopy(
        list, steps, environment.operationContext(),
        [&tutorials](dvInstallManagerBase& target) { return tutorials.collectTutorialArchives(target); });

    RunOutcome outcome;
    outcome.cancelled = signals.cancelled;
    outcome.failed = result != versions::CopyResult::Done || steps.helpResult != 1;
    if (outcome.cancelled)
        out.message(texts::RunCancelled);
    else if (outcome.failed)
        out.message(texts::LayoutIncomplete);
    else
        out.message(texts::RunSucceeded);
    return exitCodeFor(outcome);
}

}  // namespace

LogCopy startLogCopy(const Request& request, platform::Machine& machine, Output& out) {
    LogCopy copy;
    if (!request.logFile) return copy;
    copy.log = runlog::RunLog::create(machine, *request.logFile);
    if (!copy.log) {
        out.message(texts::CannotWriteLog + *request.logFile);
        copy.refused = true;
        return copy;
    }
    runlog::setCopy(copy.log.get());
    return copy;
}

int runUnattended(const Request& request, COrvantaLumetraSDKInstallerApp& app, AnsweringUi& ui,
                  components::OperationDialogs& dialogs, Output& out) {
    RunSignals none;
    return runUnattended(request, app, ui, dialogs, out, none);
}

int runUnattended(const Request& request, COrvantaLumetraSDKInstallerApp& app, AnsweringUi& ui,
                  components::OperationDialogs& dialogs, Output& out, RunSignals& signals) {
    if (request.action == Action::Usage) return out.report(texts::Usage) ? Success : Failure;
    if (request.action == Action::Status) return statusReport(request, app, out);
    if (request.action == Action::Layout) return layout(request, app, dialogs, out, signals);

    platform::Machine& machine = app.machine();
    const bool is64Bit = is64BitMachine(machine);
    // A /repair without names answers for the rows it finds wrong; with names, for every row named.
    const bool repairEveryRow = request.action == Action::Repair && request.names.empty();
    Resolution resolution = repairEveryRow ? everyRow(is64Bit) : resolveNames(request.names, is64Bit);
    if (!resolution.unknownName.empty()) {
        out.message(texts::UnknownName + resolution.unknownName);
        return BadArguments;
    }
    // Two installers changing the same machine at once would each judge rows the other is changing.
    if (app.countInstances() >= 2) {
        out.message(texts::AnotherInstance);
        return AnotherInstanceRunning;
    }

    // Removal goes the other way round: later pages and rows build on earlier ones (modules on the Runtime,
    // packages on their Python).
    if (request.action == Action::Uninstall) std::reverse(resolution.pages.begin(), resolution.pages.end());

    std::vector<components::StatusReportRow> touched;
    std::string failedPage;
    std::string notRepaired;
    for (const PageSelection& selection : resolution.pages) {
        PageRows rows(selection.page, app, machine, is64Bit);
        // The application's user interface puts the questions and their answers into the run log, and so do
        // the rows' status changes.
        components::OperationContext context{machine, app.ui(), dialogs, app.appFolder()};
        const std::string pageName = components::cataloguePageName(selection.page);
        context.statusChanged = [pageName](const dvComponentInfo& row, const std::string& before,
                                           const std::string& after) {
            runlog::statusChange(pageName, row.displayName(), before, after);
        };
        rows.manager.setContext(context);
        // The repair check judges the statuses the page would be showing.
        rows.refresh(machine);
        bool ok = true;
        std::vector<int> answerable = selection.rows;
        switch (request.action) {
            case Action::Install: {
                const int count = static_cast<int>(selection.rows.size());
                ui.grantYes(1);
                ok = rows.manager.installComponentList(selection.rows.data(), count) >= 1;
                ui.grantYes(0);
                break;
            }
            case Action::Uninstall:
                for (auto it = selection.rows.rbegin(); it != selection.rows.rend() && ok; ++it)
                    ok = rows.manager.uninstallComponents(*it, *it) >= 1;
                break;
            default: {
                std::vector<int> repaired;
                ok = repairRows(rows, selection.rows, ui, machine, repaired);
                if (repairEveryRow) answerable = repaired;
                break;
            }
        }
        rows.refresh(machine);
        for (int index : answerable) {
            touched.push_back(rows.reportRow(index));
            if (request.action == Action::Repair && touched.back().status != components::status::Installed)
                notRepaired += (notRepaired.empty() ? "" : ", ") + touched.back().displayName;
        }
        if (!ok || signals.cancelled) {
            failedPage = pageName;
            break;
        }
    }

    RunOutcome outcome;
    outcome.cancelled = signals.cancelled;
    outcome.restartRequired = signals.restartRequired;
    outcome.restartInitiated = signals.restartInitiated;
    const bool written = out.report(components::formatStatusText(touched));
    outcome.failed = !failedPage.empty() || !notRepaired.empty() || !written;
    if (outcome.cancelled) {
        out.message(texts::RunCancelled);
    } else if (!failedPage.empty()) {
        out.message(texts::RunFailed + failedPage);
    } else if (!notRepaired.empty()) {
        out.message(texts::NotRepaired + notRepaired);
    } else {
        out.message(texts::RunSucceeded);
        if (outcome.restartInitiated)
            out.message(texts::RestartInitiated);
        else if (outcome.restartRequired)
            out.message(texts::RestartRequired);
    }
    return exitCodeFor(outcome);
}

}  // namespace cli

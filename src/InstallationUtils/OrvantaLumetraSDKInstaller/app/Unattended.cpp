#include "app/Unattended.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <memory>

#include "app/UnattendedTexts.h"
#include "components/InstallManagerBase.h"
#include "components/OperationContext.h"
#include "components/ServerAddress.h"
#include "components/StatusReport.h"
#include "components/StatusRules.h"
#include "platform/TextCompare.h"

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

int runUnattended(const Request& request, COrvantaLumetraSDKInstallerApp& app, AnsweringUi& ui,
                  components::OperationDialogs& dialogs, Output& out) {
    if (request.action == Action::Usage) return out.report(texts::Usage) ? Success : Failure;
    if (request.action == Action::Status) return statusReport(request, app, out);

    platform::Machine& machine = app.machine();
    const bool is64Bit = is64BitMachine(machine);
    Resolution resolution = resolveNames(request.names, is64Bit);
    if (!resolution.unknownName.empty()) {
        out.message(texts::UnknownName + resolution.unknownName);
        return BadArguments;
    }
    // Two installers changing the same machine at once would each judge rows the other is changing.
    if (app.countInstances() >= 2) {
        out.message(texts::AnotherInstance);
        return AnotherInstanceRunning;
    }

    const bool install = request.action == Action::Install;
    // Removal goes the other way round: later pages and rows build on earlier ones (modules on the Runtime,
    // packages on their Python).
    if (!install) std::reverse(resolution.pages.begin(), resolution.pages.end());

    std::vector<components::StatusReportRow> touched;
    std::string failedPage;
    for (const PageSelection& selection : resolution.pages) {
        PageRows rows(selection.page, app, machine, is64Bit);
        // The application's user interface puts the questions and their answers into the run log.
        rows.manager.setContext({machine, app.ui(), dialogs, app.appFolder()});
        // The repair check judges the statuses the page would be showing.
        rows.refresh(machine);
        bool ok = true;
        if (install) {
            ui.grantYes(1);
            ok = rows.manager.installComponentList(selection.rows.data(), static_cast<int>(selection.rows.size())) >= 1;
            ui.grantYes(0);
        } else {
            for (auto it = selection.rows.rbegin(); it != selection.rows.rend() && ok; ++it)
                ok = rows.manager.uninstallComponents(*it, *it) >= 1;
        }
        rows.refresh(machine);
        for (int index : selection.rows) touched.push_back(rows.reportRow(index));
        if (!ok) {
            failedPage = components::cataloguePageName(selection.page);
            break;
        }
    }

    const bool written = out.report(components::formatStatusText(touched));
    if (!failedPage.empty()) {
        out.message(texts::RunFailed + failedPage);
        return Failure;
    }
    out.message(texts::RunSucceeded);
    return written ? Success : Failure;
}

}  // namespace cli

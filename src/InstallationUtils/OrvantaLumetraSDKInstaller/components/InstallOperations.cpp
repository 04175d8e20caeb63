// The operations of a page's list on the machine, and the per-row steps they are made of.
#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/AppTexts.h"
#include "app/FileUtils.h"
#include "app/RunLog.h"
#include "app/RunLogTexts.h"
#include "components/ActionTexts.h"
#include "components/InstallManagerBase.h"
#include "components/InstalledTable.h"
#include "components/PackagedModules.h"
#include "components/RemovalRules.h"
#include "components/StatusRules.h"
#include "components/StatusTexts.h"
#include "download/Fetch.h"
#include "platform/TextFormat.h"

using components::DialogEnd;
using components::DownloadErrorChoice;
using components::DownloadRunFlags;
namespace action = components::action;
namespace texts = components::operationtexts;

namespace {

void tell(const components::OperationContext& context, const std::string& text) {
    context.ui.messageBox(text, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, true);
}

void report(const components::OperationContext& context, const char* format) {
    std::string message = text::format(format, context.dataFolder().c_str());
    if (message.size() > texts::MaxReportChars) message.resize(texts::MaxReportChars);
    tell(context, message);
}

// A row's step, shown in its action column and written to the run log.
void step(const dvComponentInfo& row, const char* actionText) {
    row.setActionText(actionText);
    runlog::line(std::string(runlogtexts::Row) + row.displayName() + runlogtexts::RowStep + actionText);
}

// The status an operation found the row in after probing it; whoever watches the statuses hears of a change.
void settle(const components::OperationContext& context, const dvComponentInfo& row, const char* status) {
    const std::string before = row.statusText();
    row.setStatusText(status);
    if (context.statusChanged && before != status) context.statusChanged(row, before, status);
}

void begin(const char* operation, int rows) {
    runlog::line(std::string(runlogtexts::Operation) + operation + " (" + std::to_string(rows) + ")");
}

int finish(const char* operation, int result) {
    runlog::line(std::string(runlogtexts::Operation) + operation + runlogtexts::OperationResult +
                 std::to_string(result));
    return result;
}

}  // namespace

const components::OperationContext& dvInstallManagerBase::context() const {
    if (!context_) throw std::logic_error("dvInstallManagerBase::context - no operation context set");
    return *context_;
}

bool dvInstallManagerBase::repairCheck(int first, int last) {
    const auto& ctx = context();
    const int count = static_cast<int>(componentCount());
    if (first < 0) first = 0;
    if (last > count - 1) last = count - 1;
    for (;;) {
        bool problem = false;
        for (int i = first; i <= last && !problem; ++i) problem = components::hasProblemStatus(component(i));
        if (!problem) return true;
        if (ctx.ui.messageBox(texts::RepairQuestion, apptexts::InstallerTitle, ui::Buttons::YesNo, ui::Icon::None,
                              true) != ui::Answer::Yes)
            return false;
        for (int i = first; i <= last; ++i)
            if (components::repairComponent(ctx.machine, component(i)) < 1) break;
        // A repair that did not take leaves its problem standing, and the question comes again.
        components::refreshStatuses(ctx.machine, *this, first, last);
    }
}

int dvInstallManagerBase::installComponents(int first, int last, bool checkAll) {
    constexpr const char* Name = "installComponents";
    const int count = static_cast<int>(componentCount());
    begin(Name, last - first + 1);
    if (checkAll) {
        if (count == 0) return finish(Name, -1);
        if (!repairCheck(0, count - 1)) return finish(Name, -1);
    } else if (!repairCheck(first, last)) {
        return finish(Name, -1);
    }
    for (int i = 0; i < count; ++i) component(i).setActionText(i >= first && i <= last ? action::Pending : action::Idle);
    for (int j = std::max(first, 0); j < count && j <= last; ++j)
        if (installComponent(component(j), j - first + 1, last - first + 1) < 1) return finish(Name, -1);
    return finish(Name, 1);
}

namespace {
bool indicesValid(const int* indices, int count, unsigned rows) {
    if (!indices || count <= 0) return false;
    for (int j = 0; j < count; ++j)
        if (indices[j] < 0 || static_cast<unsigned>(indices[j]) >= rows) return false;
    return true;
}

void markListed(dvInstallManagerBase& manager, const int* indices, int count) {
    std::vector<bool> listed(manager.componentCount(), false);
    for (int j = 0; j < count; ++j) listed[indices[j]] = true;
    for (unsigned i = 0; i < manager.componentCount(); ++i)
        manager.component(i).setActionText(listed[i] ? action::Pending : action::Idle);
}
}  // namespace

int dvInstallManagerBase::installComponentList(const int* indices, int count) {
    // An index outside the list would address a row that does not exist: nothing is done at all.
    constexpr const char* Name = "installComponentList";
    begin(Name, count);
    if (!indicesValid(indices, count, componentCount())) return finish(Name, -1);
    if (!repairCheck(0, static_cast<int>(componentCount()) - 1)) return finish(Name, -1);
    markListed(*this, indices, count);
    for (int j = 0; j < count; ++j)
        if (installComponent(component(indices[j]), j + 1, count) < 1) return finish(Name, -1);
    return finish(Name, 1);
}

int dvInstallManagerBase::uninstallComponents(int first, int last) {
    constexpr const char* Name = "uninstallComponents";
    const int count = static_cast<int>(componentCount());
    begin(Name, last - first + 1);
    for (int i = 0; i < count; ++i) component(i).setActionText(i >= first && i <= last ? action::Pending : action::Idle);
    // Last row first: a row may depend on the rows above it (packages on their Python).
    for (int i = last; i >= first && i >= 0; --i) {
        if (i >= count) continue;
        if (uninstallComponent(component(i), last - i + 1, last - first + 1) < 1) return finish(Name, -1);
    }
    return finish(Name, 1);
}

int dvInstallManagerBase::downloadAllComponents(bool showReport, unsigned char* ignoreAll) {
    std::vector<int> all(componentCount());
    for (unsigned i = 0; i < componentCount(); ++i) all[i] = static_cast<int>(i);
    return downloadComponentList(all.data(), static_cast<int>(all.size()), showReport, ignoreAll);
}

int dvInstallManagerBase::downloadComponentList(const int* indices, int count, bool showReport,
                                                unsigned char* ignoreAll) {
    constexpr const char* Name = "downloadComponentList";
    begin(Name, count);
    if (!ignoreAll || !indicesValid(indices, count, componentCount())) return finish(Name, -1);
    const auto& ctx = context();
    markListed(*this, indices, count);
    for (int pos = 0; pos < count;) {
        dvComponentInfo& row = component(indices[pos]);
        if (downloadComponent(row, pos + 1, count) >= 1 || *ignoreAll == 1) {
            ++pos;
            continue;
        }
        const std::string failure = text::format(texts::UnableToDownloadComponent, row.fileName().c_str());
        switch (ctx.dialogs.downloadError(failure)) {
            case DownloadErrorChoice::Retry:
                break;
            case DownloadErrorChoice::Ignore:
                ++pos;
                break;
            case DownloadErrorChoice::IgnoreAll:
                *ignoreAll = 1;
                ++pos;
                break;
            default:
                return finish(Name, -1);
        }
    }
    if (showReport) report(ctx, texts::DownloadReport);
    return finish(Name, 1);
}

int dvInstallManagerBase::deleteOldDownloads(bool onlyAlwaysDownload, bool showReport) {
    constexpr const char* Name = "deleteOldDownloads";
    const int count = static_cast<int>(componentCount());
    begin(Name, count);
    for (int i = 0; i < count; ++i) {
        dvComponentInfo& row = component(i);
        if (onlyAlwaysDownload && !row.alwaysDownload()) continue;
        if (deleteOldDownload(i + 1, row, count) < 1) return finish(Name, -1);
    }
    if (showReport) report(context(), texts::DeleteReport);
    return finish(Name, 1);
}

int dvInstallManagerBase::installComponent(dvComponentInfo& row, int index, int total) {
    const auto& ctx = context();
    if (components::isInstalled(ctx.machine, row)) {
        step(row, action::Ok);
        return 1;
    }
    step(row, action::Installing);
    DownloadRunFlags flags;
    flags.downloadOnly = components::isArchivePackaged(row.displayName());
    flags.forceDownload = false;
    flags.reportErrors = true;
    // The dialog's end says nothing reliable about the installer; the machine does.
    ctx.dialogs.downloadAndInstall(row, index, total, flags);
    if (!components::processDownloadedPackage(ctx, row) || !components::isInstalled(ctx.machine, row)) {
        step(row, action::Failed);
        return -1;
    }
    if (!components::runCustomActions(ctx, row)) tell(ctx, texts::CustomActionsFailed);
    step(row, action::Ok);
    settle(ctx, row, components::status::Installed);
    return 1;
}

int dvInstallManagerBase::uninstallComponent(dvComponentInfo& row, int index, int total) {
    const auto& ctx = context();
    if (!components::isInstalled(ctx.machine, row)) {
        step(row, action::Ok);
        return 1;
    }
    step(row, action::Uninstalling);
    // Whatever the removal reported, the component counts as removed only when it no longer probes installed.
    ctx.dialogs.uninstall(row, index, total);
    if (components::isInstalled(ctx.machine, row)) {
        step(row, action::UninstallError);
        return -1;
    }
    step(row, action::Ok);
    settle(ctx, row, components::status::NotInstalled);
    return 1;
}

int dvInstallManagerBase::downloadComponent(dvComponentInfo& row, int index, int total) {
    const auto& ctx = context();
    step(row, action::Downloading);
    download::DownloadPaths paths = download::downloadPaths(row.downloadFolder(), row.fileName());
    if (fileExists(ctx.machine, paths.final)) {
        step(row, action::Downloaded);
        return 1;
    }
    DownloadRunFlags flags;
    flags.downloadOnly = true;
    flags.forceDownload = false;
    flags.reportErrors = true;
    if (ctx.dialogs.downloadAndInstall(row, index, total, flags) == DialogEnd::Ok) {
        step(row, action::Downloaded);
        return 1;
    }
    step(row, action::DownloadError);
    return -1;
}

int dvInstallManagerBase::deleteOldDownload(int index, dvComponentInfo& row, int total) {
    const auto& ctx = context();
    download::DownloadPaths paths = download::downloadPaths(row.downloadFolder(), row.fileName());
    bool temporaryGone = deleteFileIfPresent(ctx.machine, paths.temporary);
    bool finalGone = deleteFileIfPresent(ctx.machine, paths.final);
    if (!temporaryGone || !finalGone) {
        tell(ctx, std::string(texts::UnableToDeleteOldDownloadBefore) + row.displayName() +
                      texts::UnableToDeleteOldDownloadAfter);
        return -1;
    }
    return 1;
}

#include "download/ProgramWatch.h"

#include "download/DialogIds.h"
#include "platform/TextCompare.h"

namespace download {

namespace {

// The process enumeration reads this many identifiers.
constexpr std::size_t MaxProcessIds = 1024;

bool aborted(AbortFlag flag) { return flag != nullptr && flag->load() != 0; }

}  // namespace

bool isProcessRunning(platform::Machine& machine, const std::string& programPath) {
    std::optional<std::vector<platform::ProcessEntry>> processes = machine.processes.list(MaxProcessIds);
    if (!processes) return false;
    for (const platform::ProcessEntry& process : *processes)
        if (process.id != 0 && !process.fullPath.empty() && text::equalsIgnoringCase(process.fullPath, programPath))
            return true;
    return false;
}

bool watchProgram(platform::Machine& machine, const std::string& programPath, AbortFlag abortFlag,
                  const WatchLimits& limits) {
    for (unsigned check = 0; check < limits.startChecks && !isProcessRunning(machine, programPath); ++check) {
        if (aborted(abortFlag)) return false;
        machine.clock.sleep(limits.startPollMs);
    }
    for (unsigned check = 0; check < limits.endChecks && isProcessRunning(machine, programPath); ++check) {
        if (aborted(abortFlag)) return false;
        machine.clock.sleep(limits.endPollMs);
    }
    return !aborted(abortFlag);
}

void DOpcScoutInstallPleaseWait::onWatchEnded() {
    if (!view_) return;
    closing_ = true;
    view_->startTimer(dialogids::CloseTimer, dialogids::ClosePeriodMs);
}

void DOpcScoutInstallPleaseWait::onTimer(unsigned id) {
    if (!view_ || !closing_ || id != dialogids::CloseTimer) return;
    view_->stopTimer(dialogids::CloseTimer);
    view_->end(components::DialogEnd::Ok);
}

}  // namespace download

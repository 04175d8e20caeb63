// Waiting for a program the installer did not start itself (the OPC Scout setup's clean-up program): first
// until it has started, then until it has ended, each with a time limit, and the "Please wait..." box that
// stays up meanwhile.
#pragma once

#include <string>

#include "download/Fetch.h"
#include "download/RunView.h"
#include "platform/Machine.h"

namespace download {

// A running process's main executable has exactly this full path (compared without regard to case).
bool isProcessRunning(platform::Machine& machine, const std::string& programPath);

struct WatchLimits {
    unsigned startChecks = 4800;  // about 120 s for the program to appear
    unsigned startPollMs = 25;
    unsigned endChecks = 600;  // about 10 minutes for it to end
    unsigned endPollMs = 1000;
};

// Waits for the program to start, then to end, within the limits, sleeping through the machine's clock.
// False when the abort byte stopped the watch (the box is going away and must not be told anything).
bool watchProgram(platform::Machine& machine, const std::string& programPath, AbortFlag abortFlag,
                  const WatchLimits& limits = {});

// The box's behaviour: once the watch has ended it closes on the first tick of its timer.
class DOpcScoutInstallPleaseWait {
public:
    explicit DOpcScoutInstallPleaseWait(std::string watchedProgram) : watchedProgram_(std::move(watchedProgram)) {}

    const std::string& watchedProgram() const { return watchedProgram_; }

    void onInitDialog(RunView& view) { view_ = &view; }
    // The worker's watch has ended without being aborted.
    void onWatchEnded();
    void onTimer(unsigned id);

private:
    std::string watchedProgram_;
    RunView* view_ = nullptr;
    bool closing_ = false;
};

}  // namespace download

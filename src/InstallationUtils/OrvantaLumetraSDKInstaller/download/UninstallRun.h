// One component removed by its removal rule: the behaviour of the uninstall progress dialog behind its
// window, and the worker body that calls the rule on the dialog's thread.
#pragma once

#include <cstdint>
#include <string>

#include "app/UserInterface.h"
#include "components/ComponentInfo.h"
#include "download/DownloadAndInstallRun.h"
#include "download/RunView.h"
#include "platform/Machine.h"

namespace download {

enum UninstallEvent : int {
    UninstallStarted = 102,
    UninstallCompleted = 104,
    UninstallFailed = 105,
};

class DUninstallComponent {
public:
    DUninstallComponent(int componentIndex, int componentCount, const dvComponentInfo& component);
    DUninstallComponent(const DUninstallComponent&) = delete;
    DUninstallComponent& operator=(const DUninstallComponent&) = delete;

    const dvComponentInfo& component() const { return component_; }

    // The window exists: caption, header, bar at 0. The host starts the worker afterwards.
    void onInitDialog(RunView& view);
    void onWorkerEvent(int code);
    void onTimer(unsigned id);
    void onAbort();
    // The person confirmed Abort: the dialog's Cancel was their wish, not a failure.
    bool abortedByUser() const { return abortedByUser_; }

    const std::string& titleText() const { return titleText_; }
    int progress() const { return progress_; }

    // A run nobody watches (the unattended command line) cannot wait for Abort after a failed removal: the
    // dialog then ends with Cancel at once, and the caller finds the component still installed.
    void setEndOnFailure(bool endOnFailure) { endOnFailure_ = endOnFailure; }

private:
    void setProgress(int position);

    const dvComponentInfo& component_;
    int componentIndex_, componentCount_;
    RunView* view_ = nullptr;
    int progress_ = 0;
    bool endOnFailure_ = false;
    bool abortedByUser_ = false;
    std::string titleText_, displayNameText_;
};

// The removal rule the worker runs (components::uninstallProduct in the program; tests may pass another).
using RemovalRule = bool (*)(platform::Machine& machine, const dvComponentInfo& record);

// The worker: UninstallStarted, the rule, then UninstallCompleted, or the failure message and UninstallFailed.
// An uninstallation once started runs to its end; the abort byte is not read.
void runUninstallWorker(platform::Machine& machine, ui::UserInterface& ui, const dvComponentInfo& record,
                        RemovalRule rule, WorkerEventSink& sink);

}  // namespace download

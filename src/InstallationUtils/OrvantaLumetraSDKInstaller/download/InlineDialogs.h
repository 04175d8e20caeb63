// The operations' dialogs without any window: each run's worker body runs on the calling thread and its
// events go straight into the same run logic the Win32 dialogs use. The engine's tests go from "install" to
// "row Ok" with it in milliseconds, and a run without a user (the unattended command line) uses it too.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/UserInterface.h"
#include "components/OperationDialogs.h"
#include "download/UninstallRun.h"
#include "platform/Machine.h"

namespace download {

class InlineDialogs : public components::OperationDialogs {
public:
    InlineDialogs(platform::Machine& machine, ui::UserInterface& ui, RemovalRule removal = nullptr);

    components::DialogEnd downloadAndInstall(const dvComponentInfo& record, int index, int total,
                                             const components::DownloadRunFlags& flags) override;
    components::DialogEnd uninstall(const dvComponentInfo& record, int index, int total) override;
    components::DownloadErrorChoice downloadError(const std::string& message) override;
    std::unique_ptr<components::PleaseWaitBox> pleaseWait() override;
    void waitForProgram(const std::string& programPath) override;

    // The answer to every download error.
    components::DownloadErrorChoice errorChoice = components::DownloadErrorChoice::Quit;
    // Presses Abort when the run receives this worker event (before handling it), and answers the
    // confirmation with confirmAbort. A confirmed abort stops the worker as the dialog's going away does.
    std::optional<int> abortAtEvent;
    bool confirmAbort = true;

    // What the runs showed, for tests and a run log: every worker event handled, every message box asked.
    std::vector<int> eventsHandled;
    std::vector<std::string> questions;
    // The last run's texts as its window would have shown them.
    std::string lastCaption, lastHeaderFirst, lastHeaderSecond, lastStatus, lastSize, lastInstall;
    int lastProgress = 0;

private:
    class View;
    platform::Machine& machine_;
    ui::UserInterface& ui_;
    RemovalRule removal_;
};

}  // namespace download

// The operations' dialogs as real modal dialogs owned by the main window, each with its worker thread.
#pragma once

#include "components/OperationDialogs.h"
#include "download/UninstallRun.h"
#include "platform/Machine.h"

namespace download::win32 {

class Win32OperationDialogs : public components::OperationDialogs {
public:
    // machine must outlive every worker (the real machine lives for the whole process). removal defaults to
    // the catalogue's removal rules.
    explicit Win32OperationDialogs(platform::Machine& machine, RemovalRule removal = nullptr);

    // For runs nobody watches (the unattended command line): dialogs never wait for a button after a failure.
    void setUnattended(bool unattended) { unattended_ = unattended; }

    components::DialogEnd downloadAndInstall(const dvComponentInfo& record, int index, int total,
                                             const components::DownloadRunFlags& flags) override;
    components::DialogEnd uninstall(const dvComponentInfo& record, int index, int total) override;
    components::DownloadErrorChoice downloadError(const std::string& message) override;
    std::unique_ptr<components::PleaseWaitBox> pleaseWait() override;
    void waitForProgram(const std::string& programPath) override;

private:
    platform::Machine& machine_;
    RemovalRule removal_;
    bool unattended_ = false;
};

}  // namespace download::win32

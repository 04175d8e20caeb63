// The download-and-install progress dialog on the screen: a thin host around the portable run, with the
// worker thread that fetches the file and runs its installer.
#pragma once

#include <windows.h>

#include <memory>

#include "components/OperationDialogs.h"
#include "controls/win32/ComponentInstallHeader.h"
#include "download/DownloadAndInstallRun.h"
#include "download/win32/DialogRunView.h"
#include "download/win32/ModalDialog.h"
#include "download/win32/WorkerThread.h"

namespace download::win32 {

class DownloadAndInstallDialog : public ModalDialog {
public:
    DownloadAndInstallDialog(platform::Machine& machine, const dvComponentInfo& record, int index, int total,
                             const components::DownloadRunFlags& flags);
    // Stops the worker (at most 5 s, then it is left behind).
    ~DownloadAndInstallDialog();

    components::DialogEnd doModal(HWND owner);
    bool abortedByUser() const { return run_.abortedByUser(); }

private:
    struct Shared : WorkerShared {
        InstallerRecord record;
        components::DownloadRunFlags flags;
        DownloadPaths paths;
    };
    INT_PTR handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onInitDialog(HWND dialog) override;

    platform::Machine& machine_;
    DDownloadAndInstallComponent run_;
    dvComponentInstallHeader header_;
    std::unique_ptr<DialogRunView> view_;
    std::shared_ptr<Shared> shared_;
    WorkerThread worker_;
};

}  // namespace download::win32

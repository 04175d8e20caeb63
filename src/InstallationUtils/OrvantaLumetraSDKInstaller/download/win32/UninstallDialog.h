// The uninstall progress dialog on the screen: a thin host around the portable run, with the worker thread
// that runs the component's removal rule.
#pragma once

#include <windows.h>

#include <memory>

#include "components/OperationDialogs.h"
#include "controls/win32/ComponentInstallHeader.h"
#include "download/UninstallRun.h"
#include "download/win32/DialogRunView.h"
#include "download/win32/ModalDialog.h"
#include "download/win32/WorkerThread.h"

namespace download::win32 {

class UninstallDialog : public ModalDialog {
public:
    // unattended: nobody watches; the removal's failure message goes to the debugger output instead of a
    // box, and a failed removal ends the dialog instead of waiting for Abort.
    UninstallDialog(platform::Machine& machine, const dvComponentInfo& record, int index, int total,
                    RemovalRule removal, bool unattended = false);
    ~UninstallDialog();

    components::DialogEnd doModal(HWND owner);
    bool abortedByUser() const { return run_.abortedByUser(); }

private:
    struct Shared : WorkerShared {
        explicit Shared(const dvComponentInfo& record) : record(record) {}
        dvComponentInfo record;  // the worker's own copy; the rules only read it
        RemovalRule removal = nullptr;
        bool unattended = false;
        SilentUserInterface silentUi;
    };
    INT_PTR handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onInitDialog(HWND dialog) override;

    platform::Machine& machine_;
    DUninstallComponent run_;
    dvComponentInstallHeader header_;
    std::unique_ptr<DialogRunView> view_;
    std::shared_ptr<Shared> shared_;
    WorkerThread worker_;
};

}  // namespace download::win32

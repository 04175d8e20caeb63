// The modal "Please wait..." box that watches a program start and end on a worker thread and closes about a
// second after the watch is over.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "download/ProgramWatch.h"
#include "download/win32/DialogRunView.h"
#include "download/win32/ModalDialog.h"
#include "download/win32/WorkerThread.h"

namespace download::win32 {

class OpcScoutWaitDialog : public ModalDialog {
public:
    OpcScoutWaitDialog(platform::Machine& machine, std::string watchedProgram);
    ~OpcScoutWaitDialog();

    components::DialogEnd doModal(HWND owner);

private:
    struct Shared : WorkerShared {
        std::string watchedProgram;
    };
    INT_PTR handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onInitDialog(HWND dialog) override;

    platform::Machine& machine_;
    DOpcScoutInstallPleaseWait box_;
    std::unique_ptr<DialogRunView> view_;
    std::shared_ptr<Shared> shared_;
    WorkerThread worker_;
};

}  // namespace download::win32

#include "download/win32/OpcScoutWaitDialog.h"

#include "download/DialogIds.h"
#include "download/DialogTexts.h"
#include "download/win32/PleaseWaitDialogRes.h"

namespace download::win32 {

namespace {
// The worker's only event: the watch is over.
constexpr int WatchEnded = 1;
}  // namespace

OpcScoutWaitDialog::OpcScoutWaitDialog(platform::Machine& machine, std::string watchedProgram)
    : ModalDialog("DOpcScoutInstallPleaseWait"), machine_(machine), box_(watchedProgram),
      shared_(std::make_shared<Shared>()) {
    shared_->watchedProgram = std::move(watchedProgram);
}

OpcScoutWaitDialog::~OpcScoutWaitDialog() {
    shared_->dialog.store(nullptr);
    shared_->signal.abort();
    if (!worker_.finish(dialogids::WorkerGraceMs))
        debugLine("DOpcScoutInstallPleaseWait::~DOpcScoutInstallPleaseWait", "worker left behind");
}

components::DialogEnd OpcScoutWaitDialog::doModal(HWND owner) {
    return runModal(IDD_OPC_SCOUT_WAIT, owner);
}

void OpcScoutWaitDialog::onInitDialog(HWND dialog) {
    SetWindowTextA(dialog, dialogtexts::PleaseWaitCaption);
    SetDlgItemTextA(dialog, IDC_OPC_SCOUT_WAIT_TEXT, dialogtexts::FinishingPleaseWait);
    view_ = std::make_unique<DialogRunView>(dialog, nullptr, DialogControls{});
    box_.onInitDialog(*view_);

    shared_->dialog.store(dialog);
    std::shared_ptr<Shared> shared = shared_;
    platform::Machine* machine = &machine_;
    worker_.start(
        [shared, machine] {
            if (!watchProgram(*machine, shared->watchedProgram, shared->signal.flag())) return;
            // The timer is started on the window's own thread, on the worker's word.
            DialogEventSink(shared).send(WatchEnded, 0);
        },
        "DOpcScoutInstallPleaseWait::workerThread");
}

INT_PTR OpcScoutWaitDialog::handle(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == workerEventMessage()) {
        if (static_cast<int>(wParam) == WatchEnded) box_.onWatchEnded();
        return TRUE;
    }
    switch (message) {
        case WM_TIMER:
            box_.onTimer(static_cast<unsigned>(wParam));
            return TRUE;
        case WM_COMMAND:
            // No buttons: Escape does not end the wait.
            if (LOWORD(wParam) == IDCANCEL) return TRUE;
            break;
        case WM_DESTROY:
            KillTimer(dialog, dialogids::CloseTimer);
            shared_->dialog.store(nullptr);
            shared_->signal.abort();
            break;
    }
    return FALSE;
}

}  // namespace download::win32

#include "download/win32/UninstallDialog.h"

#include <commctrl.h>

#include "download/DialogIds.h"
#include "download/DialogTexts.h"
#include "download/win32/UninstallDialogRes.h"
#include "resources/resource.h"

namespace download::win32 {

UninstallDialog::UninstallDialog(platform::Machine& machine, const dvComponentInfo& record, int index, int total,
                                 RemovalRule removal, bool unattended)
    : ModalDialog("DUninstallComponent"), machine_(machine), run_(index, total, record),
      header_("", "", IDB_COMPONENT_INSTALL_HEADER), shared_(std::make_shared<Shared>(record)) {
    shared_->removal = removal;
    shared_->unattended = unattended;
    run_.setEndOnFailure(unattended);
}

UninstallDialog::~UninstallDialog() {
    shared_->dialog.store(nullptr);
    shared_->signal.abort();
    if (!worker_.finish(dialogids::WorkerGraceMs))
        debugLine("DUninstallComponent::~DUninstallComponent", "worker left behind");
}

components::DialogEnd UninstallDialog::doModal(HWND owner) {
    return runModal(IDD_UNINSTALL, owner);
}

void UninstallDialog::onInitDialog(HWND dialog) {
    SetDlgItemTextA(dialog, IDCANCEL, dialogtexts::AbortLabel);
    SetDlgItemTextA(dialog, IDC_UNI_TEXT, dialogtexts::UninstallingPleaseWait);
    SendDlgItemMessageA(dialog, IDC_UNI_PROGRESS, PBM_SETRANGE32, 0, dialogids::ProgressMax);
    header_.create(dialog);
    view_ = std::make_unique<DialogRunView>(dialog, &header_, DialogControls{0, 0, 0, IDC_UNI_PROGRESS});
    run_.onInitDialog(*view_);

    shared_->dialog.store(dialog);
    std::shared_ptr<Shared> shared = shared_;
    platform::Machine* machine = &machine_;
    worker_.start(
        [shared, machine] {
            DialogEventSink sink(shared);
            ui::UserInterface& ui = shared->unattended ? static_cast<ui::UserInterface&>(shared->silentUi)
                                                       : static_cast<ui::UserInterface&>(shared->ui);
            runUninstallWorker(*machine, ui, shared->record, shared->removal, sink);
        },
        "DUninstallComponent::workerThread");
}

INT_PTR UninstallDialog::handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == workerEventMessage()) {
        run_.onWorkerEvent(static_cast<int>(wParam));
        return TRUE;
    }
    switch (message) {
        case WM_TIMER:
            if (wParam == DialogRunView::RefreshTimer) {
                if (view_) view_->flush();
            } else {
                run_.onTimer(static_cast<unsigned>(wParam));
            }
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                run_.onAbort();
                return TRUE;
            }
            break;
        case WM_PAINT:
            header_.placeAtTop(dialog);
            break;
        case WM_DESTROY:
            shared_->dialog.store(nullptr);
            KillTimer(dialog, dialogids::CreepTimer);
            break;
    }
    return FALSE;
}

}  // namespace download::win32

#include "download/win32/DownloadAndInstallDialog.h"

#include <commctrl.h>

#include "download/DialogIds.h"
#include "download/DialogTexts.h"
#include "download/win32/DownloadAndInstallDialogRes.h"
#include "resources/resource.h"

namespace download::win32 {

DownloadAndInstallDialog::DownloadAndInstallDialog(platform::Machine& machine, const dvComponentInfo& record, int index,
                                                   int total, const components::DownloadRunFlags& flags)
    : ModalDialog("DDownloadAndInstallComponent"), machine_(machine),
      run_(machine, index, total, record, flags.downloadOnly, flags.forceDownload, flags.reportErrors),
      header_("", "", IDB_COMPONENT_INSTALL_HEADER), shared_(std::make_shared<Shared>()) {
    shared_->record = InstallerRecord::of(record);
    shared_->flags = flags;
    shared_->paths = run_.paths();
}

DownloadAndInstallDialog::~DownloadAndInstallDialog() {
    shared_->dialog.store(nullptr);
    shared_->signal.abort();
    if (!worker_.finish(dialogids::WorkerGraceMs))
        debugLine("DDownloadAndInstallComponent::~DDownloadAndInstallComponent", "worker left behind");
}

components::DialogEnd DownloadAndInstallDialog::doModal(HWND owner) {
    return runModal(IDD_DOWNLOAD_AND_INSTALL, owner);
}

void DownloadAndInstallDialog::onInitDialog(HWND dialog) {
    SetDlgItemTextA(dialog, IDCANCEL, dialogtexts::AbortLabel);
    SendDlgItemMessageA(dialog, IDC_DAI_PROGRESS, PBM_SETRANGE32, 0, dialogids::ProgressMax);
    header_.create(dialog);
    view_ = std::make_unique<DialogRunView>(
        dialog, &header_, DialogControls{IDC_DAI_STATUS, IDC_DAI_SIZE, IDC_DAI_INSTALL, IDC_DAI_PROGRESS});
    run_.onInitDialog(*view_);

    // The worker starts once the window exists, so its first event has somewhere to go.
    shared_->dialog.store(dialog);
    std::shared_ptr<Shared> shared = shared_;
    platform::Machine* machine = &machine_;
    worker_.start(
        [shared, machine] {
            DialogEventSink sink(shared);
            runDownloadAndInstallWorker(*machine, shared->ui, shared->record, shared->flags, shared->paths,
                                        shared->signal, sink);
        },
        "DDownloadAndInstallComponent::workerThread");
}

INT_PTR DownloadAndInstallDialog::handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == workerEventMessage()) {
        run_.onWorkerEvent(static_cast<int>(wParam), static_cast<int32_t>(lParam));
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

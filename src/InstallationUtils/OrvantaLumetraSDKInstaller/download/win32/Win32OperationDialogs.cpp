#include "download/win32/Win32OperationDialogs.h"

#include <windows.h>
#include <commctrl.h>

#include "components/RemovalRules.h"
#include "download/win32/DownloadAndInstallDialog.h"
#include "download/win32/DownloadErrorDialog.h"
#include "download/win32/OpcScoutWaitDialog.h"
#include "download/win32/PleaseWaitDialog.h"
#include "download/win32/UninstallDialog.h"
#include "wizard/win32/Win32UserInterface.h"

namespace download::win32 {

Win32OperationDialogs::Win32OperationDialogs(platform::Machine& machine, RemovalRule removal)
    : machine_(machine), removal_(removal ? removal : &components::uninstallProduct) {
    // The progress dialogs' templates use the progress bar class.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
}

components::DialogEnd Win32OperationDialogs::downloadAndInstall(const dvComponentInfo& record, int index, int total,
                                                                const components::DownloadRunFlags& flags) {
    DownloadAndInstallDialog dialog(machine_, record, index, total, flags);
    return dialog.doModal(mainWindow());
}

components::DialogEnd Win32OperationDialogs::uninstall(const dvComponentInfo& record, int index, int total) {
    UninstallDialog dialog(machine_, record, index, total, removal_, unattended_);
    return dialog.doModal(mainWindow());
}

components::DownloadErrorChoice Win32OperationDialogs::downloadError(const std::string& message) {
    return DownloadErrorDialog(message).doModal(mainWindow());
}

std::unique_ptr<components::PleaseWaitBox> Win32OperationDialogs::pleaseWait() {
    return std::make_unique<PleaseWaitDialog>(mainWindow());
}

void Win32OperationDialogs::waitForProgram(const std::string& programPath) {
    OpcScoutWaitDialog dialog(machine_, programPath);
    dialog.doModal(mainWindow());
}

}  // namespace download::win32

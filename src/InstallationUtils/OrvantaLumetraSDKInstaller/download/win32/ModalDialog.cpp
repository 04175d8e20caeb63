#include "download/win32/ModalDialog.h"

#include <exception>

#include "download/win32/PleaseWaitDialog.h"
#include "download/win32/WorkerThread.h"

namespace download::win32 {

components::DialogEnd ModalDialog::runModal(int templateId, HWND owner) {
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner, dialogProc,
                                     reinterpret_cast<LPARAM>(this));
    return result == static_cast<INT_PTR>(components::DialogEnd::Ok) ? components::DialogEnd::Ok
                                                                     : components::DialogEnd::Cancel;
}

INT_PTR CALLBACK ModalDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ModalDialog* self = nullptr;
    try {
        if (message == WM_INITDIALOG) {
            self = reinterpret_cast<ModalDialog*>(lParam);
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            RECT before = {}, after = {};
            GetWindowRect(dialog, &before);
            self->onInitDialog(dialog);
            // Like every dialog of the framework, a modal dialog stands over the middle of its owner (the
            // wizard), not of the screen, unless its initialisation placed it itself.
            GetWindowRect(dialog, &after);
            if (after.left == before.left && after.top == before.top) centreOn(dialog, GetWindow(dialog, GW_OWNER));
            return TRUE;
        }
        self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
        return self ? self->handle(dialog, message, wParam, lParam) : FALSE;
    } catch (const std::exception& error) {
        if (self) debugLine((self->debugName_ + "::dialogProc").c_str(), error.what());
    } catch (...) {
        if (self) debugLine((self->debugName_ + "::dialogProc").c_str(), "unexpected exception");
    }
    return FALSE;
}

}  // namespace download::win32

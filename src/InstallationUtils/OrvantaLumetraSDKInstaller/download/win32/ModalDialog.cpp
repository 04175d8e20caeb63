#include "download/win32/ModalDialog.h"

#include <exception>

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
            self->onInitDialog(dialog);
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

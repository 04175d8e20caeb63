// What every modal dialog of the operations shares: the template run modally with the object as its creation
// parameter, and one dialog procedure that finds the object again in DWLP_USER, hands it initialisation and
// every later message, and stops every exception at the window's edge (one debugger line instead).
#pragma once

#include <windows.h>

#include <string>

#include "components/OperationDialogs.h"

namespace download::win32 {

class ModalDialog {
public:
    virtual ~ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

protected:
    // debugName: the class name of the dialog in the debugger lines ("Class::dialogProc - message").
    explicit ModalDialog(const char* debugName) : debugName_(debugName) {}

    // Runs the dialog template modally: OK when it ended with OK, Cancel otherwise.
    components::DialogEnd runModal(int templateId, HWND owner);

    virtual void onInitDialog(HWND dialog) = 0;
    // FALSE lets the dialog manager handle the message.
    virtual INT_PTR handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) = 0;

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    std::string debugName_;
};

}  // namespace download::win32

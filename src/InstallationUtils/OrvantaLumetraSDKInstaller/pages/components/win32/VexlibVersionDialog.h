// The Win32 DVexlibVersionSelection: the modal template carrying out the portable dialog's rules.
#pragma once

#include <windows.h>

#include "app/UserInterface.h"
#include "download/win32/ModalDialog.h"
#include "pages/components/VexlibVersionSelection.h"

namespace vexlib::win32 {

class VexlibVersionDialog : public vexlib::VexlibVariantDialog {
public:
    explicit VexlibVersionDialog(ui::UserInterface& ui) : ui_(ui) {}
    std::optional<int> chooseVariant(int currentVariant, bool ippInstalled) override;

private:
    ui::UserInterface& ui_;
};

}  // namespace vexlib::win32

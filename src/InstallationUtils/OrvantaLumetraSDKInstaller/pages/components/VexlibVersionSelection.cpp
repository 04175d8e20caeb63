#include "pages/components/VexlibVersionSelection.h"

#include "app/AppTexts.h"
#include "pages/components/OptionalPageTexts.h"
#include "pages/components/VexlibVersionSelectionRes.h"

namespace vexlib {

namespace {

constexpr int Radios[] = {IDC_VEXLIB_INTEL, IDC_VEXLIB_INTEL_IPP, IDC_VEXLIB_VC8, IDC_VEXLIB_VC8_IPP,
                          IDC_VEXLIB_BETA};

}  // namespace

int DVexlibVersionSelection::radioOf(int variant) {
    return variant >= 1 && variant <= VariantCount ? Radios[variant - 1] : 0;
}

void DVexlibVersionSelection::onInitDialog(SelectionView& view) const {
    if (!ipp_) {
        view.enableControl(IDC_VEXLIB_INTEL_IPP, false);
        view.enableControl(IDC_VEXLIB_VC8_IPP, false);
    }
    const bool ippBuild = current_ == IntelBlendIpp || current_ == Vc8Ipp;
    for (int variant = 1; variant <= VariantCount; ++variant)
        view.setChecked(radioOf(variant), variant == current_ && (ipp_ || !ippBuild));
    // The beta build is never offered here.
    view.showControl(IDC_VEXLIB_BETA, false);
}

void DVexlibVersionSelection::onRadioClicked(SelectionView& view, int controlId) const {
    for (int radio : Radios) view.setChecked(radio, radio == controlId);
}

std::optional<int> DVexlibVersionSelection::onSelect(SelectionView& view, ui::UserInterface& ui) const {
    for (int variant = 1; variant <= VariantCount; ++variant)
        if (view.isChecked(radioOf(variant))) return variant;
    ui.messageBox(pagetexts::VexlibSelectAVersion, apptexts::InstallerTitle, ui::Buttons::Ok, ui::Icon::None, true);
    return std::nullopt;
}

}  // namespace vexlib

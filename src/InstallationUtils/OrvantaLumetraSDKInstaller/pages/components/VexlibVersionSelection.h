// DVexlibVersionSelection: the modal dialog in which the person picks the build of the image library the
// Runtime should use. The dialog's behaviour is portable and works through a small view; the Win32 dialog
// only carries it out. The modules page opens it through VexlibVariantDialog.
#pragma once

#include <optional>

#include "app/UserInterface.h"

namespace vexlib {

// The builds, numbered as the modules page numbers them (0 = none of them).
enum Variant { NoVariant = 0, IntelBlend = 1, IntelBlendIpp = 2, Vc8 = 3, Vc8Ipp = 4, VexlibBeta = 5 };
inline constexpr int VariantCount = 5;

// What the dialog asks of its window.
class SelectionView {
public:
    virtual ~SelectionView() = default;
    virtual void setChecked(int controlId, bool checked) = 0;
    virtual bool isChecked(int controlId) = 0;
    virtual void enableControl(int controlId, bool enabled) = 0;
    virtual void showControl(int controlId, bool shown) = 0;
};

class DVexlibVersionSelection {
public:
    DVexlibVersionSelection(int currentVariant, bool ippInstalled) : current_(currentVariant), ipp_(ippInstalled) {}

    // The radio button of a variant (1-5).
    static int radioOf(int variant);

    void onInitDialog(SelectionView& view) const;
    // A radio button was clicked: it alone is checked.
    void onRadioClicked(SelectionView& view, int controlId) const;
    // Select: the first checked variant in the order 1-5; none checked tells the person and keeps the dialog
    // open (nullopt).
    std::optional<int> onSelect(SelectionView& view, ui::UserInterface& ui) const;

private:
    int current_;
    bool ipp_;
};

// Opens the dialog modally; the chosen variant, or none when it was cancelled.
class VexlibVariantDialog {
public:
    virtual ~VexlibVariantDialog() = default;
    virtual std::optional<int> chooseVariant(int currentVariant, bool ippInstalled) = 0;
};

}  // namespace vexlib

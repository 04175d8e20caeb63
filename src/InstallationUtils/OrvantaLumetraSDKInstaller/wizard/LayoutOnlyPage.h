// A page whose own behaviour is not built yet: it shows its layout's fixed texts, passes Back and Next
// through, and is never skipped.
#pragma once

#include "wizard/PropertyPageBase.h"

namespace wizard {

class LayoutOnlyPage : public ovDPropertyPageBase {
public:
    LayoutOnlyPage(PageEnvironment& environment, int templateId, std::string title, std::string headerText,
                   std::string pageName, bool first, const char* cancelText)
        : ovDPropertyPageBase(environment, templateId, std::move(title), std::move(headerText)),
          first_(first),
          cancelText_(cancelText) {
        setPageName(std::move(pageName));
    }
    bool isPageSkipped() override { return false; }
    void updateControls() override {}
    void initControls() override {}
    bool onSetActive() override {
        view().setWizardButtons(!first_, true);
        view().setCancelText(cancelText_);
        return ovDPropertyPageBase::onSetActive();
    }

private:
    bool first_;
    const char* cancelText_;
};

}  // namespace wizard

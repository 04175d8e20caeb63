// The core components page: the Orvanta Runtime and the Lumetra SDK. It is the wizard's gate (Next only while
// the wanted core is complete, and only then does Cancel read "Finish") and keeps the choice whether the SDK is
// wanted on this machine.
#pragma once

#include "wizard/PropertyPageBase.h"

class ovDInstallCoreComponents : public wizard::ovDPropertyPageBase {
public:
    ovDInstallCoreComponents(wizard::PageEnvironment& environment, std::string title);

    bool isPageSkipped() override { return false; }
    void updateControls() override;
    void initControls() override;
    void onInitDialog() override;
    bool onSetActive() override;
    void onCommand(int controlId) override;

    // Settles Back/Next and the Cancel label from whether the wanted core is complete; returns that.
    bool updateFinishButton();
    bool sdkWanted() const { return sdkWanted_; }

    static constexpr int RuntimeRow = 0;
    static constexpr int SdkRow = 1;

private:
    void sdkBoxClicked();
    bool sdkWanted_;
};

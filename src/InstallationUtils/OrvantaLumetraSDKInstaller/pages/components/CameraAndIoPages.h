// The camera-driver page (FireWire, GigE and USB camera drivers in the form that suits the machine, and the
// exclusive Basler pylon choice in a combo box) and the IO page (Advantech IO-card software, one row each).
#pragma once

#include "wizard/PropertyPageBase.h"

class ovDInstall3rdPartyInstallations : public wizard::ovDPropertyPageBase {
public:
    ovDInstall3rdPartyInstallations(wizard::PageEnvironment& environment, std::string title);

    enum Row { UbCore = 0, FireI = 1, SonyZcl = 2, PylonSdk2 = 3, PylonSdk3 = 4, Pylon4Runtime = 5,
               ICCapture = 6, ImagingSourceDriver = 7 };

    bool isPageSkipped() override { return false; }
    void updateControls() override;
    void initControls() override;
    void onInitDialog() override;
    bool onSetActive() override;
    void onCommand(int controlId) override;

    // The combo box and its status text show the installed Basler package ("None" when there is none).
    void showCurrentBaslerPylonSDK();
    // The person picked an entry: 1 when something was done or refused, -1 when nothing changed.
    int processNewBaslerPylonSDKInstallation();

    bool is64BitMachine() const { return is64Bit_; }
    const std::string& baslerChoice() const { return baslerChoice_; }

private:
    void uninstallCurrentBaslerPylonSDK();
    void installNewBaslerPylonSDK();

    bool is64Bit_;
    std::string baslerChoice_;
    std::string baslerStatus_;
    std::string statusLine_;
};

class ovDInstallIOSystemInstallations : public wizard::ovDPropertyPageBase {
public:
    ovDInstallIOSystemInstallations(wizard::PageEnvironment& environment, std::string title);

    bool isPageSkipped() override { return false; }
    void updateControls() override;
    void initControls() override;
    bool onSetActive() override;
    void onCommand(int controlId) override;

private:
    std::string statusLine_;
};

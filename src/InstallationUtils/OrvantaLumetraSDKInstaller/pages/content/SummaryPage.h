// The installation complete page: confirms the installation and, while the SDK is wanted, offers quick links
// that start the programs and open the documents the SDK and the Runtime installed.
#pragma once

#include <string>

#include "wizard/PropertyPageBase.h"

class ovDInstallSummarySDK : public wizard::ovDPropertyPageBase {
public:
    ovDInstallSummarySDK(wizard::PageEnvironment& environment, std::string title);

    bool isPageSkipped() override { return false; }
    void updateControls() override {}
    void initControls() override {}
    bool onSetActive() override;
    // A quick link was clicked (the link controls' click reaches the page as their command).
    void onCommand(int controlId) override;

    // The folders as last read from the registry (with their trailing backslash); empty until found.
    const std::string& sdkFolder() const { return sdkFolder_; }
    const std::string& runtimeFolder() const { return runtimeFolder_; }
    void readFolders();

    // Every control that shows only while the SDK is wanted: the links note and frame, the links, the markers.
    static const int SdkOnlyControls[];
    static const int SdkOnlyControlCount;

private:
    std::string sdkFolder_;
    std::string runtimeFolder_;
    std::string statusLine_;
};

// The modules page: the archive-packaged IPP module added to and removed from the Runtime, and which of the
// Runtime's prepared builds of the image library (VexLib) is active, recognised by file time and size and
// switched through DVexlibVersionSelection. Nothing here works without the Runtime under its own name.
#pragma once

#include "wizard/PropertyPageBase.h"

class ovDInstallModules : public wizard::ovDPropertyPageBase {
public:
    ovDInstallModules(wizard::PageEnvironment& environment, std::string title);

    static constexpr int IppRow = 0;

    bool isPageSkipped() override { return false; }
    void updateControls() override;
    void initControls() override;
    bool onSetActive() override;
    int onWizardNext() override;
    void onCommand(int controlId) override;

    // True when the Runtime is registered under its own name; otherwise tells the person and gives false.
    bool runtimeGuard();
    // Finds the active build from the Runtime's "VexLib.dll" and shows it.
    void detectVexlibVariant();
    // Lets the person pick a build and puts its files in place of the active ones.
    void changeVexlibVariant();

    int currentVariant() const { return currentVariant_; }
    const std::string& variantText() const { return variantText_; }
    const std::string& variantStatus() const { return variantStatus_; }

private:
    // Puts the build's library files in place of the Runtime's as one set; false after telling the person.
    bool replaceLibraryFiles(const std::string& runtimeFolder, const std::string& buildFolder);
    void tell(const std::string& text);

    int currentVariant_ = 0;
    std::string variantText_;
    std::string variantStatus_;
    std::string note_;
    std::string statusLine_;
};

// The two optional utility pages: every row with its own Install and Uninstall, a warning for the first row
// with a problem, and the second page the last of the wizard.
#pragma once

#include "wizard/PropertyPageBase.h"

class ovDUtilitiesPageBase : public wizard::ovDPropertyPageBase {
public:
    ovDUtilitiesPageBase(wizard::PageEnvironment& environment, int templateId, std::string title,
                         std::string headerText, components::CataloguePage page, const char* statusLine);
    bool isPageSkipped() override { return false; }
    void updateControls() override;
    void initControls() override;
    bool onSetActive() override;
    void onCommand(int controlId) override;

protected:
    // Page 2 never offers Next.
    virtual bool offersNext() const = 0;

private:
    std::string statusLine_;
};

class ovDInstallUtilities : public ovDUtilitiesPageBase {
public:
    ovDInstallUtilities(wizard::PageEnvironment& environment, std::string title);

protected:
    bool offersNext() const override { return true; }
};

class ovDInstallUtilities2 : public ovDUtilitiesPageBase {
public:
    ovDInstallUtilities2(wizard::PageEnvironment& environment, std::string title);
    bool is64BitMachine() const { return is64Bit_; }

protected:
    bool offersNext() const override { return false; }

private:
    bool is64Bit_;
};

// The two prerequisites pages: the first installs the Microsoft run-times when the person presses Next and is
// passed over while they are all in place; the second shows whether that worked and lets the person go on
// only when it did.
#pragma once

#include "wizard/PropertyPageBase.h"

// The rows and buttons both pages share.
class ovDPreRequisitesPageBase : public wizard::ovDPropertyPageBase {
public:
    ovDPreRequisitesPageBase(wizard::PageEnvironment& environment, int templateId, std::string title,
                             std::string headerText, components::CataloguePage page);
    void updateControls() override;
    void initControls() override;
    void onCommand(int controlId) override;
    // Rows 0-2 (the Visual C++ run-times) can be removed; .Net and Windows Installer cannot.
    static constexpr int RemovableRows = 3;
};

class ovDInstallPreRequisites : public ovDPreRequisitesPageBase {
public:
    ovDInstallPreRequisites(wizard::PageEnvironment& environment, std::string title);
    // Passed over while every row is installed and correct (probed now, so the rows show it too).
    bool isPageSkipped() override;
    bool onSetActive() override;
    // Installs rows 0-3 (Windows Installer 3.1 is shown, never installed here), then moves on.
    int onWizardNext() override;
    // The last row the Next installation covers.
    static constexpr int LastInstalledRow = 3;
};

class ovDInstallPreRequisitesStatus : public ovDPreRequisitesPageBase {
public:
    ovDInstallPreRequisitesStatus(wizard::PageEnvironment& environment, std::string title);
    bool isPageSkipped() override { return false; }
    bool onSetActive() override;
    void updateControls() override;
    const std::string& statusLine() const { return statusLine_; }

private:
    // Next only while every row is installed and correct, with the line that says so.
    void updateStatusLine();
    std::string statusLine_;
};

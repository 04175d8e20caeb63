// The start page: the welcome text, the installer versions kept on this computer (switching between them and
// tidying up copies left beside the installer), the installer's offline copy, and the news of a newer installer.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "components/ComponentInfo.h"
#include "wizard/PropertyPageBase.h"

// What the welcome page asks of its window beyond every page's view.
class WelcomeWindow {
public:
    virtual ~WelcomeWindow() = default;
    // Makes the hidden new-version icon and link beside the version selector.
    virtual void createNewVersionIndicator() = 0;
    // Shows the icon and the link (the link with this text, fitted to it), or hides both.
    virtual void showNewVersionIndicator(bool shown, const std::string& linkText) = 0;
    // Empties a drop-down list.
    virtual void clearCombo(int comboId) = 0;
    // Asks the wizard's main window to close (the installer ends).
    virtual void closeWizard() = 0;
};

class ovDInstallWelcomeBase : public wizard::ovDPropertyPageBase {
public:
    ovDInstallWelcomeBase(wizard::PageEnvironment& environment, std::string title);

    // The pause before the first copy of a pass is moved (a previous installer has just handed over).
    static constexpr uint32_t HandOverPauseMs = 5000;

    // Copies of the other pages' rows; their labels write into a hidden text of this page.
    void setPageComponents(unsigned count, const dvComponentInfo* records);

    void attachWindow(WelcomeWindow* window) { window_ = window; }

    // Hooks the sheet and the program set.
    // The latest version number once the check has found a newer installer; none before or otherwise.
    std::function<std::optional<std::string>()> newerVersion;
    // Opens the new-version dialog.
    std::function<void()> openNewVersionDialog;
    // Runs "Create Installer Copy" over the page's rows.
    std::function<void()> createInstallerCopy;
    // Called after the rows were handed over, to rebuild what is derived from them (the download categories).
    std::function<void(const dvInstallManagerBase&)> componentsChanged;
    // Removes the downloaded help files including their archive.
    std::function<void()> deleteHelpFiles;

    const std::string& currentVersionEntry() const { return currentVersionEntry_; }
    const std::string& welcomeText() const { return welcomeText_; }

    bool isPageSkipped() override { return false; }
    void updateControls() override {}
    void initControls() override;
    bool onSetActive() override;
    void onCommand(int controlId) override;
    // The new-version icon or link was clicked.
    void onNewVersionClicked();

private:
    std::string copiesFolder();
    std::string dataFolder();
    std::string runningPath();
    void fillVersionSelector();
    void switchVersion();
    void selectRunningEntry();
    void deleteCopy();
    void browseInstallers();
    void tell(const std::string& message);

    WelcomeWindow* window_ = nullptr;
    std::string heading_, welcomeText_, statusHint_, statusBar_, versionLabel_;
    std::string labelSink_;
    std::string currentVersionEntry_;
};

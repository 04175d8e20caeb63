// The application object: what is prepared before the wizard opens, the single-instance rule, and what is
// undone at exit.
#pragma once

#include <cstdint>
#include <string>

#include "app/UserInterface.h"
#include "platform/Machine.h"

// The window-system side of start-up and exit, supplied by the program (and by tests).
class ApplicationShell {
public:
    virtual ~ApplicationShell() = default;
    // GDI+ start-up; returns its token (0 when it failed).
    virtual uintptr_t startGraphics() = 0;
    virtual void stopGraphics(uintptr_t token) = 0;
    // Rich edit 2.0, the common-control classes, ActiveX containment.
    virtual void registerControlClasses() = 0;
    // Constructs the wizard sheet and runs it modally until the user closes it.
    virtual void runWizard() = 0;
};

class COrvantaLumetraSDKInstallerApp {
public:
    // Determines the application folder, tests it for writing and starts the graphics library.
    COrvantaLumetraSDKInstallerApp(platform::Machine& machine, ui::UserInterface& ui, ApplicationShell& shell);
    virtual ~COrvantaLumetraSDKInstallerApp();
    COrvantaLumetraSDKInstallerApp(const COrvantaLumetraSDKInstallerApp&) = delete;
    COrvantaLumetraSDKInstallerApp& operator=(const COrvantaLumetraSDKInstallerApp&) = delete;

    // Refuses a second instance or runs the wizard. Always false: the program ends without a message loop.
    virtual bool InitInstance();
    // Shuts the graphics library down. Returns the process exit code.
    virtual int ExitInstance();

    // Running processes whose executable has the release file name (the caller included).
    int countInstances();

    const std::string& appFolder() const { return appFolder_; }
    bool folderWritable() const { return folderWritable_; }
    platform::Machine& machine() { return machine_; }
    ui::UserInterface& ui() { return ui_; }

    // The folder part of an executable path: cut at the last "/" or "\" (the separator dropped); a path
    // without a separator is taken whole.
    static std::string folderOfPath(const std::string& path);
    // Creates and removes folder\testFile.txt; true when the create succeeded. Never leaves the file behind, and
    // never touches anything when the folder is unknown (empty).
    static bool writeTest(platform::Machine& machine, const std::string& folder);

private:
    platform::Machine& machine_;
    ui::UserInterface& ui_;
    ApplicationShell& shell_;
    std::string appFolder_;
    bool folderWritable_ = false;
    uintptr_t graphicsToken_ = 0;
    bool exited_ = false;
};

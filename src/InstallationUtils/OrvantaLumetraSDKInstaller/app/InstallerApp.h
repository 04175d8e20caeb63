// The application object: what is prepared before the wizard opens, the single-instance rule, and what is
// undone at exit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/LoggingUserInterface.h"
#include "app/RunLog.h"
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
    // Determines the application folder, tests it for writing, opens the run log and starts the graphics
    // library. machine() and ui() are the given ones with their debugger output and message boxes logged.
    COrvantaLumetraSDKInstallerApp(platform::Machine& machine, ui::UserInterface& ui, ApplicationShell& shell);
    virtual ~COrvantaLumetraSDKInstallerApp();
    COrvantaLumetraSDKInstallerApp(const COrvantaLumetraSDKInstallerApp&) = delete;
    COrvantaLumetraSDKInstallerApp& operator=(const COrvantaLumetraSDKInstallerApp&) = delete;

    // Refuses a second instance or runs the wizard. Always false: the program ends without a message loop.
    virtual bool InitInstance();
    // Shuts the graphics library down and closes the run log. Returns the process exit code.
    virtual int ExitInstance();

    // Running processes whose executable has the release file name (the caller included).
    int countInstances();

    const std::string& appFolder() const { return appFolder_; }
    bool folderWritable() const { return folderWritable_; }
    platform::Machine& machine() { return machine_; }
    ui::UserInterface& ui() { return ui_; }
    // This run's log file; nullptr when none could be created or after exit.
    const runlog::RunLog* runLog() const { return log_.get(); }

    // The folder part of an executable path: cut at the last "/" or "\" (the separator dropped); a path
    // without a separator is taken whole.
    static std::string folderOfPath(const std::string& path);
    // Creates and removes folder\testFile.txt; true when the create succeeded. Never leaves the file behind, and
    // never touches anything when the folder is unknown (empty).
    static bool writeTest(platform::Machine& machine, const std::string& folder);

private:
    void logStart();

    runlog::LoggingDebugOutput debug_;
    platform::Machine machine_;
    runlog::LoggingUserInterface ui_;
    std::unique_ptr<runlog::RunLog> log_;
    ApplicationShell& shell_;
    std::string appFolder_;
    bool folderWritable_ = false;
    uintptr_t graphicsToken_ = 0;
    bool exited_ = false;
};

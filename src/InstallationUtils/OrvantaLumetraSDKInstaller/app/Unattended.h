// Runs a request of the unattended command line on the machine: the status report, or installs, removals and
// repairs of named rows with the same operations the wizard's pages use, answered without a person.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/InstallerApp.h"
#include "app/RunLog.h"
#include "app/UserInterface.h"
#include "components/Catalogue.h"
#include "components/OperationDialogs.h"

namespace cli {

// Windows Installer's convention, which fleet tools already understand.
enum ExitCode : int {
    Success = 0,
    BadArguments = 87,
    Cancelled = 1602,
    Failure = 1603,
    AnotherInstanceRunning = 1618,
    RestartInitiated = 1641,
    RestartRequired = 3010,
};

// What a run of /install, /uninstall or /repair came to.
struct RunOutcome {
    // An operation failed, a row /repair is answerable for is not installed and correct afterwards, or the
    // report could not be written.
    bool failed = false;
    // The person watching a /passive progress dialog pressed its Abort and confirmed it.
    bool cancelled = false;
    // A program the run started (a setup, msiexec, an uninstaller) or a Windows Installer removal ended with
    // 3010: its change takes effect after a restart.
    bool restartRequired = false;
    // One of them ended with 1641: it has started restarting the computer itself.
    bool restartInitiated = false;
};

// Cancelled (1602) whatever else happened, since the run did not do all it was asked; otherwise Failure
// (1603) when anything failed; otherwise RestartInitiated (1641) when a program started a restart, then
// RestartRequired (3010) when one asked for a restart; otherwise Success (0).
int exitCodeFor(const RunOutcome& outcome);

// What a run learns on the way that the machine's state does not show. Set on the dialogs' and workers'
// threads.
struct RunSignals {
    std::atomic<bool> cancelled{false};
    std::atomic<bool> restartRequired{false};
    std::atomic<bool> restartInitiated{false};
    // A program's exit code or a Windows Installer result: 3010 (ERROR_SUCCESS_REBOOT_REQUIRED) raises
    // restartRequired, 1641 (ERROR_SUCCESS_REBOOT_INITIATED) restartInitiated; anything else nothing.
    void noteResult(uint32_t result);
};

// The machine's processes, passed through, watching the exit code of every program that is started and
// waited for (RunSignals::noteResult). Whether an operation succeeded is still judged by probing the machine
// afterwards, never by an exit code.
class RestartWatch : public platform::Processes {
public:
    RestartWatch(platform::Processes& inner, RunSignals& signals) : inner_(inner), signals_(signals) {}

    std::unique_ptr<platform::Process> start(const std::string& program, const std::string& commandLine) override;
    intptr_t shellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                       const std::string& directory, platform::ShowCommand show) override {
        return inner_.shellOpen(verb, file, parameters, directory, show);
    }
    std::unique_ptr<platform::Process> shellExecute(const std::string& verb, const std::string& file,
                                                    const std::string& parameters, const std::string& directory,
                                                    platform::ShowCommand show) override;
    std::optional<std::vector<platform::ProcessEntry>> list(std::size_t maxIds) override { return inner_.list(maxIds); }
    platform::WindowId findTopLevelWindow(const std::string& title) override { return inner_.findTopLevelWindow(title); }
    bool sendCommand(platform::WindowId window, uint32_t commandId) override {
        return inner_.sendCommand(window, commandId);
    }
    bool requestClose(platform::WindowId window) override { return inner_.requestClose(window); }
    void broadcastSettingChange(const std::string& text, uint32_t timeoutMs) override {
        inner_.broadcastSettingChange(text, timeoutMs);
    }
    void startDetached(std::function<void()> task) override { inner_.startDetached(std::move(task)); }

private:
    std::unique_ptr<platform::Process> watched(std::unique_ptr<platform::Process> process);
    platform::Processes& inner_;
    RunSignals& signals_;
};

// Windows Installer, passed through, watching the result of every product removal the same way.
class RestartWatchInstaller : public platform::WindowsInstaller {
public:
    RestartWatchInstaller(platform::WindowsInstaller& inner, RunSignals& signals) : inner_(inner), signals_(signals) {}

    std::optional<std::string> productInfoEx(const std::string& productCode, platform::MsiContext context,
                                             const std::string& property, std::size_t bufferChars) override {
        return inner_.productInfoEx(productCode, context, property, bufferChars);
    }
    std::optional<std::string> productInfo(const std::string& productCode, const std::string& property,
                                           std::size_t bufferChars) override {
        return inner_.productInfo(productCode, property, bufferChars);
    }
    uint32_t enumProducts(uint32_t index, std::string& productCode) override {
        return inner_.enumProducts(index, productCode);
    }
    std::optional<std::string> fileVersion(const std::string& path, std::size_t bufferChars) override {
        return inner_.fileVersion(path, bufferChars);
    }
    uint32_t configureProductAbsent(const std::string& productCode) override;

private:
    platform::WindowsInstaller& inner_;
    RunSignals& signals_;
};

// The same machine with the watched processes and Windows Installer.
platform::Machine withWatches(const platform::Machine& machine, platform::Processes& processes,
                              platform::WindowsInstaller& msi);

// Where a run's words go.
class Output {
public:
    virtual ~Output() = default;
    // The report a script reads (the status text or JSON document); nothing else is ever mixed into it.
    // False when it could not be written.
    virtual bool report(const std::string& text) = 0;
    // One line for the person watching: a failure's message, the outcome.
    virtual void message(const std::string& line) = 0;
};

// The user interface of a run nobody answers. Every message goes to the output instead of a box. Questions
// are answered Yes as long as answers are granted and No afterwards: the repair question is asked again for
// as long as a repair does not take, and an unconditional Yes would ask it forever.
class AnsweringUi : public ui::UserInterface {
public:
    explicit AnsweringUi(Output& out) : out_(out) {}
    ui::Answer messageBox(const std::string& text, const std::string& caption, ui::Buttons buttons, ui::Icon icon,
                          bool owned) override;
    void applicationMessage(const std::string& text) override;

    void grantYes(int answers) { yesLeft_ = answers; }

    std::vector<std::string> messages;
    int questionsDeclined = 0;

private:
    Output& out_;
    int yesLeft_ = 0;
};

// The rows a request names, page by page in the wizard's page order, rows in page order, each row once.
struct PageSelection {
    components::CataloguePage page;
    std::vector<int> rows;
};
struct Resolution {
    std::vector<PageSelection> pages;
    std::string unknownName;  // the first name that is neither a page nor a row; empty when all resolved
};
// Page names take a page's every row; other names are display names. Both compare without regard to case.
Resolution resolveNames(const std::vector<std::string>& names, bool is64Bit);
// Every row of every page a name may address.
Resolution everyRow(bool is64Bit);

// The copy of the run log that request.logFile asks for, made runlog's copy so that it gets every line from
// now on; it must be made before the application opens its own log. refused when the file cannot be
// written: the message is out, and the run ends with BadArguments before anything is done.
struct LogCopy {
    std::unique_ptr<runlog::RunLog> log;  // nullptr when no copy was asked for (or it was refused)
    bool refused = false;
};
LogCopy startLogCopy(const Request& request, platform::Machine& machine, Output& out);

// Runs a request and returns the process exit code. ui must be the application's user interface and the one
// dialogs report to; signals are what the dialogs and the application's processes (a RestartWatch) report.
int runUnattended(const Request& request, COrvantaLumetraSDKInstallerApp& app, AnsweringUi& ui,
                  components::OperationDialogs& dialogs, Output& out, RunSignals& signals);
// The same for a run whose dialogs and processes report nothing.
int runUnattended(const Request& request, COrvantaLumetraSDKInstallerApp& app, AnsweringUi& ui,
                  components::OperationDialogs& dialogs, Output& out);

}  // namespace cli

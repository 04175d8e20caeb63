#include "wizard/win32/Win32Unattended.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/InstallerApp.h"
#include "app/RunLog.h"
#include "app/RunLogTexts.h"
#include "app/Unattended.h"
#include "app/UnattendedTexts.h"
#include "components/RemovalRules.h"
#include "download/InlineDialogs.h"
#include "download/win32/DownloadAndInstallDialog.h"
#include "download/win32/UninstallDialog.h"
#include "download/win32/Win32OperationDialogs.h"
#include "platform/win32/Win32Machine.h"
#include "wizard/win32/Win32UserInterface.h"

namespace {

bool writeAll(HANDLE handle, const std::string& text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        if (!WriteFile(handle, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

// The program is a window program: it has no console of its own. A tool that redirected its output hands
// the handles over at start; a person at a command prompt gets the prompt's console.
class ConsoleOutput : public cli::Output {
public:
    explicit ConsoleOutput(std::optional<std::string> outFile) : outFile_(std::move(outFile)) {
        out_ = GetStdHandle(STD_OUTPUT_HANDLE);
        err_ = GetStdHandle(STD_ERROR_HANDLE);
        if (usable(out_) && usable(err_)) return;
        if (AttachConsole(ATTACH_PARENT_PROCESS)) {
            console_ = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
            if (!usable(out_)) out_ = console_;
            if (!usable(err_)) err_ = console_;
        }
    }
    ~ConsoleOutput() override {
        if (usable(console_)) CloseHandle(console_);
    }
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    bool report(const std::string& text) override {
        if (!outFile_) return writeAll(out_, text);
        HANDLE file = CreateFileA(outFile_->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            message(unattendedtexts::CannotWriteOut + *outFile_);
            return false;
        }
        const bool written = writeAll(file, text);
        return CloseHandle(file) && written;
    }
    void message(const std::string& line) override { writeAll(err_, line + "\n"); }

private:
    static bool usable(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    std::optional<std::string> outFile_;
    HANDLE out_ = nullptr, err_ = nullptr, console_ = INVALID_HANDLE_VALUE;
};

// The progress dialogs of a /passive run, without the boxes that wait for someone to press OK: a fleet tool
// would wait for ever. A failed download still fails its row; the run's output says which. The person
// watching may still press Abort: once confirmed, the run is cancelled and no further dialog starts anything.
class PassiveDialogs : public components::OperationDialogs {
public:
    PassiveDialogs(platform::Machine& machine, std::atomic<bool>& cancelled)
        : machine_(machine), inner_(machine), cancelled_(cancelled) {
        inner_.setUnattended(true);
    }
    components::DialogEnd downloadAndInstall(const dvComponentInfo& record, int index, int total,
                                             const components::DownloadRunFlags& flags) override {
        if (cancelled_) return components::DialogEnd::Cancel;
        components::DownloadRunFlags quiet = flags;
        quiet.reportErrors = false;
        download::win32::DownloadAndInstallDialog dialog(machine_, record, index, total, quiet);
        const components::DialogEnd end = dialog.doModal(mainWindow());
        if (dialog.abortedByUser()) cancelled_ = true;
        return end;
    }
    components::DialogEnd uninstall(const dvComponentInfo& record, int index, int total) override {
        if (cancelled_) return components::DialogEnd::Cancel;
        download::win32::UninstallDialog dialog(machine_, record, index, total, &components::uninstallProduct, true);
        const components::DialogEnd end = dialog.doModal(mainWindow());
        if (dialog.abortedByUser()) cancelled_ = true;
        return end;
    }
    components::DownloadErrorChoice downloadError(const std::string&) override {
        return components::DownloadErrorChoice::Quit;
    }
    std::unique_ptr<components::PleaseWaitBox> pleaseWait() override { return inner_.pleaseWait(); }
    void waitForProgram(const std::string& programPath) override { inner_.waitForProgram(programPath); }

private:
    platform::Machine& machine_;
    download::win32::Win32OperationDialogs inner_;
    std::atomic<bool>& cancelled_;
};

// An unattended run opens no wizard and draws no pictures.
class NoWizardShell : public ApplicationShell {
public:
    uintptr_t startGraphics() override { return 0; }
    void stopGraphics(uintptr_t) override {}
    void registerControlClasses() override {}
    void runWizard() override {}
};

}  // namespace

std::optional<int> runCommandLineRequest() {
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i] ? __argv[i] : "");
    if (args.empty()) return std::nullopt;

    cli::ParseResult parsed = cli::parseCommandLine(args);
    ConsoleOutput out(parsed.request ? parsed.request->outFile : std::nullopt);
    if (!parsed.request) {
        out.message(parsed.error);
        out.message(unattendedtexts::SeeUsage);
        return cli::BadArguments;
    }
    const cli::Request& request = *parsed.request;
    if (request.action == cli::Action::Usage) return out.report(unattendedtexts::Usage) ? cli::Success : cli::Failure;

    // The programs the run starts and its Windows Installer removals are watched for the results that ask for
    // a restart.
    cli::RunSignals signals;
    platform::Machine& real = platform::win32::realMachine();
    cli::RestartWatch processes(real.processes, signals);
    cli::RestartWatchInstaller msi(real.msi, signals);
    platform::Machine watched = cli::withWatches(real, processes, msi);

    // The copy of the run log exists before the application starts writing its log, so that it holds the
    // same lines from the first; a path that cannot be written is refused before anything is done.
    cli::LogCopy logCopy = cli::startLogCopy(request, watched, out);
    if (logCopy.refused) return cli::BadArguments;

    cli::AnsweringUi ui(out);
    NoWizardShell shell;
    COrvantaLumetraSDKInstallerApp app(watched, ui, shell);
    std::string requestLine = runlogtexts::Request;
    for (const std::string& arg : args) requestLine += " " + arg;
    runlog::line(requestLine);
    if (logCopy.log) runlog::line(runlogtexts::LogCopy + logCopy.log->path());
    // The application's machine and user interface put debugger output and messages into the run log.
    platform::Machine& machine = app.machine();
    std::unique_ptr<components::OperationDialogs> dialogs;
    if (request.display == cli::Display::Quiet)
        dialogs = std::make_unique<download::InlineDialogs>(machine, app.ui());
    else
        dialogs = std::make_unique<PassiveDialogs>(machine, signals.cancelled);
    const int code = cli::runUnattended(request, app, ui, *dialogs, out, signals);
    runlog::line(std::string(runlogtexts::RequestEnded) + std::to_string(code));
    // The copy gets the application's last line as well, then goes with logCopy.
    app.ExitInstance();
    return code;
}

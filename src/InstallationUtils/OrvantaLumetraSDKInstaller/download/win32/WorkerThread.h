// What a progress dialog and its worker thread share, and the thread itself.
//
// The dialog and the worker both own the shared block, so a worker that the dialog had to leave behind
// touches only memory it still owns. The worker reaches the dialog only by sending it the event message
// while the dialog's window exists; the dialog clears the window handle when its window goes.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "download/DownloadAndInstallRun.h"
#include "download/Fetch.h"
#include "wizard/win32/Win32UserInterface.h"

namespace download::win32 {

// WM_USER + 5: wParam = event code, lParam = the event's value.
UINT workerEventMessage();

// The worker's messages in a run nobody watches: a box would wait for ever, so the text goes to the
// debugger output; a question is answered No.
class SilentUserInterface : public ui::UserInterface {
public:
    ui::Answer messageBox(const std::string& text, const std::string& caption, ui::Buttons buttons, ui::Icon,
                          bool) override;
    void applicationMessage(const std::string& text) override;
};

struct WorkerShared {
    AbortSignal signal;
    std::atomic<HWND> dialog{nullptr};
    // The worker's own message boxes (the application's, owned by the main window).
    Win32UserInterface ui;
};

// Sends each event synchronously to the dialog, while its window exists.
class DialogEventSink : public WorkerEventSink {
public:
    explicit DialogEventSink(std::shared_ptr<WorkerShared> shared) : shared_(std::move(shared)) {}
    // Progress comes at most once per 100 KB; on a fast link that is hundreds of synchronous messages a
    // second, each a round trip to the dialog's thread that the download waits for. A progress event within
    // ProgressGapMs of the one before is not sent: the dialog shows no more than that anyway, and every other
    // event always goes.
    void send(int code, int32_t value) override;
    static constexpr DWORD ProgressGapMs = 30;

private:
    std::shared_ptr<WorkerShared> shared_;
    DWORD lastProgress_ = 0;
    bool progressSent_ = false;
};

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { finish(0); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs body on a new thread; an exception it throws ends only the thread (one debugger line).
    bool start(std::function<void()> body, const char* name);
    bool running() const { return handle_ != nullptr; }
    // Waits at most timeoutMs for the thread to end, handling messages sent to this thread meanwhile (a
    // worker's message box talks to its owner window); then lets the thread go. True when it ended.
    bool finish(DWORD timeoutMs);

private:
    HANDLE handle_ = nullptr;
};

// "Class::method - message" on the debugger output.
void debugLine(const char* where, const char* message);

}  // namespace download::win32

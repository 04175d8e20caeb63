// The background check for a newer installer, on a thread of its own while the wizard runs. When the check
// finds one it tells the sheet (WM_USER + 7, first parameter 101), which shows the current page again.
//
// Stopping never terminates the thread: the check's network call is cancelled (its request handle closed
// from this thread), the thread is given a bounded time to end, and a thread that still has not ended is left
// behind. It owns everything it touches (the checker and the signal, shared with this object), so it never
// touches freed memory, and it no longer knows the window.
#pragma once

#include <windows.h>

#include <atomic>
#include <future>
#include <memory>

#include "download/Fetch.h"
#include "versions/NewVersionInfo.h"

class CheckThread {
public:
    // The parameter of the message that announces a newer installer.
    static constexpr WPARAM NewerVersionFound = 101;

    CheckThread(std::shared_ptr<NewVersionInfo> checker, HWND window);
    // Stops the check and waits for the thread at most waitMs; true when it ended in time.
    bool stop(unsigned waitMs);
    ~CheckThread();
    CheckThread(const CheckThread&) = delete;
    CheckThread& operator=(const CheckThread&) = delete;

private:
    struct Shared {
        std::shared_ptr<NewVersionInfo> checker;
        download::AbortSignal abort;
        std::atomic<HWND> window{nullptr};
        std::promise<void> ended;
    };
    std::shared_ptr<Shared> shared_;
    std::future<void> ended_;
    bool stopped_ = false;
};

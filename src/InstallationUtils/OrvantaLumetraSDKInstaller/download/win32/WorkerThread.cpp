#include "download/win32/WorkerThread.h"

#include <process.h>

#include <string>

#include "download/DialogIds.h"
#include "download/Fetch.h"

namespace download::win32 {

namespace {

struct ThreadStart {
    std::function<void()> body;
    const char* name;
};

unsigned __stdcall threadProc(void* argument) {
    ThreadStart* start = static_cast<ThreadStart*>(argument);
    try {
        start->body();
    } catch (const std::exception& error) {
        debugLine(start->name, error.what());
    } catch (...) {
        debugLine(start->name, "unexpected exception");
    }
    delete start;
    return 0;
}

}  // namespace

UINT workerEventMessage() { return WM_USER + dialogids::WorkerEventOffset; }

void debugLine(const char* where, const char* message) {
    OutputDebugStringA((std::string(where) + " - " + message + "\n").c_str());
}

ui::Answer SilentUserInterface::messageBox(const std::string& text, const std::string& caption, ui::Buttons buttons,
                                           ui::Icon, bool) {
    debugLine(caption.c_str(), text.c_str());
    return buttons == ui::Buttons::YesNo ? ui::Answer::No : ui::Answer::Ok;
}

void SilentUserInterface::applicationMessage(const std::string& text) {
    debugLine("DUninstallComponent::workerThread", text.c_str());
}

void DialogEventSink::send(int code, int32_t value) {
    if (code == download::DownloadProgress) {
        DWORD now = GetTickCount();
        if (progressSent_ && now - lastProgress_ < ProgressGapMs) return;
        progressSent_ = true;
        lastProgress_ = now;
    }
    if (HWND dialog = shared_->dialog.load())
        SendMessageA(dialog, workerEventMessage(), static_cast<WPARAM>(code), static_cast<LPARAM>(value));
}

bool WorkerThread::start(std::function<void()> body, const char* name) {
    auto* start = new ThreadStart{std::move(body), name};
    uintptr_t handle = _beginthreadex(nullptr, 0, threadProc, start, 0, nullptr);
    if (handle == 0) {
        delete start;
        debugLine(name, "unable to start the worker thread");
        return false;
    }
    handle_ = reinterpret_cast<HANDLE>(handle);
    return true;
}

bool WorkerThread::finish(DWORD timeoutMs) {
    if (!handle_) return true;
    bool ended = false;
    DWORD begin = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - begin;
        DWORD left = spent >= timeoutMs ? 0 : timeoutMs - spent;
        DWORD result = MsgWaitForMultipleObjects(1, &handle_, FALSE, left, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        if (result != WAIT_OBJECT_0 + 1) break;  // time is up (or the wait failed)
        // Peeking delivers the messages other threads sent to this one; nothing posted is removed.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    }
    // A worker still running is left behind: it owns everything it touches. Never TerminateThread.
    CloseHandle(handle_);
    handle_ = nullptr;
    return ended;
}

}  // namespace download::win32

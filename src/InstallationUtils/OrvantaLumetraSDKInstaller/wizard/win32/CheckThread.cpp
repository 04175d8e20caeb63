#include "wizard/win32/CheckThread.h"

#include "download/win32/WorkerThread.h"

#include <chrono>
#include <thread>

#include "wizard/WizardIds.h"

CheckThread::CheckThread(std::shared_ptr<NewVersionInfo> checker, HWND window) : shared_(std::make_shared<Shared>()) {
    shared_->checker = std::move(checker);
    shared_->window = window;
    ended_ = shared_->ended.get_future();
    std::thread([shared = shared_] {
        try {
            if (shared->checker && shared->checker->checkForNewVersion(&shared->abort) == NewVersionInfo::Found) {
                if (HWND window = shared->window.load())
                    SendMessageA(window, WM_USER + wizardids::ReactivateOffset, NewerVersionFound, 0);
            }
        } catch (...) {
            download::win32::debugLine("CheckThread", "the new-version check ended with an exception");
        }
        shared->ended.set_value();
    }).detach();
}

bool CheckThread::stop(unsigned waitMs) {
    stopped_ = true;
    shared_->window = nullptr;
    shared_->abort.abort();
    return ended_.wait_for(std::chrono::milliseconds(waitMs)) == std::future_status::ready;
}

CheckThread::~CheckThread() {
    if (!stopped_) stop(wizardids::CheckThreadWaitMs);
}

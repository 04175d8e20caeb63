#include "download/InlineDialogs.h"

#include <functional>

#include "components/RemovalRules.h"
#include "download/DialogIds.h"
#include "download/DownloadAndInstallRun.h"
#include "download/ProgramWatch.h"

namespace download {

using components::DialogEnd;

// A window that is never shown: it keeps what it was told and remembers how the run ended. Timers never
// fire (nothing waits long enough for them) and pauses take no time.
class InlineDialogs::View : public RunView {
public:
    explicit View(InlineDialogs& owner) : owner_(owner) {}
    void setCaption(const std::string& caption) override { owner_.lastCaption = caption; }
    void setHeader(const std::string& first, const std::string& second) override {
        owner_.lastHeaderFirst = first;
        owner_.lastHeaderSecond = second;
    }
    void setLines(const std::string& status, const std::string& size, const std::string& install) override {
        owner_.lastStatus = status;
        owner_.lastSize = size;
        owner_.lastInstall = install;
    }
    void setProgress(int position) override { owner_.lastProgress = position; }
    void startTimer(unsigned id, unsigned) override { timerRunning = true; }
    void stopTimer(unsigned) override { timerRunning = false; }
    void pause(unsigned) override {}
    bool askYesNo(const std::string& text, const std::string&) override {
        owner_.questions.push_back(text);
        return owner_.confirmAbort;
    }
    void end(DialogEnd code) override {
        if (!ended) ended = code;
    }

    std::optional<DialogEnd> ended;
    bool timerRunning = false;

private:
    InlineDialogs& owner_;
};

namespace {

// Delivers a worker's events to its run while the run's "window" is open; afterwards they are lost, as
// events sent to a dialog that has gone.
template <typename Deliver>
class InlineSink : public WorkerEventSink {
public:
    InlineSink(InlineDialogs& owner, const std::optional<DialogEnd>& ended, Deliver deliver,
               std::function<void()> pressAbort)
        : owner_(owner), ended_(ended), deliver_(deliver), pressAbort_(std::move(pressAbort)) {}
    void send(int code, int32_t value) override {
        if (ended_) return;
        if (owner_.abortAtEvent && *owner_.abortAtEvent == code) {
            pressAbort_();
            if (ended_) return;
        }
        owner_.eventsHandled.push_back(code);
        deliver_(code, value);
    }

private:
    InlineDialogs& owner_;
    const std::optional<DialogEnd>& ended_;
    Deliver deliver_;
    std::function<void()> pressAbort_;
};

}  // namespace

InlineDialogs::InlineDialogs(platform::Machine& machine, ui::UserInterface& ui, RemovalRule removal)
    : machine_(machine), ui_(ui), removal_(removal ? removal : &components::uninstallProduct) {}

DialogEnd InlineDialogs::downloadAndInstall(const dvComponentInfo& record, int index, int total,
                                            const components::DownloadRunFlags& flags) {
    DDownloadAndInstallComponent run(machine_, index, total, record, flags.downloadOnly, flags.forceDownload,
                                     flags.reportErrors);
    View view(*this);
    run.onInitDialog(view);
    AbortSignal signal;
    InlineSink sink(
        *this, view.ended, [&](int code, int32_t value) { run.onWorkerEvent(code, value); },
        [&] {
            run.onAbort();
            // The dialog's going away is what stops its worker.
            if (view.ended) signal.abort();
        });
    runDownloadAndInstallWorker(machine_, ui_, InstallerRecord::of(record), flags, run.paths(), signal, sink);
    // A run its worker left without an end (a download that could not take its final name) waits for the
    // user's Abort; without a user that is where it ends.
    lastProgress = run.progress();
    return view.ended.value_or(DialogEnd::Cancel);
}

DialogEnd InlineDialogs::uninstall(const dvComponentInfo& record, int index, int total) {
    DUninstallComponent run(index, total, record);
    View view(*this);
    run.onInitDialog(view);
    InlineSink sink(
        *this, view.ended, [&](int code, int32_t) { run.onWorkerEvent(code); }, [&] { run.onAbort(); });
    runUninstallWorker(machine_, ui_, record, removal_, sink);
    // A failed removal leaves the dialog open for the user's Abort.
    return view.ended.value_or(DialogEnd::Cancel);
}

components::DownloadErrorChoice InlineDialogs::downloadError(const std::string& message) {
    questions.push_back(message);
    return errorChoice;
}

std::unique_ptr<components::PleaseWaitBox> InlineDialogs::pleaseWait() {
    return std::make_unique<components::PleaseWaitBox>();
}

void InlineDialogs::waitForProgram(const std::string& programPath) {
    DOpcScoutInstallPleaseWait box(programPath);
    View view(*this);
    box.onInitDialog(view);
    if (watchProgram(machine_, programPath, nullptr)) box.onWatchEnded();
    box.onTimer(dialogids::CloseTimer);
}

}  // namespace download

// The uninstall dialog's behaviour without its window, and its worker around a removal rule.
#include <gtest/gtest.h>

#include "RecordingRunView.h"
#include "download/DialogIds.h"
#include "download/UninstallRun.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"

using namespace download;
using components::DialogEnd;
using platform::fake::FakeMachine;

namespace {

dvComponentInfo record() {
    return dvComponentInfo("PerformanceTest 8.0", "http://vendor.test/petst.exe", "petst.exe", " /S",
                           "C:\\Installer\\_OrvantaInstallData\\Utilities", false, false, nullptr, nullptr, nullptr,
                           "Utilities");
}

struct RecordingSink : WorkerEventSink {
    void send(int code, int32_t) override { codes.push_back(code); }
    std::vector<int> codes;
};

bool removes(platform::Machine&, const dvComponentInfo&) { return true; }
bool fails(platform::Machine&, const dvComponentInfo&) { return false; }
bool breaksDown(platform::Machine&, const dvComponentInfo&) { throw std::runtime_error("registry gone"); }

}  // namespace

TEST(UninstallRun, InitialisationShowsThePositionAndTheName) {
    dvComponentInfo row = record();
    for (auto [index, total] : {std::pair{1, 1}, std::pair{3, 4}}) {
        RecordingRunView view;
        DUninstallComponent run(index, total, row);
        run.onInitDialog(view);
        EXPECT_EQ(view.headerFirst, "Uninstalling component " + std::to_string(index) + " of " + std::to_string(total));
        EXPECT_EQ(view.headerSecond, "PerformanceTest 8.0");
        EXPECT_EQ(view.caption, "Orvanta Lumetra SDK Version X 10.2.1.578 Installer - Uninstall Components");
        EXPECT_EQ(view.progress, 0);
    }
}

TEST(UninstallRun, EventsMoveTheBarTheTimerAndTheEnd) {
    struct Case {
        const char* name;
        std::vector<int> events;
        int ticks;  // creeping ticks after the events
        int progress;
        bool creeping;
        std::vector<DialogEnd> ended;
        bool endOnFailure = false;
    } cases[] = {
        {"started, creeping", {102}, 5, 5, true, {}},
        // Success closes at once, without the pause of the download dialog.
        {"completed", {102, 104}, 0, 1000, false, {DialogEnd::Ok}},
        // Failure drops the bar to 0 and leaves the dialog open; the stopped timer no longer creeps.
        {"failed", {102, 105}, 0, 0, false, {}},
        // Nobody is there to press Abort in an unattended run: a failure ends the dialog with Cancel.
        {"failed, unattended", {102, 105}, 0, 0, false, {DialogEnd::Cancel}, true},
        {"completed, unattended", {102, 104}, 0, 1000, false, {DialogEnd::Ok}, true},
    };
    dvComponentInfo row = record();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingRunView view;
        DUninstallComponent run(1, 1, row);
        run.setEndOnFailure(c.endOnFailure);
        run.onInitDialog(view);
        for (int i = 0; i < 7; ++i) run.onTimer(dialogids::CreepTimer);  // bar moved before the events
        for (int code : c.events) run.onWorkerEvent(code);
        for (int i = 0; i < c.ticks; ++i) run.onTimer(dialogids::CreepTimer);
        EXPECT_EQ(view.progress, c.progress);
        EXPECT_EQ(view.timerRunning(dialogids::CreepTimer), c.creeping);
        EXPECT_EQ(view.ended, c.ended);
        EXPECT_TRUE(view.pauses.empty());
    }
}

TEST(UninstallRun, AbortAsksAndEndsOnlyOnYes) {
    dvComponentInfo row = record();
    for (bool yes : {true, false}) {
        RecordingRunView view;
        view.answerYes = yes;
        DUninstallComponent run(1, 1, row);
        run.onInitDialog(view);
        run.onWorkerEvent(UninstallFailed);
        run.onAbort();
        ASSERT_EQ(view.questions.size(), 1u);
        EXPECT_EQ(view.questions[0].first, "Do you want to abort uninstallation of the selected components?");
        EXPECT_EQ(view.questions[0].second, "Confirmation");
        EXPECT_EQ(view.ended, yes ? std::vector<DialogEnd>{DialogEnd::Cancel} : std::vector<DialogEnd>{});
        EXPECT_EQ(run.abortedByUser(), yes);
    }
}

TEST(UninstallWorker, ReportsTheRulesResultAndTellsAFailure) {
    struct Case {
        const char* name;
        RemovalRule rule;
        std::vector<int> codes;
        bool told;
    } cases[] = {
        {"removed", removes, {102, 104}, false},
        {"rule failed", fails, {102, 105}, true},
        {"rule broke down", breaksDown, {102, 105}, true},
    };
    dvComponentInfo row = record();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachine m;
        RecordingUi ui;
        RecordingSink sink;
        runUninstallWorker(m, ui, row, c.rule, sink);
        EXPECT_EQ(sink.codes, c.codes);
        if (c.told) {
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_TRUE(ui.messages[0].applicationBox);
            EXPECT_EQ(ui.messages[0].text,
                      "Unable to uninstall the product. Please click on the 'Abort' button to cancel the operation.");
        } else {
            EXPECT_TRUE(ui.messages.empty());
        }
    }
}

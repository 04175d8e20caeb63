// Watching for a program to start and to end again, on the in-memory machine's clock.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <numeric>

#include "RecordingRunView.h"
#include "download/DialogIds.h"
#include "download/ProgramWatch.h"
#include "platform/fake/FakeMachine.h"

using namespace download;
using platform::fake::FakeMachine;

namespace {

const char* Cleanup = "C:\\Program Files\\Siemens\\OPC\\setup\\cleanup.exe";

// A process table in which the watched program appears and disappears at chosen times of the fake clock.
class TimedProcesses : public platform::fake::FakeProcesses {
public:
    TimedProcesses(FakeMachine& m, uint32_t startsAt, uint32_t endsAt)
        : FakeProcesses(m), m_(m), startsAt_(startsAt), endsAt_(endsAt) {}
    std::optional<std::vector<platform::ProcessEntry>> list(std::size_t maxIds) override {
        ++listed;
        if (onList) onList();
        std::vector<platform::ProcessEntry> out = {{8, "explorer.exe", "C:\\windows\\explorer.exe"}};
        uint32_t now = m_.clock.ticks;
        if (now >= startsAt_ && now < endsAt_) out.push_back({1234, "CLEANUP.EXE", "c:\\PROGRAM FILES\\siemens\\opc\\SETUP\\CleanUp.exe"});
        return out;
    }
    int listed = 0;
    std::function<void()> onList;

private:
    FakeMachine& m_;
    uint32_t startsAt_, endsAt_;
};

platform::Machine withProcesses(FakeMachine& m, platform::Processes& processes) {
    return platform::Machine{m.registry, m.msi,   m.files,   processes,  m.environment, m.http,
                             m.clock,    m.debug, m.profile, m.versions, m.links};
}

uint32_t slept(const FakeMachine& m) { return std::accumulate(m.clock.sleeps.begin(), m.clock.sleeps.end(), 0u); }

}  // namespace

TEST(ProgramWatch, IsProcessRunningComparesTheWholePathWithoutCase) {
    struct Case {
        const char* running;
        const char* asked;
        bool expected;
    } cases[] = {
        {Cleanup, Cleanup, true},
        {"c:\\program files\\SIEMENS\\opc\\setup\\CLEANUP.EXE", Cleanup, true},
        {"C:\\Other\\cleanup.exe", Cleanup, false},                              // same name, other folder
        {"C:\\Program Files\\Siemens\\OPC\\setup\\cleanup.exe.bak", Cleanup, false},  // longer path
        {"", Cleanup, false},                                                     // path unreadable
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.running);
        FakeMachine m;
        m.processes.addRunning(c.running);
        EXPECT_EQ(isProcessRunning(m, c.asked), c.expected);
    }
    FakeMachine m;
    m.processes.addRunning(Cleanup);
    m.processes.failEnumeration(true);
    EXPECT_FALSE(isProcessRunning(m, Cleanup));
}

TEST(ProgramWatch, WaitsForTheStartThenForTheEndWithinTheLimits) {
    struct Case {
        const char* name;
        uint32_t startsAfter, endsAfter;  // ms after the watch begins (UINT32_MAX: never)
        uint32_t minSlept, maxSlept;
    } cases[] = {
        // Already running: phase 1 is skipped, phase 2 polls once a second.
        {"running already", 0, 3500, 4000, 4000},
        {"starts, runs, ends", 1000, 5000, 5000, 5000},
        // Never starts: 4800 polls of 25 ms, then phase 2 finds nothing running.
        {"never starts", UINT32_MAX, UINT32_MAX, 4800u * 25, 4800u * 25},
        // Never ends: 600 polls of one second after it appeared.
        {"never ends", 0, UINT32_MAX, 600000, 600000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachine m;
        uint32_t begin = m.clock.ticks;
        auto at = [&](uint32_t after) { return after == UINT32_MAX ? UINT32_MAX : begin + after; };
        TimedProcesses processes(m, at(c.startsAfter), at(c.endsAfter));
        platform::Machine machine = withProcesses(m, processes);
        EXPECT_TRUE(watchProgram(machine, Cleanup, nullptr));
        EXPECT_GE(slept(m), c.minSlept);
        EXPECT_LE(slept(m), c.maxSlept);
    }
}

TEST(ProgramWatch, AbortByteEndsEitherPhaseAtOnce) {
    for (bool running : {false, true}) {
        SCOPED_TRACE(running ? "waiting for the end" : "waiting for the start");
        FakeMachine m;
        TimedProcesses processes(m, running ? m.clock.ticks : UINT32_MAX, UINT32_MAX);
        platform::Machine machine = withProcesses(m, processes);
        std::atomic<uint8_t> abort{0};
        // The box goes away while the watch polls.
        processes.onList = [&] {
            if (processes.listed == 3) abort = 1;
        };
        EXPECT_FALSE(watchProgram(machine, Cleanup, &abort));
        EXPECT_EQ(processes.listed, 3);
        EXPECT_LE(m.clock.sleeps.size(), 2u);
    }
}

TEST(ProgramWatch, BoxClosesOnTheFirstTickAfterTheWatch) {
    RecordingRunView view;
    DOpcScoutInstallPleaseWait box(Cleanup);
    box.onInitDialog(view);
    box.onTimer(dialogids::CloseTimer);  // no timer started yet: a stray tick changes nothing
    EXPECT_TRUE(view.ended.empty());
    box.onWatchEnded();
    EXPECT_EQ(view.timers[dialogids::CloseTimer], 1000u);
    box.onTimer(dialogids::CreepTimer);
    EXPECT_TRUE(view.ended.empty());
    box.onTimer(dialogids::CloseTimer);
    EXPECT_FALSE(view.timerRunning(dialogids::CloseTimer));
    EXPECT_EQ(view.ended, std::vector<components::DialogEnd>{components::DialogEnd::Ok});
}

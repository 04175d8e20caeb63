// The download-and-install dialog's behaviour without its window: what each worker event shows, how the bar
// and the timer move, how the run ends, the Abort question, settling the backup file, the download folder,
// and the worker's installer command lines on the in-memory machine.
#include <gtest/gtest.h>

#include "FetchTestSupport.h"
#include "RecordingRunView.h"
#include "download/DialogIds.h"
#include "download/DialogTexts.h"
#include "download/DownloadAndInstallRun.h"
#include "platform/fake/FakeMachine.h"

using namespace download;
using components::DialogEnd;
using platform::fake::FakeMachine;

namespace {

const char* Title = "Orvanta Lumetra SDK Version X 10.2.1.578 Installer";
const char* Folder = "C:\\Installer\\_OrvantaInstallData\\Extensions\\Python2D";

dvComponentInfo record(std::string fileName = "python-2.6.6.msi", std::string arguments = "", bool msi = true,
                       std::string folder = Folder) {
    return dvComponentInfo("Python 2.6.6", "http://vendor.test/files/" + fileName, fileName, arguments, folder, msi,
                           false, nullptr, nullptr, nullptr, "Python");
}

struct OneRun {
    FakeMachine m;
    dvComponentInfo row = record();
    RecordingRunView view;
    std::unique_ptr<DDownloadAndInstallComponent> run;

    explicit OneRun(bool downloadOnly, int index = 1, int total = 1, bool force = false) {
        run = std::make_unique<DDownloadAndInstallComponent>(m, index, total, row, downloadOnly, force, true);
        run->onInitDialog(view);
    }
    void events(std::initializer_list<std::pair<int, int32_t>> list) {
        for (auto [code, value] : list) run->onWorkerEvent(code, value);
    }
};

struct RecordingSink : WorkerEventSink {
    void send(int code, int32_t value) override {
        codes.push_back(code);
        if (onSend) onSend(code);
    }
    std::vector<int> codes;
    std::function<void(int)> onSend;
};

}  // namespace

TEST(DownloadAndInstallRun, InitialisationNamesTheRunAndThePosition) {
    struct Case {
        bool downloadOnly;
        int index, total;
        const char* title;
        std::string caption;
    } cases[] = {
        {false, 2, 5, "Installing component 2 of 5", std::string(Title) + " - Download and Install Components"},
        {true, 1, 1, "Downloading component 1 of 1", std::string(Title) + " - Download Component Installables"},
        {true, 12, 30, "Downloading component 12 of 30", std::string(Title) + " - Download Component Installables"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        OneRun r(c.downloadOnly, c.index, c.total);
        EXPECT_EQ(r.view.headerFirst, c.title);
        EXPECT_EQ(r.view.headerSecond, "Python 2.6.6");
        EXPECT_EQ(r.view.caption, c.caption);
        EXPECT_EQ(r.view.status, "Downloading component... Please wait...");
        EXPECT_EQ(r.view.size, "");
        EXPECT_EQ(r.view.install, "");
        EXPECT_EQ(r.view.progress, 0);
        EXPECT_TRUE(r.view.ended.empty());
    }
}

TEST(DownloadAndInstallRun, EventsSetTextsBarTimerAndEnd) {
    using E = std::pair<int, int32_t>;
    struct Case {
        const char* name;
        bool downloadOnly;
        std::vector<E> events;
        std::string status, size, install;
        int progress;
        bool creeping;
        std::vector<DialogEnd> ended;
        std::vector<unsigned> pauses;
    } cases[] = {
        {"started", true, {{100, 244}}, "Downloading component... Please wait...", "Downloaded 0 KB from 244 KB", "", 0,
         false, {}, {}},
        {"progress", true, {{100, 244}, {101, 100}, {101, 200}}, "Downloading component... Please wait...",
         "Downloaded 200 KB from 244 KB", "", 819, false, {}, {}},
        // No Content-Length: the text goes on counting, the bar stays where it was.
        {"progress without total", true, {{100, 0}, {101, 100}}, "Downloading component... Please wait...",
         "Downloaded 100 KB from 0 KB", "", 0, false, {}, {}},
        {"download-only completed", true, {{100, 244}, {101, 200}, {102, 0}}, "Download completed", "", "", 819,
         false, {DialogEnd::Ok}, {100}},
        {"install run downloaded", false, {{100, 244}, {101, 200}, {102, 0}}, "Download completed", "",
         "Installing... Please wait...", 0, true, {}, {}},
        {"install completed", false, {{102, 0}, {104, 0}}, "Download completed", "", "Installation completed", 1000,
         false, {DialogEnd::Ok}, {100}},
        {"download-only failed", true, {{100, 244}, {103, 0}},
         "Download failed. Please abort the current operation and try again.", "", "", 1000, false,
         {DialogEnd::Cancel}, {100}},
        {"install run failed after completed", false, {{102, 0}, {103, 0}},
         "Download failed. Please abort the installation and try again.", "", "", 1000, false, {DialogEnd::Cancel},
         {100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OneRun r(c.downloadOnly);
        for (auto [code, value] : c.events) r.run->onWorkerEvent(code, value);
        EXPECT_EQ(r.view.status, c.status);
        EXPECT_EQ(r.view.size, c.size);
        EXPECT_EQ(r.view.install, c.install);
        EXPECT_EQ(r.view.progress, c.progress);
        EXPECT_EQ(r.view.timerRunning(dialogids::CreepTimer), c.creeping);
        if (c.creeping) {
            EXPECT_EQ(r.view.timers[dialogids::CreepTimer], 750u);
        }
        EXPECT_EQ(r.view.ended, c.ended);
        EXPECT_EQ(r.view.pauses, c.pauses);
        // A failed download ends with Cancel too, but nobody aborted it.
        EXPECT_FALSE(r.run->abortedByUser());
    }
}

TEST(DownloadAndInstallRun, CreepingBarGainsOneStepPerTickAndStopsAtTheEnd) {
    OneRun r(false);
    r.events({{102, 0}});
    for (int i = 0; i < 3; ++i) r.run->onTimer(dialogids::CreepTimer);
    EXPECT_EQ(r.view.progress, 3);
    r.run->onTimer(dialogids::CloseTimer);  // not this dialog's timer
    EXPECT_EQ(r.view.progress, 3);
    for (int i = 0; i < 1200; ++i) r.run->onTimer(dialogids::CreepTimer);
    EXPECT_EQ(r.view.progress, 1000);
    r.events({{104, 0}});
    EXPECT_FALSE(r.view.timerRunning(dialogids::CreepTimer));
}

TEST(DownloadAndInstallRun, AbortAsksWithTheRunsWordingAndEndsOnlyOnYes) {
    struct Case {
        bool downloadOnly;
        bool yes;
        const char* question;
        std::vector<DialogEnd> ended;
    } cases[] = {
        {true, true, "Do you want to abort download of the selected components?", {DialogEnd::Cancel}},
        {true, false, "Do you want to abort download of the selected components?", {}},
        {false, true, "Do you want to abort installation of the selected components?", {DialogEnd::Cancel}},
        {false, false, "Do you want to abort installation of the selected components?", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.downloadOnly << " " << c.yes);
        OneRun r(c.downloadOnly);
        r.events({{100, 500}, {101, 100}});
        r.view.answerYes = c.yes;
        r.run->onAbort();
        ASSERT_EQ(r.view.questions.size(), 1u);
        EXPECT_EQ(r.view.questions[0].first, c.question);
        EXPECT_EQ(r.view.questions[0].second, "Confirmation");
        EXPECT_EQ(r.view.ended, c.ended);
        // A confirmed abort is the person's wish, which an unattended run reports as a cancellation.
        EXPECT_EQ(r.run->abortedByUser(), c.yes);
        // No changes nothing: the texts and the bar stay.
        EXPECT_EQ(r.view.size, "Downloaded 100 KB from 500 KB");
        EXPECT_EQ(r.view.progress, 200);
    }
}

TEST(DownloadAndInstallRun, EndOfTheDownloadPhaseLeavesAtMostTheFinalFile) {
    struct Case {
        const char* name;
        bool finalBefore, backupBefore;
        uint32_t backupAttributes;
        std::optional<std::string> finalAfter;
    } cases[] = {
        {"neither", false, false, platform::attr::Archive, std::nullopt},
        {"only the backup comes back", false, true, platform::attr::Archive, "earlier"},
        {"only the final stays", true, false, platform::attr::Archive, "new"},
        {"both: the new one wins", true, true, platform::attr::Archive, "new"},
        {"read-only backup removed all the same", true, true, platform::attr::ReadOnly, "new"},
    };
    for (int event : {DownloadCompleted, DownloadFailed}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << " on event " << event);
            OneRun r(true, 1, 1, true);
            if (c.finalBefore) r.m.files.addFile(r.run->paths().final, "new");
            if (c.backupBefore) r.m.files.addFile(r.run->paths().backup, "earlier", c.backupAttributes);
            r.run->onWorkerEvent(event, 0);
            EXPECT_EQ(r.m.files.content(r.run->paths().final), c.finalAfter);
            EXPECT_FALSE(r.m.files.content(r.run->paths().backup));
        }
    }
}

TEST(DownloadAndInstallRun, ConstructionCreatesEveryMissingFolderOfTheDownloadFolder) {
    struct Case {
        const char* folder;
        const char* failing;  // a part whose creation fails, or null
        bool created;
    } cases[] = {
        {"C:\\Installer\\_OrvantaInstallData\\Extensions\\Python2D", nullptr, true},
        {"C:/Installer/_OrvantaInstallData\\Tutorials/Basics", nullptr, true},
        {"C:\\Installer\\_OrvantaInstallData\\Resources\\", nullptr, true},
        // A part that cannot be created is passed over; the rest then cannot exist either, and nothing throws.
        {"C:\\Installer\\_OrvantaInstallData\\Extensions\\Python2D", "C:\\Installer\\_OrvantaInstallData", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        FakeMachine m;
        m.files.addFolder("C:\\Installer");
        if (c.failing) {
            std::string failing = c.failing;
            m.files.fault = [failing](const std::string& op, const std::string& path) {
                return op == "createFolder" && path == failing;
            };
        }
        dvComponentInfo row = record("setup.exe", " /S", false, c.folder);
        DDownloadAndInstallComponent run(m, 1, 1, row, false, false, true);
        std::string folder = c.folder;
        if (folder.back() == '\\') folder.pop_back();
        EXPECT_EQ(m.files.isFolder(folder), c.created);
        EXPECT_EQ(run.paths().final, std::string(c.folder) + "\\setup.exe");
    }
}

TEST(DownloadAndInstallWorker, StartsTheInstallerWithItsExactCommandLine) {
    struct Case {
        const char* name;
        std::string fileName, arguments;
        bool msi;
        std::string systemFolder;
        std::string program, commandLine;
    } cases[] = {
        {"msi package", "python-2.6.6.msi", "", true, "C:\\windows\\system32",
         "C:/windows/system32\\msiexec.exe",
         "C:/windows/system32\\msiexec.exe /i \"" + std::string(Folder) + "\\python-2.6.6.msi\" /passive"},
        {"msi package, system folder with a trailing separator", "python-2.6.6.msi", " /ignored", true,
         "C:\\windows\\system32\\", "C:/windows/system32\\msiexec.exe",
         "C:/windows/system32\\msiexec.exe /i \"" + std::string(Folder) + "\\python-2.6.6.msi\" /passive"},
        {"catalogue arguments are the whole command line", "setup.exe", " /S", false, "C:\\windows\\system32",
         std::string(Folder) + "\\setup.exe", " /S"},
        {"CopyEXEFullPath", "setup.exe", "CopyEXEFullPath", false, "C:\\windows\\system32",
         std::string(Folder) + "\\setup.exe", std::string(Folder) + "\\setup.exe"},
        {"CopyEXEFullPath compares with case", "setup.exe", "copyexefullpath", false, "C:\\windows\\system32",
         std::string(Folder) + "\\setup.exe", "copyexefullpath"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachine m;
        RecordingUi ui;
        m.environment.system = c.systemFolder;
        m.files.addFolder(Folder);
        m.http.serve("vendor.test", 80, "/files/" + c.fileName, fetchtest::ok("installer bytes"));
        dvComponentInfo row = record(c.fileName, c.arguments, c.msi);
        AbortSignal signal;
        RecordingSink sink;
        runDownloadAndInstallWorker(m, ui, InstallerRecord::of(row), {false, false, true},
                                    downloadPaths(Folder, c.fileName), signal, sink);
        EXPECT_EQ(sink.codes, (std::vector<int>{DownloadStarted, DownloadCompleted, InstallCompleted}));
        ASSERT_EQ(m.processes.started.size(), 1u);
        EXPECT_EQ(m.processes.started[0].program, c.program);
        EXPECT_EQ(m.processes.started[0].commandLine, c.commandLine);
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST(DownloadAndInstallWorker, EventsForEachWayTheFetchEnds) {
    struct Case {
        const char* name;
        bool downloadOnly;
        bool present;     // the final file is there before the run
        bool served;      // the server has the file (404 otherwise)
        bool moveFails;   // the finished download cannot take its final name
        std::vector<int> codes;
        bool installerStarted;
    } cases[] = {
        {"download-only, present: no network", true, true, false, false, {102}, false},
        {"install, present: no network", false, true, false, false, {102, 104}, true},
        {"download-only, 404", true, false, false, false, {103}, false},
        {"install, 404: completed first, then failed", false, false, false, false, {102, 103}, false},
        {"install, move failed: completed twice, the dialog waits", false, false, true, true, {100, 102, 102}, false},
        {"download-only, transferred", true, false, true, false, {100, 102}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachine m;
        RecordingUi ui;
        m.files.addFolder(Folder);
        DownloadPaths paths = downloadPaths(Folder, "setup.exe");
        if (c.present) m.files.addFile(paths.final, "earlier");
        if (c.served) m.http.serve("vendor.test", 80, "/files/setup.exe", fetchtest::ok("new"));
        else m.http.addServer("vendor.test", 80);
        if (c.moveFails)
            m.files.fault = [](const std::string& op, const std::string&) { return op == "move"; };
        AbortSignal signal;
        RecordingSink sink;
        runDownloadAndInstallWorker(m, ui, InstallerRecord::of(record("setup.exe", " /S", false)),
                                    {c.downloadOnly, false, true}, paths, signal, sink);
        EXPECT_EQ(sink.codes, c.codes);
        EXPECT_EQ(m.processes.started.size(), c.installerStarted ? 1u : 0u);
        if (c.present) {
            EXPECT_TRUE(m.http.requests.empty());
        }
    }
}

TEST(DownloadAndInstallWorker, SendsNothingAndStartsNothingOnceAborted) {
    // Aborted in the middle of the body: the fetch stops and the worker ends silently.
    {
        FakeMachine m;
        RecordingUi ui;
        m.files.addFolder(Folder);
        AbortSignal signal;
        platform::fake::FakeResponse response = fetchtest::ok(fetchtest::body(300000));
        response.beforeRead = [&](std::size_t delivered) {
            if (delivered > 50000) signal.abort();
        };
        m.http.serve("vendor.test", 80, "/files/setup.exe", response);
        RecordingSink sink;
        runDownloadAndInstallWorker(m, ui, InstallerRecord::of(record("setup.exe", " /S", false)), {false, false, true},
                                    downloadPaths(Folder, "setup.exe"), signal, sink);
        EXPECT_EQ(sink.codes, std::vector<int>{DownloadStarted});
        EXPECT_TRUE(m.processes.started.empty());
        EXPECT_FALSE(m.files.content(downloadPaths(Folder, "setup.exe").final));
    }
    // Aborted while the dialog handled DownloadCompleted: the installer is not started afterwards.
    {
        FakeMachine m;
        RecordingUi ui;
        m.files.addFolder(Folder);
        m.http.serve("vendor.test", 80, "/files/setup.exe", fetchtest::ok("bytes"));
        AbortSignal signal;
        RecordingSink sink;
        sink.onSend = [&](int code) {
            if (code == DownloadCompleted) signal.abort();
        };
        runDownloadAndInstallWorker(m, ui, InstallerRecord::of(record("setup.exe", " /S", false)), {false, false, true},
                                    downloadPaths(Folder, "setup.exe"), signal, sink);
        EXPECT_EQ(sink.codes, (std::vector<int>{DownloadStarted, DownloadCompleted}));
        EXPECT_TRUE(m.processes.started.empty());
    }
}

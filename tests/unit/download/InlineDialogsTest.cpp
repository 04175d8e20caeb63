// The operations' dialogs without windows: worker bodies and run logic together on the calling thread, and
// an operation of the engine carried from "install" to "row Ok" through them.
#include <gtest/gtest.h>

#include "FetchTestSupport.h"
#include "components/InstallManagerBase.h"
#include "download/DownloadAndInstallRun.h"
#include "download/InlineDialogs.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"

using namespace download;
using components::DialogEnd;
using platform::fake::FakeMachine;

namespace {

const char* Folder = "C:\\Installer\\_OrvantaInstallData\\Utilities";
const char* PlexorCode = "{FC84F31D-53C5-49CC-A799-80BFF4724731}";
const char* PlexorFile = "Orvanta_Plexor_1.9.0.24_140321.exe";
const char* PlexorObject = "/orvanta/files/InstallerDownloads/OrvantaPlexor/Orvanta_Plexor_1.9.0.24_140321.exe";

struct Row {
    std::string name, status, action;
    dvComponentInfo record{"Orvanta Plexor 1.9.0.24", std::string("http://vendor.test") + PlexorObject, PlexorFile,
                           " /passive ", Folder, false, false, &name, &status, &action, "Utilities"};
};

// The stand-in Plexor installer: registers its product when it is given its catalogue arguments.
void serveInstaller(FakeMachine& m) {
    m.http.serve("vendor.test", 80, PlexorObject, fetchtest::ok("plexor setup"));
    m.processes.onStart(PlexorFile, [](FakeMachine& machine, const std::string& commandLine) -> uint32_t {
        if (commandLine != " /passive ") return 1603;
        machine.msi.registerProduct(PlexorCode, platform::MsiContext::Machine,
                                    {"Orvanta Plexor 1.9.0.24", "1.9.0.24", {}});
        return 0;
    });
}

std::string finalPath() { return std::string(Folder) + "\\" + PlexorFile; }

}  // namespace

TEST(InlineDialogs, InstallRunEndsWithTheRowsOutcome) {
    struct Case {
        const char* name;
        bool served;
        const char* earlier;  // a file already in the download folder
        bool force;
        DialogEnd end;
        std::vector<int> events;
        std::string status, install;
        bool installed;
    } cases[] = {
        {"downloaded and installed", true, nullptr, false, DialogEnd::Ok, {100, 102, 104}, "Download completed",
         "Installation completed", true},
        {"404 without an earlier file", false, nullptr, false, DialogEnd::Cancel, {102, 103},
         "Download failed. Please abort the installation and try again.", "", false},
        // A forced download that fails brings the earlier file back, and that one is installed.
        {"404 with an earlier file, forced", false, "earlier setup", true, DialogEnd::Ok, {102, 104},
         "Download completed", "Installation completed", true},
        {"present already: no network", false, "earlier setup", false, DialogEnd::Ok, {102, 104}, "Download completed",
         "Installation completed", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachine m;
        RecordingUi ui;
        serveInstaller(m);
        if (!c.served) m.http.serve("vendor.test", 80, PlexorObject, fetchtest::status(404));
        m.files.addFolder(Folder);
        if (c.earlier) m.files.addFile(finalPath(), c.earlier);
        Row row;
        InlineDialogs dialogs(m, ui);
        EXPECT_EQ(dialogs.downloadAndInstall(row.record, 2, 3, {false, c.force, true}), c.end);
        EXPECT_EQ(dialogs.eventsHandled, c.events);
        EXPECT_EQ(dialogs.lastHeaderFirst, "Installing component 2 of 3");
        EXPECT_EQ(dialogs.lastStatus, c.status);
        EXPECT_EQ(dialogs.lastInstall, c.install);
        EXPECT_EQ(dialogs.lastProgress, 1000);
        EXPECT_EQ(m.msi.isRegistered(PlexorCode), c.installed);
        EXPECT_FALSE(m.files.content(finalPath() + "bk"));
        if (!c.served && !c.force && c.earlier) {
            EXPECT_TRUE(m.http.requests.empty());
        }
    }
}

TEST(InlineDialogs, AbortDuringTheDownloadStopsTheWorkerOnlyWhenConfirmed) {
    for (bool confirm : {true, false}) {
        SCOPED_TRACE(confirm ? "Yes" : "No");
        FakeMachine m;
        RecordingUi ui;
        serveInstaller(m);
        m.http.serve("vendor.test", 80, PlexorObject, fetchtest::ok(fetchtest::body(450000)));
        Row row;
        InlineDialogs dialogs(m, ui);
        dialogs.abortAtEvent = DownloadProgress;
        dialogs.confirmAbort = confirm;
        DialogEnd end = dialogs.downloadAndInstall(row.record, 1, 1, {false, false, true});
        ASSERT_EQ(dialogs.questions.size(), confirm ? 1u : 4u);  // No: asked again at every progress event
        EXPECT_EQ(dialogs.questions[0], "Do you want to abort installation of the selected components?");
        if (confirm) {
            EXPECT_EQ(end, DialogEnd::Cancel);
            EXPECT_EQ(dialogs.eventsHandled, std::vector<int>{DownloadStarted});
            EXPECT_FALSE(m.files.content(finalPath()));
            EXPECT_TRUE(m.processes.started.empty());
        } else {
            EXPECT_EQ(end, DialogEnd::Ok);
            EXPECT_TRUE(m.msi.isRegistered(PlexorCode));
        }
    }
}

TEST(InlineDialogs, UninstallEndsOkOrWaitsForAnAbortThatNeverComes) {
    auto removes = [](platform::Machine&, const dvComponentInfo&) { return true; };
    auto fails = [](platform::Machine&, const dvComponentInfo&) { return false; };
    for (bool ok : {true, false}) {
        FakeMachine m;
        RecordingUi ui;
        Row row;
        InlineDialogs dialogs(m, ui, ok ? +removes : +fails);
        EXPECT_EQ(dialogs.uninstall(row.record, 1, 2), ok ? DialogEnd::Ok : DialogEnd::Cancel);
        EXPECT_EQ(dialogs.lastHeaderFirst, "Uninstalling component 1 of 2");
        EXPECT_EQ(dialogs.lastProgress, ok ? 1000 : 0);
        EXPECT_EQ(ui.messages.size(), ok ? 0u : 1u);
    }
}

TEST(InlineDialogs, DownloadErrorAnswersAsSetAndTheWaitUsesTheMachinesClock) {
    FakeMachine m;
    RecordingUi ui;
    InlineDialogs dialogs(m, ui);
    EXPECT_EQ(dialogs.downloadError("Error - Unable to download the component 'x.exe'"),
              components::DownloadErrorChoice::Quit);
    dialogs.errorChoice = components::DownloadErrorChoice::IgnoreAll;
    EXPECT_EQ(dialogs.downloadError("again"), components::DownloadErrorChoice::IgnoreAll);

    // A program that is already running and never ends keeps the box up for its time limit, in fake time.
    m.processes.addRunning("C:\\OPC\\cleanup.exe");
    dialogs.waitForProgram("c:\\opc\\CLEANUP.exe");
    EXPECT_EQ(m.clock.sleeps.size(), 600u);
}

TEST(InlineDialogs, ManagerInstallsAndRemovesARowThroughThem) {
    FakeMachine m;
    RecordingUi ui;
    serveInstaller(m);
    Row row;
    InlineDialogs dialogs(m, ui);
    dvInstallManagerBase manager;
    manager.setComponents(1, &row.record);
    manager.setContext({m, ui, dialogs, "C:\\Installer"});

    EXPECT_EQ(manager.installComponents(0, 0, false), 1);
    EXPECT_EQ(row.action, "Ok");
    EXPECT_EQ(row.status, "Installed");
    EXPECT_TRUE(m.msi.isRegistered(PlexorCode));
    ASSERT_EQ(m.processes.started.size(), 1u);
    EXPECT_EQ(m.processes.started[0].commandLine, " /passive ");

    EXPECT_EQ(manager.uninstallComponents(0, 0), 1);
    EXPECT_EQ(row.action, "Ok");
    EXPECT_EQ(row.status, "Not Installed");
    EXPECT_FALSE(m.msi.isRegistered(PlexorCode));
}

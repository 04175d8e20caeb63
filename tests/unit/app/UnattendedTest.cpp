// Unattended runs on the in-memory machine: the status report, installs and removals by name, and the exit
// codes a fleet tool acts on.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/AppTexts.h"
#include "app/RunLog.h"
#include "app/Unattended.h"
#include "app/UnattendedTexts.h"
#include "components/ActionTexts.h"
#include "components/Probes.h"
#include "components/UninstallKeys.h"
#include "download/InlineDialogs.h"
#include "platform/fake/FakeMachine.h"

using namespace cli;
using platform::fake::FakeMachine;

namespace {

const char* Server = "downloads.orvanta-vision.com";
const char* PlexorName = "Orvanta Plexor 1.9.0.24";
const char* PlexorFile = "Orvanta_Plexor_1.9.0.24_140321.exe";
const char* PlexorObject = "/orvanta/files/InstallerDownloads/OrvantaPlexor/Orvanta_Plexor_1.9.0.24_140321.exe";
const char* PlexorCode = "{FC84F31D-53C5-49CC-A799-80BFF4724731}";

struct NoWindows : ApplicationShell {
    uintptr_t startGraphics() override { return 0; }
    void stopGraphics(uintptr_t) override {}
    void registerControlClasses() override {}
    void runWizard() override { ADD_FAILURE() << "an unattended run opened the wizard"; }
};

struct CapturedOutput : Output {
    bool report(const std::string& text) override {
        reports += text;
        return writable;
    }
    void message(const std::string& line) override { messages.push_back(line); }
    std::string reports;
    std::vector<std::string> messages;
    bool writable = true;
};

// The progress dialogs as a person watching them sees them: the one for abortRow is aborted (confirmed) at
// once, as the program's /passive dialogs report it; the others run inline.
struct WatchedDialogs : components::OperationDialogs {
    WatchedDialogs(download::InlineDialogs& inner, RunSignals& signals, const std::string& abortRow)
        : inner(inner), signals(signals), abortRow(abortRow) {}
    components::DialogEnd downloadAndInstall(const dvComponentInfo& record, int index, int total,
                                             const components::DownloadRunFlags& flags) override {
        if (record.displayName() == abortRow) signals.cancelled = true;
        if (signals.cancelled) return components::DialogEnd::Cancel;
        return inner.downloadAndInstall(record, index, total, flags);
    }
    components::DialogEnd uninstall(const dvComponentInfo& record, int index, int total) override {
        return inner.uninstall(record, index, total);
    }
    components::DownloadErrorChoice downloadError(const std::string& message) override {
        return inner.downloadError(message);
    }
    std::unique_ptr<components::PleaseWaitBox> pleaseWait() override { return inner.pleaseWait(); }
    void waitForProgram(const std::string& programPath) override { inner.waitForProgram(programPath); }
    download::InlineDialogs& inner;
    RunSignals& signals;
    std::string abortRow;
};

// The installer's folder, its server and the stand-in Plexor installer, which registers its product and ends
// with plexorExitCode. The OPC client Plexor plugs into is there: without it Plexor's row shows a problem and
// the run repairs first.
struct Fixture {
    using Args = std::vector<std::string>;
    Fixture() {
        m.files.addFolder("C:\\Installer");
        m.registry.setString(platform::Hive::LocalMachine,
                             std::string(components::UninstallRoot) + components::uninstallkeys::OpcClient,
                             "DisplayName", "SIMATIC NET OPC CLIENT V6.2 Build 3133");
        m.processes.addRunning(std::string("C:\\Installer\\") + apptexts::ReleaseFileName);
        m.processes.onStart(PlexorFile, [this](FakeMachine& machine, const std::string&) -> uint32_t {
            if (plexorInstalls)
                machine.msi.registerProduct(PlexorCode, platform::MsiContext::Machine, {PlexorName, "1.9.0.24", {}});
            return plexorExitCode;
        });
    }
    void serveServer() {
        platform::fake::FakeResponse ok;
        ok.status = 200;
        ok.body = "plexor setup";
        m.http.serve(Server, 80, PlexorObject, ok);
    }
    int run(const Args& args) {
        ParseResult parsed = parseCommandLine(args);
        if (!parsed.request) {
            ADD_FAILURE() << parsed.error;
            return -1;
        }
        NoWindows shell;
        AnsweringUi ui(out);
        // The programs the run starts and its removals are watched as the program watches them.
        RestartWatch processes(m.processes, signals);
        RestartWatchInstaller msi(m.msi, signals);
        platform::Machine machine = withWatches(m, processes, msi);
        LogCopy copy = startLogCopy(*parsed.request, machine, out);
        if (copy.refused) return BadArguments;
        COrvantaLumetraSDKInstallerApp app(machine, ui, shell);
        if (app.runLog()) logPath = app.runLog()->path();
        download::InlineDialogs inlineDialogs(app.machine(), ui);
        WatchedDialogs dialogs(inlineDialogs, signals, abortRow);
        int code = runUnattended(*parsed.request, app, ui, dialogs, out, signals);
        questions = ui.messages;
        return code;
    }
    void registerPlexor(const char* name) {
        m.msi.registerProduct(PlexorCode, platform::MsiContext::Machine, {name, "1.9.0.24", {}});
    }
    std::string installedPlexorName() {
        return m.msi.productInfo(PlexorCode, "InstalledProductName", 256).value_or("(not installed)");
    }
    std::string log() { return m.files.content(logPath).value_or(""); }
    FakeMachine m;
    CapturedOutput out;
    std::vector<std::string> questions;
    RunSignals signals;
    std::string abortRow;
    bool plexorInstalls = true;
    uint32_t plexorExitCode = 0;
    std::string logPath;
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(Unattended, NamesResolveToPagesAndRowsWithoutRegardToCase) {
    Resolution r = resolveNames({"orvanta plexor 1.9.0.24", "UTILITIES", PlexorName}, false);
    ASSERT_TRUE(r.unknownName.empty());
    ASSERT_EQ(r.pages.size(), 1u);
    EXPECT_EQ(r.pages[0].page, components::CataloguePage::Utilities);
    // The page's every row, each once, although Plexor was named three times.
    EXPECT_EQ(r.pages[0].rows.size(), components::catalogueRows(components::CataloguePage::Utilities, false).size());

    r = resolveNames({"Python 2.6.6", "prerequisites"}, false);
    ASSERT_EQ(r.pages.size(), 2u);
    // Page order, not the order of the line: prerequisites come before what needs them.
    EXPECT_EQ(r.pages[0].page, components::CataloguePage::Prerequisites);
    EXPECT_EQ(r.pages[1].page, components::CataloguePage::Extensions);
    EXPECT_EQ(r.pages[1].rows, std::vector<int>{0});

    // The status-only second prerequisites page is not a name; neither is a name close to a real one.
    for (const char* wrong : {"PrerequisitesStatus", "Python 2.6", "Python 2.6.6 "}) {
        r = resolveNames({PlexorName, wrong}, false);
        EXPECT_EQ(r.unknownName, wrong);
        EXPECT_TRUE(r.pages.empty());
    }
}

TEST(Unattended, StatusReportIsOnlyTheDocument) {
    for (bool json : {false, true}) {
        SCOPED_TRACE(json ? "json" : "text");
        Fixture f;
        f.m.msi.registerProduct(PlexorCode, platform::MsiContext::Machine, {PlexorName, "1.9.0.24", {}});
        EXPECT_EQ(f.run(json ? Fixture::Args{"/status", "/json"} : Fixture::Args{"/status"}), Success);
        if (json) {
            EXPECT_EQ(f.out.reports.front(), '[');
            EXPECT_NE(f.out.reports.find("\"displayName\": \"Orvanta Plexor 1.9.0.24\", \"status\": \"Installed\""),
                      std::string::npos);
            EXPECT_NE(f.out.reports.find("\"page\": \"IOSystem\""), std::string::npos);
        } else {
            EXPECT_NE(f.out.reports.find("Orvanta Plexor 1.9.0.24  "), std::string::npos);
        }
        EXPECT_TRUE(f.out.messages.empty());
        EXPECT_TRUE(f.m.processes.started.empty());
    }
}

TEST(Unattended, InstallAndUninstallByNameEndWithTheMachinesOutcome) {
    struct Case {
        const char* name;
        bool served;
        bool installedBefore;
        const char* command;
        int exitCode;
        bool installedAfter;
    } cases[] = {
        {"install", true, false, "/install", Success, true},
        {"install of what is there already", false, true, "/install", Success, true},
        {"install with the server down", false, false, "/install", Failure, false},
        {"uninstall", false, true, "/uninstall", Success, false},
        {"uninstall of what is not there", false, false, "/uninstall", Success, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        if (c.served) f.serveServer();
        if (c.installedBefore)
            f.m.msi.registerProduct(PlexorCode, platform::MsiContext::Machine, {PlexorName, "1.9.0.24", {}});
        EXPECT_EQ(f.run({c.command, "ORVANTA PLEXOR 1.9.0.24", "/quiet"}), c.exitCode);
        EXPECT_EQ(f.m.msi.isRegistered(PlexorCode), c.installedAfter);
        EXPECT_EQ(f.out.reports.find("Utilities  Orvanta Plexor 1.9.0.24  "), 0u) << f.out.reports;
        EXPECT_NE(f.out.reports.find(c.installedAfter ? "  Installed\n" : "  Not Installed\n"), std::string::npos);
        EXPECT_FALSE(f.out.messages.empty());
    }
}

TEST(Unattended, NothingRunsForAnUnknownNameOrBesideAnotherInstance) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        bool secondInstance;
        int exitCode;
        const char* message;
    } cases[] = {
        {"unknown name", {"/install", PlexorName, "Plexor"}, false, BadArguments, "No component or page is named: Plexor"},
        {"second instance", {"/install", PlexorName}, true, AnotherInstanceRunning, unattendedtexts::AnotherInstance},
        {"second instance, uninstall", {"/uninstall", "Utilities"}, true, AnotherInstanceRunning,
         unattendedtexts::AnotherInstance},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.serveServer();
        f.m.msi.registerProduct(PlexorCode, platform::MsiContext::Machine, {PlexorName, "1.9.0.24", {}});
        if (c.secondInstance) f.m.processes.addRunning(std::string("C:\\Other\\") + apptexts::ReleaseFileName);
        EXPECT_EQ(f.run(c.args), c.exitCode);
        EXPECT_EQ(f.out.messages, std::vector<std::string>{c.message});
        EXPECT_TRUE(f.out.reports.empty());
        EXPECT_TRUE(f.m.processes.started.empty());
        EXPECT_TRUE(f.m.http.requests.empty());
        EXPECT_TRUE(f.m.msi.isRegistered(PlexorCode));
    }
}

TEST(Unattended, StatusIsReadWhileTheWizardIsOpen) {
    Fixture f;
    f.m.processes.addRunning(std::string("C:\\Other\\") + apptexts::ReleaseFileName);
    EXPECT_EQ(f.run({"/status", "/json"}), Success);
    EXPECT_FALSE(f.out.reports.empty());
}

TEST(Unattended, ARepairThatDoesNotTakeFailsTheRunInsteadOfAskingForever) {
    // Two Python 2.6 products: "Multiple Versions" on the extensions page, which no repair here can remove.
    Fixture f;
    f.m.msi.registerProduct("{11111111-0000-0000-0000-000000000001}", platform::MsiContext::Machine,
                            {"Python 2.6.6", "2.6.6150", {}});
    f.m.msi.registerProduct("{11111111-0000-0000-0000-000000000002}", platform::MsiContext::Machine,
                            {"Python 2.6.5", "2.6.5150", {}});
    EXPECT_EQ(f.run({"/install", "numpy-1.8.1-python2.6", "/quiet"}), Failure);
    ASSERT_EQ(f.questions.size(), 2u);  // asked, answered Yes; asked again, answered No
    EXPECT_EQ(f.questions[0], f.questions[1]);
    EXPECT_TRUE(f.m.http.requests.empty());  // nothing was installed after the declined repair
}

TEST(Unattended, AReportThatCannotBeWrittenIsAFailure) {
    Fixture f;
    f.out.writable = false;
    EXPECT_EQ(f.run({"/status"}), Failure);
}

TEST(Unattended, TheExitCodeSaysCancelledBeforeFailedBeforeRestartInitiatedBeforeRestartRequired) {
    struct Case {
        bool failed, cancelled, restartRequired, restartInitiated;
        int exitCode;
    } cases[] = {
        {false, false, false, false, Success},          {false, false, true, false, RestartRequired},
        {false, false, false, true, RestartInitiated},  {false, false, true, true, RestartInitiated},
        {true, false, false, false, Failure},           {true, false, true, false, Failure},
        {true, false, true, true, Failure},             {false, true, false, false, Cancelled},
        {false, true, true, false, Cancelled},          {false, true, false, true, Cancelled},
        {true, true, false, false, Cancelled},          {true, true, true, true, Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "failed " << c.failed << " cancelled " << c.cancelled << " restart "
                                        << c.restartRequired << " initiated " << c.restartInitiated);
        EXPECT_EQ(exitCodeFor({c.failed, c.cancelled, c.restartRequired, c.restartInitiated}), c.exitCode);
    }
    // The values fleet tools know from Windows Installer.
    EXPECT_EQ(Cancelled, 1602);
    EXPECT_EQ(RestartInitiated, 1641);
    EXPECT_EQ(RestartRequired, 3010);
}

TEST(Unattended, AnInstallerAskingForARestartMakesA3010OnlyWhenEverythingSucceeded) {
    struct Case {
        const char* name;
        uint32_t installerExit;
        bool installs;
        int exitCode;
        const char* lastMessage;
    } cases[] = {
        {"installed, restart required", 3010, true, RestartRequired, unattendedtexts::RestartRequired},
        {"installed, restart started", 1641, true, RestartInitiated, unattendedtexts::RestartInitiated},
        {"installed", 0, true, Success, unattendedtexts::RunSucceeded},
        // The exit code alone decides nothing: the machine shows whether the component is there.
        {"3010 but nothing installed", 3010, false, Failure, "Failed: Utilities"},
        {"an error code, installed all the same", 1603, true, Success, unattendedtexts::RunSucceeded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.serveServer();
        f.plexorExitCode = c.installerExit;
        f.plexorInstalls = c.installs;
        EXPECT_EQ(f.run({"/install", PlexorName, "/quiet"}), c.exitCode);
        EXPECT_EQ(f.m.msi.isRegistered(PlexorCode), c.installs);
        ASSERT_FALSE(f.out.messages.empty());
        EXPECT_EQ(f.out.messages.back(), c.lastMessage);
        EXPECT_TRUE(contains(f.log(), "-> exit code " + std::to_string(c.installerExit))) << f.log();
    }
}

TEST(Unattended, AWindowsInstallerRemovalAskingForARestartIsASuccessThatSaysSo) {
    struct Case {
        uint32_t removal;
        int exitCode;
        bool removed;
        const char* lastMessage;
    } cases[] = {
        {platform::win32error::Success, Success, true, unattendedtexts::RunSucceeded},
        {platform::win32error::SuccessRestartRequired, RestartRequired, true, unattendedtexts::RestartRequired},
        {platform::win32error::SuccessRestartInitiated, RestartInitiated, true, unattendedtexts::RestartInitiated},
        {platform::win32error::InstallFailure, Failure, false, "Failed: Utilities"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.removal);
        Fixture f;
        f.registerPlexor(PlexorName);
        f.m.msi.removalResult(PlexorCode, c.removal);
        EXPECT_EQ(f.run({"/uninstall", PlexorName, "/quiet"}), c.exitCode);
        EXPECT_EQ(f.m.msi.isRegistered(PlexorCode), !c.removed);
        ASSERT_FALSE(f.out.messages.empty());
        EXPECT_EQ(f.out.messages.back(), c.lastMessage);
        EXPECT_TRUE(contains(f.log(), "exit code " + std::to_string(c.removal))) << f.log();
    }
}

TEST(Unattended, AnAbortConfirmedInAProgressDialogCancelsTheRunAndStopsIt) {
    // Plexor's page comes before Speccy's: Speccy is never fetched once Plexor's dialog was aborted.
    Fixture f;
    f.serveServer();
    f.abortRow = PlexorName;
    EXPECT_EQ(f.run({"/install", "Speccy v1.25", PlexorName, "/passive"}), Cancelled);
    EXPECT_FALSE(f.m.msi.isRegistered(PlexorCode));
    EXPECT_TRUE(f.m.http.requests.empty());
    EXPECT_TRUE(f.m.processes.started.empty());
    ASSERT_FALSE(f.out.messages.empty());
    EXPECT_EQ(f.out.messages.back(), unattendedtexts::RunCancelled);
}

TEST(Unattended, RepairReinstallsOnlyRowsWithAProblemAndAnswersForTheRowsItIsAbout) {
    const std::string wrongName = "Orvanta Plexor 1.9.0.23";
    struct Case {
        const char* name;
        Fixture::Args args;
        const char* plexorBefore;  // the product's installed name; nullptr: not installed
        bool served;
        int exitCode;
        std::string plexorAfter;
        bool reinstalled;     // the setup was downloaded and started
        std::string report;   // the whole report, or its start when it ends with two blanks
    } cases[] = {
        {"named row with a wrong build", {"/repair", PlexorName, "/quiet"}, wrongName.c_str(), true, Success,
         PlexorName, true, "Utilities  Orvanta Plexor 1.9.0.24  Installed\n"},
        {"every row: only the wrong one", {"/repair"}, wrongName.c_str(), true, Success, PlexorName, true,
         "Utilities  Orvanta Plexor 1.9.0.24  Installed\n"},
        {"named by its page", {"/repair", "utilities", "/quiet"}, wrongName.c_str(), true, Failure, PlexorName, true,
         "Utilities  "},  // the page's other rows are not installed, which a repair does not change
        {"named row that is right", {"/repair", PlexorName}, PlexorName, true, Success, PlexorName, false,
         "Utilities  Orvanta Plexor 1.9.0.24  Installed\n"},
        {"named row that is missing is left alone", {"/repair", PlexorName}, nullptr, true, Failure,
         "(not installed)", false, "Utilities  Orvanta Plexor 1.9.0.24  Not Installed\n"},
        {"every row of a machine that is right", {"/repair", "/quiet"}, PlexorName, true, Success, PlexorName, false,
         ""},
        {"reinstall with the server down", {"/repair", PlexorName, "/quiet"}, wrongName.c_str(), false, Failure,
         "(not installed)", false, "Utilities  Orvanta Plexor 1.9.0.24  Not Installed\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        if (c.served) f.serveServer();
        if (c.plexorBefore) f.registerPlexor(c.plexorBefore);
        EXPECT_EQ(f.run(c.args), c.exitCode);
        EXPECT_EQ(f.installedPlexorName(), c.plexorAfter);
        EXPECT_EQ(f.m.processes.started.size(), c.reinstalled ? 1u : 0u);
        if (c.report.size() >= 2 && c.report.compare(c.report.size() - 2, 2, "  ") == 0) {
            EXPECT_EQ(f.out.reports.rfind(c.report, 0), 0u) << f.out.reports;
        } else {
            EXPECT_EQ(f.out.reports, c.report);
        }
        // The repair question is asked (and answered Yes) once per row with a problem, never otherwise.
        const bool problem = c.plexorBefore && c.plexorBefore == wrongName;
        EXPECT_EQ(std::count(f.questions.begin(), f.questions.end(), components::operationtexts::RepairQuestion),
                  problem ? 1 : 0)
            << testing::PrintToString(f.questions);
    }
}

TEST(Unattended, ARepairLeavesEveryStatusChangeOfItsRowsInTheRunLog) {
    Fixture f;
    f.serveServer();
    f.registerPlexor("Orvanta Plexor 1.9.0.23");
    f.m.files.addFolder("C:\\Fleet");
    f.m.files.addFile("C:\\Fleet\\orvanta.log", "an earlier run's log\r\n");
    ASSERT_EQ(f.run({"/repair", PlexorName, "/log", "C:\\Fleet\\orvanta.log"}), Success);
    const std::string log = f.log();
    // The copy holds this run's log and nothing else, from its first line to its last.
    EXPECT_EQ(f.m.files.content("C:\\Fleet\\orvanta.log").value_or("(no copy)"), log);
    EXPECT_EQ(log.find("  Orvanta Lumetra SDK Installer 10.2.1.578 started\r\n"), 19u) << log;
    const std::string lastLine = "  Installer ended\r\n";
    EXPECT_EQ(log.rfind(lastLine), log.size() - lastLine.size()) << log;
    const std::string row = std::string("Utilities / ") + PlexorName + ": ";
    // What the first probe found, what the repair left, what the install made of it: in that order, and each
    // change once (the probes in between that found the same say nothing).
    std::size_t at = 0;
    for (const char* change : {"(none) -> Version Mismatch", "Version Mismatch -> Not Installed",
                               "Not Installed -> Installed"}) {
        SCOPED_TRACE(change);
        const std::size_t found = log.find(row + change + "\r\n", at);
        ASSERT_NE(found, std::string::npos) << log;
        EXPECT_EQ(log.find(row + change, found + 1), std::string::npos) << log;
        at = found;
    }
    // The page's other rows were probed as well, each logged once with what was found; another page's not.
    const std::string opcScout = "Utilities / OPC Scout (SIMATIC NET OPC-Client V6.2-3133): (none) -> Installed";
    ASSERT_TRUE(contains(log, opcScout)) << log;
    EXPECT_EQ(log.find(opcScout, log.find(opcScout) + 1), std::string::npos) << log;
    EXPECT_TRUE(contains(log, "Utilities / PerformanceTest 8.0: (none) -> Not Installed\r\n")) << log;
    EXPECT_FALSE(contains(log, "Utilities2 / ")) << log;
}

TEST(Unattended, ALogCopyThatCannotBeWrittenRefusesTheRunBeforeAnythingIsDone) {
    for (const char* path : {"C:\\No such folder\\orvanta.log", "C:\\Installer"}) {
        SCOPED_TRACE(path);
        Fixture f;
        f.serveServer();
        EXPECT_EQ(f.run({"/install", PlexorName, "/quiet", "/log", path}), BadArguments);
        EXPECT_EQ(f.out.messages, std::vector<std::string>{unattendedtexts::CannotWriteLog + std::string(path)});
        EXPECT_TRUE(f.out.reports.empty());
        EXPECT_TRUE(f.m.http.requests.empty());
        EXPECT_TRUE(f.m.processes.started.empty());
        // Not even the application's own log was started.
        EXPECT_FALSE(f.m.files.exists("C:\\Installer\\_OrvantaInstallData"));
        EXPECT_TRUE(f.logPath.empty());
    }
}

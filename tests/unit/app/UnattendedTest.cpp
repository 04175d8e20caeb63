// Unattended runs on the in-memory machine: the status report, installs and removals by name, and the exit
// codes a fleet tool acts on.
#include <gtest/gtest.h>

#include "app/AppTexts.h"
#include "app/Unattended.h"
#include "app/UnattendedTexts.h"
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

// The installer's folder, its server and the stand-in Plexor installer, which registers its product. The
// OPC client Plexor plugs into is there: without it Plexor's row shows a problem and the run repairs first.
struct Fixture {
    using Args = std::vector<std::string>;
    Fixture() {
        m.files.addFolder("C:\\Installer");
        m.registry.setString(platform::Hive::LocalMachine,
                             std::string(components::UninstallRoot) + components::uninstallkeys::OpcClient,
                             "DisplayName", "SIMATIC NET OPC CLIENT V6.2 Build 3133");
        m.processes.addRunning(std::string("C:\\Installer\\") + apptexts::ReleaseFileName);
        m.processes.onStart(PlexorFile, [](FakeMachine& machine, const std::string&) -> uint32_t {
            machine.msi.registerProduct(PlexorCode, platform::MsiContext::Machine, {PlexorName, "1.9.0.24", {}});
            return 0;
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
        COrvantaLumetraSDKInstallerApp app(m, ui, shell);
        download::InlineDialogs dialogs(m, ui);
        int code = runUnattended(*parsed.request, app, ui, dialogs, out);
        questions = ui.messages;
        return code;
    }
    FakeMachine m;
    CapturedOutput out;
    std::vector<std::string> questions;
};

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

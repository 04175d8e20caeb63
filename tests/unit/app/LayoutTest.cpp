// The offline copy from the command line (/layout) on the in-memory machine: what is fetched for all or some
// categories, where it lands, the help files unpacked, and the exit codes of an unknown category, a failed
// download and a second instance.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "../unzip/ZipBuilder.h"
#include "app/AppTexts.h"
#include "app/Unattended.h"
#include "app/UnattendedTexts.h"
#include "components/Catalogue.h"
#include "download/InlineDialogs.h"
#include "platform/fake/FakeMachine.h"
#include "support/RecordingUi.h"
#include "support/ScriptedDialogs.h"
#include "wizard/InstallerSheet.h"

using namespace cli;
using platform::fake::FakeMachine;

namespace {

const char* Server = "downloads.orvanta-vision.com";
const std::string AppFolder = "C:\\Installer";
const std::string TutorialsList = "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/578Lumetratutorials.ini.txt";
const std::string TutorialArchive = "/orvanta/files/Tutorials/getting-started.zip";
const std::string HelpObject = "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaVisionSoftware/578help.zip";

struct NoWindows : ApplicationShell {
    uintptr_t startGraphics() override { return 0; }
    void stopGraphics(uintptr_t) override {}
    void registerControlClasses() override {}
    void runWizard() override { ADD_FAILURE() << "an unattended run opened the wizard"; }
};

struct CapturedOutput : Output {
    bool report(const std::string& text) override { return true; }
    void message(const std::string& line) override { messages.push_back(line); }
    std::vector<std::string> messages;
};

std::string objectOf(const std::string& url) {
    const std::string prefix = std::string("http://") + Server;
    return url.substr(prefix.size());
}

TEST(LayoutCommandLine, CategoriesFollowTheCommandAndMayBeLeftOut) {
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> names;
        Display display;
        bool valid;
    } cases[] = {
        {{"/layout"}, {}, Display::Passive, true},
        {{"-LAYOUT", "Help Files", "core components", "/quiet"}, {"Help Files", "core components"}, Display::Quiet, true},
        {{"/passive", "/layout", "Tutorials", "/log", "l.log"}, {"Tutorials"}, Display::Passive, true},
        {{"/layout", "/json"}, {}, Display::Passive, false},
        {{"/layout", "A", "/install", "B"}, {}, Display::Passive, false},
        {{"/install", "A", "/layout"}, {}, Display::Passive, false},
        {{"/layout", ""}, {}, Display::Passive, false},
        {{"/layout", "A", "/quiet", "B"}, {}, Display::Passive, false},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += "[" + a + "] ";
        SCOPED_TRACE(line);
        ParseResult r = parseCommandLine(c.args);
        ASSERT_EQ(r.request.has_value(), c.valid) << r.error;
        if (!c.valid) {
            EXPECT_FALSE(r.error.empty());
            continue;
        }
        EXPECT_EQ(r.request->action, Action::Layout);
        EXPECT_EQ(r.request->names, c.names);
        EXPECT_EQ(r.request->display, c.display);
    }
}

class Layout : public ::testing::Test {
protected:
    Layout() {
        m->files.addFolder(AppFolder);
        m->processes.addRunning(AppFolder + "\\" + apptexts::ReleaseFileName);
        // The rows the welcome page offers, as the sheet hands them over.
        RecordingUi ui;
        ScriptedDialogs dialogs;
        wizard::PageEnvironment environment{*m, ui, dialogs, AppFolder, true, std::string("http://") + Server, false};
        wizard::ovDLumetraSDKInstallerSheet sheet(environment);
        const dvInstallManagerBase& offered = sheet.page(0).components();
        for (unsigned i = 0; i < offered.componentCount(); ++i) {
            const dvComponentInfo& row = offered.component(i);
            rows.push_back({row.displayName(), row.category(), row.downloadFolder() + "\\" + row.fileName(),
                            objectOf(row.downloadUrl())});
        }
    }
    // Every row's file and the help archive on the server, except the objects named. The tutorials list names
    // one archive.
    void serveAll(const std::set<std::string>& missing = {}) {
        for (const RowFile& r : rows)
            if (!missing.count(r.object)) m->http.serve(Server, 80, r.object, ok("file " + r.object));
        m->http.serve(Server, 80, TutorialsList,
                      ok(std::string("[Getting started]\r\nCaption=Getting started\r\nURL=http://") + Server +
                         TutorialArchive + "\r\nPDFName=start.pdf\r\n"));
        m->http.serve(Server, 80, TutorialArchive, ok("tutorial archive"));
        m->http.serve(Server, 80, HelpObject,
                     ok(ziptest::buildZip({{"_Help/OrvantaLumetraSDK/index.htm", "<html>help</html>"}})));
    }
    static platform::fake::FakeResponse ok(std::string body) {
        platform::fake::FakeResponse response;
        response.status = 200;
        response.body = std::move(body);
        return response;
    }
    int run(const std::vector<std::string>& args) {
        ParseResult parsed = parseCommandLine(args);
        if (!parsed.request) {
            ADD_FAILURE() << parsed.error;
            return -1;
        }
        NoWindows shell;
        AnsweringUi ui(out);
        COrvantaLumetraSDKInstallerApp app(*m, ui, shell);
        download::InlineDialogs dialogs(app.machine(), ui);
        return runUnattended(*parsed.request, app, ui, dialogs, out);
    }
    // The files asked for (the checksum files the download asks for beside them left out).
    std::set<std::string> requested() {
        std::set<std::string> objects;
        for (const auto& r : m->http.requests)
            if (!r.object.ends_with(".sha256")) objects.insert(r.object);
        return objects;
    }
    std::set<std::string> objectsOf(const std::set<std::string>& categories) {
        std::set<std::string> objects;
        for (const RowFile& r : rows)
            if (categories.count(r.category)) objects.insert(r.object);
        return objects;
    }
    bool helpUnpacked() {
        return m->files.content(AppFolder + "\\_OrvantaInstallData\\_Help\\OrvantaLumetraSDK\\index.htm") ==
               std::optional<std::string>("<html>help</html>");
    }

    struct RowFile {
        std::string name, category, path, object;
    };
    std::unique_ptr<FakeMachine> m = std::make_unique<FakeMachine>();
    CapturedOutput out;
    std::vector<RowFile> rows;
};

TEST_F(Layout, EveryCategoryFetchesEveryInstallerAndTheHelp) {
    serveAll();
    EXPECT_EQ(run({"/layout"}), Success);
    for (const RowFile& r : rows) {
        if (r.object != TutorialsList) {
            EXPECT_EQ(m->files.content(r.path).value_or("(missing)"), "file " + r.object) << r.path;
        }
    }
    EXPECT_TRUE(requested().count(TutorialArchive)) << "the tutorials list's archives come along";
    EXPECT_TRUE(helpUnpacked());
    EXPECT_FALSE(m->files.exists(AppFolder + "\\_OrvantaInstallData\\578help.zip")) << "unpacked, then removed";
    EXPECT_EQ(out.messages.back(), unattendedtexts::RunSucceeded);

    // A second layout fetches only what always downloads (and the help) again.
    m->http.requests.clear();
    EXPECT_EQ(run({"/layout", "/quiet"}), Success);
    EXPECT_FALSE(requested().empty());
    EXPECT_LT(requested().size(), rows.size());
    EXPECT_TRUE(requested().count(HelpObject));
}

TEST_F(Layout, NamedCategoriesFetchOnlyTheirFiles) {
    const struct {
        std::vector<std::string> args;
        std::set<std::string> categories;
        bool help;
    } cases[] = {
        {{"/layout", "Help Files"}, {}, true},
        {{"/layout", "help files"}, {}, true},
        {{"/LAYOUT", "core components"}, {"Core Components"}, false},
        {{"/layout", "TUTORIALS"}, {"Tutorials"}, false},
        {{"/layout", "Prerequisites", "HELP FILES", "/passive"}, {"Prerequisites"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[1]);
        m = std::make_unique<FakeMachine>();
        m->files.addFolder(AppFolder);
        serveAll();
        EXPECT_EQ(run(c.args), Success);
        std::set<std::string> expected = objectsOf(c.categories);
        if (c.help) expected.insert(HelpObject);
        if (c.categories.count("Tutorials")) expected.insert(TutorialArchive);
        EXPECT_EQ(requested(), expected);
        EXPECT_EQ(helpUnpacked(), c.help);
    }
}

TEST_F(Layout, WrongCategoriesFailuresAndASecondInstanceEndTheRunWithTheirCodes) {
    serveAll();
    EXPECT_EQ(run({"/layout", "Core Components", "Tutorial Files"}), BadArguments);
    EXPECT_EQ(out.messages.back(), std::string(unattendedtexts::UnknownCategory) + "Tutorial Files");
    EXPECT_TRUE(m->http.requests.empty()) << "nothing is fetched for a wrong line";

    m->processes.addRunning(AppFolder + "\\" + apptexts::ReleaseFileName);  // a second instance
    EXPECT_EQ(run({"/layout"}), AnotherInstanceRunning);
    EXPECT_TRUE(m->http.requests.empty());
}

TEST_F(Layout, AFailedDownloadStopsBeforeTheHelpAndFails) {
    const std::set<std::string> core = objectsOf({"Core Components"});
    serveAll({*core.begin()});
    EXPECT_EQ(run({"/layout"}), Failure);
    EXPECT_EQ(out.messages.back(), unattendedtexts::LayoutIncomplete);
    EXPECT_FALSE(requested().count(HelpObject));
    EXPECT_FALSE(helpUnpacked());

    // A help archive that is not there fails the run too.
    m = std::make_unique<FakeMachine>();
    m->files.addFolder(AppFolder);
    serveAll();
    platform::fake::FakeResponse notFound;
    notFound.status = 404;
    m->http.serve(Server, 80, HelpObject, notFound);
    EXPECT_EQ(run({"/layout", "Help Files"}), Failure);
}

}  // namespace

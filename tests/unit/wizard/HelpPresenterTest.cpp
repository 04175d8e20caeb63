// Where help is shown: the hosted viewer when the system can host a browser that finishes its documents,
// otherwise the system's handler; the choice made once and every later request re-targeted to it. And the
// sheet's side: help on two pages fetches and unpacks the help archive once and removes the archive.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../unzip/ZipBuilder.h"
#include "PageFixture.h"
#include "wizard/HelpViewer.h"
#include "wizard/InstallerSheet.h"

using wizard::HelpPresenter;
namespace helpviewer = wizard::helpviewer;

namespace {

// A scripted system: what the browser control does, and a record of every call in order.
struct ScriptedHelp : wizard::HelpSystem {
    bool controlAvailable = true;
    // Ready-state readings before the document in hand reports complete; -1: never completes.
    int pollsUntilComplete = 0;
    std::vector<std::string> calls;
    int viewersMade = 0;
    unsigned waited = 0;

    struct Viewer : wizard::HelpViewerWindow {
        explicit Viewer(ScriptedHelp& owner) : owner(owner) {}
        bool create() override {
            owner.calls.push_back("create");
            readings = 0;
            return owner.controlAvailable;
        }
        void navigate(const std::string& address) override {
            owner.calls.push_back("navigate " + address);
            readings = 0;
        }
        int readyState() override {
            ++readings;
            const int needed = owner.pollsUntilComplete;
            return needed >= 0 && readings > needed ? helpviewer::ReadyStateComplete : 1;
        }
        void refresh() override { owner.calls.push_back("refresh"); }
        void showAndFocus() override { owner.calls.push_back("show"); }
        ScriptedHelp& owner;
        int readings = 0;
    };

    std::unique_ptr<wizard::HelpViewerWindow> makeViewer() override {
        ++viewersMade;
        return std::make_unique<Viewer>(*this);
    }
    void wait(unsigned ms) override { waited += ms; }
    bool openWithSystem(const std::string& address) override {
        calls.push_back("system " + address);
        return true;
    }
};

const std::string TopicA = "C:\\Installer\\_OrvantaInstallData\\_Help\\OrvantaLumetraSDK\\index.htm#Page=Readme";
const std::string TopicB = "C:\\Installer\\_OrvantaInstallData\\_Help\\OrvantaLumetraSDK\\index.htm#Page=Complete";
const std::string UrlA = "file:///C:/Installer/_OrvantaInstallData/_Help/OrvantaLumetraSDK/index.htm#Page=Readme";
const std::string UrlB = "file:///C:/Installer/_OrvantaInstallData/_Help/OrvantaLumetraSDK/index.htm#Page=Complete";

TEST(HelpPresenter, ViewerOrSystemHandlerChosenOnceAndReTargeted) {
    struct Case {
        const char* name;
        bool controlAvailable;
        int pollsUntilComplete;
        HelpPresenter::Mode mode;
        HelpPresenter::Fallback fallback;
        std::vector<std::string> calls;  // two requests, topic A then topic B
    };
    const Case cases[] = {
        {"the browser loads at once", true, 0, HelpPresenter::Mode::Viewer, HelpPresenter::Fallback::None,
         {"create", "navigate " + UrlA, "refresh", "show", "navigate " + UrlB, "refresh", "show"}},
        {"the browser loads slowly, within the bounds", true, 15, HelpPresenter::Mode::Viewer,
         HelpPresenter::Fallback::None,
         {"create", "navigate " + UrlA, "refresh", "show", "navigate " + UrlB, "refresh", "show"}},
        {"no browser control", false, 0, HelpPresenter::Mode::SystemHandler,
         HelpPresenter::Fallback::NoBrowserControl,
         {"create", "system " + UrlA, "system " + UrlB}},
        {"a browser that never finishes a document", true, -1, HelpPresenter::Mode::SystemHandler,
         HelpPresenter::Fallback::NeverComplete,
         {"create", "system " + UrlA, "system " + UrlB}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHelp system;
        system.controlAvailable = c.controlAvailable;
        system.pollsUntilComplete = c.pollsUntilComplete;
        HelpPresenter help(system);
        EXPECT_EQ(help.mode(), HelpPresenter::Mode::Undecided);
        help.show(TopicA);
        help.show(TopicB);
        EXPECT_EQ(help.mode(), c.mode);
        EXPECT_EQ(help.fallback(), c.fallback);
        EXPECT_EQ(system.calls, c.calls);
        EXPECT_EQ(system.viewersMade, 1) << "one viewer at most, made at the first request";
        EXPECT_EQ(help.viewer() != nullptr, c.mode == HelpPresenter::Mode::Viewer);
    }
}

TEST(HelpPresenter, WaitsAreBoundedAndPolledEveryFiftyMilliseconds) {
    struct Case {
        const char* name;
        bool controlAvailable;
        int pollsUntilComplete;
        unsigned waited;  // over one request
    };
    const Case cases[] = {
        {"complete at once", true, 0, 0},
        {"complete at the 5th reading (start-up and topic alike)", true, 4, 2 * 4 * helpviewer::PollMs},
        {"never complete: the start-up bound, then the system's handler", true, -1,
         (helpviewer::StartupPolls - 1) * helpviewer::PollMs},
        {"no control: no waiting", false, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedHelp system;
        system.controlAvailable = c.controlAvailable;
        system.pollsUntilComplete = c.pollsUntilComplete;
        HelpPresenter help(system);
        help.show(TopicA);
        EXPECT_EQ(system.waited, c.waited);
    }
    EXPECT_LE(helpviewer::StartupPolls * helpviewer::PollMs, 5000u) << "a missing engine costs a few seconds at most";
}

TEST(HelpPresenter, ATopicStillLoadingAfterItsPollsIsShownAsFarAsItGot) {
    ScriptedHelp system;
    HelpPresenter help(system);
    help.show(TopicA);  // start-up and first topic complete at once
    system.pollsUntilComplete = 1000;
    system.calls.clear();
    system.waited = 0;
    help.show(TopicB);
    EXPECT_EQ(system.calls, (std::vector<std::string>{"navigate " + UrlB, "refresh", "show"}));
    EXPECT_EQ(system.waited, (helpviewer::TopicPolls - 1) * helpviewer::PollMs) << "21 readings, 50 ms apart";
}

TEST(HelpPresenter, ARequestWhileAnotherWaitsIsIgnored) {
    HelpPresenter* presenter = nullptr;
    struct Reentering : ScriptedHelp {
        HelpPresenter** presenter = nullptr;
        int nested = 0;
        void wait(unsigned ms) override {
            ScriptedHelp::wait(ms);
            if (nested++ == 0) (*presenter)->show(TopicB);  // the person presses Help again meanwhile
        }
    } reentering;
    reentering.pollsUntilComplete = 3;
    reentering.presenter = &presenter;
    HelpPresenter help(reentering);
    presenter = &help;
    help.show(TopicA);
    EXPECT_EQ(reentering.calls, (std::vector<std::string>{"create", "navigate " + UrlA, "refresh", "show"}));
}

TEST(HelpPresenter, TopicUrlsKeepTheAnchorAndUseForwardSlashes) {
    EXPECT_EQ(wizard::helpTopicUrl(TopicA), UrlA);
    EXPECT_EQ(wizard::helpTopicUrl("D:\\a b\\index.htm#Page=Modules"), "file:///D:/a b/index.htm#Page=Modules");
}

// ---------------------------------------------------------------------------------------------------------
// The sheet: the help archive on two pages

class HelpOnTwoPages : public pagetest::PageTest {};

TEST_F(HelpOnTwoPages, TheArchiveIsFetchedUnpackedAndRemovedOnce) {
    const std::string archive = "C:\\Installer\\_OrvantaInstallData\\578help.zip";
    const std::string index = "C:\\Installer\\_OrvantaInstallData\\_Help\\OrvantaLumetraSDK\\index.htm";
    int downloads = 0;
    dialogs.onDownloadAndInstall = [&](const dvComponentInfo& record, const components::DownloadRunFlags&) {
        ++downloads;
        EXPECT_EQ(record.fileName(), "578help.zip");
        // An archive whose entries begin with the help folder.
        m.files.addFile(archive, ziptest::buildZip({{"_Help/OrvantaLumetraSDK/index.htm", "<html>"}}));
        return components::DialogEnd::Ok;
    };
    wizard::ovDLumetraSDKInstallerSheet sheet(env());
    RecordingSheetView window(sheet);
    window.active = 1;
    sheet.showHelp();
    EXPECT_TRUE(m.files.exists(index));
    EXPECT_FALSE(m.files.exists(archive)) << "the archive goes once it is unpacked";
    window.active = 8;
    sheet.showHelp();
    EXPECT_EQ(downloads, 1);
    EXPECT_EQ(window.helpTopics, (std::vector<std::string>{index + "#Page=Readme", index + "#Page=Complete"}));
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace

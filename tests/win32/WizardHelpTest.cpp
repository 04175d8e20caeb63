// The wizard's help on the real machine: the help archive fetched from the loopback vendor server, unpacked
// into the data folder and the archive removed; an unpacked help reused without the network; a help removed
// or refreshed on request fetched again.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "PlatformTestSupport.h"
#include "download/InlineDialogs.h"
#include "platform/win32/Win32Machine.h"
#include "wizard/InstallerSheet.h"

using namespace platform_test;

namespace {

constexpr const char* HelpObject = "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaVisionSoftware/578help.zip";

class HelpTopics : public wizard::SheetView {
public:
    int activeIndex() override { return 5; }
    void activatePage(int) override {}
    void showHelpTopic(const std::string& address) override { topics.push_back(address); }
    std::vector<std::string> topics;
};

int helpRequests(const std::string& log) {
    const std::string text = readRaw(log);
    int count = 0;
    for (std::size_t at = 0; (at = text.find("578help.zip", at)) != std::string::npos; ++at) ++count;
    return count;
}

TEST(WizardHelpOnWine, HelpIsPreparedOnceAndAgainWhenRemovedOrRefreshed) {
    const std::string url = environmentValue("INSTALLER_VENDOR_URL");
    const std::string root = dosPath(environmentValue("INSTALLER_VENDOR_ROOT"));
    const std::string log = dosPath(environmentValue("INSTALLER_VENDOR_LOG"));
    ASSERT_FALSE(url.empty() || root.empty() || log.empty()) << "run under run-with-server.sh";
    std::string served = root;
    std::string object = HelpObject;
    for (std::size_t begin = 1, slash; (slash = object.find('/', begin)) != std::string::npos; begin = slash + 1) {
        served += "\\" + object.substr(begin, slash - begin);
        CreateDirectoryA(served.c_str(), nullptr);
    }
    std::string source = fixturesFolder() + "\\server" + object;
    for (char& c : source)
        if (c == '/') c = '\\';
    ASSERT_TRUE(CopyFileA(source.c_str(), (served + "\\578help.zip").c_str(), FALSE)) << source;

    const std::string app = uniqueName("C:\\help-test");
    CreateDirectoryA(app.c_str(), nullptr);
    const std::string index = app + "\\_OrvantaInstallData\\_Help\\OrvantaLumetraSDK\\index.htm";
    const std::string archive = app + "\\_OrvantaInstallData\\578help.zip";

    platform::Machine& machine = platform::win32::realMachine();
    RecordingUi ui;
    download::InlineDialogs dialogs(machine, ui);
    wizard::PageEnvironment environment{machine, ui, dialogs, app, true, url, false};
    wizard::ovDLumetraSDKInstallerSheet sheet(environment);
    HelpTopics window;
    sheet.attachView(&window);
    unsigned char ignoreAll = 0;

    // First request: fetched, unpacked, archive gone; the topic names the page.
    sheet.showHelp();
    EXPECT_TRUE(pathPresent(index));
    EXPECT_FALSE(pathPresent(archive)) << "the archive is removed once unpacked";
    ASSERT_EQ(window.topics.size(), 1u);
    EXPECT_EQ(window.topics[0], index + "#Page=CoreComponents");
    const int afterFirst = helpRequests(log);
    EXPECT_GE(afterFirst, 1);

    // Unpacked help is used as it is.
    EXPECT_EQ(sheet.prepareHelpFiles(false, &ignoreAll), 1);
    EXPECT_EQ(helpRequests(log), afterFirst) << "no network for help that is in place";

    // Removed: fetched and unpacked again.
    removeTree(app + "\\_OrvantaInstallData\\_Help");
    EXPECT_EQ(sheet.prepareHelpFiles(false, &ignoreAll), 1);
    EXPECT_TRUE(pathPresent(index));
    EXPECT_FALSE(pathPresent(archive));
    const int afterSecond = helpRequests(log);
    EXPECT_GT(afterSecond, afterFirst);

    // Forced: replaced by a fresh copy even though one is in place.
    EXPECT_EQ(sheet.prepareHelpFiles(true, &ignoreAll), 1);
    EXPECT_TRUE(pathPresent(index));
    EXPECT_GT(helpRequests(log), afterSecond);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();

    sheet.attachView(nullptr);
    removeTree(app);
}

}  // namespace

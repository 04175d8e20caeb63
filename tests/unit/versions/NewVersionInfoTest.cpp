// The background check for a newer installer on the in-memory machine: what the server's upgrade information
// says, what is fetched, what the state becomes, and what is left on disk.
#include <gtest/gtest.h>

#include <string>

#include "../download/FetchTestSupport.h"
#include "platform/fake/FakeMachine.h"
#include "versions/NewVersionInfo.h"

using platform::fake::FakeMachine;

namespace {

const std::string Base = "http://vendor.test";
const std::string InfoObject = "/orvanta/files/InstallerRepositories/Orvanta10.2/578/OrvantaLumetraSDK/578UpgradeInfoLumetraSDK.ini.txt";
const std::string TempFolder = "C:\\users\\admin\\Temp\\20261210061502007";
const std::string Title = "Orvanta Lumetra SDK Version X 10.2.1.578 Installer";

std::string info(const std::string& name, const std::string& notesName = "notes.rtf",
                 const std::string& notesPath = "http://vendor.test/orvanta/notes/") {
    return "[Version Upgrade Info]\r\nLatestVersionName=" + name + "\r\nLatestVersionNumber=10.2.1.600\r\n" +
           "ReleaseNotesFileName=" + notesName + "\r\nReleaseNotesFilePath=" + notesPath + "\r\n" +
           "InstallerFileName=new.exe\r\nInstallerFilePath=http://vendor.test/orvanta/installers/\r\n";
}

class NewVersionCheck : public ::testing::Test {
protected:
    NewVersionCheck() {
        m.clock.now = {2026, 12, 10, 6, 15, 2};
        m.clock.ticks = 123007;
        m.files.addFolder("C:\\users\\admin\\Temp");
        m.http.addServer("vendor.test", 80);
    }
    FakeMachine m;
};

TEST_F(NewVersionCheck, AnotherInstallerNamedFetchesItsReleaseNotes) {
    m.http.serve("vendor.test", 80, InfoObject, fetchtest::ok(info("Orvanta Lumetra SDK Version X 10.2.1.600 Installer")));
    m.http.serve("vendor.test", 80, "/orvanta/notes/notes.rtf", fetchtest::ok("{\\rtf1 notes}"));
    NewVersionInfo check(m, Base);
    ASSERT_EQ(check.tempFolder(), TempFolder) << "the temporary folder is named by the local time";
    EXPECT_EQ(check.checkState(), NewVersionInfo::NotChecked);
    EXPECT_EQ(check.checkForNewVersion(nullptr), NewVersionInfo::Found);
    EXPECT_EQ(check.checkState(), NewVersionInfo::NewerVersionAvailable);
    EXPECT_EQ(check.latestVersionName(), "Orvanta Lumetra SDK Version X 10.2.1.600 Installer");
    EXPECT_EQ(check.latestVersionNumber(), "10.2.1.600");
    EXPECT_EQ(check.currentVersionName(), Title);
    EXPECT_EQ(check.releaseNotesPath(), TempFolder + "\\notes.rtf");
    EXPECT_EQ(m.files.content(TempFolder + "\\notes.rtf"), "{\\rtf1 notes}");
}

TEST_F(NewVersionCheck, EveryFailureLeavesNoNewerVersion) {
    const struct {
        const char* name;
        bool serveInfo;
        std::string infoText;
        bool serveNotes;
        int expected;
    } cases[] = {
        {"no upgrade information on the server", false, "", false, NewVersionInfo::UpgradeInfoUnavailable},
        {"the same installer", true, info(Title), true, NewVersionInfo::NoDifferentVersion},
        {"no name at all", true, info(""), true, NewVersionInfo::NoDifferentVersion},
        {"another name in other letter case counts as another installer, notes missing", true,
         info("orvanta lumetra sdk version x 10.2.1.578 installer"), false, NewVersionInfo::ReleaseNotesUnavailable},
        {"no release notes named", true, info("Newer", ""), true, NewVersionInfo::ReleaseNotesUnavailable},
        {"no release notes address", true, info("Newer", "notes.rtf", ""), true, NewVersionInfo::ReleaseNotesUnavailable},
        {"release notes that would land outside the folder", true, info("Newer", "..\\..\\evil.rtf"), true,
         NewVersionInfo::ReleaseNotesUnavailable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMachine fresh;
        fresh.clock.now = {2026, 12, 10, 6, 15, 2};
        fresh.files.addFolder("C:\\users\\admin\\Temp");
        fresh.http.addServer("vendor.test", 80);
        if (c.serveInfo) fresh.http.serve("vendor.test", 80, InfoObject, fetchtest::ok(c.infoText));
        if (c.serveNotes) {
            fresh.http.serve("vendor.test", 80, "/orvanta/notes/notes.rtf", fetchtest::ok("{\\rtf1}"));
            fresh.http.serve("vendor.test", 80, "/orvanta/notes/..\\..\\evil.rtf", fetchtest::ok("{\\rtf1}"));
        }
        NewVersionInfo check(fresh, Base);
        EXPECT_EQ(check.checkForNewVersion(nullptr), c.expected);
        EXPECT_EQ(check.checkState(), NewVersionInfo::NoNewerVersion);
        EXPECT_FALSE(fresh.files.exists("C:\\users\\evil.rtf"));
    }
}

TEST_F(NewVersionCheck, TheTemporaryFolderGoesWithTheCheck) {
    m.http.serve("vendor.test", 80, InfoObject, fetchtest::ok(info("Newer")));
    m.http.serve("vendor.test", 80, "/orvanta/notes/notes.rtf", fetchtest::ok("{\\rtf1}"));
    m.files.addFile(TempFolder + "\\left by an earlier run.txt", "old");  // the same name: replaced whole
    {
        NewVersionInfo check(m, Base);
        EXPECT_FALSE(m.files.exists(TempFolder + "\\left by an earlier run.txt"));
        EXPECT_EQ(check.checkForNewVersion(nullptr), NewVersionInfo::Found);
        EXPECT_TRUE(m.files.exists(TempFolder));
    }
    EXPECT_FALSE(m.files.exists(TempFolder)) << "removed with everything the check fetched";
}

TEST_F(NewVersionCheck, WithoutATemporaryFolderNothingIsFetched) {
    m.environment.temp.reset();  // the system gives no temporary folder
    m.files.fault = [](const std::string& op, const std::string& path) {
        return op == "createFolder" && path == "C:\\temp";  // and C:\temp cannot be made
    };
    NewVersionInfo check(m, Base);
    EXPECT_EQ(check.tempFolder(), "");
    EXPECT_EQ(check.checkForNewVersion(nullptr), NewVersionInfo::UpgradeInfoUnavailable);
    EXPECT_TRUE(m.http.requests.empty());

    m.files.fault = nullptr;
    NewVersionInfo fallback(m, Base);
    EXPECT_EQ(fallback.tempFolder().rfind("C:\\temp\\", 0), 0u) << fallback.tempFolder();
}

TEST_F(NewVersionCheck, AStoppedCheckFailsLikeAnUnreachableServer) {
    m.http.serve("vendor.test", 80, InfoObject, fetchtest::ok(info("Newer")));
    NewVersionInfo check(m, Base);
    download::AbortSignal stop;
    stop.abort();  // the wizard closed before the check got going
    EXPECT_EQ(check.checkForNewVersion(&stop), NewVersionInfo::UpgradeInfoUnavailable);
    EXPECT_EQ(check.checkState(), NewVersionInfo::NoNewerVersion);
}

}  // namespace

// Extraction never goes through a junction or folder link, wherever on the way it stands.
#include <gtest/gtest.h>

#include "components/unzip/Unzipper.h"
#include "platform/fake/FakeMachine.h"
#include "unzip/ZipBuilder.h"

using platform::fake::FakeMachine;
using ziptest::Entry;

namespace {

constexpr uint32_t kReparsePoint = 0x400;

TEST(UnzipperLinksTest, ALinkedFolderOnTheWayIsRefused) {
    struct Case {
        const char* link;    // the folder that is a junction
        const char* target;  // extraction folder
        const char* entry;
    };
    const Case cases[] = {
        {"C:\\data\\Downloads", "C:\\data\\Downloads", "a.dll"},               // the target itself
        {"C:\\data\\Downloads", "C:\\data\\Downloads\\Module", "a.dll"},       // the first folder that exists
        {"C:\\data\\Downloads\\Module\\bin", "C:\\data\\Downloads\\Module", "bin/a.dll"},  // inside the archive
        {"C:\\data\\Downloads\\Module\\bin", "C:\\data\\Downloads\\Module", "bin/"},       // a folder entry
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.link) + " <- " + c.entry);
        FakeMachine m;
        m.files.addFile("C:\\data\\module.zip", ziptest::buildZip({Entry{c.entry, "dll"}}));
        m.files.addFolder(c.link);
        ASSERT_TRUE(m.files.setAttributes(c.link, platform::attr::Directory | kReparsePoint));
        const auto before = m.files.tree("C:");
        EXPECT_FALSE(extractArchive(m, "C:\\data\\module.zip", c.target));
        EXPECT_EQ(m.files.tree("C:"), before);
    }
}

TEST(UnzipperLinksTest, PlainFoldersStillTakeTheFiles) {
    FakeMachine m;
    m.files.addFile("C:\\data\\module.zip", ziptest::buildZip({Entry{"bin/a.dll", "dll"}}));
    m.files.addFolder("C:\\data\\Downloads\\Module\\bin");
    ASSERT_TRUE(extractArchive(m, "C:\\data\\module.zip", "C:\\data\\Downloads\\Module"));
    EXPECT_EQ(m.files.content("C:\\data\\Downloads\\Module\\bin\\a.dll"), std::optional<std::string>("dll"));
}

}  // namespace

// The in-memory machine must answer as Windows does where the installer's rules depend on it.
#include <gtest/gtest.h>

#include "platform/fake/FakeMachine.h"

using namespace platform;
using platform::fake::FakeMachine;

TEST(FakeFileSystem, PathsCompareWithoutCaseAndWithEitherSeparator) {
    FakeMachine m;
    m.files.addFile("C:\\Data\\Sub\\File.TXT", "x");
    struct Case {
        const char* path;
        bool found;
    } cases[] = {
        {"C:\\Data\\Sub\\File.TXT", true},  {"c:/data/sub/file.txt", true}, {"C:\\DATA//SUB\\\\file.txt", true},
        {"C:\\Data\\Sub", true},            {"C:\\Data\\Sub\\", false},      {"C:\\Data\\Sub/", false},
        {"C:\\Data\\Sub\\*.txt", true},     {"C:\\Data\\Sub\\F?le.txt", true}, {"C:\\Data\\Sub\\*.exe", false},
        {"C:\\Data\\Other\\File.TXT", false}, {"C:\\", false},
    };
    for (const Case& c : cases) EXPECT_EQ(m.files.exists(c.path), c.found) << c.path;
}

TEST(FakeFileSystem, ReadOnlyFileRefusesDeleteWriteAndReplace) {
    FakeMachine m;
    m.files.addFile("C:\\d\\ro.txt", "old", attr::ReadOnly);
    m.files.addFile("C:\\d\\new.txt", "new");
    EXPECT_FALSE(m.files.deleteFile("C:\\d\\ro.txt"));
    EXPECT_EQ(m.files.open("C:\\d\\ro.txt", Access::Write, Disposition::CreateAlways), nullptr);
    EXPECT_FALSE(m.files.moveFile("C:\\d\\new.txt", "C:\\d\\ro.txt", moveflag::ReplaceExisting));
    ASSERT_TRUE(m.files.setAttributes("C:\\d\\ro.txt", attr::Archive));
    EXPECT_TRUE(m.files.moveFile("C:\\d\\new.txt", "C:\\d\\ro.txt", moveflag::ReplaceExisting));
    EXPECT_EQ(m.files.content("C:\\d\\ro.txt"), "new");
    EXPECT_FALSE(m.files.exists("C:\\d\\new.txt"));
}

TEST(FakeFileSystem, MoveWithoutReplaceKeepsTheTarget) {
    FakeMachine m;
    m.files.addFile("C:\\d\\a", "a");
    m.files.addFile("C:\\d\\b", "b");
    EXPECT_FALSE(m.files.moveFile("C:\\d\\a", "C:\\d\\b", 0));
    EXPECT_EQ(m.files.content("C:\\d\\b"), "b");
}

TEST(FakeFileSystem, FolderOperationsFollowWindows) {
    FakeMachine m;
    EXPECT_FALSE(m.files.createFolder("C:\\x\\y"));  // parent missing
    EXPECT_TRUE(m.files.createFolder("C:\\x"));
    EXPECT_TRUE(m.files.createFolder("C:\\x\\y"));
    EXPECT_FALSE(m.files.createFolder("C:\\x\\y"));  // already there
    m.files.addFile("C:\\x\\y\\f", "");
    EXPECT_FALSE(m.files.removeFolder("C:\\x\\y"));  // not empty
    EXPECT_TRUE(m.files.deleteFile("C:\\x\\y\\f"));
    EXPECT_TRUE(m.files.removeFolder("C:\\x\\y"));
    auto listing = m.files.find("C:\\x\\*.*");
    ASSERT_TRUE(listing);
    ASSERT_EQ(listing->size(), 2u);  // "." and ".."
}

TEST(FakeFileSystem, AFolderLinkIsRemovedWithoutItsTarget) {
    FakeMachine m;
    // The fake shows a junction as a folder with the reparse-point attribute and its target's contents.
    m.files.addFile("C:\\x\\Link\\target.txt", "elsewhere");
    m.files.addFile("C:\\x\\plain.txt", "p");
    ASSERT_TRUE(m.files.setAttributes("C:\\x\\Link", attr::Directory | 0x400));
    EXPECT_TRUE(m.files.removeFolder("C:\\x\\Link"));
    EXPECT_EQ(m.files.attributes("C:\\x\\Link"), std::nullopt);
    EXPECT_FALSE(m.files.removeFolder("C:\\x\\Link"));  // gone already
    EXPECT_EQ(m.files.content("C:\\x\\Link\\target.txt"), "elsewhere");
    auto listing = m.files.find("C:\\x\\*.*");
    ASSERT_TRUE(listing);
    std::vector<std::string> names;
    for (const FindEntry& e : *listing) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "plain.txt"}));
    // The folder that held the link is empty once its own file is gone.
    EXPECT_FALSE(m.files.removeFolder("C:\\x"));
    ASSERT_TRUE(m.files.deleteFile("C:\\x\\plain.txt"));
    EXPECT_TRUE(m.files.removeFolder("C:\\x"));
    EXPECT_FALSE(m.files.exists("C:\\x"));
    // A plain folder with contents is still refused.
    m.files.addFile("C:\\y\\Sub\\f", "");
    EXPECT_FALSE(m.files.removeFolder("C:\\y\\Sub"));
}

TEST(FakeFileSystem, OpenFilesAreNotShared) {
    FakeMachine m;
    m.files.addFolder("C:\\d");
    auto first = m.files.open("C:\\d\\f", Access::ReadWrite, Disposition::OpenAlways);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m.files.open("C:\\d\\f", Access::Read, Disposition::OpenExisting), nullptr);
    EXPECT_FALSE(m.files.deleteFile("C:\\d\\f"));
    first.reset();
    EXPECT_TRUE(m.files.deleteFile("C:\\d\\f"));
}

TEST(FakeRegistry, HivesAreSeparateAndNamesIgnoreCase) {
    FakeMachine m;
    m.registry.setString(Hive::CurrentUser, "SOFTWARE\\Vendor\\App", "Path", "C:\\app\\");
    EXPECT_FALSE(m.registry.keyExists(Hive::LocalMachine, "SOFTWARE\\Vendor\\App"));
    EXPECT_TRUE(m.registry.keyExists(Hive::CurrentUser, "software\\vendor\\app"));
    EXPECT_TRUE(m.registry.keyExists(Hive::CurrentUser, "SOFTWARE\\Vendor"));
    auto v = m.registry.readValue(Hive::CurrentUser, "SOFTWARE\\VENDOR\\APP", "path", 4096);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->text(), "C:\\app\\");
    // "C:\app\" plus its terminator is 8 bytes: a buffer of 7 cannot hold it.
    EXPECT_TRUE(m.registry.readValue(Hive::CurrentUser, "SOFTWARE\\Vendor\\App", "Path", 8));
    EXPECT_FALSE(m.registry.readValue(Hive::CurrentUser, "SOFTWARE\\Vendor\\App", "Path", 7));
}

TEST(FakeWindowsInstaller, ContextsAndBuffers) {
    FakeMachine m;
    m.msi.registerProduct("{AAAA}", MsiContext::UserUnmanaged, {"Product A", "1.2.3", {}});
    EXPECT_FALSE(m.msi.productInfoEx("{AAAA}", MsiContext::Machine, "VersionString", 64));
    EXPECT_EQ(m.msi.productInfoEx("{aaaa}", MsiContext::UserUnmanaged, "VersionString", 64), "1.2.3");
    EXPECT_EQ(m.msi.productInfo("{AAAA}", "InstalledProductName", 512), "Product A");
    EXPECT_FALSE(m.msi.productInfo("{AAAA}", "InstalledProductName", 9));  // 9 characters + terminator
    std::string code;
    EXPECT_EQ(m.msi.enumProducts(0, code), win32error::Success);
    EXPECT_EQ(code, "{AAAA}");
    EXPECT_EQ(m.msi.enumProducts(1, code), win32error::NoMoreItems);
    EXPECT_EQ(m.msi.configureProductAbsent("{AAAA}"), win32error::Success);
    EXPECT_EQ(m.msi.configureProductAbsent("{AAAA}"), win32error::UnknownProduct);
}

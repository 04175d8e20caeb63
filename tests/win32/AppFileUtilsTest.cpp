// The shared file helpers on the real file system: what they remove, and what they must never remove.
#include <windows.h>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "app/FileUtils.h"
#include "app/InstallerApp.h"
#include "platform/win32/Win32Machine.h"

using namespace platform_test;

namespace {
platform::Machine& real() { return platform::win32::realMachine(); }
}  // namespace

TEST(AppFileUtilsOnWine, DeleteFolderTreeRemovesReadOnlyFilesAndStaysInside) {
    ScratchFolder scratch;
    const std::string tree = scratch / "Tree";
    ASSERT_TRUE(CreateDirectoryA(tree.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((tree + "\\Sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((tree + "\\Sub\\Empty").c_str(), nullptr));
    ASSERT_TRUE(writeRaw(tree + "\\a.txt", "a"));
    ASSERT_TRUE(writeRaw(tree + "\\Sub\\locked.dll", "b"));
    ASSERT_TRUE(SetFileAttributesA((tree + "\\Sub\\locked.dll").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(writeRaw(scratch / "TreeSibling.txt", "keep"));
    ASSERT_TRUE(writeRaw(scratch / "outside.txt", "keep"));

    EXPECT_TRUE(deleteFolderTree(real(), tree, tree));
    EXPECT_FALSE(pathPresent(tree));
    EXPECT_EQ(readRaw(scratch / "TreeSibling.txt"), "keep");
    EXPECT_EQ(readRaw(scratch / "outside.txt"), "keep");
    // A path that is not there is no failure.
    EXPECT_TRUE(deleteFolderTree(real(), tree, tree));
}

TEST(AppFileUtilsOnWine, RefusedPathsAreLeftAlone) {
    // "C:\ab" is six characters: refused however it is asked for.
    const std::string shortPath = "C:\\ab";
    bool created = CreateDirectoryA(shortPath.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    ASSERT_TRUE(created);
    ASSERT_TRUE(writeRaw(shortPath + "\\marker.txt", "marker"));
    EXPECT_FALSE(deleteFolderTree(real(), shortPath, shortPath));
    EXPECT_EQ(readRaw(shortPath + "\\marker.txt"), "marker");

    ScratchFolder scratch;
    ASSERT_TRUE(writeRaw(scratch / "kept.txt", "kept"));
    EXPECT_FALSE(deleteFolderTree(real(), scratch.path(), "not part of the path"));
    EXPECT_EQ(readRaw(scratch / "kept.txt"), "kept");

    DeleteFileA((shortPath + "\\marker.txt").c_str());
    RemoveDirectoryA(shortPath.c_str());
}

TEST(AppFileUtilsOnWine, DeleteDataFolderRemovesOnlyTheDataFolder) {
    ScratchFolder scratch;
    const std::string data = scratch / "_OrvantaInstallData";
    ASSERT_TRUE(CreateDirectoryA(data.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((data + "\\Modules").c_str(), nullptr));
    ASSERT_TRUE(writeRaw(data + "\\Modules\\ipp.zip", "zip"));
    ASSERT_TRUE(CreateDirectoryA((scratch / "_OrvantaInstallers").c_str(), nullptr));
    ASSERT_TRUE(writeRaw(scratch / "_OrvantaInstallers\\copy.exe", "exe"));

    EXPECT_TRUE(deleteDataFolder(real(), scratch.path()));
    EXPECT_FALSE(pathPresent(data));
    EXPECT_EQ(readRaw(scratch / "_OrvantaInstallers\\copy.exe"), "exe");
    EXPECT_TRUE(deleteDataFolder(real(), scratch.path()));
}

TEST(AppFileUtilsOnWine, WriteTestRemovesALeftoverReadOnlyFile) {
    ScratchFolder scratch;
    ASSERT_TRUE(writeRaw(scratch / "testFile.txt", "left over"));
    ASSERT_TRUE(SetFileAttributesA((scratch / "testFile.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(COrvantaLumetraSDKInstallerApp::writeTest(real(), scratch.path()));
    EXPECT_FALSE(pathPresent(scratch / "testFile.txt"));
    EXPECT_FALSE(COrvantaLumetraSDKInstallerApp::writeTest(real(), scratch / "missing"));
}

TEST(AppFileUtilsOnWine, ProgramFilesFolderHasNoTrailingSeparator) {
    auto folder = getProgramFilesFolder(real());
    ASSERT_TRUE(folder.has_value());
    EXPECT_FALSE(folder->empty());
    EXPECT_NE(folder->back(), '\\');
    EXPECT_TRUE(pathPresent(*folder));
    auto desktop = getCommonDesktopFolder(real());
    auto programs = getCommonProgramsFolder(real());
    ASSERT_TRUE(desktop && programs);
    EXPECT_TRUE(pathPresent(*desktop));
    EXPECT_TRUE(pathPresent(*programs));
}

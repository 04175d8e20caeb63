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

namespace {
// Greek, Chinese and Thai: no ANSI code page holds all three, so the ANSI search lists '?' in their place.
const std::wstring Unfit = L"\u03a9\u4e2d\u0e01";
}  // namespace

TEST(AppFileUtilsOnWine, DeleteFolderTreeRemovesNamesOutsideTheAnsiCodePage) {
    ScratchFolder scratch;
    const std::string tree = scratch / "Tree";
    const std::wstring wideTree = wide(tree);
    ASSERT_TRUE(CreateDirectoryW(wideTree.c_str(), nullptr));
    ASSERT_TRUE(writeRaw(wideTree + L"\\\u03a9\u4e2d.txt", "a"));
    ASSERT_TRUE(writeRaw(wideTree + L"\\\u4e2d.txt", "b"));  // the same "?.txt" to the ANSI search
    ASSERT_TRUE(CreateDirectoryW((wideTree + L"\\" + Unfit).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((wideTree + L"\\" + Unfit + L"\\" + Unfit).c_str(), nullptr));
    ASSERT_TRUE(writeRaw(wideTree + L"\\" + Unfit + L"\\" + Unfit + L"\\deep.dll", "c"));
    ASSERT_TRUE(writeRaw(wideTree + L"\\" + Unfit + L"\\locked \u0e01.dll", "d"));
    ASSERT_TRUE(SetFileAttributesW((wideTree + L"\\" + Unfit + L"\\locked \u0e01.dll").c_str(),
                                   FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(writeRaw(scratch / "outside.txt", "keep"));

    EXPECT_TRUE(deleteFolderTree(real(), tree, tree));
    EXPECT_FALSE(pathPresent(wideTree));
    EXPECT_EQ(readRaw(scratch / "outside.txt"), "keep");
}

TEST(AppFileUtilsOnWine, DeleteFolderTreeFailsWhileAnythingRemains) {
    // A file another program holds open without delete sharing cannot go, and with it its folders.
    struct Case {
        const char* what;
        std::wstring held;  // below the tree
    } cases[] = {
        {"plain name at the top", L"held.txt"},
        {"name outside the code page, deeper down", Unfit + L"\\Sub\\\u03a9 held.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch;
        const std::string tree = scratch / "_OrvantaInstallData";  // the data folder: its removal reports too
        const std::wstring wideTree = wide(tree);
        ASSERT_TRUE(CreateDirectoryW(wideTree.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((wideTree + L"\\" + Unfit).c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((wideTree + L"\\" + Unfit + L"\\Sub").c_str(), nullptr));
        ASSERT_TRUE(writeRaw(wideTree + L"\\free.txt", "free"));
        ASSERT_TRUE(writeRaw(wideTree + L"\\" + Unfit + L"\\free \u4e2d.txt", "free"));
        const std::wstring held = wideTree + L"\\" + c.held;
        ASSERT_TRUE(writeRaw(held, "held"));
        HANDLE handle = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);

        EXPECT_FALSE(deleteFolderTree(real(), tree, tree));
        EXPECT_FALSE(deleteDataFolder(real(), scratch.path()));
        EXPECT_TRUE(pathPresent(held));
        // What could go is gone.
        EXPECT_FALSE(pathPresent(wideTree + L"\\free.txt"));
        EXPECT_FALSE(pathPresent(wideTree + L"\\" + Unfit + L"\\free \u4e2d.txt"));

        CloseHandle(handle);
        EXPECT_TRUE(deleteDataFolder(real(), scratch.path()));
        EXPECT_FALSE(pathPresent(wideTree));
    }
}

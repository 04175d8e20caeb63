// The shared file helpers, above all that deleteFolderTree never removes anything outside its path.
#include <gtest/gtest.h>

#include "app/FileUtils.h"
#include "platform/fake/FakeMachine.h"

using namespace platform;
using platform::fake::FakeMachine;

namespace {
void addSampleTree(FakeMachine& m) {
    m.files.addFile("C:\\Keep\\outside.txt", "keep");
    m.files.addFile("C:\\Keep\\Tree\\a.txt", "a");
    m.files.addFile("C:\\Keep\\Tree\\Sub\\b.dll", "b", attr::ReadOnly);
    m.files.addFile("C:\\Keep\\Tree\\Sub\\Deeper\\c", "c", attr::ReadOnly | attr::Hidden);
    m.files.addFolder("C:\\Keep\\Tree\\Empty");
    m.files.addFile("C:\\Keep\\TreeSibling\\d.txt", "d");
}
}  // namespace

TEST(DeleteFolderTree, RemovesEverythingBelowIncludingReadOnlyFiles) {
    FakeMachine m;
    addSampleTree(m);
    EXPECT_TRUE(deleteFolderTree(m, "C:\\Keep\\Tree", "C:\\Keep\\Tree"));
    EXPECT_EQ(m.files.tree("C:\\Keep"),
              (std::vector<std::string>{"C:\\Keep", "C:\\Keep\\outside.txt", "C:\\Keep\\TreeSibling",
                                        "C:\\Keep\\TreeSibling\\d.txt"}));
}

TEST(DeleteFolderTree, RefusedPathsTouchNothing) {
    struct Case {
        const char* path;
        const char* guard;
    } cases[] = {
        {"C:\\", "C:\\"},          {"C:\\ab", "C:\\ab"},   {"C:\\Kee", "C:\\Kee"},  // 6 characters and fewer
        {"C:\\Keep\\Tree", "D:\\"}, {"C:\\Keep\\Tree", "c:\\keep\\tree"},           // guard not in path
    };
    for (const Case& c : cases) {
        FakeMachine m;
        addSampleTree(m);
        m.files.addFile("C:\\ab\\x", "x");
        auto before = m.files.tree("C:\\");
        EXPECT_FALSE(deleteFolderTree(m, c.path, c.guard)) << c.path;
        EXPECT_EQ(m.files.tree("C:\\"), before) << c.path;
    }
    FakeMachine m;
    EXPECT_FALSE(deleteFolderTree(m, nullptr, "C:\\Keep\\Tree"));
    EXPECT_FALSE(deleteFolderTree(m, "C:\\Keep\\Tree", nullptr));
}

TEST(DeleteFolderTree, SevenCharactersAreEnoughAndAMissingPathIsSuccess) {
    FakeMachine m;
    m.files.addFile("C:\\abcd\\x", "x");
    EXPECT_TRUE(deleteFolderTree(m, "C:\\abcd", "C:\\abcd"));
    EXPECT_FALSE(m.files.exists("C:\\abcd"));
    EXPECT_TRUE(deleteFolderTree(m, "C:\\Nowhere\\At\\All", "C:\\Nowhere\\At\\All"));
}

TEST(DeleteFolderTree, FailedEnumerationIsFailure) {
    FakeMachine m;
    addSampleTree(m);
    m.files.fault = [](const std::string& op, const std::string&) { return op == "find"; };
    EXPECT_FALSE(deleteFolderTree(m, "C:\\Keep\\Tree", "C:\\Keep\\Tree"));
    EXPECT_EQ(m.files.content("C:\\Keep\\Tree\\a.txt"), "a");
}

TEST(DeleteFolderTree, PartlyRemovedTreeReportsFailure) {
    FakeMachine m;
    addSampleTree(m);
    m.files.fault = [](const std::string& op, const std::string& path) {
        return op == "delete" && path.find("a.txt") != std::string::npos;
    };
    EXPECT_FALSE(deleteFolderTree(m, "C:\\Keep\\Tree", "C:\\Keep\\Tree"));
    EXPECT_TRUE(m.files.exists("C:\\Keep\\Tree\\a.txt"));
    EXPECT_FALSE(m.files.exists("C:\\Keep\\Tree\\Sub"));
}

TEST(DeleteFolderTree, DoesNotFollowALinkedFolderOutOfTheTree) {
    FakeMachine m;
    addSampleTree(m);
    // A junction inside the tree that points at a folder elsewhere: the fake shows it as a folder entry with
    // the reparse-point attribute and the target's contents.
    m.files.addFile("C:\\Keep\\Tree\\Link\\precious.txt", "elsewhere");
    m.files.setAttributes("C:\\Keep\\Tree\\Link", attr::Directory | 0x400);
    EXPECT_TRUE(deleteFolderTree(m, "C:\\Keep\\Tree", "C:\\Keep\\Tree"));
    EXPECT_TRUE(m.files.exists("C:\\Keep\\Tree\\Link\\precious.txt"));
    EXPECT_FALSE(m.files.exists("C:\\Keep\\Tree\\a.txt"));
}

TEST(DeleteFolderTree, ALinkGivenAsTheTreeItselfIsRemovedWithoutEmptyingItsTarget) {
    FakeMachine m;
    // The fake shows a junction as a folder with the reparse-point attribute and its target's contents.
    m.files.addFile("C:\\Keep\\Link\\precious.txt", "elsewhere");
    m.files.addFile("C:\\Keep\\Link\\Sub\\more.txt", "elsewhere");
    m.files.setAttributes("C:\\Keep\\Link", attr::Directory | 0x400);
    EXPECT_TRUE(deleteFolderTree(m, "C:\\Keep\\Link", "C:\\Keep\\Link"));
    EXPECT_TRUE(m.files.exists("C:\\Keep\\Link\\precious.txt"));
    EXPECT_TRUE(m.files.exists("C:\\Keep\\Link\\Sub\\more.txt"));
    for (const std::string& line : m.files.journal) EXPECT_EQ(line.rfind("delete", 0), std::string::npos) << line;
}

TEST(DeleteDataFolder, RemovesOnlyTheDataFolder) {
    FakeMachine m;
    m.files.addFile("C:\\Setup\\_OrvantaInstallData\\Modules\\ipp.zip", "z", attr::ReadOnly);
    m.files.addFile("C:\\Setup\\_OrvantaInstallers\\copy.exe", "e");
    EXPECT_TRUE(deleteDataFolder(m, "C:\\Setup"));
    EXPECT_EQ(m.files.tree("C:\\Setup"),
              (std::vector<std::string>{"C:\\Setup", "C:\\Setup\\_OrvantaInstallers",
                                        "C:\\Setup\\_OrvantaInstallers\\copy.exe"}));
    auto before = m.files.tree("C:\\");
    EXPECT_TRUE(deleteDataFolder(m, "C:\\Setup"));
    EXPECT_EQ(m.files.tree("C:\\"), before);
}

TEST(FileHelpers, DeleteFileIfPresentResetsReadOnly) {
    FakeMachine m;
    m.files.addFile("C:\\d\\ro.txt", "x", attr::ReadOnly);
    EXPECT_TRUE(deleteFileIfPresent(m, "C:\\d\\ro.txt"));
    EXPECT_FALSE(fileExists(m, "C:\\d\\ro.txt"));
    EXPECT_TRUE(deleteFileIfPresent(m, "C:\\d\\ro.txt"));
    m.files.addFile("C:\\d\\busy.txt", "x");
    auto handle = m.files.open("C:\\d\\busy.txt", Access::Read, Disposition::OpenExisting);
    EXPECT_FALSE(deleteFileIfPresent(m, "C:\\d\\busy.txt"));
}

TEST(FileHelpers, ProgramFilesFolder) {
    struct Case {
        std::optional<std::string> programFiles, programFilesX86, expected;
    } cases[] = {
        {"C:\\Program Files\\", std::nullopt, "C:\\Program Files"},
        {"C:\\Program Files/", std::nullopt, "C:\\Program Files"},
        {"C:\\Program Files", "C:\\Program Files (x86)", "C:\\Program Files"},
        {std::nullopt, "C:\\Program Files (x86)\\", "C:\\Program Files (x86)"},
        {std::nullopt, std::nullopt, std::nullopt},
        {std::string(1024, 'p'), std::nullopt, std::nullopt},  // too long for the buffer
        // An empty value is no folder (it would put everything at the root of the current drive).
        {"", "C:\\Program Files (x86)", "C:\\Program Files (x86)"},
        {"\\", "C:\\Program Files (x86)", "C:\\Program Files (x86)"},
        {"", "", std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        FakeMachine m;
        m.environment.setVariable("ProgramFiles", c.programFiles);
        m.environment.setVariable("ProgramFiles(x86)", c.programFilesX86);
        EXPECT_EQ(getProgramFilesFolder(m), c.expected);
    }
}

TEST(FileHelpers, CommonFoldersComeFromTheShell) {
    FakeMachine m;
    EXPECT_EQ(getCommonDesktopFolder(m), "C:\\users\\Public\\Desktop");
    m.environment.folders.erase(KnownFolder::CommonPrograms);
    EXPECT_EQ(getCommonProgramsFolder(m), std::nullopt);
}

// Extraction on the in-memory machine, with archives built byte by byte in the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "components/unzip/Unzipper.h"
#include "platform/fake/FakeMachine.h"
#include "unzip/ZipBuilder.h"

using platform::fake::FakeMachine;
using ziptest::Entry;

namespace {

const std::string kArchive = "C:\\data\\module.zip";
const std::string kTarget = "C:\\runtime\\Module";

class UnzipperTest : public ::testing::Test {
protected:
    void putArchive(const std::string& bytes) { m.files.addFile(kArchive, bytes); }
    bool extract(const std::string& folder = kTarget) { return extractArchive(m, kArchive, folder); }
    std::set<std::string> everything() {
        auto list = m.files.tree("C:");
        return std::set<std::string>(list.begin(), list.end());
    }
    FakeMachine m;
};

TEST_F(UnzipperTest, StoredAndDeflatedEntriesComeOutByteForByte) {
    // Sizes around the 2048-byte copy chunk and beyond the 64 KiB read-ahead window of the archive reader.
    std::vector<Entry> entries;
    const std::size_t sizes[] = {0, 1, 2047, 2048, 2049, 70000, 300000};
    int n = 0;
    for (std::size_t size : sizes) {
        for (bool deflate : {false, true}) {
            Entry e;
            e.name = "f" + std::to_string(n++) + (deflate ? ".z" : ".s");
            e.data = (n % 3 == 0) ? ziptest::text(size) : ziptest::noise(size, uint32_t(n));
            e.deflate = deflate;
            entries.push_back(e);
        }
    }
    putArchive(ziptest::buildZip(entries));

    ASSERT_TRUE(extract());
    for (const Entry& e : entries) {
        auto content = m.files.content(kTarget + "\\" + e.name);
        ASSERT_TRUE(content) << e.name;
        EXPECT_EQ(*content, e.data) << e.name;
    }
}

TEST_F(UnzipperTest, NestedFoldersAreCreatedWithoutFolderEntries) {
    Entry e;
    e.name = "OpenCV246/bin/x86/cv.dll";
    e.data = "dll";
    putArchive(ziptest::buildZip({e}));

    ASSERT_TRUE(extract());
    EXPECT_TRUE(m.files.isFolder(kTarget + "\\OpenCV246"));
    EXPECT_TRUE(m.files.isFolder(kTarget + "\\OpenCV246\\bin"));
    EXPECT_TRUE(m.files.isFolder(kTarget + "\\OpenCV246\\bin\\x86"));
    EXPECT_EQ(m.files.content(kTarget + "\\OpenCV246\\bin\\x86\\cv.dll"), "dll");
}

TEST_F(UnzipperTest, FolderEntriesCreateFoldersEvenWhenEmpty) {
    Entry unmarked;  // a folder marked only by its trailing slash, as some archivers write it
    unmarked.name = "plain/";
    unmarked.externalAttributes = 0;
    putArchive(ziptest::buildZip({ziptest::folderEntry("empty/"), ziptest::folderEntry("deep/er/"), unmarked}));

    ASSERT_TRUE(extract());
    EXPECT_TRUE(m.files.isFolder(kTarget + "\\empty"));
    EXPECT_TRUE(m.files.isFolder(kTarget + "\\deep\\er"));
    EXPECT_TRUE(m.files.isFolder(kTarget + "\\plain"));
}

TEST_F(UnzipperTest, EmptyArchiveFailsAndCreatesOnlyTheTarget) {
    putArchive(ziptest::buildZip({}));
    auto before = everything();

    EXPECT_FALSE(extract());
    auto after = everything();
    std::set<std::string> added;
    for (const auto& p : after)
        if (!before.count(p)) added.insert(p);
    EXPECT_EQ(added, (std::set<std::string>{"C:\\runtime", kTarget}));
}

TEST_F(UnzipperTest, FilesGetTheEntryTimeAsCreationAndLastWriteTime) {
    Entry a, b;
    a.name = "a.txt";
    a.data = "a";
    b.name = "sub/b.txt";
    b.data = "b";
    b.deflate = true;
    b.dosTime = ziptest::dosDateTime(1999, 12, 31, 23, 59, 58);
    putArchive(ziptest::buildZip({a, b}));

    ASSERT_TRUE(extract());
    // The fake machine's local time is UTC; these are 2013-05-17 14:31:58 and 1999-12-31 23:59:58.
    auto entries = m.files.find(kTarget + "\\a.txt");
    ASSERT_TRUE(entries && entries->size() == 1);
    EXPECT_EQ((*entries)[0].creationTime, 130132747180000000ull);
    EXPECT_EQ((*entries)[0].lastWriteTime, 130132747180000000ull);
    entries = m.files.find(kTarget + "\\sub\\b.txt");
    ASSERT_TRUE(entries && entries->size() == 1);
    EXPECT_EQ((*entries)[0].creationTime, 125911583980000000ull);
    EXPECT_EQ((*entries)[0].lastWriteTime, 125911583980000000ull);
}

TEST_F(UnzipperTest, AnImpossibleEntryTimeLeavesTheFileTimeButNotTheContent) {
    Entry e;
    e.name = "a.txt";
    e.data = "content";
    e.dosTime = ziptest::dosDateTime(2013, 13, 40, 25, 61, 58);  // no such month, day, hour or minute
    putArchive(ziptest::buildZip({e}));

    ASSERT_TRUE(extract());
    EXPECT_EQ(m.files.content(kTarget + "\\a.txt"), "content");
}

TEST_F(UnzipperTest, ExtractingTwiceRecreatesEachFile) {
    Entry a, b;
    a.name = "a.txt";
    a.data = "short";
    b.name = "dir/b.bin";
    b.data = ziptest::noise(5000, 7);
    b.deflate = true;
    putArchive(ziptest::buildZip({a, b}));

    ASSERT_TRUE(extract());
    // The user edited a file and left one of their own.
    m.files.addFile(kTarget + "\\a.txt", "a much longer text than the archive holds");
    m.files.addFile(kTarget + "\\mine.txt", "mine");

    ASSERT_TRUE(extract());
    EXPECT_EQ(m.files.content(kTarget + "\\a.txt"), "short");
    EXPECT_EQ(m.files.content(kTarget + "\\dir\\b.bin"), b.data);
    EXPECT_EQ(m.files.content(kTarget + "\\mine.txt"), "mine");
}

TEST_F(UnzipperTest, ManyEntriesWithACentralDirectoryLargerThanTheReadWindow) {
    std::vector<Entry> entries;
    // About 170 bytes of central directory per entry: some 100 KiB in all.
    for (int i = 0; i < 600; ++i) {
        Entry e;
        e.name = "include/opencv2/module" + std::to_string(i % 37) + "/" + std::string(100, 'h') + "_header_file_" +
                 std::to_string(i) + ".hpp";
        e.data = "// " + std::to_string(i) + "\n";
        e.deflate = (i % 2) == 0;
        entries.push_back(e);
    }
    putArchive(ziptest::buildZip(entries));

    ASSERT_TRUE(extract());
    for (const Entry& e : entries) {
        std::string path = kTarget + "\\" + e.name;
        std::replace(path.begin(), path.end(), '/', '\\');
        ASSERT_EQ(m.files.content(path), e.data) << e.name;
    }
}

// Archives whose entry count does not fit the 16-bit field (the count is recorded modulo 65536) are walked
// to the end of their directory. Every entry writes the same file, so the file tells which entry came last
// (and the in-memory machine stays small).
TEST_F(UnzipperTest, ArchivesOf65535AndMoreEntriesAreWalkedToTheirRealEnd) {
    for (int count : {65535, 65536, 70000}) {
        SCOPED_TRACE(count);
        FakeMachine fresh;
        std::vector<Entry> entries(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            entries[i].name = "entry.txt";
            entries[i].data = std::to_string(i);
        }
        fresh.files.addFile(kArchive, ziptest::buildZip(entries));
        EXPECT_TRUE(extractArchive(fresh, kArchive, kTarget));
        EXPECT_EQ(fresh.files.content(kTarget + "\\entry.txt"), std::to_string(count - 1));
    }
}

TEST_F(UnzipperTest, AnEntryCountThatDisagreesWithTheDirectoryFails) {
    std::vector<Entry> entries;
    for (int i = 0; i < 3; ++i) entries.push_back({"file" + std::to_string(i) + ".txt", "content"});
    for (uint16_t claimed : {2, 4}) {
        SCOPED_TRACE(claimed);
        std::string zip = ziptest::buildZip(entries);
        // The two count fields of the end record (this disk, all disks) sit 8 and 10 bytes into it.
        const std::size_t end = zip.size() - 22;
        for (std::size_t at : {end + 8, end + 10}) {
            zip[at] = char(claimed & 0xFF);
            zip[at + 1] = char(claimed >> 8);
        }
        FakeMachine fresh;
        fresh.files.addFile(kArchive, zip);
        EXPECT_FALSE(extractArchive(fresh, kArchive, kTarget));
    }
}

TEST_F(UnzipperTest, FoldersAreLookedUpOncePerExtractionNotOncePerEntry) {
    // Each directory search is a round trip to the Wine server; asking again for every entry made extraction
    // of a build with a thousand files twice as slow.
    std::vector<Entry> entries;
    for (int i = 0; i < 200; ++i) {
        Entry e;
        e.name = "lib/x86/file" + std::to_string(i) + ".lib";
        e.data = std::to_string(i);
        entries.push_back(e);
    }
    putArchive(ziptest::buildZip(entries));
    m.files.journal.clear();

    ASSERT_TRUE(extract());
    long searches = std::count_if(m.files.journal.begin(), m.files.journal.end(),
                                  [](const std::string& line) { return line.rfind("find ", 0) == 0; });
    EXPECT_LT(searches, 20);
    EXPECT_EQ(m.files.content(kTarget + "\\lib\\x86\\file199.lib"), "199");
}

// ---------------------------------------------------------------------------------------------------------
// Names from a hostile or broken archive

TEST_F(UnzipperTest, EscapingNamesAreRefusedBeforeAnythingIsWritten) {
    const char* hostile[] = {
        "../evil.txt",         "a/../../evil.txt",  "..\\evil.txt",    "a\\..\\..\\evil.txt",
        "/abs.txt",            "\\abs.txt",         "//server/share/x", "\\\\server\\share\\x",
        "C:/evil.txt",         "C:evil.txt",        "c:\\evil.txt",     "\\\\?\\C:\\evil.txt",
        "a/ .. /evil.txt",     "a/.../evil.txt",    "a/./b.txt",       "a/CON",
        "nul.txt",             "dir/com1.log",      "LPT9",            "conout$",
        "a.txt:stream",        "a|b",               "a*b",             "q?.txt",
        "tab\there",           "",
    };
    for (const char* name : hostile) {
        SCOPED_TRACE(name);
        FakeMachine fresh;
        Entry good, bad;
        good.name = "good.txt";
        good.data = "good";
        bad.name = name;
        bad.data = "evil";
        fresh.files.addFile(kArchive, ziptest::buildZip({good, bad}));
        auto before = fresh.files.tree("C:");

        EXPECT_FALSE(extractArchive(fresh, kArchive, kTarget));
        auto after = fresh.files.tree("C:");
        std::set<std::string> added;
        for (const auto& p : after)
            if (std::find(before.begin(), before.end(), p) == before.end()) added.insert(p);
        EXPECT_EQ(added, (std::set<std::string>{"C:\\runtime", kTarget}));
    }
}

TEST_F(UnzipperTest, EscapingFolderEntriesAreRefused) {
    // A folder entry loses one trailing separator, and only a separator: ".l" must not become ".".
    for (const char* name : {"../outside/", "..", ".l/.", "a/../../outside"}) {
        SCOPED_TRACE(name);
        FakeMachine fresh;
        fresh.files.addFile(kArchive, ziptest::buildZip({ziptest::folderEntry(name)}));
        EXPECT_FALSE(extractArchive(fresh, kArchive, kTarget));
        EXPECT_EQ(fresh.files.tree(kTarget), std::vector<std::string>{kTarget});
        EXPECT_FALSE(fresh.files.exists("C:\\runtime\\outside"));
    }
    putArchive(ziptest::buildZip({ziptest::folderEntry(".l"), ziptest::folderEntry("x.")}));
    ASSERT_TRUE(extract());
    EXPECT_TRUE(m.files.isFolder(kTarget + "\\.l"));
    EXPECT_TRUE(m.files.isFolder(kTarget + "\\x."));
}

TEST(UnzipperNames, SafeNames) {
    const char* safe[] = {"a.txt", "dir/sub/file.h", "dir\\sub\\file.h", "a..b", "..a", "a..", "a/.hidden",
                          "console.txt", "COM10", "LPT", "CONFIG.SYS", "a b/c d.txt", "dir/", "x//y",
                          "caf\xE9.txt", "$x"};
    for (const char* name : safe) EXPECT_TRUE(CUnzipper::isSafeEntryName(name)) << name;
}

TEST_F(UnzipperTest, NamesTooLongForTheNameBufferAreRefusedNotCut) {
    Entry e;
    e.name = std::string(259, 'n');
    e.data = "fits";
    putArchive(ziptest::buildZip({e}));
    EXPECT_TRUE(extract("C:\\t"));

    FakeMachine other;
    e.name = std::string(260, 'n');
    other.files.addFile(kArchive, ziptest::buildZip({e}));
    EXPECT_FALSE(extractArchive(other, kArchive, "C:\\t"));
    EXPECT_EQ(other.files.tree("C:\\t").size(), 1u);
}

TEST_F(UnzipperTest, TruncatedArchivesFail) {
    Entry a, b;
    a.name = "a.txt";
    a.data = ziptest::text(3000);
    a.deflate = true;
    b.name = "b/b.bin";
    b.data = ziptest::noise(100, 3);
    const std::string zip = ziptest::buildZip({a, b});
    for (std::size_t length = 0; length < zip.size(); ++length) {
        FakeMachine fresh;
        fresh.files.addFile(kArchive, zip.substr(0, length));
        EXPECT_FALSE(extractArchive(fresh, kArchive, kTarget)) << "length " << length;
    }
}

TEST_F(UnzipperTest, CorruptDataFails) {
    Entry stored, deflated;
    stored.name = "s.bin";
    stored.data = ziptest::noise(4000, 11);
    deflated.name = "d.txt";
    deflated.data = ziptest::text(4000);
    deflated.deflate = true;
    const std::string storedZip = ziptest::buildZip({stored});
    const std::string deflatedZip = ziptest::buildZip({deflated});
    struct Case {
        const char* what;
        std::string zip;
        std::size_t at;
    } cases[] = {
        {"stored data", storedZip, 30 + 5 + 1000},
        {"deflated data", deflatedZip, 30 + 5 + 20},
        {"stored CRC in the central directory", storedZip, 30 + 5 + 4000 + 16},
        {"declared size in the central directory", storedZip, 30 + 5 + 4000 + 24},
    };
    for (const Case& c : cases) {
        FakeMachine fresh;
        std::string bytes = c.zip;
        bytes[c.at] = char(bytes[c.at] ^ 0x5A);
        fresh.files.addFile(kArchive, bytes);
        EXPECT_FALSE(extractArchive(fresh, kArchive, kTarget)) << c.what;
    }
}

// Any single damaged byte: never a crash, and never success with content the archive does not hold.
TEST_F(UnzipperTest, DamagedBytesNeverGiveWrongContent) {
    Entry a, b, dir;
    a.name = "a.txt";
    a.data = ziptest::text(700);
    a.deflate = true;
    b.name = "sub/b.bin";
    b.data = ziptest::noise(300, 5);
    dir = ziptest::folderEntry("empty/");
    const std::string zip = ziptest::buildZip({a, dir, b});
    for (std::size_t at = 0; at < zip.size(); ++at) {
        for (unsigned char flip : {0x01, 0x80, 0xFF}) {
            FakeMachine fresh;
            std::string bytes = zip;
            bytes[at] = char(bytes[at] ^ flip);
            fresh.files.addFile(kArchive, bytes);
            if (!extractArchive(fresh, kArchive, kTarget)) continue;
            for (const std::string& path : fresh.files.tree(kTarget)) {
                if (fresh.files.isFolder(path)) continue;
                auto content = fresh.files.content(path);
                EXPECT_TRUE(content == a.data || content == b.data) << "byte " << at << " ^" << int(flip) << ": " << path;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Opening, closing, folders

TEST_F(UnzipperTest, ArchivesThatCannotBeOpened) {
    m.files.addFile("C:\\data\\notes.txt", "PK but not a zip archive at all");
    m.files.addFile("C:\\data\\empty.zip", "");
    CUnzipper unzipper(m);
    EXPECT_FALSE(unzipper.openArchive(""));
    EXPECT_FALSE(unzipper.openArchive("C:\\data\\missing.zip"));
    EXPECT_FALSE(unzipper.openArchive("C:\\data\\notes.txt"));
    EXPECT_FALSE(unzipper.openArchive("C:\\data\\empty.zip"));
    EXPECT_FALSE(unzipper.openArchive("C:\\" + std::string(260, 'x') + ".zip"));
    EXPECT_FALSE(unzipper.extractAllTo(kTarget));  // nothing open
    EXPECT_FALSE(m.files.exists(kTarget));
}

TEST_F(UnzipperTest, OpenCloseAndReopen) {
    Entry e;
    e.name = "x.txt";
    e.data = "x";
    putArchive(ziptest::buildZip({e}));
    CUnzipper unzipper(m);
    ASSERT_TRUE(unzipper.openArchive(kArchive));
    EXPECT_FALSE(unzipper.extractAllTo(""));
    unzipper.closeArchive();
    unzipper.closeArchive();
    EXPECT_FALSE(unzipper.extractAllTo(kTarget));
    ASSERT_TRUE(unzipper.openArchive(kArchive));
    ASSERT_TRUE(unzipper.openArchive(kArchive));  // closes the first
    EXPECT_TRUE(unzipper.extractAllTo(kTarget));
    EXPECT_EQ(m.files.content(kTarget + "\\x.txt"), "x");
}

TEST_F(UnzipperTest, ExtractCurrentEntryOnly) {
    Entry a, b;
    a.name = "a.txt";
    a.data = "a";
    b.name = "b.txt";
    b.data = "b";
    putArchive(ziptest::buildZip({a, b}));
    CUnzipper unzipper(m);
    ASSERT_TRUE(unzipper.openArchive(kArchive));
    EXPECT_TRUE(unzipper.extractCurrentTo(kTarget));
    EXPECT_EQ(m.files.content(kTarget + "\\a.txt"), "a");
    EXPECT_FALSE(m.files.exists(kTarget + "\\b.txt"));
}

TEST_F(UnzipperTest, TargetWithTrailingSeparator) {
    Entry e;
    e.name = "x.txt";
    e.data = "x";
    putArchive(ziptest::buildZip({e}));
    ASSERT_TRUE(extract(kTarget + "\\"));
    EXPECT_EQ(m.files.content(kTarget + "\\x.txt"), "x");
}

TEST_F(UnzipperTest, MakeFolder) {
    m.files.addFile("C:\\a\\file", "f");
    struct Case {
        std::string path;
        bool result;
        std::string folderAfter;  // a folder that must exist afterwards ("" = none)
    } cases[] = {
        {"C:\\a", true, "C:\\a"},                // exists
        {"C:\\a\\file", false, ""},             // a file, not a folder
        {"C:\\a\\file\\below", false, ""},
        {"C:\\x\\y\\z", true, "C:\\x\\y\\z"},      // all three created
        {"C:\\p\\q\\", true, "C:\\p\\q"},         // the trailing separator names the folder
        {"relative", true, ""},                 // nothing to cut at: true without creating
        {"", false, ""},
    };
    CUnzipper unzipper(m);
    for (const Case& c : cases) {
        EXPECT_EQ(unzipper.makeFolder(c.path), c.result) << c.path;
        if (!c.folderAfter.empty()) {
            EXPECT_TRUE(m.files.isFolder(c.folderAfter)) << c.path;
        }
    }
    EXPECT_FALSE(m.files.exists("relative"));
    EXPECT_FALSE(m.files.exists("C:\\a\\file\\below"));
    EXPECT_TRUE(m.files.isFolder("C:\\x\\y"));
    EXPECT_FALSE(unzipper.makeParentFolder("file.txt"));
    EXPECT_TRUE(unzipper.makeParentFolder("C:\\m\\n\\file.txt"));
    EXPECT_TRUE(m.files.isFolder("C:\\m\\n"));
    EXPECT_FALSE(m.files.exists("C:\\m\\n\\file.txt"));
}

TEST_F(UnzipperTest, AFailedWriteEndsTheExtraction) {
    Entry a, b, c;
    a.name = "a.txt";
    a.data = "a";
    b.name = "b.txt";
    b.data = ziptest::noise(10000, 1);
    c.name = "c.txt";
    c.data = "c";
    putArchive(ziptest::buildZip({a, b, c}));
    m.files.fault = [](const std::string& op, const std::string& path) {
        return op == "write" && path.find("b.txt") != std::string::npos;
    };

    EXPECT_FALSE(extract());
    EXPECT_EQ(m.files.content(kTarget + "\\a.txt"), "a");
    EXPECT_FALSE(m.files.exists(kTarget + "\\c.txt"));
}

TEST_F(UnzipperTest, AReadOnlyFileInTheWayFails) {
    Entry e;
    e.name = "a.txt";
    e.data = "new";
    putArchive(ziptest::buildZip({e}));
    m.files.addFile(kTarget + "\\a.txt", "old", platform::attr::ReadOnly);
    EXPECT_FALSE(extract());
    EXPECT_EQ(m.files.content(kTarget + "\\a.txt"), "old");
}

TEST_F(UnzipperTest, TheArchiveIsReadThroughTheMachinesFileSystem) {
    Entry e;
    e.name = "x.txt";
    e.data = "x";
    putArchive(ziptest::buildZip({e}));
    // The archive exists only on the in-memory machine; a failing open there must make extraction fail.
    m.files.fault = [](const std::string& op, const std::string& path) { return op == "open" && path == kArchive; };
    EXPECT_FALSE(extract());
}

}  // namespace

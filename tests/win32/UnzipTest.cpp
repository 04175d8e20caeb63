// Extraction on the real file system: an archive written by Python's zipfile (fixtures/archives), unpacked
// through the real machine and compared with the files it was built from, byte for byte and time for time.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "PlatformTestSupport.h"
#include "components/unzip/Unzipper.h"
#include "platform/win32/Win32Machine.h"
#include "../unit/unzip/ZipBuilder.h"

using namespace platform_test;

namespace {

struct ManifestLine {
    std::string name;  // with "\" separators
    std::size_t size = 0;
    SYSTEMTIME local{};
};

std::vector<ManifestLine> readManifest(const std::string& path) {
    std::vector<ManifestLine> lines;
    std::istringstream in(readRaw(path));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::size_t bar1 = line.find('|'), bar2 = line.rfind('|');
        ManifestLine m;
        m.name = line.substr(0, bar1);
        for (char& c : m.name)
            if (c == '/') c = '\\';
        m.size = std::stoul(line.substr(bar1 + 1, bar2 - bar1 - 1));
        int y, mo, d, h, mi, s;
        std::sscanf(line.c_str() + bar2 + 1, "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
        m.local.wYear = WORD(y);
        m.local.wMonth = WORD(mo);
        m.local.wDay = WORD(d);
        m.local.wHour = WORD(h);
        m.local.wMinute = WORD(mi);
        m.local.wSecond = WORD(s);
        lines.push_back(m);
    }
    return lines;
}

// The file's creation and last-write times, as local wall-clock times.
bool localTimes(const std::string& path, SYSTEMTIME& created, SYSTEMTIME& written) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FILETIME c, a, w, lc, lw;
    bool ok = GetFileTime(h, &c, &a, &w) && FileTimeToLocalFileTime(&c, &lc) && FileTimeToLocalFileTime(&w, &lw) &&
              FileTimeToSystemTime(&lc, &created) && FileTimeToSystemTime(&lw, &written);
    CloseHandle(h);
    return ok;
}

std::string stamp(const SYSTEMTIME& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return text;
}

class UnzipOnRealFiles : public ::testing::Test {
protected:
    void SetUp() override {
        fixtures = fixturesFolder();
        if (fixtures.empty() || !pathPresent(fixtures + "\\archives\\module.zip"))
            GTEST_SKIP() << "fixtures/archives not generated (tests/fixtures/generate.sh)";
        archive = fixtures + "\\archives\\module.zip";
        expected = fixtures + "\\archives\\expected\\module";
        manifest = readManifest(fixtures + "\\archives\\module.manifest");
        ASSERT_FALSE(manifest.empty());
    }

    void expectSameAsBuilt(const std::string& target) {
        for (const ManifestLine& m : manifest) {
            SCOPED_TRACE(m.name);
            std::string got = readRaw(target + "\\" + m.name);
            EXPECT_EQ(got.size(), m.size);
            EXPECT_TRUE(got == readRaw(expected + "\\" + m.name));
            SYSTEMTIME created{}, written{};
            ASSERT_TRUE(localTimes(target + "\\" + m.name, created, written));
            EXPECT_EQ(stamp(created), stamp(m.local));
            EXPECT_EQ(stamp(written), stamp(m.local));
        }
        DWORD attributes = GetFileAttributesA((target + "\\samples").c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    }

    std::string fixtures, archive, expected;
    std::vector<ManifestLine> manifest;
    ScratchFolder scratch;
    platform::Machine& machine = platform::win32::realMachine();
};

TEST_F(UnzipOnRealFiles, DeflatedStoredNestedAndTimed) {
    const std::string target = scratch / "Runtime\\OpenCV246";  // neither folder exists yet
    ASSERT_TRUE(extractArchive(machine, archive, target));
    expectSameAsBuilt(target);
}

TEST_F(UnzipOnRealFiles, ExtractingTwiceRecreatesTheFiles) {
    const std::string target = scratch / "twice";
    ASSERT_TRUE(extractArchive(machine, archive, target));
    ASSERT_TRUE(writeRaw(target + "\\readme.txt", std::string(100000, 'u')));  // longer than the original
    ASSERT_TRUE(extractArchive(machine, archive, target));
    expectSameAsBuilt(target);
}

TEST_F(UnzipOnRealFiles, TruncatedCopyFails) {
    std::string bytes = readRaw(archive);
    for (std::size_t keep : {std::size_t(0), bytes.size() / 2, bytes.size() - 1}) {
        const std::string copy = scratch / ("cut" + std::to_string(keep) + ".zip");
        ASSERT_TRUE(writeRaw(copy, bytes.substr(0, keep)));
        EXPECT_FALSE(extractArchive(machine, copy, scratch / ("cut" + std::to_string(keep)))) << keep;
    }
}

// The real file system resolves ".." and drive names, so this is where an escape would show.
TEST(UnzipHostileNames, NothingIsWrittenOutsideTheTarget) {
    ScratchFolder scratch;
    platform::Machine& machine = platform::win32::realMachine();
    const std::string outsideName = uniqueName("escaped") + ".txt";
    const std::string names[] = {
        "../" + outsideName,
        "sub/../../" + outsideName,
        "..\\" + outsideName,
        "sub/ ../../" + outsideName,
        scratch.path() + "\\" + outsideName,                 // absolute with drive
        "\\" + scratch.path().substr(3) + "\\" + outsideName,  // rooted, drive-relative
        scratch.path().substr(0, 2) + outsideName,            // "C:name": relative to the drive's current folder
    };
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ziptest::Entry good, bad;
        good.name = "good.txt";
        good.data = "good";
        bad.name = name;
        bad.data = "escaped";
        const std::string zip = scratch / "hostile.zip";
        ASSERT_TRUE(writeRaw(zip, ziptest::buildZip({good, bad})));
        const std::string target = scratch / "target";
        EXPECT_FALSE(extractArchive(machine, zip, target));
        EXPECT_FALSE(pathPresent(scratch / outsideName));
        EXPECT_FALSE(pathPresent(target + "\\good.txt"));
        char current[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, current);
        EXPECT_FALSE(pathPresent(std::string(current) + "\\" + outsideName));
        removeTree(target);
    }
}

}  // namespace

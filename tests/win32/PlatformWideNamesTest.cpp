// Names the ANSI code page cannot hold: the file layer lists them in a form that every one of its calls takes
// back, where the ANSI search would have listed '?' in their place.
#include "PlatformTestSupport.h"

#include "platform/win32/WidePaths.h"
#include "platform/win32/Win32FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <set>

using namespace platform;
using platform::win32::narrowName;
using platform::win32::widePath;
using platform_test::pathPresent;
using platform_test::readRaw;
using platform_test::wide;
using platform_test::writeRaw;

namespace {

// Greek, Chinese and Thai together: no ANSI code page holds all three (only UTF-8 does).
const std::wstring Unfit = L"\u03a9\u4e2d\u0e01";

// The test's own judgement: text comes back unchanged from the ANSI code page.
bool fitsAnsi(const std::wstring& text) {
    if (text.empty()) return true;
    char narrow[512] = {};
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), narrow, sizeof(narrow), nullptr, nullptr);
    wchar_t back[512] = {};
    int m = MultiByteToWideChar(CP_ACP, 0, narrow, n, back, 512);
    return n > 0 && std::wstring(back, m) == text;
}

std::string ansi(const std::wstring& text) {
    char narrow[512] = {};
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), int(text.size()), narrow, sizeof(narrow), nullptr, nullptr);
    return std::string(narrow, n);
}

// The names an ANSI search lists for pattern.
std::vector<std::string> ansiSearchNames(const std::string& pattern) {
    std::vector<std::string> out;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return out;
    do {
        out.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return out;
}

}  // namespace

TEST(WidePaths, FoundNamesComeBackAsTheCharactersTheyStandFor) {
    std::printf("ANSI code page of this system: %u\n", GetACP());
    ASSERT_NE(GetACP(), static_cast<UINT>(CP_UTF8)) << "every name fits a UTF-8 code page: nothing to show here";
    const std::wstring names[] = {
        L"plain.txt",
        L"caf\u00e9.txt",              // fits a Western code page
        Unfit + L".txt",               // fits no ANSI code page
        L"\u03a9.txt",                 // on its own, '?' under the ANSI search ...
        L"\u4e2d.txt",                 // ... and so is this one: the two must not collide
        L"a\u0101b",                   // a best fit ('a') is no fit
        L"smile \U0001F600.dat",      // a surrogate pair
        L"x\u0001y\u0002z",           // the escape's own delimiters (not a Win32 name, but a possible NTFS one)
        Unfit,
        L"",
    };
    std::set<std::string> seen;
    for (const std::wstring& name : names) {
        const std::string narrow = narrowName(name);
        SCOPED_TRACE(narrow);
        EXPECT_EQ(widePath(narrow), name);
        EXPECT_TRUE(seen.insert(narrow).second) << "two names, one narrow form";
        const bool fits = fitsAnsi(name) && name.find_first_of(L"\u0001\u0002") == std::wstring::npos;
        if (fits) {
            EXPECT_EQ(narrow, ansi(name));  // exactly what the ANSI functions gave
        } else {
            EXPECT_EQ(narrow.find('?'), std::string::npos);
            EXPECT_NE(narrow.find('\x01'), std::string::npos);
        }
    }
    EXPECT_FALSE(fitsAnsi(Unfit));
    // What fits stays readable around an escape: the extension above all.
    EXPECT_EQ(narrowName(L"\u03a9\u4e2d.txt"), std::string("\x01" "03A94E2D" "\x02" ".txt"));
    // An escape is understood wherever it stands in a path.
    EXPECT_EQ(widePath("C:\\data\\" + narrowName(Unfit) + "\\" + narrowName(L"\u03a9.txt")),
              L"C:\\data\\" + Unfit + L"\\\u03a9.txt");
    // What is not a whole escape is left as it is.
    for (const char* text : {"a\x01" "12\x02" "b", "a\x01" "03a9\x02", "a\x01" "03A9", "a\x02" "03A9\x01", "\x01\x02"})
        EXPECT_EQ(widePath(text), wide(text)) << text;
}

class WideNamesOnWine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeRaw(root + L"\\\u03a9.txt", "omega"));
        ASSERT_TRUE(writeRaw(root + L"\\\u4e2d.txt", "middle"));
        ASSERT_TRUE(writeRaw(root + L"\\caf\u00e9.txt", "cafe"));
        ASSERT_TRUE(CreateDirectoryW((root + L"\\" + Unfit).c_str(), nullptr));
        ASSERT_TRUE(writeRaw(root + L"\\" + Unfit + L"\\inner \U0001F600.txt", "inner"));
    }

    std::vector<FindEntry> list(const std::string& pattern) {
        auto entries = files.find(pattern);
        return entries ? *entries : std::vector<FindEntry>{{"<failed>"}};
    }
    std::vector<std::string> names(const std::string& pattern) {
        std::vector<std::string> out;
        for (const FindEntry& e : list(pattern)) out.push_back(e.name);
        std::sort(out.begin(), out.end());
        return out;
    }

    platform_test::ScratchFolder scratch;
    const std::wstring root = wide(scratch.path());
    win32::Win32FileSystem files;
};

TEST_F(WideNamesOnWine, TheAnsiSearchListsNamesThatReachNothing) {
    // The premise: the ANSI search lists each name outside the code page as a best fit ("O" for Omega) or with
    // '?', a name under which the file cannot be reached (or, worse, another file could).
    const std::vector<std::string> listed = ansiSearchNames(scratch / "*.txt");
    ASSERT_EQ(listed.size(), 3u);
    int unreachable = 0;
    for (const std::string& name : listed) {
        std::printf("the ANSI search lists \"%s\"\n", name.c_str());
        if (!pathPresent(scratch / name)) ++unreachable;
    }
    EXPECT_EQ(unreachable, 2);  // all but the one that fits ("caf\xe9.txt")
}

TEST_F(WideNamesOnWine, EveryFileCallTakesAFoundName) {
    const std::string omega = narrowName(L"\u03a9.txt"), middle = narrowName(L"\u4e2d.txt"),
                      folder = narrowName(Unfit), inner = narrowName(L"inner \U0001F600.txt");
    std::vector<std::string> expected{".", "..", omega, middle, ansi(L"caf\u00e9.txt"), folder};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names(scratch / "*.*"), expected);
    EXPECT_EQ(names(scratch / "*.txt").size(), 3u);  // the extension still matches
    EXPECT_EQ(names(scratch / omega), std::vector<std::string>{omega});
    EXPECT_EQ(names(scratch / folder + "\\*"), (std::vector<std::string>{".", "..", inner}));

    struct Case {
        std::string name;
        std::string content;
    } cases[] = {{omega, "omega"}, {middle, "middle"}, {folder + "\\" + inner, "inner"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        const std::string path = scratch / c.name;
        EXPECT_TRUE(files.exists(path));
        ASSERT_TRUE(files.attributes(path).has_value());
        auto file = files.open(path, Access::Read, Disposition::OpenExisting);
        ASSERT_NE(file, nullptr);
        char buffer[16] = {};
        EXPECT_EQ(file->read(buffer, sizeof(buffer)), static_cast<long long>(c.content.size()));
        EXPECT_EQ(std::string(buffer), c.content);
        file.reset();
        EXPECT_TRUE(files.setTimes(path, std::nullopt, 130400000000000000ull));
        EXPECT_TRUE(files.copyFile(path, scratch / "copy.txt", false));
        EXPECT_EQ(readRaw(scratch / "copy.txt"), c.content);
        // Read-only holds until it is reset, as for any name.
        ASSERT_TRUE(files.setAttributes(path, attr::ReadOnly));
        EXPECT_FALSE(files.deleteFile(path));
        ASSERT_TRUE(files.setAttributes(path, attr::Archive));
        EXPECT_TRUE(files.deleteFile(path));
        EXPECT_FALSE(files.exists(path));
    }

    // An escaped name as a target makes the real name.
    ASSERT_TRUE(writeRaw(scratch / "plain.txt", "moved"));
    EXPECT_TRUE(files.moveFile(scratch / "plain.txt", scratch / omega, 0));
    EXPECT_TRUE(pathPresent(root + L"\\\u03a9.txt"));
    EXPECT_TRUE(files.createFolder(scratch / folder + "\\" + folder));
    EXPECT_TRUE(pathPresent(root + L"\\" + Unfit + L"\\" + Unfit));
    EXPECT_TRUE(files.removeFolder(scratch / folder + "\\" + folder));
    EXPECT_TRUE(files.removeFolder(scratch / folder));
    EXPECT_FALSE(pathPresent(root + L"\\" + Unfit));
}

TEST_F(WideNamesOnWine, TheLengthLimitIsTheAnsiFunctionsOnTheRealName) {
    // An escape is longer than the characters it stands for: what counts is the real name's length, as the
    // ANSI functions counted it. Forty Chinese characters per level: short as a name, long as an escape.
    const std::wstring level(40, L'\u4e2d');
    const std::string escaped = narrowName(level);
    std::string deep = scratch.path();
    std::wstring wideDeep = root;
    while (wideDeep.size() + 1 + level.size() <= MAX_PATH - 12) {
        deep += "\\" + escaped;
        wideDeep += L"\\" + level;
        ASSERT_TRUE(files.createFolder(deep));
    }
    ASSERT_GT(deep.size(), static_cast<std::size_t>(MAX_PATH));
    EXPECT_TRUE(pathPresent(wideDeep));
    auto file = files.open(deep + "\\f.txt", Access::Write, Disposition::CreateAlways);
    ASSERT_NE(file, nullptr);
    file.reset();
    EXPECT_TRUE(pathPresent(wideDeep + L"\\f.txt"));

    // Past MAX_PATH real characters every call refuses, although the wide functions here would go on.
    std::wstring tooLong = wideDeep + L"\\" + std::wstring(MAX_PATH, L'x');
    tooLong.resize(MAX_PATH + 1);
    const std::size_t cut = tooLong.find_last_of(L'\\');
    const std::string longPath = deep + "\\" + ansi(tooLong.substr(cut + 1));
    ASSERT_TRUE(CreateDirectoryW(tooLong.c_str(), nullptr)) << "the wide functions take it here";
    EXPECT_FALSE(files.exists(longPath));
    EXPECT_FALSE(files.attributes(longPath).has_value());
    EXPECT_FALSE(files.find(longPath).has_value());
    EXPECT_FALSE(files.removeFolder(longPath));
    EXPECT_FALSE(files.setTimes(longPath, std::nullopt, 130400000000000000ull));
    EXPECT_EQ(files.open(longPath + "\\f", Access::Write, Disposition::CreateAlways), nullptr);
    EXPECT_TRUE(pathPresent(tooLong));
    RemoveDirectoryW(tooLong.c_str());
}

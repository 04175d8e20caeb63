// Where Windows is less forgiving than Wine: archive times across daylight saving, the settings broadcast with
// hung windows, and replacing files that another program holds or that are hidden.
#include "PlatformTestSupport.h"

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Misc.h"
#include "platform/win32/Win32Processes.h"

#include <thread>
#include <vector>

using namespace platform;

namespace {

// Runs only where the Linux side's TZ is Europe/Oslo (its own CTest entry sets it): one hour east of UTC in
// winter, two in summer.
bool osloTime() {
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    return zone.Bias == -60 && zone.DaylightBias == -60 && zone.DaylightDate.wMonth != 0;
}

TEST(ArchiveTimesTest, EachDateTakesItsOwnDaylightSaving) {
    if (!osloTime()) GTEST_SKIP() << "needs TZ=Europe/Oslo";
    struct Case {
        LocalDateTime local;
        uint64_t utc;  // 100 ns since 1601, worked out for the date's own offset
    };
    const Case cases[] = {
        {{2014, 1, 15, 12, 0, 0}, 130342572000000000ull},  // 11:00 UTC
        {{2014, 7, 15, 12, 0, 0}, 130498920000000000ull},  // 10:00 UTC
    };
    win32::Win32Clock clock;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.local.month));
        auto converted = clock.localToFileTime(c.local);
        ASSERT_TRUE(converted.has_value());
        EXPECT_EQ(*converted, c.utc);
    }
}

// A top-level window whose thread stops reading its messages until released.
class HungWindow {
public:
    HungWindow() : ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this] {
            HWND window = CreateWindowExA(0, "STATIC", "hung listener", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr,
                                          nullptr, GetModuleHandleA(nullptr), nullptr);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            SetEvent(ready_);
            WaitForSingleObject(release_, INFINITE);
            DestroyWindow(window);
        });
        WaitForSingleObject(ready_, 10000);
    }
    ~HungWindow() {
        SetEvent(release_);
        thread_.join();
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    HungWindow(const HungWindow&) = delete;
    HungWindow& operator=(const HungWindow&) = delete;

private:
    HANDLE ready_, release_;
    std::thread thread_;
};

TEST(SettingsBroadcastTest, HungWindowsDoNotHoldTheBroadcast) {
    HungWindow first, second;
    // A window counts as hung once its thread has not looked at its messages for five seconds.
    Sleep(5500);
    win32::Win32Processes processes;
    const DWORD before = GetTickCount();
    processes.broadcastSettingChange("Environment", 1500);
    const DWORD elapsed = GetTickCount() - before;
    // Waiting on each of them would take at least twice the timeout.
    EXPECT_LT(elapsed, 1500u);
}

TEST(ReplacingFilesTest, AHiddenOrSystemFileIsReplacedByAPlainOne) {
    platform_test::ScratchFolder scratch;
    win32::Win32FileSystem files;
    const DWORD kinds[] = {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM};
    for (DWORD kind : kinds) {
        SCOPED_TRACE(kind);
        const std::string path = scratch / ("left over " + std::to_string(kind) + ".dll");
        ASSERT_TRUE(platform_test::writeRaw(path, "old contents"));
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), kind));
        auto file = files.open(path, Access::Write, Disposition::CreateAlways);
        ASSERT_NE(file, nullptr) << GetLastError();
        ASSERT_TRUE(file->write("new", 3));
        file->close();
        EXPECT_EQ(platform_test::readRaw(path), "new");
        EXPECT_EQ(GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u);
    }
}

TEST(ReplacingFilesTest, AMoveWaitsOutABriefHoldOnTheFreshFile) {
    platform_test::ScratchFolder scratch;
    win32::Win32FileSystem files;
    const std::string fresh = scratch / "download.tmp", final = scratch / "download.msi";
    ASSERT_TRUE(platform_test::writeRaw(fresh, "downloaded"));
    ASSERT_TRUE(platform_test::writeRaw(final, "previous"));
    // What a virus scanner does with a file that has just been written: opens it without letting it move.
    HANDLE scanner = CreateFileA(fresh.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
    ASSERT_FALSE(MoveFileExA(fresh.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING)) << "no hold to wait out";
    std::thread done([scanner] {
        Sleep(600);
        CloseHandle(scanner);
    });
    const bool moved = files.moveFile(fresh, final, moveflag::ReplaceExisting | moveflag::WriteThrough);
    done.join();
    EXPECT_TRUE(moved);
    EXPECT_EQ(platform_test::readRaw(final), "downloaded");
    EXPECT_FALSE(platform_test::pathPresent(fresh));
}

TEST(ReplacingFilesTest, AMoveThatCannotSucceedStillFails) {
    platform_test::ScratchFolder scratch;
    win32::Win32FileSystem files;
    EXPECT_FALSE(files.moveFile(scratch / "missing.tmp", scratch / "missing.msi", moveflag::ReplaceExisting));
}

TEST(FileExistenceTest, RootsAndLongNamesAreAnsweredAsTheyAre) {
    platform_test::ScratchFolder scratch;
    win32::Win32FileSystem files;
    ASSERT_TRUE(platform_test::writeRaw(scratch / "setup.exe1", "not a program"));
    ASSERT_TRUE(platform_test::writeRaw(scratch / "tool.exe", "a program"));
    char system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 2u);
    const std::string drive = std::string(system, 2);  // "C:"
    struct Case {
        std::string path;
        bool exists;
    };
    const Case cases[] = {
        {drive + "\\.", true},                 // a drive root, which a search cannot find
        {scratch.path(), true},                // a plain folder
        {scratch / "tool.exe", true},          // a plain file
        {scratch / "*.exe", true},             // a pattern that a long name matches
        {scratch / "setup.*", true},
        {scratch / "setup*.exe", false},       // matched only through the 8.3 alias, if there is one
        {scratch / "missing.exe", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(files.exists(c.path), c.exists);
    }
    auto listed = files.find(scratch / "*.exe");
    ASSERT_TRUE(listed.has_value());
    ASSERT_EQ(listed->size(), 1u);
    EXPECT_EQ((*listed)[0].name, "tool.exe");
}

}  // namespace
